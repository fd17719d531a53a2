#!/bin/sh
# The layers' arrows point down: each folder includes only what lies below it.
# Usage: check_includes.sh SOURCE_DIR
cd "$1" || exit 2
status=0
# folder, then the includes it must not have (a regular expression)
while read -r folder forbidden; do
    hits=$(grep -rn -E "#include *[<\"]($forbidden)" "$folder" --include='*.h' --include='*.cpp')
    if [ -n "$hits" ]; then
        echo "$folder reaches up the layers:"
        echo "$hits"
        status=1
    fi
done <<'RULES'
io device/|flash/|eeprom/|shell/|sim/|programs/|Q[A-Za-z]*[>.]
sim device/|flash/|eeprom/|shell/|programs/|Q[A-Za-z]*[>.]
device flash/|eeprom/|shell/|sim/|programs/|Q[A-Za-z]*[>.]
flash eeprom/|shell/|sim/|programs/|Q[A-Za-z]*[>.]
eeprom flash/|shell/|sim/|programs/|Q[A-Za-z]*[>.]
RULES
# The logic without Qt: everything in shell/ but shell/qt/.
hits=$(grep -n -E '#include *[<"](Q[A-Za-z]*[>.]|shell/qt/)' shell/*.h shell/*.cpp programs/*.h programs/*.cpp)
if [ -n "$hits" ]; then
    echo "Qt outside shell/qt and the entry points:"
    echo "$hits"
    status=1
fi
exit $status

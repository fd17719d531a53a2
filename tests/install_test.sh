#!/bin/sh
# Installs the build tree into a temporary prefix, as the Debian package does into
# /usr, and checks what lands there: exactly the programs, desktop entries, icons and
# manual pages; entries that validate; and installed windows that start and keep their
# settings in the user's folder, never beside themselves in bin, even run as root.
# Usage: install_test.sh BUILD_DIR VERSION
set -eu
build=$1
version=$2
work=$(mktemp -d /tmp/cq-install-XXXXXX)
prefix=$work/prefix
pid=""
cleanup() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install $build"

programs="corvina quillon corvina-sim quillon-sim corvina-cli quillon-cli"
entries="corvina corvina-sim quillon quillon-sim"
sizes="16 32 48 64 128 256"

# Every file expected, and nothing else (no tests, no libraries).
expected=$(
    for p in $programs; do echo "bin/$p"; done
    for e in $entries; do echo "share/applications/$e.desktop"; done
    for icon in corvina quillon; do
        for s in $sizes; do echo "share/icons/hicolor/${s}x$s/apps/$icon.png"; done
        echo "share/icons/hicolor/scalable/apps/$icon.svg"
    done
    echo share/man/man1/corvina-cli.1.gz
    echo share/man/man1/quillon-cli.1.gz
)
echo "$expected" | sort >"$work/expected"
(cd "$prefix" && find . -type f | sed 's|^\./||' | sort) >"$work/installed"
missing=$(comm -23 "$work/expected" "$work/installed")
extra=$(comm -13 "$work/expected" "$work/installed")
[ -z "$missing" ] || fail "not installed: $missing"
[ -z "$extra" ] || fail "installed but not expected: $extra"

for p in $programs; do
    [ -x "$prefix/bin/$p" ] || fail "bin/$p is not executable"
done

# A PNG's width and height are the big-endian words at bytes 16 and 20.
for icon in corvina quillon; do
    for s in $sizes; do
        png=$prefix/share/icons/hicolor/${s}x$s/apps/$icon.png
        dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }')
        [ "$dims" = "${s}x$s" ] || fail "$icon.png in ${s}x$s is $dims"
    done
done

for e in $entries; do
    entry=$prefix/share/applications/$e.desktop
    desktop-file-validate "$entry" || fail "$e.desktop does not validate"
    [ "$(sed -n 's/^Exec=//p' "$entry")" = "$e" ] || fail "$e.desktop does not start $e"
    icon=$(sed -n 's/^Icon=//p' "$entry")
    [ -f "$prefix/share/icons/hicolor/48x48/apps/$icon.png" ] || fail "$e.desktop names icon '$icon', not installed"
done

for page in corvina-cli quillon-cli; do
    gzip -dc "$prefix/share/man/man1/$page.1.gz" | grep -q '^\.TH' || fail "$page.1.gz is not a manual page"
done

for cli in corvina-cli quillon-cli; do
    says=$("$prefix/bin/$cli" --version) || fail "$cli --version failed"
    [ "$says" = "$cli $version" ] || fail "$cli --version says '$says', the project is $version"
done

# The windows on the virtual bench, headless, with every user folder in the test's own.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# Whether process $1 has its SIGTERM handler (signal 15, bit 14 of SigCgt) in place.
catches_term() {
    mask=$(sed -n 's/^SigCgt:[[:space:]]*//p' "/proc/$1/status" 2>/dev/null)
    [ -n "$mask" ] && [ $((0x${mask#"${mask%????}"} >> 14 & 1)) -eq 1 ]
}

# Starts a -sim program, waits for it to be up, checks it stays up, then closes it as
# a logout would, which saves its settings. One after the other: the two share a lock.
run_window() {
    program=$1 settings=$2
    "$prefix/bin/$program" >"$work/$program.log" 2>&1 &
    pid=$!
    tries=0
    until catches_term "$pid"; do
        kill -0 "$pid" 2>/dev/null || { cat "$work/$program.log" >&2; fail "$program ended at its start"; }
        tries=$((tries + 1))
        [ $tries -lt 300 ] || fail "$program did not come up within 15 s"
        sleep 0.05
    done
    sleep 3
    kill -0 "$pid" 2>/dev/null || { cat "$work/$program.log" >&2; fail "$program did not keep running"; }
    kill -TERM "$pid"
    tries=0
    while kill -0 "$pid" 2>/dev/null && [ -z "$(sed -n 's/^State:[[:space:]]*Z.*/z/p' "/proc/$pid/status" 2>/dev/null)" ]; do
        tries=$((tries + 1))
        [ $tries -lt 200 ] || fail "$program did not end within 10 s of SIGTERM"
        sleep 0.05
    done
    status=0
    wait "$pid" || status=$?
    pid=""
    [ $status -eq 0 ] || { cat "$work/$program.log" >&2; fail "$program ended with status $status"; }
    if ls "$prefix/bin/"*.set >/dev/null 2>&1; then fail "$program wrote its settings into bin"; fi
    saved=$XDG_CONFIG_HOME/$settings
    [ -f "$saved" ] && [ "$(wc -c <"$saved")" -eq 255 ] || fail "$program saved no settings in \$XDG_CONFIG_HOME/$settings"
}
run_window corvina-sim corvina/Corvina.set
run_window quillon-sim quillon/Marrow.set
echo "installed into a prefix: every file in place, entries valid, both windows start and save in the user's folder"

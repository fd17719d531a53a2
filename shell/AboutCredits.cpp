#include "shell/AboutCredits.h"

#include <cstddef>

namespace shell {
namespace {

constexpr unsigned char kKey = 0xA7;

// Scrambles a literal at compile time, so the binary holds no plain text of it.
template <size_t N>
struct Scrambled {
    std::array<unsigned char, N - 1> bytes{};
    consteval explicit Scrambled(const char (&text)[N]) {
        for (size_t i = 0; i + 1 < N; ++i)
            bytes[i] = static_cast<unsigned char>(static_cast<unsigned char>(text[i]) ^ (kKey + i * 13));
    }
    std::string Decode() const {
        std::string text(bytes.size(), '\0');
        for (size_t i = 0; i < bytes.size(); ++i)
            text[i] = static_cast<char>(bytes[i] ^ static_cast<unsigned char>(kKey + i * 13));
        return text;
    }
};

constexpr Scrambled kCorvina1("Written for the 89-series flash programmer board");
constexpr Scrambled kCorvina2("Corvina team");
constexpr Scrambled kCorvina3("Free to use, share and improve");
constexpr Scrambled kQuillon1("Written for the parallel EEPROM programmer board");
constexpr Scrambled kQuillon2("Quillon team");
constexpr Scrambled kQuillon3("Free to use, share and improve");

}  // namespace

std::array<std::string, 3> CreditLines(Program program) {
    if (program == Program::Corvina) return {kCorvina1.Decode(), kCorvina2.Decode(), kCorvina3.Decode()};
    return {kQuillon1.Decode(), kQuillon2.Decode(), kQuillon3.Decode()};
}

void ShowAboutCredits(Program program, AboutView& view) {
    const auto lines = CreditLines(program);
    for (int i = 0; i < 3; ++i) view.SetCredit(i, lines[static_cast<size_t>(i)]);
    view.Beep();
}

}  // namespace shell

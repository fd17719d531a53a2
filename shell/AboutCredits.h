// The About box's credit lines. They are kept scrambled in the program and
// turned into text each time the box is shown.
#pragma once

#include <array>
#include <string>

namespace shell {

enum class Program { Corvina, Quillon };

std::array<std::string, 3> CreditLines(Program program);

// What the About box needs from its window.
class AboutView {
public:
    virtual ~AboutView() = default;
    virtual void SetCredit(int line, const std::string& text) = 0;
    virtual void Beep() = 0;
};

// FormShow of the About box: the credit lines, then one beep.
void ShowAboutCredits(Program program, AboutView& view);

}  // namespace shell

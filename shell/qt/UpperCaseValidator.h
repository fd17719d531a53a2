// An edit field whose letters show in upper case while the user types.
#pragma once

#include <QValidator>

namespace shell::qt {

class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        input = input.toUpper();
        return Acceptable;
    }
};

}  // namespace shell::qt

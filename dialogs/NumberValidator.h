#pragma once
// A field that takes a number as files give them, by the same rule on every
// machine: decimal comma or point, digits grouped by a space. Partial input
// ("-", "1,", "2e") stays typeable; letters and other signs are refused. An
// empty field is accepted.

#include <QValidator>

class NumberValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &position) const override;
};

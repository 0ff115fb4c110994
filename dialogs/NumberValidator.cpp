#include "NumberValidator.h"

#include "NumberReader.h"

QValidator::State NumberValidator::validate(QString &input, int &) const
{
    double value;
    if (NumberReader().readText(input.trimmed(), &value))
        return Acceptable;
    for (QChar c : input)
        if (!(c.isDigit() || QStringView(u"+-,.eE \u00A0").contains(c)))
            return Invalid;
    return Intermediate;
}

#include "NumberValidator.h"

#include "NumberReader.h"

QValidator::State NumberValidator::validate(QString &input, int &) const
{
    // An empty field may be left: what it means is the dialog's to say.
    double value;
    if (input.trimmed().isEmpty() || NumberReader().readText(input.trimmed(), &value))
        return Acceptable;
    for (QChar c : input)
        if (!(c.isDigit() || QStringView(u"+-,.eE \u00A0").contains(c)))
            return Invalid;
    return Intermediate;
}

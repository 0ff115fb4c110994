#pragma once
// Turns one field into a number by a rule that does not depend on the machine:
// the Czech reading first (decimal comma; digits grouped by a space or a
// no-break space, never by "," or "."), then "." as decimal mark, and 0 when
// neither reads it. So "1,750" is 1.75 and "1.5" is 1.5 on every machine, and
// a file means the same wherever it is opened.

#include <QLocale>
#include <QStringView>

class NumberReader {
public:
    NumberReader();

    // Plain numbers ([-]digits[mark digits][e[+-]digits], mark being "," or
    // ".") straight from the bytes, hundreds of times faster than the text
    // rules and with the same value. Returns false for a field that needs the
    // text rules (signs, group separators, blanks, nan, inf, values out of
    // range, ...).
    bool readPlain(const char *begin, const char *end, double *value) const;

    // The text rules themselves, for every field that readPlain leaves;
    // false (and 0) when neither reading gives a number.
    bool readText(QStringView field, double *value) const;
    double readText(QStringView field) const;

    // The same two with "." as the only decimal mark and no digit groups, for
    // files with "," between fields: "1,5" is no number there.
    bool readPlainPoint(const char *begin, const char *end, double *value) const;
    bool readPointText(QStringView field, double *value) const;

private:
    QLocale m_czech;
    QLocale m_point;
};

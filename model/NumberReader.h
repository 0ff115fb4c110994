#pragma once
// Turns one imported field into a number: in the user's locale first, then
// with "." as decimal mark, and 0 when neither reads it.

#include <QLocale>
#include <QStringView>

class NumberReader {
public:
    explicit NumberReader(const QLocale &locale = QLocale());

    // Plain numbers ([-]digits[mark digits][e[+-]digits], mark being the
    // locale's decimal mark or ".") straight from the bytes, hundreds of times
    // faster than the locale conversion and with the same value. Returns false
    // for a field that needs the locale rules (signs, group separators, blanks,
    // nan, inf, values out of range, ...).
    bool readPlain(const char *begin, const char *end, double *value) const;

    // The locale rules themselves, for every field that readPlain leaves;
    // false (and 0) when neither reading gives a number.
    bool readText(QStringView field, double *value) const;
    double readText(QStringView field) const;

private:
    QLocale m_locale;
    QLocale m_pointLocale;
    char m_localeMark = 0; // 0 when the locale's mark takes no fast path
    bool m_pointFast = false;
};

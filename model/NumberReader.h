#pragma once
// Turns one field into a number by a rule that does not depend on the machine:
// the Czech reading first (decimal comma; digits grouped by a space or a
// no-break space, never by "," or "."), then "." as decimal mark, and 0 when
// neither reads it. So "1,750" is 1.75 and "1.5" is 1.5 on every machine, and
// a file means the same wherever it is opened.

#include <QLocale>
#include <QStringView>

#include <cstddef>
#include <cstdint>

class NumberReader {
public:
    NumberReader();

    // Plain numbers ([-]digits[mark digits][e[+-]digits], mark being "," or
    // ".") straight from the bytes, hundreds of times faster than the text
    // rules and with the same value. Returns false for a field that needs the
    // text rules (signs, group separators, blanks, nan, inf, values out of
    // range, ...).
    bool readPlain(const char *begin, const char *end, double *value) const
    {
        return readShortPlain(begin, end, true, value) || readLongPlain(begin, end, true, value);
    }

    // The text rules themselves, for every field that readPlain leaves;
    // false (and 0) when neither reading gives a number.
    bool readText(QStringView field, double *value) const;
    double readText(QStringView field) const;

    // The same two with "." as the only decimal mark and no digit groups, for
    // files with "," between fields: "1,5" is no number there.
    bool readPlainPoint(const char *begin, const char *end, double *value) const
    {
        return readShortPlain(begin, end, false, value) || readLongPlain(begin, end, false, value);
    }
    bool readPointText(QStringView field, double *value) const;

private:
    // The common plain number, read here at a fraction of the cost of
    // readLongPlain: [-]digits[mark digits] with at most 19 digits and an
    // integer of at most 2^53 when the mark is left out, so that its value is
    // that integer divided by a power of ten, both exact, with the one
    // rounding readLongPlain makes too. False for anything else, number or
    // not: readLongPlain decides.
    static bool readShortPlain(const char *p, const char *end, bool commaMark, double *value)
    {
        const bool negative = p < end && *p == '-';
        if (negative)
            ++p;
        const char *digits = p;
        std::uint64_t mantissa = 0;
        for (; p < end && unsigned(*p - '0') < 10; ++p)
            mantissa = mantissa * 10 + unsigned(*p - '0');
        std::ptrdiff_t count = p - digits;
        if (count == 0)
            return false;
        std::ptrdiff_t decimals = 0;
        if (p < end && (*p == '.' || (commaMark && *p == ','))) {
            const char *fraction = ++p;
            for (; p < end && unsigned(*p - '0') < 10; ++p)
                mantissa = mantissa * 10 + unsigned(*p - '0');
            decimals = p - fraction;
            if (decimals == 0)
                return false;
            count += decimals;
        }
        // Nineteen digits do not overflow the integer.
        if (p != end || count > 19 || mantissa > (std::uint64_t(1) << 53))
            return false;
        static constexpr double powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
                                            1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19};
        const double v = double(mantissa) / powers[decimals];
        *value = negative ? -v : v;
        return true;
    }

    // Any plain number, its digits as many as they come and an exponent.
    static bool readLongPlain(const char *begin, const char *end, bool commaMark, double *value);

    QLocale m_czech;
    QLocale m_point;
};

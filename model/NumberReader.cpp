#include "NumberReader.h"

#include <fast_float/fast_float.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// [-]digits[mark digits][e[+-]digits], the mark "." or, when commaMark, ",".
bool readPlainNumber(const char *begin, const char *end, bool commaMark, double *value)
{
    // One pass: the syntax, the decimal mark, and the digits as an integer
    // with a power of ten.
    const char *p = begin;
    const bool negative = p < end && *p == '-';
    if (negative)
        ++p;
    std::uint64_t mantissa = 0;
    int significant = 0;
    int exponent = 0;
    bool truncated = false;
    auto digit = [&](char c, bool fraction) {
        if (mantissa == 0 && c == '0') {
            exponent -= fraction ? 1 : 0;
            return;
        }
        if (significant < 19) {
            mantissa = mantissa * 10 + std::uint64_t(c - '0');
            ++significant;
            exponent -= fraction ? 1 : 0;
        } else {
            truncated = true;
            exponent += fraction ? 0 : 1;
        }
    };
    const char *start = p;
    for (; p < end && isDigit(*p); ++p)
        digit(*p, false);
    if (p == start)
        return false;
    char mark = 0;
    if (p < end && (*p == '.' || (commaMark && *p == ','))) {
        mark = *p++;
        start = p;
        for (; p < end && isDigit(*p); ++p)
            digit(*p, true);
        if (p == start)
            return false;
    }
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool negativeExponent = p < end && *p == '-';
        if (p < end && (*p == '+' || *p == '-'))
            ++p;
        start = p;
        int written = 0;
        for (; p < end && isDigit(*p); ++p)
            written = std::min(written * 10 + (*p - '0'), 100000);
        if (p == start)
            return false;
        exponent += negativeExponent ? -written : written;
    }
    if (p != end)
        return false;
    // Neither reading groups digits by "," or ".", so a single mark is the
    // decimal mark whichever it is.
    if (mark == 0)
        mark = '.';

    // Both factors exact, one rounding: the correctly rounded value.
    static constexpr double powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (!truncated && mantissa <= (std::uint64_t(1) << 53) && exponent >= -22 && exponent <= 22) {
        const double m = double(mantissa);
        const double v = exponent >= 0 ? m * powers[exponent] : m / powers[-exponent];
        *value = negative ? -v : v;
        return true;
    }

    const fast_float::parse_options options(fast_float::chars_format::general, mark);
    const auto result = fast_float::from_chars_advanced(begin, end, *value, options);
    if (result.ec != std::errc() || result.ptr != end)
        return false;
    // Overflow and underflow are not plain: the locale conversion refuses them.
    if (std::isinf(*value) || (*value == 0.0 && mantissa != 0) || (*value != 0.0 && !std::isnormal(*value)))
        return false;
    return true;
}

} // namespace

NumberReader::NumberReader()
    : m_czech(QLocale::Czech, QLocale::Czechia)
    , m_point(QLocale::c())
{
    // "1,500" is not one thousand five hundred when "." is the decimal mark.
    m_point.setNumberOptions(QLocale::RejectGroupSeparator);
}

bool NumberReader::readLongPlain(const char *begin, const char *end, bool commaMark, double *value)
{
    return readPlainNumber(begin, end, commaMark, value);
}

bool NumberReader::readText(QStringView field, double *value) const
{
    bool ok = false;
    *value = m_czech.toDouble(field, &ok);
    if (!ok)
        *value = m_point.toDouble(field, &ok);
    if (!ok)
        *value = 0.0;
    return ok;
}

double NumberReader::readText(QStringView field) const
{
    double value;
    readText(field, &value);
    return value;
}

bool NumberReader::readPointText(QStringView field, double *value) const
{
    bool ok = false;
    *value = m_point.toDouble(field, &ok);
    if (!ok)
        *value = 0.0;
    return ok;
}

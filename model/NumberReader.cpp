#include "NumberReader.h"

#include <fast_float/fast_float.h>

#include <cmath>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// [-]digits[mark digits][(e|E)[+-]digits], and whether any digit before the
// exponent is not 0.
bool isPlainNumber(const char *p, const char *end, char mark, bool *nonZero)
{
    *nonZero = false;
    if (p < end && *p == '-')
        ++p;
    auto digits = [&](bool mantissa) {
        const char *start = p;
        for (; p < end && isDigit(*p); ++p)
            if (mantissa && *p != '0')
                *nonZero = true;
        return p > start;
    };
    if (!digits(true))
        return false;
    if (p < end && *p == mark) {
        ++p;
        if (!digits(true))
            return false;
    }
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        if (p < end && (*p == '+' || *p == '-'))
            ++p;
        if (!digits(false))
            return false;
    }
    return p == end;
}

} // namespace

NumberReader::NumberReader(const QLocale &locale)
    : m_locale(locale)
    , m_pointLocale(QLocale::c())
{
    // "1,500" is not one thousand five hundred when "." is the decimal mark.
    m_pointLocale.setNumberOptions(QLocale::RejectGroupSeparator);

    // The fast path stands in for the locale only where the locale reads plain
    // numbers the ordinary way.
    const QString mark = m_locale.decimalPoint();
    const QString group = m_locale.groupSeparator();
    const bool ordinary = m_locale.zeroDigit() == QLatin1String("0")
                          && m_locale.negativeSign() == QLatin1String("-")
                          && m_locale.exponential().compare(QLatin1String("e"), Qt::CaseInsensitive) == 0;
    if (ordinary && mark.size() == 1 && mark.at(0).unicode() < 0x80 && mark != group)
        m_localeMark = char(mark.at(0).unicode());
    // A "." field is read by the locale first: that is plain only where "."
    // means nothing to the locale, or is its decimal mark.
    m_pointFast = ordinary && group != QLatin1String(".");
}

bool NumberReader::readPlain(const char *begin, const char *end, double *value) const
{
    char mark = 0;
    for (const char *p = begin; p < end; ++p) {
        if (*p == ',' || *p == '.') {
            mark = *p;
            break;
        }
    }
    if (mark == 0)
        mark = m_localeMark ? m_localeMark : '.';
    if (!(mark == m_localeMark || (mark == '.' && m_pointFast)))
        return false;
    bool nonZero = false;
    if (!isPlainNumber(begin, end, mark, &nonZero))
        return false;
    const fast_float::parse_options options(fast_float::chars_format::general, mark);
    const auto result = fast_float::from_chars_advanced(begin, end, *value, options);
    if (result.ec != std::errc() || result.ptr != end)
        return false;
    // Overflow and underflow are not plain: the locale conversion refuses them.
    if (std::isinf(*value) || (*value == 0.0 && nonZero) || (*value != 0.0 && !std::isnormal(*value)))
        return false;
    return true;
}

bool NumberReader::readText(QStringView field, double *value) const
{
    bool ok = false;
    *value = m_locale.toDouble(field, &ok);
    if (!ok)
        *value = m_pointLocale.toDouble(field, &ok);
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

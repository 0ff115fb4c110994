#include "ValueRows.h"

#include <QIODevice>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {
constexpr qsizetype bufferLimit = 1 << 20;
}

namespace {

char *withDecimalComma(char *begin, char *end)
{
    std::replace(begin, end, '.', ',');
    return end;
}

char *formatSlowly(char *out, double value)
{
    return withDecimalComma(out, std::to_chars(out, out + 32, value, std::chars_format::general, 6).ptr);
}

// C's "%.6g" with a decimal comma, built from the shortest digits that read
// back as the value (several times faster than formatting with a precision).
// Rounding those digits to six gives the same digits as rounding the exact
// binary value, except where the shortest form is a tie of seven digits
// ending in 5, and for subnormal numbers: those take the slow way.
char *formatSixDigits(char *out, double value)
{
    if (value != 0.0 && !std::isnormal(value))
        return formatSlowly(out, value);
    char text[32];
    const std::to_chars_result r = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific);
    const char *p = text;
    char *o = out;
    if (*p == '-')
        *o++ = *p++;
    char digits[20];
    int count = 0;
    digits[count++] = *p++;
    if (*p == '.')
        for (++p; *p != 'e'; ++p)
            digits[count++] = *p;
    ++p; // 'e'
    int exponent = 0;
    std::from_chars(*p == '+' ? p + 1 : p, r.ptr, exponent);

    if (count > 6) {
        if (count == 7 && digits[6] == '5')
            return formatSlowly(out, value);
        const bool up = digits[6] >= '5';
        count = 6;
        if (up) {
            int i = 5;
            for (; i >= 0 && digits[i] == '9'; --i)
                digits[i] = '0';
            if (i >= 0) {
                ++digits[i];
            } else {
                digits[0] = '1';
                ++exponent;
            }
        }
    }
    while (count > 1 && digits[count - 1] == '0')
        --count;

    if (exponent < -4 || exponent >= 6) {
        *o++ = digits[0];
        if (count > 1) {
            *o++ = ',';
            for (int i = 1; i < count; ++i)
                *o++ = digits[i];
        }
        *o++ = 'e';
        *o++ = exponent < 0 ? '-' : '+';
        const int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude < 10)
            *o++ = '0';
        return std::to_chars(o, o + 4, magnitude).ptr;
    }
    if (exponent >= 0) {
        for (int i = 0; i <= exponent; ++i)
            *o++ = i < count ? digits[i] : '0';
        if (count > exponent + 1) {
            *o++ = ',';
            for (int i = exponent + 1; i < count; ++i)
                *o++ = digits[i];
        }
        return o;
    }
    *o++ = '0';
    *o++ = ',';
    for (int i = -1; i > exponent; --i)
        *o++ = '0';
    for (int i = 0; i < count; ++i)
        *o++ = digits[i];
    return o;
}

} // namespace

char *formatValue(char *out, double value, NumberDigits digits)
{
    // Written out by hand: glibc would give -nan for a NaN with its sign bit set.
    if (std::isnan(value)) {
        std::memcpy(out, "nan", 3);
        return out + 3;
    }
    if (std::isinf(value)) {
        const char *text = value < 0 ? "-inf" : "inf";
        const size_t length = std::strlen(text);
        std::memcpy(out, text, length);
        return out + length;
    }
    if (digits == NumberDigits::Six)
        return formatSixDigits(out, value);
    return withDecimalComma(out, std::to_chars(out, out + 32, value).ptr);
}

QByteArray formatValue(double value, NumberDigits digits)
{
    char buffer[32];
    return QByteArray(buffer, formatValue(buffer, value, digits) - buffer);
}

ValueRowWriter::ValueRowWriter(QIODevice *device, NumberDigits digits)
    : m_device(device)
    , m_digits(digits)
    , m_buffer(bufferLimit, Qt::Uninitialized)
{
}

ValueRowWriter::~ValueRowWriter()
{
    flush();
}

char *ValueRowWriter::reserve(qsizetype bytes)
{
    if (m_used + bytes > m_buffer.size()) {
        flush();
        if (bytes > m_buffer.size())
            m_buffer.resize(bytes);
    }
    return m_buffer.data() + m_used;
}

void ValueRowWriter::writeRow(const double *values, qsizetype count)
{
    if (count == 0)
        return;
    // 32 bytes hold any value, one more its separator or line end.
    char *const start = reserve(count * 33);
    char *p = start;
    for (qsizetype i = 0; i < count; ++i) {
        if (i > 0)
            *p++ = ';';
        p = formatValue(p, values[i], m_digits);
    }
    *p++ = '\n';
    m_used += p - start;
}

void ValueRowWriter::writeLine(const QByteArray &text)
{
    char *p = reserve(text.size() + 1);
    std::memcpy(p, text.constData(), size_t(text.size()));
    p[text.size()] = '\n';
    m_used += text.size() + 1;
}

bool ValueRowWriter::flush()
{
    if (m_used > 0 && !m_failed && m_device->write(m_buffer.constData(), m_used) != m_used)
        m_failed = true;
    m_used = 0;
    return !m_failed;
}

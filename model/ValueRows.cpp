#include "ValueRows.h"

#include <QIODevice>

#include <charconv>
#include <cmath>
#include <cstring>

namespace {
constexpr qsizetype bufferLimit = 1 << 20;
}

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
    // std::to_chars with a precision is C's "%.6g" without its locale and its cost.
    const std::to_chars_result r = digits == NumberDigits::Six
                                       ? std::to_chars(out, out + 32, value, std::chars_format::general, 6)
                                       : std::to_chars(out, out + 32, value);
    for (char *p = out; p < r.ptr; ++p)
        if (*p == '.')
            *p = ',';
    return r.ptr;
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

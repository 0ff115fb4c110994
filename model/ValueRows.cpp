#include "ValueRows.h"

#include <QIODevice>
#include <QString>

#include <cmath>
#include <cstring>

namespace {
constexpr qsizetype bufferLimit = 1 << 20;
}

QByteArray csvField(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(';') || bytes.contains('"') || bytes.contains('\n') || bytes.contains('\r'))
        bytes = '"' + bytes.replace('"', "\"\"") + '"';
    return bytes;
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
        if (!m_missingAsEmpty || !std::isnan(values[i]))
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

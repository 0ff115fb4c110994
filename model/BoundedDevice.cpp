#include "BoundedDevice.h"

#include <cstring>

BoundedDevice::BoundedDevice(QIODevice *source, qint64 limit)
    : m_source(source)
    , m_limit(limit)
{
    setOpenMode(QIODevice::ReadOnly);
}

qint64 BoundedDevice::bytesAvailable() const
{
    return QIODevice::bytesAvailable() + qMax<qint64>(0, qMin(m_source->bytesAvailable(), m_limit - m_consumed));
}

qint64 BoundedDevice::readData(char *data, qint64 maxSize)
{
    if (m_consumed >= m_limit) {
        // One byte more tells a source that ends exactly here from a longer one.
        char probe;
        if (!m_exceeded && m_source->read(&probe, 1) == 1)
            m_exceeded = true;
        return -1;
    }
    const qint64 got = m_source->read(data, qMin(maxSize, m_limit - m_consumed));
    if (got <= 0)
        return -1;
    m_consumed += got;
    count(data, got);
    return got;
}

void BoundedDevice::count(const char *data, qint64 size)
{
    const char *p = data;
    const char *const end = data + size;
    while (p < end && m_lines < m_linesToCount) {
        const void *lf = std::memchr(p, '\n', size_t(end - p));
        const char *stop = lf ? static_cast<const char *>(lf) : end;
        if (stop > p) {
            m_lineBytes = qMin<qint64>(m_lineBytes + (stop - p), 2);
            m_lastByte = stop[-1];
        }
        if (!lf)
            return;
        ++m_lines;
        if (m_lineBytes == 0 || (m_lineBytes == 1 && m_lastByte == '\r'))
            ++m_blankLines;
        m_lineBytes = 0;
        m_lastByte = 0;
        p = stop + 1;
    }
}

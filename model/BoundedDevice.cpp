#include "BoundedDevice.h"

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
    return got;
}

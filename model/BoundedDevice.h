#pragma once
// Reads another device up to a number of bytes and then reports its end, so
// that a hostile archive entry (a zip bomb) is never inflated past what its
// table could honestly hold.

#include <QIODevice>

class BoundedDevice : public QIODevice {
public:
    BoundedDevice(QIODevice *source, qint64 limit);
    bool isSequential() const override { return true; }
    // What the source says it holds, up to the limit.
    qint64 bytesAvailable() const override;
    // True when the source had more than the limit.
    bool exceeded() const { return m_exceeded; }
    qint64 consumed() const { return m_consumed; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QIODevice *m_source;
    qint64 m_limit;
    qint64 m_consumed = 0;
    bool m_exceeded = false;
};

#pragma once
// Reads another device up to a number of bytes and then reports its end, so
// that a hostile archive entry (a zip bomb) is never inflated past what its
// table could honestly hold. As the bytes pass it can count the lines of
// value rows that hold no value, which cost memory and nothing in the file.

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

    // Counts the lines of the first `lines` lines that pass from here on:
    // lines ending in LF, and a last line without one unless it is empty.
    void countLines(qint64 lines) { m_linesToCount = lines; }
    // The lines counted so far, and those of them without a field (empty, or
    // a lone CR), a last line without its LF included.
    qint64 lines() const { return m_lines + (m_lineBytes > 0 && m_lines < m_linesToCount ? 1 : 0); }
    qint64 blankLines() const
    {
        return m_blankLines + (m_lineBytes == 1 && m_lastByte == '\r' && m_lines < m_linesToCount ? 1 : 0);
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    void count(const char *data, qint64 size);

    QIODevice *m_source;
    qint64 m_limit;
    qint64 m_consumed = 0;
    bool m_exceeded = false;
    qint64 m_linesToCount = 0;
    qint64 m_lines = 0;      // lines ended by LF
    qint64 m_blankLines = 0; // of them without a field
    qint64 m_lineBytes = 0;  // of the line begun, up to 2
    char m_lastByte = 0;     // of the line begun
};

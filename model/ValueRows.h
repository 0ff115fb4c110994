#pragma once
// The value-row dialect, in which tables leave the program (CSV export and
// the tables inside a project file): no header, ";" between values, LF after
// each row, nothing at all for a row without values, every number in the form
// of NumberFormat.

#include "NumberFormat.h"

#include <QByteArray>

class QIODevice;
class QString;

// A text as one field of a ";"-separated line, in UTF-8: as it is, or quoted
// (its quotes doubled) when it holds ";", a quote or a line end.
QByteArray csvField(const QString &text);

// Writes rows to a device through a buffer of its own.
class ValueRowWriter {
public:
    explicit ValueRowWriter(QIODevice *device, NumberDigits digits = NumberDigits::Six);
    ~ValueRowWriter();
    ValueRowWriter(const ValueRowWriter &) = delete;
    ValueRowWriter &operator=(const ValueRowWriter &) = delete;

    void writeRow(const double *values, qsizetype count);
    // A missing value (NaN) as an empty field rather than nan: for files that
    // other programs read.
    void setMissingAsEmpty(bool empty) { m_missingAsEmpty = empty; }
    // Writes a line of text as it stands (a header line), LF added.
    void writeLine(const QByteArray &text);
    // Hands what is buffered to the device; false when the device refused it.
    bool flush();

private:
    char *reserve(qsizetype bytes);

    QIODevice *m_device;
    NumberDigits m_digits;
    QByteArray m_buffer; // filled up to m_used
    qsizetype m_used = 0;
    bool m_failed = false;
    bool m_missingAsEmpty = false;
};

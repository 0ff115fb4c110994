#pragma once
// The value-row dialect, in which tables leave the program (CSV export and
// the tables inside a project file): no header, ";" between values, LF after
// each row, nothing at all for a row without values. A number is written as
// C's "%g" with 6 significant digits, then "." becomes ",": 1234567 is
// 1,23457e+06. Not-a-number and infinities are nan, inf and -inf.

#include <QByteArray>

class QIODevice;

enum class NumberDigits {
    Six,  // "%g": the form of every export
    Full, // the shortest form that reads back the exact value
};

// Writes value into out (at least 32 bytes) and returns the end.
char *formatValue(char *out, double value, NumberDigits digits = NumberDigits::Six);

QByteArray formatValue(double value, NumberDigits digits = NumberDigits::Six);

// Writes rows to a device through a buffer of its own.
class ValueRowWriter {
public:
    explicit ValueRowWriter(QIODevice *device, NumberDigits digits = NumberDigits::Six);
    ~ValueRowWriter();
    ValueRowWriter(const ValueRowWriter &) = delete;
    ValueRowWriter &operator=(const ValueRowWriter &) = delete;

    void writeRow(const double *values, qsizetype count);
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
};

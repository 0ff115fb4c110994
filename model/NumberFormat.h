#pragma once
// The one form in which numbers leave the program: C's "%g" with 6 significant
// digits, then "." becomes ","; 1234567 is 1,23457e+06, 0.1 is 0,1.
// Not-a-number and infinities are nan, inf and -inf.

#include <QByteArray>
#include <QString>

enum class NumberDigits {
    Six,  // "%g": the form of every export
    Full, // the shortest form that reads back the exact value
};

// Writes value into out (at least 32 bytes) and returns the end.
char *formatValue(char *out, double value, NumberDigits digits = NumberDigits::Six);

QByteArray formatValue(double value, NumberDigits digits = NumberDigits::Six);

// The value as a field of a table or an output: formatValue's form, and
// empty for a missing value (NaN).
QString valueField(double value, NumberDigits digits = NumberDigits::Six);

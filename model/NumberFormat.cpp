#include "NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

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

// Lays out up to six significant digits d0.d1d2... x 10^exponent as "%g" does:
// trailing zeros dropped, exponent form below 1e-4 and from 1e6 on.
char *layOut(char *o, char *digits, int count, int exponent)
{
    while (count > 1 && digits[count - 1] == '0')
        --count;
    if (exponent < -4 || exponent >= 6) {
        *o++ = digits[0];
        if (count > 1) {
            *o++ = ',';
            o = std::copy(digits + 1, digits + count, o);
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
            o = std::copy(digits + exponent + 1, digits + count, o);
        }
        return o;
    }
    *o++ = '0';
    *o++ = ',';
    for (int i = -1; i > exponent; --i)
        *o++ = '0';
    return std::copy(digits, digits + count, o);
}

constexpr double powersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                  1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The usual case, 1e-4 <= |v| < 1e15: scale to six integer digits with one
// rounding (powers of ten up to 1e22 are exact), so the scaled value is within
// about 1e-10 of the exact one. Unless it lies that close to a rounding
// boundary (x.5), its rounding is the rounding of the exact value; near a
// power of ten both round to the power. Returns nullptr where not certain.
char *formatBySixDigitInteger(char *o, double magnitude)
{
    if (!(magnitude >= 1e-4 && magnitude < 1e15))
        return nullptr;
    // floor(log10) from the binary exponent, at most one too low.
    std::uint64_t bits;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int binaryExponent = int((bits >> 52) & 0x7FF) - 1023;
    int exponent = (binaryExponent * 78913) >> 18;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int shift = 5 - exponent;
        const double scaled = shift >= 0 ? magnitude * powersOfTen[shift] : magnitude / powersOfTen[-shift];
        if (scaled >= 1000000.0 || scaled < 100000.0) {
            exponent += scaled >= 1000000.0 ? 1 : -1;
            continue;
        }
        const double whole = std::floor(scaled);
        const double fraction = scaled - whole;
        if (std::fabs(fraction - 0.5) < 1e-6)
            return nullptr;
        long number = long(whole) + (fraction > 0.5 ? 1 : 0);
        if (number == 1000000) {
            number = 100000;
            ++exponent;
        }
        char digits[6];
        for (int i = 5; i >= 0; --i, number /= 10)
            digits[i] = char('0' + number % 10);
        return layOut(o, digits, 6, exponent);
    }
    return nullptr;
}

// From the shortest digits that read back as the value. Rounding those to six
// gives the digits of the exact value, except where the shortest form is a
// tie of seven digits ending in 5, and for subnormal numbers.
char *formatFromShortestDigits(char *out, double value)
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
    return layOut(o, digits, count, exponent);
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
    if (digits == NumberDigits::Full)
        return withDecimalComma(out, std::to_chars(out, out + 32, value).ptr);
    char *o = out;
    if (std::signbit(value))
        *o++ = '-';
    if (char *end = formatBySixDigitInteger(o, std::fabs(value)))
        return end;
    return formatFromShortestDigits(out, value);
}

QByteArray formatValue(double value, NumberDigits digits)
{
    char buffer[32];
    return QByteArray(buffer, formatValue(buffer, value, digits) - buffer);
}

QString valueField(double value, NumberDigits digits)
{
    return std::isnan(value) ? QString() : QString::fromLatin1(formatValue(value, digits));
}

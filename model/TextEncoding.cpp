#include "TextEncoding.h"

#include <QStringDecoder>

#include <cstring>

namespace {

// Bytes 0x80 to 0xFF of Windows-1250; U+FFFD where the code page has a gap.
const char16_t windows1250High[128] = {
    0x20AC, 0xFFFD, 0x201A, 0xFFFD, 0x201E, 0x2026, 0x2020, 0x2021,
    0xFFFD, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

bool startsWith(const QByteArray &bytes, const char *prefix, qsizetype length)
{
    return bytes.size() >= length && std::memcmp(bytes.constData(), prefix, size_t(length)) == 0;
}

} // namespace

ImportText prepareImportText(QByteArray bytes)
{
    ImportText text;
    // UTF-32 LE must be tested before UTF-16 LE: its mark begins with FF FE.
    const struct {
        const char *mark;
        qsizetype length;
        QStringConverter::Encoding encoding;
    } marks[] = {
        {"\xFF\xFE\x00\x00", 4, QStringConverter::Utf32LE},
        {"\x00\x00\xFE\xFF", 4, QStringConverter::Utf32BE},
        {"\xFF\xFE", 2, QStringConverter::Utf16LE},
        {"\xFE\xFF", 2, QStringConverter::Utf16BE},
    };
    if (startsWith(bytes, "\xEF\xBB\xBF", 3)) {
        text.bytes = bytes.mid(3);
        return text;
    }
    for (const auto &m : marks) {
        if (startsWith(bytes, m.mark, m.length)) {
            QStringDecoder decoder(m.encoding);
            const QString decoded = decoder.decode(QByteArrayView(bytes).sliced(m.length));
            text.bytes = decoded.toUtf8();
            return text;
        }
    }
    text.encoding = isValidUtf8(bytes.constData(), bytes.size()) ? TextEncoding::Utf8
                                                                 : TextEncoding::Windows1250;
    text.bytes = std::move(bytes);
    return text;
}

bool isValidUtf8(const char *data, qsizetype size)
{
    const auto *p = reinterpret_cast<const unsigned char *>(data);
    const auto *end = p + size;
    while (p < end) {
        // Plain ASCII, eight bytes at a time.
        if (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                p += 8;
                continue;
            }
        }
        char32_t codePoint;
        const int length = utf8Sequence(p, end, &codePoint);
        if (length == 0)
            return false;
        p += length;
    }
    return true;
}

int utf8Sequence(const unsigned char *p, const unsigned char *end, char32_t *codePoint)
{
    const unsigned char lead = *p;
    int length;
    char32_t c;
    if (lead < 0x80) {
        *codePoint = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
    } else {
        return 0;
    }
    if (end - p < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (p[i] & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode.
    if ((length == 3 && c < 0x800) || (length == 4 && c < 0x10000) || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        return 0;
    *codePoint = c;
    return length;
}

QString decodeText(const char *data, qsizetype size, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8) {
        // A byte-order mark inside the text is a character like any other:
        // a field decodes alike alone and as part of its line.
        QStringDecoder decoder(QStringConverter::Utf8,
                               QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless);
        return decoder.decode(QByteArrayView(data, size));
    }
    QString text(size, Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < size; ++i) {
        const auto c = static_cast<unsigned char>(data[i]);
        out[i] = c < 0x80 ? QChar(c) : QChar(windows1250High[c - 0x80]);
    }
    return text;
}

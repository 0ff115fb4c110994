#pragma once
// How the bytes of an imported file become text. A byte-order mark selects its
// Unicode encoding; otherwise valid UTF-8 is read as UTF-8, and anything else is
// taken for what it most likely is: a Czech spreadsheet's Windows-1250 export.

#include <QByteArray>
#include <QString>

enum class TextEncoding { Utf8, Windows1250 };

struct ImportText {
    QByteArray bytes; // without the byte-order mark; UTF-8 when one was found
    TextEncoding encoding = TextEncoding::Utf8;
};

// Strips a byte-order mark (UTF-16 and UTF-32 files are turned into UTF-8) and
// decides the encoding of the rest.
ImportText prepareImportText(QByteArray bytes);

bool isValidUtf8(const char *data, qsizetype size);
// The length of the well-formed UTF-8 sequence at p (1 to 4), its code point in
// *codePoint; 0 for a byte that starts none (a stray continuation, an overlong
// form, a surrogate, a value past U+10FFFF, or a sequence cut by end).
int utf8Sequence(const unsigned char *p, const unsigned char *end, char32_t *codePoint);

QString decodeText(const char *data, qsizetype size, TextEncoding encoding);

#include "CsvReader.h"

#include <QFile>
#include <QHash>
#include <QtAlgorithms>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__linux__)
#include <sys/mman.h>
#endif
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr double missing = std::numeric_limits<double>::quiet_NaN();

// The separators a file is tried with, the one preferred first when two split
// it equally well.
constexpr char candidates[] = {';', '\t', ',', '|'};

// Non-blank lines the separator is chosen from.
constexpr int sampleLines = 20;

// A text cell not resolved yet: it read as a number before its column turned
// out to hold texts, and its text is taken from the file once all rows are read.
constexpr qint32 pendingText = -2;

// A field's bytes, inside its quotes when it has them.
struct Field {
    const char *begin;
    const char *end;
    // Doubled quotes, or characters after the closing quote: the text is
    // unquoted from begin (after the opening quote) to end.
    bool escaped;

    bool isEmpty() const { return begin == end; }
};

// The bits set among the low sixteen.
inline int bitCount(unsigned v)
{
    v = v - ((v >> 1) & 0x5555u);
    v = (v & 0x3333u) + ((v >> 2) & 0x3333u);
    v = (v + (v >> 4)) & 0x0F0Fu;
    return int((v + (v >> 8)) & 0x1Fu);
}

#if defined(__SSE2__)
// The sum of the sixteen bytes.
inline int laneSum(__m128i lanes)
{
    const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
    return _mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_srli_si128(sums, 8));
}
#endif

// The records of the text one after another, fields split by the separator
// outside quotes; blank lines are skipped.
class RecordScanner {
public:
    RecordScanner(const char *begin, const char *end, char separator)
        : m_p(begin)
        , m_end(end)
        , m_separator(separator)
    {
        std::memset(m_stop, 0, sizeof m_stop);
        m_stop[static_cast<unsigned char>(separator)] = true;
        m_stop[static_cast<unsigned char>('\n')] = true;
        m_stop[static_cast<unsigned char>('\r')] = true;
#if defined(__SSE2__)
        m_separatorBytes = _mm_set1_epi8(separator);
        m_lfBytes = _mm_set1_epi8('\n');
        m_crBytes = _mm_set1_epi8('\r');
        m_maskBase = begin;
#endif
    }

    // Hands each field of the next record that is not a blank line to
    // field(const Field &), in order; false at the end of the text. No field
    // is kept here, so a record of any length costs no memory.
    template <typename OnField>
    bool next(OnField &&field)
    {
        if (!startRecord())
            return false;
        do
            field(nextField());
        while (!endOfField());
        return true;
    }

    // Passes over blank lines to the next record; false at the end of the text.
    bool startRecord()
    {
        for (;;) {
            if (m_p == m_end)
                return false;
            if (*m_p != '\n' && *m_p != '\r')
                break;
            skipLineBreak();
        }
        m_recordLine = m_line;
        return true;
    }

    // The field that starts here.
    Field nextField() { return m_p < m_end && *m_p == '"' ? quotedField() : plainField(); }

    // After a field: true when it ended its record (the line break is passed
    // over), false when another field follows its separator.
    bool endOfField()
    {
        if (m_p == m_end)
            return true;
        if (*m_p == m_separator) {
            ++m_p;
            return false;
        }
        skipLineBreak();
        return true;
    }

    // The end of the record of which the fields from here on are left,
    // with their count in *fields; nullptr when a quote stands before it
    // (a quoted field may hold a separator or a line break, and fields are
    // to be read one by one). Passes over nothing: passRecord does.
    const char *recordEnd(qsizetype *fields) const
    {
        const char *p = m_p;
        qsizetype separators = 0;
#if defined(__SSE2__)
        // Sixteen bytes at a time; each lane counts the separators it sees,
        // up to 255 before the lanes are summed.
        const __m128i quoteBytes = _mm_set1_epi8('"');
        __m128i lanes = _mm_setzero_si128();
        int blocks = 0;
        while (m_end - p >= 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
            const __m128i seps = _mm_cmpeq_epi8(bytes, m_separatorBytes);
            const unsigned ends = unsigned(_mm_movemask_epi8(_mm_or_si128(
                _mm_or_si128(_mm_cmpeq_epi8(bytes, m_lfBytes), _mm_cmpeq_epi8(bytes, m_crBytes)),
                _mm_cmpeq_epi8(bytes, quoteBytes))));
            if (ends != 0) {
                const unsigned first = qCountTrailingZeroBits(ends);
                separators += bitCount(unsigned(_mm_movemask_epi8(seps)) & ((1u << first) - 1));
                p += first;
                break;
            }
            lanes = _mm_sub_epi8(lanes, seps);
            p += 16;
            if (++blocks == 255) {
                separators += laneSum(lanes);
                lanes = _mm_setzero_si128();
                blocks = 0;
            }
        }
        separators += laneSum(lanes);
#endif
        for (; p < m_end && *p != '\n' && *p != '\r' && *p != '"'; ++p)
            separators += *p == m_separator ? 1 : 0;
        if (p < m_end && *p == '"')
            return nullptr;
        *fields = separators + 1;
        return p;
    }

    // Passes over the record to end, which recordEnd gave.
    void passRecord(const char *end)
    {
        m_p = end;
        if (m_p != m_end)
            skipLineBreak();
    }

    // The next record's fields into *fields.
    bool next(std::vector<Field> *fields)
    {
        fields->clear();
        return next([fields](const Field &f) { fields->push_back(f); });
    }

    // The line of the file (from 1) where the last record starts.
    qsizetype recordLine() const { return m_recordLine; }
    const char *position() const { return m_p; }
    // Whether the last record ended inside quotes at the end of the text.
    bool unclosed() const { return m_unclosed; }

private:
    // The first separator, CR or LF from p on; the end when there is none.
    // Sixty-four bytes are looked at at once and where they stop is kept as
    // a mask: the next few fields end in the same sixty-four bytes.
    const char *findStop(const char *p)
    {
#if defined(__SSE2__)
        for (;;) {
            const size_t offset = size_t(p - m_maskBase);
            if (offset < 64) {
                const quint64 rest = m_mask >> offset;
                if (rest != 0)
                    return p + qCountTrailingZeroBits(rest);
            }
            if (m_end - p < 64)
                break;
            m_maskBase = p;
            m_mask = stopsOf(p);
            if (m_mask != 0)
                return p + qCountTrailingZeroBits(m_mask);
            p += 64;
        }
#endif
        while (p < m_end && !m_stop[static_cast<unsigned char>(*p)])
            ++p;
        return p;
    }

#if defined(__SSE2__)
    // Bit i set where p[i] is a separator, CR or LF, for the 64 bytes from p.
    quint64 stopsOf(const char *p) const
    {
        quint64 mask = 0;
        for (int i = 0; i < 64; i += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
            const __m128i stops = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, m_separatorBytes),
                                                            _mm_cmpeq_epi8(bytes, m_lfBytes)),
                                               _mm_cmpeq_epi8(bytes, m_crBytes));
            mask |= quint64(unsigned(_mm_movemask_epi8(stops))) << i;
        }
        return mask;
    }
#endif

    Field plainField()
    {
        const char *begin = m_p;
        m_p = findStop(m_p);
        return {begin, m_p, false};
    }

    Field quotedField()
    {
        Field field{++m_p, m_end, false};
        for (;;) {
            while (m_p < m_end && *m_p != '"') {
                if (*m_p == '\n' || (*m_p == '\r' && (m_p + 1 == m_end || m_p[1] != '\n')))
                    ++m_line;
                ++m_p;
            }
            if (m_p == m_end) {
                m_unclosed = true;
                return field;
            }
            if (m_p + 1 < m_end && m_p[1] == '"') {
                field.escaped = true;
                m_p += 2;
                continue;
            }
            field.end = m_p++;
            // Whatever stands between the closing quote and the separator
            // belongs to the field as it stands.
            if (m_p < m_end && !m_stop[static_cast<unsigned char>(*m_p)]) {
                field.escaped = true;
                m_p = findStop(m_p);
                field.end = m_p;
            }
            return field;
        }
    }

    // LF, CR LF or a lone CR.
    void skipLineBreak()
    {
        if (*m_p++ == '\r' && m_p < m_end && *m_p == '\n')
            ++m_p;
        ++m_line;
    }

    const char *m_p;
    const char *m_end;
    char m_separator;
    bool m_stop[256];
#if defined(__SSE2__)
    __m128i m_separatorBytes;
    __m128i m_lfBytes;
    __m128i m_crBytes;
    // The stops of the 64 bytes from m_maskBase.
    const char *m_maskBase;
    quint64 m_mask = 0;
#endif
    qsizetype m_line = 1;
    qsizetype m_recordLine = 1;
    bool m_unclosed = false;
};

// The field's bytes without its quotes; *buffer holds them when the field
// had to be unquoted.
QByteArrayView fieldBytes(const Field &field, QByteArray *buffer)
{
    if (!field.escaped)
        return QByteArrayView(field.begin, field.end - field.begin);
    buffer->clear();
    bool inside = true;
    for (const char *p = field.begin; p < field.end; ++p) {
        if (inside && *p == '"') {
            if (p + 1 < field.end && p[1] == '"')
                ++p;
            else {
                inside = false;
                continue;
            }
        }
        buffer->append(*p);
    }
    return *buffer;
}

bool isNA(QByteArrayView bytes)
{
    return bytes.size() == 2 && bytes[0] == 'N' && bytes[1] == 'A';
}

// The number rule of the table's decimal mark.
class NumberRule {
public:
    NumberRule(DecimalMark decimal, TextEncoding encoding)
        : m_point(decimal == DecimalMark::Point)
        , m_encoding(encoding)
    {
    }

    bool readPlain(const char *begin, const char *end, double *value) const
    {
        return m_point ? m_reader.readPlainPoint(begin, end, value) : m_reader.readPlain(begin, end, value);
    }

    bool readText(const QString &text, double *value) const
    {
        return m_point ? m_reader.readPointText(text, value) : m_reader.readText(text, value);
    }

    // Any number: the plain path, then the text rules on the decoded bytes.
    bool read(QByteArrayView bytes, double *value) const
    {
        return readPlain(bytes.begin(), bytes.end(), value) || readText(decode(bytes), value);
    }

    QString decode(QByteArrayView bytes) const { return decodeText(bytes.data(), bytes.size(), m_encoding); }

private:
    NumberReader m_reader;
    bool m_point;
    TextEncoding m_encoding;
};

// Empty, NA or a number.
bool isNumberOrMissing(const Field &field, const NumberRule &rule)
{
    QByteArray buffer;
    const QByteArrayView bytes = fieldBytes(field, &buffer);
    double value;
    return bytes.isEmpty() || isNA(bytes) || rule.read(bytes, &value);
}

// The text up to the end of its first sampleLines non-blank lines.
const char *sampleEnd(const char *begin, const char *end)
{
    int lines = 0;
    const char *p = begin;
    while (p < end && lines < sampleLines) {
        if (*p == '\n' || *p == '\r') {
            ++p;
            continue;
        }
        ++lines;
        while (p < end && *p != '\n' && *p != '\r')
            ++p;
    }
    return p;
}

// How each sampled record splits by one separator: its field count, and the
// count without its trailing empty fields.
struct Split {
    std::vector<std::pair<qsizetype, qsizetype>> counts;
    // Whether every record is one field holding a number or nothing.
    bool singleNumbers = true;
};

Split splitSample(const char *begin, const char *end, char separator, const NumberRule &rule)
{
    Split split;
    RecordScanner scanner(begin, end, separator);
    for (;;) {
        qsizetype count = 0;
        qsizetype filled = 0;
        Field first{nullptr, nullptr, false};
        const bool more = scanner.next([&](const Field &field) {
            if (count == 0)
                first = field;
            ++count;
            if (!field.isEmpty())
                filled = count;
        });
        if (!more)
            break;
        // A record the sample cuts inside quotes says nothing.
        if (scanner.unclosed() && !split.counts.empty())
            break;
        split.counts.emplace_back(count, filled);
        if (split.singleNumbers && (count != 1 || !isNumberOrMissing(first, rule)))
            split.singleNumbers = false;
    }
    return split;
}

// How many sampled records agree with the first one's field count (a record
// longer only by empty fields agrees); 0 when the first record is one field
// or fewer than half of the records agree.
qsizetype agreement(const Split &split)
{
    if (split.counts.empty() || split.counts.front().first <= 1)
        return 0;
    const qsizetype width = split.counts.front().first;
    qsizetype agreeing = 0;
    for (const auto &[count, filled] : split.counts)
        if (count == width || (count > width && filled <= width))
            ++agreeing;
    return 2 * agreeing >= qsizetype(split.counts.size()) ? agreeing : 0;
}

// The candidate (other than excluded) that splits the sample into the same
// number of fields on most of its records; 0 when none does, or when every
// line is one number (a column of numbers with decimal commas).
char bestSeparator(const char *begin, const char *end, TextEncoding encoding, char excluded)
{
    const char *last = sampleEnd(begin, end);
    const NumberRule rule(DecimalMark::CommaOrPoint, encoding);
    char best = 0;
    qsizetype bestAgreement = 0;
    for (char candidate : candidates) {
        const Split split = splitSample(begin, last, candidate, rule);
        if (candidate == ';' && split.singleNumbers)
            return 0;
        const qsizetype a = candidate == excluded ? 0 : agreement(split);
        if (a > bestAgreement) {
            best = candidate;
            bestAgreement = a;
        }
    }
    return best;
}

bool startsWithUtf8Mark(const QByteArray &bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF");
}

bool startsWithMark(const QByteArray &bytes)
{
    return startsWithUtf8Mark(bytes) || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")
           || bytes.startsWith(QByteArrayView("\x00\x00\xFE\xFF", 4));
}

// The text of the file and where it starts: a UTF-8 mark is passed over in
// place, the file's bytes are not copied for it.
ImportText fileText(QByteArray bytes, const std::optional<TextEncoding> &encoding, qsizetype *start)
{
    *start = 0;
    if (startsWithUtf8Mark(bytes)) {
        *start = 3;
        return {std::move(bytes), TextEncoding::Utf8};
    }
    if (encoding && !startsWithMark(bytes))
        return {std::move(bytes), *encoding};
    return prepareImportText(std::move(bytes));
}

// Line breaks from p on (LF, CR LF and lone CR), counting no further than limit.
qsizetype countLineBreaks(const char *p, const char *end, qsizetype limit)
{
    qsizetype count = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time, each lane counting the LFs and lone CRs it
    // sees (a byte is one or the other, or neither) up to 255 before the
    // lanes are summed. The next byte tells a lone CR: it is loaded too.
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    while (count < limit && end - p > 16) {
        __m128i lanes = _mm_setzero_si128();
        for (int i = 0; i < 255 && end - p > 16; ++i, p += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 1));
            const __m128i loneCr = _mm_andnot_si128(_mm_cmpeq_epi8(next, lf), _mm_cmpeq_epi8(bytes, cr));
            lanes = _mm_sub_epi8(lanes, _mm_or_si128(_mm_cmpeq_epi8(bytes, lf), loneCr));
        }
        count += laneSum(lanes);
    }
#endif
    for (; p < end && count < limit; ++p)
        if (*p == '\n' || (*p == '\r' && (p + 1 == end || p[1] != '\n')))
            ++count;
    return std::min(count, limit);
}

// The whole pages of [data, data + size), about to be written, made present
// in one call rather than by a page fault every 4 kB. Systems without the
// call fault them in as they are written.
void makePagesPresent(void *data, size_t size)
{
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    static const auto page = uintptr_t(sysconf(_SC_PAGESIZE));
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + page - 1) & ~(page - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + size) & ~(page - 1);
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_POPULATE_WRITE);
#else
    Q_UNUSED(data);
    Q_UNUSED(size);
#endif
}

// The pages of a big table's values, made present ahead of the rows as they
// are written, a few MB at a time: one call instead of a page fault every
// 4 kB, and no page for rows that the file's blank lines only promised.
class PageFaulter {
public:
    void reset(const void *data, size_t size)
    {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
        const auto page = uintptr_t(sysconf(_SC_PAGESIZE));
        m_page = page;
        m_next = (reinterpret_cast<uintptr_t>(data) + page - 1) & ~(page - 1);
        m_end = (reinterpret_cast<uintptr_t>(data) + size) & ~(page - 1);
        if (size < step)
            m_end = m_next;
#else
        Q_UNUSED(data);
        Q_UNUSED(size);
#endif
    }

    // The pages up to p are to be written now.
    void reach(const void *p)
    {
        if (reinterpret_cast<uintptr_t>(p) > m_next && m_next < m_end)
            advance(reinterpret_cast<uintptr_t>(p));
    }

private:
    static constexpr uintptr_t step = uintptr_t(4) << 20;

    void advance(uintptr_t p)
    {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
        const uintptr_t to = std::min(m_end, (p & ~(m_page - 1)) + step);
        // A system without it writes the pages as they come.
        if (madvise(reinterpret_cast<void *>(m_next), to - m_next, MADV_POPULATE_WRITE) != 0) {
            m_next = m_end;
            return;
        }
        m_next = to;
#else
        Q_UNUSED(p);
#endif
    }

    uintptr_t m_page = 1;
    uintptr_t m_next = 0;
    uintptr_t m_end = 0;
};

// A text's bytes as the key of its index. Column texts are short and looked
// up once per cell: FNV-1a costs a fraction of qHash on them.
struct TextKey {
    QByteArray bytes;

    bool operator==(const TextKey &other) const { return bytes == other.bytes; }
};

size_t qHash(const TextKey &key, size_t seed)
{
    quint64 hash = 0xcbf29ce484222325ULL ^ seed;
    for (const char c : key.bytes)
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
    return size_t(hash);
}

// The texts of a column as it is read, each distinct text once, and its
// cells. Only texts that are no numbers are kept while the rows are read.
struct TextPool {
    QHash<TextKey, qint32> index;
    // The texts holding U+FFFD, where bytes the encoding has no character for
    // stood: different bytes may give the same text.
    QHash<QString, qint32> replaced;
    QStringList texts;
    std::vector<qint32> cells;
    qsizetype pending = 0;

    // The text's index; -1 when the column has not held it.
    qint32 find(QByteArrayView bytes) const
    {
        return index.value(TextKey{QByteArray::fromRawData(bytes.data(), bytes.size())}, -1);
    }

    qint32 add(QByteArrayView bytes, QString text)
    {
        qint32 i = qint32(texts.size());
        if (text.contains(QChar::ReplacementCharacter)) {
            const auto same = replaced.constFind(text);
            if (same != replaced.constEnd())
                i = same.value();
            else
                replaced.insert(text, i);
        }
        index.insert(TextKey{QByteArray(bytes.data(), bytes.size())}, i);
        if (i == texts.size())
            texts.append(std::move(text));
        return i;
    }

    qint32 intern(QByteArrayView bytes, const NumberRule &rule)
    {
        const qint32 i = find(bytes);
        return i >= 0 ? i : add(bytes, rule.decode(bytes));
    }
};

struct ColumnCount {
    qsizetype numbers = 0;
    qsizetype others = 0; // non-empty cells other than NA that are not numbers
    int pool = -1;        // its TextPool once it has held a text
};

class TableReader {
public:
    TableReader(const char *begin, const char *end, const CsvDialect &dialect)
        : m_begin(begin)
        , m_end(end)
        , m_dialect(dialect)
        , m_rule(dialect.decimal, dialect.encoding)
    {
    }

    // The header as the file shows it unless options.header says.
    bool read(const CsvReadOptions &options, CsvTable *table, QString *error);

private:
    void field(qsizetype index, const Field &field, double *out);
    void endRow(qsizetype count, qsizetype line, CsvTable *table);
    double cell(int column, const Field &field, qsizetype row);
    double unplainCell(int column, const Field &field, qsizetype row);
    void resolvePending();
    void finishColumns(CsvTable *table);

    const char *m_begin;
    const char *m_end;
    CsvDialect m_dialect;
    NumberRule m_rule;
    int m_width = 0;
    qsizetype m_rows = 0;
    qsizetype m_bound = 0;
    double *m_values = nullptr;
    // Per column: whether it is read (1) or only passed over (0).
    std::vector<char> m_read;
    // Whether the row being read has a non-empty field past the table's width.
    bool m_surplus = false;
    std::vector<ColumnCount> m_counts;
    std::vector<TextPool> m_pools;
    QByteArray m_buffer;
    PageFaulter m_faulter;
};

bool TableReader::read(const CsvReadOptions &options, CsvTable *table, QString *error)
{
    RecordScanner scanner(m_begin, m_end, m_dialect.separator);
    // The first record's fields, no more of them than a table may have
    // columns: a line of millions of fields is counted, not kept.
    std::vector<Field> fields;
    qsizetype firstCount = 0;
    if (!scanner.next([&](const Field &f) {
            if (firstCount++ < MaxCsvColumns)
                fields.push_back(f);
        })) {
        m_dialect.header = options.header.value_or(m_dialect.header);
        table->dialect = m_dialect;
        return true;
    }
    if (firstCount > MaxCsvColumns) {
        if (error)
            *error = QStringLiteral("Tabulka má %1 sloupců (polí prvního řádku), program jich přečte nejvýš %2.")
                         .arg(firstCount)
                         .arg(MaxCsvColumns);
        return false;
    }
    const qsizetype firstLine = scanner.recordLine();
    m_width = int(fields.size());
    // A header holds some text; NA is a missing number, not a name.
    m_dialect.header = options.header ? *options.header
                                      : std::any_of(fields.begin(), fields.end(), [this](const Field &f) {
                                            return !isNumberOrMissing(f, m_rule);
                                        });
    table->dialect = m_dialect;

    table->headers.reserve(m_width);
    for (int c = 0; c < m_width; ++c) {
        if (m_dialect.header)
            table->headers.append(m_rule.decode(fieldBytes(fields[size_t(c)], &m_buffer)));
        else
            table->headers.append(QString::number(c + 1));
    }
    m_read.assign(size_t(m_width), options.columns.empty() ? 1 : 0);
    for (int c : options.columns)
        if (c >= 0 && c < m_width)
            m_read[size_t(c)] = 1;

    // Every data row ends in a line break but the last: their count bounds
    // the rows, and the values are allocated once.
    const qsizetype limit = options.maxRows < 0 ? std::numeric_limits<qsizetype>::max() : options.maxRows;
    const qsizetype firstRow = m_dialect.header ? 0 : 1;
    qsizetype bound = firstRow;
    if (bound < limit && scanner.position() < m_end)
        bound += countLineBreaks(scanner.position(), m_end, limit - bound - 1) + 1;
    bound = std::min(bound, limit);
    if (bound > INT_MAX || double(bound) * double(m_width) * sizeof(double) > double(PTRDIFF_MAX)) {
        if (error)
            *error = QStringLiteral("Na tabulku nestačí paměť.");
        return false;
    }
    // A cell of a full row takes at least a byte of the file (its separator).
    // Rows far shorter than a wide header would make the values take memory
    // the file does not come near: such a file is refused, not read.
    const double valueBytes = double(bound) * double(m_width) * sizeof(double);
    if (valueBytes > double(MaxValueBytesPerFileByte) * double(m_end - m_begin) + double(ValueBytesAllowance)) {
        if (error)
            *error = QStringLiteral("Tabulka by měla %1 řádků po %2 sloupcích (%3 MB), ale soubor má jen %4 bajtů: "
                                    "řádky jsou proti záhlaví příliš krátké.")
                         .arg(bound)
                         .arg(m_width)
                         .arg(qint64(valueBytes / (1 << 20)))
                         .arg(qint64(m_end - m_begin));
        return false;
    }
    m_bound = bound;
    cv::Mat values(int(bound), m_width, CV_64F);
    m_faulter.reset(values.data, values.total() * values.elemSize());
    m_values = bound > 0 ? values.ptr<double>(0) : nullptr;
    m_counts.assign(size_t(m_width), ColumnCount());

    if (!m_dialect.header && bound > 0) {
        double *out = m_values;
        for (size_t c = 0; c < fields.size(); ++c)
            field(qsizetype(c), fields[c], out);
        endRow(qsizetype(fields.size()), firstLine, table);
    }
    fields = std::vector<Field>();
    // Past the last column read, the rest of a record is only counted, as a
    // whole when no quote stands in it.
    int last = m_width - 1;
    while (last >= 0 && !m_read[size_t(last)])
        --last;
    const char separator = m_dialect.separator;
    const bool passOver = last < m_width - 1 && separator != '\n' && separator != '\r' && separator != '"';
    while (m_rows < bound && scanner.startRecord()) {
        double *out = m_values + size_t(m_rows) * size_t(m_width);
        m_faulter.reach(out + m_width);
        qsizetype count = 0;
        bool whole = passOver;
        for (;;) {
            if (whole && count > last) {
                whole = false;
                qsizetype rest = 0;
                const char *end = scanner.recordEnd(&rest);
                // A longer row is read field by field: only a field that is
                // not empty makes it longer.
                if (end && count + rest <= m_width) {
                    std::fill(out + count, out + count + rest, missing);
                    count += rest;
                    scanner.passRecord(end);
                    break;
                }
            }
            field(count++, scanner.nextField(), out);
            if (scanner.endOfField())
                break;
        }
        endRow(count, scanner.recordLine(), table);
    }

    table->values = m_rows > 0 ? values.rowRange(0, int(m_rows)) : cv::Mat(0, m_width, CV_64F);
    resolvePending();
    finishColumns(table);
    return true;
}

// The field at index of the row whose values start at out.
inline void TableReader::field(qsizetype index, const Field &field, double *out)
{
    if (index < m_width)
        out[index] = m_read[size_t(index)] ? cell(int(index), field, m_rows) : missing;
    else if (!field.isEmpty())
        m_surplus = true;
}

// The row of count fields read: a shorter one's last cells are missing.
void TableReader::endRow(qsizetype count, qsizetype line, CsvTable *table)
{
    if (count < m_width) {
        double *out = m_values + size_t(m_rows) * size_t(m_width);
        for (qsizetype c = count; c < m_width; ++c) {
            out[c] = missing;
            if (m_counts[size_t(c)].pool >= 0)
                m_pools[size_t(m_counts[size_t(c)].pool)].cells.push_back(-1);
        }
        table->shortRows.append({m_rows, line, count});
    } else if (count > m_width && m_surplus) {
        table->longRows.append({m_rows, line, count});
    }
    m_surplus = false;
    ++m_rows;
}

// Most cells are plain numbers of a column without texts: they are read here
// at once, and every other cell by unplainCell.
inline double TableReader::cell(int column, const Field &field, qsizetype row)
{
    ColumnCount &count = m_counts[size_t(column)];
    double value;
    if (count.pool < 0 && !field.escaped && !field.isEmpty() && m_rule.readPlain(field.begin, field.end, &value)) {
        ++count.numbers;
        return value;
    }
    return unplainCell(column, field, row);
}

double TableReader::unplainCell(int column, const Field &field, qsizetype row)
{
    ColumnCount &count = m_counts[size_t(column)];
    TextPool *pool = count.pool >= 0 ? &m_pools[size_t(count.pool)] : nullptr;
    // A number keeps no text: should its column turn out a text column, the
    // text is read again from the file.
    const auto number = [&](double value) {
        ++count.numbers;
        if (pool) {
            pool->cells.push_back(pendingText);
            ++pool->pending;
        }
        return value;
    };
    const auto none = [&] {
        if (pool)
            pool->cells.push_back(-1);
        return missing;
    };
    if (field.isEmpty())
        return none();
    double value;
    if (!field.escaped && m_rule.readPlain(field.begin, field.end, &value))
        return number(value);
    const QByteArrayView bytes = fieldBytes(field, &m_buffer);
    if (bytes.isEmpty() || isNA(bytes))
        return none();
    // A text the column has held before is known to be no number.
    qint32 i = pool ? pool->find(bytes) : -1;
    if (i < 0) {
        QString text = m_rule.decode(bytes);
        if (m_rule.readText(text, &value))
            return number(value);
        if (!pool) {
            // The column's first text: the cells before it are numbers or missing.
            count.pool = int(m_pools.size());
            pool = &m_pools.emplace_back();
            pool->cells.reserve(size_t(m_bound));
            pool->cells.assign(size_t(row), pendingText);
            pool->pending = row;
        }
        i = pool->add(bytes, std::move(text));
    }
    pool->cells.push_back(i);
    ++count.others;
    return missing;
}

// The texts of the number-looking cells of text columns, from a second pass
// over the file that reads only those cells.
void TableReader::resolvePending()
{
    std::vector<int> columns;
    qsizetype pending = 0;
    for (int c = 0; c < m_width; ++c) {
        const ColumnCount &count = m_counts[size_t(c)];
        if (count.pool >= 0 && count.others > count.numbers && m_pools[size_t(count.pool)].pending > 0) {
            columns.push_back(c);
            pending += m_pools[size_t(count.pool)].pending;
        }
    }
    if (columns.empty())
        return;
    RecordScanner scanner(m_begin, m_end, m_dialect.separator);
    std::vector<Field> fields;
    if (m_dialect.header)
        scanner.next(&fields);
    for (qsizetype row = 0; pending > 0 && row < m_rows && scanner.next(&fields); ++row) {
        for (int c : columns) {
            TextPool &pool = m_pools[size_t(m_counts[size_t(c)].pool)];
            qint32 &cell = pool.cells[size_t(row)];
            if (cell != pendingText)
                continue;
            --pending;
            const QByteArrayView bytes = size_t(c) < fields.size() ? fieldBytes(fields[size_t(c)], &m_buffer)
                                                                   : QByteArrayView();
            cell = bytes.isEmpty() || isNA(bytes) ? -1 : pool.intern(bytes, m_rule);
        }
    }
}

void TableReader::finishColumns(CsvTable *table)
{
    table->kinds.assign(size_t(m_width), ColumnKind::Number);
    double *values = table->values.empty() ? nullptr : table->values.ptr<double>(0);
    for (int c = 0; c < m_width; ++c) {
        const ColumnCount &count = m_counts[size_t(c)];
        if (count.pool < 0)
            continue;
        TextPool &pool = m_pools[size_t(count.pool)];
        pool.cells.resize(size_t(m_rows), -1);
        if (count.others > count.numbers) {
            table->kinds[size_t(c)] = ColumnKind::Text;
            for (qsizetype r = 0; r < m_rows; ++r)
                values[size_t(r) * size_t(m_width) + size_t(c)] = missing;
            TextColumn &column = table->texts[c];
            column.texts = std::move(pool.texts);
            column.cells = std::move(pool.cells);
        } else {
            for (qsizetype r = 0; r < m_rows; ++r) {
                const qint32 i = pool.cells[size_t(r)];
                if (i >= 0)
                    table->unread.append({r, c, pool.texts.at(i)});
            }
        }
        pool = TextPool();
    }
    std::sort(table->unread.begin(), table->unread.end(), [](const UnreadField &a, const UnreadField &b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    });
}

} // namespace

bool readCsvTable(QByteArray bytes, const CsvReadOptions &options, CsvTable *table, QString *error)
{
    *table = CsvTable();
    try {
        qsizetype start = 0;
        const ImportText text = fileText(std::move(bytes), options.encoding, &start);
        const char *begin = text.bytes.constData() + start;
        const char *end = text.bytes.constData() + text.bytes.size();

        CsvDialect dialect;
        dialect.encoding = text.encoding;
        if (options.separator) {
            dialect.separator = *options.separator;
        } else {
            const char found = bestSeparator(begin, end, text.encoding, 0);
            dialect.separator = found ? found : ';';
        }
        dialect.decimal = options.decimal ? *options.decimal
                          : dialect.separator == ',' ? DecimalMark::Point
                                                     : DecimalMark::CommaOrPoint;
        TableReader reader(begin, end, dialect);
        if (reader.read(options, table, error))
            return true;
        *table = CsvTable();
        return false;
    } catch (const std::bad_alloc &) {
    } catch (const cv::Exception &) {
    }
    *table = CsvTable();
    if (error)
        *error = QStringLiteral("Na tabulku nestačí paměť.");
    return false;
}

char suggestedSeparator(const QByteArray &bytes, const CsvDialect &read)
{
    qsizetype start = 0;
    const ImportText text = fileText(bytes, read.encoding, &start);
    const char *begin = text.bytes.constData() + start;
    const char *end = text.bytes.constData() + text.bytes.size();
    const NumberRule rule(read.decimal, text.encoding);
    const Split split = splitSample(begin, sampleEnd(begin, end), read.separator, rule);
    if (split.counts.empty() || split.counts.front().first != 1)
        return 0;
    return bestSeparator(begin, end, text.encoding, read.separator);
}

namespace {

// Whether the file is as it was: the same size, and no write since (the
// modification time to the nanosecond).
bool unchanged(const struct stat &before, const struct stat &now)
{
    return now.st_size == before.st_size && now.st_mtim.tv_sec == before.st_mtim.tv_sec
           && now.st_mtim.tv_nsec == before.st_mtim.tv_nsec;
}

} // namespace

FileReading readRegularFile(int fd, qint64 size, QByteArray *bytes, const FileBlocks &blocks)
{
    struct stat before {};
    if (::fstat(fd, &before) != 0)
        return FileReading::Failed;
    if (before.st_size != size || size < 0)
        return FileReading::Changed;
    QByteArray read(qsizetype(size), Qt::Uninitialized);
    const qint64 block = std::max<qint64>(blocks.blockBytes, 1);
    const auto stillAsBefore = [&] {
        struct stat now {};
        if (::fstat(fd, &now) != 0)
            return FileReading::Failed;
        return unchanged(before, now) ? FileReading::Done : FileReading::Changed;
    };
    for (qint64 done = 0; done < size;) {
        // The block's pages are still in the cache when read() copies into them.
        const qint64 count = std::min(block, size - done);
        makePagesPresent(read.data() + done, size_t(count));
        const ssize_t n = ::read(fd, read.data() + done, size_t(count));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return FileReading::Failed;
        if (n == 0)
            return FileReading::Changed; // cut short
        done += n;
        if (done == size)
            break;
        if (blocks.afterBlock)
            blocks.afterBlock();
        if (const FileReading state = stillAsBefore(); state != FileReading::Done)
            return state;
    }
    // Nothing past the size it had, and still no write.
    char more;
    ssize_t n;
    while ((n = ::read(fd, &more, 1)) < 0 && errno == EINTR) {
    }
    if (n < 0)
        return FileReading::Failed;
    if (n > 0)
        return FileReading::Changed;
    if (const FileReading state = stillAsBefore(); state != FileReading::Done)
        return state;
    *bytes = std::move(read);
    return FileReading::Done;
}

bool readCsvFile(const QString &path, const CsvReadOptions &options, CsvTable *table, QString *error,
                 const FileBlocks &blocks)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = QStringLiteral("Soubor nelze otevřít: %1").arg(file.errorString());
        return false;
    }
    QByteArray bytes;
    struct stat opened {};
    if (::fstat(file.handle(), &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_size > 0) {
        FileReading read = FileReading::Failed;
        try {
            read = readRegularFile(file.handle(), opened.st_size, &bytes, blocks);
        } catch (const std::bad_alloc &) {
            if (error)
                *error = QStringLiteral("Na tabulku nestačí paměť.");
            return false;
        }
        if (read != FileReading::Done) {
            if (error)
                *error = read == FileReading::Changed
                             ? QStringLiteral("Soubor se během čtení změnil.")
                             : QStringLiteral("Soubor se nepodařilo přečíst: %1").arg(qt_error_string(errno));
            return false;
        }
    } else {
        // A FIFO, a device, or a file that tells no size (those of /proc): until its end.
        bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            if (error)
                *error = QStringLiteral("Soubor se nepodařilo přečíst: %1").arg(file.errorString());
            return false;
        }
    }
    return readCsvTable(std::move(bytes), options, table, error);
}

QString separatorName(char separator)
{
    switch (separator) {
    case ';':
        return QStringLiteral("středník");
    case ',':
        return QStringLiteral("čárka");
    case '\t':
        return QStringLiteral("tabulátor");
    case '|':
        return QStringLiteral("svislá čára");
    default:
        return QStringLiteral("„%1“").arg(QChar::fromLatin1(separator));
    }
}

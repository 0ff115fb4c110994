#include "CsvReader.h"

#include <QHash>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

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
    }

    // The next record that is not a blank line into *fields; false at the end.
    bool next(std::vector<Field> *fields)
    {
        for (;;) {
            if (m_p == m_end)
                return false;
            if (*m_p != '\n' && *m_p != '\r')
                break;
            skipLineBreak();
        }
        m_recordLine = m_line;
        fields->clear();
        for (;;) {
            fields->push_back(m_p < m_end && *m_p == '"' ? quotedField() : plainField());
            if (m_p == m_end)
                return true;
            if (*m_p == m_separator) {
                ++m_p;
                continue;
            }
            skipLineBreak();
            return true;
        }
    }

    // The line of the file (from 1) where the last record starts.
    qsizetype recordLine() const { return m_recordLine; }
    const char *position() const { return m_p; }
    // Whether the last record ended inside quotes at the end of the text.
    bool unclosed() const { return m_unclosed; }

private:
    Field plainField()
    {
        const char *begin = m_p;
        while (m_p < m_end && !m_stop[static_cast<unsigned char>(*m_p)])
            ++m_p;
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
                while (m_p < m_end && !m_stop[static_cast<unsigned char>(*m_p)])
                    ++m_p;
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
    std::vector<Field> fields;
    while (scanner.next(&fields)) {
        // A record the sample cuts inside quotes says nothing.
        if (scanner.unclosed() && !split.counts.empty())
            break;
        qsizetype filled = qsizetype(fields.size());
        while (filled > 0 && fields[size_t(filled - 1)].isEmpty())
            --filled;
        split.counts.emplace_back(qsizetype(fields.size()), filled);
        if (split.singleNumbers && (fields.size() != 1 || !isNumberOrMissing(fields.front(), rule)))
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
    for (const char *q = p; count < limit && (q = static_cast<const char *>(std::memchr(q, '\n', size_t(end - q))));
         ++q)
        ++count;
    for (const char *q = p; count < limit && (q = static_cast<const char *>(std::memchr(q, '\r', size_t(end - q))));
         ++q)
        if (q + 1 == end || q[1] != '\n')
            ++count;
    return std::min(count, limit);
}

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

    // The header as the file shows it unless header says.
    bool read(std::optional<bool> header, qsizetype maxRows, CsvTable *table, QString *error);

private:
    double cell(int column, const Field &field, qsizetype row);
    void readRow(const std::vector<Field> &fields, qsizetype line, CsvTable *table);
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
    std::vector<ColumnCount> m_counts;
    std::vector<TextPool> m_pools;
    QByteArray m_buffer;
};

bool TableReader::read(std::optional<bool> header, qsizetype maxRows, CsvTable *table, QString *error)
{
    RecordScanner scanner(m_begin, m_end, m_dialect.separator);
    std::vector<Field> fields;
    if (!scanner.next(&fields)) {
        m_dialect.header = header.value_or(m_dialect.header);
        table->dialect = m_dialect;
        return true;
    }
    const qsizetype firstLine = scanner.recordLine();
    if (fields.size() > size_t(INT_MAX)) {
        if (error)
            *error = QStringLiteral("Na tabulku nestačí paměť.");
        return false;
    }
    m_width = int(fields.size());
    // A header holds some text; NA is a missing number, not a name.
    m_dialect.header = header ? *header : std::any_of(fields.begin(), fields.end(), [this](const Field &f) {
        return !isNumberOrMissing(f, m_rule);
    });
    table->dialect = m_dialect;

    for (int c = 0; c < m_width; ++c) {
        if (m_dialect.header)
            table->headers.append(m_rule.decode(fieldBytes(fields[size_t(c)], &m_buffer)));
        else
            table->headers.append(QString::number(c + 1));
    }

    // Every data row ends in a line break but the last: their count bounds
    // the rows, and the values are allocated once.
    const qsizetype limit = maxRows < 0 ? std::numeric_limits<qsizetype>::max() : maxRows;
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
    m_bound = bound;
    cv::Mat values(int(bound), m_width, CV_64F);
    m_values = bound > 0 ? values.ptr<double>(0) : nullptr;
    m_counts.assign(size_t(m_width), ColumnCount());

    if (!m_dialect.header && bound > 0)
        readRow(fields, firstLine, table);
    while (m_rows < bound && scanner.next(&fields))
        readRow(fields, scanner.recordLine(), table);

    table->values = m_rows > 0 ? values.rowRange(0, int(m_rows)) : cv::Mat(0, m_width, CV_64F);
    resolvePending();
    finishColumns(table);
    return true;
}

void TableReader::readRow(const std::vector<Field> &fields, qsizetype line, CsvTable *table)
{
    double *out = m_values + size_t(m_rows) * size_t(m_width);
    const qsizetype count = qsizetype(fields.size());
    const int read = int(std::min<qsizetype>(count, m_width));
    for (int c = 0; c < read; ++c)
        out[c] = cell(c, fields[size_t(c)], m_rows);
    if (read < m_width) {
        for (int c = read; c < m_width; ++c) {
            out[c] = missing;
            if (m_counts[size_t(c)].pool >= 0)
                m_pools[size_t(m_counts[size_t(c)].pool)].cells.push_back(-1);
        }
        table->shortRows.append({m_rows, line, count});
    } else if (count > m_width
               && std::any_of(fields.begin() + m_width, fields.end(), [](const Field &f) { return !f.isEmpty(); })) {
        table->longRows.append({m_rows, line, count});
    }
    ++m_rows;
}

double TableReader::cell(int column, const Field &field, qsizetype row)
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
        return reader.read(options.header, options.maxRows, table, error);
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

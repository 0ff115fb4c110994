#include "CsvImport.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <limits>

CsvImport::CsvImport(QByteArray fileBytes)
    : m_text(prepareImportText(std::move(fileBytes)))
{
    const char *data = m_text.bytes.constData();
    const qsizetype size = m_text.bytes.size();
    const void *lf = std::memchr(data, '\n', size_t(size));
    m_headerEnd = lf ? static_cast<const char *>(lf) - data : size;
    m_bodyStart = lf ? m_headerEnd + 1 : size;
    if (m_headerEnd > 0 && data[m_headerEnd - 1] == '\r')
        --m_headerEnd;

    // Every line end of the body ends a row, and so does the end of a last
    // line without one.
    for (const char *p = data + m_bodyStart, *end = data + size;
         (p = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)))); ++p)
        ++m_rowCount;
    if (size > m_bodyStart && data[size - 1] != '\n')
        ++m_rowCount;

    if (m_rowCount > 0) {
        const char *begin;
        const char *end;
        line(m_bodyStart, &begin, &end);
        m_width = int(std::min<qsizetype>(std::count(begin, end, ';') + 1, INT_MAX));
    }
}

qsizetype CsvImport::line(qsizetype offset, const char **begin, const char **end) const
{
    const char *data = m_text.bytes.constData();
    const qsizetype size = m_text.bytes.size();
    *begin = data + offset;
    const void *lf = std::memchr(*begin, '\n', size_t(size - offset));
    *end = lf ? static_cast<const char *>(lf) : data + size;
    if (*end > *begin && (*end)[-1] == '\r')
        --*end;
    return lf ? static_cast<const char *>(lf) - data + 1 : size;
}

QString CsvImport::fieldText(const char *begin, const char *end) const
{
    return decodeText(begin, end - begin, m_text.encoding);
}

qint64 CsvImport::mostBytes(qint64 rows, qint64 columns)
{
    // rows * (columns * 25 + 2) + 4096, the largest qint64 when it would overflow.
    constexpr qint64 most = std::numeric_limits<qint64>::max();
    const qint64 line = columns > (most - 2) / 25 ? most : columns * 25 + 2;
    return rows != 0 && line > (most - 4096) / rows ? most : rows * line + 4096;
}

// No number the text rules read is longer: a field past this is no number,
// and is not turned into text to find that out.
constexpr qsizetype longestNumberText = 4096;

double CsvImport::fieldValue(const char *begin, const char *end, bool *read) const
{
    double value = 0.0;
    bool ok = begin != end
              && (m_numbers.readPlain(begin, end, &value)
                  || (end - begin <= longestNumberText && m_numbers.readText(fieldText(begin, end), &value)));
    if (read)
        *read = ok;
    return value;
}

QString CsvImport::keptText(const char *begin, const char *end) const
{
    if (end - begin <= KeptFieldBytes)
        return fieldText(begin, end);
    // Cut before a UTF-8 sequence, not inside one.
    const char *cut = begin + KeptFieldBytes;
    if (m_text.encoding == TextEncoding::Utf8)
        while (cut > begin && (static_cast<unsigned char>(*cut) & 0xC0) == 0x80)
            --cut;
    return fieldText(begin, cut) + u'…';
}

qsizetype CsvImport::readColumns(const std::vector<int> &columns, double *out, qsizetype maxRows, Position *position,
                                 QList<UnreadField> *unread, qsizetype maxUnread) const
{
    // Which output slots each field of a row feeds; a column may be asked twice.
    const int last = columns.empty() ? -1 : *std::max_element(columns.begin(), columns.end());
    std::vector<std::vector<int>> slotsOfField(size_t(last + 1));
    for (size_t k = 0; k < columns.size(); ++k)
        if (columns[k] >= 0)
            slotsOfField[size_t(columns[k])].push_back(int(k));

    if (position->offset < 0)
        position->offset = m_bodyStart;
    const size_t k = columns.size();
    const qsizetype count = std::clamp<qsizetype>(rowCount() - position->row, 0, maxRows);
    for (qsizetype i = 0; i < count; ++i) {
        double *row = out + size_t(i) * k;
        std::fill(row, row + k, 0.0);
        const char *p;
        const char *end;
        position->offset = line(position->offset, &p, &end);
        for (int field = 0; field <= last; ++field) {
            const char *sep = static_cast<const char *>(std::memchr(p, ';', size_t(end - p)));
            const char *fieldEnd = sep ? sep : end;
            if (!slotsOfField[size_t(field)].empty()) {
                bool read = true;
                const double value = fieldValue(p, fieldEnd, unread ? &read : nullptr);
                if (!read && p != fieldEnd && (maxUnread < 0 || unread->size() < maxUnread))
                    unread->append({position->row + i, field, keptText(p, fieldEnd)});
                for (int slot : slotsOfField[size_t(field)])
                    row[slot] = value;
            }
            if (!sep)
                break;
            p = sep + 1;
        }
    }
    position->row += count;
    return count;
}

void CsvImport::readColumns(const std::vector<int> &columns, double *out, QList<UnreadField> *unread) const
{
    Position start;
    readColumns(columns, out, rowCount(), &start, unread);
}

#include "CsvImport.h"

#include <algorithm>
#include <cstring>

CsvImport::CsvImport(QByteArray fileBytes, const QLocale &locale)
    : m_text(prepareImportText(std::move(fileBytes)))
    , m_numbers(locale)
{
    const char *data = m_text.bytes.constData();
    const qsizetype size = m_text.bytes.size();
    qsizetype pos = 0;
    bool header = true;
    while (pos < size) {
        const void *lf = std::memchr(data + pos, '\n', size_t(size - pos));
        const qsizetype lineEnd = lf ? static_cast<const char *>(lf) - data : size;
        if (header) {
            qsizetype end = lineEnd;
            if (end > pos && data[end - 1] == '\r')
                --end;
            const QString text = decodeText(data + pos, end - pos, m_text.encoding);
            m_headers = text.split(u';');
            header = false;
        } else {
            m_lineStarts.push_back(pos);
        }
        pos = lineEnd + 1;
    }
    m_lineStarts.push_back(pos);

    if (rowCount() > 0) {
        const char *begin;
        const char *end;
        line(0, &begin, &end);
        m_width = int(std::count(begin, end, ';')) + 1;
    }
}

void CsvImport::line(qsizetype i, const char **begin, const char **end) const
{
    const char *data = m_text.bytes.constData();
    *begin = data + m_lineStarts[size_t(i)];
    *end = data + m_lineStarts[size_t(i) + 1] - 1;
    if (*end > *begin && (*end)[-1] == '\r')
        --*end;
}

double CsvImport::fieldValue(const char *begin, const char *end, bool *read) const
{
    double value = 0.0;
    bool ok = begin != end
              && (m_numbers.readPlain(begin, end, &value)
                  || m_numbers.readText(decodeText(begin, end - begin, m_text.encoding), &value));
    if (read)
        *read = ok;
    return value;
}

QList<QList<double>> CsvImport::rows(QList<UnreadField> *unread) const
{
    QList<QList<double>> result;
    result.reserve(rowCount());
    for (qsizetype i = 0; i < rowCount(); ++i) {
        const char *p;
        const char *end;
        line(i, &p, &end);
        QList<double> row;
        row.reserve(m_width);
        for (;;) {
            const char *sep = static_cast<const char *>(std::memchr(p, ';', size_t(end - p)));
            const char *fieldEnd = sep ? sep : end;
            bool read = true;
            row.append(fieldValue(p, fieldEnd, unread ? &read : nullptr));
            if (!read)
                unread->append({i, int(row.size() - 1), decodeText(p, fieldEnd - p, m_text.encoding)});
            if (!sep)
                break;
            p = sep + 1;
        }
        result.append(std::move(row));
    }
    return result;
}

void CsvImport::readColumns(const std::vector<int> &columns, double *out) const
{
    // Which output slots each field of a row feeds; a column may be asked twice.
    const int last = columns.empty() ? -1 : *std::max_element(columns.begin(), columns.end());
    std::vector<std::vector<int>> slotsOfField(size_t(last + 1));
    for (size_t k = 0; k < columns.size(); ++k)
        if (columns[k] >= 0)
            slotsOfField[size_t(columns[k])].push_back(int(k));

    const size_t k = columns.size();
    for (qsizetype i = 0; i < rowCount(); ++i) {
        double *row = out + size_t(i) * k;
        std::fill(row, row + k, 0.0);
        const char *p;
        const char *end;
        line(i, &p, &end);
        for (int field = 0; field <= last; ++field) {
            const char *sep = static_cast<const char *>(std::memchr(p, ';', size_t(end - p)));
            const char *fieldEnd = sep ? sep : end;
            if (!slotsOfField[size_t(field)].empty()) {
                const double value = fieldValue(p, fieldEnd);
                for (int slot : slotsOfField[size_t(field)])
                    row[slot] = value;
            }
            if (!sep)
                break;
            p = sep + 1;
        }
    }
}

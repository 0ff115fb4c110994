#include "UnreadReport.h"

#include "CliSupport.h"

void UnreadReport::add(qsizetype row, int column, const QString &text)
{
    // A field of megabytes would make a line of megabytes: its beginning says
    // which field it is.
    if (m_count < Listed) {
        qsizetype quoted = text.size();
        if (quoted > QuotedLength)
            quoted = text.at(QuotedLength - 1).isHighSurrogate() ? QuotedLength - 1 : QuotedLength;
        m_first[m_count] = {row, column, quoted < text.size() ? text.left(quoted) + u'…' : text};
    }
    ++m_count;
}

void UnreadReport::print(std::FILE *err, const QString &fileName, const std::function<QString(int)> &columnName) const
{
    if (m_count == 0)
        return;
    QString text = QStringLiteral("kostimer-cli: %1: polí, která nejsou čísla (hodnota v nich chybí): %2\n")
                       .arg(fileName)
                       .arg(m_count);
    for (qint64 i = 0; i < qMin<qint64>(m_count, Listed); ++i) {
        const Field &field = m_first[i];
        text += QStringLiteral("  řádek %1, sloupec „%2“: „%3“\n")
                    .arg(field.row + 1)
                    .arg(columnName(field.column), field.text);
    }
    if (m_count > Listed)
        text += QStringLiteral("  … a další (%1)\n").arg(m_count - Listed);
    ::print(err, text);
}

void UnreadReport::printStrictRefusal(std::FILE *err)
{
    ::print(err, QStringLiteral("kostimer-cli: s přepínačem --strict se nic nezapsalo.\n"));
}

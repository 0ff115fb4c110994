// The record of one table inside a project's "index.xml": the attributes of
// its "model" element and the "headers" child.

#include "TTableModel.h"

#include "MethodCatalog.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <climits>

namespace {

// A size attribute: absent reads as 0; present, it must be a whole decimal
// number from 0 up. Returns -1 for anything else.
qint64 sizeAttribute(const QXmlStreamAttributes &attributes, const QString &name)
{
    if (!attributes.hasAttribute(name))
        return 0;
    bool ok = false;
    const qint64 size = attributes.value(name).toLongLong(&ok, 10);
    return ok && size >= 0 ? size : -1;
}

// Reads on to the next start or end element.
void readNextTag(QXmlStreamReader &xml)
{
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() || xml.isEndElement())
            return;
    }
}

// The children of the list element just begun, each named `child`: take is
// called with the attributes of each, until the list ends.
template <typename Take>
void readList(QXmlStreamReader &xml, const QString &child, Take take)
{
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement())
            take(xml.attributes());
        else if (xml.isEndElement() && xml.name() != child)
            return;
    }
}

// The "texts" element just begun: one "column" per text column, its "text"
// children in order. A column outside the table is passed over.
void readTexts(QXmlStreamReader &xml, qint64 columns, std::map<int, QStringList> *texts)
{
    QStringList *current = nullptr;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QStringLiteral("column")) {
            bool ok = false;
            const int column = xml.attributes().value(QStringLiteral("col")).toInt(&ok, 10);
            current = ok && column >= 0 && column < columns ? &(*texts)[column] : nullptr;
        } else if (xml.isStartElement() && xml.name() == QStringLiteral("text")) {
            if (current)
                current->append(xml.attributes().value(QStringLiteral("value")).toString());
        } else if (xml.isEndElement() && xml.name() == QStringLiteral("texts")) {
            return;
        }
    }
}

// Numbers (columns) as "3 7".
QString numberList(const std::vector<int> &numbers)
{
    QStringList words;
    for (int n : numbers)
        words.append(QString::number(n));
    return words.join(u' ');
}

// Source rows as runs: "0-11 13 x" (x: a row typed into the result).
QString rowRuns(const std::vector<int> &rows)
{
    QStringList words;
    for (size_t i = 0; i < rows.size();) {
        if (rows[i] < 0) {
            words.append(QStringLiteral("x"));
            ++i;
            continue;
        }
        size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
            ++j;
        words.append(j == i ? QString::number(rows[i]) : QStringLiteral("%1-%2").arg(rows[i]).arg(rows[j]));
        i = j + 1;
    }
    return words.join(u' ');
}

} // namespace

bool TTableModel::parseOrigin(const QString &inputs, const QString &carried, const QString &rows, qsizetype count,
                              Origin *origin)
{
    const auto numbers = [](const QString &text, std::vector<int> *out) {
        for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
            bool ok = false;
            const int n = word.toInt(&ok, 10);
            if (!ok || n < 0)
                return false;
            out->push_back(n);
        }
        return true;
    };
    if (!numbers(inputs, &origin->inputs) || !numbers(carried, &origin->carried))
        return false;
    // Never more rows than the table has, whatever the runs say.
    origin->rows.reserve(size_t(count));
    for (const QString &word : rows.split(u' ', Qt::SkipEmptyParts)) {
        if (word == QStringLiteral("x")) {
            if (qsizetype(origin->rows.size()) >= count)
                return false;
            origin->rows.push_back(-1);
            continue;
        }
        const qsizetype dash = word.indexOf(u'-');
        bool ok = false;
        bool lastOk = false;
        const int first = word.left(dash < 0 ? word.size() : dash).toInt(&ok, 10);
        const int last = dash < 0 ? first : word.mid(dash + 1).toInt(&lastOk, 10);
        if (!ok || (dash >= 0 && !lastOk) || first < 0 || last < first
            || qint64(last) - first + 1 > count - qsizetype(origin->rows.size()))
            return false;
        for (int r = first; r <= last; ++r)
            origin->rows.push_back(r);
    }
    return qsizetype(origin->rows.size()) == count;
}

void TTableModel::writeXml(QXmlStreamWriter &xml) const
{
    const MethodRecord *record = method();
    // A later row of a ragged source table may be longer than the first; the
    // reader bounds an entry by the longest row it announces.
    int longest = width();
    for (int r = 0; !m_rowStarts.empty() && r < rowCount(); ++r)
        longest = std::max(longest, rowLength(r));
    xml.writeAttribute(QStringLiteral("rows"), QString::number(rowCount()));
    xml.writeAttribute(QStringLiteral("cols"), QString::number(longest));
    // A user function's table is a source table by its type, but keeps the
    // function's title as its name, which is also the text of its node.
    const QString name = record ? record->title : m_title.isEmpty() ? QStringLiteral("source") : m_title;
    xml.writeAttribute(QStringLiteral("name"), name);
    xml.writeAttribute(QStringLiteral("type"), QString::number(m_type));
    QString checks(rowCount(), u'0');
    for (int r = 0; r < rowCount(); ++r)
        if (m_checked[size_t(r)])
            checks[r] = u'1';
    xml.writeAttribute(QStringLiteral("checkedRows"), checks);
    // A result's carried columns: their headers and texts follow as a source
    // table's do.
    if (record && m_carried > 0)
        xml.writeAttribute(QStringLiteral("carried"), QString::number(m_carried));
    // How the result was made from its source, so that it follows it when
    // the project is opened again.
    if (record && m_origin) {
        xml.writeAttribute(QStringLiteral("inputs"), numberList(m_origin->inputs));
        if (!m_origin->carried.empty())
            xml.writeAttribute(QStringLiteral("carriedFrom"), numberList(m_origin->carried));
        xml.writeAttribute(QStringLiteral("sourceRows"), rowRuns(m_origin->rows));
    }
    xml.writeStartElement(QStringLiteral("headers"));
    for (qsizetype i = 0; i < m_headers.size(); ++i) {
        xml.writeEmptyElement(QStringLiteral("header"));
        xml.writeAttribute(QStringLiteral("id"), QString::number(i));
        xml.writeAttribute(QStringLiteral("title"), m_headers.at(i));
    }
    xml.writeEndElement();
    // After "headers", where a reader that does not know it passes it over.
    const QList<UnreadField> unread = unreadFields();
    if (!unread.isEmpty()) {
        xml.writeStartElement(QStringLiteral("unread"));
        for (const UnreadField &field : unread) {
            xml.writeEmptyElement(QStringLiteral("field"));
            xml.writeAttribute(QStringLiteral("row"), QString::number(field.row));
            xml.writeAttribute(QStringLiteral("col"), QString::number(field.column));
            xml.writeAttribute(QStringLiteral("text"), field.text);
        }
        xml.writeEndElement();
    }
    // The texts of the text columns, each once; the entry holds a cell's
    // index among them.
    if (!m_texts.empty()) {
        xml.writeStartElement(QStringLiteral("texts"));
        for (const auto &[column, texts] : m_texts) {
            xml.writeStartElement(QStringLiteral("column"));
            xml.writeAttribute(QStringLiteral("col"), QString::number(column));
            for (const QString &text : texts.texts) {
                xml.writeEmptyElement(QStringLiteral("text"));
                xml.writeAttribute(QStringLiteral("value"), text);
            }
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
}

QString TTableModel::readXml(QXmlStreamReader &xml, bool *onNextToken)
{
    if (onNextToken)
        *onNextToken = false;
    const QXmlStreamAttributes attributes = xml.attributes();

    // A type that is absent or not a number reads as 0; a number that names no
    // method and no source table would leave the table without columns or
    // routine, and is refused.
    bool typeOk = false;
    qint32 type = attributes.value(QStringLiteral("type")).toInt(&typeOk, 10);
    if (!typeOk)
        type = 0;
    if (type != SourceDataType && !isRegisteredMethod(type)) {
        xml.raiseError(QStringLiteral("Záznam tabulky v projektu má neznámý typ „%1“.")
                           .arg(attributes.value(QStringLiteral("type"))));
        return QString();
    }
    const qint64 rows = sizeAttribute(attributes, QStringLiteral("rows"));
    if (rows < 0) {
        xml.raiseError(QStringLiteral("Záznam tabulky v projektu má neplatný počet řádků „%1“.")
                           .arg(attributes.value(QStringLiteral("rows"))));
        return QString();
    }
    const qint64 columns = sizeAttribute(attributes, QStringLiteral("cols"));
    if (columns < 0) {
        xml.raiseError(QStringLiteral("Záznam tabulky v projektu má neplatný počet sloupců „%1“.")
                           .arg(attributes.value(QStringLiteral("cols"))));
        return QString();
    }
    // The table counts its rows and the values of a row in an int. Nothing is
    // allocated for the sizes here: the rows come as the entry's lines do.
    if (rows > INT_MAX) {
        xml.raiseError(QStringLiteral("Tabulka v projektu má mít %1 řádků, víc, než program pojme (nejvýše %2).")
                           .arg(rows)
                           .arg(INT_MAX));
        return QString();
    }
    if (columns > INT_MAX) {
        xml.raiseError(QStringLiteral("Tabulka v projektu má mít %1 sloupců, víc, než program pojme (nejvýše %2).")
                           .arg(columns)
                           .arg(INT_MAX));
        return QString();
    }

    const QStringView checks = attributes.value(QStringLiteral("checkedRows"));
    const QString source = attributes.value(QStringLiteral("src")).toString();

    const qint64 carried = sizeAttribute(attributes, QStringLiteral("carried"));
    if (carried < 0 || carried > columns) {
        xml.raiseError(QStringLiteral("Záznam tabulky v projektu má neplatný počet přenesených sloupců „%1“.")
                           .arg(attributes.value(QStringLiteral("carried"))));
        return QString();
    }

    // A source table's headers follow in the first child element, "headers";
    // one "header" each, in order (their "id" is not needed). So do those of a
    // result's carried columns.
    QStringList headers;
    QList<UnreadField> unread;
    std::map<int, QStringList> texts;
    if (type == SourceDataType || carried > 0) {
        readNextTag(xml);
        if (xml.isStartElement() && xml.name() == QStringLiteral("headers")) {
            readList(xml, QStringLiteral("header"), [&](const QXmlStreamAttributes &header) {
                headers.append(header.value(QStringLiteral("title")).toString());
            });
            // The fields the file held no number in and the texts of the text
            // columns may follow; whatever else comes is the caller's.
            while (onNextToken && !xml.hasError()) {
                readNextTag(xml);
                if (xml.isStartElement() && xml.name() == QStringLiteral("unread")) {
                    readList(xml, QStringLiteral("field"), [&](const QXmlStreamAttributes &field) {
                        unread.append({field.value(QStringLiteral("row")).toLongLong(),
                                       field.value(QStringLiteral("col")).toInt(),
                                       field.value(QStringLiteral("text")).toString()});
                    });
                } else if (xml.isStartElement() && xml.name() == QStringLiteral("texts")) {
                    readTexts(xml, columns, &texts);
                } else {
                    *onNextToken = xml.isStartElement() || xml.isEndElement();
                    break;
                }
            }
        } else if (onNextToken) {
            // No "headers": the token read belongs to the caller.
            *onNextToken = xml.isStartElement() || xml.isEndElement();
        }
    }

    beginResetModel();
    m_type = type;
    m_values = cv::Mat();
    m_rowLength = 0;
    std::vector<qsizetype>().swap(m_rowStarts);
    std::vector<char>().swap(m_checked);
    m_unread.clear();
    m_headers = headers;
    m_customFunction = 0;
    m_texts.clear();
    m_carried = type == SourceDataType ? 0 : int(carried);
    const QStringView name = attributes.value(QStringLiteral("name"));
    m_title = type == SourceDataType && name != QStringLiteral("source") ? name.toString() : QString();
    m_record = Record{rows, columns, checks.toString(), unread, std::move(texts), std::nullopt};
    if (type != SourceDataType && attributes.hasAttribute(QStringLiteral("sourceRows"))) {
        m_record->origin = {attributes.value(QStringLiteral("inputs")).toString(),
                            attributes.value(QStringLiteral("carriedFrom")).toString(),
                            attributes.value(QStringLiteral("sourceRows")).toString()};
    }
    m_origin.reset();
    endResetModel();
    return source;
}

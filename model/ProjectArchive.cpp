#include "ProjectArchive.h"

#include "BoundedDevice.h"
#include "TTableModel.h"

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include <QBuffer>
#include <QFile>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <functional>

#include <zlib.h>

namespace {

const QString indexEntry = QStringLiteral("index.xml");
// No real index comes near these.
constexpr qint64 maxIndexBytes = qint64(64) << 20;
constexpr int maxDepth = 256;
// Every table entry together may inflate to no more than this.
constexpr qint64 maxTotalBytes = qint64(8) << 30;
// A value of the value-row form takes at most 24 characters and its separator.
constexpr qint64 maxBytesPerValue = 25;

// Entry names number the children of a node from the last: the first of n is n.
void nameEntries(ProjectNode &node, const QString &prefix)
{
    node.entry = prefix + QStringLiteral(".csv");
    const int n = int(node.children.size());
    for (int k = 0; k < n; ++k)
        nameEntries(*node.children[size_t(k)], prefix + u'/' + QString::number(n - k));
}

bool writeRecord(QXmlStreamWriter &xml, const ProjectNode &node)
{
    xml.writeStartElement(QStringLiteral("model"));
    if (node.isDataNode)
        xml.writeAttribute(QStringLiteral("sourceFileName"), node.sourceFileName);
    xml.writeAttribute(QStringLiteral("src"), node.entry);
    node.table->writeXml(xml);
    for (const auto &child : node.children)
        writeRecord(xml, *child);
    xml.writeEndElement();
    return !xml.hasError();
}

bool writeEntry(QuaZip &zip, const QString &name, const std::function<bool(QIODevice *)> &write)
{
    QuaZipFile entry(&zip);
    if (!entry.open(QIODevice::WriteOnly, QuaZipNewInfo(name), nullptr, 0, Z_DEFLATED, Z_DEFAULT_COMPRESSION))
        return false;
    const bool written = write(&entry);
    entry.close();
    return written && entry.getZipError() == UNZ_OK;
}

bool writeTables(QuaZip &zip, const ProjectTree &nodes)
{
    for (const auto &node : nodes) {
        if (!writeEntry(zip, node->entry, [&](QIODevice *device) {
                return node->table->writeCsv(device, NumberDigits::Full);
            }))
            return false;
        if (!writeTables(zip, node->children))
            return false;
    }
    return true;
}

// An entry name the reader will open: relative, without "..", of a sane length.
bool isSafeEntryName(const QString &name)
{
    if (name.isEmpty() || name.size() > 4096 || name.startsWith(u'/') || name.startsWith(u'\\')
        || name.contains(u':'))
        return false;
    const QStringList parts = name.split(u'/');
    return !parts.contains(QStringLiteral("..")) && !parts.contains(QStringLiteral("."));
}

class Reader {
public:
    Reader(QuaZip &zip)
        : m_zip(zip)
    {
    }

    bool readIndex(QByteArray *index)
    {
        if (!m_zip.setCurrentFile(indexEntry, QuaZip::csSensitive))
            return false;
        QuaZipFile file(&m_zip);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        BoundedDevice bounded(&file, maxIndexBytes);
        *index = bounded.readAll();
        return !bounded.exceeded();
    }

    // Fills the table's values from its entry; a missing entry leaves zeros.
    void readValues(TTableModel &table, const QString &name)
    {
        if (!isSafeEntryName(name) || !m_zip.setCurrentFile(name, QuaZip::csSensitive))
            return;
        QuaZipFile file(&m_zip);
        if (!file.open(QIODevice::ReadOnly))
            return;
        const qint64 honest = qint64(table.rowCount()) * (qint64(table.width()) * maxBytesPerValue + 2) + 4096;
        BoundedDevice bounded(&file, qMin(honest, maxTotalBytes - m_inflated));
        table.readCsv(&bounded);
        m_inflated += bounded.consumed();
    }

private:
    QuaZip &m_zip;
    qint64 m_inflated = 0;
};

// Builds the tree from the index. False for a document this program could
// not have written; an XML error after the root keeps what was read.
bool readTree(QXmlStreamReader &xml, Reader &reader, ProjectTree *roots)
{
    while (!xml.atEnd() && !xml.isStartElement()) {
        xml.readNext();
        if (xml.isDTD())
            return false; // never written by us, and a door to entity tricks
    }
    if (xml.name() != QLatin1String("kstproject"))
        return false;

    std::vector<ProjectNode *> stack;
    bool tokenRead = false; // the record reader already stands on the next token
    while (!xml.atEnd()) {
        if (!tokenRead)
            xml.readNext();
        tokenRead = false;
        if (xml.isDTD())
            return false;
        if (xml.isStartElement() && xml.name() == QLatin1String("model")) {
            if (int(stack.size()) >= maxDepth)
                return false;
            auto node = std::make_unique<ProjectNode>();
            const QXmlStreamAttributes attributes = xml.attributes();
            node->isDataNode = stack.empty() && attributes.hasAttribute(QStringLiteral("sourceFileName"));
            node->sourceFileName = attributes.value(QStringLiteral("sourceFileName")).toString();
            node->name = attributes.value(QStringLiteral("name")).toString();
            node->table = new TTableModel(nullptr);
            node->ownsTable = true;
            node->entry = node->table->readXml(xml, &tokenRead);
            if (xml.error() == QXmlStreamReader::CustomError)
                return false; // a record no table of ours could have
            reader.readValues(*node->table, node->entry);
            ProjectNode *raw = node.get();
            (stack.empty() ? *roots : stack.back()->children).push_back(std::move(node));
            stack.push_back(raw);
        } else if (xml.isEndElement() && xml.name() == QLatin1String("model")) {
            if (!stack.empty())
                stack.pop_back();
        }
    }
    return true;
}

} // namespace

ProjectNode::~ProjectNode()
{
    if (ownsTable)
        delete table;
}

TTableModel *ProjectNode::takeTable()
{
    ownsTable = false;
    return table;
}

QString ProjectNode::text() const
{
    return isDataNode ? QStringLiteral("Data ze souboru \"%1\"").arg(sourceFileName) : name;
}

bool writeProjectFile(const QString &path, ProjectTree &roots)
{
    // A table too big for the reader to take back is not written: a file that
    // cannot be opened again would lose the work it seems to keep.
    bool readable = true;
    forEachNode(roots, [&](const ProjectNode &node, int) {
        const qint64 values = qint64(node.table->rowCount()) * qMax(node.table->width(), 1);
        readable = readable && values <= TTableModel::MaxRecordValues;
    });
    if (!readable)
        return false;

    int number = 0;
    for (auto &root : roots)
        if (root->isDataNode)
            nameEntries(*root, QString::number(number++));
    for (auto &root : roots)
        if (!root->isDataNode)
            nameEntries(*root, QString::number(number++));

    QBuffer index;
    index.open(QIODevice::WriteOnly);
    QXmlStreamWriter xml(&index);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("kstproject"));
    for (bool dataNodes : {true, false})
        for (const auto &root : roots)
            if (root->isDataNode == dataNodes && !writeRecord(xml, *root))
                return false;
    xml.writeEndElement();
    xml.writeEndDocument();

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QuaZip zip(&file);
    zip.setAutoClose(false); // we commit the file ourselves, once all is well
    zip.setUtf8Enabled(true);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    const bool written = writeEntry(zip, indexEntry, [&](QIODevice *device) {
        return device->write(index.data()) == index.data().size();
    }) && writeTables(zip, roots);
    zip.close();
    if (!written || zip.getZipError() != ZIP_OK)
        return false;
    return file.commit();
}

bool readProjectFile(const QString &path, ProjectTree *roots)
{
    roots->clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return readProjectFile(&file, roots);
}

bool readProjectFile(QIODevice *device, ProjectTree *roots)
{
    roots->clear();
    QuaZip zip(device);
    zip.setAutoClose(false);
    if (!zip.open(QuaZip::mdUnzip))
        return false;
    Reader reader(zip);
    QByteArray index;
    if (!reader.readIndex(&index))
        return false;
    QXmlStreamReader xml(index);
    if (!readTree(xml, reader, roots)) {
        roots->clear();
        return false;
    }
    return true;
}

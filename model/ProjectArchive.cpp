#include "ProjectArchive.h"

#include "BoundedDevice.h"
#include "TTableModel.h"
#include "ValueRows.h"

#include <quazip.h>
#include <quazipfile.h>
#include <quazipfileinfo.h>
#include <quazipnewinfo.h>

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <opencv2/core.hpp>

#include <algorithm>
#include <functional>
#include <limits>
#include <new>

#include <zlib.h>

#if __has_include(<unistd.h>)
#include <unistd.h>
#endif

namespace {

const QString indexEntry = QStringLiteral("index.xml");
constexpr qint64 most = std::numeric_limits<qint64>::max();
// Deflate makes at most 1032 bytes of one: a match of 258 bytes in two bits.
constexpr qint64 maxDeflateRatio = 1032;
// Deeper than this the index is written without indentation, which would
// grow with the square of the depth.
constexpr int maxIndentedDepth = 64;
// A table object and its node, whatever their rows.
constexpr qint64 bytesPerRecord = 1024;

qint64 saturatedSum(qint64 a, qint64 b)
{
    return a > most - b ? most : a + b;
}

qint64 saturatedProduct(qint64 a, qint64 b)
{
    return a != 0 && b > most / a ? most : a * b;
}

qint64 machineMemory()
{
#if defined(_SC_PHYS_PAGES) && defined(_SC_PAGESIZE)
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long size = sysconf(_SC_PAGESIZE);
    if (pages > 0 && size > 0)
        return saturatedProduct(pages, size);
#endif
    return most;
}

// Entry names number the children of a node from the last: the first of n is
// n, so the first child of "0" is "0/2.csv" when it has a sibling. A name the
// zip library would not open again (longer than it reads) is given a flat
// one of its own instead, and so are the entries below it; the reader opens
// whatever "src" says, so either kind reads back, in older versions too.
void nameEntries(ProjectTree &roots)
{
    struct Level {
        ProjectTree *nodes;
        size_t next;
        QString prefix; // empty below a flat name
    };
    std::vector<Level> stack;
    int number = 0;
    int flat = 0;
    for (bool dataNodes : {true, false}) {
        for (auto &root : roots) {
            if (root->isDataNode != dataNodes)
                continue;
            root->entry = QString::number(number) + QStringLiteral(".csv");
            stack.push_back({&root->children, 0, QString::number(number++)});
            while (!stack.empty()) {
                Level &level = stack.back();
                if (level.next == level.nodes->size()) {
                    stack.pop_back();
                    continue;
                }
                const size_t k = level.next++;
                ProjectNode &node = *(*level.nodes)[k];
                QString prefix;
                if (!level.prefix.isEmpty())
                    prefix = level.prefix + u'/' + QString::number(level.nodes->size() - k);
                if (prefix.size() + 4 > QuaZip::MAX_FILE_NAME_LENGTH)
                    prefix.clear();
                node.entry = prefix.isEmpty() ? QStringLiteral("hluboke/%1.csv").arg(++flat)
                                              : prefix + QStringLiteral(".csv");
                stack.push_back({&node.children, 0, prefix});
            }
        }
    }
}

int depthOf(const ProjectTree &roots)
{
    int deepest = -1;
    forEachNode(roots, [&](const ProjectNode &, int depth) { deepest = std::max(deepest, depth); });
    return deepest + 1;
}

// The index: the records nested as the tables are, data nodes first.
void writeIndex(QXmlStreamWriter &xml, const ProjectTree &roots, bool dataNodes)
{
    std::vector<std::pair<const ProjectTree *, size_t>> stack;
    for (const auto &root : roots) {
        if (root->isDataNode != dataNodes)
            continue;
        xml.writeStartElement(QStringLiteral("model"));
        if (root->isDataNode)
            xml.writeAttribute(QStringLiteral("sourceFileName"), root->sourceFileName);
        xml.writeAttribute(QStringLiteral("src"), root->entry);
        root->table->writeXml(xml);
        stack.emplace_back(&root->children, 0);
        while (!stack.empty()) {
            const ProjectTree &nodes = *stack.back().first;
            const size_t next = stack.back().second++;
            if (next == nodes.size()) {
                stack.pop_back();
                xml.writeEndElement();
                continue;
            }
            const ProjectNode &node = *nodes[next];
            xml.writeStartElement(QStringLiteral("model"));
            xml.writeAttribute(QStringLiteral("src"), node.entry);
            node.table->writeXml(xml);
            stack.emplace_back(&node.children, 0);
        }
    }
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
    Reader(QuaZip &zip, qint64 archiveSize, qint64 memoryLimit, QString *error)
        : m_zip(zip)
        , m_archiveSize(archiveSize)
        , m_memoryLeft(memoryLimit)
        , m_error(error)
    {
    }

    bool fail(const QString &reason)
    {
        if (m_error)
            *m_error = reason;
        return false;
    }

    bool readIndex(QByteArray *index)
    {
        if (!m_zip.setCurrentFile(indexEntry, QuaZip::csSensitive))
            return fail(QStringLiteral("V souboru chybí rejstřík projektu (index.xml)."));
        QuaZipFile file(&m_zip);
        qint64 size = 0;
        // The text and what the XML reader makes of it.
        if (!openEntry(indexEntry, file, 3, &size))
            return false;
        BoundedDevice bounded(&file, size);
        *index = bounded.readAll();
        if (!finishEntry(indexEntry, file, bounded, size))
            return false;
        m_memoryLeft -= saturatedProduct(size, 3);
        return true;
    }

    // Reads the entry name into the table whose record was just read.
    bool readValues(TTableModel &table, const QString &name)
    {
        if (!isSafeEntryName(name))
            return fail(QStringLiteral("Záznam tabulky odkazuje na neplatnou položku „%1“.").arg(name));
        if (m_used.contains(name))
            return fail(QStringLiteral("Položku „%1“ uvádí víc záznamů.").arg(name));
        m_used.insert(name);
        if (!m_zip.setCurrentFile(name, QuaZip::csSensitive))
            return fail(QStringLiteral("V projektu chybí položka „%1“.").arg(name));
        QuaZipFile file(&m_zip);
        qint64 size = 0;
        if (!openEntry(name, file, 1, &size))
            return false;
        BoundedDevice bounded(&file, size);
        QString reason;
        const bool read = table.readCsv(&bounded, &reason, std::max<qint64>(m_memoryLeft, 0));
        // A damaged entry says so first, whatever its lines looked like.
        if (!finishEntry(name, file, bounded, size))
            return false;
        if (!read)
            return fail(QStringLiteral("Položka „%1“: %2").arg(name, reason));
        qint64 values = 0;
        for (int r = 0; r < table.rowCount(); ++r)
            values += table.rowLength(r);
        m_memoryLeft -= saturatedSum(saturatedProduct(values, 9), bytesPerRecord);
        return true;
    }

private:
    // Checks what the archive says of the current entry before anything is
    // inflated, and opens it. Its inflated bytes, times `copies` held at once,
    // must fit the memory left.
    bool openEntry(const QString &name, QuaZipFile &file, qint64 copies, qint64 *size)
    {
        QuaZipFileInfo64 info;
        if (!m_zip.getCurrentFileInfo(&info))
            return fail(QStringLiteral("Položku „%1“ nelze přečíst.").arg(name));
        if (info.flags & 1)
            return fail(QStringLiteral("Položka „%1“ je zašifrovaná.").arg(name));
        if (info.method != 0 && info.method != Z_DEFLATED)
            return fail(
                QStringLiteral("Položka „%1“ je zkomprimovaná neznámou metodou (%2).").arg(name).arg(info.method));
        const qint64 compressed = qint64(std::min<quint64>(info.compressedSize, quint64(most)));
        const qint64 inflated = qint64(std::min<quint64>(info.uncompressedSize, quint64(most)));
        // Entries that share their bytes would inflate a small file many times over.
        m_compressed = saturatedSum(m_compressed, compressed);
        if (m_compressed > m_archiveSize)
            return fail(QStringLiteral("Položky souboru zabírají víc místa, než soubor má."));
        const qint64 possible = info.method == 0
                                    ? compressed
                                    : saturatedSum(saturatedProduct(compressed, maxDeflateRatio), maxDeflateRatio);
        if (inflated > possible || (info.method == 0 && inflated != compressed))
            return fail(QStringLiteral("Položka „%1“ je poškozená (má jinou délku, než uvádí archiv).").arg(name));
        if (saturatedProduct(inflated, copies) > m_memoryLeft)
            return fail(QStringLiteral("Na položku „%1“ nestačí paměť.").arg(name));
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("Položku „%1“ nelze přečíst.").arg(name));
        *size = inflated;
        return true;
    }

    // Reads what is left of the entry, then checks its length and checksum.
    bool finishEntry(const QString &name, QuaZipFile &file, BoundedDevice &bounded, qint64 size)
    {
        char scratch[16384];
        while (bounded.read(scratch, sizeof scratch) > 0) {
        }
        const bool readError = file.getZipError() != UNZ_OK;
        file.close();
        if (readError || file.getZipError() != UNZ_OK)
            return fail(QStringLiteral("Položka „%1“ je poškozená (nesouhlasí kontrolní součet).").arg(name));
        if (bounded.exceeded() || bounded.consumed() != size)
            return fail(QStringLiteral("Položka „%1“ je poškozená (má jinou délku, než uvádí archiv).").arg(name));
        return true;
    }

    QuaZip &m_zip;
    const qint64 m_archiveSize;
    qint64 m_memoryLeft;
    QString *m_error;
    qint64 m_compressed = 0;
    QSet<QString> m_used{indexEntry};
};

// Builds the tree from the index. False for a document this program could
// not have written, and for one that is no well-formed XML: a damaged index
// must not pass for a smaller project, which a later save would write over
// the file.
bool readTree(QXmlStreamReader &xml, Reader &reader, ProjectTree *roots)
{
    const QString damaged = QStringLiteral("Rejstřík projektu (index.xml) je poškozený: %1 (řádek %2).");
    while (!xml.atEnd() && !xml.isStartElement()) {
        xml.readNext();
        if (xml.isDTD()) // never written by us, and a door to entity tricks
            return reader.fail(QStringLiteral("Rejstřík projektu (index.xml) obsahuje DTD."));
    }
    if (xml.hasError())
        return reader.fail(damaged.arg(xml.errorString()).arg(xml.lineNumber()));
    if (xml.name() != QLatin1String("kstproject"))
        return reader.fail(QStringLiteral("Soubor není projekt programu Kostimer (index.xml nemá kořen kstproject)."));

    std::vector<ProjectNode *> stack;
    bool tokenRead = false; // the record reader already stands on the next token
    while (!xml.atEnd()) {
        if (!tokenRead)
            xml.readNext();
        tokenRead = false;
        if (xml.isDTD())
            return reader.fail(QStringLiteral("Rejstřík projektu (index.xml) obsahuje DTD."));
        if (xml.isStartElement() && xml.name() == QLatin1String("model")) {
            if (int(stack.size()) >= MaxProjectDepth)
                return reader.fail(
                    QStringLiteral("Tabulky v projektu jsou vnořené do víc než %1 úrovní.").arg(MaxProjectDepth));
            auto node = std::make_unique<ProjectNode>();
            const QXmlStreamAttributes attributes = xml.attributes();
            node->isDataNode = stack.empty() && attributes.hasAttribute(QStringLiteral("sourceFileName"));
            node->sourceFileName = attributes.value(QStringLiteral("sourceFileName")).toString();
            node->name = attributes.value(QStringLiteral("name")).toString();
            node->table = new TTableModel(nullptr);
            node->ownsTable = true;
            node->entry = node->table->readXml(xml, &tokenRead);
            if (xml.error() == QXmlStreamReader::CustomError)
                return reader.fail(xml.errorString()); // a record no table of ours could have
            if (xml.hasError())
                break;
            if (!reader.readValues(*node->table, node->entry))
                return false;
            ProjectNode *raw = node.get();
            (stack.empty() ? *roots : stack.back()->children).push_back(std::move(node));
            stack.push_back(raw);
        } else if (xml.isEndElement() && xml.name() == QLatin1String("model")) {
            if (!stack.empty())
                stack.pop_back();
        }
    }
    if (xml.hasError())
        return reader.fail(damaged.arg(xml.errorString()).arg(xml.lineNumber()));
    return true;
}

bool writeProject(const QString &path, ProjectTree &roots, QString *error)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    const int depth = depthOf(roots);
    if (depth > MaxProjectDepth)
        return fail(QStringLiteral("Projekt má %1 úrovní odvozených tabulek; soubor projektu jich pojme nejvýše %2.")
                        .arg(depth)
                        .arg(MaxProjectDepth));
    nameEntries(roots);

    QBuffer index;
    index.open(QIODevice::WriteOnly);
    QXmlStreamWriter xml(&index);
    xml.setAutoFormatting(depth <= maxIndentedDepth);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("kstproject"));
    writeIndex(xml, roots, true);
    writeIndex(xml, roots, false);
    xml.writeEndElement();
    xml.writeEndDocument();
    if (xml.hasError())
        return fail(QStringLiteral("Rejstřík projektu nelze sestavit."));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("Soubor „%1“ nelze vytvořit (%2).").arg(path, file.errorString()));
    QuaZip zip(&file);
    zip.setAutoClose(false); // we commit the file ourselves, once all is well
    zip.setUtf8Enabled(true);
    if (!zip.open(QuaZip::mdCreate))
        return fail(QStringLiteral("Do souboru „%1“ nelze zapsat.").arg(path));
    bool written = writeEntry(zip, indexEntry, [&](QIODevice *device) {
        return device->write(index.data()) == index.data().size();
    });
    // In the order of the index: each table before the tables made from it.
    forEachNode(roots, [&](const ProjectNode &node, int) {
        written = written && writeEntry(zip, node.entry, [&](QIODevice *device) {
                      return writeTableEntry(*node.table, device);
                  });
    });
    zip.close();
    if (!written || zip.getZipError() != ZIP_OK)
        return fail(QStringLiteral("Zápis do souboru „%1“ selhal (%2).").arg(path, file.errorString()));
    if (!file.commit())
        return fail(QStringLiteral("Soubor „%1“ nelze uložit (%2).").arg(path, file.errorString()));
    return true;
}

} // namespace

ProjectNode::~ProjectNode()
{
    if (ownsTable)
        delete table;
    // The nodes below are freed with a stack of their own, not by recursion:
    // a tree may be deeper than the call stack would take.
    ProjectTree below = std::move(children);
    while (!below.empty()) {
        std::unique_ptr<ProjectNode> node = std::move(below.back());
        below.pop_back();
        for (auto &child : node->children)
            below.push_back(std::move(child));
        node->children.clear();
    }
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

bool writeProjectFile(const QString &path, ProjectTree &roots, QString *error)
{
    try {
        return writeProject(path, roots, error);
    } catch (const std::bad_alloc &) {
        if (error)
            *error = QStringLiteral("Na uložení projektu nestačí paměť.");
        return false;
    }
}

bool writeTableEntry(const TTableModel &table, QIODevice *device)
{
    if (!device || !device->isWritable())
        return false;
    ValueRowWriter writer(device, NumberDigits::Full);
    for (int r = 0; r < table.rowCount(); ++r) {
        if (table.rowLength(r) > 0)
            writer.writeRow(table.rowValues(r), table.rowLength(r));
        else
            writer.writeLine(QByteArray());
    }
    return writer.flush();
}

bool readProjectFile(const QString &path, ProjectTree *roots, QString *error)
{
    roots->clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QFileInfo::exists(path) ? QStringLiteral("Soubor nelze otevřít (%1).").arg(file.errorString())
                                             : QStringLiteral("Soubor neexistuje.");
        return false;
    }
    return readProjectFile(&file, roots, error);
}

bool readProjectFile(QIODevice *device, ProjectTree *roots, QString *error, qint64 memoryLimit)
{
    roots->clear();
    bool read = false;
    try {
        QuaZip zip(device);
        zip.setAutoClose(false);
        if (!zip.open(QuaZip::mdUnzip)) {
            if (error)
                *error = QStringLiteral("Soubor není archiv ZIP, nebo je poškozený.");
            return false;
        }
        Reader reader(zip, device->size(), memoryLimit > 0 ? memoryLimit : machineMemory(), error);
        QByteArray index;
        if (reader.readIndex(&index)) {
            QXmlStreamReader xml(index);
            read = readTree(xml, reader, roots);
        }
    } catch (const std::bad_alloc &) {
        if (error)
            *error = QStringLiteral("Na projekt nestačí paměť.");
        read = false;
    } catch (const cv::Exception &) {
        if (error)
            *error = QStringLiteral("Na projekt nestačí paměť.");
        read = false;
    }
    if (!read)
        roots->clear();
    return read;
}

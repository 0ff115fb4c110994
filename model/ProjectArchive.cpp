#include "ProjectArchive.h"

#include "BoundedDevice.h"
#include "CsvImport.h"
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
#include <atomic>
#include <exception>
#include <functional>
#include <limits>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include <libdeflate.h>
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
// A field that held no number, kept with its text (two bytes a character).
constexpr qint64 bytesPerUnreadField = 64;

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

// The level of deflate for entries: libdeflate's 2 makes a file a little
// smaller than zlib's default (6) did, in a fifth of the time (the
// 1,000,000-row table: 29.3 MB against 29.7 MB); its levels 3 to 6 take one
// and a half to two times as long again for two or three percent less.
constexpr int deflateLevel = 2;
// Rows of a table written to text as one piece; a big table is written by
// several threads at once, a piece each.
constexpr int rowsPerPiece = 1 << 17;
// Values of the tables packed in one round: their text and its deflated
// bytes are held until the round is written.
constexpr qint64 valuesPerRound = qint64(1) << 23;

// An entry ready for the archive: its text deflated, and what the archive
// records of the text.
struct PackedEntry {
    QByteArray deflated;
    qint64 size = 0;
    quint32 crc = 0;
};

PackedEntry pack(const QByteArray &text)
{
    PackedEntry entry;
    entry.size = text.size();
    entry.crc = quint32(libdeflate_crc32(0, text.constData(), size_t(text.size())));
    std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)> compressor(
        libdeflate_alloc_compressor(deflateLevel), &libdeflate_free_compressor);
    if (!compressor)
        throw std::bad_alloc();
    const size_t bound = libdeflate_deflate_compress_bound(compressor.get(), size_t(text.size()));
    if (bound > size_t(std::numeric_limits<qsizetype>::max()))
        throw std::bad_alloc();
    entry.deflated.resize(qsizetype(bound));
    const size_t written = libdeflate_deflate_compress(compressor.get(), text.constData(), size_t(text.size()),
                                                       entry.deflated.data(), bound);
    entry.deflated.truncate(qsizetype(written)); // never 0: the bound always fits
    entry.deflated.squeeze();
    return entry;
}

// Writes an entry already deflated.
bool writeEntry(QuaZip &zip, const QString &name, const PackedEntry &packed)
{
    QuaZipNewInfo info(name);
    info.uncompressedSize = ulong(packed.size);
    QuaZipFile entry(&zip);
    if (!entry.open(QIODevice::WriteOnly, info, nullptr, packed.crc, Z_DEFLATED, deflateLevel, true))
        return false;
    const bool written = entry.write(packed.deflated) == packed.deflated.size();
    entry.close();
    return written && entry.getZipError() == ZIP_OK;
}

// Runs work(0) .. work(count - 1) on as many threads as the machine has
// cores, the calling thread one of them. The first exception thrown is
// thrown again here, once every thread has stopped.
void runParallel(size_t count, const std::function<void(size_t)> &work)
{
    const size_t threads = std::min<size_t>(count, std::max(1u, std::thread::hardware_concurrency()));
    std::atomic<size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    const auto run = [&] {
        try {
            for (size_t i = next++; i < count; i = next++)
                work(i);
        } catch (...) {
            const std::lock_guard<std::mutex> lock(failureLock);
            if (!failure)
                failure = std::current_exception();
            next = count;
        }
    };
    std::vector<std::thread> helpers;
    helpers.reserve(threads);
    try {
        for (size_t t = 1; t < threads; ++t)
            helpers.emplace_back(run);
    } catch (const std::system_error &) {
        // No more threads to be had: those we have do the work.
    }
    run();
    for (auto &helper : helpers)
        helper.join();
    if (failure)
        std::rethrow_exception(failure);
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

// The file of a project being read, as the zip library sees it. A damaged
// archive may name an offset past the end of the file or before its start:
// the seek fails here, without reaching the file, whose device may warn of it
// on standard error (a buffer does), so that only the reason is told. A
// progress, when given, is told how far reading has come, and fails every
// read once it cancels, which the reader then reports as a damaged entry.
class ArchiveDevice : public QIODevice {
public:
    explicit ArchiveDevice(QIODevice *file, const ProjectProgress &progress = {})
        : m_file(file)
        , m_progress(progress)
    {
        QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_file->size(); }
    bool seek(qint64 position) override
    {
        return position >= 0 && position <= size() && QIODevice::seek(position) && m_file->seek(position);
    }
    bool cancelled() const { return m_cancelled; }

protected:
    qint64 readData(char *data, qint64 most) override
    {
        if (m_cancelled || (m_progress && !m_progress(pos(), size()))) {
            m_cancelled = true;
            return -1;
        }
        return m_file->read(data, most);
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QIODevice *m_file;
    const ProjectProgress m_progress;
    bool m_cancelled = false;
};

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

    // Each entry name once: of two entries of one name the zip library opens
    // the first and other zip readers the last, so that the file would be
    // one project here and another there.
    bool namesOnce()
    {
        QSet<QString> names;
        for (bool more = m_zip.goToFirstFile(); more; more = m_zip.goToNextFile()) {
            const QString name = m_zip.getCurrentFileName();
            if (names.contains(name))
                return fail(QStringLiteral("Projekt obsahuje položku „%1“ dvakrát.").arg(name));
            names.insert(name);
        }
        return true; // a directory that breaks off fails the entry it lacks
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

    // Reads the entry name into the table whose record was just read, of
    // rows rows and at most columns values a row.
    bool readValues(TTableModel &table, const QString &name, qint64 rows, qint64 columns)
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
        // What the record says against what the archive says the entry
        // inflates to, before a byte of it is inflated: an entry longer than
        // its rows could be written in is a bomb, and one too short for its
        // rows would have them cost memory that the file does not hold.
        if (size > CsvImport::mostBytes(rows, columns))
            return fail(QStringLiteral("Položka „%1“: Hodnoty tabulky jsou delší, než může být %2 řádků "
                                       "po %3 hodnotách.")
                            .arg(name)
                            .arg(rows)
                            .arg(columns));
        // A line with a value takes two bytes at least: the rest of the rows
        // hold no value, however the entry is read.
        if (saturatedSum(m_rowsWithoutValues, std::max<qint64>(rows - (size + 1) / 2, 0)) > MaxRowsWithoutValues)
            return fail(tooManyRowsWithoutValues(name));
        BoundedDevice bounded(&file, size);
        bounded.countLines(rows);
        QString reason;
        const bool read = table.readCsv(&bounded, &reason, std::max<qint64>(m_memoryLeft, 0));
        // A damaged entry says so first, whatever its lines looked like.
        if (!finishEntry(name, file, bounded, size))
            return false;
        if (!read)
            return fail(QStringLiteral("Položka „%1“: %2").arg(name, reason));
        m_rowsWithoutValues += bounded.blankLines() + std::max<qint64>(rows - bounded.lines(), 0);
        if (m_rowsWithoutValues > MaxRowsWithoutValues)
            return fail(tooManyRowsWithoutValues(name));
        // What the table holds: its values, a check mark a row, a start a
        // row when rows differ in length, and the fields that held no number
        // with their text.
        qint64 values = 0;
        bool even = true;
        for (int r = 0; r < table.rowCount(); ++r) {
            values += table.rowLength(r);
            even = even && table.rowLength(r) == table.rowLength(0);
        }
        qint64 held = saturatedSum(saturatedProduct(values, 9), table.rowCount());
        if (!even)
            held = saturatedSum(held, saturatedProduct(qint64(table.rowCount()) + 1, 8));
        for (const UnreadField &field : table.unreadFields())
            held = saturatedSum(held, bytesPerUnreadField + 2 * field.text.size());
        m_memoryLeft -= saturatedSum(held, bytesPerRecord);
        return true;
    }

private:
    QString tooManyRowsWithoutValues(const QString &name) const
    {
        return QStringLiteral("Položka „%1“: Tabulky projektu mají víc než %2 řádků bez hodnot.")
            .arg(name)
            .arg(MaxRowsWithoutValues);
    }

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
    qint64 m_rowsWithoutValues = 0;
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
    if (xml.name() != QStringLiteral("kstproject"))
        return reader.fail(QStringLiteral("Soubor není projekt programu Kostimer (index.xml nemá kořen kstproject)."));

    std::vector<ProjectNode *> stack;
    bool tokenRead = false; // the record reader already stands on the next token
    while (!xml.atEnd()) {
        if (!tokenRead)
            xml.readNext();
        tokenRead = false;
        if (xml.isDTD())
            return reader.fail(QStringLiteral("Rejstřík projektu (index.xml) obsahuje DTD."));
        if (xml.isStartElement() && xml.name() == QStringLiteral("model")) {
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
            // The record was read: its sizes are whole numbers within an int.
            if (!reader.readValues(*node->table, node->entry, attributes.value(QStringLiteral("rows")).toLongLong(),
                                   attributes.value(QStringLiteral("cols")).toLongLong()))
                return false;
            ProjectNode *raw = node.get();
            (stack.empty() ? *roots : stack.back()->children).push_back(std::move(node));
            stack.push_back(raw);
        } else if (xml.isEndElement() && xml.name() == QStringLiteral("model")) {
            if (!stack.empty())
                stack.pop_back();
        }
    }
    if (xml.hasError())
        return reader.fail(damaged.arg(xml.errorString()).arg(xml.lineNumber()));
    return true;
}

bool writeProject(const QString &path, ProjectTree &roots, QString *error, const ProjectProgress &progress)
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

    // The tables in the order of the index, each before the tables made from
    // it, packed a round at a time: a round's texts are written and deflated
    // by all cores at once, a big table in pieces of rows.
    std::vector<const ProjectNode *> nodes;
    forEachNode(roots, [&](const ProjectNode &node, int) { nodes.push_back(&node); });
    std::vector<qint64> work(nodes.size());
    qint64 total = 0;
    for (size_t i = 0; i < nodes.size(); ++i) {
        const TTableModel &table = *nodes[i]->table;
        work[i] = table.rowCount();
        for (int r = 0; r < table.rowCount(); ++r)
            work[i] += table.rowLength(r);
        total += 3 * work[i]; // deflating takes about twice as long as the text
    }
    std::atomic<qint64> done{0};
    std::atomic<bool> cancelled{false};
    const auto advance = [&](qint64 step) {
        const qint64 now = done += step;
        if (progress && !progress(now, total))
            cancelled = true;
    };
    advance(0);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("Soubor „%1“ nelze vytvořit (%2).").arg(path, file.errorString()));
    QuaZip zip(&file);
    zip.setAutoClose(false); // we commit the file ourselves, once all is well
    zip.setUtf8Enabled(true);
    if (!zip.open(QuaZip::mdCreate))
        return fail(QStringLiteral("Do souboru „%1“ nelze zapsat.").arg(path));
    bool written = writeEntry(zip, indexEntry, pack(index.data()));
    for (size_t first = 0; first < nodes.size() && written && !cancelled;) {
        size_t last = first + 1;
        for (qint64 values = work[first]; last < nodes.size() && values + work[last] <= valuesPerRound; ++last)
            values += work[last];
        struct Piece {
            size_t node;
            int firstRow;
            int lastRow;
        };
        std::vector<Piece> pieces;
        std::vector<size_t> piecesOf; // the first piece of each table of the round
        for (size_t i = first; i < last; ++i) {
            piecesOf.push_back(pieces.size());
            const int rows = nodes[i]->table->rowCount();
            for (int row = 0; row == 0 || row < rows; row += rowsPerPiece)
                pieces.push_back({i, row, int(std::min<qint64>(qint64(row) + rowsPerPiece, rows))});
        }
        piecesOf.push_back(pieces.size());
        std::vector<QByteArray> texts(pieces.size());
        runParallel(pieces.size(), [&](size_t k) {
            if (cancelled)
                return;
            const Piece &piece = pieces[k];
            QBuffer buffer(&texts[k]);
            buffer.open(QIODevice::WriteOnly);
            if (!writeTableRows(*nodes[piece.node]->table, piece.firstRow, piece.lastRow, &buffer))
                throw std::bad_alloc(); // a buffer in memory refuses nothing else
            qint64 step = piece.lastRow - piece.firstRow;
            for (int r = piece.firstRow; r < piece.lastRow; ++r)
                step += nodes[piece.node]->table->rowLength(r);
            advance(step);
        });
        std::vector<PackedEntry> packed(last - first);
        runParallel(last - first, [&](size_t k) {
            if (cancelled)
                return;
            QByteArray text = std::move(texts[piecesOf[k]]);
            qsizetype size = 0;
            for (size_t p = piecesOf[k]; p < piecesOf[k + 1]; ++p)
                size += texts[p].size();
            text.reserve(text.size() + size);
            for (size_t p = piecesOf[k] + 1; p < piecesOf[k + 1]; ++p) {
                text += texts[p];
                texts[p] = QByteArray();
            }
            packed[k] = pack(text);
            advance(2 * work[first + k]);
        });
        for (size_t k = 0; k < packed.size() && written && !cancelled; ++k)
            written = writeEntry(zip, nodes[first + k]->entry, packed[k]);
        first = last;
    }
    zip.close();
    if (cancelled)
        return fail(QStringLiteral("Ukládání bylo zrušeno; soubor zůstal, jak byl."));
    if (!written || zip.getZipError() != ZIP_OK)
        return fail(QStringLiteral("Zápis do souboru „%1“ selhal (%2).").arg(path, file.errorString()));
    if (!file.commit())
        return fail(QStringLiteral("Soubor „%1“ nelze uložit (%2).").arg(path, file.errorString()));
    return true;
}

bool readArchive(ArchiveDevice *device, ProjectTree *roots, QString *error, qint64 memoryLimit)
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
        if (reader.namesOnce() && reader.readIndex(&index)) {
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

bool writeProjectFile(const QString &path, ProjectTree &roots, QString *error, const ProjectProgress &progress)
{
    try {
        return writeProject(path, roots, error, progress);
    } catch (const std::bad_alloc &) {
        if (error)
            *error = QStringLiteral("Na uložení projektu nestačí paměť.");
        return false;
    }
}

bool writeTableEntry(const TTableModel &table, QIODevice *device)
{
    return writeTableRows(table, 0, table.rowCount(), device);
}

bool writeTableRows(const TTableModel &table, int firstRow, int lastRow, QIODevice *device)
{
    if (!device || !device->isWritable())
        return false;
    ValueRowWriter writer(device, NumberDigits::Full);
    std::vector<double> scratch;
    for (int r = firstRow; r < lastRow; ++r) {
        if (table.rowLength(r) > 0)
            writer.writeRow(table.storedRow(r, &scratch), table.rowLength(r));
        else
            writer.writeLine(QByteArray());
    }
    return writer.flush();
}

bool readProjectFile(const QString &path, ProjectTree *roots, QString *error, const ProjectProgress &progress)
{
    roots->clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QFileInfo::exists(path) ? QStringLiteral("Soubor nelze otevřít (%1).").arg(file.errorString())
                                             : QStringLiteral("Soubor neexistuje.");
        return false;
    }
    ArchiveDevice archive(&file, progress);
    const bool read = readArchive(&archive, roots, error, 0);
    if (archive.cancelled() && error)
        *error = QStringLiteral("Otevírání projektu bylo zrušeno.");
    return read && !archive.cancelled();
}

bool readProjectFile(QIODevice *device, ProjectTree *roots, QString *error, qint64 memoryLimit)
{
    ArchiveDevice archive(device);
    return readArchive(&archive, roots, error, memoryLimit);
}

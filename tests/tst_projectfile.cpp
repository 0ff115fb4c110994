// The project file without a window: its layout, its numbers, and a reader
// that no file can break, nor make it spend much time or memory.

#include "MethodCatalog.h"
#include "ProjectArchive.h"
#include "TableTestSupport.h"
#include "TestFiles.h"

#include <quacrc32.h>
#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <functional>
#include <sys/resource.h>
#include <zlib.h>

using Entries = QList<QPair<QString, QByteArray>>;

namespace {

// An entry of an archive made byte by byte, so that its headers can say
// what no zip library would write.
struct RawEntry {
    QByteArray name;
    QByteArray data; // as it lies in the file
    quint16 method = 0;
    quint16 flags = 0;
    quint32 crc = 0;
    quint32 compressedSize = 0;
    quint32 uncompressedSize = 0;
    qint64 offset = -1; // of the local header the central directory names; -1: its own
};

RawEntry stored(const QByteArray &name, const QByteArray &bytes)
{
    QuaCrc32 crc;
    return {name, bytes, 0, 0, crc.calculate(bytes), quint32(bytes.size()), quint32(bytes.size())};
}

RawEntry deflated(const QByteArray &name, const QByteArray &bytes, int level = 9)
{
    // qCompress gives a zlib stream behind four bytes of length: the raw
    // deflate data lies between its two-byte header and four-byte checksum.
    const QByteArray packed = qCompress(bytes, level);
    RawEntry entry = stored(name, bytes);
    entry.data = packed.mid(6, packed.size() - 10);
    entry.method = 8;
    entry.compressedSize = quint32(entry.data.size());
    return entry;
}

// count bytes of one kind (line ends, say), deflated about a thousand to one
// as zip programs do at their best, from one deflated megabyte repeated: a
// piece that ends on a byte and refers to nothing before it (a full flush)
// may follow itself in one stream, so that a gigabyte takes a megabyte and
// no time to make.
RawEntry repeated(const QByteArray &name, qint64 count, char byte = '\n')
{
    constexpr qint64 piece = 1 << 20;
    const auto packed = [byte](qint64 size, int flush) {
        QByteArray in(size, byte);
        QByteArray out(qsizetype(deflateBound(nullptr, uLong(size)) + 64), '\0');
        z_stream z{};
        deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
        z.next_in = reinterpret_cast<Bytef *>(in.data());
        z.avail_in = uInt(size);
        z.next_out = reinterpret_cast<Bytef *>(out.data());
        z.avail_out = uInt(out.size());
        deflate(&z, flush);
        out.truncate(qsizetype(z.total_out));
        deflateEnd(&z);
        return out;
    };
    const qint64 pieces = count / piece;
    const qint64 rest = count % piece;
    RawEntry entry;
    entry.name = name;
    entry.method = 8;
    entry.data = packed(piece, Z_FULL_FLUSH).repeated(qsizetype(pieces)) + packed(rest, Z_FINISH);
    const QByteArray whole(piece, byte);
    const uLong crcOfPiece = crc32(0, reinterpret_cast<const Bytef *>(whole.constData()), uInt(piece));
    uLong crc = 0;
    for (qint64 i = 0; i < pieces; ++i)
        crc = crc32_combine(crc, crcOfPiece, piece);
    entry.crc = quint32(crc32_combine(crc, crc32(0, reinterpret_cast<const Bytef *>(whole.constData()), uInt(rest)), rest));
    entry.compressedSize = quint32(entry.data.size());
    entry.uncompressedSize = quint32(count);
    return entry;
}

template <typename T>
void put(QByteArray &out, std::initializer_list<T> values)
{
    for (T value : values) {
        const T little = qToLittleEndian(value);
        out.append(reinterpret_cast<const char *>(&little), sizeof little);
    }
}

QByteArray zipOf(const QList<RawEntry> &entries)
{
    QByteArray out;
    QList<qint64> offsets;
    // Version, flags, method, time, date (1 January 1980), checksum, sizes, name length, no extra field.
    const auto header = [&](const RawEntry &e) {
        put<quint16>(out, {20, e.flags, e.method, 0, 0x21});
        put<quint32>(out, {e.crc, e.compressedSize, e.uncompressedSize});
        put<quint16>(out, {quint16(e.name.size()), 0});
    };
    for (const RawEntry &e : entries) {
        offsets.append(out.size());
        if (e.offset >= 0)
            continue; // its bytes are another entry's
        put<quint32>(out, {0x04034b50});
        header(e);
        out += e.name + e.data;
    }
    const qint64 directory = out.size();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        put<quint32>(out, {0x02014b50});
        put<quint16>(out, {20});
        header(entries[i]);
        put<quint16>(out, {0, 0, 0}); // comment, disk, internal attributes
        put<quint32>(out, {0, quint32(entries[i].offset >= 0 ? entries[i].offset : offsets[i])});
        out += entries[i].name;
    }
    const quint16 count = quint16(entries.size());
    put<quint32>(out, {0x06054b50});
    put<quint16>(out, {0, 0, count, count});
    put<quint32>(out, {quint32(out.size() - directory - 12), quint32(directory)});
    put<quint16>(out, {0});
    return out;
}

// How much the peak of the resident memory grows while run runs, in bytes;
// -1 where the system cannot tell.
qint64 peakGrowth(const std::function<void()> &run)
{
    const auto status = [](const char *key) -> qint64 {
        for (const QByteArray &line : contentOf(QStringLiteral("/proc/self/status")).split('\n'))
            if (line.startsWith(key))
                return line.mid(qsizetype(std::strlen(key))).trimmed().split(' ').value(0).toLongLong() * 1024;
        return -1;
    };
    QFile reset(QStringLiteral("/proc/self/clear_refs"));
    if (!reset.open(QIODevice::WriteOnly) || reset.write("5") != 1)
        return -1;
    reset.close();
    const qint64 before = status("VmRSS:");
    run();
    const qint64 peak = status("VmHWM:");
    return before < 0 || peak < 0 ? -1 : peak - before;
}

// A file that counts the bytes read from it.
class CountedFile : public QFile {
public:
    using QFile::QFile;
    qint64 bytesRead() const { return m_read; }

protected:
    qint64 readData(char *data, qint64 most) override
    {
        const qint64 got = QFile::readData(data, most);
        m_read += qMax<qint64>(got, 0);
        return got;
    }

private:
    qint64 m_read = 0;
};

std::unique_ptr<ProjectNode> node(TTableModel *table, const QString &sourceFile = QString())
{
    auto n = std::make_unique<ProjectNode>();
    n->table = table;
    n->ownsTable = true;
    n->isDataNode = !sourceFile.isEmpty();
    n->sourceFileName = sourceFile;
    return n;
}

TTableModel *result(const TTableModel &from, qint32 id, const std::vector<int> &columns)
{
    auto *table = new TTableModel(&from);
    table->applyMethod(id, columns);
    return table;
}

// Tables of one value each, made from the one before by a unit conversion
// (which keeps its input beside its result), depth levels deep.
void chain(ProjectTree &roots, TTableModel *source, int depth)
{
    roots.push_back(node(source, QStringLiteral("a.csv")));
    ProjectNode *last = roots.back().get();
    for (int level = 1; level < depth; ++level) {
        last->children.push_back(node(result(*last->table, 53, {0})));
        last = last->children.back().get();
    }
}

// Every table of the two trees alike, in the same places, bit for bit (any NaN a NaN).
bool sameTrees(const ProjectTree &a, const ProjectTree &b)
{
    const auto tablesOf = [](const ProjectTree &roots) {
        QList<QPair<const TTableModel *, int>> tables;
        forEachNode(roots, [&](const ProjectNode &n, int depth) { tables.append({n.table, depth}); });
        return tables;
    };
    const auto left = tablesOf(a);
    const auto right = tablesOf(b);
    if (left.size() != right.size())
        return false;
    for (qsizetype i = 0; i < left.size(); ++i) {
        const TTableModel &x = *left[i].first;
        const TTableModel &y = *right[i].first;
        if (left[i].second != right[i].second || x.type() != y.type() || x.rowCount() != y.rowCount()
            || headersOf(x) != headersOf(y))
            return false;
        for (int r = 0; r < x.rowCount(); ++r) {
            if (x.isRowChecked(r) != y.isRowChecked(r) || x.rowLength(r) != y.rowLength(r))
                return false;
            for (int c = 0; c < x.rowLength(r); ++c) {
                const double u = x.value(r, c), v = y.value(r, c);
                if (std::memcmp(&u, &v, sizeof u) != 0 && !(std::isnan(u) && std::isnan(v)))
                    return false;
            }
        }
    }
    return true;
}

QByteArray index(const QByteArray &models)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kstproject>" + models + "</kstproject>\n";
}

// count records of source tables of the given size, their entries "0.csv" on.
QByteArray records(int count, qint64 rows, qint64 columns)
{
    QByteArray xml;
    for (int i = 0; i < count; ++i)
        xml += QStringLiteral(R"(<model sourceFileName="a.csv" src="%1.csv" rows="%2" cols="%3" type="109"/>)")
                   .arg(i).arg(rows).arg(columns).toUtf8();
    return xml;
}

// The record of a source table of one value, and the index of it alone.
const QByteArray oneValue = R"(<model sourceFileName="a.csv" src="0.csv" rows="1" cols="1" name="source" type="109" )"
                            R"(checkedRows="1"><headers/>)";
const QByteArray goodIndex = index(oneValue + "</model>");

} // namespace

class TestProjectFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    // A source table read from CSV text, as an import makes it.
    TTableModel *source(const QByteArray &csv)
    {
        auto *table = new TTableModel(nullptr);
        table->loadCsv(writeFile(m_dir, QStringLiteral("source.csv"), csv));
        return table;
    }

    static Rows manyRows(int rows, int columns)
    {
        Rows many;
        for (int i = 0; i < rows; ++i)
            many.append(columns == 1 ? Row{i / 7.0} : Row{i / 7.0, i / 3.0});
        return many;
    }

    QString archive(const QString &name, const Entries &entries)
    {
        const QString file = path(name);
        QuaZip zip(file);
        zip.open(QuaZip::mdCreate);
        for (const auto &entry : entries) {
            QuaZipFile out(&zip);
            out.open(QIODevice::WriteOnly, QuaZipNewInfo(entry.first));
            out.write(entry.second);
            out.close();
        }
        zip.close();
        return file;
    }

    QString raw(const QString &name, const QList<RawEntry> &entries) { return writeFile(m_dir, name, zipOf(entries)); }

private slots:
    void initTestCase() { buildMethodCatalog(); }

    // The whole index, attribute order and indentation too.
    void goldenIndex()
    {
        TTableModel *people = source("Hmotnost;Výška & \"m\"\n70;1,75\n80;2\n");
        people->setData(people->index(1, 0), Qt::Unchecked, Qt::CheckStateRole);
        ProjectTree roots;
        roots.push_back(node(people, QStringLiteral("lidé.csv")));
        roots.back()->children.push_back(node(result(*people, 2, {0, 1})));
        QVERIFY(writeProjectFile(path("golden.kstx"), roots));

        QuaZip zip(path("golden.kstx"));
        QVERIFY(zip.open(QuaZip::mdUnzip));
        QCOMPARE(zip.getFileNameList(), (QStringList{"index.xml", "0.csv", "0/1.csv"}));
        QVERIFY(zip.setCurrentFile("index.xml"));
        QuaZipFile entry(&zip);
        QVERIFY(entry.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(entry.readAll()), QString::fromUtf8(contentOf(QFINDTESTDATA("data/golden-index.xml"))));
    }

    void entryNamesCountChildrenFromTheLast()
    {
        TTableModel *table = source("a;b\n1;2\n");
        ProjectTree roots;
        roots.push_back(node(table, "a.csv"));
        auto first = node(result(*table, 53, {0}));
        first->children.push_back(node(result(*first->table, 84, {1})));
        roots.back()->children.push_back(std::move(first));
        roots.back()->children.push_back(node(result(*table, 2, {0, 1})));
        QVERIFY(writeProjectFile(path("names.kstx"), roots));

        ProjectTree read;
        QVERIFY(readProjectFile(path("names.kstx"), &read));
        QStringList entries;
        forEachNode(read, [&](const ProjectNode &n, int) { entries.append(n.entry); });
        QCOMPARE(entries, (QStringList{"0.csv", "0/2.csv", "0/2/1.csv", "0/1.csv"}));
        QCOMPARE(read[0]->text(), QStringLiteral("Data ze souboru \"a.csv\""));
        QCOMPARE(read[0]->children[1]->name, QStringLiteral("Body mass index"));
        QCOMPARE(read[0]->children[0]->children[0]->table->value(0, 1), 1e-6); // 1 m in km, taken for kg in t
        QVERIFY(sameTrees(roots, read));
    }

    // Every digit (NaN, -0 and subnormals too), ragged rows with their
    // lengths and places (a short first row, one without values), check
    // marks, results, a table typed in without a file, and a table of more
    // rows than one thread writes as a piece (the pieces join in their
    // order, each entry one deflate stream). Writing and reading tell their
    // progress to the end, and a read cancelled gives nothing.
    void tablesComeBackAsTheyWere()
    {
        Rows bits;
        for (double v : {1.0 / 3.0, 1e-300, -0.0, 123456789.123, 0.1 + 0.2, 5e-324, 1.7976931348623157e308})
            bits.append(Row{v, qQNaN()});
        Rows ragged{{1}, {}, {2, 3, 4}};
        for (int r = 0; r < 300; ++r) {
            ragged.append(Row{});
            for (int c = 0; c < 20; ++c)
                ragged.last().append(1.0 / (3 + r + c));
        }
        ragged.append(Row{});
        Rows big = manyRows(300001, 2);
        for (int i = 0; i < big.size(); i += 1000)
            big[i].clear();
        auto *typed = new TTableModel(97, nullptr);
        typed->appendRows({{0, 0, 3, 4}});
        ProjectTree roots;
        roots.push_back(node(typed));
        roots.push_back(node(sourceTable(bits).release(), "bits.csv"));
        roots.push_back(node(sourceTable(ragged).release(), "ragged.csv"));
        roots.push_back(node(sourceTable(big).release(), "big.csv"));
        roots[2]->table->setData(roots[2]->table->index(2, 0), Qt::Unchecked, Qt::CheckStateRole);
        roots[2]->children.push_back(node(result(*roots[2]->table, 2, {0, 1})));
        roots[0]->children.push_back(node(result(*typed, 2, {4, 2}))); // 5 / 3²
        QString reason;
        const QString file = path("again.kstx");
        qint64 last = -1, total = 0;
        const auto follow = [&](qint64 done, qint64 all) {
            last = std::max(last, done);
            total = all;
            return true;
        };
        QVERIFY2(writeProjectFile(file, roots, &reason, follow), qPrintable(reason));
        QVERIFY(total > 0 && last == total);
        ProjectTree read;
        last = -1;
        QVERIFY2(readProjectFile(file, &read, &reason, follow), qPrintable(reason));
        QVERIFY(total == QFileInfo(file).size() && last > total / 2);
        // Data nodes first, then the tables typed in.
        std::rotate(roots.begin(), roots.begin() + 1, roots.end());
        QVERIFY(sameTrees(roots, read));
        QCOMPARE(storedRows(*read[1]->table), ragged);
        QVERIFY(!read[3]->isDataNode);
        QCOMPARE(read[3]->name, QStringLiteral("Vzdálenost bodů 2D"));
        QCOMPARE(read[3]->children[0]->table->value(0, 2), 5.0 / 9.0);

        // Cancelled after a few reads.
        int calls = 0;
        QVERIFY(!readProjectFile(file, &read, &reason, [&](qint64, qint64) { return ++calls < 10; }));
        QCOMPARE(calls, 10);
        QVERIFY(read.empty());
        QCOMPARE(reason, QStringLiteral("Otevírání projektu bylo zrušeno."));
    }

    // A save that fails leaves the file as it was, with nothing beside it: a
    // disk full a little past the first file, a save cancelled once the first
    // rows are written as text; and a folder that is not there is told.
    void failedSaveLeavesTheOldFile_data()
    {
        QTest::addColumn<QString>("reason");
        QTest::newRow("full") << QStringLiteral("Zápis do souboru „%1“ selhal");
        QTest::newRow("cancelled") << QStringLiteral("Ukládání bylo zrušeno; soubor zůstal, jak byl.");
    }

    void failedSaveLeavesTheOldFile()
    {
        QFETCH(QString, reason);
        const QString name = QTest::currentDataTag() + QStringLiteral(".kstx");
        const bool full = name == QStringLiteral("full.kstx");
        ProjectTree roots;
        roots.push_back(node(source("a\n1\n"), "a.csv"));
        QVERIFY(writeProjectFile(path(name), roots));
        const QByteArray before = contentOf(path(name));
        roots[0]->table->appendRows(manyRows(200000, 1));
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old;
        getrlimit(RLIMIT_FSIZE, &old);
        const rlimit limit{full ? rlim_t(before.size() + 4096) : old.rlim_cur, old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
        QString given;
        int calls = 0;
        const bool written = writeProjectFile(path(name), roots, &given,
                                              [&](qint64 done, qint64) { return full || ++calls == 1 || done == 0; });
        setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(!written);
        QVERIFY2(given.startsWith(reason.arg(path(name))), qPrintable(given));
        QCOMPARE(contentOf(path(name)), before);
        QCOMPARE(QDir(m_dir.path()).entryList({name + "*"}, QDir::Files | QDir::Hidden), QStringList{name});
        const QString nowhere = path("no/such/folder/p.kstx");
        QVERIFY(!writeProjectFile(nowhere, roots, &given));
        QVERIFY2(given.startsWith(QStringLiteral("Soubor „%1“ nelze vytvořit").arg(nowhere)), qPrintable(given));
    }

    // Files this program could not have written are refused with the
    // reason, and files made to cost (sizes claimed, sizes inflated to,
    // records by the thousand, rows without values by the million) cost
    // little: each is read or refused in a few megabytes, and where it is
    // refused before its entries are inflated, having read a few kilobytes of
    // the file, where following what it asks for would take gigabytes or
    // minutes.
    void read_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<qint64>("memoryLimit"); // 0: read by its name, with the machine's memory
        QTest::addColumn<QString>("reason");     // the whole reason, or its start before "…"; empty: it opens
        QTest::addColumn<Rows>("values");        // the first rows of the first table, when it opens
        QTest::addColumn<qint64>("mostRead");    // bytes of the file read at most; -1: any
        const auto row = [](const char *tag, const QString &file, qint64 limit, const char *reason, const Rows &values = {},
                            qint64 mostRead = -1) {
            QTest::newRow(tag) << file << limit << QString::fromUtf8(reason) << values << mostRead;
        };
        // The index of one value beside its entry, changed as a zip library would not write it.
        const auto damaged = [&](const char *tag, RawEntry values, const std::function<void(RawEntry &)> &change,
                                 const char *reason) {
            change(values);
            row(tag, raw(QString::fromUtf8(tag) + ".kstx", {stored("index.xml", goodIndex), values}), 0, reason);
        };
        const auto withIndex = [&](const char *tag, const QByteArray &xml, const char *reason) {
            row(tag, archive(QString::fromUtf8(tag) + ".kstx", {{"index.xml", xml}, {"0.csv", "2,5\n"}}), 0, reason);
        };
        const char *broken = "Rejstřík projektu (index.xml) je poškozený: …";

        row("missing file", path("nic.kstx"), 0, "Soubor neexistuje.");
        row("not a zip", writeFile(m_dir, "not.kstx", "Toto není projekt.\n"), 0, "Soubor není archiv ZIP, nebo je poškozený.");
        row("no index", archive("noindex.kstx", {{"0.csv", "1\n"}}), 0, "V souboru chybí rejstřík projektu (index.xml).");
        withIndex("empty index", "", broken);
        withIndex("other root", "<project/>", "Soubor není projekt programu Kostimer (index.xml nemá kořen kstproject).");
        withIndex("doctype", "<?xml version=\"1.0\"?><!DOCTYPE kstproject [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;"
                             "&a;&a;&a;&a;&a;\">]><kstproject>&b;</kstproject>",
                  "Rejstřík projektu (index.xml) obsahuje DTD.");
        // One level more than a project may have, every table with its entry.
        QByteArray deep;
        Entries deepEntries{{"index.xml", {}}};
        for (int i = 0; i <= MaxProjectDepth; ++i) {
            deep += QStringLiteral(R"(<model src="%1.csv" rows="0" cols="1" type="109">)").arg(i).toUtf8();
            deepEntries.append({QStringLiteral("%1.csv").arg(i), {}});
        }
        deepEntries[0].second = index(deep + QByteArray("</model>").repeated(MaxProjectDepth + 1));
        row("too deep", archive("deep.kstx", deepEntries), 0, "Tabulky v projektu jsou vnořené do víc než 1000 úrovní.");
        withIndex("rows beyond an int", index(R"(<model sourceFileName="a.csv" src="0.csv" rows="99999999999" cols="1" type="109"/>)"),
                  "Tabulka v projektu má mít 99999999999 řádků, víc, než program pojme (nejvýše 2147483647).");
        row("src names no entry", archive("nosrc.kstx", {{"index.xml", goodIndex}}), 0, "V projektu chybí položka „0.csv“.");
        row("src climbs out", archive("climb.kstx", {{"index.xml", index(R"(<model src="../0.csv" rows="1" cols="1" type="109"/>)")},
                                                     {"../0.csv", "7\n"}}),
            0, "Záznam tabulky odkazuje na neplatnou položku „../0.csv“.");
        withIndex("two records, one entry", index(oneValue + "</model>" + oneValue + "</model>"), "Položku „0.csv“ uvádí víc záznamů.");
        withIndex("the index as values", index(R"(<model src="index.xml" rows="1" cols="1" type="109"/>)"),
                  "Položku „index.xml“ uvádí víc záznamů.");
        // Malformed XML anywhere is a damaged index: the tables before it
        // must not pass for the whole project, which a save would then write
        // over the file.
        withIndex("broken after the first table", "<kstproject>" + oneValue + "</model><model src=\"1.csv\" rows", broken);
        withIndex("index cut short", goodIndex.chopped(20), broken);
        withIndex("broken in the first record", "<kstproject><model src=\"0.csv\" rows=\"1\" <headers/></model></kstproject>", broken);
        // 50 MB of digits without a line end, for a table of one value.
        const QByteArray bomb(50 << 20, '1');
        row("zip bomb entry", archive("bomb.kstx", {{"index.xml", goodIndex}, {"0.csv", bomb}}), 0,
            "Položka „0.csv“: Hodnoty tabulky jsou delší, než může být 1 řádků po 1 hodnotách.");
        row("zip bomb index", archive("bombindex.kstx", {{"index.xml", bomb}}), 16 << 20, "Na položku „index.xml“ nestačí paměť.");

        // What the zip headers say, checked.
        damaged("checksum", stored("0.csv", "2,5\n"), [](RawEntry &e) { e.data = "3,5\n"; }, // plausible, and wrong
                "Položka „0.csv“ je poškozená (nesouhlasí kontrolní součet).");
        RawEntry damagedIndex = deflated("index.xml", goodIndex);
        damagedIndex.crc ^= 1;
        row("checksum of the index", raw("crcindex.kstx", {damagedIndex, stored("0.csv", "2,5\n")}), 0,
            "Položka „index.xml“ je poškozená (nesouhlasí kontrolní součet).");
        damaged("encrypted", stored("0.csv", "2,5\n"), [](RawEntry &e) { e.flags = 1; }, "Položka „0.csv“ je zašifrovaná.");
        damaged("unknown method", stored("0.csv", "2,5\n"), [](RawEntry &e) { e.method = 12; },
                "Položka „0.csv“ je zkomprimovaná neznámou metodou (12).");
        damaged("offset past the end", stored("0.csv", "2,5\n"), [](RawEntry &e) { e.offset = 1 << 20; },
                "Položku „0.csv“ nelze přečíst.");
        damaged("says it is longer", deflated("0.csv", "2,5\n"), [](RawEntry &e) { e.uncompressedSize += 10; },
                "Položka „0.csv“ je poškozená (má jinou délku, než uvádí archiv).");
        damaged("says it is shorter", deflated("0.csv", "2,5\n"), [](RawEntry &e) { e.uncompressedSize -= 1; },
                "Položka „0.csv“ je poškozená (nesouhlasí kontrolní součet).");
        damaged("stored, says it is longer", stored("0.csv", "2,5\n"), [](RawEntry &e) { e.uncompressedSize += 1; },
                "Položka „0.csv“ je poškozená (má jinou délku, než uvádí archiv).");
        // Ten names for one deflated megabyte: the file would inflate to ten.
        QList<RawEntry> shared{stored("index.xml", index(records(10, 1 << 20, 1))), deflated("0.csv", QByteArray(1 << 20, '\n'))};
        for (int i = 1; i < 10; ++i) {
            shared.append(shared[1]);
            shared.last().name = QStringLiteral("%1.csv").arg(i).toUtf8();
            shared.last().offset = shared[0].name.size() + shared[0].data.size() + 30;
        }
        row("entries sharing their bytes", raw("shared.kstx", shared), 0, "Položky souboru zabírají víc místa, než soubor má.");

        // Memory: the tables together within the limit given.
        QByteArray rows;
        for (int i = 0; i < 20000; ++i)
            rows += QByteArray::number(i) + ";" + QByteArray::number(i * 7) + "\n";
        const QString memory = archive("memory.kstx", {{"index.xml", index(records(1, 20000, 2))}, {"0.csv", rows}});
        row("tables past the memory limit", memory, 256 << 10, "Položka „0.csv“: Na hodnoty tabulky nestačí paměť.");
        row("within the memory limit", memory, 2 << 20, "", {{0, 0}, {1, 7}});
        const QByteArray two = index(records(1, 2, 2));
        row("deflated", archive("good.kstx", {{"index.xml", two}, {"0.csv", "2,5;1\n3\n"}}), 0, "", {{2.5, 1}, {3}});
        row("stored", raw("stored.kstx", {stored("index.xml", two), stored("0.csv", "2,5;1\n3\n")}), 0, "", {{2.5, 1}, {3}});
        row("surplus lines", raw("surplus.kstx", {stored("index.xml", two), deflated("0.csv", "2,5;1\n3\n4\n5\n")}), 0, "",
            {{2.5, 1}, {3}});

        // Records asking for tables just under 2^25 values, from a few
        // hundred bytes: once they took gigabytes before a line was read.
        Entries twelve{{"index.xml", index(records(12, 5792, 5792))}};
        row("twelve large records, no entries", archive("twelve.kstx", twelve), 0, "V projektu chybí položka „0.csv“.");
        for (int i = 0; i < 12; ++i)
            twelve.append({QStringLiteral("%1.csv").arg(i), "1\n"});
        row("twelve large records, short entries", archive("twelve-short.kstx", twelve), 0,
            "Položka „0.csv“: Hodnoty tabulky jsou jen na 1 z 5792 řádků.");
        row("200 huge records", archive("many.kstx", {{"index.xml", index(records(200, INT_MAX, INT_MAX))}}), 0,
            "V projektu chybí položka „0.csv“.");
        // A million rows from a kilobyte: each row gets what its line has.
        row("a million empty rows of a wide record",
            archive("wide.kstx", {{"index.xml", index(records(1, 1000000, INT_MAX))}, {"0.csv", QByteArray(1000000, '\n')}}), 0, "");
        // Entries that say they hold 4 GB: no deflate stream of their size makes that much.
        damaged("0.csv claims 4 GB", deflated("0.csv", "1\n"), [](RawEntry &e) { e.uncompressedSize = 0xFFFFFFF0; },
                "Položka „0.csv“ je poškozená (má jinou délku, než uvádí archiv).");
        RawEntry claims = deflated("index.xml", goodIndex);
        claims.uncompressedSize = 0xFFFFFFF0;
        row("index.xml claims 4 GB", raw("claims.kstx", {claims, stored("0.csv", "1\n")}), 64 << 20,
            "Položka „index.xml“ je poškozená (má jinou délku, než uvádí archiv).");
        // An index whose deflated bytes inflate to 100 MB, of which it says
        // it holds the first few hundred: no more than those are inflated.
        RawEntry inflating = deflated("index.xml", goodIndex + QByteArray(100 << 20, ' '), 1);
        inflating.uncompressedSize = quint32(goodIndex.size());
        row("index inflating past its size", raw("inflating.kstx", {inflating, stored("0.csv", "1\n")}), 64 << 20,
            "Položka „index.xml“ je poškozená (nesouhlasí kontrolní součet).");
        // 2000 records, each with an entry of its own: each table costs
        // memory whatever its rows, and they stop at the limit.
        QList<RawEntry> entries{deflated("index.xml", index(records(2000, 0, 0)))};
        for (int i = 0; i < 2000; ++i)
            entries.append(stored(QStringLiteral("%1.csv").arg(i).toUtf8(), {}));
        row("2000 records", raw("records.kstx", entries), 1 << 20, "Na položku „…");

        // Two entries of one name: this reader opened the first, where other
        // zip readers take the last, so that the file was one project here
        // and another there.
        row("two entries of one name", raw("twice.kstx", {stored("index.xml", goodIndex), stored("0.csv", "2,5\n"),
                                                          stored("0.csv", "7\n")}),
            0, "Projekt obsahuje položku „0.csv“ dvakrát.");
        row("two indexes", raw("twoindexes.kstx", {stored("index.xml", goodIndex), stored("0.csv", "2,5\n"),
                                                   stored("index.xml", index(""))}),
            0, "Projekt obsahuje položku „index.xml“ dvakrát.");

        // Rows without values: each costs memory (its check mark) and
        // nothing in the file. 2^31 - 1 of them beside half a gigabyte of
        // line ends were once inflated, 512 MB, before the rows the entry
        // lacked refused it; with a line end each (2 GB from 2 MB) they
        // opened, in 4 GB and over a minute. Now refused before a byte of
        // the entry is inflated.
        row("2^31 - 1 rows, half a gigabyte of line ends",
            raw("emptyrows.kstx", {stored("index.xml", index(records(1, INT_MAX, 0))), repeated("0.csv", qint64(1) << 29)}), 0,
            "Položka „0.csv“: Tabulky projektu mají víc než 4194304 řádků bez hodnot.", {}, 128 << 10);
        // Fifty records of ten million rows, each entry giving its rows
        // their line: half a gigabyte of check marks, read for tens of
        // seconds.
        QList<RawEntry> fifty{stored("index.xml", index(records(50, 10000000, 0)))};
        const RawEntry tenMillion = repeated("0.csv", 10000000);
        for (int i = 0; i < 50; ++i) {
            fifty.append(tenMillion);
            fifty.last().name = QStringLiteral("%1.csv").arg(i).toUtf8();
        }
        row("50 records of 10 million empty rows", raw("fifty.kstx", fifty), 0,
            "Položka „0.csv“: Tabulky projektu mají víc než 4194304 řádků bez hodnot.", {}, 128 << 10);
        // The rows a table's lines leave without values are counted as the
        // lines are read: 8 million empty lines that give 8 million rows.
        row("8 million empty lines",
            raw("eight.kstx", {stored("index.xml", index(records(1, 1 << 23, 0))), repeated("0.csv", 1 << 23)}), 0,
            "Položka „0.csv“: Tabulka má 8388608 řádků bez hodnot; projekt jich může mít nejvýše 4194304.");
        // The count is the project's, not a table's: two tables of 3 million.
        row("two tables of 3 million empty rows",
            raw("two.kstx", {stored("index.xml", index(records(2, 3000000, 0))), repeated("0.csv", 3000000),
                             repeated("1.csv", 3000000)}),
            0, "Položka „1.csv“: Tabulky projektu mají víc než 4194304 řádků bez hodnot.", {}, 128 << 10);
        // A result's row from an empty line holds its method's values, all
        // 0, and nothing in the file either; lines with values after the
        // rows the record has do not make up for them.
        const QByteArray result = R"(<model src="1.csv" rows="300000" cols="2" type="53"/>)";
        row("empty lines of a result",
            raw("result.kstx", {stored("index.xml", index(records(1, 4000000, 0) + result)), repeated("0.csv", 4000000),
                                deflated("1.csv", QByteArray(300000, '\n') + QByteArray("1\n").repeated(300000))}),
            0, "Položka „1.csv“: Tabulky projektu mají víc než 4194304 řádků bez hodnot.");

        // An entry that inflates to more than its record's rows and columns
        // could be written in: refused before a byte of it is inflated, where
        // it was read to the end to be checked.
        row("entry past what its record holds",
            raw("past.kstx", {stored("index.xml", index(records(1, 1000, 10))), repeated("0.csv", qint64(1) << 29)}), 0,
            "Položka „0.csv“: Hodnoty tabulky jsou delší, než může být 1000 řádků po 10 hodnotách.", {}, 128 << 10);
        // 100 MB of digits as one field of a record of 5 million columns,
        // which could hold them: once held whole, 100 MB. No value is that
        // long; a field past 4096 bytes stops the reading.
        row("one field of 100 MB",
            raw("field.kstx", {stored("index.xml", index(records(1, 1, 5000000))), repeated("0.csv", 100 << 20, '7')}), 0,
            "Položka „0.csv“: Hodnoty tabulky mají pole delší než 4096 bajtů.");

        // The index is held three times over (its text, what the XML reader
        // makes of it, the records built): a limit that holds it and the
        // table's 8 kB once, but not three times, is too small.
        const QByteArray padded = index("<!--" + QByteArray(300000, ' ') + "-->" + records(1, 4096, 1));
        const QString thrice = archive("thrice.kstx", {{"index.xml", padded}, {"0.csv", QByteArray("1\n").repeated(4096)}});
        row("index held three times", thrice, 3 * padded.size() + 4096, "Na položku „0.csv“ nestačí paměť.");
        row("index and table within the limit", thrice, 3 * padded.size() + (1 << 20), "", {{1}, {1}});
    }

    void read()
    {
        QFETCH(QString, file);
        QFETCH(qint64, memoryLimit);
        QFETCH(QString, reason);
        QFETCH(Rows, values);
        QFETCH(qint64, mostRead);
        QVERIFY(QFileInfo(file).size() < (1 << 20));
        ProjectTree roots;
        roots.push_back(std::make_unique<ProjectNode>()); // what was there goes
        bool read = false;
        QString given;
        QElapsedTimer timer;
        timer.start();
        CountedFile device(file);
        const qint64 growth = peakGrowth([&] {
            read = memoryLimit == 0 && mostRead < 0 ? readProjectFile(file, &roots, &given)
                                                    : device.open(QIODevice::ReadOnly | QIODevice::Unbuffered)
                                                          && readProjectFile(&device, &roots, &given, memoryLimit);
        });
        // The work done: the bytes inflated follow the bytes read, of which
        // the zip library reads the last 64 kB and the headers in any case.
        if (mostRead >= 0)
            QVERIFY2(device.bytesRead() <= mostRead, qPrintable(QStringLiteral("%1 bytes").arg(device.bytesRead())));
        QVERIFY2(timer.elapsed() < 10000, qPrintable(QStringLiteral("%1 ms").arg(timer.elapsed())));
        QVERIFY2(read == reason.isEmpty(), qPrintable(given));
        if (reason.endsWith(u'…'))
            QVERIFY2(given.startsWith(reason.chopped(1)) && given.size() > reason.size(), qPrintable(given));
        else
            QCOMPARE(given, reason);
        QVERIFY(read || roots.empty());
        if (read)
            QCOMPARE(storedRows(*roots[0]->table).mid(0, values.size()), values);
        roots.clear();
        if (growth >= 0)
            QVERIFY2(growth < (32 << 20), qPrintable(QStringLiteral("%1 MB").arg(growth >> 20)));
    }

    void aBitFlippedInTheSampleIsFound()
    {
        // One bit of the deflated values of "0/2.csv" in the sample project:
        // whatever it does to the stream, the entry is refused by name.
        const QByteArray sample = contentOf(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../examples/ukazkovy-projekt.kstx"));
        const qsizetype at = middleOfEntry(sample, "0/2.csv");
        QVERIFY(at > 0);
        for (int bit = 0; bit < 8; ++bit) {
            QByteArray flipped = sample;
            flipped[at] = char(flipped[at] ^ (1 << bit));
            QBuffer buffer(&flipped);
            buffer.open(QIODevice::ReadOnly);
            ProjectTree roots;
            QString reason;
            QVERIFY(!readProjectFile(&buffer, &roots, &reason));
            QVERIFY2(reason.startsWith(QStringLiteral("Položka „0/2.csv“ je poškozená")), qPrintable(reason));
        }
    }

    // A damaged archive is told by its reason alone. An entry or a directory
    // placed past the end of the bytes once made the zip library seek there,
    // and a buffer holding the bytes (as kostimer-cli reads a file) printed
    // its own warning, "QBuffer::seek: Invalid pos", on standard error first.
    void damagedArchiveWarnsOfNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QList<RawEntry> sound{stored("index.xml", goodIndex), stored("0.csv", "2,5\n")};
        const QByteArray good = zipOf(sound);
        for (const qint64 offset : {qint64(1) << 20, qint64(0xFFFFFFFF)}) {
            QList<RawEntry> far = sound;
            far[0].offset = offset;
            QTest::addRow("index at %lld", offset) << zipOf(far);
            far = sound;
            far[1].offset = offset;
            QTest::addRow("values at %lld", offset) << zipOf(far);
        }
        // The directory's place, in the last record of the archive.
        QByteArray directory = good;
        qToLittleEndian<quint32>(quint32(good.size() + 100), directory.data() + directory.size() - 6);
        QTest::newRow("directory past the end") << directory;
        QByteArray directorySize = good;
        qToLittleEndian<quint32>(quint32(good.size() * 2), directorySize.data() + directorySize.size() - 10);
        QTest::newRow("directory longer than the file") << directorySize;
        for (const qsizetype cut : {good.size() - 23, good.size() / 2, qsizetype(40), qsizetype(0)})
            QTest::addRow("cut to %lld bytes", qint64(cut)) << good.left(cut);
        const QByteArray sample = contentOf(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../examples/ukazkovy-projekt.kstx"));
        QTest::newRow("the sample cut in the middle of an entry") << sample.left(middleOfEntry(sample, "0/2.csv"));
    }

    void damagedArchiveWarnsOfNothing()
    {
        QFETCH(QByteArray, bytes);
        static QStringList messages;
        messages.clear();
        const QtMessageHandler before = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext &, const QString &message) { messages.append(message); });
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        ProjectTree roots;
        QString reason;
        const bool read = readProjectFile(&buffer, &roots, &reason);
        qInstallMessageHandler(before);
        QVERIFY(!read);
        QVERIFY(!reason.isEmpty());
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    }

    void deepChains_data()
    {
        QTest::addColumn<int>("depth");
        // Past 125 levels the nested names no longer fit the zip library's
        // 256 characters; the most a project may have is past the reader's
        // old limit of 256 too.
        QTest::newRow("130") << 130;
        QTest::newRow("the most a project may have") << MaxProjectDepth;
        // One more is not written, and the file stays as it was.
        QTest::newRow("too deep") << MaxProjectDepth + 1;
    }

    void deepChains()
    {
        QFETCH(int, depth);
        const QString file = path("deep.kstx");
        ProjectTree small;
        chain(small, source("m\n1\n"), 2);
        QVERIFY(writeProjectFile(file, small));
        const QByteArray before = contentOf(file);
        ProjectTree roots;
        chain(roots, source("m\n1,5\n2\n"), depth);
        QString reason;
        if (depth > MaxProjectDepth) {
            QVERIFY(!writeProjectFile(file, roots, &reason));
            QCOMPARE(reason, QStringLiteral("Projekt má 1001 úrovní odvozených tabulek; soubor projektu jich pojme nejvýše 1000."));
            QCOMPARE(contentOf(file), before);
            return;
        }
        QVERIFY2(writeProjectFile(file, roots, &reason), qPrintable(reason));
        QSet<QString> names;
        qsizetype longest = 0;
        forEachNode(roots, [&](const ProjectNode &n, int) {
            names.insert(n.entry);
            longest = std::max(longest, n.entry.size());
        });
        QCOMPARE(names.size(), depth);
        QVERIFY(longest <= QuaZip::MAX_FILE_NAME_LENGTH);
        ProjectTree read;
        QVERIFY2(readProjectFile(file, &read, &reason), qPrintable(reason));
        QVERIFY(sameTrees(roots, read));
        // The deepest table holds its numbers, not zeros.
        const TTableModel *deepest = nullptr;
        forEachNode(read, [&](const ProjectNode &n, int) { deepest = n.table; });
        QCOMPARE(deepest->value(1, 0), 2.0);
        QCOMPARE(deepest->value(1, 1), 0.002);
    }

    void noFixedCapOnATable()
    {
        // A result table of the widest method with more rows than 2^25 values
        // would take (its rows hold none): past what a table could once have
        // in a file. It opens, saves and opens again.
        qint32 widest = 0;
        for (qint32 id = 0; id < MethodCatalogSize; ++id)
            if (isRegisteredMethod(id) && MethodCatalog[size_t(id)].columns.size() > MethodCatalog[size_t(widest)].columns.size())
                widest = id;
        const int width = int(MethodCatalog[size_t(widest)].columns.size());
        const int rows = (1 << 25) / width + 1;
        const QString first = archive("wide.kstx", {{"index.xml", index(QStringLiteral(R"(<model src="0.csv" rows="%1" cols="%2" type="%3"/>)").arg(rows).arg(width).arg(widest).toUtf8())},
                                                    {"0.csv", QByteArray(rows, '\n')}});
        ProjectTree read;
        QString reason;
        QVERIFY2(readProjectFile(first, &read, &reason), qPrintable(reason));
        QCOMPARE(read[0]->table->rowCount(), rows);
        QCOMPARE(read[0]->table->width(), width);
        QVERIFY2(writeProjectFile(path("wide-again.kstx"), read, &reason), qPrintable(reason));
        ProjectTree again;
        QVERIFY2(readProjectFile(path("wide-again.kstx"), &again, &reason), qPrintable(reason));
        QCOMPARE(again[0]->table->rowCount(), rows);
        QCOMPARE(again[0]->table->width(), width);
    }
};

QTEST_APPLESS_MAIN(TestProjectFile)
#include "tst_projectfile.moc"

#include "MethodCatalog.h"
#include "ProjectArchive.h"
#include "TTableModel.h"
#include "TableTestSupport.h"

#include <quacrc32.h>
#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include <QtEndian>
#include <QTemporaryDir>
#include <QtTest>

#include <opencv2/core.hpp>

#include <csignal>
#include <cmath>
#include <cstring>
#include <functional>
#include <sys/resource.h>

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

RawEntry deflated(const QByteArray &name, const QByteArray &bytes)
{
    // qCompress gives a zlib stream behind four bytes of length: the raw
    // deflate data lies between its two-byte header and four-byte checksum.
    const QByteArray packed = qCompress(bytes, 9);
    RawEntry entry = stored(name, bytes);
    entry.data = packed.mid(6, packed.size() - 10);
    entry.method = 8;
    entry.compressedSize = quint32(entry.data.size());
    return entry;
}

template <typename T>
void put(QByteArray &out, T value)
{
    const T little = qToLittleEndian(value);
    out.append(reinterpret_cast<const char *>(&little), sizeof little);
}

QByteArray zipOf(const QList<RawEntry> &entries)
{
    QByteArray out;
    QList<qint64> offsets;
    const auto header = [&](const RawEntry &e) {
        put<quint16>(out, 20);
        put<quint16>(out, e.flags);
        put<quint16>(out, e.method);
        put<quint16>(out, 0);    // time
        put<quint16>(out, 0x21); // 1 January 1980
        put<quint32>(out, e.crc);
        put<quint32>(out, e.compressedSize);
        put<quint32>(out, e.uncompressedSize);
        put<quint16>(out, quint16(e.name.size()));
        put<quint16>(out, 0);
    };
    for (const RawEntry &e : entries) {
        offsets.append(out.size());
        if (e.offset >= 0)
            continue; // its bytes are another entry's
        put<quint32>(out, 0x04034b50);
        header(e);
        out += e.name + e.data;
    }
    const qint64 directory = out.size();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const RawEntry &e = entries[i];
        put<quint32>(out, 0x02014b50);
        put<quint16>(out, 20);
        header(e);
        put<quint16>(out, 0); // comment
        put<quint16>(out, 0); // disk
        put<quint16>(out, 0); // internal attributes
        put<quint32>(out, 0); // external attributes
        put<quint32>(out, quint32(e.offset >= 0 ? e.offset : offsets[i]));
        out += e.name;
    }
    put<quint32>(out, 0x06054b50);
    put<quint16>(out, 0);
    put<quint16>(out, 0);
    put<quint16>(out, quint16(entries.size()));
    put<quint16>(out, quint16(entries.size()));
    put<quint32>(out, quint32(out.size() - directory - 12));
    put<quint32>(out, quint32(directory));
    put<quint16>(out, 0);
    return out;
}

// How much the peak of the resident memory grows while run runs, in bytes;
// -1 where the system cannot tell.
qint64 peakGrowth(const std::function<void()> &run)
{
    const auto status = [](const char *key) -> qint64 {
        QFile f(QStringLiteral("/proc/self/status"));
        if (!f.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray &line : f.readAll().split('\n'))
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

// Tables of one value each, made from the one before by a unit conversion
// (which keeps its input beside its result), depth levels deep.
void chain(ProjectTree &roots, TTableModel *source, int depth)
{
    auto root = std::make_unique<ProjectNode>();
    root->table = source;
    root->ownsTable = true;
    root->isDataNode = true;
    root->sourceFileName = QStringLiteral("a.csv");
    ProjectNode *last = root.get();
    roots.push_back(std::move(root));
    for (int level = 1; level < depth; ++level) {
        auto node = std::make_unique<ProjectNode>();
        node->table = new TTableModel(last->table);
        node->table->applyMethod(53, std::vector<int>{0});
        node->ownsTable = true;
        last->children.push_back(std::move(node));
        last = last->children.back().get();
    }
}

// Every table of the two trees alike, in the same places.
bool sameTrees(const ProjectTree &a, const ProjectTree &b)
{
    QList<const ProjectNode *> left;
    QList<const ProjectNode *> right;
    QList<int> leftDepths;
    QList<int> rightDepths;
    forEachNode(a, [&](const ProjectNode &n, int depth) {
        left.append(&n);
        leftDepths.append(depth);
    });
    forEachNode(b, [&](const ProjectNode &n, int depth) {
        right.append(&n);
        rightDepths.append(depth);
    });
    if (left.size() != right.size() || leftDepths != rightDepths)
        return false;
    for (qsizetype i = 0; i < left.size(); ++i) {
        const TTableModel &x = *left[i]->table;
        const TTableModel &y = *right[i]->table;
        if (x.type() != y.type() || storedRows(x) != storedRows(y) || headersOf(x) != headersOf(y))
            return false;
        for (int r = 0; r < x.rowCount(); ++r)
            if (x.isRowChecked(r) != y.isRowChecked(r))
                return false;
    }
    return true;
}

} // namespace

// The project file without a window: its layout, its numbers, and a reader
// that no file can break.
class TestProjectFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    static QByteArray readAll(const QString &file)
    {
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

    // A source table read from CSV text, as an import makes it.
    TTableModel *source(const QByteArray &csv)
    {
        const QString file = path(QStringLiteral("source.csv"));
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write(csv);
        f.close();
        auto *table = new TTableModel(nullptr);
        table->loadCsv(file);
        return table;
    }

    static std::unique_ptr<ProjectNode> node(TTableModel *table, const QString &sourceFile = QString())
    {
        auto n = std::make_unique<ProjectNode>();
        n->table = table;
        n->ownsTable = true;
        n->isDataNode = !sourceFile.isEmpty();
        n->sourceFileName = sourceFile;
        return n;
    }

    static TTableModel *result(const TTableModel &from, qint32 id, const std::vector<int> &columns)
    {
        auto *table = new TTableModel(&from);
        table->applyMethod(id, columns);
        return table;
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

    static QByteArray index(const QByteArray &models)
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kstproject>" + models + "</kstproject>\n";
    }

    using Row = QList<double>;
    using Rows = QList<Row>;

private slots:
    void initTestCase() { buildMethodCatalog(); }

    void goldenIndex()
    {
        TTableModel *people = source("Hmotnost;Výška & \"m\"\n70;1,75\n80;2\n");
        people->setData(people->index(1, 0), Qt::Unchecked, Qt::CheckStateRole);
        ProjectTree roots;
        roots.push_back(node(people, QString::fromUtf8("lidé.csv")));
        roots.back()->children.push_back(node(result(*people, 2, {0, 1})));
        QVERIFY(writeProjectFile(path("golden.kstx"), roots));

        QuaZip zip(path("golden.kstx"));
        QVERIFY(zip.open(QuaZip::mdUnzip));
        QCOMPARE(zip.getFileNameList(), (QStringList{"index.xml", "0.csv", "0/1.csv"}));
        QVERIFY(zip.setCurrentFile("index.xml"));
        QuaZipFile entry(&zip);
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QByteArray written = entry.readAll();
        if (qEnvironmentVariableIsSet("KOSTIMER_SHOW_INDEX"))
            qInfo().noquote() << written;
        QCOMPARE(QString::fromUtf8(written), QString::fromUtf8(readAll(QFINDTESTDATA("data/golden-index.xml"))));
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
        QCOMPARE(read[0]->text(), QString::fromUtf8("Data ze souboru \"a.csv\""));
        QCOMPARE(read[0]->children[1]->name, QString::fromUtf8("Body mass index"));
        QCOMPARE(read[0]->children[0]->children[0]->table->value(0, 1), 1e-6); // 1 m in km, taken for kg in t
    }

    void valuesComeBackBitForBit()
    {
        const double values[] = {1.0 / 3.0, 1e-300, -0.0, 123456789.123, 0.1 + 0.2, 5e-324, 1.7976931348623157e308};
        QByteArray csv = "x\n";
        auto *table = new TTableModel(SourceDataType, nullptr);
        QList<QList<double>> rows;
        for (double v : values)
            rows.append(QList<double>{v, qQNaN()});
        table->appendRows(rows);
        ProjectTree roots;
        roots.push_back(node(table, "x.csv"));
        QVERIFY(writeProjectFile(path("bits.kstx"), roots));
        ProjectTree read;
        QVERIFY(readProjectFile(path("bits.kstx"), &read));
        const TTableModel &back = *read[0]->table;
        QCOMPARE(back.rowCount(), int(std::size(values)));
        for (int r = 0; r < back.rowCount(); ++r) {
            const double v = back.value(r, 0);
            QVERIFY2(std::memcmp(&v, &values[r], sizeof v) == 0, QByteArray::number(values[r], 'g', 17));
            QVERIFY(std::isnan(back.value(r, 1)));
        }
    }

    void tablesTypedInAreKept()
    {
        auto *typed = new TTableModel(97, nullptr);
        typed->appendRows({{0, 0, 3, 4}});
        ProjectTree roots;
        roots.push_back(node(typed));
        roots.back()->children.push_back(node(result(*typed, 3, {4, 2})));
        QVERIFY(writeProjectFile(path("typed.kstx"), roots));
        ProjectTree read;
        QVERIFY(readProjectFile(path("typed.kstx"), &read));
        QCOMPARE(read.size(), size_t(1));
        QVERIFY(!read[0]->isDataNode);
        QCOMPARE(read[0]->name, QString::fromUtf8("Vzdálenost bodů 2D"));
        QCOMPARE(read[0]->table->value(0, 4), 5.0);
        QCOMPARE(read[0]->children[0]->table->value(0, 2), 5.0 / 3.0);
    }

    void failedSaveLeavesTheOldFile()
    {
        TTableModel *table = source("a\n1\n");
        ProjectTree roots;
        roots.push_back(node(table, "a.csv"));
        const QString file = path("kept.kstx");
        QVERIFY(writeProjectFile(file, roots));
        const QByteArray before = readAll(file);

        // A bigger project on a disk that is full after a few bytes more.
        QList<QList<double>> many;
        for (int i = 0; i < 20000; ++i)
            many.append(QList<double>{i / 7.0});
        table->appendRows(many);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old;
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit full = old;
        full.rlim_cur = rlim_t(before.size() + 4096);
        setrlimit(RLIMIT_FSIZE, &full);
        QString reason;
        const bool written = writeProjectFile(file, roots, &reason);
        setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(!written);
        QVERIFY2(reason.startsWith(QString::fromUtf8("Zápis do souboru „%1“ selhal").arg(file)), qPrintable(reason));
        QCOMPARE(readAll(file), before);
        QCOMPARE(QDir(m_dir.path()).entryList({"kept.kstx*"}, QDir::Files | QDir::Hidden), QStringList{"kept.kstx"});

        const QString nowhere = path("no/such/folder/p.kstx");
        QVERIFY(!writeProjectFile(nowhere, roots, &reason));
        QVERIFY2(reason.startsWith(QString::fromUtf8("Soubor „%1“ nelze vytvořit").arg(nowhere)), qPrintable(reason));
    }

    void bigTablesComeBackWhole()
    {
        // More rows than one thread writes as a piece, beside a small table:
        // the pieces join in their order, and each entry is one deflate stream.
        QList<QList<double>> rows;
        for (int i = 0; i < 300001; ++i)
            rows.append(i % 1000 == 0 ? QList<double>{} : QList<double>{i / 7.0, -double(i)});
        auto *big = new TTableModel(SourceDataType, nullptr);
        big->appendRows(rows);
        ProjectTree roots;
        roots.push_back(node(big, "big.csv"));
        roots.push_back(node(source("a\n1\n2\n"), "small.csv"));
        qint64 last = -1;
        qint64 total = 0;
        QString reason;
        QVERIFY2(writeProjectFile(path("big.kstx"), roots, &reason,
                                  [&](qint64 done, qint64 all) {
                                      last = std::max(last, done);
                                      total = all;
                                      return true;
                                  }),
                 qPrintable(reason));
        QVERIFY(total > 0);
        QCOMPARE(last, total);
        ProjectTree read;
        QVERIFY2(readProjectFile(path("big.kstx"), &read, &reason), qPrintable(reason));
        QVERIFY(sameTrees(roots, read));
        QCOMPARE(read[1]->table->value(1, 0), 2.0);
    }

    void cancelledSaveLeavesTheOldFile()
    {
        TTableModel *table = source("a\n1\n");
        ProjectTree roots;
        roots.push_back(node(table, "a.csv"));
        const QString file = path("cancelled.kstx");
        QVERIFY(writeProjectFile(file, roots));
        const QByteArray before = readAll(file);

        QList<QList<double>> many;
        for (int i = 0; i < 200000; ++i)
            many.append(QList<double>{i / 7.0});
        table->appendRows(many);
        QString reason;
        int calls = 0;
        // Cancelled once the first rows are written as text.
        QVERIFY(!writeProjectFile(file, roots, &reason, [&](qint64 done, qint64) { return ++calls == 1 || done == 0; }));
        QVERIFY(calls >= 2);
        QCOMPARE(reason, QString::fromUtf8("Ukládání bylo zrušeno; soubor zůstal, jak byl."));
        QCOMPARE(readAll(file), before);
        QCOMPARE(QDir(m_dir.path()).entryList({"cancelled.kstx*"}, QDir::Files | QDir::Hidden),
                 QStringList{"cancelled.kstx"});
    }

    void cancelledOpenGivesNothing()
    {
        QList<QList<double>> many;
        for (int i = 0; i < 50000; ++i)
            many.append(QList<double>{i / 7.0, i / 3.0});
        auto *table = new TTableModel(SourceDataType, nullptr);
        table->appendRows(many);
        ProjectTree roots;
        roots.push_back(node(table, "a.csv"));
        const QString file = path("opened.kstx");
        QVERIFY(writeProjectFile(file, roots));

        qint64 furthest = 0;
        ProjectTree read;
        QString reason;
        QVERIFY2(readProjectFile(file, &read, &reason,
                                 [&](qint64 done, qint64 total) {
                                     furthest = std::max(furthest, done);
                                     return total == QFileInfo(file).size();
                                 }),
                 qPrintable(reason));
        QVERIFY(sameTrees(roots, read));
        QVERIFY(furthest > QFileInfo(file).size() / 2);

        // Cancelled after a few reads.
        int calls = 0;
        QVERIFY(!readProjectFile(file, &read, &reason, [&](qint64, qint64) { return ++calls < 10; }));
        QCOMPARE(calls, 10);
        QVERIFY(read.empty());
        QCOMPARE(reason, QString::fromUtf8("Otevírání projektu bylo zrušeno."));
    }

    void refused_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<qint64>("memoryLimit");
        QTest::addColumn<QString>("reason"); // the whole reason, or its start before "…"

        const QByteArray record = R"(<model sourceFileName="a.csv" src="0.csv" rows="1" cols="1" name="source" type="109" checkedRows="1"><headers/>)";
        const QByteArray goodIndex = index(record + "</model>");
        const auto raw = [&](const QString &name, const QList<RawEntry> &entries) {
            QFile f(path(name));
            f.open(QIODevice::WriteOnly);
            f.write(zipOf(entries));
            return f.fileName();
        };
        const auto bytes = [&](const QString &name, const QByteArray &content) {
            QFile f(path(name));
            f.open(QIODevice::WriteOnly);
            f.write(content);
            return f.fileName();
        };
        const auto withIndex = [&](const QByteArray &xml) { return Entries{{"index.xml", index(xml)}, {"0.csv", "1\n"}}; };

        QTest::newRow("not a zip") << bytes("not.kstx", "Toto není projekt.\n") << qint64(0)
                                   << QString::fromUtf8("Soubor není archiv ZIP, nebo je poškozený.");
        const QByteArray whole = readAll(archive("good.kstx", {{"index.xml", goodIndex}, {"0.csv", "2,5\n"}}));
        QTest::newRow("truncated") << bytes("cut.kstx", whole.left(whole.size() / 2)) << qint64(0)
                                   << QString::fromUtf8("Soubor není archiv ZIP, nebo je poškozený.");
        QTest::newRow("no index") << archive("noindex.kstx", {{"0.csv", "1\n"}}) << qint64(0)
                                  << QString::fromUtf8("V souboru chybí rejstřík projektu (index.xml).");
        QTest::newRow("empty index") << archive("empty.kstx", {{"index.xml", ""}}) << qint64(0)
                                     << QString::fromUtf8("Rejstřík projektu (index.xml) je poškozený: …");
        QTest::newRow("other root") << archive("root.kstx", {{"index.xml", "<project/>"}}) << qint64(0)
                                    << QString::fromUtf8("Soubor není projekt programu Kostimer (index.xml nemá kořen kstproject).");
        QTest::newRow("doctype") << archive("dtd.kstx", {{"index.xml", "<?xml version=\"1.0\"?><!DOCTYPE kstproject [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]><kstproject>&b;</kstproject>"}})
                                 << qint64(0) << QString::fromUtf8("Rejstřík projektu (index.xml) obsahuje DTD.");
        // One level more than a project may have, every table with its entry.
        QByteArray deep;
        Entries deepEntries{{"index.xml", {}}};
        for (int i = 0; i <= MaxProjectDepth; ++i) {
            deep += QStringLiteral(R"(<model src="%1.csv" rows="0" cols="1" name="source" type="109" checkedRows="">)").arg(i).toUtf8();
            deepEntries.append({QStringLiteral("%1.csv").arg(i), {}});
        }
        deepEntries[0].second = index(deep + QByteArray("</model>").repeated(MaxProjectDepth + 1));
        QTest::newRow("too deep") << archive("deep.kstx", deepEntries) << qint64(0)
                                  << QString::fromUtf8("Tabulky v projektu jsou vnořené do víc než %1 úrovní.").arg(MaxProjectDepth);
        QTest::newRow("rows beyond an int") << archive("rows.kstx", withIndex(R"(<model sourceFileName="a.csv" src="0.csv" rows="99999999999" cols="1" name="source" type="109" checkedRows=""><headers/></model>)"))
                                            << qint64(0) << QString::fromUtf8("Tabulka v projektu má mít 99999999999 řádků, víc, než program pojme (nejvýše 2147483647).");
        QTest::newRow("negative cols") << archive("cols.kstx", withIndex(R"(<model sourceFileName="a.csv" src="0.csv" rows="1" cols="-1" name="source" type="109" checkedRows=""><headers/></model>)"))
                                       << qint64(0) << QString::fromUtf8("Záznam tabulky v projektu má neplatný počet sloupců „-1“.");
        QTest::newRow("empty slot type") << archive("slot.kstx", withIndex(R"(<model sourceFileName="a.csv" src="0.csv" rows="1" cols="1" name="x" type="100" checkedRows="1"><headers/></model>)"))
                                         << qint64(0) << QString::fromUtf8("Záznam tabulky v projektu má neznámý typ „100“.");
        QTest::newRow("src names no entry") << archive("nosrc.kstx", {{"index.xml", goodIndex}}) << qint64(0)
                                            << QString::fromUtf8("V projektu chybí položka „0.csv“.");
        QTest::newRow("src climbs out") << archive("climb.kstx", {{"index.xml", index(R"(<model sourceFileName="a.csv" src="../0.csv" rows="1" cols="1" name="source" type="109" checkedRows="1"><headers/></model>)")}, {"../0.csv", "7\n"}})
                                        << qint64(0) << QString::fromUtf8("Záznam tabulky odkazuje na neplatnou položku „../0.csv“.");
        QTest::newRow("two records, one entry") << archive("twice.kstx", {{"index.xml", index(record + "</model>" + record + "</model>")}, {"0.csv", "1\n"}})
                                                << qint64(0) << QString::fromUtf8("Položku „0.csv“ uvádí víc záznamů.");
        QTest::newRow("the index as values") << archive("self.kstx", {{"index.xml", index(R"(<model src="index.xml" rows="1" cols="1" type="109"/>)")}})
                                             << qint64(0) << QString::fromUtf8("Položku „index.xml“ uvádí víc záznamů.");
        // Malformed XML anywhere is a damaged index: the tables before it
        // must not pass for the whole project, which a save would then write
        // over the file.
        QTest::newRow("broken after the first table")
            << archive("broken.kstx", {{"index.xml", "<kstproject>" + record + "</model><model src=\"1.csv\" rows"}, {"0.csv", "2,5\n"}})
            << qint64(0) << QString::fromUtf8("Rejstřík projektu (index.xml) je poškozený: …");
        QTest::newRow("index cut short")
            << archive("short.kstx", {{"index.xml", goodIndex.chopped(20)}, {"0.csv", "2,5\n"}})
            << qint64(0) << QString::fromUtf8("Rejstřík projektu (index.xml) je poškozený: …");
        QTest::newRow("broken in the first record")
            << archive("first.kstx", {{"index.xml", "<kstproject><model sourceFileName=\"a.csv\" src=\"0.csv\" rows=\"1\" <headers/></model></kstproject>"}, {"0.csv", "2,5\n"}})
            << qint64(0) << QString::fromUtf8("Rejstřík projektu (index.xml) je poškozený: …");
        // 50 MB of digits without a line end, for a table of one value.
        QByteArray bomb(50 << 20, '1');
        QTest::newRow("zip bomb entry") << archive("bomb.kstx", {{"index.xml", goodIndex}, {"0.csv", bomb}}) << qint64(0)
                                        << QString::fromUtf8("Položka „0.csv“: Hodnoty tabulky jsou delší, než může být 1 řádků po 1 hodnotách.");
        QTest::newRow("zip bomb index") << archive("bombindex.kstx", {{"index.xml", bomb}}) << qint64(16 << 20)
                                        << QString::fromUtf8("Na položku „index.xml“ nestačí paměť.");

        // What the zip headers say, checked.
        const QByteArray values = "2,5\n";
        RawEntry damaged = stored("0.csv", values);
        damaged.data = "3,5\n"; // plausible, and wrong
        QTest::newRow("checksum") << raw("crc.kstx", {stored("index.xml", goodIndex), damaged}) << qint64(0)
                                  << QString::fromUtf8("Položka „0.csv“ je poškozená (nesouhlasí kontrolní součet).");
        RawEntry damagedIndex = deflated("index.xml", goodIndex);
        damagedIndex.crc ^= 1;
        QTest::newRow("checksum of the index") << raw("crcindex.kstx", {damagedIndex, stored("0.csv", values)}) << qint64(0)
                                               << QString::fromUtf8("Položka „index.xml“ je poškozená (nesouhlasí kontrolní součet).");
        RawEntry encrypted = stored("0.csv", values);
        encrypted.flags = 1;
        QTest::newRow("encrypted") << raw("encrypted.kstx", {stored("index.xml", goodIndex), encrypted}) << qint64(0)
                                   << QString::fromUtf8("Položka „0.csv“ je zašifrovaná.");
        RawEntry bzip2 = stored("0.csv", values);
        bzip2.method = 12;
        QTest::newRow("unknown method") << raw("bzip2.kstx", {stored("index.xml", goodIndex), bzip2}) << qint64(0)
                                        << QString::fromUtf8("Položka „0.csv“ je zkomprimovaná neznámou metodou (12).");
        RawEntry far = stored("0.csv", values);
        far.offset = 1 << 20;
        QTest::newRow("offset past the end") << raw("far.kstx", {stored("index.xml", goodIndex), far}) << qint64(0)
                                             << QString::fromUtf8("Položku „0.csv“ nelze přečíst.");
        RawEntry longer = deflated("0.csv", values);
        longer.uncompressedSize += 10;
        QTest::newRow("says it is longer") << raw("longer.kstx", {stored("index.xml", goodIndex), longer}) << qint64(0)
                                           << QString::fromUtf8("Položka „0.csv“ je poškozená (má jinou délku, než uvádí archiv).");
        RawEntry shorter = deflated("0.csv", values);
        shorter.uncompressedSize -= 1;
        QTest::newRow("says it is shorter") << raw("shorter.kstx", {stored("index.xml", goodIndex), shorter}) << qint64(0)
                                            << QString::fromUtf8("Položka „0.csv“ je poškozená (nesouhlasí kontrolní součet).");
        RawEntry storedLonger = stored("0.csv", values);
        storedLonger.uncompressedSize += 1;
        QTest::newRow("stored, says it is longer") << raw("storedlonger.kstx", {stored("index.xml", goodIndex), storedLonger}) << qint64(0)
                                                   << QString::fromUtf8("Položka „0.csv“ je poškozená (má jinou délku, než uvádí archiv).");
        // Ten names for one deflated megabyte: the file would inflate to ten.
        QByteArray tenRecords;
        for (int i = 0; i < 10; ++i)
            tenRecords += QStringLiteral(R"(<model sourceFileName="a.csv" src="%1.csv" rows="1048576" cols="1" type="109"/>)").arg(i).toUtf8();
        QList<RawEntry> shared{stored("index.xml", index(tenRecords)), deflated("0.csv", QByteArray(1 << 20, '\n'))};
        for (int i = 1; i < 10; ++i) {
            RawEntry alias = shared[1];
            alias.name = QStringLiteral("%1.csv").arg(i).toUtf8();
            alias.offset = shared[0].name.size() + shared[0].data.size() + 30;
            shared.append(alias);
        }
        QTest::newRow("entries sharing their bytes") << raw("shared.kstx", shared) << qint64(0)
                                                     << QString::fromUtf8("Položky souboru zabírají víc místa, než soubor má.");

        // Memory: the tables together within the limit given.
        QByteArray rows;
        for (int i = 0; i < 20000; ++i)
            rows += QByteArray::number(i) + ";" + QByteArray::number(i * 7) + "\n";
        QTest::newRow("tables past the memory limit")
            << archive("memory.kstx", {{"index.xml", index(R"(<model sourceFileName="a.csv" src="0.csv" rows="20000" cols="2" type="109"/>)")}, {"0.csv", rows}})
            << qint64(256 << 10) << QString::fromUtf8("Položka „0.csv“: Na hodnoty tabulky nestačí paměť.");
    }

    void refused()
    {
        QFETCH(QString, file);
        QFETCH(qint64, memoryLimit);
        QFETCH(QString, reason);
        ProjectTree roots;
        roots.push_back(std::make_unique<ProjectNode>()); // what was there goes
        QString given;
        QFile device(file);
        QVERIFY(device.open(QIODevice::ReadOnly));
        QVERIFY(!readProjectFile(&device, &roots, &given, memoryLimit));
        QVERIFY(roots.empty());
        if (reason.endsWith(u'…'))
            QVERIFY2(given.startsWith(reason.chopped(1)) && given.size() > reason.size(), qPrintable(given));
        else
            QCOMPARE(given, reason);
    }

    void opens_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<qint64>("memoryLimit");
        QTest::addColumn<Rows>("values");
        const QByteArray record = R"(<model sourceFileName="a.csv" src="0.csv" rows="2" cols="2" name="source" type="109" checkedRows="1"><headers/></model>)";
        QTest::newRow("deflated") << archive("good.kstx", {{"index.xml", index(record)}, {"0.csv", "2,5;1\n3\n"}}) << qint64(0)
                                  << Rows{{2.5, 1}, {3}};
        const auto raw = [&](const QString &name, const QList<RawEntry> &entries) {
            QFile f(path(name));
            f.open(QIODevice::WriteOnly);
            f.write(zipOf(entries));
            return f.fileName();
        };
        QTest::newRow("stored") << raw("stored.kstx", {stored("index.xml", index(record)), stored("0.csv", "2,5;1\n3\n")})
                                << qint64(0) << Rows{{2.5, 1}, {3}};
        QTest::newRow("surplus lines") << raw("surplus.kstx", {stored("index.xml", index(record)), deflated("0.csv", "2,5;1\n3\n4\n5\n")})
                                       << qint64(0) << Rows{{2.5, 1}, {3}};
        QByteArray rows;
        for (int i = 0; i < 20000; ++i)
            rows += QByteArray::number(i) + ";" + QByteArray::number(i * 7) + "\n";
        QTest::newRow("within the memory limit")
            << archive("memory.kstx", {{"index.xml", index(R"(<model sourceFileName="a.csv" src="0.csv" rows="20000" cols="2" type="109"/>)")}, {"0.csv", rows}})
            << qint64(2 << 20) << Rows{{0, 0}};
    }

    void opens()
    {
        QFETCH(QString, file);
        QFETCH(qint64, memoryLimit);
        QFETCH(Rows, values);
        ProjectTree roots;
        QString reason;
        QFile device(file);
        QVERIFY(device.open(QIODevice::ReadOnly));
        QVERIFY2(readProjectFile(&device, &roots, &reason, memoryLimit), qPrintable(reason));
        QCOMPARE(roots.size(), size_t(1));
        QCOMPARE(storedRows(*roots[0]->table).mid(0, values.size()), values);
    }

    void missingFileSaysSo()
    {
        ProjectTree roots;
        QString reason;
        QVERIFY(!readProjectFile(path("nic.kstx"), &roots, &reason));
        QCOMPARE(reason, QString::fromUtf8("Soubor neexistuje."));
    }

    void aBitFlippedInTheSampleIsFound()
    {
        // One bit of the deflated values of "0/2.csv" in the sample project:
        // whatever it does to the stream, the entry is refused by name.
        const QByteArray sample = readAll(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../examples/ukazkovy-projekt.kstx"));
        QVERIFY(!sample.isEmpty());
        qsizetype at = -1;
        const auto field16 = [&](qsizetype p) { return qFromLittleEndian<quint16>(sample.constData() + p); };
        const auto field32 = [&](qsizetype p) { return qFromLittleEndian<quint32>(sample.constData() + p); };
        for (qsizetype p = sample.indexOf("PK\x01\x02"); p >= 0; p = sample.indexOf("PK\x01\x02", p + 4)) {
            if (sample.mid(p + 46, field16(p + 28)) != "0/2.csv")
                continue;
            const qsizetype local = field32(p + 42);
            at = local + 30 + field16(local + 26) + field16(local + 28) + field32(p + 20) / 2;
            break;
        }
        QVERIFY(at > 0);
        for (int bit = 0; bit < 8; ++bit) {
            QByteArray flipped = sample;
            flipped[at] = char(flipped[at] ^ (1 << bit));
            QBuffer buffer(&flipped);
            buffer.open(QIODevice::ReadOnly);
            ProjectTree roots;
            QString reason;
            QVERIFY(!readProjectFile(&buffer, &roots, &reason));
            QVERIFY2(reason.startsWith(QString::fromUtf8("Položka „0/2.csv“ je poškozená")), qPrintable(reason));
        }
    }

    void smallFilesTakeLittleMemory_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("opens");
        // Records asking for tables just under 2^25 values, from a few
        // hundred bytes: once they took gigabytes before a line was read.
        QByteArray twelve;
        Entries twelveEntries{{"index.xml", {}}};
        for (int i = 0; i < 12; ++i) {
            twelve += QStringLiteral(R"(<model sourceFileName="a.csv" src="%1.csv" rows="5792" cols="5792" type="109"/>)").arg(i).toUtf8();
            twelveEntries.append({QStringLiteral("%1.csv").arg(i), "1\n"});
        }
        QTest::newRow("twelve large records, no entries") << archive("twelve.kstx", {{"index.xml", index(twelve)}}) << false;
        twelveEntries[0].second = index(twelve);
        QTest::newRow("twelve large records, short entries") << archive("twelve-short.kstx", twelveEntries) << false;
        QByteArray many;
        for (int i = 0; i < 200; ++i)
            many += QStringLiteral(R"(<model sourceFileName="a.csv" src="%1.csv" rows="2147483647" cols="2147483647" type="109"/>)").arg(i).toUtf8();
        QTest::newRow("200 huge records") << archive("many.kstx", {{"index.xml", index(many)}}) << false;
        // A million rows from a kilobyte: each row gets what its line has.
        QTest::newRow("a million empty rows of a wide record")
            << archive("wide.kstx", {{"index.xml", index(R"(<model sourceFileName="a.csv" src="0.csv" rows="1000000" cols="2147483647" type="109"/>)")}, {"0.csv", QByteArray(1000000, '\n')}})
            << true;
    }

    void smallFilesTakeLittleMemory()
    {
        QFETCH(QString, file);
        QFETCH(bool, opens);
        QVERIFY(QFileInfo(file).size() < 4096);
        bool read = false;
        QString reason;
        const qint64 growth = peakGrowth([&] {
            ProjectTree roots;
            read = readProjectFile(file, &roots, &reason);
        });
        QCOMPARE(read, opens);
        QVERIFY(opens || !reason.isEmpty());
        if (growth < 0)
            QSKIP("The peak of the resident memory cannot be read here.");
        QVERIFY2(growth < (32 << 20), qPrintable(QStringLiteral("%1 MB").arg(growth >> 20)));
    }

    void deepChainsComeBack_data()
    {
        QTest::addColumn<int>("depth");
        // Past 125 levels the nested names no longer fit the zip library's
        // 256 characters; 300 is past the reader's old limit of 256.
        QTest::newRow("130") << 130;
        QTest::newRow("300") << 300;
        QTest::newRow("the most a project may have") << MaxProjectDepth;
    }

    void deepChainsComeBack()
    {
        QFETCH(int, depth);
        ProjectTree roots;
        chain(roots, source("m\n1,5\n2\n"), depth);
        const QString file = path("deep.kstx");
        QString reason;
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

    void tooDeepIsNotWritten()
    {
        const QString file = path("kept-deep.kstx");
        ProjectTree small;
        chain(small, source("m\n1\n"), 2);
        QVERIFY(writeProjectFile(file, small));
        const QByteArray before = readAll(file);
        ProjectTree roots;
        chain(roots, source("m\n1\n"), MaxProjectDepth + 1);
        QString reason;
        QVERIFY(!writeProjectFile(file, roots, &reason));
        QCOMPARE(reason, QString::fromUtf8("Projekt má %1 úrovní odvozených tabulek; soubor projektu jich pojme nejvýše %2.")
                             .arg(MaxProjectDepth + 1)
                             .arg(MaxProjectDepth));
        QCOMPARE(readAll(file), before);
    }

    void raggedTablesComeBackAsTheyWere()
    {
        // A short first row, long rows after it, one row without values: the
        // rows keep their lengths and places, and no row is cut to the first.
        Rows rows{{1}, {}, {2, 3, 4}};
        for (int r = 0; r < 300; ++r) {
            Row row;
            for (int c = 0; c < 20; ++c)
                row.append(1.0 / (3 + r + c));
            rows.append(row);
        }
        rows.append(Row{});
        auto *table = new TTableModel(SourceDataType, nullptr);
        table->appendRows(rows);
        table->setData(table->index(2, 0), Qt::Unchecked, Qt::CheckStateRole);
        ProjectTree roots;
        roots.push_back(node(table, "ragged.csv"));
        roots.back()->children.push_back(node(result(*table, 2, {0, 1})));
        QString reason;
        QVERIFY2(writeProjectFile(path("ragged.kstx"), roots, &reason), qPrintable(reason));
        ProjectTree read;
        QVERIFY2(readProjectFile(path("ragged.kstx"), &read, &reason), qPrintable(reason));
        QVERIFY(sameTrees(roots, read));
        QCOMPARE(storedRows(*read[0]->table), rows);
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
        const QString first = archive("many.kstx", {{"index.xml", index(QStringLiteral(R"(<model src="0.csv" rows="%1" cols="%2" type="%3"/>)").arg(rows).arg(width).arg(widest).toUtf8())},
                                                    {"0.csv", QByteArray(rows, '\n')}});
        ProjectTree read;
        QString reason;
        QVERIFY2(readProjectFile(first, &read, &reason), qPrintable(reason));
        QCOMPARE(read[0]->table->rowCount(), rows);
        QCOMPARE(read[0]->table->width(), width);
        read[0]->table->setData(read[0]->table->index(rows - 1, 0), Qt::Checked, Qt::CheckStateRole);
        QVERIFY2(writeProjectFile(path("many-again.kstx"), read, &reason), qPrintable(reason));
        ProjectTree again;
        QVERIFY2(readProjectFile(path("many-again.kstx"), &again, &reason), qPrintable(reason));
        QCOMPARE(again[0]->table->rowCount(), rows);
        QCOMPARE(again[0]->table->isRowChecked(rows - 1), read[0]->table->isRowChecked(rows - 1));
        QVERIFY(!again[0]->table->isRowChecked(rows - 2));
    }
};

QTEST_APPLESS_MAIN(TestProjectFile)
#include "tst_projectfile.moc"

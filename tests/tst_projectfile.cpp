#include "MethodCatalog.h"
#include "ProjectArchive.h"
#include "TTableModel.h"

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cmath>
#include <cstring>
#include <sys/resource.h>

using Entries = QList<QPair<QString, QByteArray>>;

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
        const bool written = writeProjectFile(file, roots);
        setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(!written);
        QCOMPARE(readAll(file), before);
        QCOMPARE(QDir(m_dir.path()).entryList({"kept.kstx*"}, QDir::Files | QDir::Hidden), QStringList{"kept.kstx"});

        QVERIFY(!writeProjectFile(path("no/such/folder/p.kstx"), roots));
    }

    void hostileFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<int>("tables");

        const QByteArray record = R"(<model sourceFileName="a.csv" src="0.csv" rows="1" cols="1" name="source" type="109" checkedRows="1"><headers/>)";
        const QByteArray goodIndex = index(record + "</model>");
        QFile notZip(path("not.kstx"));
        notZip.open(QIODevice::WriteOnly);
        notZip.write("Toto není projekt.\n");
        notZip.close();
        QTest::newRow("not a zip") << notZip.fileName() << false << 0;

        const QString good = archive("good.kstx", {{"index.xml", goodIndex}, {"0.csv", "2,5\n"}});
        const QByteArray whole = readAll(good);
        QFile cut(path("cut.kstx"));
        cut.open(QIODevice::WriteOnly);
        cut.write(whole.left(whole.size() / 2));
        cut.close();
        QTest::newRow("good") << good << true << 1;
        QTest::newRow("truncated") << cut.fileName() << false << 0;
        QTest::newRow("no index") << archive("noindex.kstx", {{"0.csv", "1\n"}}) << false << 0;
        QTest::newRow("empty index") << archive("empty.kstx", {{"index.xml", ""}}) << false << 0;
        QTest::newRow("other root") << archive("root.kstx", {{"index.xml", "<project/>"}}) << false << 0;
        QTest::newRow("doctype") << archive("dtd.kstx", {{"index.xml", "<?xml version=\"1.0\"?><!DOCTYPE kstproject [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]><kstproject>&b;</kstproject>"}})
                                 << false << 0;
        QByteArray deep;
        for (int i = 0; i < 300; ++i)
            deep += R"(<model src="x.csv" rows="0" cols="1" name="source" type="109" checkedRows=""><headers/>)";
        QTest::newRow("too deep") << archive("deep.kstx", {{"index.xml", index(deep)}}) << false << 0;
        QTest::newRow("absurd rows") << archive("rows.kstx", {{"index.xml", index(R"(<model sourceFileName="a.csv" src="0.csv" rows="99999999999" cols="1" name="source" type="109" checkedRows=""><headers/></model>)")}})
                                     << false << 0;
        QTest::newRow("negative cols") << archive("cols.kstx", {{"index.xml", index(R"(<model sourceFileName="a.csv" src="0.csv" rows="1" cols="-1" name="source" type="109" checkedRows=""><headers/></model>)")}})
                                       << false << 0;
        QTest::newRow("empty slot type") << archive("slot.kstx", {{"index.xml", index(R"(<model sourceFileName="a.csv" src="0.csv" rows="1" cols="1" name="x" type="100" checkedRows="1"><headers/></model>)")}})
                                         << false << 0;
        QTest::newRow("type out of range") << archive("type.kstx", {{"index.xml", index(R"(<model sourceFileName="a.csv" src="0.csv" rows="1" cols="1" name="x" type="500" checkedRows="1"><headers/></model>)")}})
                                           << false << 0;
        QTest::newRow("src names no entry") << archive("nosrc.kstx", {{"index.xml", goodIndex}}) << true << 1;
        QTest::newRow("src climbs out") << archive("climb.kstx", {{"index.xml", index(R"(<model sourceFileName="a.csv" src="../0.csv" rows="1" cols="1" name="source" type="109" checkedRows="1"><headers/></model>)")}, {"../0.csv", "7\n"}})
                                        << true << 1;
        QTest::newRow("broken after the first table")
            << archive("broken.kstx", {{"index.xml", "<kstproject>" + record + "</model><model src=\"1.csv\" rows"}, {"0.csv", "2,5\n"}})
            << true << 1;
        // 200 MB of digits without a line end, for a table of one value.
        QByteArray bomb(200 << 20, '1');
        QTest::newRow("zip bomb entry") << archive("bomb.kstx", {{"index.xml", goodIndex}, {"0.csv", bomb}}) << true << 1;
        QTest::newRow("zip bomb index") << archive("bombindex.kstx", {{"index.xml", bomb}}) << false << 0;
    }

    void hostileFiles()
    {
        QFETCH(QString, file);
        QFETCH(bool, opens);
        QFETCH(int, tables);
        ProjectTree roots;
        QCOMPARE(readProjectFile(file, &roots), opens);
        int count = 0;
        forEachNode(roots, [&](const ProjectNode &n, int) {
            ++count;
            QVERIFY(n.table);
        });
        QCOMPARE(count, tables);
        if (QTest::currentDataTag() == QByteArray("good"))
            QCOMPARE(roots[0]->table->value(0, 0), 2.5);
        if (QTest::currentDataTag() == QByteArray("src climbs out") || QTest::currentDataTag() == QByteArray("src names no entry"))
            QCOMPARE(roots[0]->table->value(0, 0), 0.0);
    }
};

QTEST_APPLESS_MAIN(TestProjectFile)
#include "tst_projectfile.moc"

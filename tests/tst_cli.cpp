#include "CliRun.h"
#include "MethodCatalog.h"
#include "ProjectArchive.h"
#include "TTableModel.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// kostimer-cli as a script uses it: the bytes it writes and its exit codes.
class TestCli : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    using Run = CliRun;

    static Run run(const QStringList &arguments) { return runCli(arguments); }

    QString file(const QString &name, const QByteArray &content) { return writeFile(m_dir, name, content); }

private slots:
    void methodsListsEveryRegisteredMethod()
    {
        const Run r = run({"methods"});
        QCOMPARE(r.exitCode, 0);
        const QList<QByteArray> lines = r.out.split('\n');
        QCOMPARE(lines.size(), 107); // 106 lines and the empty rest after the last LF
        QCOMPARE(lines.at(64), QByteArray("64\t0\tRadi\xC3\xA1ny na vte\xC5\x99iny\tRadi\xC3\xA1ny [Rad]\tVte\xC5\x99iny [\"]"));
        QVERIFY(lines.at(8).endsWith("\tHmotnost k\xC5\xAF\xC5\xBE" "e a podko\xC5\xBEn\xC3\xAD tk\xC3\xA1n\xC4\x9B"));
    }

    void applyWritesTheExportForm_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("output");
        const QByteArray people("Hmotnost;V\xC3\xBD\xC5\xA1ka;Pas\n70;1,75;80\n80,5;1.8;0\n");
        QTest::newRow("BMI from columns 1 and 2") << people << QStringList{"apply", "2"}
                                                  << QByteArray("70;1,75;22,8571\n80,5;1,8;24,8457\n");
        QTest::newRow("columns by name and number")
            << people << QStringList{"apply", "3", "-c", "Pas", "-c", "2"}
            << QByteArray("80;1,75;45,7143\n0;1,8;0\n");
        QTest::newRow("one column twice") << people << QStringList{"apply", "3", "-c", "1", "-c", "1"}
                                          << QByteArray("70;70;1\n80,5;80,5;1\n");
        QTest::newRow("header line") << people << QStringList{"apply", "84", "--header"}
                                     << QByteArray("Kilogramy [kg];Tuny [t]\n70;0,07\n80,5;0,0805\n");
        QTest::newRow("full digits") << people << QStringList{"apply", "2", "--digits", "full"}
                                     << QByteArray("70;1,75;22,857142857142858\n80,5;1,8;24,845679012345677\n");
        QTest::newRow("QB index") << QByteArray("a;b\n70;175\n") << QStringList{"apply", "0"}
                                  << QByteArray("70;175;4\n");
        QTest::newRow("body surface") << QByteArray("a;b\n70;175\n") << QStringList{"apply", "6"}
                                      << QByteArray("70;175;18388,8\n");
        QTest::newRow("Fahrenheit") << QByteArray("K\n0\n273,15\n") << QStringList{"apply", "88"}
                                    << QByteArray("0;-459,67\n273,15;32\n");
        QTest::newRow("large values") << QByteArray("m\n1234,567\n") << QStringList{"apply", "56"}
                                      << QByteArray("1234,57;1,23457e+06\n");
        QTest::newRow("centroid in row 0") << QByteArray("x;y\n0;0\n2;0\n0;2\n2;2\n")
                                           << QStringList{"apply", "101"}
                                           << QByteArray("0;0;2,82843\n2;0;0\n0;2;0\n2;2;0\n");
        QTest::newRow("placeholder passes through") << QByteArray("a;b\n1;2\n") << QStringList{"apply", "108"}
                                                    << QByteArray("1;2\n");
        QTest::newRow("header only gives nothing") << QByteArray("a;b\n") << QStringList{"apply", "2"}
                                                   << QByteArray();
        QTest::newRow("short row feeds 0") << QByteArray("a;b\n4;2\n5\n") << QStringList{"apply", "3"}
                                           << QByteArray("4;2;2\n5;0;0\n");
    }

    void applyWritesTheExportForm()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, output);
        arguments.insert(2, file("in.csv", csv));
        const Run r = run(arguments);
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, output);
    }

    void outputFileGetsTheSameBytes()
    {
        const QString in = file("in.csv", "a;b\n70;175\n");
        const QString out = m_dir.filePath("out.csv");
        const Run r = run({"apply", "0", in, "--output", out});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray());
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("70;175;4\n"));
    }

    void faults_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        const QString in = file("faults.csv", "a;b\n1;2\n");
        QTest::newRow("no command") << QStringList{} << 2;
        QTest::newRow("unknown command") << QStringList{"compute"} << 2;
        QTest::newRow("unknown id") << QStringList{"apply", "109", in} << 2;
        QTest::newRow("id not a number") << QStringList{"apply", "BMI", in} << 2;
        QTest::newRow("empty slot") << QStringList{"apply", "100", in} << 2;
        QTest::newRow("too few -c") << QStringList{"apply", "2", in, "-c", "1"} << 2;
        QTest::newRow("column beyond the file") << QStringList{"apply", "2", in, "-c", "1", "-c", "3"} << 2;
        QTest::newRow("column 0") << QStringList{"apply", "2", in, "-c", "0", "-c", "1"} << 2;
        QTest::newRow("unknown header") << QStringList{"apply", "2", in, "-c", "a", "-c", "c"} << 2;
        QTest::newRow("too few columns in the file") << QStringList{"apply", "4", in} << 2;
        QTest::newRow("unknown option") << QStringList{"apply", "2", in, "--fast"} << 2;
        QTest::newRow("bad digits") << QStringList{"apply", "2", in, "--digits", "3"} << 2;
        QTest::newRow("missing file") << QStringList{"apply", "2", m_dir.filePath("none.csv")} << 1;
        QTest::newRow("unwritable output") << QStringList{"apply", "2", in, "--output", m_dir.filePath("no/dir.csv")}
                                           << 1;
    }

    void faults()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        const Run r = run(arguments);
        QCOMPARE(r.exitCode, exitCode);
        QCOMPARE(r.out, QByteArray());
        // One line, in Czech.
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY(r.err.endsWith('\n'));
    }

    void usageFaultLeavesAnOutputFileAlone()
    {
        const QString in = file("in.csv", "a;b\n1;2\n");
        const QString out = file("kept.csv", "earlier work\n");
        QCOMPARE(run({"apply", "2", in, "-c", "9", "-c", "1", "--output", out}).exitCode, 2);
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("earlier work\n"));
    }

    // A project as the program saves it: a source table and its body mass index.
    QString project()
    {
        buildMethodCatalog();
        auto *people = new TTableModel(nullptr);
        people->loadCsv(file("lide.csv", "Hmotnost;V\xC3\xBD\xC5\xA1ka\n70;1,75\n80;2\n"));
        auto *bmi = new TTableModel(people);
        bmi->applyMethod(2, std::vector<int>{0, 1});
        ProjectTree roots;
        roots.push_back(std::make_unique<ProjectNode>());
        roots[0]->table = people;
        roots[0]->ownsTable = true;
        roots[0]->isDataNode = true;
        roots[0]->sourceFileName = QStringLiteral("lide.csv");
        roots[0]->children.push_back(std::make_unique<ProjectNode>());
        roots[0]->children[0]->table = bmi;
        roots[0]->children[0]->ownsTable = true;
        const QString path = m_dir.filePath("projekt.kstx");
        writeProjectFile(path, roots);
        return path;
    }

    void projectShowListsTheTree()
    {
        const Run r = run({"project", "show", project()});
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("0.csv\t0\t109\tData ze souboru \"lide.csv\"\t2\t2\t2\n"
                                   "0/1.csv\t1\t2\tBody mass index\t2\t3\t2\n"));
    }

    void projectExportWritesOneTable()
    {
        const Run r = run({"project", "export", project(), "0/1.csv", "--header"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("Hmotnost (kg);V\xC3\xBD\xC5\xA1ka (m);BMI\n70;1,75;22,8571\n80;2;20\n"));
        const Run source = run({"project", "export", project(), "0.csv", "--header"});
        QCOMPARE(source.out, QByteArray("Hmotnost;V\xC3\xBD\xC5\xA1ka\n70;1,75\n80;2\n"));
    }

    void projectFaults_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        const QString path = project();
        QTest::newRow("no such table") << QStringList{"project", "export", path, "9.csv"} << 2;
        QTest::newRow("no subcommand") << QStringList{"project"} << 2;
        QTest::newRow("missing file") << QStringList{"project", "show", m_dir.filePath("nic.kstx")} << 1;
        QTest::newRow("not a project") << QStringList{"project", "show", file("x.kstx", "a;b\n")} << 1;
    }

    void projectFaults()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        const Run r = run(arguments);
        QCOMPARE(r.exitCode, exitCode);
        QCOMPARE(r.err.count('\n'), 1);
    }

    void helpExplainsTheCommands()
    {
        const Run r = run({"--help"});
        QCOMPARE(r.exitCode, 0);
        for (const char *word : {"methods", "apply", "-c", "--output", "--header", "--digits full", "project show",
                                 "project export"})
            QVERIFY2(r.out.contains(word), word);
    }

    // --verdicts: what the table shows, a verdict column as its text.
    void applyWritesVerdicts_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("output");
        // 85 / 100 = 0.85: men from 0.85 "Vyrovnaná", women above 0.84 "Centrální (riziková)".
        QTest::newRow("WHR") << QByteArray("pas;boky\n85;100\n95;100\n") << QStringList{"apply", "3", "--verdicts"}
                             << QByteArray("85;100;0,85;Vyrovnan\xC3\xA1;Centr\xC3\xA1ln\xC3\xAD (rizikov\xC3\xA1)\n"
                                           "95;100;0,95;Centr\xC3\xA1ln\xC3\xAD (rizikov\xC3\xA1);"
                                           "Centr\xC3\xA1ln\xC3\xAD (rizikov\xC3\xA1)\n");
        QTest::newRow("cranial index on its bounds")
            << QByteArray("a;b\n150;200\n160;200\n") << QStringList{"apply", "23", "--verdicts"}
            << QByteArray("150;200;75;dolichokrann\xC3\xAD\n160;200;80;mesokrann\xC3\xAD\n");
        // 100 * 35 / 50 = 70, over 58: no class, an empty last field.
        QTest::newRow("nasal index over 58") << QByteArray("a;b\n35;50\n") << QStringList{"apply", "28", "--verdicts"}
                                             << QByteArray("35;50;70;\n");
        // D = -100 + 1.16*190 + 1.66*100 + 3.98*130 + 1.54*70 = 911.6: male set;
        // W-N = 102.6 and W-In = 5.3 (under 22.28, N over 89.27).
        QTest::newRow("Giles and Elliot") << QByteArray("a;b;c;d;e;f;g;h\n100;190;140;130;100;130;70;25\n")
                                          << QStringList{"apply", "47", "--verdicts"}
                                          << QByteArray("100;190;140;130;100;130;70;25;911,6;Mu\xC5\xBEsk\xC3\xA1 lebka;"
                                                        "102,6;5,3;afroamerick\xC3\xBD\n");
        QTest::newRow("Giles and Elliot without verdicts")
            << QByteArray("a;b;c;d;e;f;g;h\n100;190;140;130;100;130;70;25\n") << QStringList{"apply", "47"}
            << QByteArray("100;190;140;130;100;130;70;25;911,6;0;102,6;5,3\n");
        // All scores 0: "Muži" -4.59787, "Ženy" -2.13217, so a man.
        QTest::newRow("morphoscopic") << QByteArray("a;b;c;d;e;f;g;h;i\n0;0;0;0;0;0;0;0;0\n")
                                      << QStringList{"apply", "50", "--verdicts"}
                                      << QByteArray("0;0;0;0;0;0;0;0;0;-4,59787;-2,13217;Mu\xC5\xBE\n");
        QTest::newRow("method without verdicts") << QByteArray("a;b\n70;1,75\n")
                                                 << QStringList{"apply", "2", "--verdicts"}
                                                 << QByteArray("70;1,75;22,8571\n");
        QTest::newRow("with the header line")
            << QByteArray("a;b\n150;200\n") << QStringList{"apply", "23", "--verdicts", "--header"}
            << QByteArray("Nejv\xC4\x9Bt\xC5\xA1\xC3\xAD \xC5\xA1\xC3\xAD\xC5\x99ka lebky;Nejv\xC4\x9Bt\xC5\xA1\xC3\xAD "
                          "d\xC3\xA9lka lebky;Index cranialis;Vyhodnocen\xC3\xAD\n150;200;75;dolichokrann\xC3\xAD\n");
        QTest::newRow("full digits") << QByteArray("a;b\n3,3;4\n") << QStringList{"apply", "23", "--verdicts", "--digits", "full"}
                                     << QByteArray("3,3;4;82,5;brachykrann\xC3\xAD\n");
    }

    void applyWritesVerdicts()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, output);
        arguments.insert(2, file("verdicts.csv", csv));
        const Run r = run(arguments);
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, output);
    }

    void helpExplainsVerdicts()
    {
        const Run r = run({"--help"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains("--verdicts"));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"

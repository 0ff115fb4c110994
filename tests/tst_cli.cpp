#include "CliRun.h"
#include "MethodCatalog.h"
#include "ProjectArchive.h"
#include "TTableModel.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <thread>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The identity of the file at path (following links); {0, 0} when there is none.
QPair<quint64, quint64> fileIdentity(const QByteArray &path)
{
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return {0, 0};
    return {quint64(st.st_dev), quint64(st.st_ino)};
}

QByteArray contentOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A FIFO made afresh at path.
void makeFifo(const QString &path)
{
    QFile::remove(path);
    ::mkfifo(QFile::encodeName(path).constData(), 0600);
}

// Feeds a FIFO from a thread: content, or content over and over without end,
// until the reader goes away. Gives up waiting for a reader when stopped.
class FifoWriter {
public:
    FifoWriter(const QString &path, const QByteArray &content, bool endless)
        : m_thread([this, name = QFile::encodeName(path), content, endless] { run(name, content, endless); })
    {
    }
    ~FifoWriter() { stop(); }
    FifoWriter(const FifoWriter &) = delete;
    FifoWriter &operator=(const FifoWriter &) = delete;

    // Waits for the thread; the bytes the reader took, at most.
    qint64 stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        return m_written;
    }
    qint64 capacity() const { return m_capacity; }

private:
    void run(const QByteArray &name, const QByteArray &content, bool endless)
    {
        int fd = -1;
        while (fd < 0 && !m_stop) {
            fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0 && errno != ENXIO) // ENXIO: no reader yet
                return;
            if (fd < 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (fd < 0)
            return;
        ::fcntl(fd, F_SETFL, 0);
        m_capacity = ::fcntl(fd, F_GETPIPE_SZ);
        do {
            for (qsizetype done = 0; done < content.size();) {
                const ssize_t n = ::write(fd, content.constData() + done, size_t(content.size() - done));
                if (n < 0) { // EPIPE: the reader has gone
                    ::close(fd);
                    return;
                }
                done += n;
                m_written += n;
            }
        } while (endless);
        ::close(fd);
    }

    std::atomic<bool> m_stop{false};
    std::atomic<qint64> m_written{0};
    std::atomic<qint64> m_capacity{0};
    std::thread m_thread;
};

// A table of size bytes for method 2: the header and rows "1;2".
QByteArray tableOfSize(qint64 size)
{
    return QByteArray("a;b\n") + QByteArray("1;2\n").repeated(qsizetype(size / 4 - 1));
}

} // namespace

// kostimer-cli as a script uses it: the bytes it writes and its exit codes.
class TestCli : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    using Run = CliRun;

    static Run run(const QStringList &arguments) { return runCli(arguments); }

    QString file(const QString &name, const QByteArray &content) { return writeFile(m_dir, name, content); }

    // A project as the program saves it: a source table and its body mass index.
    QString project(const QString &sourceFileName = QStringLiteral("lide.csv"),
                    const QString &name = QStringLiteral("projekt.kstx"),
                    const QByteArray &csv = "Hmotnost;V\xC3\xBD\xC5\xA1ka\n70;1,75\n80;2\n")
    {
        buildMethodCatalog();
        auto *people = new TTableModel(nullptr);
        people->loadCsv(file("lide.csv", csv));
        auto *bmi = new TTableModel(people);
        bmi->applyMethod(2, std::vector<int>{0, 1});
        ProjectTree roots;
        roots.push_back(std::make_unique<ProjectNode>());
        roots[0]->table = people;
        roots[0]->ownsTable = true;
        roots[0]->isDataNode = true;
        roots[0]->sourceFileName = sourceFileName;
        roots[0]->children.push_back(std::make_unique<ProjectNode>());
        roots[0]->children[0]->table = bmi;
        roots[0]->children[0]->ownsTable = true;
        const QString path = m_dir.filePath(name);
        writeProjectFile(path, roots);
        return path;
    }

private slots:
    void initTestCase()
    {
        // A FIFO whose reader has gone gives the writer EPIPE, not a signal.
        std::signal(SIGPIPE, SIG_IGN);
    }

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

    // A field of the imported file that was no number is 0 in the project too:
    // export says so, and --strict refuses.
    void projectExportReportsFieldsThatAreNotNumbers()
    {
        const QString path = project("lide.csv", "chyby.kstx", "Hmotnost;V\xC3\xBD\xC5\xA1ka\n70;?\n80;2\n");
        const Run r = run({"project", "export", path, "0.csv"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("70;0\n80;2\n"));
        QVERIFY2(r.err.contains(": 1\n  \xC5\x99\xC3\xA1" "dek 1, sloupec \xE2\x80\x9EV\xC3\xBD\xC5\xA1ka\xE2\x80\x9C: "
                                "\xE2\x80\x9E?\xE2\x80\x9C\n"),
                 r.err);
        const Run strict = run({"project", "export", path, "0.csv", "--strict"});
        QCOMPARE(strict.exitCode, 1);
        QCOMPARE(strict.out, QByteArray());
        // The result table holds no field of the file: nothing to report.
        const Run result = run({"project", "export", path, "0/1.csv", "--strict"});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.err, QByteArray());
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

    // --output /dev/stdout (or the descriptor's own name) while standard
    // output is a file opened with >>: appended to, the file itself kept.
    void outputThroughStandardOutputAppends_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("output");
        const QString in = file("append.csv", "a;b\n70;175\n");
        QTest::newRow("apply") << QStringList{"apply", "0", in, "--output", "/dev/stdout"}
                               << QByteArray("70;175;4\n");
        QTest::newRow("apply to /dev/fd/1") << QStringList{"apply", "0", in, "--output", "/dev/fd/1"}
                                            << QByteArray("70;175;4\n");
        QTest::newRow("project export") << QStringList{"project", "export", project(), "0.csv", "--output",
                                                       "/dev/stdout"}
                                        << QByteArray("70;1,75\n80;2\n");
    }

    void outputThroughStandardOutputAppends()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, output);
        const QString log = file("log.txt", "earlier\n");
        const auto before = fileIdentity(QFile::encodeName(log));
        CliSetup setup;
        setup.standardOutputFile = log;
        const Run r = runCli(arguments, setup);
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(contentOf(log), "earlier\n" + output);
        QCOMPARE(fileIdentity(QFile::encodeName(log)), before);
    }

    // A FIFO named as the output is written into, and stays a FIFO.
    void fifoOutputIsWrittenInPlace_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("output");
        const QString in = file("fifo-in.csv", "a;b\n70;175\n");
        const QString fifo = m_dir.filePath("out.fifo");
        QTest::newRow("apply") << QStringList{"apply", "0", in, "--output", fifo} << QByteArray("70;175;4\n");
        QTest::newRow("project export") << QStringList{"project", "export", project(), "0/1.csv", "--output", fifo}
                                        << QByteArray("70;1,75;22,8571\n80;2;20\n");
        // The same bytes as the picture written to a file.
        const QString data = file("fifo-chart.csv", "4;4;4\n");
        const QString png = m_dir.filePath("fifo-chart.png");
        QCOMPARE(run({"chart", data, png}).exitCode, 0);
        QTest::newRow("chart") << QStringList{"chart", data, fifo} << contentOf(png);
    }

    void fifoOutputIsWrittenInPlace()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, output);
        const QString fifo = m_dir.filePath("out.fifo");
        makeFifo(fifo);
        // The reader is there first, with room for the whole output, so the tool never waits.
        const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        QVERIFY(reader >= 0);
        ::fcntl(reader, F_SETPIPE_SZ, 1 << 20);
        const Run r = run(arguments);
        QByteArray received;
        char buffer[65536];
        for (ssize_t n; (n = ::read(reader, buffer, sizeof buffer)) > 0;)
            received.append(buffer, n);
        ::close(reader);
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(received.size(), output.size());
        QVERIFY(received == output);
        struct stat st {};
        QCOMPARE(::lstat(QFile::encodeName(fifo).constData(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode));
    }

    // An output that is the input itself is a usage fault, and the input
    // stays as it was. IN, LINK (a symbolic link to it), HARD (a hard link)
    // and PROJECT stand for the files; with toStandardOutput, standard output
    // is appended to the input.
    void outputOverInputIsRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("toStandardOutput");
        QTest::newRow("apply onto its input") << QStringList{"apply", "0", "IN", "--output", "IN"} << false;
        QTest::newRow("apply through a symbolic link") << QStringList{"apply", "0", "IN", "--output", "LINK"} << false;
        QTest::newRow("apply through a hard link") << QStringList{"apply", "0", "IN", "--output", "HARD"} << false;
        QTest::newRow("apply to /dev/stdout sent to its input")
            << QStringList{"apply", "0", "IN", "--output", "/dev/stdout"} << true;
        QTest::newRow("chart onto its data") << QStringList{"chart", "IN", "IN"} << false;
        QTest::newRow("chart through a hard link") << QStringList{"chart", "IN", "HARD"} << false;
        QTest::newRow("project export onto the project")
            << QStringList{"project", "export", "PROJECT", "0.csv", "--output", "PROJECT"} << false;
        QTest::newRow("project export through a symbolic link")
            << QStringList{"project", "export", "PROJECT", "0.csv", "--output", "LINK"} << false;
    }

    void outputOverInputIsRefused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, toStandardOutput);
        const bool ofProject = arguments.contains("PROJECT");
        const QString input = ofProject ? project() : file("own.csv", "a;b\n70;175\n");
        const QByteArray before = contentOf(input);
        const QString link = m_dir.filePath("own-link");
        const QString hard = m_dir.filePath("own-hard");
        QFile::remove(link);
        QFile::remove(hard);
        QVERIFY(QFile::link(input, link));
        QCOMPARE(::link(QFile::encodeName(input).constData(), QFile::encodeName(hard).constData()), 0);
        arguments.replaceInStrings(QRegularExpression("^(IN|PROJECT)$"), input);
        arguments.replaceInStrings(QRegularExpression("^LINK$"), link);
        arguments.replaceInStrings(QRegularExpression("^HARD$"), hard);
        CliSetup setup;
        if (toStandardOutput)
            setup.standardOutputFile = input;
        const Run r = runCli(arguments, setup);
        QCOMPARE(r.exitCode, 2);
        QCOMPARE(r.err.count('\n'), 1);
        QCOMPARE(r.out, QByteArray());
        QVERIFY(contentOf(input) == before);
    }

    // Standard output that takes nothing (/dev/full) fails every command.
    void failedStandardOutput_data()
    {
        QTest::addColumn<QStringList>("arguments");
        const QString in = file("full.csv", "a;b\n70;175\n");
        QTest::newRow("methods") << QStringList{"methods"};
        QTest::newRow("help") << QStringList{"--help"};
        QTest::newRow("apply") << QStringList{"apply", "0", in};
        QTest::newRow("apply to /dev/stdout") << QStringList{"apply", "0", in, "--output", "/dev/stdout"};
        QTest::newRow("project show") << QStringList{"project", "show", project()};
        QTest::newRow("project export") << QStringList{"project", "export", project(), "0.csv"};
        QTest::newRow("chart to /dev/stdout") << QStringList{"chart", in, "/dev/stdout"};
    }

    void failedStandardOutput()
    {
        QFETCH(QStringList, arguments);
        CliSetup setup;
        setup.standardOutputFile = QStringLiteral("/dev/full");
        const Run r = runCli(arguments, setup);
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.err.count('\n'), 1);
    }

    // A write that fails half way (the file size limit) leaves the old file
    // and nothing beside it.
    void failedWriteKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString in = writeFile(dir, "many.csv", tableOfSize(40000));
        const QString out = writeFile(dir, "kept.csv", "earlier work\n");
        CliSetup setup;
        setup.childSetup = [] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{4096, 4096};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        };
        const Run r = runCli({"apply", "2", in, "--output", out}, setup);
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.err.count('\n'), 1);
        QCOMPARE(contentOf(out), QByteArray("earlier work\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"kept.csv", "many.csv"}));
    }

    // A file replaced whole keeps its permissions, and a link to it stays a link.
    void replacedFileKeepsModeAndLink()
    {
        QTemporaryDir dir;
        const QString in = writeFile(dir, "in.csv", "a;b\n70;175\n");
        const QString out = writeFile(dir, "out.csv", "earlier work\n");
        const QString link = dir.filePath("link.csv");
        QVERIFY(QFile::link(out, link));
        QCOMPARE(::chmod(QFile::encodeName(out).constData(), 0640), 0);
        const Run r = run({"apply", "0", in, "--output", link});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(contentOf(out), QByteArray("70;175;4\n"));
        QVERIFY(QFileInfo(link).isSymLink());
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(out).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 07777), 0640);
    }

    // Inputs are read up to a bound (4096 bytes here) and no further: a
    // regular file by its size, a FIFO or a device until its end. IN stands
    // for the input; size < 0 is a FIFO without end.
    void inputIsBounded_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<int>("exitCode");
        const QStringList apply{"apply", "2", "IN"};
        QTest::newRow("file at the bound") << apply << "file" << qint64(4096) << 0;
        QTest::newRow("file a row past the bound") << apply << "file" << qint64(4100) << 1;
        QTest::newRow("FIFO at the bound") << apply << "fifo" << qint64(4096) << 0;
        QTest::newRow("FIFO a row past the bound") << apply << "fifo" << qint64(4100) << 1;
        QTest::newRow("FIFO without end") << apply << "fifo" << qint64(-1) << 1;
        QTest::newRow("/dev/zero") << apply << "device" << qint64(-1) << 1;
        QTest::newRow("chart of a FIFO without end")
            << QStringList{"chart", "IN", m_dir.filePath("endless.png")} << "fifo" << qint64(-1) << 1;
        QTest::newRow("project show of a FIFO without end")
            << QStringList{"project", "show", "IN"} << "fifo" << qint64(-1) << 1;
        QTest::newRow("project export of a FIFO without end")
            << QStringList{"project", "export", "IN", "0.csv"} << "fifo" << qint64(-1) << 1;
    }

    void inputIsBounded()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, kind);
        QFETCH(qint64, size);
        QFETCH(int, exitCode);
        const qint64 limit = 4096;
        QString input = QStringLiteral("/dev/zero");
        std::unique_ptr<FifoWriter> writer;
        if (kind == "file") {
            input = file("bounded.csv", tableOfSize(size));
        } else if (kind == "fifo") {
            input = m_dir.filePath("in.fifo");
            makeFifo(input);
            writer = std::make_unique<FifoWriter>(input, size < 0 ? QByteArray("1;2\n").repeated(1024)
                                                                  : tableOfSize(size),
                                                  size < 0);
        }
        arguments.replaceInStrings(QRegularExpression("^IN$"), input);
        CliSetup setup;
        setup.environment = {{"KOSTIMER_CLI_MAX_INPUT_BYTES", QString::number(limit)}};
        const Run r = runCli(arguments, setup);
        if (writer) {
            // Never read much past the bound: what the pipe holds and one write more at most.
            const qint64 written = writer->stop();
            QVERIFY2(written <= limit + 1 + writer->capacity() + 4096, QByteArray::number(written));
        }
        QCOMPARE(r.exitCode, exitCode);
        if (exitCode == 0) {
            QCOMPARE(r.err, QByteArray());
            QCOMPARE(r.out, QByteArray("1;2;0,25\n").repeated(qsizetype(size / 4 - 1)));
        } else {
            QCOMPARE(r.err.count('\n'), 1);
            QVERIFY2(r.err.contains("p\xC5\x99\xC3\xADli\xC5\xA1 velk\xC3\xBD"), r.err); // "příliš velký"
            QCOMPARE(r.out, QByteArray());
            QVERIFY(!QFile::exists(m_dir.filePath("endless.png")));
        }
    }

    // A file cut short and written again while it is read gives its rows or
    // a refusal, never a crash: a mapped file that shrinks under the reader
    // kills it. The file is cut to half and made whole again, staying a
    // while in each state so that a reader of the whole file meets a half.
    void changingInputIsNeverACrash()
    {
        const QByteArray content = tableOfSize(1 << 21);
        const QString path = file("changing.csv", content);
        const qsizetype half = content.size() / 2;
        std::atomic<bool> stop{false};
        std::thread changer([&] {
            const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
            while (fd >= 0 && !stop) {
                if (::ftruncate(fd, half) != 0)
                    break;
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                if (::pwrite(fd, content.constData() + half, size_t(content.size() - half), half) < 0)
                    break;
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            if (fd >= 0)
                ::close(fd);
        });
        struct Join {
            std::atomic<bool> &stop;
            std::thread &thread;
            ~Join()
            {
                stop = true;
                thread.join();
            }
        } join{stop, changer};
        const QByteArray changed("se b\xC4\x9bhem \xC4\x8dten\xC3\xAD zm\xC4\x9bnil.\n"); // "se během čtení změnil."
        for (int i = 0; i < 8; ++i) {
            const Run r = run({"apply", "2", path});
            QVERIFY2(r.exitCode == 0 || r.exitCode == 1, r.err);
            // Rows as the file held them at the moments it was read: with no
            // lock between the tool and the writer, bytes a write was still
            // filling in may come as they stood (a cut row, zeros), but every
            // row is computed and written whole.
            if (r.exitCode == 0) {
                QList<QByteArray> lines = r.out.split('\n');
                QVERIFY(lines.size() >= 2 && lines.takeLast().isEmpty());
                QVERIFY(lines.size() <= content.size() / 4);
                QVERIFY(std::all_of(lines.begin(), lines.end(), [](const QByteArray &l) { return l.count(';') == 2; }));
                QVERIFY(lines.count("1;2;0,25") >= qsizetype(half / 4 - 2));
            } else
                QVERIFY2(r.err.count('\n') == 1 && r.err.endsWith(changed), r.err);
        }
    }

    // project show keeps one table on one line, whatever its texts hold.
    void projectShowEscapesTexts_data()
    {
        QTest::addColumn<QString>("sourceFileName");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("tab") << "a\tb.csv" << QByteArray("a\\tb.csv");
        QTest::newRow("line feed") << "a\nb.csv" << QByteArray("a\\nb.csv");
        QTest::newRow("carriage return") << "a\rb.csv" << QByteArray("a\\rb.csv");
        QTest::newRow("backslash") << "a\\b.csv" << QByteArray("a\\\\b.csv");
        QTest::newRow("backslash before a letter n") << "a\\n\n.csv" << QByteArray("a\\\\n\\n.csv");
    }

    void projectShowEscapesTexts()
    {
        QFETCH(QString, sourceFileName);
        QFETCH(QByteArray, shown);
        const Run r = run({"project", "show", project(sourceFileName, "escaped.kstx")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, "0.csv\t0\t109\tData ze souboru \"" + shown + "\"\t2\t2\t2\n"
                            "0/1.csv\t1\t2\tBody mass index\t2\t3\t2\n");
    }

    // File names that are no UTF-8 (byte E9, "é" in Latin-1) are opened and
    // written under their own bytes. A shell puts the bytes in the arguments:
    // "\0351" is byte E9.
    void namesThatAreNoUtf8_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("written"); // the file made, or empty for standard output
        QTest::addColumn<QByteArray>("startsWith");
        QTest::newRow("apply") << QStringList{"apply", "0", "m\\0351.csv", "--output", "v\\0351.csv"}
                               << QByteArray("v\xE9.csv") << QByteArray("70;175;4\n");
        QTest::newRow("chart") << QStringList{"chart", "m\\0351.csv", "g\\0351.png"} << QByteArray("g\xE9.png")
                               << QByteArray("\x89PNG\r\n\x1A\n");
        QTest::newRow("project export") << QStringList{"project", "export", "p\\0351.kstx", "0.csv", "--output",
                                                       "e\\0351.csv"}
                                        << QByteArray("e\xE9.csv") << QByteArray("70;1,75\n80;2\n");
        QTest::newRow("project show") << QStringList{"project", "show", "p\\0351.kstx"} << QByteArray()
                                      << QByteArray("0.csv\t0\t109\t");
    }

    void namesThatAreNoUtf8()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, written);
        QFETCH(QByteArray, startsWith);
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path()) + '/';
        // QTemporaryDir cannot name these files to remove them.
        struct RemoveFiles {
            QByteArray folder;
            ~RemoveFiles()
            {
                if (DIR *entries = ::opendir(folder.constData())) {
                    while (const dirent *entry = ::readdir(entries))
                        ::unlink(folder + entry->d_name);
                    ::closedir(entries);
                }
            }
        } removeFiles{folder};
        const int fd = ::open(folder + "m\xE9.csv", O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "a;b\n70;175\n", 11), ssize_t(11));
        ::close(fd);
        QCOMPARE(::rename(QFile::encodeName(project()).constData(), folder + "p\xE9.kstx"), 0);

        CliSetup setup;
        setup.program = QStringLiteral("/bin/sh");
        arguments = QStringList{"-c",
                                "cd \"$1\" || exit 97; shift; "
                                "for a do shift; set -- \"$@\" \"$(printf '%b' \"$a\")\"; done; exec \"$@\"",
                                "sh", dir.path(), QStringLiteral(KOSTIMER_CLI)}
                    + arguments;
        const Run r = runCli(arguments, setup);
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.exitCode, 0);
        if (written.isEmpty()) {
            QVERIFY(r.out.startsWith(startsWith));
            return;
        }
        QFile made;
        const int madeFd = ::open(folder + written, O_RDONLY | O_CLOEXEC);
        QVERIFY(madeFd >= 0);
        QVERIFY(made.open(madeFd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
        QVERIFY(made.readAll().startsWith(startsWith));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"

// kostimer-cli as a script uses it: the bytes it writes and its exit codes,
// outputs that destroy nothing, and inputs that are bounded.

#include "CliRun.h"
#include "MethodCatalog.h"
#include "ProjectArchive.h"
#include "TTableModel.h"

#include <QRegularExpression>
#include <QScopeGuard>
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
QPair<quint64, quint64> fileIdentity(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {0, 0};
    return {quint64(st.st_dev), quint64(st.st_ino)};
}

// A FIFO made afresh at path.
void makeFifo(const QString &path)
{
    QFile::remove(path);
    ::mkfifo(QFile::encodeName(path).constData(), 0600);
}

// Feeds a FIFO from a thread, content once or over and over, until the reader
// goes away; gives up waiting for a reader when stopped. stop() gives the
// bytes the reader took, at most.
struct FifoWriter {
    std::atomic<bool> stopped{false};
    std::atomic<qint64> written{0};
    std::atomic<qint64> capacity{0};
    std::thread thread;

    FifoWriter(const QByteArray &name, const QByteArray &content, bool endless)
        : thread([this, name, content, endless] {
              int fd = -1;
              while (fd < 0 && !stopped) {
                  fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                  if (fd < 0 && errno != ENXIO) // ENXIO: no reader yet
                      return;
                  std::this_thread::sleep_for(std::chrono::milliseconds(fd < 0));
              }
              if (fd < 0)
                  return;
              ::fcntl(fd, F_SETFL, 0);
              capacity = ::fcntl(fd, F_GETPIPE_SZ);
              bool reading = true; // until EPIPE: the reader has gone
              do {
                  for (qsizetype done = 0; reading && done < content.size();) {
                      const qsizetype n = ::write(fd, content.constData() + done, size_t(content.size() - done));
                      reading = n >= 0;
                      done += std::max<qsizetype>(n, 0);
                      written += std::max<qsizetype>(n, 0);
                  }
              } while (reading && endless);
              ::close(fd);
          })
    {
    }
    ~FifoWriter() { stop(); }
    qint64 stop()
    {
        stopped = true;
        if (thread.joinable())
            thread.join();
        return written;
    }
};

// A table of size bytes for method 2: the header and rows "1;2".
QByteArray tableOfSize(qint64 size)
{
    return QByteArray("a;b\n") + QByteArray("1;2\n").repeated(qsizetype(size / 4 - 1));
}

const QByteArray people("Hmotnost;V\xC3\xBD\xC5\xA1ka\n70;1,75\n80;2\n");

} // namespace

class TestCli : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString file(const QString &name, const QByteArray &content) { return writeFile(m_dir, name, content); }

    // A project as the program saves it: a source table and its body mass index.
    QString project(const QString &sourceFileName = QStringLiteral("lide.csv"),
                    const QString &name = QStringLiteral("projekt.kstx"), const QByteArray &csv = people)
    {
        buildMethodCatalog();
        auto *source = new TTableModel(nullptr);
        source->loadCsv(file("lide.csv", csv));
        auto *bmi = new TTableModel(source);
        bmi->applyMethod(2, std::vector<int>{0, 1});
        ProjectTree roots;
        roots.push_back(std::make_unique<ProjectNode>());
        roots[0]->table = source;
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

    // The sample project with one bit of the deflated values of "0/2.csv" flipped.
    QString damagedSample()
    {
        QByteArray bytes = contentOf(QStringLiteral(KOSTIMER_EXAMPLES "/ukazkovy-projekt.kstx"));
        const qsizetype at = middleOfEntry(bytes, "0/2.csv");
        if (at < 0)
            return {};
        bytes[at] = char(bytes[at] ^ 1);
        return file(QStringLiteral("poskozeny.kstx"), bytes);
    }

private slots:
    void initTestCase()
    {
        // A FIFO whose reader has gone gives the writer EPIPE, not a signal.
        std::signal(SIGPIPE, SIG_IGN);
    }

    // methods: every registered method on a line; --help: every command.
    void listings()
    {
        const CliRun r = runCli({"methods"});
        QCOMPARE(r.exitCode, 0);
        const QList<QByteArray> lines = r.out.split('\n');
        QCOMPARE(lines.size(), 110); // 109 lines and the empty rest after the last LF
        QCOMPARE(lines.at(64), QByteArray("64\t0\tRadi\xC3\xA1ny na vte\xC5\x99iny\tRadi\xC3\xA1ny [Rad]\tVte\xC5\x99iny [\"]"));
        QVERIFY(lines.at(8).endsWith("\tHmotnost k\xC5\xAF\xC5\xBE" "e a podko\xC5\xBEn\xC3\xAD tk\xC3\xA1n\xC4\x9B"));
        const CliRun help = runCli({"--help"});
        QCOMPARE(help.exitCode, 0);
        for (const char *word : {"methods", "apply", "-c", "--output", "--header", "--digits full", "--verdicts",
                                 "project show", "project export", "project import", "project apply", "--sep",
                                 "--keep", "kostimer-cli chart",
                                 "kostimer-cli somatotypes SOUBOR.csv", "kostimer-cli stats"})
            QVERIFY2(help.out.contains(word), word);
    }

    // The fault: "somatotypes --help" answered that --help is an unknown
    // option. Each command's part of the help: its usage and its section,
    // not another command's.
    void commandHelp_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("other");
        QTest::newRow("methods") << QStringList{"methods", "--help"} << QByteArray("\nmethods\n")
                                 << QByteArray("\napply ");
        QTest::newRow("apply -h") << QStringList{"apply", "2", "x.csv", "-h"} << QByteArray("\napply ")
                                  << QByteArray("\nstats ");
        QTest::newRow("project") << QStringList{"project", "--help"} << QByteArray("\nproject apply ")
                                 << QByteArray("\nchart ");
        QTest::newRow("somatotypes") << QStringList{"somatotypes", "--help"} << QByteArray("\nsomatotypes ")
                                     << QByteArray("\nproject show ");
    }

    void commandHelp()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, other);
        const CliRun r = runCli(arguments);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.err, QByteArray());
        QVERIFY2(r.out.startsWith("Pou\xC5\xBEit\xC3\xAD:\n  kostimer-cli " + arguments.first().toUtf8()), r.out);
        QVERIFY2(r.out.contains(section), r.out);
        QVERIFY2(!r.out.contains(other), r.out);
    }

    // What apply writes, on standard output or (OUT) into a file, and what
    // it tells on standard error of the file it read (`error`, among the
    // rest; none when empty). --keep: columns of the file before the
    // method's, in the order given; texts as they are (quoted when they hold
    // ";" or a quote), missing values as empty fields, the names in the
    // header line quoted alike.
    void apply_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("error");
        const auto row = [](const char *tag, const QByteArray &csv, const QStringList &arguments,
                            const QByteArray &output, int exitCode = 0, const QByteArray &error = {}) {
            QTest::newRow(tag) << csv << arguments << output << exitCode << error;
        };
        const QByteArray waist("Hmotnost;V\xC3\xBD\xC5\xA1ka;Pas\n70;1,75;80\n80,5;1.8;0\n");
        // BMI 70 / 1.75² = 22.8571, 80.5 / 1.8² = 24.8457.
        row("BMI from columns 1 and 2", waist, {"apply", "2"}, "70;1,75;22,8571\n80,5;1,8;24,8457\n");
        row("columns by name and number", waist, {"apply", "3", "-c", "Pas", "-c", "2"},
            "80;1,75;45,7143\n0;1,8;0\n");
        row("one column twice", waist, {"apply", "3", "-c", "1", "-c", "1"}, "70;70;1\n80,5;80,5;1\n");
        row("header line", waist, {"apply", "84", "--header"}, "Kilogramy [kg];Tuny [t]\n70;0,07\n80,5;0,0805\n");
        row("full digits", waist, {"apply", "2", "--digits", "full"},
            "70;1,75;22,857142857142858\n80,5;1,8;24,845679012345677\n");
        row("into a file", "a;b\n70;175\n", {"apply", "0", "--output", "OUT"}, "70;175;4\n");
        // An added method past the source type's slot: Durnin and Womersley for a
        // woman of 40, S = 40: D = 1.1333 − 0.0612 log10 40 = 1.03525, 495 / D − 450 = 28.1436.
        row("added method", "a;b;c;d;e\n10;10;10;10;40\n", {"apply", "111"}, "10;10;10;10;40;1,03525;28,1436\n");
        row("placeholder passes through", "a;b\n1;2\n", {"apply", "108"}, "1;2\n");
        // --verdicts: what the table shows, a verdict column as its text.
        // 100 · 35 / 50 = 70, over 58: no class, an empty last field.
        row("nasal index over 58", "a;b\n35;50\n", {"apply", "28", "--verdicts"}, "35;50;70;\n");
        // D = −100 + 1.16 · 190 + 1.66 · 100 + 3.98 · 130 + 1.54 · 70 = 911.6: male set;
        // W-N = 102.6 and W-In = 5.3 (under 22.28, N over 89.27).
        const QByteArray skull("a;b;c;d;e;f;g;h\n100;190;140;130;100;130;70;25\n");
        row("Giles and Elliot", skull, {"apply", "47", "--verdicts"},
            "100;190;140;130;100;130;70;25;911,6;Mu\xC5\xBEsk\xC3\xA1 lebka;102,6;5,3;afroamerick\xC3\xBD\n");
        row("Giles and Elliot without verdicts", skull, {"apply", "47"},
            "100;190;140;130;100;130;70;25;911,6;0;102,6;5,3\n");
        row("method without verdicts", "a;b\n70;1,75\n", {"apply", "2", "--verdicts"}, "70;1,75;22,8571\n");
        row("verdicts with the header line", "a;b\n150;200\n", {"apply", "23", "--verdicts", "--header"},
            "Nejv\xC4\x9Bt\xC5\xA1\xC3\xAD \xC5\xA1\xC3\xAD\xC5\x99ka lebky;Nejv\xC4\x9Bt\xC5\xA1\xC3\xAD d\xC3\xA9lka "
            "lebky;Index cranialis;Vyhodnocen\xC3\xAD\n150;200;75;dolichokrann\xC3\xAD\n");
        row("header only gives nothing", "a;b\n", {"apply", "2"}, {}, 0,
            "jen \xC5\x99\xC3\xA1" "dek z\xC3\xA1hlav\xC3\xAD");
        // A column of texts gives the method nothing to compute.
        row("text column as an input", "a;b\nx;2\ny;3\n", {"apply", "3"}, ";2;\n;3;\n", 0,
            "\xE2\x80\x9E" "a\xE2\x80\x9C obsahuje text");
        row("text column as an input, --strict", "a;b\nx;2\ny;3\n", {"apply", "3", "--strict"}, {}, 1, "--strict");
        // "," between fields: texts hold ";" and quotes, NA a missing weight.
        const QByteArray people("name,sex,weight,height\n\"Smith; John\",M,70,1.75\n\"O\"\"Brien\",F,NA,1.6\n");
        // BMI 70 / 1.75² = 22.8571.
        row("--keep, texts in the order given", people,
            {"apply", "2", "-c", "weight", "-c", "height", "--keep", "sex", "--keep", "name", "--header"},
            "sex;name;Hmotnost (kg);V\xC3\xBD\xC5\xA1ka (m);BMI\n"
            "M;\"Smith; John\";70;1,75;22,8571\nF;\"O\"\"Brien\";;1,6;\n");
        row("--keep, a number column by its number", people, {"apply", "2", "-c", "3", "-c", "4", "--keep", "4"},
            "1,75;70;1,75;22,8571\n1,6;;1,6;\n");
        row("--keep, a name that holds \";\"", "\"kraj;obec\",weight,height\nBrno,70,1.75\n",
            {"apply", "2", "-c", "2", "-c", "3", "--keep", "1", "--header"},
            "\"kraj;obec\";Hmotnost (kg);V\xC3\xBD\xC5\xA1ka (m);BMI\nBrno;70;1,75;22,8571\n");
        // 85 / 100 = 0.85: men from 0.85 "Vyrovnaná", women above 0.84 "Centrální (riziková)".
        row("--keep with verdicts", "pas;boky;pohlav\xC3\xAD\n85;100;mu\xC5\xBE\n",
            {"apply", "3", "--keep", "3", "--verdicts"},
            "mu\xC5\xBE;85;100;0,85;Vyrovnan\xC3\xA1;Centr\xC3\xA1ln\xC3\xAD (rizikov\xC3\xA1)\n");
    }

    void apply()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, output);
        QFETCH(QByteArray, error);
        arguments.insert(2, file("in.csv", csv));
        const QString out = m_dir.filePath("out.csv");
        QFile::remove(out);
        const bool toFile = arguments.contains("OUT");
        arguments.replaceInStrings(QRegularExpression("^OUT$"), out);
        const CliRun r = runCli(arguments);
        QTEST(r.exitCode, "exitCode");
        QVERIFY2(error.isEmpty() ? r.err.isEmpty() : r.err.contains(error), r.err);
        QCOMPARE(toFile ? contentOf(out) : r.out, output);
        if (toFile)
            QCOMPARE(r.out, QByteArray());
    }

    // A fault is one line in Czech, nothing on standard output, and the
    // output file (KEPT) as it was. An output that is the input itself is a
    // usage fault too, and the input stays as it was: IN, LINK (a symbolic
    // link to it), HARD (a hard link) and PROJECT stand for the files, and
    // with ">IN" standard output is appended to the input.
    void faults_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        const auto fault = [](const char *tag, const QStringList &arguments, int exitCode = 2) {
            QTest::newRow(tag) << arguments << exitCode;
        };
        fault("apply onto its input", {"apply", "0", "IN", "--output", "IN"});
        fault("apply through a symbolic link", {"apply", "0", "IN", "--output", "LINK"});
        fault("apply through a hard link", {"apply", "0", "IN", "--output", "HARD"});
        fault("apply to /dev/stdout sent to its input", {"apply", "0", "IN", "--output", "/dev/stdout", ">IN"});
        // Each other command hands its output to the same check, once: without
        // it the output would replace the file it was computed from.
        fault("chart onto its data", {"chart", "IN", "IN"});
        fault("somatotypes through a symbolic link", {"somatotypes", "IN", "--output", "LINK"});
        fault("stats through a hard link", {"stats", "IN", "--output", "HARD"});
        fault("project export onto the project", {"project", "export", "PROJECT", "0.csv", "--output", "PROJECT"});
        const QString in = file("faults.csv", "a;b\n1;2\n");
        fault("no command", {});
        fault("unknown command", {"compute"});
        fault("unknown id", {"apply", "109", in});
        fault("id past the catalog", {"apply", "113", in});
        fault("id not a number", {"apply", "BMI", in});
        fault("empty slot", {"apply", "100", in});
        fault("too few -c", {"apply", "2", in, "-c", "1"});
        fault("column beyond the file", {"apply", "2", in, "-c", "1", "-c", "3", "--output", "KEPT"});
        fault("column 0", {"apply", "2", in, "-c", "0", "-c", "1"});
        fault("unknown header", {"apply", "2", in, "-c", "a", "-c", "c"});
        fault("too few columns in the file", {"apply", "4", in});
        fault("unknown option", {"apply", "2", in, "--fast"});
        fault("bad digits", {"apply", "2", in, "--digits", "3"});
        fault("missing file", {"apply", "2", m_dir.filePath("none.csv")}, 1);
        fault("unwritable output", {"apply", "2", in, "--output", m_dir.filePath("no/dir.csv")}, 1);
        fault("--sep without a value", {"stats", in, "--sep"});
        fault("--keep beyond the file", {"apply", "2", in, "--keep", "3", "--output", "KEPT"});
        fault("no subcommand", {"project"});
        fault("no such table", {"project", "export", "PROJECT", "9.csv", "--output", "KEPT"});
        fault("project apply to no such table", {"project", "apply", "PROJECT", "9.csv", "2"});
        fault("project apply of a column the table lacks",
              {"project", "apply", "PROJECT", "0.csv", "2", "-c", "1", "-c", "3"});
        fault("project apply of no method", {"project", "apply", "PROJECT", "0.csv", "109"});
        fault("project apply, --keep the table lacks",
              {"project", "apply", "PROJECT", "0.csv", "2", "--keep", "Pohlaví"});
        fault("project import without a file", {"project", "import", "PROJECT"});
        fault("project import of a missing file", {"project", "import", "PROJECT", m_dir.filePath("none.csv")}, 1);
        fault("project import of the project itself", {"project", "import", "PROJECT", "PROJECT"});
    }

    void faults()
    {
        QFETCH(QStringList, arguments);
        const QString kept = file("kept.csv", "earlier work\n");
        const QString input = arguments.contains("PROJECT") ? project() : file("own.csv", "a;b\n70;175\n");
        const QByteArray before = contentOf(input);
        const QString link = m_dir.filePath("own-link");
        const QString hard = m_dir.filePath("own-hard");
        QFile::remove(link);
        QFile::remove(hard);
        QVERIFY(QFile::link(input, link));
        QCOMPARE(::link(QFile::encodeName(input).constData(), QFile::encodeName(hard).constData()), 0);
        CliSetup setup;
        if (arguments.removeAll(">IN"))
            setup.standardOutputFile = input;
        for (const auto &[name, path] : {std::pair{"KEPT", kept}, {"IN", input}, {"PROJECT", input}, {"LINK", link},
                                         {"HARD", hard}})
            arguments.replaceInStrings(QRegularExpression(QStringLiteral("^%1$").arg(name)), path);
        const CliRun r = runCli(arguments, setup);
        QTEST(r.exitCode, "exitCode");
        QCOMPARE(r.out, QByteArray());
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY(r.err.endsWith('\n'));
        QCOMPARE(contentOf(kept), QByteArray("earlier work\n"));
        QVERIFY(contentOf(input) == before);
    }

    // PROJECT stands for a project of lide.csv ("?" where a number belongs
    // with UNREAD) and its body mass index, DAMAGED for the sample project
    // with a bit of the values of "0/2.csv" flipped. Plain exports are
    // projectImportAndApply's.
    void projectCommands_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QByteArray>("error"); // what standard error holds, among the rest
        const auto row = [](const QString &tag, const QStringList &arguments, int exitCode, const QByteArray &output,
                            const QByteArray &error = {}) {
            QTest::newRow(qPrintable(tag)) << arguments << exitCode << output << error;
        };
        // One table on one line, whatever its texts hold (PROJECT:name: the file was name).
        const QStringList names{"lide.csv", "a\tb.csv", "a\nb.csv", "a\rb.csv", "a\\b.csv", "a\\n\n.csv"};
        const QStringList shown{"lide.csv", "a\\tb.csv", "a\\nb.csv", "a\\rb.csv", "a\\\\b.csv", "a\\\\n\\n.csv"};
        for (qsizetype i = 0; i < names.size(); ++i)
            row("show " + shown[i], {"project", "show", "PROJECT:" + names[i]}, 0,
                "0.csv\t0\t109\tData ze souboru \"" + shown[i].toUtf8()
                    + "\"\t2\t2\t2\n0/1.csv\t1\t2\tBody mass index\t2\t3\t2\n");
        // A field of the imported file that was no number is missing in the
        // project too, an empty field: export says so, and --strict refuses.
        row("fields that were no numbers", {"project", "export", "UNREAD", "0.csv"}, 0, "70;\n80;2\n",
            ": 1\n  \xC5\x99\xC3\xA1" "dek 1, sloupec \xE2\x80\x9E" "V\xC3\xBD\xC5\xA1ka\xE2\x80\x9C: \xE2\x80\x9E?\xE2\x80\x9C\n");
        row("--strict", {"project", "export", "UNREAD", "0.csv", "--strict"}, 1, {}, "--strict");
        // The result table holds no field of the file: nothing to report. The
        // BMI of the row without a height is missing.
        row("--strict of the result", {"project", "export", "UNREAD", "0/1.csv", "--strict"}, 0, "70;;\n80;2;20\n");
        // The numbers of a damaged entry never reach standard output, whichever table is asked for
        // (a sound one too, so surely the damaged one).
        const QByteArray damaged = ": nen\xC3\xAD to projekt programu Kostimer nebo je po\xC5\xA1kozen\xC3\xBD. "
                                   "Polo\xC5\xBEka \xE2\x80\x9E" "0/2.csv\xE2\x80\x9C je po\xC5\xA1kozen\xC3\xA1";
        row("show a damaged project", {"project", "show", "DAMAGED"}, 1, {}, damaged);
        row("export of a sound table", {"project", "export", "DAMAGED", "0.csv"}, 1, {}, damaged);
    }

    void projectCommands()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, error);
        if (arguments.contains("PROJECT"))
            arguments.replaceInStrings(QRegularExpression("^PROJECT$"), project());
        if (arguments.last().startsWith("PROJECT:"))
            arguments.last() = project(arguments.last().mid(8), "escaped.kstx");
        if (arguments.contains("UNREAD"))
            arguments.replaceInStrings(QRegularExpression("^UNREAD$"),
                                       project("lide.csv", "chyby.kstx", "Hmotnost;V\xC3\xBD\xC5\xA1ka\n70;?\n80;2\n"));
        if (arguments.contains("DAMAGED"))
            arguments.replaceInStrings(QRegularExpression("^DAMAGED$"), damagedSample());
        const CliRun r = runCli(arguments);
        QCOMPARE(r.exitCode, exitCode);
        QTEST(r.out, "output");
        QVERIFY2(error.isEmpty() ? r.err.isEmpty() : r.err.contains(error), r.err);
        if (exitCode != 0 && !arguments.contains("--strict")) // which lists the fields as well
            QCOMPARE(r.err.count('\n'), 1);
    }

    // Outputs written where they are, not replaced: standard output appended
    // to a file (LOG, opened with >>) through --output /dev/stdout or the
    // descriptor's own name, the file kept; a FIFO that stays a FIFO; and
    // standard output that takes nothing (/dev/full), which fails the command
    // ("methods" stands for those that print: the check is at their exit).
    // The commands that write a table share apply's output.
    void outputsInPlace_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("target"); // "log", "fifo" or "full"
        QTest::addColumn<QByteArray>("output");
        const QString in = file("place.csv", "a;b\n70;175\n");
        const QString data = file("place-chart.csv", "4;4;4\n");
        const QString png = m_dir.filePath("place-chart.png");
        QCOMPARE(runCli({"chart", data, png}).exitCode, 0);
        for (const char *target : {"log", "fifo", "full"}) {
            const QString out = target == QByteArray("fifo") ? m_dir.filePath("out.fifo") : QStringLiteral("/dev/stdout");
            QTest::addRow("apply, %s", target) << QStringList{"apply", "0", in, "--output", out} << target
                                               << QByteArray("70;175;4\n");
            // The same bytes as the picture written to a file.
            QTest::addRow("chart, %s", target) << QStringList{"chart", data, out} << target << contentOf(png);
        }
        QTest::newRow("apply to /dev/fd/1, log") << QStringList{"apply", "0", in, "--output", "/dev/fd/1"} << "log"
                                                 << QByteArray("70;175;4\n");
        QTest::newRow("methods, full") << QStringList{"methods"} << "full" << QByteArray();
        QTest::newRow("apply to standard output, full") << QStringList{"apply", "0", in} << "full" << QByteArray();
    }

    void outputsInPlace()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, target);
        QFETCH(QByteArray, output);
        const QString fifo = m_dir.filePath("out.fifo");
        const QString log = file("log.txt", "earlier\n");
        const auto before = fileIdentity(log);
        int reader = -1;
        if (target == "fifo") {
            makeFifo(fifo);
            // The reader is there first, with room for the whole output, so the tool never waits.
            reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            QVERIFY(reader >= 0);
            ::fcntl(reader, F_SETPIPE_SZ, 1 << 20);
        }
        CliSetup setup;
        setup.standardOutputFile = target == "fifo" ? QString() : target == "log" ? log : QStringLiteral("/dev/full");
        const CliRun r = runCli(arguments, setup);
        QByteArray received;
        char buffer[65536];
        for (ssize_t n; reader >= 0 && (n = ::read(reader, buffer, sizeof buffer)) > 0;)
            received.append(buffer, n);
        if (reader >= 0)
            ::close(reader);
        if (target == "full") {
            QCOMPARE(r.exitCode, 1);
            QCOMPARE(withoutComponentNote(r.err).count('\n'), 1);
            return;
        }
        QCOMPARE(withoutComponentNote(r.err), QByteArray());
        QCOMPARE(r.exitCode, 0);
        QVERIFY((target == "fifo" ? received : contentOf(log)) == (target == "fifo" ? output : "earlier\n" + output));
        QCOMPARE(fileIdentity(log), before);
        struct stat st {};
        QVERIFY(target != "fifo" || (::lstat(QFile::encodeName(fifo).constData(), &st) == 0 && S_ISFIFO(st.st_mode)));
    }

    // An output file is replaced whole: through a link it stays a link, with
    // its permissions; a write that fails half way (the file size limit)
    // leaves the old file and nothing beside it.
    void outputFileReplacedWhole()
    {
        QTemporaryDir dir;
        const QString in = writeFile(dir, "in.csv", tableOfSize(40000));
        const QString out = writeFile(dir, "out.csv", "earlier work\n");
        const QString link = dir.filePath("link.csv");
        QVERIFY(QFile::link(out, link));
        QCOMPARE(::chmod(QFile::encodeName(out).constData(), 0640), 0);
        CliSetup setup;
        setup.childSetup = [] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{4096, 4096};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        };
        const CliRun failed = runCli({"apply", "2", in, "--output", link}, setup);
        QCOMPARE(failed.exitCode, 1);
        QCOMPARE(failed.err.count('\n'), 1);
        QCOMPARE(contentOf(out), QByteArray("earlier work\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"in.csv", "link.csv", "out.csv"}));
        QCOMPARE(runCli({"apply", "0", writeFile(dir, "in.csv", "a;b\n70;175\n"), "--output", link}).exitCode, 0);
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
            writer = std::make_unique<FifoWriter>(QFile::encodeName(input),
                                                  size < 0 ? QByteArray("1;2\n").repeated(1024) : tableOfSize(size), size < 0);
        }
        arguments.replaceInStrings(QRegularExpression("^IN$"), input);
        CliSetup setup;
        setup.environment = {{"KOSTIMER_CLI_MAX_INPUT_BYTES", QString::number(limit)}};
        const CliRun r = runCli(arguments, setup);
        if (writer) {
            // Never read much past the bound: what the pipe holds and one write more at most.
            const qint64 written = writer->stop();
            QVERIFY2(written <= limit + 1 + writer->capacity + 4096, QByteArray::number(written));
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
        const auto join = qScopeGuard([&] {
            stop = true;
            changer.join();
        });
        const QByteArray changed("se b\xC4\x9bhem \xC4\x8dten\xC3\xAD zm\xC4\x9bnil.\n"); // "se během čtení změnil."
        for (int i = 0; i < 8; ++i) {
            const CliRun r = runCli({"apply", "2", path});
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

    // File names that are no UTF-8 (byte E9, "é" in Latin-1) are opened and
    // written under their own bytes. A shell puts the bytes in the arguments:
    // "\0351" is byte E9.
    void namesThatAreNoUtf8_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("written"); // the file made
        QTest::addColumn<QByteArray>("startsWith");
        QTest::newRow("apply") << QStringList{"apply", "0", "m\\0351.csv", "--output", "v\\0351.csv"}
                               << QByteArray("v\xE9.csv") << QByteArray("70;175;4\n");
        QTest::newRow("chart") << QStringList{"chart", "m\\0351.csv", "g\\0351.png"} << QByteArray("g\xE9.png")
                               << QByteArray("\x89PNG\r\n\x1A\n");
        QTest::newRow("project export") << QStringList{"project", "export", "p\\0351.kstx", "0.csv", "--output",
                                                       "e\\0351.csv"}
                                        << QByteArray("e\xE9.csv") << QByteArray("70;1,75\n80;2\n");
    }

    void namesThatAreNoUtf8()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, written);
        QFETCH(QByteArray, startsWith);
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path()) + '/';
        // QTemporaryDir cannot name these files to remove them.
        const auto removeFiles = qScopeGuard([&] {
            if (DIR *entries = ::opendir(folder.constData())) {
                while (const dirent *entry = ::readdir(entries))
                    ::unlink(folder + entry->d_name);
                ::closedir(entries);
            }
        });
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
        const CliRun r = runCli(arguments, setup);
        QCOMPARE(withoutComponentNote(r.err), QByteArray());
        QCOMPARE(r.exitCode, 0);
        QFile made;
        const int madeFd = ::open(folder + written, O_RDONLY | O_CLOEXEC);
        QVERIFY(madeFd >= 0);
        QVERIFY(made.open(madeFd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
        QVERIFY(made.readAll().startsWith(startsWith));
    }

    // stats by a text column: the groups are its texts in Czech order, the
    // column itself and other text columns are not described, and missing
    // values are left out of n (and told of). Values worked out by hand.
    void statsByTextColumn_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("by");
        QTest::addColumn<QByteArray>("output"); // without the header line
        QTest::addColumn<QByteArray>("error");
        const QByteArray people = QStringLiteral("Jméno;Pohlaví;Hmotnost;Výška\nNovák;muž;82,5;1,80\n"
                                                 "Dvořáková;žena;61;1,68\nŠťastný;muž;;1,75\nČermáková;žena;58,4;\n")
                                      .toUtf8();
        // muž: Hmotnost {82.5}; Výška {1.8, 1.75}, mean 1.775, sd √(2 · 0.025²) = 0.0353553.
        // žena: Hmotnost {61, 58.4}, mean 59.7, sd √(2 · 1.3²) = √3.38 = 1.83848; Výška {1.68}.
        // All: Hmotnost 201.9 / 3 = 67.3, deviations 15.2, −6.3, −8.9: √(349.94 / 2) = 13.2276,
        // median 61; Výška 5.23 / 3 = 1.74333, deviations 0.0566667, −0.0633333, 0.00666667:
        // √(0.00726667 / 2) = 0.0602771, median 1.75.
        QTest::newRow("Czech file by sex")
            << people << QStringLiteral("Pohlaví")
            << QStringLiteral("muž;Hmotnost;1;1;82,5;;82,5;82,5;82,5\nmuž;Výška;2;0;1,775;0,0353553;1,75;1,775;1,8\n"
                              "žena;Hmotnost;2;0;59,7;1,83848;58,4;59,7;61\nžena;Výška;1;1;1,68;;1,68;1,68;1,68\n"
                              ";Hmotnost;3;1;67,3;13,2276;58,4;61;82,5\n;Výška;3;1;1,74333;0,0602771;1,68;1,75;1,8\n")
                   .toUtf8()
            << QStringLiteral(": 2 (Hmotnost 1, Výška 1)\n").toUtf8();
        // R's file: Female weight {60.5, 55}, mean 57.75, sd √(2 · 2.75²) = √15.125 = 3.88909;
        // Male weight {80} (NA left out); all {60.5, 80, 55}: 195.5 / 3 = 65.1667,
        // deviations −4.66667, 14.8333, −10.1667: √(345.167 / 2) = 13.1371, median 60.5.
        // The row names (column 1, no header) and id are numbers too, 1 to 4:
        // Female {1, 4}, sd √(2 · 1.5²) = 2.12132; Male {2, 3}, sd √0.5 =
        // 0.707107; all mean 2.5, sd √(5 / 3) = 1.29099.
        QTest::newRow("R file by sex")
            << QByteArray("\"\",\"id\",\"sex\",\"weight\"\n\"1\",1,\"Female\",60.5\n\"2\",2,\"Male\",NA\n"
                          "\"3\",3,\"Male\",80\n\"4\",4,\"Female\",55\n")
            << "sex"
            << QByteArray("Female;1;2;0;2,5;2,12132;1;2,5;4\nFemale;id;2;0;2,5;2,12132;1;2,5;4\n"
                          "Female;weight;2;0;57,75;3,88909;55;57,75;60,5\n"
                          "Male;1;2;0;2,5;0,707107;2;2,5;3\nMale;id;2;0;2,5;0,707107;2;2,5;3\n"
                          "Male;weight;1;1;80;;80;80;80\n"
                          ";1;4;0;2,5;1,29099;1;2,5;4\n;id;4;0;2,5;1,29099;1;2,5;4\n"
                          ";weight;3;1;65,1667;13,1371;55;60,5;80\n")
            << QByteArray(": 1 (weight 1)\n");
        // Czech order, not that of the code points (Z before Č): B, Č, Z.
        // Zlín {1.6, 1.8}: 1.7, sd √(2 · 0.1²) = 0.141421. The row without a
        // site counts among all rows only: 8.8 / 5 = 1.76, deviations −0.16,
        // 0.14, 0.04, −0.06, 0.04: √(0.052 / 4) = 0.114018, median 1.8.
        QTest::newRow("Czech order, a row without a group")
            << QStringLiteral("lokalita;výška\nZlín;1,6\n;1,9\nČáslav;1,8\nBrno;1,7\nZlín;1,8\n").toUtf8()
            << "lokalita"
            << QStringLiteral("Brno;výška;1;0;1,7;;1,7;1,7;1,7\nČáslav;výška;1;0;1,8;;1,8;1,8;1,8\n"
                              "Zlín;výška;2;0;1,7;0,141421;1,6;1,7;1,8\n;výška;5;0;1,76;0,114018;1,6;1,8;1,9\n")
                   .toUtf8()
            << QStringLiteral("řádků bez skupiny (hodnota ve sloupci „lokalita“ chybí), které se počítají jen "
                              "mezi všemi řádky: 1\n")
                   .toUtf8();
    }

    void statsByTextColumn()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QString, by);
        QFETCH(QByteArray, output);
        QFETCH(QByteArray, error);
        const CliRun r = runCli({"stats", file("vzorek.csv", csv), "--by", by});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.contains(error), r.err);
        QCOMPARE(QString::fromUtf8(r.out.mid(r.out.indexOf('\n') + 1)), QString::fromUtf8(output));
    }

    // A project made and grown by the tool: a CSV file imported (a new
    // project, then a table more), a method applied with columns kept, and
    // what show and export give back, texts and missing cells included.
    void projectImportAndApply()
    {
        const QString path = m_dir.filePath("novy.kstx");
        QFile::remove(path);
        const QString csv = file("lide.csv", QStringLiteral("Jméno;Pohlaví;Hmotnost;Výška\nNovák;muž;82,5;1,8\n"
                                                            "Dvořáková;žena;;1,68\nŠťastný;muž;70;1,75\n")
                                                 .toUtf8());
        CliRun r = runCli({"project", "import", path, csv});
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("0.csv\t0\t109\tData ze souboru \"lide.csv\"\t3\t4\t3\n"));
        // BMI 82.5 / 1.8² = 25.463, 70 / 1.75² = 22.8571; the row without a weight has none.
        r = runCli({"project", "apply", path, "0.csv", "2", "-c", "Hmotnost", "-c", "4", "--keep",
                    QStringLiteral("Jméno"), "--keep", "2"});
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("0/1.csv\t1\t2\tBody mass index\t3\t5\t3\n"));
        const QByteArray bmi = QStringLiteral("Jméno;Pohlaví;Hmotnost (kg);Výška (m);BMI\nNovák;muž;82,5;1,8;25,463\n"
                                              "Dvořáková;žena;;1,68;\nŠťastný;muž;70;1,75;22,8571\n")
                                   .toUtf8();
        r = runCli({"project", "export", path, "0/1.csv", "--header"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, bmi);
        r = runCli({"project", "export", path, "0.csv", "--header"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, contentOf(csv));

        // A second file: a data table after the first; tab-separated, read as --sep says.
        const QString tabs = file("druhy.csv", "pas\tboky\n85\t100\n");
        r = runCli({"project", "import", path, tabs, "--sep", "tab"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("1.csv\t0\t109\tData ze souboru \"druhy.csv\"\t1\t2\t1\n"));
        // A second result of the first table comes after the first one, and
        // the entries count from the last, as the program saves them.
        r = runCli({"project", "apply", path, "0.csv", "84", "-c", "3"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("0/1.csv\t1\t84\tKilogramy na tuny\t3\t2\t3\n"));
        r = runCli({"project", "show", path});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("0.csv\t0\t109\tData ze souboru \"lide.csv\"\t3\t4\t3\n"
                                   "0/2.csv\t1\t2\tBody mass index\t3\t5\t3\n"
                                   "0/1.csv\t1\t84\tKilogramy na tuny\t3\t2\t3\n"
                                   "1.csv\t0\t109\tData ze souboru \"druhy.csv\"\t1\t2\t1\n"));
        r = runCli({"project", "export", path, "0/2.csv", "--header"});
        QCOMPARE(r.out, bmi);
        // 82.5 kg = 0.0825 t.
        r = runCli({"project", "export", path, "0/1.csv"});
        QCOMPARE(r.out, QByteArray("82,5;0,0825\n;\n70;0,07\n"));

        // The program reads it as its own: a text column and a missing cell.
        ProjectTree roots;
        QString error;
        QVERIFY2(readProjectFile(path, &roots, &error), qPrintable(error));
        const TTableModel &source = *roots.at(0)->table;
        QVERIFY(source.isTextColumn(0) && source.isTextColumn(1) && !source.isTextColumn(2));
        QCOMPARE(source.cellText(1, 0), QStringLiteral("Dvořáková"));
        QVERIFY(source.isMissing(1, 2));
        const TTableModel &result = *roots.at(0)->children.at(0)->table;
        QCOMPARE(result.carriedCount(), 2);
        QCOMPARE(result.cellText(2, 1), QStringLiteral("muž"));
    }

    // A project is written whole or not at all: a write that fails half way
    // (the file size limit) leaves the old project and nothing beside it.
    void projectSavedWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("projekt.kstx");
        QCOMPARE(runCli({"project", "import", path, writeFile(dir, "a.csv", "a;b\n70;1,75\n")}).exitCode, 0);
        // Numbers that do not pack away to nothing.
        QByteArray rows("x;y\n");
        for (int i = 0; i < 50000; ++i)
            rows += QByteArray::number(i) + ';' + QByteArray::number(i * 7919 % 10007) + '\n';
        const QString big = writeFile(dir, "b.csv", rows);
        CliSetup limited;
        limited.childSetup = [] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{65536, 65536};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        };
        const auto failsAndKeeps = [&](const QStringList &arguments) {
            const QByteArray before = contentOf(path);
            const CliRun r = runCli(arguments, limited);
            QCOMPARE(r.exitCode, 1);
            QCOMPARE(r.err.count('\n'), 1);
            QCOMPARE(r.out, QByteArray());
            QVERIFY(contentOf(path) == before);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                     (QStringList{"a.csv", "b.csv", "projekt.kstx"}));
        };
        failsAndKeeps({"project", "import", path, big});
        QCOMPARE(runCli({"project", "import", path, big}).exitCode, 0);
        failsAndKeeps({"project", "apply", path, "0.csv", "2"});
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"

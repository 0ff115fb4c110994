// kostimer-cli reading its files: the files people send each other (R's
// write.csv, a Czech spreadsheet's export, tab-separated, old Mac line ends,
// rows of uneven length) read alike by every command; the same numbers under
// any locale; fields that are not numbers reported (and refused with
// --strict); results alike across the blocks the file is computed in;
// memory that follows the size of the file; a bound on the columns; outputs
// through symbolic links; and runs ended by a signal while they write.

#include "CliRun.h"

#include <QRegularExpression>
#include <QtTest>

#include <algorithm>
#include <csignal>

#include <signal.h>
#include <unistd.h>

namespace {

CliRun runUnder(const QString &locale, const QStringList &arguments)
{
    CliSetup setup;
    // Freed memory is given back at once, so that the peak is the tool's own.
    setup.environment = {{"LC_ALL", locale}, {"LANG", locale}, {"ASAN_OPTIONS", "quarantine_size_mb=0"}};
    return runCli(arguments, setup);
}

// The text in Windows-1250, as a Czech spreadsheet saves it (the letters of
// the files here).
QByteArray windows1250(const QString &text)
{
    static const QHash<QChar, char> letters{
        {u'á', '\xE1'}, {u'č', '\xE8'}, {u'Č', '\xC8'}, {u'é', '\xE9'}, {u'í', '\xED'}, {u'ř', '\xF8'},
        {u'Š', '\x8A'}, {u'š', '\x9A'}, {u'ť', '\x9D'}, {u'ů', '\xF9'}, {u'ý', '\xFD'}, {u'ž', '\x9E'}};
    QByteArray bytes;
    for (const QChar c : text)
        bytes += c.unicode() < 0x80 ? char(c.unicode()) : letters.value(c, '?');
    return bytes;
}

// R's write.csv: "," between fields, texts and the header quoted, a first
// column of row names with an empty header, NA, "." as the decimal mark.
const QByteArray rFile = "\"\",\"id\",\"sex\",\"weight\",\"height\",\"endo\",\"meso\",\"ecto\"\n"
                         "\"1\",1,\"Female\",60.5,1.65,4,3,2\n"
                         "\"2\",2,\"Male\",NA,1.8,2,5,2\n"
                         "\"3\",3,\"Male\",80,1.75,3,5,1.5\n"
                         "\"4\",4,\"Female\",55,1.6,5,3,2.5\n";

// A Czech spreadsheet's export: Windows-1250, ";", decimal commas, CR LF,
// empty cells, a column of names and one of sexes.
QByteArray czechFile()
{
    return windows1250(QStringLiteral("Jméno;Pohlaví;Hmotnost;Výška\r\nNovák;muž;82,5;1,80\r\n"
                                      "Dvořáková;žena;61;1,68\r\nŠťastný;muž;;1,75\r\n"
                                      "Čermáková;žena;58,4;\r\n"));
}

const QByteArray tabFile = "pas\tboky\n85,5\t100\n90\t95\n";
// Lines that end in CR alone, as old Mac programs write them.
const QByteArray crFile = "a;b\r70;1,75\r80;2\r";
// A blank line (skipped), a row too short and one too long.
const QByteArray raggedFile = "a;b\n4;2\n\n5\n6;3;9\n";

// The most columns a table may have (MaxCsvColumns of the reader).
constexpr int maxColumns = 100000;

// The fields of the lines of an output (no field here holds ";" or a quote).
QList<QByteArrayList> linesOf(const QByteArray &output)
{
    QList<QByteArrayList> lines;
    for (const QByteArray &line : output.split('\n'))
        if (!line.isEmpty())
            lines.append(line.split(';'));
    return lines;
}

// The entries of a folder, links and hidden files too.
QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// Whether the process has stopped (state T in /proc) or ended (Z) before it
// could, waiting for either at most a minute.
bool waitUntilStopped(qint64 pid)
{
    QDeadlineTimer deadline(60000);
    while (!deadline.hasExpired()) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return false;
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        const char state = close >= 0 && close + 2 < line.size() ? line.at(close + 2) : ' ';
        if (state == 'T' || state == 't' || state == 'Z' || state == 'X')
            return true;
        QThread::usleep(100);
    }
    return false;
}

} // namespace

class TestCliReading : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString file(const QString &name, const QByteArray &content) { return writeFile(m_dir, name, content); }

private slots:
    // Memory first: the peak of the children only grows, and these files are
    // the largest this suite gives the tool, in the order of their peaks.
    // They are written a piece at a time: a child starts as a copy of this
    // process, and its peak would count a file held here.
    void memoryFollowsTheFile_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("piece"); // repeated
        QTest::addColumn<int>("pieces");
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<double>("times"); // the bound: this many times the file, and 100 MB
        // One line of four million fields, a table far wider than the reader
        // takes. It is refused when the line has been counted, before a
        // header text or a column record is made for each field (which would
        // take some seventy times the line).
        QTest::newRow("one line of 4 M fields") << QByteArray() << QByteArray("1;").repeated(1000) << 4000
                                                << QByteArray("1\n1;2\n") << QStringList{"-c", "1", "-c", "2"} << 1
                                                << 2.0;
        // Four million blank rows: a row per byte, none of them read.
        QTest::newRow("4 M blank rows") << QByteArray("a;b\n") << QByteArray(1000, '\n') << 4000 << QByteArray()
                                        << QStringList{"-c", "1", "-c", "1"} << 0 << 4.0;
        // Half a million rows of ten numbers with decimal commas, as bench/
        // generates them: the file and its table of numbers, computed and
        // written a block at a time.
        QTest::newRow("500 k rows of 10 numbers")
            << QByteArray("Hmotnost;V\xC3\xBD\xC5\xA1ka;M1;M2;M3;M4;M5;M6;M7;M8\n")
            << QByteArray("72,4;1,734;101,250;55,125;140,375;99,500;12,625;180,875;64,000;33,250\n").repeated(100)
            << 5000 << QByteArray() << QStringList{} << 0 << 3.0;
    }

    void memoryFollowsTheFile()
    {
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, piece);
        QFETCH(int, pieces);
        QFETCH(QByteArray, tail);
        QFETCH(QStringList, columns);
        QFETCH(double, times);
        const QString path = m_dir.filePath("big.csv");
        {
            QFile big(path);
            QVERIFY(big.open(QIODevice::WriteOnly));
            big.write(head);
            for (int i = 0; i < pieces; ++i)
                big.write(piece);
            big.write(tail);
        }
        const qint64 size = QFileInfo(path).size();
        QCOMPARE(size, head.size() + qint64(pieces) * piece.size() + tail.size());
        const CliRun r = runUnder("C.UTF-8", QStringList{"apply", "2", path, "--output", m_dir.filePath("big-out.csv")}
                                              + columns);
        QTEST(r.exitCode, "exitCode");
        const qint64 bound = qint64(times * double(size)) + (qint64(100) << 20);
        QVERIFY2(peakOfChildren() < bound,
                 qPrintable(QStringLiteral("%1 MB of %2 MB").arg(peakOfChildren() >> 20).arg(bound >> 20)));
    }

    void sameNumbersUnderEveryLocale_data()
    {
        QTest::addColumn<QString>("locale");
        for (const char *locale : {"cs_CZ.UTF-8", "C.UTF-8", "C", "en_US.UTF-8", "de_DE.UTF-8"})
            QTest::newRow(locale) << locale;
    }

    // BMI by hand: 70.5 / 1.75^2 = 23.0204; 80 / 1.8^2 = 24.6914; 1,500 is
    // 1.5 (no group), so 90 / 2.25 = 40; 1 000,5 is grouped by a space.
    // Every field is a number, so --strict lets them through.
    void sameNumbersUnderEveryLocale()
    {
        QFETCH(QString, locale);
        const QString path = file("lide.csv", "Hmotnost;V\xC3\xBD\xC5\xA1ka\n70,5;1,75\n80;1.8\n90;1,500\n"
                                              "1 000,5;1\n");
        const CliRun r = runUnder(locale, {"apply", "2", path, "--strict"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("70,5;1,75;23,0204\n80;1,8;24,6914\n90;1,5;40\n1000,5;1;1000,5\n"));
        QCOMPARE(r.err, QByteArray());
    }

    void fieldsThatAreNotNumbers_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("report");
        // An empty field is missing, not a field that is no number.
        QTest::newRow("text and empty") << QByteArray("a;b;c\n70;1,7x;9\n;1,8;x\n")
                                        << QByteArray(": 1\n  \xC5\x99\xC3\xA1" "dek 1, sloupec \xE2\x80\x9E" "b"
                                                      "\xE2\x80\x9C: \xE2\x80\x9E" "1,7x\xE2\x80\x9C\n");
        // A field of 100,000 characters is quoted by its first 40: the report
        // stays a line, not a copy of the field.
        QTest::newRow("long field") << QByteArray("a;b\n70;1,7\n71;1,8\n72;") + QByteArray(100000, 'x') + "\n"
                                    << QByteArray(": 1\n  \xC5\x99\xC3\xA1" "dek 3, sloupec \xE2\x80\x9E" "b"
                                                  "\xE2\x80\x9C: \xE2\x80\x9E") + QByteArray(40, 'x')
                                           + "\xE2\x80\xA6\xE2\x80\x9C\n";
        // Only the first five are listed; the column the method does not take
        // (of texts alone, and so a text column) is not looked at.
        QTest::newRow("many") << QByteArray("a;b;c\n") + QByteArray("1;1;y\n").repeated(10)
                                     + QByteArray("x;1;y\n").repeated(8)
                              << QByteArray(": 8\n");
    }

    void fieldsThatAreNotNumbers()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, report);
        const QString path = file("chyby.csv", content);
        const CliRun r = runUnder("cs_CZ.UTF-8", {"apply", "2", path});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.contains(report), r.err);
        QCOMPARE(r.err.count("\n  "), qMin(r.err.count('\n') - 1, 6));

        // --strict: exit 1 and the output file as it was.
        const QString output = file("vysledek.csv", "puvodni\n");
        const CliRun strict = runUnder("cs_CZ.UTF-8", {"apply", "2", path, "--strict", "--output", output});
        QCOMPARE(strict.exitCode, 1);
        QVERIFY2(strict.err.contains("--strict"), strict.err);
        QCOMPARE(contentOf(output), QByteArray("puvodni\n"));
    }

    // The file is computed in blocks of 65536 rows: every row must land where
    // it belongs, and a method that takes the rows as one whole gets them all.
    void blocksJoinSeamlessly()
    {
        QByteArray content("x;y\n");
        QByteArray ratios;
        QByteArray centroid;
        for (int i = 0; i < 200000; ++i) {
            const QByteArray row = QByteArray::number(i) + ";1";
            content += row + '\n';
            // Method 3 (WHR) gives i / 1 = i.
            ratios += row + ';' + QByteArray::number(i) + '\n';
            // Centroid of (i, 1) for i = 0 .. 199999, in row 0 alone: the root
            // of the sum of (i - 99999.5)^2, which is n(n^2 - 1)/12 for n = 200000.
            centroid += row + (i == 0 ? ";2,58199e+07\n" : ";0\n");
        }
        const QString path = file("radky.csv", content);
        for (const auto &[method, output] : {std::pair{"3", ratios}, {"101", centroid}}) {
            const CliRun r = runUnder("cs_CZ.UTF-8", {"apply", method, path});
            QCOMPARE(r.exitCode, 0);
            QVERIFY2(r.out == output, method);
        }
    }

    // Files as people send them, through the commands that read them: "@"
    // is the file. Standard error holds each of `errors`, or nothing.
    void realShapedFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QByteArrayList>("errors");
        const auto row = [](const char *tag, const QByteArray &content, const QStringList &arguments, int exitCode,
                            const QByteArray &output, const QByteArrayList &errors = {}) {
            QTest::newRow(tag) << content << arguments << exitCode << output << errors;
        };
        // BMI: 60.5 / 1.65² = 22.2222, 80 / 1.75² = 26.1224, 55 / 1.6² =
        // 21.4844; NA is missing, and so is the BMI of its row.
        row("R, apply", rFile, {"apply", "2", "@", "-c", "weight", "-c", "height", "--keep", "sex", "--header"}, 0,
            "sex;Hmotnost (kg);V\xC3\xBD\xC5\xA1ka (m);BMI\n"
            "Female;60,5;1,65;22,2222\nMale;;1,8;\nMale;80;1,75;26,1224\nFemale;55;1,6;21,4844\n");
        // Female 4-3-2 and 5-3-2.5: mean 4.5-3-2.25, X = 2.25 − 4.5 = −2.25,
        // Y = 6 − 6.75 = −0.75; each member (∓0.5, 0, ∓0.25) from the mean,
        // SAM √0.3125 = 0.559017; points (−2, 0) and (−2.5, −1.5), each
        // (±0.25, ±0.75) from the mean point, SDI √(3 · 0.0625 + 0.5625) = √0.75.
        // Male 2-5-2 and 3-5-1.5: mean 2.5-5-1.75, X −0.75, Y 10 − 4.25 =
        // 5.75; SAM √0.3125; points (0, 6) and (−1.5, 5.5), SDI √(3 · 0.5625 +
        // 0.0625) = √1.75 = 1.32288.
        // All: mean 3.5-4-2, X −1.5, Y 2.5; SAD √1.25, √3.25, √1.5, √3.5,
        // SAM 6.016384 / 4 = 1.5041; SDD √7, √19, 3, √19, SDI 14.363549 / 4 =
        // 3.59089; endomorphy and mesomorphy within 0.5 above ectomorphy:
        // mesomorph-endomorph.
        // The means apart: ΔX 1.5, ΔY 6.5, SDD √(6.75 + 42.25) = 7; SAD
        // √(4 + 4 + 0.25) = 2.87228.
        row("R, somatotypes by a text column", rFile,
            {"somatotypes", "@", "-c", "endo", "-c", "meso", "-c", "ecto", "--by", "sex"}, 0,
            "skupina;n;endomorfie;mezomorfie;ektomorfie;X;Y;SAM;SDI;kategorie\n"
            "Female;2;4,5;3;2,25;-2,25;-0,75;0,559017;0,866025;mezomorfn\xC3\xAD endomorf\n"
            "Male;2;2,5;5;1,75;-0,75;5,75;0,559017;1,32288;endomorfn\xC3\xAD mezomorf\n"
            ";4;3,5;4;2;-1,5;2,5;1,5041;3,59089;mezomorf-endomorf\n"
            "\nskupina A;skupina B;SDD;SAD;v\xC3\xBDznamn\xC3\xBD rozd\xC3\xAD" "l\n"
            "Female;Male;7;2,87228;ano\n");
        // 82.5 / 1.8² = 25.463, 61 / 1.68² = 21.6128; the names come out in UTF-8.
        row("Czech spreadsheet, apply", czechFile(),
            {"apply", "2", "@", "-c", "Hmotnost", "-c", QStringLiteral("Výška"), "--keep", QStringLiteral("Jméno")}, 0,
            QStringLiteral("Novák;82,5;1,8;25,463\nDvořáková;61;1,68;21,6128\nŠťastný;;1,75;\nČermáková;58,4;;\n")
                .toUtf8());
        // WHR: 85.5 / 100 = 0.855, 90 / 95 = 0.947368; the separator found,
        // named, or given as the character itself.
        const QByteArray whr("85,5;100;0,855\n90;95;0,947368\n");
        row("tab-separated", tabFile, {"apply", "3", "@"}, 0, whr);
        row("--sep tab", tabFile, {"apply", "3", "@", "--sep", "tab"}, 0, whr);
        row("--sep with a tab", tabFile, {"apply", "3", "@", "--sep", "\t"}, 0, whr);
        // Another separator makes the file one column: the method's second input is not there.
        row("--sep that splits nothing", tabFile, {"apply", "3", "@", "--sep", ";"}, 2, {},
            {"\xE2\x80\x9E" "2\xE2\x80\x9C"});
        // The one check of --sep's value, which every command shares.
        row("--sep of no separator", tabFile, {"apply", "3", "@", "--sep", ":"}, 2, {}, {"--sep"});
        row("CR line ends", crFile, {"apply", "2", "@"}, 0, "70;1,75;22,8571\n80;2;20\n");
        // Row 2 (line 4, after the blank line) lacks b: its ratio is missing.
        // Row 3 has a field too many, which is not read: 6 / 3 = 2.
        const QByteArrayList raggedReport{
            "\xC5\x99\xC3\xA1" "dek 4 souboru (\xC5\x99\xC3\xA1" "dek dat 2): pol\xC3\xAD 1 m\xC3\xADsto 2\n",
            "\xC5\x99\xC3\xA1" "dek 5 souboru (\xC5\x99\xC3\xA1" "dek dat 3): pol\xC3\xAD 3 m\xC3\xADsto 2\n"};
        // A short row's missing cell gives missing results, not 0.
        row("ragged rows", raggedFile, {"apply", "3", "@"}, 0, "4;2;2\n5;;\n6;3;2\n", raggedReport);
        row("ragged rows, --strict", raggedFile, {"apply", "3", "@", "--strict"}, 1, {},
            raggedReport + QByteArrayList{"--strict"});
        // stats tells the same rows, and leaves the missing b out of n (its
        // output is not compared: see statsByTextColumn in tst_cli).
        row("ragged rows, stats", raggedFile, {"stats", "@"}, 0, {}, raggedReport + QByteArrayList{": 1 (b 1)\n"});
    }

    void realShapedFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, output);
        QFETCH(QByteArrayList, errors);
        arguments.replaceInStrings(QRegularExpression("^@$"), file("soubor.csv", content));
        const CliRun r = runUnder("cs_CZ.UTF-8", arguments);
        QTEST(r.exitCode, "exitCode");
        if (!output.isEmpty() || r.exitCode != 0)
            QCOMPARE(r.out, output);
        if (errors.isEmpty())
            QCOMPARE(r.err, QByteArray());
        for (const QByteArray &error : errors)
            QVERIFY2(r.err.contains(error), r.err);
    }

    // The same file through every command is the same table: the cells of
    // each column as apply keeps them (--keep) are those the project's
    // import exports, its rows are as many, and stats counts in n the
    // numbers among them; somatotypes counts the rows with all three.
    void sameTableEverywhere_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("rows");
        QTest::newRow("R") << rFile << 4;
        QTest::newRow("Czech spreadsheet") << czechFile() << 4;
        QTest::newRow("tab-separated") << tabFile << 2;
        QTest::newRow("CR line ends") << crFile << 2;
        QTest::newRow("ragged rows") << raggedFile << 3;
    }

    void sameTableEverywhere()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, rows);
        const QString path = file("stejny.csv", content);
        const QString project = m_dir.filePath("stejny.kstx");
        QFile::remove(project);
        const CliRun imported = runUnder("cs_CZ.UTF-8", {"project", "import", project, path});
        QCOMPARE(imported.exitCode, 0);
        const CliRun exported = runUnder("cs_CZ.UTF-8", {"project", "export", project, "0.csv", "--header"});
        QCOMPARE(exported.exitCode, 0);
        const QList<QByteArrayList> table = linesOf(exported.out);
        QCOMPARE(table.size(), rows + 1);
        const qsizetype width = table.first().size();

        // n of each number column, from the line of all rows.
        const CliRun stats = runUnder("cs_CZ.UTF-8", {"stats", path});
        QCOMPARE(stats.exitCode, 0);
        const QList<QByteArrayList> summary = linesOf(stats.out);
        const qsizetype columnField = summary.first().indexOf("sloupec");
        const qsizetype nField = summary.first().indexOf("n");
        QHash<QByteArray, int> n;
        for (const QByteArrayList &line : summary.mid(1))
            if (line.first().isEmpty())
                n.insert(line.at(columnField), line.at(nField).toInt());

        int described = 0;
        for (qsizetype c = 0; c < width; ++c) {
            // Method 84 (kilograms to tonnes) on the last column, a number
            // column in every file here, with column c kept before it.
            const CliRun kept = runUnder("cs_CZ.UTF-8", {"apply", "84", path, "-c", QString::number(width), "--keep",
                                                         QString::number(c + 1)});
            QCOMPARE(kept.exitCode, 0);
            const QList<QByteArrayList> lines = linesOf(kept.out);
            QCOMPARE(lines.size(), rows);
            int numbers = 0;
            for (int r = 0; r < rows; ++r) {
                QCOMPARE(lines.at(r).first(), table.at(r + 1).value(c));
                numbers += lines.at(r).first().isEmpty() ? 0 : 1;
            }
            // A column stats describes counts its numbers; one it leaves out is a text column.
            const QByteArray name = table.first().at(c).isEmpty() ? QByteArray::number(c + 1) : table.first().at(c);
            if (n.contains(name)) {
                QCOMPARE(n.value(name), numbers);
                ++described;
            }
        }
        QCOMPARE(described, int(n.size()));
        if (table.first().contains("endo")) {
            const CliRun somatotypes =
                runUnder("cs_CZ.UTF-8", {"somatotypes", path, "-c", "endo", "-c", "meso", "-c", "ecto"});
            QCOMPARE(somatotypes.exitCode, 0);
            // The rows of the export, the same as apply's: each has all three or not.
            const qsizetype endo = table.first().indexOf("endo");
            const auto complete = std::count_if(table.begin() + 1, table.end(), [endo](const QByteArrayList &line) {
                return !line.value(endo).isEmpty() && !line.value(endo + 1).isEmpty() && !line.value(endo + 2).isEmpty();
            });
            QCOMPARE(linesOf(somatotypes.out).last().at(1).toInt(), int(complete));
        }
    }

    // Outputs through symbolic links, by every command that writes a file
    // (OUT is the link, IN a table, PROJECT a project with table 0.csv). A
    // link that leads nowhere is refused, with its reason on one line, and
    // left as it was, nothing made beside it or where it points; a link to a
    // file writes that file anew and stays a link to it.
    void outputThroughLinks_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("link"); // "dangling", "loop" or "file"
        QTest::addColumn<QByteArray>("reason");
        const QByteArray dangling = "je to symbolick\xC3\xBD odkaz, jeho\xC5\xBE c\xC3\xADl neexistuje";
        const QByteArray loop = "cesta vede p\xC5\x99" "es zacyklen\xC3\xBD symbolick\xC3\xBD odkaz";
        const struct {
            const char *name;
            QStringList arguments;
            const char *suffix;
        } commands[] = {
            {"apply", {"apply", "0", "IN", "--output", "OUT"}, ".csv"},
            {"stats", {"stats", "IN", "--output", "OUT"}, ".csv"},
            {"somatotypes", {"somatotypes", "IN", "--output", "OUT"}, ".csv"},
            {"chart", {"chart", "IN", "OUT"}, ".png"},
            {"project export", {"project", "export", "PROJECT", "0.csv", "--output", "OUT"}, ".csv"},
            {"project import", {"project", "import", "OUT", "IN"}, ".kstx"},
        };
        for (const auto &command : commands) {
            // Catches a dangling link replaced by a plain file, exit 0, the
            // file it names never written.
            QTest::addRow("%s, dangling link", command.name)
                << command.arguments << command.suffix << "dangling" << dangling;
            // Catches a loop of links replaced by a plain file, exit 0.
            QTest::addRow("%s, link loop", command.name) << command.arguments << command.suffix << "loop" << loop;
            // Catches the link itself replaced by a plain file, or a link to
            // a file refused with those that lead nowhere.
            QTest::addRow("%s, link to a file", command.name)
                << command.arguments << command.suffix << "file" << QByteArray();
        }
    }

    void outputThroughLinks()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, suffix);
        QFETCH(QString, link);
        QFETCH(QByteArray, reason);
        QTemporaryDir dir;
        const QString in = writeFile(dir, "in.csv", "a;b;c\n3;4;2\n2;5;1\n");
        const QString project = dir.filePath("project.kstx");
        QCOMPARE(runUnder("cs_CZ.UTF-8", {"project", "import", project, in}).exitCode, 0);
        const QString target = dir.filePath("target" + suffix);
        const QString out = dir.filePath("out" + suffix);
        if (link == "dangling") {
            QVERIFY(QFile::link(target, out));
        } else if (link == "loop") {
            QVERIFY(QFile::link(dir.filePath("other" + suffix), out));
            QVERIFY(QFile::link(out, dir.filePath("other" + suffix)));
        } else {
            // What the command can take in its place: a project for import.
            QVERIFY(suffix == ".kstx" ? QFile::copy(project, target)
                                      : !writeFile(dir, "target" + suffix, "earlier\n").isEmpty());
            QVERIFY(QFile::link(target, out));
        }
        const QByteArray before = contentOf(target);
        const QStringList entries = entriesOf(dir.path());
        arguments.replaceInStrings(QRegularExpression("^IN$"), in);
        arguments.replaceInStrings(QRegularExpression("^OUT$"), out);
        arguments.replaceInStrings(QRegularExpression("^PROJECT$"), project);

        const CliRun r = runUnder("cs_CZ.UTF-8", arguments);
        QCOMPARE(entriesOf(dir.path()), entries);
        QVERIFY(QFileInfo(out).isSymLink());
        if (reason.isEmpty()) {
            QCOMPARE(r.exitCode, 0);
            QCOMPARE(QFileInfo(out).symLinkTarget(), target);
            const QByteArray after = contentOf(target);
            QVERIFY(!after.isEmpty() && after != before);
        } else {
            QCOMPARE(r.exitCode, 1);
            QVERIFY2(withoutComponentNote(r.err).count('\n') == 1 && r.err.contains(reason + ".\n"), r.err);
            QVERIFY(!QFile::exists(target));
        }
    }

    // A run ended by a signal while it writes its output removes the file it
    // was writing beside the target, leaves the old target as it was, and
    // dies of the signal, as its caller sees it. The run is stopped while
    // that file is there, sent the signal, and let go on.
    void signalWhileWriting_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("ignored"); // as under nohup
        const QStringList apply{"apply", "2", "IN", "--output", "OUT"};
        // Catches the file beside the target left behind: the size of the
        // whole output, for every run that is cut short.
        QTest::newRow("apply, SIGTERM") << apply << int(SIGTERM) << false;
        QTest::newRow("apply, SIGINT (Ctrl+C)") << apply << int(SIGINT) << false;
        QTest::newRow("apply, SIGHUP") << apply << int(SIGHUP) << false;
        QTest::newRow("somatotypes --rows, SIGTERM")
            << QStringList{"somatotypes", "IN", "--rows", "--output", "OUT"} << int(SIGTERM) << false;
        // Catches a handler put over a signal the caller ignores: the run
        // must go on and write its output.
        QTest::newRow("apply, SIGHUP ignored") << apply << int(SIGHUP) << true;
    }

    void signalWhileWriting()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, signal);
        QFETCH(bool, ignored);
        QTemporaryDir dir;
        // A million rows: writing them takes long enough to be caught at it.
        const QString in = writeFile(dir, "in.csv", "a;b;c\n" + QByteArray("70;1,75;2\n").repeated(1000000));
        const QString out = writeFile(dir, "out.csv", "earlier\n");
        arguments.replaceInStrings(QRegularExpression("^IN$"), in);
        arguments.replaceInStrings(QRegularExpression("^OUT$"), out);
        const auto beside = [&] { return QDir(dir.path()).entryList({"out.csv.*"}, QDir::Files | QDir::Hidden); };

        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LC_ALL", "cs_CZ.UTF-8");
        process.setProcessEnvironment(env);
        process.setChildProcessModifier([signal, ignored] {
            for (const int s : {SIGINT, SIGTERM, SIGHUP})
                std::signal(s, SIG_DFL);
            if (ignored)
                std::signal(signal, SIG_IGN);
            sigset_t none;
            sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
        });
        // A run that ends before it is caught writing is run again.
        bool caught = false;
        for (int attempt = 0; attempt < 3 && !caught; ++attempt) {
            process.start(QStringLiteral(KOSTIMER_CLI), arguments);
            QVERIFY(process.waitForStarted());
            const qint64 pid = process.processId();
            QDeadlineTimer deadline(60000);
            while (beside().isEmpty() && !deadline.hasExpired() && !process.waitForFinished(1)) {
            }
            if (process.state() == QProcess::NotRunning)
                continue;
            QCOMPARE(::kill(pid_t(pid), SIGSTOP), 0);
            QVERIFY(waitUntilStopped(pid));
            caught = beside().size() == 1;
            if (caught)
                QCOMPARE(::kill(pid_t(pid), signal), 0);
            QCOMPARE(::kill(pid_t(pid), SIGCONT), 0);
            QVERIFY(process.waitForFinished(60000));
        }
        QVERIFY2(caught, "every run ended before it was caught writing");
        QCOMPARE(entriesOf(dir.path()), (QStringList{"in.csv", "out.csv"}));
        if (ignored) {
            QCOMPARE(process.exitStatus(), QProcess::NormalExit);
            QCOMPARE(process.exitCode(), 0);
            // BMI by hand: 70 / 1.75^2 = 22.8571.
            QVERIFY(contentOf(out).startsWith("70;1,75;22,8571\n"));
            return;
        }
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);
        QCOMPARE(process.exitCode(), signal);
        QCOMPARE(contentOf(out), QByteArray("earlier\n"));
    }

    // The widest table the reader takes: a header of as many names and a row
    // of as many numbers read; one column more is refused, with both counts,
    // and nothing is written.
    void mostColumns_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("at the bound") << maxColumns << 0;
        QTest::newRow("one column more") << maxColumns + 1 << 1;
    }

    void mostColumns()
    {
        QFETCH(int, width);
        QByteArrayList names;
        for (int c = 1; c <= width; ++c)
            names.append("c" + QByteArray::number(c));
        // BMI 1 / 2^2 = 0.25.
        const QString path =
            file("siroky.csv", names.join(';') + "\n1;2" + QByteArray(";0").repeated(width - 2) + "\n");
        const QString output = m_dir.filePath("siroky-vysledek.csv");
        QFile::remove(output);
        const CliRun r =
            runUnder("cs_CZ.UTF-8", {"apply", "2", path, "-c", "c1", "-c", "c2", "--output", output, "--strict"});
        QTEST(r.exitCode, "exitCode");
        if (r.exitCode == 0) {
            QCOMPARE(r.err, QByteArray());
            QCOMPARE(contentOf(output), QByteArray("1;2;0,25\n"));
        } else {
            QCOMPARE(r.err, QStringLiteral("Soubor „%1“ nelze přečíst: Tabulka má %2 sloupců (polí prvního řádku), "
                                           "program jich přečte nejvýš %3.\n")
                                .arg(path)
                                .arg(width)
                                .arg(maxColumns)
                                .toUtf8());
            QVERIFY(!QFile::exists(output));
        }
    }
};

QTEST_GUILESS_MAIN(TestCliReading)
#include "tst_clireading.moc"

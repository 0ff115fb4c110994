#include "CsvReader.h"
#include "TestFiles.h"

#include <QStringEncoder>
#include <QtTest>

#include <cmath>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using Row = QList<double>;
using Rows = QList<Row>;
using TextRows = QList<QStringList>;
using Columns = QList<int>;

Q_DECLARE_METATYPE(CsvReadOptions)

namespace {

// A missing value, as the table holds it.
const double na = qQNaN();

QByteArray utf16WithMark(const QString &text)
{
    QStringEncoder encoder(QStringConverter::Utf16LE);
    return QByteArray("\xFF\xFE", 2) + QByteArray(encoder.encode(text));
}

CsvTable readTable(const QByteArray &file, const CsvReadOptions &options = {})
{
    CsvTable table;
    QString error;
    if (!readCsvTable(file, options, &table, &error))
        qWarning() << error;
    return table;
}

// Where the values differ from the rows (NaN matches NaN); empty when alike.
QByteArray valuesDiffer(const CsvTable &table, const Rows &rows)
{
    if (!table.values.empty() && !table.values.isContinuous())
        return "values are not continuous";
    if (table.rows() != rows.size())
        return "rows: " + QByteArray::number(table.rows()) + ", expected " + QByteArray::number(rows.size());
    for (int r = 0; r < table.rows(); ++r) {
        if (table.values.cols != rows[r].size())
            return "row " + QByteArray::number(r) + " has " + QByteArray::number(table.values.cols) + " values";
        for (int c = 0; c < table.values.cols; ++c) {
            const double v = table.values.at<double>(r, c);
            const double e = rows[r][c];
            if (!(v == e || (std::isnan(v) && std::isnan(e))))
                return QByteArray("row %1, column %2: %3, expected %4")
                    .replace("%1", QByteArray::number(r))
                    .replace("%2", QByteArray::number(c))
                    .replace("%3", QByteArray::number(v, 'g', 17))
                    .replace("%4", QByteArray::number(e, 'g', 17));
        }
    }
    return {};
}

// "N" for a number column, "T" for a text one.
QString kindsOf(const CsvTable &table)
{
    QString kinds;
    for (ColumnKind kind : table.kinds)
        kinds += kind == ColumnKind::Text ? u'T' : u'N';
    return kinds;
}

// Each row's texts of the text columns, in column order.
TextRows textRowsOf(const CsvTable &table)
{
    TextRows rows;
    for (qsizetype r = 0; r < table.rows(); ++r) {
        QStringList row;
        for (const auto &[column, texts] : table.texts)
            row.append(texts.text(r));
        rows.append(row);
    }
    return rows;
}

QString raggedText(const QList<RaggedRow> &rows)
{
    QStringList parts;
    for (const RaggedRow &row : rows)
        parts.append(QStringLiteral("%1@%2:%3").arg(row.row).arg(row.line).arg(row.fields));
    return parts.join(u' ');
}

QString unreadText(const CsvTable &table)
{
    QStringList listed;
    for (const UnreadField &field : table.unread)
        listed.append(QStringLiteral("%1:%2:%3").arg(field.row).arg(field.column).arg(field.text));
    return listed.join(u' ');
}

// A first row of `width` names.
QByteArray namesRow(int width)
{
    QByteArrayList names;
    for (int c = 1; c <= width; ++c)
        names.append("c" + QByteArray::number(c));
    return names.join(';') + '\n';
}

// Ten rows "r;r*2" (r from 10 to 19): 60 bytes, and the same rows with the
// first digit of each second value changed, at the same size.
const QByteArray tenRows = "10;20\n11;22\n12;24\n13;26\n14;28\n15;30\n16;32\n17;34\n18;36\n19;38\n";
const QByteArray tenOtherRows = "10;90\n11;92\n12;94\n13;96\n14;98\n15;90\n16;92\n17;94\n18;96\n19;98\n";

// Changes the file at path as `change` says: "none"; "rewrite" (the other
// rows written over it at the same size); "nanosecond" (the same bytes, its
// modification time a nanosecond later); "truncate" (cut to half); "append"
// (a row more).
void changeFile(const QString &path, const QString &change)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    QVERIFY(fd >= 0);
    struct stat st {};
    QCOMPARE(::fstat(fd, &st), 0);
    if (change == "rewrite") {
        QCOMPARE(::pwrite(fd, tenOtherRows.constData(), size_t(tenOtherRows.size()), 0), ssize_t(tenOtherRows.size()));
    } else if (change == "nanosecond") {
        timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
        if (++times[1].tv_nsec == 1000000000) {
            times[1].tv_nsec = 0;
            ++times[1].tv_sec;
        }
        QCOMPARE(::futimens(fd, times), 0);
    } else if (change == "truncate") {
        QCOMPARE(::ftruncate(fd, st.st_size / 2), 0);
    } else if (change == "append") {
        QCOMPARE(::pwrite(fd, "20;40\n", 6, st.st_size), ssize_t(6));
    }
    ::close(fd);
}

} // namespace

class TestCsvReader : public QObject {
    Q_OBJECT

private slots:
    // texts: the text columns' cells of each row; none given, the table has no text column.
    void read_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<char>("separator");
        QTest::addColumn<bool>("point");
        QTest::addColumn<bool>("header");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QString>("kinds");
        QTest::addColumn<TextRows>("texts");
        const auto add = [](const char *tag, const QByteArray &file, char separator, bool point, bool header,
                            const QStringList &headers, const Rows &rows, const char *kinds, TextRows texts = {}) {
            if (texts.isEmpty())
                texts.resize(rows.size());
            QTest::newRow(tag) << file << separator << point << header << headers << rows << QString::fromLatin1(kinds)
                               << texts;
        };
        const QStringList ab{"a", "b"};
        const QStringList numbered{"1", "2", "3"};

        // R's write.csv: the row names' column under "", quoted texts, NA.
        add("R write.csv",
            "\"\",\"sex\",\"side\",\"weight\"\n\"1\",\"Female\",\"L\",12.5\n\"2\",\"Male\",\"R\",NA\n"
            "\"3\",\"Female\",NA,8.25\n",
            ',', true, true, {"", "sex", "side", "weight"}, {{1, na, na, 12.5}, {2, na, na, na}, {3, na, na, 8.25}},
            "NTTN", {{"Female", "L"}, {"Male", "R"}, {"Female", ""}});
        // A Czech spreadsheet: Windows-1250, decimal commas, digits grouped by
        // a space and by a no-break space (0xA0), an empty last field.
        add("Czech spreadsheet",
            "pohlav\xED;v\xFD\x9Aka;hmotnost\r\nmu\x9E;172,5;1 250,5\r\n\x9E" "ena;160;980\r\nmu\x9E;181,25;\r\n"
            "\x9E" "ena;158,0;1\xA0" "100\r\n",
            ';', false, true, {QStringLiteral("pohlaví"), QStringLiteral("výška"), QStringLiteral("hmotnost")},
            {{na, 172.5, 1250.5}, {na, 160, 980}, {na, 181.25, na}, {na, 158, 1100}}, "TNN",
            {{QStringLiteral("muž")}, {QStringLiteral("žena")}, {QStringLiteral("muž")}, {QStringLiteral("žena")}});
        add("tabs", "id\td\xC3\xA9lka\n1\t10.5\n2\t11,5\n", '\t', false, true, {"id", QStringLiteral("délka")},
            {{1, 10.5}, {2, 11.5}}, "NN");
        add("bars", "a|b\n1|2\n3|4\n", '|', false, true, ab, {{1, 2}, {3, 4}}, "NN");
        add("CR line ends", "a;b\r1;2\r3;4\r", ';', false, true, ab, {{1, 2}, {3, 4}}, "NN");
        add("CR LF line ends", "a,b\r\n1.5,2\r\n", ',', true, true, ab, {{1.5, 2}}, "NN");
        add("UTF-16 with mark", utf16WithMark(QStringLiteral("výška;váha\r\n172,5;70\r\n")), ';', false, true,
            {QStringLiteral("výška"), QStringLiteral("váha")}, {{172.5, 70}}, "NN");
        // The mark must go before the first field is read, or its quotes are data.
        add("UTF-8 mark", "\xEF\xBB\xBF\"id\",\"v\xC3\xBD\xC5\xA1ka\"\n1,2.5\n", ',', true, true,
            {"id", QStringLiteral("výška")}, {{1, 2.5}}, "NN");
        add("numbers first", "1;2;3\n4;5;6\n", ';', false, false, numbered, {{1, 2, 3}, {4, 5, 6}}, "NNN");
        // The number rule takes blanks and a plus sign: still no header.
        add("blank before a number", " 3;4;2\n5;6;7\n", ';', false, false, numbered, {{3, 4, 2}, {5, 6, 7}}, "NNN");
        add("plus sign", "+3;4;2\n5;6;7\n", ';', false, false, numbered, {{3, 4, 2}, {5, 6, 7}}, "NNN");
        add("NA in the first row", "1;NA;3\n4;5;6\n", ';', false, false, numbered, {{1, na, 3}, {4, 5, 6}}, "NNN");
        // Lines of single numbers with decimal commas are one column, not two.
        add("decimal commas alone", "1,5\n2,25\n", ';', false, false, {"1"}, {{1.5}, {2.25}}, "N");
        add("quoted separators and quotes", "name;note\n\"Nov\xC3\xA1k; Jan\";\"\xC5\x99" "ekl \"\"ano\"\"\"\n", ';',
            false, true, {"name", "note"}, {{na, na}}, "TT",
            {{QStringLiteral("Novák; Jan"), QStringLiteral("řekl \"ano\"")}});
        // Quoted NA is missing like NA, and a quoted number is a number.
        add("quoted NA and number", "\"x\"\n1.5\n\"NA\"\nNA\n\"2,5\"\n", ';', false, true, {"x"},
            {{1.5}, {na}, {na}, {2.5}}, "N");
        add("blank lines first", "\n\r\na;b\n\n1;2\n", ';', false, true, ab, {{1, 2}}, "NN");
    }

    void read()
    {
        QFETCH(QByteArray, file);
        QFETCH(char, separator);
        QFETCH(bool, point);
        QFETCH(bool, header);
        QFETCH(QStringList, headers);
        QFETCH(Rows, rows);
        QFETCH(QString, kinds);
        QFETCH(TextRows, texts);
        const CsvTable table = readTable(file);
        QCOMPARE(table.dialect.separator, separator);
        QCOMPARE(table.dialect.decimal, point ? DecimalMark::Point : DecimalMark::CommaOrPoint);
        QCOMPARE(table.dialect.header, header);
        QCOMPARE(table.headers, headers);
        QCOMPARE(valuesDiffer(table, rows), QByteArray());
        QCOMPARE(kindsOf(table), kinds);
        QCOMPARE(textRowsOf(table), texts);
        QVERIFY(table.unread.isEmpty());
        QVERIFY(table.shortRows.isEmpty());
        QVERIFY(table.longRows.isEmpty());
    }

    // Lines count from 1 over every physical line: the header, blank lines and
    // both lines of a quoted line break.
    void raggedRows()
    {
        const CsvTable table = readTable(QByteArray("name;x;y\r\n"                // 1
                                                    "\"Nov\xC3\xA1k\r\nJan\";1;2\r\n" // 2-3
                                                    "\r\n"                        // 4
                                                    "Svoboda;3\r\n"               // 5
                                                    "Dvo\xC5\x99\xC3\xA1k;4;5;6\r\n" // 6
                                                    "Mal\xC3\xBD;7;8;;\r\n"       // 7: a trailing separator
                                                    "\r\n"                        // 8
                                                    "Hor\xC3\xA1k\r\n"));         // 9
        QCOMPARE(table.dialect.separator, ';');
        QCOMPARE(table.headers, (QStringList{"name", "x", "y"}));
        QCOMPARE(valuesDiffer(table, Rows{{na, 1, 2}, {na, 3, na}, {na, 4, 5}, {na, 7, 8}, {na, na, na}}),
                 QByteArray());
        QCOMPARE(kindsOf(table), QStringLiteral("TNN"));
        QCOMPARE(textRowsOf(table), (TextRows{{QStringLiteral("Novák\r\nJan")}, {QStringLiteral("Svoboda")},
                                              {QStringLiteral("Dvořák")}, {QStringLiteral("Malý")},
                                              {QStringLiteral("Horák")}}));
        QCOMPARE(raggedText(table.shortRows), QStringLiteral("1@5:2 4@9:1"));
        QCOMPARE(raggedText(table.longRows), QStringLiteral("2@6:4"));
    }

    // A few texts in a number column are missing and listed as written.
    void strayTextInNumberColumn_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QString>("unread");
        QTest::newRow("semicolons") << QByteArray("a;b\n1;x\n2;3\n4;\"5 kg\"\n6;7\n")
                                    << Rows{{1, na}, {2, 3}, {4, na}, {6, 7}} << "0:1:x 2:1:5 kg";
        // Half texts is still a number column.
        QTest::newRow("half") << QByteArray("a;b\n1;x\n2;3\n") << Rows{{1, na}, {2, 3}} << "0:1:x";
        // With "," between fields a comma is no decimal mark, quoted or not.
        QTest::newRow("commas") << QByteArray("a,b\n\"1,5\",2\n3,4\n\"7\",\"1,500\"\n")
                                << Rows{{na, 2}, {3, 4}, {7, na}} << "0:0:1,5 2:1:1,500";
    }

    void strayTextInNumberColumn()
    {
        QFETCH(QByteArray, file);
        QFETCH(Rows, rows);
        QFETCH(QString, unread);
        const CsvTable table = readTable(file);
        QCOMPARE(valuesDiffer(table, rows), QByteArray());
        QCOMPARE(kindsOf(table), QStringLiteral("NN"));
        QVERIFY(table.texts.empty());
        QCOMPARE(unreadText(table), unread);
    }

    // Cells of a text column that look like numbers keep their text as
    // written, before its first text too; each text is held once.
    void mostlyTextColumnKeepsTexts()
    {
        const CsvTable table =
            readTable(QByteArray("id;v\n007;1\nA12;2\n12,50;3\nA12;4\n\"B7\";5\nNA;6\n+5;7\nC1;8\n"));
        QCOMPARE(kindsOf(table), QStringLiteral("TN"));
        QCOMPARE(textRowsOf(table),
                 (TextRows{{"007"}, {"A12"}, {"12,50"}, {"A12"}, {"B7"}, {""}, {"+5"}, {"C1"}}));
        const TextColumn &id = table.texts.at(0);
        QCOMPARE(id.texts.size(), 6);
        QCOMPARE(id.cells[1], id.cells[3]);
        QCOMPARE(id.cells[5], -1);
        QCOMPARE(valuesDiffer(table, Rows{{na, 1}, {na, 2}, {na, 3}, {na, 4}, {na, 5}, {na, 6}, {na, 7}, {na, 8}}),
                 QByteArray());
        QVERIFY(table.unread.isEmpty());
    }

    // Some columns read: the others are counted but not looked at.
    void projection_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Columns>("columns");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QString>("kinds");
        QTest::addColumn<TextRows>("texts");
        QTest::addColumn<QString>("unread");
        QTest::addColumn<QString>("shortRows");
        QTest::addColumn<QString>("longRows");

        const auto add = [](const char *tag, const QByteArray &file, const Columns &columns, const Rows &rows,
                            const QString &kinds, TextRows texts = {}, const char *unread = "",
                            const char *shortRows = "", const char *longRows = "") {
            if (texts.isEmpty())
                texts.resize(rows.size());
            QTest::newRow(tag) << file << columns << rows << kinds << texts << QString::fromUtf8(unread)
                               << QString::fromUtf8(shortRows) << QString::fromUtf8(longRows);
        };
        add("a text column read", "jm\xC3\xA9no;x;y\nNov\xC3\xA1k;1;2\nSvoboda;3;4\n", {0, 2},
            {{na, na, 2}, {na, na, 4}}, "TNN", {{QStringLiteral("Novák")}, {"Svoboda"}});
        // Column b would be a number column with one field that is no number.
        add("junk in a column passed over", "a;b;c\n1;x;3\n4;5;6\n7;8;9\n", {0, 2},
            {{1, na, 3}, {4, na, 6}, {7, na, 9}}, "NNN");
        // A column of texts passed over is a number column of missing values.
        add("texts passed over", "name;x\nA;1\nB;2\n", {1}, {{na, 1}, {na, 2}}, "NN");
        add("junk in a column read", "a;b;c\n1;x;3\n4;5;y\n", {1}, {{na, na, na}, {na, 5, na}}, "NNN", {}, "0:1:x");
        // Rows shorter and longer than the table, the fields past the last
        // column read counted: a field that is empty makes no row longer.
        add("short and long rows", "a;b;c\n1;2\n3;4;5;6\n7;8;9;\n10\n11;12;13\n", {0},
            {{1, na, na}, {3, na, na}, {7, na, na}, {10, na, na}, {11, na, na}}, "NNN", {}, "", "0@2:2 3@5:1",
            "1@3:4");
        // A quoted field may hold a separator or a line break: the lines
        // still count from the file.
        add("quotes passed over", "a;b;c\r\n1;\"x;\r\ny\";2\r\n3;\"\";4\r\n5;6\r\n", {0},
            {{1, na, na}, {3, na, na}, {5, na, na}}, "NNN", {}, "", "2@5:2");
        add("quotes in a long row", "a;b\n1;2;\"\"\n3;4;\"x\"\n", {0}, {{1, na}, {3, na}}, "NN", {}, "", "", "1@3:3");
        // Without a header the first row is data, passed over like the others.
        add("no header", "1;2;3\n4;x;5\n", {2}, {{na, na, 3}, {na, na, 5}}, "NNN");
        // Rows wider than the lanes that count their separators hold at once.
        Row wide(3000, na);
        wide[0] = 1;
        add("a long rest passed over",
            namesRow(3000) + "1" + QByteArray(";2").repeated(2999) + "\n1" + QByteArray(";2").repeated(2998) + "\n",
            {0}, {wide, wide}, QString(3000, u'N'), {}, "", "1@3:2999");
        add("columns past the width", "a;b\n1;2\n", {1, 5, -1}, {{na, 2}}, "NN");
        add("every column", "a;b\n1;x\n2;3\n", {1, 0}, {{1, na}, {2, 3}}, "NN", {}, "0:1:x");
    }

    void projection()
    {
        QFETCH(QByteArray, file);
        QFETCH(Columns, columns);
        QFETCH(Rows, rows);
        QFETCH(QString, kinds);
        QFETCH(TextRows, texts);
        CsvReadOptions options;
        options.columns.assign(columns.begin(), columns.end());
        const CsvTable table = readTable(file, options);
        // The header and the width as the whole file gives them.
        const CsvTable whole = readTable(file);
        QCOMPARE(table.headers, whole.headers);
        QCOMPARE(table.dialect.header, whole.dialect.header);
        QCOMPARE(valuesDiffer(table, rows), QByteArray());
        QCOMPARE(kindsOf(table), kinds);
        QCOMPARE(textRowsOf(table), texts);
        QTEST(unreadText(table), "unread");
        QTEST(raggedText(table.shortRows), "shortRows");
        QTEST(raggedText(table.longRows), "longRows");
        QCOMPARE(raggedText(table.shortRows), raggedText(whole.shortRows));
        QCOMPARE(raggedText(table.longRows), raggedText(whole.longRows));
    }

    // A column read alone is the column of the whole table, whatever its
    // neighbours hold.
    void projectedColumnAsInTheWhole()
    {
        QByteArray file("id;jm\xC3\xA9no;hmotnost;pozn\xC3\xA1mka;v\xC3\xBD\xC5\xA1ka\r\n");
        for (int i = 0; i < 300; ++i) {
            QByteArray line = QByteArray::number(i) + (i % 5 ? ";Nov\xC3\xA1k " : ";\"Nov\xC3\xA1k; ")
                              + QByteArray::number(i % 7) + (i % 5 ? ";" : "\";") + QByteArray::number(50 + i % 40)
                              + ",5;" + (i % 11 ? ";" : "\"\xC5\x99\xC3\xA1" "dek\r\nd\xC3\xA1l\";")
                              + (i % 13 ? "1,7" : "?");
            if (i % 17 == 0)
                line += ";;";
            if (i % 19 == 0)
                line += ";x";
            if (i % 23 == 0)
                line = QByteArray::number(i) + ";kr\xC3\xA1tk\xC3\xBD";
            file += line + "\r\n";
        }
        const CsvTable whole = readTable(file);
        QCOMPARE(kindsOf(whole), QStringLiteral("NTNTN"));
        QVERIFY(!whole.unread.isEmpty() && !whole.shortRows.isEmpty() && !whole.longRows.isEmpty());
        for (int c = 0; c < whole.width(); ++c) {
            CsvReadOptions options;
            options.columns = {c};
            const CsvTable table = readTable(file, options);
            QCOMPARE(table.rows(), whole.rows());
            QCOMPARE(table.kinds[size_t(c)], whole.kinds[size_t(c)]);
            if (whole.kinds[size_t(c)] == ColumnKind::Text) {
                QCOMPARE(table.texts.at(c).texts, whole.texts.at(c).texts);
                QVERIFY(table.texts.at(c).cells == whole.texts.at(c).cells);
            }
            for (int r = 0; r < whole.rows(); ++r) {
                const double a = table.values.at<double>(r, c);
                const double b = whole.values.at<double>(r, c);
                QVERIFY(a == b || (std::isnan(a) && std::isnan(b)));
            }
            QList<UnreadField> unread;
            for (const UnreadField &field : whole.unread)
                if (field.column == c)
                    unread.append(field);
            QCOMPARE(table.unread.size(), unread.size());
            for (qsizetype i = 0; i < unread.size(); ++i) {
                QCOMPARE(table.unread.at(i).row, unread.at(i).row);
                QCOMPARE(table.unread.at(i).text, unread.at(i).text);
            }
            QCOMPARE(raggedText(table.shortRows), raggedText(whole.shortRows));
            QCOMPARE(raggedText(table.longRows), raggedText(whole.longRows));
        }
    }

    // The widest table read; one column more is refused with both counts.
    void mostColumns_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("read");
        QTest::newRow("at the bound") << MaxCsvColumns << true;
        QTest::newRow("one column more") << MaxCsvColumns + 1 << false;
        QTest::newRow("far more") << 4 * MaxCsvColumns << false;
    }

    void mostColumns()
    {
        QFETCH(int, width);
        QFETCH(bool, read);
        const QByteArray file = namesRow(width) + "1;2\n";
        CsvTable table;
        QString error;
        QCOMPARE(readCsvTable(file, {}, &table, &error), read);
        if (read) {
            QCOMPARE(table.width(), width);
            QCOMPARE(table.headers.last(), QStringLiteral("c%1").arg(width));
            QCOMPARE(raggedText(table.shortRows), QStringLiteral("0@2:2"));
        } else {
            QCOMPARE(error, QStringLiteral("Tabulka má %1 sloupců (polí prvního řádku), program jich přečte "
                                           "nejvýš %2.")
                                .arg(width)
                                .arg(MaxCsvColumns));
            QCOMPARE(table.width(), 0);
            QCOMPARE(table.rows(), 0);
        }
    }

    // Rows far shorter than a wide header: the values would take a hundred
    // times the file. Refused before they are allocated, so a file of a few
    // hundred kilobytes cannot ask for gigabytes; full rows of the same width
    // read.
    void rowsShortAgainstTheHeader_data()
    {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("read");
        // 20,000 columns: "c1;...;c20000" is about 129 kB.
        QTest::newRow("full rows") << QByteArray("1;").repeated(19999) + "1\n" << 10 << true;
        // 2,000 rows of one field: 2,000 x 20,000 x 8 B = 320 MB of values
        // from a file of 133 kB, more than 64 x the file and 64 MB.
        QTest::newRow("one field each") << QByteArray("1\n") << 2000 << false;
    }

    void rowsShortAgainstTheHeader()
    {
        QFETCH(QByteArray, row);
        QFETCH(int, rows);
        QFETCH(bool, read);
        const QByteArray file = namesRow(20000) + row.repeated(rows);
        CsvTable table;
        QString error;
        QCOMPARE(readCsvTable(file, {}, &table, &error), read);
        QCOMPARE(table.rows(), read ? rows : 0);
        if (!read)
            QVERIFY2(error.contains(QStringLiteral("příliš krátké")), qPrintable(error));
    }

    // A file read in blocks (7 bytes here) is refused as changed when it does
    // not stay as it was from the first block to the last: changed after the
    // first block, between the reader's looks at it.
    void changeBetweenBlocks_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("reading"); // FileReading
        // Catches blocks joined wrong: a byte lost or doubled where one ends.
        QTest::newRow("untouched") << "none" << int(FileReading::Done);
        // Catches a check of the size alone: old rows and new ones read as one
        // table (a write after a look at the file moves its time to the
        // nanosecond on this kernel).
        QTest::newRow("rewritten in place at the same size") << "rewrite" << int(FileReading::Changed);
        // Catches a modification time compared to the second (or not at all).
        QTest::newRow("same bytes, a nanosecond later") << "nanosecond" << int(FileReading::Changed);
        // Catches a read on past the new end, or a crash were the file mapped.
        QTest::newRow("cut short") << "truncate" << int(FileReading::Changed);
        // Catches a file taken for as long as it was when opened.
        QTest::newRow("grown") << "append" << int(FileReading::Changed);
    }

    void changeBetweenBlocks()
    {
        QFETCH(QString, change);
        QFETCH(int, reading);
        const bool done = reading == int(FileReading::Done);
        QTemporaryDir dir;
        const QString path = writeFile(dir, "rows.csv", tenRows);
        QVERIFY(!path.isEmpty());
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(fd >= 0);
        const auto closeFd = qScopeGuard([fd] { ::close(fd); });
        int calls = 0;
        FileBlocks blocks;
        blocks.blockBytes = 7;
        blocks.afterBlock = [&] {
            if (calls++ == 0)
                changeFile(path, change);
        };
        QByteArray bytes = "earlier";
        QCOMPARE(int(readRegularFile(fd, tenRows.size(), &bytes, blocks)), reading);
        QCOMPARE(bytes, done ? tenRows : QByteArray("earlier"));
        // 60 bytes in blocks of 7: a look after each of the first eight; the
        // first change refused at the first look.
        QCOMPARE(calls, done ? 8 : 1);

        // The same through the import's reader (a window's import would show
        // old and new rows as one table): no table and the reason, or the
        // file's ten rows, column 2 twice column 1 (no header).
        QCOMPARE(writeFile(dir, "rows.csv", tenRows), path);
        calls = 0;
        CsvTable table;
        QString error;
        QCOMPARE(readCsvFile(path, {}, &table, &error, blocks), done);
        QCOMPARE(error, done ? QString() : QStringLiteral("Soubor se během čtení změnil."));
        Rows rows;
        for (int r = 10; done && r < 20; ++r)
            rows.append(Row{double(r), double(2 * r)});
        QCOMPARE(valuesDiffer(table, rows), QByteArray());
    }

    void options_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<CsvReadOptions>("options");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<Rows>("rows");

        const QByteArray file("a;b\n1;2\n3;4\n5;6\n");
        CsvReadOptions options;
        options.maxRows = 2;
        QTest::newRow("two rows") << file << options << QStringList{"a", "b"} << Rows{{1, 2}, {3, 4}};
        options.maxRows = 0;
        QTest::newRow("no rows") << file << options << QStringList{"a", "b"} << Rows{};
        options = {};
        options.header = true;
        QTest::newRow("numbers as header") << QByteArray("1;2\n3;4\n") << options << QStringList{"1", "2"}
                                           << Rows{{3, 4}};
        options = {};
        options.header = false;
        QTest::newRow("texts as data") << QByteArray("a;1\n2;3\n") << options << QStringList{"1", "2"}
                                       << Rows{{na, 1}, {2, 3}};
        options = {};
        options.separator = ',';
        QTest::newRow("separator given") << QByteArray("a;b,c\n1;2,3\n") << options << QStringList{"a;b", "c"}
                                         << Rows{{na, 3}};
        options.decimal = DecimalMark::CommaOrPoint;
        QTest::newRow("decimal mark given") << QByteArray("a,b\n\"1,5\",2\n") << options << QStringList{"a", "b"}
                                            << Rows{{1.5, 2}};
        options = {};
        options.encoding = TextEncoding::Windows1250;
        QTest::newRow("encoding given") << QByteArray("\xC5\xBE\n1\n") << options
                                        << QStringList{QStringLiteral("Ĺľ")} << Rows{{1}};
    }

    void options()
    {
        QFETCH(QByteArray, file);
        QFETCH(CsvReadOptions, options);
        QFETCH(QStringList, headers);
        QFETCH(Rows, rows);
        const CsvTable table = readTable(file, options);
        QCOMPARE(table.headers, headers);
        QCOMPARE(valuesDiffer(table, rows), QByteArray());
    }

    void emptyFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("nothing") << QByteArray();
        QTest::newRow("blank lines") << QByteArray("\n\r\n\r");
        QTest::newRow("only a mark") << QByteArray("\xEF\xBB\xBF");
    }

    void emptyFile()
    {
        QFETCH(QByteArray, file);
        CsvTable table;
        QString error;
        QVERIFY(readCsvTable(file, {}, &table, &error));
        QCOMPARE(table.width(), 0);
        QCOMPARE(table.rows(), 0);
        QVERIFY(error.isEmpty());
    }

    void suggestion_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<char>("read");
        QTest::addColumn<char>("suggested");
        QTest::newRow("commas read by semicolon") << QByteArray("a,b\n1,2\n") << ';' << ',';
        QTest::newRow("bars read by semicolon") << QByteArray("a|b\n1|2\n") << ';' << '|';
        QTest::newRow("tabs read by comma") << QByteArray("a\tb\n1.5\t2\n") << ',' << '\t';
        QTest::newRow("already split") << QByteArray("a;b\n1;2\n") << ';' << '\0';
        QTest::newRow("one column") << QByteArray("x\n1\n") << ';' << '\0';
        QTest::newRow("decimal commas") << QByteArray("v\n1,5\n2,5\n") << ';' << '\0';
        QTest::newRow("UTF-16") << utf16WithMark(QStringLiteral("a,b\r\n1,2\r\n")) << ';' << ',';
    }

    void suggestion()
    {
        QFETCH(QByteArray, file);
        QFETCH(char, read);
        QFETCH(char, suggested);
        CsvReadOptions options;
        options.separator = read;
        const CsvTable table = readTable(file, options);
        QCOMPARE(suggestedSeparator(file, table.dialect), suggested);
    }

    void separatorNames()
    {
        QCOMPARE(separatorName(';'), QStringLiteral("středník"));
        QCOMPARE(separatorName(','), QStringLiteral("čárka"));
        QCOMPARE(separatorName('\t'), QStringLiteral("tabulátor"));
        QCOMPARE(separatorName('|'), QStringLiteral("svislá čára"));
        QCOMPARE(separatorName('#'), QStringLiteral("„#“"));
    }

};

QTEST_APPLESS_MAIN(TestCsvReader)
#include "tst_csvreader.moc"

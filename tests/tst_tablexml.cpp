// The record of a table in a project's index: what writeXml writes, what
// readXml and its entry restore, and records and entries this program could
// not have written.

#include "MethodCatalog.h"
#include "ProjectArchive.h"
#include "TTableModel.h"
#include "TableTestSupport.h"

#include <QBuffer>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <QtTest>

#include <memory>

using Row = QList<double>;
using Rows = QList<Row>;

namespace {

// The "model" element as the project writer makes it: "src" first, then the
// table's own record.
QString record(const TTableModel &table)
{
    QString text;
    QXmlStreamWriter xml(&text);
    xml.writeStartElement(QStringLiteral("model"));
    xml.writeAttribute(QStringLiteral("src"), QStringLiteral("0.csv"));
    table.writeXml(xml);
    xml.writeEndElement();
    return text;
}

// A reader standing on the first "model" start element of the text.
std::unique_ptr<QXmlStreamReader> readerAtModel(const QString &text)
{
    auto xml = std::make_unique<QXmlStreamReader>(text);
    while (!xml->atEnd() && !(xml->isStartElement() && xml->name() == QLatin1String("model")))
        xml->readNext();
    return xml;
}

// The value rows of the table, as its project entry holds them.
QByteArray entryOf(const TTableModel &table)
{
    QBuffer entry;
    entry.open(QIODevice::WriteOnly);
    writeTableEntry(table, &entry);
    return entry.data();
}

// Reads the entry into a table whose record was read; the reason when refused.
bool readEntry(TTableModel &table, QByteArray entry, QString *reason = nullptr, qint64 memoryLimit = -1)
{
    QBuffer buffer(&entry);
    buffer.open(QIODevice::ReadOnly);
    return table.readCsv(&buffer, reason, memoryLimit);
}

QString marksOf(const TTableModel &table)
{
    QString marks;
    for (int r = 0; r < table.rowCount(); ++r)
        marks += table.isRowChecked(r) ? u'1' : u'0';
    return marks;
}

} // namespace

class TestTableXml : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { buildMethodCatalog(); }

    void written_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QList<int>>("unchecked");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QString>("expected");
        QTest::newRow("source, middle row unchecked")
            << int(SourceDataType) << Rows{{1, 2}, {3, 4}, {5, 6}} << QList<int>{1} << QStringList{"a", "b"}
            << QString::fromUtf8("<model src=\"0.csv\" rows=\"3\" cols=\"2\" name=\"source\" type=\"109\" "
                                 "checkedRows=\"101\"><headers><header id=\"0\" title=\"a\"/>"
                                 "<header id=\"1\" title=\"b\"/></headers></model>");
        // Three values a row, four columns: the verdict has no stored value.
        QTest::newRow("cranial index") << 23 << Rows{{150, 200}, {140, 190}} << QList<int>{} << QStringList{}
                                       << QString::fromUtf8("<model src=\"0.csv\" rows=\"2\" cols=\"4\" name=\"Index "
                                                            "cranialis (délkošířkový index lebky)\" type=\"23\" "
                                                            "checkedRows=\"11\"><headers/></model>");
        QTest::newRow("WHR") << 3 << Rows{{80, 100}} << QList<int>{} << QStringList{}
                             << QString::fromUtf8("<model src=\"0.csv\" rows=\"1\" cols=\"5\" name=\"Index "
                                                  "rizikovosti\" type=\"3\" checkedRows=\"1\"><headers/></model>");
        QTest::newRow("source without headers") << int(SourceDataType) << Rows{{7}} << QList<int>{0} << QStringList{}
                                                << QString::fromUtf8("<model src=\"0.csv\" rows=\"1\" cols=\"1\" "
                                                                     "name=\"source\" type=\"109\" checkedRows=\"0\">"
                                                                     "<headers/></model>");
        QTest::newRow("empty source") << int(SourceDataType) << Rows{} << QList<int>{} << QStringList{}
                                      << QString::fromUtf8("<model src=\"0.csv\" rows=\"0\" cols=\"0\" name=\"source\" "
                                                           "type=\"109\" checkedRows=\"\"><headers/></model>");
        // "cols" bounds the entry: the longest row, not the width of the first.
        QTest::newRow("ragged source") << int(SourceDataType) << Rows{{1}, {2, 3, 4}, {5, 6}} << QList<int>{}
                                       << QStringList{}
                                       << QString::fromUtf8("<model src=\"0.csv\" rows=\"3\" cols=\"3\" "
                                                            "name=\"source\" type=\"109\" checkedRows=\"111\">"
                                                            "<headers/></model>");
        QTest::newRow("escaped header") << int(SourceDataType) << Rows{{1}} << QList<int>{}
                                        << QStringList{QString::fromUtf8("\"<Výška> & co\"")}
                                        << QString::fromUtf8("<model src=\"0.csv\" rows=\"1\" cols=\"1\" name=\"source\" "
                                                             "type=\"109\" checkedRows=\"1\"><headers><header id=\"0\" "
                                                             "title=\"&quot;&lt;Výška&gt; &amp; co&quot;\"/>"
                                                             "</headers></model>");
    }

    void written()
    {
        QFETCH(int, type);
        QFETCH(Rows, rows);
        QFETCH(QList<int>, unchecked);
        QFETCH(QStringList, headers);
        QFETCH(QString, expected);
        TTableModel table(type, nullptr);
        table.appendRows(rows);
        for (int r : unchecked)
            table.setData(table.index(r, 0), 0, Qt::CheckStateRole);
        for (int c = 0; c < headers.size(); ++c)
            table.setHeaderData(c + 1, Qt::Horizontal, headers.at(c), Qt::DisplayRole);
        QCOMPARE(record(table), expected);
    }

    void readBack_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QList<int>>("unchecked");
        QTest::addColumn<QStringList>("headers");
        QTest::newRow("source") << int(SourceDataType) << Rows{{1, 2}, {3, 4}, {5, 6}} << QList<int>{1}
                                << QStringList{QString::fromUtf8("Výška"), "&<>\"'"};
        QTest::newRow("source without headers") << int(SourceDataType) << Rows{{1}} << QList<int>{} << QStringList{};
        QTest::newRow("empty source") << int(SourceDataType) << Rows{} << QList<int>{} << QStringList{};
        QTest::newRow("unit conversion, all unchecked") << 53 << Rows{{1}, {2}} << QList<int>{0, 1} << QStringList{};
        QTest::newRow("Giles and Elliot") << 47 << Rows{{1, 2, 3, 4, 5, 6, 7, 8}} << QList<int>{} << QStringList{};
        QTest::newRow("ragged source") << int(SourceDataType) << Rows{{1, 2}, {}, {3, 4, 5, 6}, {7}} << QList<int>{}
                                       << QStringList{"a"};
    }

    void readBack()
    {
        QFETCH(int, type);
        QFETCH(Rows, rows);
        QFETCH(QList<int>, unchecked);
        QFETCH(QStringList, headers);
        TTableModel written(type, nullptr);
        written.appendRows(rows);
        for (int r : unchecked)
            written.setData(written.index(r, 0), 0, Qt::CheckStateRole);
        for (int c = 0; c < headers.size(); ++c)
            written.setHeaderData(c + 1, Qt::Horizontal, headers.at(c), Qt::DisplayRole);

        const auto xml = readerAtModel(record(written));
        TTableModel read;
        QCOMPARE(read.readXml(*xml), QStringLiteral("0.csv"));
        QVERIFY(!xml->hasError());
        QCOMPARE(read.type(), type);
        QCOMPARE(read.headers(), headers);
        // The rows come with the table's entry; until then there are none.
        QCOMPARE(read.rowCount(), 0);
        QVERIFY(readEntry(read, entryOf(written)));
        QCOMPARE(read.rowCount(), written.rowCount());
        QCOMPARE(read.columnCount(), written.columnCount());
        QCOMPARE(marksOf(read), marksOf(written));
        // A result's rows come back with every column of its method, the
        // verdict columns 0; a source table's rows as they were.
        Rows expected = storedRows(written);
        if (type != SourceDataType)
            for (QList<double> &row : expected)
                row.resize(qMax(row.size(), qsizetype(written.width())), 0.0);
        QCOMPARE(storedRows(read), expected);
    }

    void resultRowsComeBackWithEveryColumn()
    {
        // Written with three values a row, read back with four: the verdict
        // column has no stored value and reads as 0.
        TTableModel written(23, nullptr);
        written.appendRows({{150, 200}, {160, 200}});
        QCOMPARE(written.rowLength(0), 3);
        const auto xml = readerAtModel(record(written));
        TTableModel read;
        read.readXml(*xml);
        QVERIFY(readEntry(read, entryOf(written)));
        QCOMPARE(read.rowLength(0), 4);
        QCOMPARE(read.rowLength(1), 4);
        QCOMPARE(read.value(0, 3), 0.0);
        QCOMPARE(read.value(0, 2), 75.0);
        QCOMPARE(read.value(1, 2), 80.0);
        QCOMPARE(read.data(read.index(0, 4)).toString(), QString::fromUtf8("dolichokranní"));
        QCOMPARE(read.data(read.index(1, 4)).toString(), QString::fromUtf8("mesokranní"));
    }

    void checkMarks_data()
    {
        QTest::addColumn<QString>("attribute");
        QTest::addColumn<QString>("marks");
        QTest::newRow("as written") << "101" << "101";
        QTest::newRow("shorter: the rest unchecked") << "1" << "100";
        QTest::newRow("longer: the surplus ignored") << "11111" << "111";
        QTest::newRow("only 1 checks") << "1x2" << "100";
        QTest::newRow("absent") << QString() << "000";
    }

    void checkMarks()
    {
        QFETCH(QString, attribute);
        QFETCH(QString, marks);
        const QString checked =
            attribute.isNull() ? QString() : QStringLiteral(" checkedRows=\"%1\"").arg(attribute);
        const auto xml =
            readerAtModel(QStringLiteral("<model rows=\"3\" cols=\"1\" type=\"53\"%1><headers/></model>").arg(checked));
        TTableModel read;
        read.readXml(*xml);
        QVERIFY(!xml->hasError());
        QVERIFY(readEntry(read, "1\n2\n3\n"));
        QCOMPARE(marksOf(read), marks);
    }

    void resultHeadersAreNotRead()
    {
        const auto xml = readerAtModel(QStringLiteral("<model rows=\"1\" cols=\"2\" type=\"53\" checkedRows=\"1\">"
                                                      "<headers><header id=\"0\" title=\"x\"/></headers></model>"));
        TTableModel read;
        read.readXml(*xml);
        QVERIFY(read.headers().isEmpty());
        QCOMPARE(read.headerData(1, Qt::Horizontal), QVariant(QStringLiteral("Metry [m]")));
    }

    void headersFollowTheirOrder()
    {
        // The position is the element's order, not its "id".
        const auto xml = readerAtModel(QStringLiteral(
            "<model rows=\"1\" cols=\"2\" type=\"109\" checkedRows=\"1\"><!-- note -->\n  <headers>\n"
            "    <header id=\"1\" title=\"b\"/>\n    <header id=\"0\" title=\"a\"/>\n  </headers></model>"));
        TTableModel read;
        read.readXml(*xml);
        QCOMPARE(read.headers(), (QStringList{"b", "a"}));
        QVERIFY(xml->isEndElement());
        QCOMPARE(xml->name(), QLatin1String("headers"));
    }

    void sourceWithoutHeaders_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("nextToken");
        QTest::addColumn<bool>("start");
        QTest::newRow("nested model follows")
            << "<model rows=\"1\" cols=\"1\" type=\"109\" checkedRows=\"1\">\n  <model src=\"0/1.csv\"/></model>"
            << "model" << true;
        QTest::newRow("end of the model follows") << "<model rows=\"1\" cols=\"1\" type=\"109\" checkedRows=\"1\"/>"
                                                  << "model" << false;
    }

    void sourceWithoutHeaders()
    {
        QFETCH(QString, text);
        QFETCH(QString, nextToken);
        QFETCH(bool, start);
        const auto xml = readerAtModel(text);
        TTableModel read;
        bool onNextToken = false;
        read.readXml(*xml, &onNextToken);
        QVERIFY(!xml->hasError());
        QVERIFY(read.headers().isEmpty());
        // The token that belongs to the caller is the one the reader stands on.
        QVERIFY(onNextToken);
        QCOMPARE(xml->isStartElement(), start);
        QCOMPARE(xml->isEndElement(), !start);
        QCOMPARE(xml->name(), nextToken);
        if (start)
            QCOMPARE(xml->attributes().value(QLatin1String("src")), QLatin1String("0/1.csv"));
    }

    void absentTypeReadsAsZero()
    {
        const auto xml = readerAtModel(QStringLiteral("<model rows=\"1\" cols=\"3\" checkedRows=\"1\"/>"));
        TTableModel read;
        read.readXml(*xml);
        QVERIFY(!xml->hasError());
        QCOMPARE(read.type(), 0);
        QCOMPARE(read.columnCount(), 4);
    }

    void refused_data()
    {
        QTest::addColumn<QString>("attributes");
        QTest::newRow("negative rows") << "rows=\"-1\" cols=\"2\" type=\"109\"";
        QTest::newRow("rows not a number") << "rows=\"abc\" cols=\"2\" type=\"109\"";
        QTest::newRow("empty rows") << "rows=\"\" cols=\"2\" type=\"109\"";
        QTest::newRow("fractional rows") << "rows=\"1.5\" cols=\"2\" type=\"109\"";
        QTest::newRow("rows in exponent form") << "rows=\"1e3\" cols=\"2\" type=\"109\"";
        QTest::newRow("hexadecimal rows") << "rows=\"0x10\" cols=\"2\" type=\"109\"";
        QTest::newRow("rows beyond 64 bits") << "rows=\"99999999999999999999\" cols=\"2\" type=\"109\"";
        QTest::newRow("rows beyond 32 bits") << "rows=\"4294967297\" cols=\"1\" type=\"109\"";
        QTest::newRow("rows beyond an int") << "rows=\"2147483648\" cols=\"1\" type=\"109\"";
        QTest::newRow("cols beyond an int") << "rows=\"1\" cols=\"2147483648\" type=\"109\"";
        QTest::newRow("negative cols") << "rows=\"2\" cols=\"-3\" type=\"109\"";
        QTest::newRow("cols not a number") << "rows=\"2\" cols=\"x\" type=\"23\"";
        QTest::newRow("negative type") << "rows=\"1\" cols=\"1\" type=\"-1\"";
        QTest::newRow("empty slot") << "rows=\"1\" cols=\"1\" type=\"100\"";
        QTest::newRow("user function id") << "rows=\"1\" cols=\"1\" type=\"110\"";
        QTest::newRow("type beyond the catalog") << "rows=\"1\" cols=\"1\" type=\"100000\"";
    }

    void refused()
    {
        QFETCH(QString, attributes);
        const auto xml = readerAtModel(
            QStringLiteral("<kstproject><model src=\"0.csv\" %1 checkedRows=\"1\"><headers/></model></kstproject>")
                .arg(attributes));
        TTableModel table;
        table.appendRows({{1, 2}});
        QSignalSpy resets(&table, &QAbstractItemModel::modelReset);
        QCOMPARE(table.readXml(*xml), QString());
        // Reported for the project reader to show, and the table is as it was.
        QVERIFY(xml->hasError());
        QCOMPARE(xml->error(), QXmlStreamReader::CustomError);
        QVERIFY(!xml->errorString().isEmpty());
        QCOMPARE(resets.count(), 0);
        QCOMPARE(table.type(), SourceDataType);
        QCOMPARE(table.rowCount(), 1);
        QCOMPARE(table.value(0, 1), 2.0);
    }

    void declaredSizesCostNothing_data()
    {
        QTest::addColumn<QString>("attributes");
        QTest::newRow("largest int both") << "rows=\"2147483647\" cols=\"2147483647\" type=\"109\"";
        QTest::newRow("rows alone past 2^25") << "rows=\"33554433\" cols=\"0\" type=\"109\"";
        QTest::newRow("values past 2^25") << "rows=\"2097153\" cols=\"16\" type=\"109\"";
        QTest::newRow("result table") << "rows=\"2147483647\" cols=\"2147483647\" type=\"23\"";
    }

    void declaredSizesCostNothing()
    {
        // Any size a table can have is taken (no cap of its own), and nothing
        // is allocated for it: sized from the record, these would need up to
        // exabytes. The entry brings the rows; a short one is refused.
        QFETCH(QString, attributes);
        const auto xml = readerAtModel(QStringLiteral("<model %1 checkedRows=\"1\"/>").arg(attributes));
        TTableModel read;
        read.readXml(*xml);
        QVERIFY2(!xml->hasError(), qPrintable(xml->errorString()));
        QCOMPARE(read.rowCount(), 0);
        QString reason;
        QVERIFY(!readEntry(read, "1;2\n3;4\n", &reason));
        QVERIFY2(reason.startsWith(QString::fromUtf8("Hodnoty tabulky jsou jen na 2 z ")), qPrintable(reason));
        QCOMPARE(read.rowCount(), 0);
    }

    void entryGivesTheRows_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cols");
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<Rows>("expected");
        QTest::newRow("as written") << 2 << 2 << QByteArray("1;2\n3;4\n") << Rows{{1, 2}, {3, 4}};
        // A ragged source table keeps its shape: no zeros added, no value cut.
        QTest::newRow("ragged rows keep their lengths")
            << 4 << 1 << QByteArray("1\n2;3;4\n\n5;6\n") << Rows{{1}, {2, 3, 4}, {}, {5, 6}};
        QTest::newRow("CR LF") << 2 << 2 << QByteArray("1;2\r\n\r\n") << Rows{{1, 2}, {}};
        QTest::newRow("no final line end") << 2 << 2 << QByteArray("1;2\n3;4") << Rows{{1, 2}, {3, 4}};
        QTest::newRow("surplus lines ignored") << 1 << 1 << QByteArray("1\n2\n3\n") << Rows{{1}};
        QTest::newRow("empty fields") << 1 << 3 << QByteArray(";;\n") << Rows{{0, 0, 0}};
        QTest::newRow("decimal comma") << 1 << 2 << QByteArray("1,5;-2,25e-3\n") << Rows{{1.5, -0.00225}};
        QTest::newRow("no rows") << 0 << 0 << QByteArray() << Rows{};
        // Older versions wrote no line for a row without values.
        QTest::newRow("rows the entry lacks come without values")
            << 3 << 1 << QByteArray("1\n2\n") << Rows{{1}, {2}, {}};
        QTest::newRow("rows of an empty entry come without values") << 2 << 0 << QByteArray() << Rows{{}, {}};
        // A million rows without values from a megabyte of line ends: the
        // declared width must not be allocated for each of them.
        QTest::newRow("empty rows of a wide record")
            << 1000000 << 2147483647 << QByteArray(1000000, '\n') << Rows(1000000, Row{});
    }

    void entryGivesTheRows()
    {
        QFETCH(int, rows);
        QFETCH(int, cols);
        QFETCH(QByteArray, entry);
        QFETCH(Rows, expected);
        const auto xml = readerAtModel(
            QStringLiteral("<model rows=\"%1\" cols=\"%2\" type=\"109\" checkedRows=\"10\"/>").arg(rows).arg(cols));
        TTableModel read;
        read.readXml(*xml);
        QString reason;
        QVERIFY2(readEntry(read, entry, &reason), qPrintable(reason));
        QCOMPARE(storedRows(read), expected);
        QCOMPARE(read.isRowChecked(0), rows > 0);
        QVERIFY(!read.isRowChecked(1));
        // The values are the table's own: a later read of a sized table fills them.
        if (rows == 2 && cols == 2 && entry.startsWith("1;2\n3")) {
            QVERIFY(readEntry(read, "7;8\n"));
            QCOMPARE(storedRows(read), (Rows{{7, 8}, {3, 4}}));
        }
    }

    void entryRefused_data()
    {
        QTest::addColumn<QString>("attributes");
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<qint64>("memoryLimit");
        QTest::addColumn<QString>("reason");
        // More rows lacking than the entry has bytes, and 4096: no table of ours.
        QTest::newRow("far fewer lines than rows")
            << "rows=\"4100\" cols=\"1\"" << QByteArray("1\n") << qint64(-1)
            << QString::fromUtf8("Hodnoty tabulky jsou jen na 1 z 4100 řádků.");
        QTest::newRow("empty entry") << "rows=\"4097\" cols=\"1\"" << QByteArray() << qint64(-1)
                                     << QString::fromUtf8("Hodnoty tabulky jsou jen na 0 z 4097 řádků.");
        // A row of one value takes at most 26 bytes, the table 4096 more.
        QTest::newRow("longer than its rows could be written")
            << "rows=\"1\" cols=\"1\"" << QByteArray("1\n") + QByteArray(4200, '9') << qint64(-1)
            << QString::fromUtf8("Hodnoty tabulky jsou delší, než může být 1 řádků po 1 hodnotách.");
        QTest::newRow("one line past what its rows could be written in")
            << "rows=\"1\" cols=\"0\"" << QByteArray(4099, '\n') << qint64(-1)
            << QString::fromUtf8("Hodnoty tabulky jsou delší, než může být 1 řádků po 0 hodnotách.");
        // 1000 rows of 10 values: 80 kB of values from 21 kB of text.
        const QByteArray tenValues = "1;2;3;4;5;6;7;8;9;10\n";
        QTest::newRow("values past the memory limit")
            << "rows=\"1000\" cols=\"10\"" << tenValues.repeated(1000) << qint64(60000)
            << QString::fromUtf8("Na hodnoty tabulky nestačí paměť.");
        QTest::newRow("text past the memory limit")
            << "rows=\"1000\" cols=\"10\"" << tenValues.repeated(1000) << qint64(20000)
            << QString::fromUtf8("Na hodnoty tabulky nestačí paměť.");
    }

    void entryRefused()
    {
        QFETCH(QString, attributes);
        QFETCH(QByteArray, entry);
        QFETCH(qint64, memoryLimit);
        QFETCH(QString, reason);
        const auto xml = readerAtModel(QStringLiteral("<model %1 type=\"109\"/>").arg(attributes));
        TTableModel read;
        read.readXml(*xml);
        QVERIFY(!xml->hasError());
        QString given;
        QVERIFY(!readEntry(read, entry, &given, memoryLimit));
        QCOMPARE(given, reason);
        QCOMPARE(read.rowCount(), 0);
    }

    void memoryLimitLetsATableThrough()
    {
        // The limit of the refusals above, and the same table within it.
        const auto xml = readerAtModel(QStringLiteral("<model rows=\"1000\" cols=\"10\" type=\"109\"/>"));
        TTableModel read;
        read.readXml(*xml);
        QString reason;
        QVERIFY2(readEntry(read, QByteArray("1;2;3;4;5;6;7;8;9;10\n").repeated(1000), &reason, 120000),
                 qPrintable(reason));
        QCOMPARE(read.rowCount(), 1000);
        QCOMPARE(read.value(999, 9), 10.0);
    }

    void messageIsCzech()
    {
        const auto xml = readerAtModel(QStringLiteral("<model rows=\"-5\" cols=\"1\" type=\"109\"/>"));
        TTableModel read;
        read.readXml(*xml);
        QCOMPARE(xml->errorString(), QString::fromUtf8("Záznam tabulky v projektu má neplatný počet řádků „-5“."));
    }
};

QTEST_GUILESS_MAIN(TestTableXml)
#include "tst_tablexml.moc"

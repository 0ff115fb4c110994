// The record of a table in a project's index: what writeXml writes, what
// readXml restores, and records this program could not have written.

#include "MethodCatalog.h"
#include "TTableModel.h"

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
        QCOMPARE(read.rowCount(), written.rowCount());
        QCOMPARE(read.columnCount(), written.columnCount());
        QCOMPARE(marksOf(read), marksOf(written));
        QCOMPARE(read.headers(), headers);
        // The values come from the table's entry; until then they are 0.
        for (int r = 0; r < read.rowCount(); ++r) {
            QCOMPARE(read.rowLength(r), read.columnCount() - 1);
            for (int c = 0; c < read.rowLength(r); ++c)
                QCOMPARE(read.value(r, c), 0.0);
        }
    }

    void resultRowsGetTheirFullWidth()
    {
        // Written with three values a row, read back with four.
        TTableModel written(23, nullptr);
        written.appendRows({{150, 200}, {160, 200}});
        QBuffer entry;
        entry.open(QIODevice::WriteOnly);
        QVERIFY(written.writeCsv(&entry));
        entry.close();

        const auto xml = readerAtModel(record(written));
        TTableModel read;
        read.readXml(*xml);
        entry.open(QIODevice::ReadOnly);
        QVERIFY(read.readCsv(&entry));
        QCOMPARE(read.rowLength(0), 4);
        QCOMPARE(read.value(0, 2), 75.0);
        QCOMPARE(read.value(0, 3), 0.0);
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
        QVERIFY(read.headers().isEmpty());
        QCOMPARE(read.rowCount(), 1);
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
        QTest::newRow("negative cols") << "rows=\"2\" cols=\"-3\" type=\"109\"";
        QTest::newRow("cols not a number") << "rows=\"2\" cols=\"x\" type=\"23\"";
        QTest::newRow("absurd cols") << "rows=\"1\" cols=\"2147483647\" type=\"109\"";
        QTest::newRow("absurd product") << "rows=\"100000\" cols=\"100000\" type=\"109\"";
        QTest::newRow("largest int both") << "rows=\"2147483647\" cols=\"2147483647\" type=\"3\"";
        QTest::newRow("many rows without columns") << "rows=\"33554433\" cols=\"0\" type=\"109\"";
        QTest::newRow("one value over the limit") << "rows=\"2097153\" cols=\"16\" type=\"109\"";
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

    void largestRecordIsTaken()
    {
        // 2097152 rows of 16 values: exactly the most a record may ask for.
        const auto xml = readerAtModel(QStringLiteral("<model rows=\"2097152\" cols=\"16\" type=\"109\"/>"));
        TTableModel read;
        read.readXml(*xml);
        QVERIFY(!xml->hasError());
        QCOMPARE(qint64(read.rowCount()) * (read.columnCount() - 1), TTableModel::MaxRecordValues);
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

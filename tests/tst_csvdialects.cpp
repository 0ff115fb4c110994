#include "CsvImport.h"
#include "NumberReader.h"
#include "TableTestSupport.h"
#include "ValueRows.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QtTest>

#include <cmath>
#include <cstdio>

namespace {

QByteArray utf16WithMark(const QString &text)
{
    QStringEncoder encoder(QStringConverter::Utf16LE);
    return QByteArray("\xFF\xFE", 2) + QByteArray(encoder.encode(text));
}

} // namespace

class TestCsvDialects : public QObject {
    Q_OBJECT

private slots:
    void import_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<int>("width");

        const double inf = qInf();
        QTest::newRow("LF") << QByteArray("a;b\n1;2\n3;4\n") << QStringList{"a", "b"} << Rows{{1, 2}, {3, 4}} << 2;
        QTest::newRow("CR LF") << QByteArray("a;b\r\n1,5;2\r\n") << QStringList{"a", "b"} << Rows{{1.5, 2}} << 2;
        QTest::newRow("no final line end") << QByteArray("a\n7") << QStringList{"a"} << Rows{{7}} << 1;
        QTest::newRow("UTF-8 mark") << QByteArray("\xEF\xBB\xBFV\xC3\xBD\xC5\xA1ka\n1,5\n")
                                    << QStringList{QStringLiteral("Výška")} << Rows{{1.5}} << 1;
        QTest::newRow("UTF-16 mark") << utf16WithMark(QStringLiteral("Výška;Žák\r\n1,5;2\r\n"))
                                     << QStringList{QStringLiteral("Výška"), QStringLiteral("Žák")}
                                     << Rows{{1.5, 2}} << 2;
        QTest::newRow("Windows-1250 header") << QByteArray("V\xFD\x9Aka;\x8E\xE1k;\xE8\xEDslo\n1;2;3\n")
                                             << QStringList{QStringLiteral("Výška"), QStringLiteral("Žák"),
                                                            QStringLiteral("číslo")}
                                             << Rows{{1, 2, 3}} << 3;
        QTest::newRow("empty and trailing fields") << QByteArray("a;b;c\n1;;3;\n")
                                                   << QStringList{"a", "b", "c"} << Rows{{1, 0, 3, 0}} << 4;
        QTest::newRow("empty header texts count") << QByteArray(";x;\n1;2;3\n")
                                                  << QStringList{"", "x", ""} << Rows{{1, 2, 3}} << 3;
        // A mark inside the line is text like any other, looked up alone or not.
        QTest::newRow("byte-order mark inside") << QByteArray("a;\xEF\xBB\xBF" "b;\xEF\xBB\xBF\n1;2;3\n")
                                                << QStringList{"a", QChar(0xFEFF) + QStringLiteral("b"),
                                                               QString(QChar(0xFEFF))}
                                                << Rows{{1, 2, 3}} << 3;
        // A broken sequence at the end of a field is one character, alone or not.
        QTest::newRow("broken UTF-8 after a mark") << QByteArray("\xEF\xBB\xBF\xC9;x\n1;2\n")
                                                   << QStringList{QString(QChar(0xFFFD)), "x"} << Rows{{1, 2}} << 2;
        QTest::newRow("fields as they stand") << QByteArray("\"a\"; b \n1;2\n")
                                              << QStringList{"\"a\"", " b "} << Rows{{1, 2}} << 2;
        QTest::newRow("blank line is a row of 0") << QByteArray("a\n1\n\n2\n") << QStringList{"a"}
                                                  << Rows{{1}, {0}, {2}} << 1;
        // The first data row gives the width, a blank one too.
        QTest::newRow("blank first data row") << QByteArray("a;b\n\n1;2\n") << QStringList{"a", "b"}
                                              << Rows{{0}, {1, 2}} << 1;
        QTest::newRow("blank first data row, CR LF") << QByteArray("a;b\r\n\r\n1;2\r\n") << QStringList{"a", "b"}
                                                     << Rows{{0}, {1, 2}} << 1;
        // One rule on every machine (this suite also runs under a locale that
        // is not Czech): the Czech reading, then "." as decimal mark.
        QTest::newRow("comma and point") << QByteArray("a;b\n1,5;1.5\n") << QStringList{"a", "b"}
                                         << Rows{{1.5, 1.5}} << 2;
        QTest::newRow("comma is never a group") << QByteArray("a;b\n1,750;1,500.5\n")
                                                << QStringList{"a", "b"} << Rows{{1.75, 0}} << 2;
        QTest::newRow("point is never a group") << QByteArray("a;b\n1.750;1.500,5\n")
                                                << QStringList{"a", "b"} << Rows{{1.75, 0}} << 2;
        QTest::newRow("grouped by a space") << QByteArray("a;b\n1 234,5;12 345 678\n")
                                            << QStringList{"a", "b"} << Rows{{1234.5, 12345678}} << 2;
        QTest::newRow("grouped by a no-break space")
            << QByteArray("a;b\n1\xC2\xA0" "234,5;-1\xC2\xA0" "000\n") << QStringList{"a", "b"}
            << Rows{{1234.5, -1000}} << 2;
        QTest::newRow("Windows-1250 no-break space") << QByteArray("a\n1\xA0" "234,5\n")
                                                     << QStringList{"a"} << Rows{{1234.5}} << 1;
        QTest::newRow("misplaced group") << QByteArray("a\n12 34,5\n") << QStringList{"a"} << Rows{{0}} << 1;
        QTest::newRow("nan and inf") << QByteArray("a;b;c\nnan;inf;-inf\n")
                                     << QStringList{"a", "b", "c"} << Rows{{qQNaN(), inf, -inf}} << 3;
        QTest::newRow("exponents") << QByteArray("a;b\n1,5e3;1.5E-2\n-2e+01;1,23457e+06\n")
                                   << QStringList{"a", "b"} << Rows{{1500, 0.015}, {-20, 1234570}} << 2;
        QTest::newRow("signs and blanks") << QByteArray("a;b;c\n+1,5; 2 ;-0,25\n")
                                          << QStringList{"a", "b", "c"} << Rows{{1.5, 2, -0.25}} << 3;
        QTest::newRow("words read as 0") << QByteArray("a;b\nabc;1,5x\n") << QStringList{"a", "b"} << Rows{{0, 0}} << 2;
        QTest::newRow("out of range reads as 0") << QByteArray("a;b\n1e400;1e-400\n")
                                                 << QStringList{"a", "b"} << Rows{{0, 0}} << 2;
        QTest::newRow("header only") << QByteArray("a;b\n") << QStringList{"a", "b"} << Rows{} << 0;
        QTest::newRow("empty file") << QByteArray() << QStringList{} << Rows{} << 0;
        QTest::newRow("ragged rows") << QByteArray("a;b\n1;2;3\n4\n") << QStringList{"a", "b"}
                                     << Rows{{1, 2, 3}, {4}} << 3;
        QTest::newRow("exported file") << QByteArray("1,5;2\n3;4\n") << QStringList{"1,5", "2"} << Rows{{3, 4}} << 2;
    }

    void import()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, headers);
        QFETCH(Rows, rows);
        QFETCH(int, width);
        const CsvImport table(file);
        QCOMPARE(table.headers(), headers);
        QCOMPARE(table.headerCount(), headers.size());
        for (const QString &header : headers)
            QCOMPARE(table.headerIndex(header), headers.indexOf(header));
        const QByteArray difference = rowsDiffer(table.rows(), rows, 0);
        QVERIFY2(difference.isEmpty(), difference.constData());
        QCOMPARE(table.rowCount(), rows.size());
        QCOMPARE(table.width(), width);
    }

    // Fields that hold no number are listed as the file held them: the CR of
    // a CR LF belongs to no field.
    void fieldsWithoutANumberAreListed()
    {
        const CsvImport table(QByteArray("a;b;c\r\n1;;x\r\n2;2,5;1e999\r\n"));
        QList<UnreadField> unread;
        QVERIFY(rowsDiffer(table.rows(&unread), Rows{{1, 0, 0}, {2, 2.5, 0}}, 0).isEmpty());
        QCOMPARE(unread.size(), 3);
        QCOMPARE(unread[0].row, 0);
        QCOMPARE(unread[0].column, 1);
        QCOMPARE(unread[0].text, QString());
        QCOMPARE(unread[1].text, QStringLiteral("x"));
        QCOMPARE(unread[2].row, 1);
        QCOMPARE(unread[2].text, QStringLiteral("1e999"));
        unread.clear();
        std::vector<double> columns(2);
        table.readColumns({2}, columns.data(), &unread);
        QCOMPARE(unread.size(), 2);
        QCOMPARE(unread[0].text, QStringLiteral("x"));
        // readColumns takes a column as often as asked, and 0 where a row is short.
        std::vector<double> out(3 * 3, -1);
        CsvImport(QByteArray("a;b;c\n1;2;3\n4\n7;8;9;10\n")).readColumns({2, 0, 2}, out.data());
        QCOMPARE(out, (std::vector<double>{3, 1, 3, 0, 4, 0, 9, 7, 9}));
    }

    // Every byte of the upper half, as the code page has it; the five bytes it
    // leaves undefined become U+FFFD.
    void windows1250UpperHalf()
    {
        const QString expected = QStringLiteral("€\uFFFD‚\uFFFD„…†‡\uFFFD‰Š‹ŚŤŽŹ"
                                                "\uFFFD‘’“”•–—\uFFFD™š›śťžź"
                                                "\u00A0ˇ˘Ł¤Ą¦§¨©Ş«¬\u00AD®Ż"
                                                "°±˛ł´µ¶·¸ąş»Ľ˝ľż"
                                                "ŔÁÂĂÄĹĆÇČÉĘËĚÍÎĎ"
                                                "ĐŃŇÓÔŐÖ×ŘŮÚŰÜÝŢß"
                                                "ŕáâăäĺćçčéęëěíîď"
                                                "đńňóôőö÷řůúűüýţ˙");
        QByteArray bytes;
        for (int b = 0x80; b <= 0xFF; ++b)
            bytes.append(char(b));
        const CsvImport table(bytes + "\n1\n");
        QCOMPARE(table.encoding(), TextEncoding::Windows1250);
        const QString header = table.headers().value(0);
        QCOMPARE(header.size(), 128);
        for (int i = 0; i < 128; ++i)
            QVERIFY2(header[i] == expected[i], qPrintable(QStringLiteral("byte %1: U+%2, expected U+%3")
                                                              .arg(0x80 + i, 0, 16)
                                                              .arg(header[i].unicode(), 4, 16, QChar(u'0'))
                                                              .arg(expected[i].unicode(), 4, 16, QChar(u'0'))));
    }

    void invalidUtf8IsWindows1250()
    {
        QCOMPARE(CsvImport(QByteArray("a\n1\n")).encoding(), TextEncoding::Utf8);
        QCOMPARE(CsvImport(QByteArray("\xC5\xBD\n1\n")).encoding(), TextEncoding::Utf8);
        // A lone lead byte, an overlong "/" and an encoded surrogate.
        QVERIFY(!isValidUtf8("\xC5", 1));
        QVERIFY(!isValidUtf8("\xC0\xAF", 2));
        QVERIFY(!isValidUtf8("\xED\xA0\x80", 3));
        QVERIFY(isValidUtf8("0123456789\xF0\x9F\x98\x80", 14));
    }

    // The plain-number path must give exactly what the text rules give.
    void plainPathAgreesWithTextRules_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<bool>("plain"); // whether it should take the fast path
        const char *fields[] = {"0", "-0", "007", "1,5", "1.5", "-12,75", "1,500", "1.500", "1,5e3", "2E-3",
                                "1e+05", ",5", "1,", "1.", ".5", "+1", "1 000", "12345678901234567890,123456789",
                                "0,1", "3.141592653589793238462643", "1e308", "1e309", "4e-320", "1e-400",
                                "0,0000", "1e", "1,2,3", "--1", "nan", "inf", "1.2.3", "1,2.3"};
        for (const char *field : fields)
            QTest::addRow("%s", field) << QByteArray(field) << false;
        QTest::addRow("comma") << QByteArray("172,4") << true;
        QTest::addRow("point") << QByteArray("172.4") << true;
    }

    void plainPathAgreesWithTextRules()
    {
        QFETCH(QByteArray, field);
        QFETCH(bool, plain);
        const NumberReader reader;
        const double byText = reader.readText(QString::fromLatin1(field));
        double fast = 0;
        const bool tookFastPath = reader.readPlain(field.constBegin(), field.constEnd(), &fast);
        if (plain)
            QVERIFY(tookFastPath);
        if (tookFastPath) {
            QVERIFY2(fast == byText && std::signbit(fast) == std::signbit(byText),
                     QByteArray::number(fast, 'g', 17) + " vs " + QByteArray::number(byText, 'g', 17));
        }
    }

    void randomNumbersAgreeOnBothPaths()
    {
        const NumberReader reader;
        QRandomGenerator random(7);
        for (int i = 0; i < 20000; ++i) {
            const double v = (random.generateDouble() - 0.5) * std::pow(10.0, random.bounded(-30, 30));
            QByteArray field = QByteArray::number(v, i % 2 ? 'g' : 'f', random.bounded(1, 18));
            if (i % 4 < 2)
                field.replace('.', ',');
            double fast = 0;
            QVERIFY2(reader.readPlain(field.constBegin(), field.constEnd(), &fast), field);
            QCOMPARE(fast, reader.readText(QString::fromLatin1(field)));
        }
    }

    void valueForm_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("full");
        QTest::addColumn<QByteArray>("text");
        // Six digits are C's %g with a decimal comma (below); what %g writes otherwise:
        QTest::newRow("nan") << qQNaN() << false << QByteArray("nan");
        QTest::newRow("negative nan") << -qQNaN() << false << QByteArray("nan");
        QTest::newRow("inf") << qInf() << false << QByteArray("inf");
        QTest::newRow("-inf") << -qInf() << false << QByteArray("-inf");
        QTest::newRow("full large") << 1234567.0 << true << QByteArray("1234567");
        QTest::newRow("full third") << 1.0 / 3.0 << true << QByteArray("0,3333333333333333");
        QTest::newRow("full tenth") << 0.1 << true << QByteArray("0,1");
        QTest::newRow("full nan") << qQNaN() << true << QByteArray("nan");
    }

    void valueForm()
    {
        QFETCH(double, value);
        QFETCH(bool, full);
        QFETCH(QByteArray, text);
        QCOMPARE(formatValue(value, full ? NumberDigits::Full : NumberDigits::Six), text);
    }

    void sixDigitsIsCsPercentG()
    {
        auto check = [](double v) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "%g", v);
            QByteArray c(expected);
            c.replace('.', ',');
            const QByteArray actual = formatValue(v);
            if (actual != c)
                qWarning() << QByteArray::number(v, 'g', 17) << actual << c;
            return actual == c;
        };
        // Carries, format switches, ties of seven digits, subnormals, extremes.
        const double edges[] = {9.999995, 9.9999949999, 99999.95, 999999.5, 999999.4, 0.0001, 0.00009999995,
                                0.000099999949, 1e-5, 123456.5, 1234565, 1.234565, 0.5, 1e100, 1e-100,
                                2.2250738585072014e-308, 5e-324, 1e-310, 1.7976931348623157e308, -0.0,
                                0.30000000000000004, 100000, 1000000};
        for (double v : edges) {
            QVERIFY(check(v));
            QVERIFY(check(-v));
        }
        QRandomGenerator random(11);
        for (int i = 0; i < 200000; ++i) {
            const double v = (random.generateDouble() - 0.5) * std::pow(10.0, random.bounded(-40, 40));
            QVERIFY(check(v));
            // Short decimals, as measurements are.
            QVERIFY(check(random.bounded(100000000) / std::pow(10.0, random.bounded(10))));
            // Seven digits ending in 5: exact ties of the shortest form.
            const double tie = (random.bounded(1000000, 10000000) / 10 * 10 + 5) * std::pow(10.0, random.bounded(-12, 12));
            QVERIFY(check(tie));
        }
    }

    void fullDigitsReadBackExactly()
    {
        QRandomGenerator random(5);
        QByteArray file("x\n");
        QList<double> values;
        for (int i = 0; i < 5000; ++i) {
            const double v = (random.generateDouble() - 0.5) * std::pow(10.0, random.bounded(-300, 300));
            values.append(v);
            file += formatValue(v, NumberDigits::Full) + '\n';
        }
        const Rows rows = CsvImport(file).rows();
        QCOMPARE(rows.size(), values.size());
        for (qsizetype i = 0; i < rows.size(); ++i)
            QCOMPARE(rows[i].first(), values[i]);
    }

    // Rows with their line ends; a row without values writes nothing; and
    // rows by the hundred thousand pass the writer's buffer whole.
    void rowsAreWritten()
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        {
            ValueRowWriter writer(&buffer);
            const double first[] = {1.5, 2, qQNaN()};
            writer.writeRow(first, 3);
            writer.writeRow(nullptr, 0);
            const double second[] = {-1e7};
            writer.writeRow(second, 1);
            QVERIFY(writer.flush());
            const double row[] = {123456.7, 0.5};
            for (int i = 0; i < 200000; ++i)
                writer.writeRow(row, 2);
        } // the rest written as the writer goes
        QVERIFY(buffer.data().startsWith("1,5;2;nan\n-1e+07\n123457;0,5\n"));
        QCOMPARE(buffer.data().size(), qsizetype(17 + 200000 * 11));
        QVERIFY(buffer.data().endsWith("123457;0,5\n"));
    }
};

QTEST_APPLESS_MAIN(TestCsvDialects)
#include "tst_csvdialects.moc"

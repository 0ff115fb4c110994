#include "CsvImport.h"
#include "NumberReader.h"
#include "TableTestSupport.h"
#include "ValueRows.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>


class TestCsvDialects : public QObject {
    Q_OBJECT

private slots:
    // The value rows of a project entry, as the table reads them back: an
    // empty first line goes before them, ";" between values, LF or CR LF.
    void entryRows_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<Rows>("rows"); // three columns asked for

        const double inf = qInf();
        const double nan = qQNaN();
        QTest::newRow("LF") << QByteArray("1;2;3\n4;5;6\n") << Rows{{1, 2, 3}, {4, 5, 6}};
        QTest::newRow("CR LF, no final line end") << QByteArray("1,5;2;3\r\n4;5;6") << Rows{{1.5, 2, 3}, {4, 5, 6}};
        // Older versions wrote nothing for a row without values.
        QTest::newRow("empty line, short row") << QByteArray("\n7\n") << Rows{{0, 0, 0}, {7, 0, 0}};
        QTest::newRow("comma and point") << QByteArray("1,5;1.5;-3e2\n") << Rows{{1.5, 1.5, -300}};
        QTest::newRow("comma is never a group") << QByteArray("1,750;1,500.5;0\n") << Rows{{1.75, 0, 0}};
        QTest::newRow("grouped by a space") << QByteArray("1 234,5;12 345 678;12 34,5\n")
                                            << Rows{{1234.5, 12345678, 0}};
        QTest::newRow("nan and inf") << QByteArray("nan;inf;-inf\n") << Rows{{nan, inf, -inf}};
        QTest::newRow("exponents") << QByteArray("1,5e3;1.5E-2;1,23457e+06\n") << Rows{{1500, 0.015, 1234570}};
        QTest::newRow("signs and blanks") << QByteArray("+1,5; 2 ;-0,25\n") << Rows{{1.5, 2, -0.25}};
        QTest::newRow("words and out of range read as 0") << QByteArray("abc;1e400;1e-400\n") << Rows{{0, 0, 0}};
    }

    void entryRows()
    {
        QFETCH(QByteArray, entry);
        QFETCH(Rows, rows);
        const CsvImport table("\n" + entry);
        QCOMPARE(table.rowCount(), rows.size());
        std::vector<double> out(size_t(rows.size()) * 3, -1);
        table.readColumns({0, 1, 2}, out.data());
        Rows read;
        for (qsizetype r = 0; r < rows.size(); ++r)
            read.append(Row(out.begin() + r * 3, out.begin() + r * 3 + 3));
        const QByteArray difference = rowsDiffer(read, rows, 0);
        QVERIFY2(difference.isEmpty(), difference.constData());
    }

    // Fields that hold no number are listed as the entry held them; a column
    // is taken as often as asked, and 0 where a row is short; blocks of rows
    // read what the whole reads.
    void readColumns()
    {
        const CsvImport table(QByteArray("\n1;;x\r\n2;2,5;1e999\r\n"));
        QList<UnreadField> unread;
        std::vector<double> column(2);
        table.readColumns({2}, column.data(), &unread);
        QCOMPARE(column, (std::vector<double>{0, 0}));
        QCOMPARE(unread.size(), 2);
        QCOMPARE(unread[0].text, QStringLiteral("x"));
        QCOMPARE(unread[1].row, 1);
        QCOMPARE(unread[1].text, QStringLiteral("1e999"));

        const CsvImport ragged(QByteArray("\n1;2;3\n4\n7;8;9;10\n"));
        std::vector<double> out(3 * 3, -1);
        ragged.readColumns({2, 0, 2}, out.data());
        QCOMPARE(out, (std::vector<double>{3, 1, 3, 0, 4, 0, 9, 7, 9}));
        std::vector<double> blocks(out.size(), -1);
        CsvImport::Position position;
        while (ragged.readColumns({2, 0, 2}, blocks.data() + position.row * 3, 2, &position) > 0) {
        }
        QCOMPARE(blocks, out);
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
        const ImportText text = prepareImportText(bytes);
        QCOMPARE(text.encoding, TextEncoding::Windows1250);
        const QString decoded = decodeText(text.bytes.constData(), text.bytes.size(), text.encoding);
        QCOMPARE(decoded.size(), 128);
        for (int i = 0; i < 128; ++i)
            QVERIFY2(decoded[i] == expected[i], qPrintable(QStringLiteral("byte %1: U+%2, expected U+%3")
                                                               .arg(0x80 + i, 0, 16)
                                                               .arg(decoded[i].unicode(), 4, 16, QChar(u'0'))
                                                               .arg(expected[i].unicode(), 4, 16, QChar(u'0'))));
    }

    void invalidUtf8IsWindows1250()
    {
        QCOMPARE(prepareImportText(QByteArray("a\n1\n")).encoding, TextEncoding::Utf8);
        QCOMPARE(prepareImportText(QByteArray("\xC5\xBD\n1\n")).encoding, TextEncoding::Utf8);
        // A lone lead byte, an overlong "/" and an encoded surrogate.
        QVERIFY(!isValidUtf8("\xC5", 1));
        QVERIFY(!isValidUtf8("\xC0\xAF", 2));
        QVERIFY(!isValidUtf8("\xED\xA0\x80", 3));
        QVERIFY(isValidUtf8("0123456789\xF0\x9F\x98\x80", 14));
    }

    // The plain-number path gives bit for bit what the text rules give, with
    // "," or "." as the mark, and with "." alone ("point"), as a file with ","
    // between fields has it. "plain": the value, by hand, of a field the path
    // must take; NaN where it may leave the field to the text rules. "number":
    // whether the text rule reads it; -1 not checked.
    void plainPathAgreesWithTextRules_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<bool>("point");
        QTest::addColumn<double>("plain");
        QTest::addColumn<int>("number");
        const double any = qQNaN();
        // The short path's edges too: 2^53 and one past, 19 and 20 digits, a
        // subnormal, values out of range.
        const char *fields[] = {"0", "-0", "007", "00012,50", "1,5", "1.5", "-12,75", "1,500", "1.500", "1,5e3",
                                "2E-3", "1e+05", ",5", "1,", "1.", ".5", "+1", "-", "12a", "1 000", "0,1", "0,0000",
                                "123456789012345,678", "9007199254740992", "9007199254740993", "1234567890123456789",
                                "12345678901234567890", "12345678901234567890,123456789", "0,00000000000000000001",
                                "3.141592653589793238462643", "1e308", "1e309", "4e-320", "4,9406564584124654e-324",
                                "1e-400", "1e", "1,2,3", "--1", "nan", "inf", "1.2.3", "1,2.3"};
        for (const char *field : fields)
            QTest::addRow("%s", field) << QByteArray(field) << false << any << -1;
        QTest::newRow("comma") << QByteArray("172,4") << false << 172.4 << 1;
        QTest::newRow("point") << QByteArray("172.4") << false << 172.4 << 1;
        QTest::newRow("trailing zero") << QByteArray("61,0") << false << 61.0 << 1;
        QTest::newRow("negative") << QByteArray("-12,5") << false << -12.5 << 1;
        // With "." alone "1,5" is no number, nor "1,500" a group of digits.
        const char *pointFields[] = {"-0.25", "1,5", "1,500", "1 000", "+2", " 3 ", "1e3", "2.5E-2", "nan", "x"};
        const int numbers[] = {1, 0, 0, 0, 1, 1, 1, 1, 1, 0};
        for (size_t i = 0; i < std::size(pointFields); ++i)
            QTest::addRow("point only, %s", pointFields[i]) << QByteArray(pointFields[i]) << true << any << numbers[i];
        QTest::newRow("point only, plain") << QByteArray("1.5") << true << 1.5 << 1;
    }

    void plainPathAgreesWithTextRules()
    {
        QFETCH(QByteArray, field);
        QFETCH(bool, point);
        QFETCH(double, plain);
        QFETCH(int, number);
        const NumberReader reader;
        const QString text = QString::fromLatin1(field);
        double byText = 0;
        const bool read = point ? reader.readPointText(text, &byText) : reader.readText(text, &byText);
        if (number >= 0)
            QCOMPARE(read, number == 1);
        double fast = 0;
        const bool tookFastPath = point ? reader.readPlainPoint(field.constBegin(), field.constEnd(), &fast)
                                        : reader.readPlain(field.constBegin(), field.constEnd(), &fast);
        if (!std::isnan(plain)) {
            QVERIFY(tookFastPath);
            QCOMPARE(fast, plain);
        }
        if (tookFastPath)
            QVERIFY2(read && std::memcmp(&fast, &byText, sizeof fast) == 0,
                     QByteArray::number(fast, 'g', 17) + " vs " + QByteArray::number(byText, 'g', 17));
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
        const CsvImport entry(file);
        QCOMPARE(entry.rowCount(), values.size());
        std::vector<double> read(size_t(values.size()));
        entry.readColumns({0}, read.data());
        for (qsizetype i = 0; i < values.size(); ++i)
            QCOMPARE(read[size_t(i)], values[i]);
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

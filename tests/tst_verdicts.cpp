// The verdict texts a result table shows in place of numbers, each kind of
// bound from both sides, and the class limits as the reference states them.
// The bounds are the published ones: Martin & Saller 1957 for the skull
// indices, the authors of each determination method.

#include "MethodCatalog.h"
#include "TTableModel.h"
#include "Verdicts.h"

#include <QtTest>

#include <map>

using Row = QList<double>;

Q_DECLARE_METATYPE(Row)

namespace {

// A result table of the type holding the one stored row as given.
void storeRow(TTableModel &table, const Row &row)
{
    cv::Mat m(1, int(row.size()), CV_64F);
    for (int c = 0; c < row.size(); ++c)
        m.at<double>(0, c) = row[c];
    table.setMatrix(m);
}

// A stored row of `width` values with `value` in `column`.
Row rowWith(int width, int column, double value)
{
    Row row(width, 0.0);
    row[column] = value;
    return row;
}

// A stored row of method 47: D, W-N and W-In after eight inputs, "Pohlaví" 0.
Row gilesElliot(double d, double n, double i)
{
    return Row{0, 0, 0, 0, 0, 0, 0, 0, d, 0, n, i};
}

} // namespace

class TestVerdicts : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { buildMethodCatalog(); }

    void shown_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<Row>("row");
        QTest::addColumn<int>("viewColumn");
        QTest::addColumn<QString>("text");
        const double nan = qQNaN();
        auto add = [](const char *name, int type, const Row &row, int viewColumn, const char *text) {
            QTest::newRow(name) << type << row << viewColumn << QString::fromUtf8(text);
        };
        auto index = [&add](const char *name, int type, double value, const char *text) {
            add(name, type, {0, 0, value}, 4, text);
        };

        // Waist-to-hip ratio in data column 2; men in view column 4, women in 5.
        // A missing value (NaN) has no class, whichever value the verdict reads.
        add("WHR men 0.8499", 3, {0, 0, 0.8499}, 4, "Spíše periferní");
        add("WHR men 0.85", 3, {0, 0, 0.85}, 4, "Vyrovnaná");
        add("WHR men 0.94", 3, {0, 0, 0.94}, 4, "Spíše centrální");
        add("WHR men 0.9400001", 3, {0, 0, 0.9400001}, 4, "Centrální (riziková)");
        add("WHR men NaN", 3, {0, 0, nan}, 4, "");
        add("WHR women 0.8400001", 3, {0, 0, 0.8400001}, 5, "Centrální (riziková)");

        // The cranial index keeps a bound in the lower class, the others in the upper.
        index("cranial 75", 23, 75, "dolichokranní");
        index("cranial 75.0001", 23, 75.0001, "mesokranní");
        index("length-height 69.99", 24, 69.99, "chamaekranní");
        index("length-height 70", 24, 70, "orthokranní");
        index("facial 95", 26, 95, "hyper leptoprosopní");
        // The nasal index has no class from 58 up.
        index("nasal 58", 28, 58, "");

        // Origin of bone: "Druh" 1 is human, exactly; D of variant C above 0.
        add("44 Druh 1", 44, rowWith(12, 11, 1), 13, "Lidský");
        add("44 Druh 1.0000001", 44, rowWith(12, 11, 1.0000001), 13, "Zvířecí");
        add("44 Druh NaN", 44, rowWith(12, 11, nan), 13, "");
        add("46 D 0.0001", 46, rowWith(6, 5, 0.0001), 7, "Lidský");
        add("46 D 0", 46, rowWith(6, 5, 0), 7, "Zvířecí");

        // Sex. Method 47 shows its text over the stored 0 of "Pohlaví".
        add("47 D 891.12", 47, gilesElliot(891.12, 0, 0), 10, "Mužská lebka");
        add("47 D 891.1199", 47, gilesElliot(891.1199, 0, 0), 10, "Ženská lebka");
        add("48 231.2", 48, rowWith(9, 8, 231.2), 10, "Žena");
        add("48 231.2001", 48, rowWith(9, 8, 231.2001), 10, "Muž");
        // Method 50: "Muži" in data column 9, "Ženy" in 10; |Ženy| <= |Muži| is a man.
        add("50 equal magnitudes", 50, {0, 0, 0, 0, 0, 0, 0, 0, 0, -2, 2}, 12, "Muž");
        add("50 men 1 women -2", 50, {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, -2}, 12, "Žena");
        add("50 women NaN", 50, {0, 0, 0, 0, 0, 0, 0, 0, 0, 2, nan}, 12, "");

        // Population group of method 47 (view column 13). Male set from D
        // 891.12: I limit 22.28, line 4.4 I - 8.3, level 89.27.
        add("male I 10 N 90.27", 47, gilesElliot(891.12, 90.27, 10), 13, "afroamerický");
        add("male I 10 N 88.27", 47, gilesElliot(891.12, 88.27, 10), 13, "evropský");
        // 4.4 * 30 - 8.3 = 123.7
        add("male I 30 N 124.7", 47, gilesElliot(891.12, 124.7, 30), 13, "afroamerický");
        add("male I 30 N 122.7", 47, gilesElliot(891.12, 122.7, 30), 13, "severoamerický");
        add("male I on the limit", 47, gilesElliot(891.12, 200, 22.28), 13, "");
        add("male N on the level", 47, gilesElliot(891.12, 89.27, 10), 13, "");
        add("male N on the line", 47, gilesElliot(891.12, 123.7, 30), 13, "");
        // Female set: limit 130.1, line 0.48 I + 29.6, level 92.2; 0.48 * 150 + 29.6 = 101.6.
        add("female I 100 N 92", 47, gilesElliot(891.1199, 92, 100), 13, "evropský");
        add("female I 150 N 101", 47, gilesElliot(891.1199, 101, 150), 13, "severoamerický");
        // With the male set, I 100 and N 93 would lie under its line: "severoamerický".
        add("D NaN, no class", 47, gilesElliot(nan, 93, 100), 13, "");
        add("I NaN", 47, gilesElliot(891.12, 90.27, nan), 13, "");

        // A row that lacks a value the verdict reads.
        add("index without the index", 23, {150, 200}, 4, "");
        add("47 without W-In", 47, {0, 0, 0, 0, 0, 0, 0, 0, 900, 0, 90}, 13, "");
        add("50 without Ženy", 50, {0, 0, 0, 0, 0, 0, 0, 0, 0, 2}, 12, "");
    }

    void shown()
    {
        QFETCH(int, type);
        QFETCH(Row, row);
        QFETCH(int, viewColumn);
        QFETCH(QString, text);
        TTableModel table(type, nullptr);
        storeRow(table, row);
        const QVariant shown = table.data(table.index(0, viewColumn));
        QCOMPARE(shown.typeId(), QMetaType::QString);
        QCOMPARE(shown.toString(), text);
    }

    // Beside the verdicts every cell shows its number, as after reading a
    // project that stored every column.
    void otherCellsShowNumbers()
    {
        // The methods added past the source type's slot have no verdicts.
        const std::map<int, QList<int>> textColumns{{3, {4, 5}}, {47, {10, 13}}, {38, {}}, {110, {}}, {112, {}}};
        for (const auto &[type, texts] : textColumns) {
            TTableModel table(type, nullptr);
            Row row;
            for (int c = 1; c < table.columnCount(); ++c)
                row.append(c - 0.5);
            storeRow(table, row);
            for (int c = 1; c < table.columnCount(); ++c) {
                const QVariant shown = table.data(table.index(0, c));
                QCOMPARE(shown.typeId() == QMetaType::QString, texts.contains(c));
                QVERIFY(texts.contains(c) || shown == QVariant(c - 0.5));
            }
        }
    }

    // The reference's class limits, in the words it has always used.
    void limits_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("limits");
        QTest::newRow("inclusive chain") << 23 << QStringLiteral(
            "do 75 včetně dolichokranní; nad 75 do 80 včetně mesokranní; nad 80 brachykranní");
        QTest::newRow("no class at the top") << 28 << QStringLiteral(
            "pod 47 leptorhinní (úzkonosý); 47 až pod 51 mesorhinní (středně širokonosý); 51 až pod 58 "
            "chamaerhinní (širokonosý); od 58 bez hodnocení");
        QTest::newRow("two chains") << 3 << QStringLiteral(
            "Muži: pod 0,85 spíše periferní; 0,85 až pod 0,9 vyrovnaná; 0,9 až 0,94 spíše centrální; nad 0,94 "
            "centrální (riziková).\nŽeny: pod 0,75 spíše periferní; 0,75 až pod 0,8 vyrovnaná; 0,8 až 0,84 spíše "
            "centrální; nad 0,84 centrální (riziková).");
        QTest::newRow("two-way") << 48 << QStringLiteral("Pohlaví: nad 231,2 muž; do 231,2 včetně žena");
        QTest::newRow("population") << 47 << QStringLiteral(
            "Pohlaví: D od 891,12 mužská lebka; pod 891,12 ženská lebka.\n"
            "Vyhodnocení (N = W-N, I = W-In), mužská lebka: I nad 22,28 a N nad 4,4 · I − 8,3 afroamerický; I nad "
            "22,28 a N pod 4,4 · I − 8,3 severoamerický; I pod 22,28 a N nad 89,27 afroamerický; I pod 22,28 a N pod "
            "89,27 evropský.\n"
            "Ženská lebka: I nad 130,1 a N nad 0,48 · I + 29,6 afroamerický; I nad 130,1 a N pod 0,48 · I + 29,6 "
            "severoamerický; I pod 130,1 a N nad 92,2 afroamerický; I pod 130,1 a N pod 92,2 evropský.\n"
            "Na hranici, na přímce nebo na úrovni bez hodnocení.");
        QTest::newRow("no verdict") << 0 << QString();
        // Ids past the original catalog: a method, the source type and a
        // user function's id are read without leaving the rows' table.
        QTest::newRow("added method") << 111 << QString();
        QTest::newRow("source type") << 109 << QString();
        QTest::newRow("user function id") << 1000 << QString();
    }

    void limits()
    {
        QFETCH(int, type);
        QFETCH(QString, limits);
        QCOMPARE(verdictLimits(type), limits);
    }
};

QTEST_GUILESS_MAIN(TestVerdicts)
#include "tst_verdicts.moc"

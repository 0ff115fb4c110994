// The verdict texts a result table shows in place of numbers: every chain on
// both sides of each bound, values that are not numbers, and rows that lack
// the values a verdict reads.

#include "MethodCatalog.h"
#include "TTableModel.h"

#include <QtTest>

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

        // Waist-to-hip ratio in data column 2; men in view column 4, women in 5.
        add("WHR men 0.8499", 3, {0, 0, 0.8499}, 4, "Spíše periferní");
        add("WHR men 0.85", 3, {0, 0, 0.85}, 4, "Vyrovnaná");
        add("WHR men 0.8999", 3, {0, 0, 0.8999}, 4, "Vyrovnaná");
        add("WHR men 0.9", 3, {0, 0, 0.9}, 4, "Spíše centrální");
        add("WHR men 0.94", 3, {0, 0, 0.94}, 4, "Spíše centrální");
        add("WHR men 0.9400001", 3, {0, 0, 0.9400001}, 4, "Centrální (riziková)");
        add("WHR men NaN", 3, {0, 0, nan}, 4, "Centrální (riziková)");
        add("WHR women 0.7499", 3, {0, 0, 0.7499}, 5, "Spíše periferní");
        add("WHR women 0.75", 3, {0, 0, 0.75}, 5, "Vyrovnaná");
        add("WHR women 0.8", 3, {0, 0, 0.8}, 5, "Spíše centrální");
        add("WHR women 0.84", 3, {0, 0, 0.84}, 5, "Spíše centrální");
        add("WHR women 0.8400001", 3, {0, 0, 0.8400001}, 5, "Centrální (riziková)");
        add("WHR women NaN", 3, {0, 0, nan}, 5, "Centrální (riziková)");

        // Indices 23 to 29: the index in data column 2, the verdict in view column 4.
        add("cranial 75", 23, {0, 0, 75}, 4, "dolichokranní");
        add("cranial 75.0001", 23, {0, 0, 75.0001}, 4, "mesokranní");
        add("cranial 80", 23, {0, 0, 80}, 4, "mesokranní");
        add("cranial 80.0001", 23, {0, 0, 80.0001}, 4, "brachykranní");
        add("cranial NaN", 23, {0, 0, nan}, 4, "brachykranní");
        add("length-height 69.99", 24, {0, 0, 69.99}, 4, "chamaekranní");
        add("length-height 70", 24, {0, 0, 70}, 4, "orthokranní");
        add("length-height 74.99", 24, {0, 0, 74.99}, 4, "orthokranní");
        add("length-height 75", 24, {0, 0, 75}, 4, "hypsikranní");
        add("length-height NaN", 24, {0, 0, nan}, 4, "hypsikranní");
        add("breadth-height 91.99", 25, {0, 0, 91.99}, 4, "tapeinokranní");
        add("breadth-height 92", 25, {0, 0, 92}, 4, "metriokranní");
        add("breadth-height 98", 25, {0, 0, 98}, 4, "akrokranní");
        add("breadth-height NaN", 25, {0, 0, nan}, 4, "akrokranní");
        add("facial 79.99", 26, {0, 0, 79.99}, 4, "hypereuryprosopní");
        add("facial 80", 26, {0, 0, 80}, 4, "euryprosopní (nízký obličej)");
        add("facial 85", 26, {0, 0, 85}, 4, "mesoprosopní (středně vysoký obličej)");
        add("facial 90", 26, {0, 0, 90}, 4, "leptoprosopní (vysoký obličej)");
        add("facial 94.99", 26, {0, 0, 94.99}, 4, "leptoprosopní (vysoký obličej)");
        add("facial 95", 26, {0, 0, 95}, 4, "hyper leptoprosopní");
        add("facial NaN", 26, {0, 0, nan}, 4, "hyper leptoprosopní");
        add("upper facial 44.99", 27, {0, 0, 44.99}, 4, "hypereuryenní");
        add("upper facial 45", 27, {0, 0, 45}, 4, "euryenní (nízký horní obličej)");
        add("upper facial 50", 27, {0, 0, 50}, 4, "mesenní (středně vysoký horní obličej)");
        add("upper facial 55", 27, {0, 0, 55}, 4, "leptenní (vysoký horní obličej)");
        add("upper facial 60", 27, {0, 0, 60}, 4, "hyperleptenní");
        add("upper facial NaN", 27, {0, 0, nan}, 4, "hyperleptenní");
        add("nasal 46.99", 28, {0, 0, 46.99}, 4, "leptorhinní (úzkonosý)");
        add("nasal 47", 28, {0, 0, 47}, 4, "mesorhinní (středně širokonosý)");
        add("nasal 51", 28, {0, 0, 51}, 4, "chamaerhinní (širokonosý)");
        add("nasal 57.99", 28, {0, 0, 57.99}, 4, "chamaerhinní (širokonosý)");
        add("nasal 58", 28, {0, 0, 58}, 4, "");
        add("nasal 200", 28, {0, 0, 200}, 4, "");
        add("nasal NaN", 28, {0, 0, nan}, 4, "");
        add("gnathic 97.99", 29, {0, 0, 97.99}, 4, "orthognátní");
        add("gnathic 98", 29, {0, 0, 98}, 4, "mesognátní");
        add("gnathic 103", 29, {0, 0, 103}, 4, "prognátní");
        add("gnathic NaN", 29, {0, 0, nan}, 4, "prognátní");

        // Origin of bone: "Druh" 1 is human, exactly.
        add("44 Druh 1", 44, rowWith(12, 11, 1), 13, "Lidský");
        add("44 Druh 2", 44, rowWith(12, 11, 2), 13, "Zvířecí");
        add("44 Druh 3", 44, rowWith(12, 11, 3), 13, "Zvířecí");
        add("44 Druh 4", 44, rowWith(12, 11, 4), 13, "Zvířecí");
        add("44 Druh 1.0000001", 44, rowWith(12, 11, 1.0000001), 13, "Zvířecí");
        add("44 Druh NaN", 44, rowWith(12, 11, nan), 13, "Zvířecí");
        add("45 Druh 1", 45, rowWith(8, 7, 1), 9, "Lidský");
        add("45 Druh 2", 45, rowWith(8, 7, 2), 9, "Zvířecí");
        add("45 Druh NaN", 45, rowWith(8, 7, nan), 9, "Zvířecí");
        add("46 D 0.0001", 46, rowWith(6, 5, 0.0001), 7, "Lidský");
        add("46 D 0", 46, rowWith(6, 5, 0), 7, "Zvířecí");
        add("46 D -0.5", 46, rowWith(6, 5, -0.5), 7, "Zvířecí");
        add("46 D NaN", 46, rowWith(6, 5, nan), 7, "Zvířecí");

        // Sex. Method 47 shows its text over the stored 0 of "Pohlaví".
        add("47 D 891.12", 47, gilesElliot(891.12, 0, 0), 10, "Mužská lebka");
        add("47 D 891.1199", 47, gilesElliot(891.1199, 0, 0), 10, "Ženská lebka");
        add("47 D NaN", 47, gilesElliot(nan, 0, 0), 10, "Ženská lebka");
        add("48 231.2", 48, rowWith(9, 8, 231.2), 10, "Žena");
        add("48 231.2001", 48, rowWith(9, 8, 231.2001), 10, "Muž");
        add("48 NaN", 48, rowWith(9, 8, nan), 10, "Žena");
        add("49 214.3", 49, rowWith(6, 5, 214.3), 7, "Žena");
        add("49 214.3001", 49, rowWith(6, 5, 214.3001), 7, "Muž");
        add("49 NaN", 49, rowWith(6, 5, nan), 7, "Žena");
        // Method 50: "Muži" in data column 9, "Ženy" in 10; |Ženy| <= |Muži| is a man.
        add("50 equal scores", 50, {0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 2}, 12, "Muž");
        add("50 equal magnitudes", 50, {0, 0, 0, 0, 0, 0, 0, 0, 0, -2, 2}, 12, "Muž");
        add("50 men -3 women 2", 50, {0, 0, 0, 0, 0, 0, 0, 0, 0, -3, 2}, 12, "Muž");
        add("50 men 1 women -2", 50, {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, -2}, 12, "Žena");
        add("50 men NaN", 50, {0, 0, 0, 0, 0, 0, 0, 0, 0, nan, 2}, 12, "Žena");
        add("50 women NaN", 50, {0, 0, 0, 0, 0, 0, 0, 0, 0, 2, nan}, 12, "Žena");

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
        // Female set: limit 130.1, line 0.48 I + 29.6, level 92.2.
        add("female I 100 N 93", 47, gilesElliot(891.1199, 93, 100), 13, "afroamerický");
        add("female I 100 N 92", 47, gilesElliot(891.1199, 92, 100), 13, "evropský");
        // 0.48 * 150 + 29.6 = 101.6
        add("female I 150 N 102", 47, gilesElliot(891.1199, 102, 150), 13, "afroamerický");
        add("female I 150 N 101", 47, gilesElliot(891.1199, 101, 150), 13, "severoamerický");
        add("female I on the limit", 47, gilesElliot(891.1199, 93, 130.1), 13, "");
        // With the male set, I 100 and N 93 would lie under its line: "severoamerický".
        add("D NaN takes the female set", 47, gilesElliot(nan, 93, 100), 13, "afroamerický");
        add("I NaN", 47, gilesElliot(891.12, 90.27, nan), 13, "");
        add("N NaN", 47, gilesElliot(891.12, nan, 10), 13, "");
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

    // Beside the verdicts every cell shows its number.
    void otherCellsShowNumbers_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QList<int>>("verdicts");
        QTest::newRow("WHR") << 3 << 5 << QList<int>{4, 5};
        QTest::newRow("cranial") << 23 << 4 << QList<int>{4};
        QTest::newRow("44") << 44 << 13 << QList<int>{13};
        QTest::newRow("45") << 45 << 9 << QList<int>{9};
        QTest::newRow("46") << 46 << 7 << QList<int>{7};
        QTest::newRow("47") << 47 << 13 << QList<int>{10, 13};
        QTest::newRow("48") << 48 << 10 << QList<int>{10};
        QTest::newRow("49") << 49 << 7 << QList<int>{7};
        QTest::newRow("50") << 50 << 12 << QList<int>{12};
        QTest::newRow("ratio index without verdict") << 38 << 3 << QList<int>{};
        QTest::newRow("age") << 51 << 6 << QList<int>{};
    }

    void otherCellsShowNumbers()
    {
        QFETCH(int, type);
        QFETCH(int, columns);
        QFETCH(QList<int>, verdicts);
        TTableModel table(type, nullptr);
        QCOMPARE(table.columnCount(), columns + 1);
        // Every column stored, the verdict columns too (as after reading a project).
        Row row;
        for (int c = 0; c < columns; ++c)
            row.append(c + 0.5);
        storeRow(table, row);
        for (int c = 1; c <= columns; ++c) {
            const QVariant shown = table.data(table.index(0, c));
            if (verdicts.contains(c))
                QCOMPARE(shown.typeId(), QMetaType::QString);
            else
                QCOMPARE(shown, QVariant(c - 0.5));
        }
    }

    void computedResultShowsItsVerdicts()
    {
        // Waist 85, hip 100: 85 / 100 = 0.85.
        TTableModel table(3, nullptr);
        table.appendRows({{85, 100}});
        QCOMPARE(table.data(table.index(0, 3)).toDouble(), 0.85);
        QCOMPARE(table.data(table.index(0, 4)).toString(), QString::fromUtf8("Vyrovnaná"));
        QCOMPARE(table.data(table.index(0, 5)).toString(), QString::fromUtf8("Centrální (riziková)"));
    }

    void verdictFollowsTheNumbers()
    {
        TTableModel table(23, nullptr);
        table.appendRows({{150, 200}});
        QCOMPARE(table.data(table.index(0, 4)).toString(), QString::fromUtf8("dolichokranní"));
        // 170 / 200 = 85
        table.setMatrix((cv::Mat_<double>(1, 3) << 170, 200, 85));
        QCOMPARE(table.data(table.index(0, 4)).toString(), QString::fromUtf8("brachykranní"));
    }

    void rowWithoutTheValuesShowsNothing_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<Row>("row");
        QTest::addColumn<int>("viewColumn");
        QTest::newRow("index without the index") << 23 << Row{150, 200} << 4;
        QTest::newRow("WHR with the inputs only") << 3 << Row{85} << 5;
        QTest::newRow("47 without W-In") << 47 << Row{0, 0, 0, 0, 0, 0, 0, 0, 900, 0, 90} << 13;
        QTest::newRow("47 without D") << 47 << Row{0, 0, 0} << 10;
        QTest::newRow("50 without Ženy") << 50 << Row{0, 0, 0, 0, 0, 0, 0, 0, 0, 2} << 12;
    }

    void rowWithoutTheValuesShowsNothing()
    {
        QFETCH(int, type);
        QFETCH(Row, row);
        QFETCH(int, viewColumn);
        TTableModel table(type, nullptr);
        storeRow(table, row);
        QCOMPARE(table.rowCount(), 1);
        QCOMPARE(table.data(table.index(0, viewColumn)).toString(), QString());
    }
};

QTEST_GUILESS_MAIN(TestVerdicts)
#include "tst_verdicts.moc"

// The table model: its item-model contract, roles and flags by kind of table,
// the matrices it hands to the compute routines and takes back, the recomputed
// insert, the method run, and its CSV reading and writing.

#include "MethodCatalog.h"
#include "TTableModel.h"
#include "TestFiles.h"

#include <QAbstractItemModelTester>
#include <QBuffer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>

using Row = QList<double>;
using Rows = QList<Row>;

namespace {

// A source table holding the rows as given (all checked).
std::unique_ptr<TTableModel> sourceTable(const Rows &rows, const QStringList &headers = {})
{
    auto table = std::make_unique<TTableModel>();
    table->appendRows(rows);
    for (int c = 0; c < headers.size(); ++c)
        table->setHeaderData(c + 1, Qt::Horizontal, headers.at(c), Qt::DisplayRole);
    return table;
}

// A result table of the method computed over the rows.
std::unique_ptr<TTableModel> resultTable(qint32 type, const Rows &inputs)
{
    auto table = std::make_unique<TTableModel>(type, nullptr);
    table->appendRows(inputs);
    return table;
}

Rows storedRows(const TTableModel &table)
{
    Rows rows;
    for (int r = 0; r < table.rowCount(); ++r) {
        Row row;
        for (int c = 0; c < table.rowLength(r); ++c)
            row.append(table.value(r, c));
        rows.append(row);
    }
    return rows;
}

Rows matrixRows(const cv::Mat &m)
{
    Rows rows;
    for (int r = 0; r < m.rows; ++r) {
        Row row;
        for (int c = 0; c < m.cols; ++c)
            row.append(m.at<double>(r, c));
        rows.append(row);
    }
    return rows;
}

bool sameRows(const Rows &actual, const Rows &expected)
{
    if (actual.size() != expected.size())
        return false;
    for (qsizetype r = 0; r < actual.size(); ++r) {
        if (actual[r].size() != expected[r].size())
            return false;
        for (qsizetype c = 0; c < actual[r].size(); ++c)
            if (std::fabs(actual[r][c] - expected[r][c]) > 1e-12 * std::max(1.0, std::fabs(expected[r][c])))
                return false;
    }
    return true;
}

QByteArray describe(const Rows &rows)
{
    QByteArray text;
    for (const Row &row : rows) {
        for (double v : row)
            text += QByteArray::number(v, 'g', 17) + ' ';
        text += "| ";
    }
    return text;
}

#define COMPARE_ROWS(actual, expected)                                                                      \
    QVERIFY2(sameRows(actual, expected), describe(actual) + " expected " + describe(expected))

} // namespace

Q_DECLARE_METATYPE(Row)
Q_DECLARE_METATYPE(Rows)

class TestTableModel : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString file(const QString &name, const QByteArray &content) { return writeFile(m_dir, name, content); }

private slots:
    void initTestCase() { buildMethodCatalog(); }

    // Qt's own checks of the item-model contract, kept watching while the
    // table is changed in every way the program changes it.
    void contract_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<Rows>("rows");
        QTest::newRow("source") << int(SourceDataType) << Rows{{1, 2, 3}, {4, 5, 6}};
        QTest::newRow("ragged source") << int(SourceDataType) << Rows{{1, 2, 3}, {4}, {5, 6, 7, 8}};
        QTest::newRow("empty source") << int(SourceDataType) << Rows{};
        QTest::newRow("formula with verdicts") << 3 << Rows{{80, 100}, {90, 100}};
        QTest::newRow("formula without rows") << 23 << Rows{};
        QTest::newRow("unit conversion") << 53 << Rows{{1500}, {20}};
        QTest::newRow("spatial") << 97 << Rows{{0, 0, 3, 4}};
        QTest::newRow("determination") << 47 << Rows{{100, 190, 140, 130, 100, 130, 70, 25}};
    }

    void contract()
    {
        QFETCH(int, type);
        QFETCH(Rows, rows);
        TTableModel table(type, nullptr);
        QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::QtTest);
        table.appendRows(rows);
        table.setData(table.index(0, 0), int(Qt::Unchecked), Qt::CheckStateRole);
        table.appendRows({{7, 8, 9, 10}});
        table.setHeaderData(1, Qt::Horizontal, QStringLiteral("x"), Qt::DisplayRole);
        table.setMatrix(table.checkedMatrix());
        table.setMatrix(cv::Mat(0, 2, CV_64F));
        table.appendRows({{1, 2}});
        QVERIFY(!QTest::currentTestFailed());
    }

    void columns_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<int>("columns");
        // Names of the method: inputs, outputs and verdicts, after "č.".
        QTest::newRow("cranial index without rows") << 23 << Rows{} << 5;
        QTest::newRow("cranial index") << 23 << Rows{{150, 200}} << 5;
        QTest::newRow("WHR") << 3 << Rows{{80, 100}} << 6;
        QTest::newRow("Giles and Elliot") << 47 << Rows{{1, 2, 3, 4, 5, 6, 7, 8}} << 14;
        QTest::newRow("source") << int(SourceDataType) << Rows{{1, 2, 3}} << 4;
        QTest::newRow("source takes the first row's width") << int(SourceDataType) << Rows{{1, 2}, {3, 4, 5}} << 3;
        QTest::newRow("source without rows") << int(SourceDataType) << Rows{} << 0;
    }

    void columns()
    {
        QFETCH(int, type);
        QFETCH(Rows, rows);
        QFETCH(int, columns);
        const auto table = type == SourceDataType ? sourceTable(rows) : resultTable(type, rows);
        QCOMPARE(table->columnCount(), columns);
    }

    // A header row alone is a template to type measurements into: its
    // columns are there to be filled.
    void headerOnlyCsvHasItsColumns()
    {
        TTableModel table;
        QVERIFY(table.loadCsv(file("header.csv", "a;b;c\n")));
        QCOMPARE(table.rowCount(), 0);
        QCOMPARE(table.columnCount(), 4);
        QCOMPARE(table.inputCount(), 3);
        QCOMPARE(table.headers(), (QStringList{"a", "b", "c"}));
    }

    void rolesAndFlags_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<bool>("checkable");
        QTest::addColumn<QString>("firstHeader");
        QTest::newRow("formula") << 2 << Rows{{70, 1.75}} << false << QString::fromUtf8("Hmotnost (kg)");
        QTest::newRow("unit conversion") << 55 << Rows{{1.5}} << true << QString::fromUtf8("Metry [m]");
        QTest::newRow("spatial") << 101 << Rows{{1, 2}} << true << QString::fromUtf8("x");
        QTest::newRow("source") << int(SourceDataType) << Rows{{1, 2}} << true << QString::fromUtf8("Výška");
    }

    void rolesAndFlags()
    {
        QFETCH(int, type);
        QFETCH(Rows, rows);
        QFETCH(bool, checkable);
        QFETCH(QString, firstHeader);
        const auto table = type == SourceDataType ? sourceTable(rows, {firstHeader}) : resultTable(type, rows);

        const QModelIndex number = table->index(0, 0);
        const QModelIndex cell = table->index(0, 1);
        const Qt::ItemFlags expectedFlags =
            checkable ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable : Qt::ItemFlags(Qt::ItemIsEnabled);
        QCOMPARE(table->flags(number), expectedFlags);
        QCOMPARE(table->flags(cell), expectedFlags);

        QCOMPARE(table->data(number, Qt::DisplayRole), QVariant(1));
        QCOMPARE(table->data(cell, Qt::DisplayRole).typeId(), QMetaType::Double);
        QCOMPARE(table->data(cell, Qt::DisplayRole).toDouble(), rows[0][0]);
        QCOMPARE(table->data(number, Qt::TextAlignmentRole), QVariant(2));
        QCOMPARE(table->data(cell, Qt::TextAlignmentRole), QVariant(2));
        // Without QtGui in the program the light grey is given by its number.
        QCOMPARE(table->data(number, Qt::BackgroundRole).toInt(), 6);
        QVERIFY(!table->data(cell, Qt::BackgroundRole).isValid());

        const QVariant check = table->data(number, Qt::CheckStateRole);
        if (checkable)
            QCOMPARE(check, QVariant(2));
        else
            QVERIFY(!check.isValid());
        QVERIFY(!table->data(cell, Qt::CheckStateRole).isValid());
        QVERIFY(!table->data(cell, Qt::EditRole).isValid());
        QVERIFY(!table->data(cell, Qt::ToolTipRole).isValid());

        QCOMPARE(table->headerData(0, Qt::Horizontal), QVariant(QString::fromUtf8("č.")));
        QCOMPARE(table->headerData(1, Qt::Horizontal), QVariant(firstHeader));
        QVERIFY(!table->headerData(1, Qt::Horizontal, Qt::ToolTipRole).isValid());
        QVERIFY(!table->headerData(0, Qt::Vertical).isValid());
    }

    void rowNumbersCountFromOne()
    {
        const auto table = sourceTable({{5}, {6}, {7}});
        QCOMPARE(table->data(table->index(2, 0)), QVariant(3));
    }

    void checkMarks_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("checked");
        QTest::newRow("unchecked") << QVariant(0) << false;
        QTest::newRow("partly checked unchecks") << QVariant(1) << false;
        QTest::newRow("checked") << QVariant(2) << true;
        QTest::newRow("the delegate's enum") << QVariant::fromValue(Qt::Checked) << true;
        QTest::newRow("the delegate's enum, unchecked") << QVariant::fromValue(Qt::Unchecked) << false;
    }

    void checkMarks()
    {
        QFETCH(QVariant, value);
        QFETCH(bool, checked);
        const auto table = sourceTable({{1}, {2}});
        if (checked)
            table->setData(table->index(1, 0), 0, Qt::CheckStateRole);
        QSignalSpy spy(table.get(), &TTableModel::checksChanged);
        QVERIFY(table->setData(table->index(1, 0), value, Qt::CheckStateRole));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(table->isRowChecked(1), checked);
        QCOMPARE(table->data(table->index(1, 0), Qt::CheckStateRole), QVariant(checked ? 2 : 0));
        QVERIFY(table->isRowChecked(0));
    }

    void ignoredSetDataStillSucceeds_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("role");
        QTest::newRow("data column") << 1 << int(Qt::CheckStateRole);
        QTest::newRow("edit role") << 0 << int(Qt::EditRole);
        QTest::newRow("display role") << 0 << int(Qt::DisplayRole);
    }

    void ignoredSetDataStillSucceeds()
    {
        QFETCH(int, column);
        QFETCH(int, role);
        const auto table = sourceTable({{1, 2}});
        QSignalSpy spy(table.get(), &TTableModel::checksChanged);
        QVERIFY(table->setData(table->index(0, column), 0, role));
        QCOMPARE(spy.count(), 0);
        QVERIFY(table->isRowChecked(0));
        QCOMPARE(table->value(0, 0), 1.0);
    }

    void formulaRowsCannotBeUnchecked()
    {
        const auto table = resultTable(2, {{70, 1.75}});
        QVERIFY(table->setData(table->index(0, 0), 0, Qt::CheckStateRole));
        QVERIFY(table->isRowChecked(0));
        QCOMPARE(table->checkedMatrix().rows, 1);
    }

    void outOfRangeIndexIsHarmless()
    {
        const auto table = sourceTable({{1, 2}});
        TTableModel other;
        other.appendRows({{1}, {2}, {3}});
        // An index of another, larger table.
        const QModelIndex foreign = other.index(2, 0);
        QVERIFY(table->setData(foreign, 0, Qt::CheckStateRole));
        QVERIFY(!table->data(foreign).isValid());
        QVERIFY(table->isRowChecked(0));
    }

    void headerNames_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("role");
        QTest::addColumn<QVariant>("expected");
        const QVariant renamed(QStringLiteral("nový"));
        QTest::newRow("source column") << int(SourceDataType) << 2 << int(Qt::DisplayRole) << renamed;
        QTest::newRow("column the header row did not name")
            << int(SourceDataType) << 3 << int(Qt::DisplayRole) << renamed;
        QTest::newRow("row-number column") << int(SourceDataType) << 0 << int(Qt::DisplayRole)
                                           << QVariant(QString::fromUtf8("č."));
        QTest::newRow("edit role") << int(SourceDataType) << 2 << int(Qt::EditRole) << QVariant(QStringLiteral("b"));
        QTest::newRow("result column") << 84 << 2 << int(Qt::DisplayRole) << QVariant(QStringLiteral("Tuny [t]"));
    }

    void headerNames()
    {
        QFETCH(int, type);
        QFETCH(int, section);
        QFETCH(int, role);
        QFETCH(QVariant, expected);
        TTableModel table;
        if (type == SourceDataType) {
            QVERIFY(table.loadCsv(file("named.csv", "a;b\n1;2;3\n")));
        } else {
            table.setMatrix(cv::Mat(1, 2, CV_64F, cv::Scalar(1.0)));
            QVERIFY(table.applyMethod(type, std::vector<int>{0}));
        }
        QVERIFY(table.setHeaderData(section, Qt::Horizontal, QStringLiteral("nový"), role));
        QCOMPARE(table.headerData(section, Qt::Horizontal), expected);
    }

    void columnWithoutHeaderTextShowsEmptyHeader()
    {
        TTableModel table;
        QVERIFY(table.loadCsv(file("short-header.csv", "a\n1;2\n")));
        QCOMPARE(table.headerData(2, Qt::Horizontal), QVariant(QString()));
    }

    void checkedMatrix_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QList<int>>("unchecked");
        QTest::addColumn<Rows>("expected");
        QTest::newRow("all checked") << int(SourceDataType) << Rows{{1, 2}, {3, 4}} << QList<int>{}
                                     << Rows{{1, 2}, {3, 4}};
        QTest::newRow("unchecked rows left out")
            << int(SourceDataType) << Rows{{1, 2}, {3, 4}, {5, 6}, {7, 8}} << QList<int>{0, 2} << Rows{{3, 4}, {7, 8}};
        // The width is the first row's: a shorter row gives 0, a longer one is cut.
        QTest::newRow("ragged rows") << int(SourceDataType) << Rows{{1, 2, 3}, {4}, {5, 6, 7, 8}, {9, 10, 11}}
                                     << QList<int>{2} << Rows{{1, 2, 3}, {4, 0, 0}, {9, 10, 11}};
        QTest::newRow("nothing checked") << int(SourceDataType) << Rows{{1, 2}} << QList<int>{0} << Rows{};
        // The verdict column has no stored value: 150 / 200 = 0.75 in the
        // index column, then 0.
        QTest::newRow("verdict column") << 23 << Rows{{150, 200}} << QList<int>{} << Rows{{150, 200, 75, 0}};
    }

    void checkedMatrix()
    {
        QFETCH(int, type);
        QFETCH(Rows, rows);
        QFETCH(QList<int>, unchecked);
        QFETCH(Rows, expected);
        const auto table = type == SourceDataType ? sourceTable(rows) : resultTable(type, rows);
        for (int r : unchecked)
            table->setData(table->index(r, 0), 0, Qt::CheckStateRole);
        const cv::Mat m = table->checkedMatrix();
        QCOMPARE(m.type(), CV_64F);
        QCOMPARE(m.cols, table->columnCount() - 1);
        COMPARE_ROWS(matrixRows(m), expected);
    }

    void setMatrixChecksEveryRow()
    {
        const auto table = sourceTable({{1, 2}, {3, 4}, {5, 6}});
        table->setData(table->index(1, 0), 0, Qt::CheckStateRole);
        const double values[] = {7, 8, 9, 10, 11, 12, 13, 14};
        table->setMatrix(cv::Mat(2, 4, CV_64F, const_cast<double *>(values)));
        COMPARE_ROWS(storedRows(*table), (Rows{{7, 8, 9, 10}, {11, 12, 13, 14}}));
        QVERIFY(table->isRowChecked(0) && table->isRowChecked(1));
        QCOMPARE(table->columnCount(), 5);
    }

    void setMatrixTakesAColumnView()
    {
        // A view into a wider matrix is not continuous.
        const double values[] = {1, 2, 3, 4, 5, 6};
        const cv::Mat wide(2, 3, CV_64F, const_cast<double *>(values));
        TTableModel table;
        table.setMatrix(wide.colRange(1, 3));
        COMPARE_ROWS(storedRows(table), (Rows{{2, 3}, {5, 6}}));
    }

    void shortRowShowsEmptyCellAndFeedsZero()
    {
        const auto table = sourceTable({{1, 2}, {3}});
        QVERIFY(!table->data(table->index(1, 2)).isValid());
        QCOMPARE(table->data(table->index(1, 1)).toDouble(), 3.0);
        // 3 / 0: a zero divisor gives 0.
        QVERIFY(table->applyMethod(3, std::vector<int>{0, 1}));
        COMPARE_ROWS(storedRows(*table), (Rows{{1, 2, 0.5}, {3, 0, 0}}));
    }

    void appendRowsRecomputesFromCheckedRows_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<Rows>("added");
        QTest::addColumn<Rows>("expected");
        // Row 1 is unchecked before the insert and is gone after it.
        // Kilograms to grams: times 1000; an empty row feeds 0.
        QTest::newRow("unit conversion") << 82 << Rows{{1.5}, {2}, {0.25}} << Rows{{3}, {}}
                                         << Rows{{1.5, 1500}, {0.25, 250}, {3, 3000}, {0, 0}};
        // Distances of (0,0)-(3,4), (1,1)-(4,5), (0,0)-(6,8) and (1,2)-(1,2).
        QTest::newRow("spatial") << 97 << Rows{{0, 0, 3, 4}, {1, 1, 4, 5}, {0, 0, 6, 8}} << Rows{{1, 2, 1, 2}}
                                 << Rows{{0, 0, 3, 4, 5}, {0, 0, 6, 8, 10}, {1, 2, 1, 2, 0}};
    }

    void appendRowsRecomputesFromCheckedRows()
    {
        QFETCH(int, type);
        QFETCH(Rows, rows);
        QFETCH(Rows, added);
        QFETCH(Rows, expected);
        const auto table = resultTable(type, rows);
        table->setData(table->index(1, 0), 0, Qt::CheckStateRole);
        QVERIFY(!table->isRowChecked(1));
        table->appendRows(added);
        COMPARE_ROWS(storedRows(*table), expected);
        for (int r = 0; r < table->rowCount(); ++r)
            QVERIFY(table->isRowChecked(r));
    }

    void appendRowsToFormulaResult()
    {
        // BMI: 70 / 1.75^2 = 22.857142857142858, 90 / 3^2 = 10.
        const auto table = resultTable(2, {{70, 1.75}});
        // Extra values beyond the method's inputs are not taken.
        table->appendRows({{90, 3, 55}});
        COMPARE_ROWS(storedRows(*table), (Rows{{70, 1.75, 22.857142857142858}, {90, 3, 10}}));
    }

    void appendRowsToResultWithShortRows()
    {
        // Points (x1, y1) without (x2, y2): the missing coordinates feed 0, so
        // each distance is the one from (0, 0): sqrt(9 + 16) = 5, sqrt(25) = 5.
        TTableModel table(97, nullptr);
        table.setMatrix((cv::Mat_<double>(2, 2) << 3, 4, 6, 8));
        table.setData(table.index(1, 0), 0, Qt::CheckStateRole);
        table.appendRows({{0, 5}});
        COMPARE_ROWS(storedRows(table), (Rows{{3, 4, 0, 0, 5}, {0, 5, 0, 0, 5}}));
    }

    void appendRowsToSourceKeepsRows()
    {
        const auto table = sourceTable({{1, 2}, {3, 4}});
        table->setData(table->index(0, 0), 0, Qt::CheckStateRole);
        table->appendRows({{5, 6, 7}});
        COMPARE_ROWS(storedRows(*table), (Rows{{1, 2}, {3, 4}, {5, 6, 7}}));
        QVERIFY(!table->isRowChecked(0));
        QVERIFY(table->isRowChecked(2));
    }

    void inputCount_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("inputs");
        QTest::newRow("source: every column") << int(SourceDataType) << 3;
        QTest::newRow("WHR") << 3 << 2;
        QTest::newRow("Giles and Elliot") << 47 << 8;
        QTest::newRow("plane distance") << 105 << 12;
    }

    void inputCount()
    {
        QFETCH(int, type);
        QFETCH(int, inputs);
        const auto table = type == SourceDataType ? sourceTable({{1, 2, 3}}) : resultTable(type, {});
        QCOMPARE(table->inputCount(), inputs);
    }

    void applyMethodMapsColumns()
    {
        // Height in metres, weight, waist.
        const auto table = sourceTable({{1.75, 70, 80}, {2, 80, 90}, {1.5, 60, 70}});
        table->setData(table->index(1, 0), 0, Qt::CheckStateRole);
        qint32 askedFor = -1;
        const bool applied = table->applyMethod(2, [&](const TTableModel &t, qint32 id, std::vector<int> *columns) {
            askedFor = id;
            if (&t != table.get())
                return false;
            *columns = {1, 0};
            return true;
        });
        QVERIFY(applied);
        QCOMPARE(askedFor, 2);
        QCOMPARE(table->type(), 2);
        COMPARE_ROWS(storedRows(*table), (Rows{{70, 1.75, 22.857142857142858}, {60, 1.5, 26.666666666666668}}));
        QVERIFY(table->isRowChecked(0) && table->isRowChecked(1));
        QCOMPARE(table->headerData(3, Qt::Horizontal), QVariant(QStringLiteral("BMI")));
    }

    void applyMethodSameColumnTwice()
    {
        const auto table = sourceTable({{4, 9}});
        QVERIFY(table->applyMethod(3, std::vector<int>{1, 1}));
        COMPARE_ROWS(storedRows(*table), (Rows{{9, 9, 1}}));
    }

    void refusedApplyChangesNothing_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QList<int>>("columns");
        QTest::addColumn<bool>("cancel");
        QTest::newRow("cancelled") << 2 << QList<int>{0, 1} << true;
        QTest::newRow("too few columns") << 2 << QList<int>{0} << false;
        QTest::newRow("too many columns") << 2 << QList<int>{0, 1, 1} << false;
        QTest::newRow("column beyond the table") << 2 << QList<int>{0, 2} << false;
        QTest::newRow("negative column") << 2 << QList<int>{-1, 0} << false;
        QTest::newRow("empty slot") << 100 << QList<int>{0, 1} << false;
        QTest::newRow("source type") << int(SourceDataType) << QList<int>{0, 1} << false;
        QTest::newRow("negative id") << -1 << QList<int>{0, 1} << false;
    }

    void refusedApplyChangesNothing()
    {
        QFETCH(int, id);
        QFETCH(QList<int>, columns);
        QFETCH(bool, cancel);
        const auto table = sourceTable({{1.75, 70}, {2, 80}}, {"a", "b"});
        table->setData(table->index(0, 0), 0, Qt::CheckStateRole);
        const bool applied = table->applyMethod(id, [&](const TTableModel &, qint32, std::vector<int> *mapped) {
            mapped->assign(columns.begin(), columns.end());
            return !cancel;
        });
        QVERIFY(!applied);
        QCOMPARE(table->type(), SourceDataType);
        COMPARE_ROWS(storedRows(*table), (Rows{{1.75, 70}, {2, 80}}));
        QVERIFY(!table->isRowChecked(0));
    }

    void nullParentIsAnEmptySourceTable()
    {
        TTableModel table(nullptr);
        QCOMPARE(table.type(), SourceDataType);
        QCOMPARE(table.parent(), nullptr);
        QCOMPARE(table.rowCount(), 0);
    }

    void copyIsIndependent()
    {
        const auto table = sourceTable({{1, 2}, {3, 4}}, {"a", "b"});
        table->setData(table->index(1, 0), 0, Qt::CheckStateRole);
        TTableModel copy(table.get());
        QCOMPARE(copy.parent(), nullptr);
        QCOMPARE(copy.headers(), (QStringList{"a", "b"}));
        QVERIFY(!copy.isRowChecked(1));
        QVERIFY(copy.applyMethod(3, std::vector<int>{0, 1}));
        COMPARE_ROWS(storedRows(*table), (Rows{{1, 2}, {3, 4}}));
        QCOMPARE(table->type(), SourceDataType);
    }

    void copyKeepsItsValuesWhenTheOriginalIsRead()
    {
        TTableModel original;
        original.setMatrix(cv::Mat(2, 2, CV_64F, cv::Scalar(1.0)));
        TTableModel copy(&original);
        QByteArray entry("5;6\n7;8\n");
        QBuffer buffer(&entry);
        buffer.open(QIODevice::ReadOnly);
        QVERIFY(original.readCsv(&buffer));
        COMPARE_ROWS(storedRows(original), (Rows{{5, 6}, {7, 8}}));
        COMPARE_ROWS(storedRows(copy), (Rows{{1, 1}, {1, 1}}));
    }

    void setMatrixKeepsAValueCopy()
    {
        cv::Mat m(1, 2, CV_64F, cv::Scalar(1.0));
        TTableModel table;
        table.setMatrix(m);
        m.at<double>(0, 0) = 9;
        QCOMPARE(table.value(0, 0), 1.0);
        // Nor does the matrix handed out write into the table.
        cv::Mat checked = table.checkedMatrix();
        checked.at<double>(0, 1) = 9;
        QCOMPARE(table.value(0, 1), 1.0);
    }

    void loadCsv()
    {
        TTableModel table;
        const QString path =
            file("people.csv", "V\xC3\xBD\xC5\xA1ka;Hmotnost\r\n1,75;70\r\n1.8;80;5\r\n\r\n;2\r\n");
        QVERIFY(table.loadCsv(path));
        QCOMPARE(table.type(), SourceDataType);
        QCOMPARE(table.headers(), (QStringList{QString::fromUtf8("Výška"), "Hmotnost"}));
        // Rows stay as read: a longer row, a blank line as one 0, an empty field as 0.
        COMPARE_ROWS(storedRows(table), (Rows{{1.75, 70}, {1.8, 80, 5}, {0}, {0, 2}}));
        QCOMPARE(table.columnCount(), 3);
        for (int r = 0; r < 4; ++r)
            QVERIFY(table.isRowChecked(r));
    }

    void loadCsvReplacesTheTable()
    {
        TTableModel table;
        table.appendRows({{9, 9, 9}});
        table.setData(table.index(0, 0), 0, Qt::CheckStateRole);
        QVERIFY(table.loadCsv(file("one.csv", "a\n1\n")));
        COMPARE_ROWS(storedRows(table), (Rows{{1}}));
        QVERIFY(table.isRowChecked(0));
    }

    void loadCsvOfEmptyFile()
    {
        TTableModel table;
        QVERIFY(table.loadCsv(file("empty.csv", "")));
        QCOMPARE(table.rowCount(), 0);
        QVERIFY(table.headers().isEmpty());
    }

    void loadCsvThatCannotBeReadKeepsTheTable_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing") << m_dir.filePath("none.csv");
        QTest::newRow("folder") << m_dir.path();
    }

    void loadCsvThatCannotBeReadKeepsTheTable()
    {
        QFETCH(QString, path);
        TTableModel table;
        QVERIFY(table.loadCsv(file("kept.csv", "a;b\n1;2\n")));
        QVERIFY(!table.loadCsv(path));
        QCOMPARE(table.headers(), (QStringList{"a", "b"}));
        COMPARE_ROWS(storedRows(table), (Rows{{1, 2}}));
    }

    void writeCsv()
    {
        const auto table = sourceTable({{1.75, 70}, {1234567, 0.1, 100}, {-0.5}});
        table->setData(table->index(1, 0), 0, Qt::CheckStateRole);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(table->writeCsv(&buffer));
        // Every row, unchecked ones too, as it is stored.
        QCOMPARE(buffer.data(), QByteArray("1,75;70\n1,23457e+06;0,1;100\n-0,5\n"));
    }

    void writeCsvOfResultWritesNoVerdicts()
    {
        const auto table = resultTable(23, {{150, 200}});
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(table->writeCsv(&buffer));
        QCOMPARE(buffer.data(), QByteArray("150;200;75\n"));
    }

    void writeCsvReportsAFailedDevice()
    {
        const auto table = sourceTable({{1, 2}});
        QFile full(QStringLiteral("/dev/full"));
        if (!full.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            QSKIP("no /dev/full here");
        QVERIFY(!table->writeCsv(&full));
        QBuffer readOnly;
        readOnly.open(QIODevice::ReadOnly);
        QVERIFY(!table->writeCsv(&readOnly));
        QVERIFY(!table->writeCsv(nullptr));
    }

    void readCsv_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<Rows>("expected");
        QTest::newRow("exact") << QByteArray("1;2;3\n4;5;6\n7;8;9\n") << Rows{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
        QTest::newRow("decimal comma and point") << QByteArray("1,5;2.5;-3e2\n0;0;0\n0;0;0\n")
                                                  << Rows{{1.5, 2.5, -300}, {0, 0, 0}, {0, 0, 0}};
        QTest::newRow("short lines and fields stay 0") << QByteArray("1\n\n;;4\n") << Rows{{1, 0, 0}, {0, 0, 0}, {0, 0, 4}};
        QTest::newRow("missing lines stay 0") << QByteArray("1;2;3\n") << Rows{{1, 2, 3}, {0, 0, 0}, {0, 0, 0}};
        QTest::newRow("surplus fields and lines ignored")
            << QByteArray("1;2;3;4\n5;6;7\n8;9;10\n11;12;13\n") << Rows{{1, 2, 3}, {5, 6, 7}, {8, 9, 10}};
        QTest::newRow("no final line end") << QByteArray("1;2;3\n4;5;6\n7;8;9") << Rows{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
        QTest::newRow("CR LF") << QByteArray("1;2;3\r\n4;5;6\r\n7;8;9\r\n") << Rows{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
        QTest::newRow("not numbers") << QByteArray("x;nan;inf\n1;2;3\n4;5;6\n")
                                     << Rows{{0, qQNaN(), qInf()}, {1, 2, 3}, {4, 5, 6}};
        QTest::newRow("empty entry") << QByteArray() << Rows{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    }

    void readCsv()
    {
        QFETCH(QByteArray, entry);
        QFETCH(Rows, expected);
        TTableModel table;
        table.setMatrix(cv::Mat(3, 3, CV_64F, cv::Scalar(0.0)));
        QBuffer buffer(&entry);
        buffer.open(QIODevice::ReadOnly);
        QVERIFY(table.readCsv(&buffer));
        const Rows actual = storedRows(table);
        QCOMPARE(actual.size(), expected.size());
        for (int r = 0; r < actual.size(); ++r) {
            QCOMPARE(actual[r].size(), expected[r].size());
            for (int c = 0; c < actual[r].size(); ++c) {
                if (std::isnan(expected[r][c]))
                    QVERIFY(std::isnan(actual[r][c]));
                else
                    QCOMPARE(actual[r][c], expected[r][c]);
            }
        }
    }

    void readCsvIntoRaggedRows()
    {
        // Each line fills its own row as far as the row reaches.
        const auto table = sourceTable({{0, 0}, {0}, {0, 0, 0}});
        QByteArray entry("1;2;3\n4;5;6\n7;8;9\n");
        QBuffer buffer(&entry);
        buffer.open(QIODevice::ReadOnly);
        QVERIFY(table->readCsv(&buffer));
        COMPARE_ROWS(storedRows(*table), (Rows{{1, 2}, {4}, {7, 8, 9}}));
    }

    void writtenValuesReadBack()
    {
        // A result of the cranial index holds three values per row; its
        // record gives it four columns.
        const auto written = resultTable(23, {{150, 200}, {141, 180}});
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(written->writeCsv(&buffer));
        buffer.close();

        TTableModel read(23, nullptr);
        read.setMatrix(cv::Mat(2, 4, CV_64F, cv::Scalar(0.0)));
        buffer.open(QIODevice::ReadOnly);
        QVERIFY(read.readCsv(&buffer));
        // 141 / 180 * 100 = 78.333..., written with 6 digits.
        COMPARE_ROWS(storedRows(read), (Rows{{150, 200, 75, 0}, {141, 180, 78.3333, 0}}));
        QCOMPARE(read.data(read.index(1, 4)).toString(), QString::fromUtf8("mesokranní"));
    }

    void readCsvNeedsAReadableDevice()
    {
        TTableModel table;
        table.setMatrix(cv::Mat(1, 1, CV_64F, cv::Scalar(5.0)));
        QBuffer closed;
        QVERIFY(!table.readCsv(&closed));
        QVERIFY(!table.readCsv(nullptr));
        QCOMPARE(table.value(0, 0), 5.0);
    }
};

QTEST_GUILESS_MAIN(TestTableModel)
#include "tst_tablemodel.moc"

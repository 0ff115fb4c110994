// The table model: its item-model contract, roles and flags by kind of table,
// the matrices it hands to the compute routines and takes back, the recomputed
// insert, the method run, and its CSV reading and writing.

#include "MethodCatalog.h"
#include "TableTestSupport.h"
#include "TestFiles.h"

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QBuffer>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

Rows matrixRows(const cv::Mat &m)
{
    Rows rows;
    for (int r = 0; r < m.rows; ++r)
        rows.append(Row(m.ptr<double>(r), m.ptr<double>(r) + m.cols));
    return rows;
}

std::unique_ptr<TTableModel> tableOf(int type, const Rows &rows)
{
    return type == SourceDataType ? sourceTable(rows) : resultTable(type, rows);
}

} // namespace

class TestTableModel : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString file(const QString &name, const QByteArray &content) { return writeFile(m_dir, name, content); }

private slots:
    void initTestCase() { buildMethodCatalog(); }

    // The columns: "č.", then the method's names (inputs, outputs, verdicts)
    // or a source table's first row. Then Qt's own checks of the item-model
    // contract, kept watching while the table is changed in every way the
    // program changes it.
    void shapeAndContract_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("inputs");
        const int source = SourceDataType;
        QTest::newRow("source") << source << Rows{{1, 2, 3}, {4, 5, 6}} << 4 << 3;
        QTest::newRow("source takes the first row's width") << source << Rows{{1, 2}, {3, 4, 5}, {6}} << 3 << 2;
        QTest::newRow("source without rows") << source << Rows{} << 0 << 0;
        QTest::newRow("cranial index") << 23 << Rows{{150, 200}} << 5 << 2;
        QTest::newRow("cranial index without rows") << 23 << Rows{} << 5 << 2;
        QTest::newRow("WHR with its verdicts") << 3 << Rows{{80, 100}, {90, 100}} << 6 << 2;
        QTest::newRow("spatial") << 97 << Rows{{0, 0, 3, 4}} << 6 << 4;
        QTest::newRow("Giles and Elliot") << 47 << Rows{{100, 190, 140, 130, 100, 130, 70, 25}} << 14 << 8;
        QTest::newRow("plane distance") << 105 << Rows{} << 14 << 12;
    }

    void shapeAndContract()
    {
        QFETCH(int, type);
        QFETCH(Rows, rows);
        const auto shaped = tableOf(type, rows);
        QTEST(shaped->columnCount(), "columns");
        QTEST(shaped->inputCount(), "inputs");
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

    void rolesAndFlags_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<bool>("checkable");
        QTest::addColumn<QString>("firstHeader");
        QTest::newRow("formula") << 2 << Rows{{70, 1.75}} << false << QStringLiteral("Hmotnost (kg)");
        QTest::newRow("unit conversion") << 55 << Rows{{1.5}} << true << QStringLiteral("Metry [m]");
        QTest::newRow("source") << int(SourceDataType) << Rows{{1.2345678, 2}} << true << QStringLiteral("Výška");
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
        // Cells are selected for copying; only a source table's take typed text.
        const bool source = type == SourceDataType;
        const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable
                                    | (checkable ? Qt::ItemIsUserCheckable : Qt::NoItemFlags);
        QCOMPARE(table->flags(number), flags);
        QCOMPARE(table->flags(cell), source ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable : flags);
        // The row number right-aligned (2), its check mark, on light grey: a
        // brush the item delegate can paint with under a GUI, else its number (6).
        const QVariantList numberRoles{table->data(number), table->data(number, Qt::TextAlignmentRole),
                                       table->data(number, Qt::CheckStateRole)};
        QCOMPARE(numberRoles, (QVariantList{1, 2, checkable ? QVariant(2) : QVariant()}));
        const QVariant grey = table->data(number, Qt::BackgroundRole);
        if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
            QCOMPARE(qvariant_cast<QBrush>(grey).color(), QColor(Qt::lightGray));
        else
            QCOMPARE(grey.toInt(), 6);
        // The value as a double, right-aligned, and nothing more.
        QCOMPARE(table->data(cell), QVariant(rows[0][0]));
        QCOMPARE(table->data(cell, Qt::TextAlignmentRole), QVariant(2));
        for (int role : {Qt::BackgroundRole, Qt::CheckStateRole, Qt::ToolTipRole})
            QVERIFY(!table->data(cell, role).isValid());
        // An editor starts from the whole number (not six digits), written with a decimal comma.
        QCOMPARE(table->data(cell, Qt::EditRole), source ? QVariant(QStringLiteral("1,2345678")) : QVariant());
        QCOMPARE(table->headerData(0, Qt::Horizontal), QVariant(QStringLiteral("č.")));
        QCOMPARE(table->headerData(1, Qt::Horizontal), QVariant(firstHeader));
        QVERIFY(!table->headerData(1, Qt::Horizontal, Qt::ToolTipRole).isValid());
        QVERIFY(!table->headerData(0, Qt::Vertical).isValid());
    }

    // Check marks as the delegate and the views set them; calls that change
    // nothing still succeed, as the views expect, and tell nothing.
    void setData_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("role");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("foreign"); // an index of another, larger table
        QTest::addColumn<bool>("checked"); // row 1 afterwards
        QTest::addColumn<int>("changes");
        const int source = SourceDataType;
        const int check = Qt::CheckStateRole;
        QTest::newRow("unchecked") << source << 0 << check << QVariant(0) << false << false << 1;
        QTest::newRow("partly checked unchecks") << source << 0 << check << QVariant(1) << false << false << 1;
        QTest::newRow("checked") << source << 0 << check << QVariant(2) << false << true << 1;
        // An enum the value must be read from, not taken for 0 (unchecked).
        QTest::newRow("the delegate's enum") << source << 0 << check << QVariant::fromValue(Qt::Checked) << false
                                             << true << 1;
        QTest::newRow("data column") << source << 1 << check << QVariant(0) << false << true << 0;
        QTest::newRow("edit role") << source << 0 << int(Qt::EditRole) << QVariant(0) << false << true << 0;
        QTest::newRow("display role") << source << 0 << int(Qt::DisplayRole) << QVariant(0) << false << true << 0;
        QTest::newRow("formula rows cannot be unchecked") << 3 << 0 << check << QVariant(0) << false << true << 0;
        QTest::newRow("index out of range") << source << 0 << check << QVariant(0) << true << true << 0;
    }

    void setData()
    {
        QFETCH(int, type);
        QFETCH(int, column);
        QFETCH(int, role);
        QFETCH(QVariant, value);
        QFETCH(bool, foreign);
        QFETCH(bool, checked);
        QFETCH(int, changes);
        const auto table = tableOf(type, {{1, 2}, {3, 4}});
        QCOMPARE(table->data(table->index(1, 0)), QVariant(2)); // row numbers count from 1
        if (changes && checked)
            table->setData(table->index(1, 0), 0, Qt::CheckStateRole);
        const auto other = sourceTable({{1}, {2}, {3}});
        const QModelIndex index = foreign ? other->index(2, column) : table->index(1, column);
        QSignalSpy spy(table.get(), &TTableModel::checksChanged);
        QVERIFY(table->setData(index, value, role));
        QCOMPARE(spy.count(), changes);
        QCOMPARE(table->isRowChecked(1), checked);
        QVERIFY(table->isRowChecked(0));
        QCOMPARE(table->checkedMatrix().rows, checked ? 2 : 1);
        QCOMPARE(table->value(1, 0), 3.0);
        if (changes)
            QCOMPARE(table->data(table->index(1, 0), Qt::CheckStateRole), QVariant(checked ? 2 : 0));
        if (foreign)
            QVERIFY(!table->data(index).isValid());
    }

    void headerNames_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("role"); // -1: not renamed
        QTest::addColumn<QVariant>("expected");
        const QVariant renamed(QStringLiteral("nový"));
        QTest::newRow("source column") << int(SourceDataType) << 2 << int(Qt::DisplayRole) << renamed;
        QTest::newRow("column the header row left empty") << int(SourceDataType) << 3 << int(Qt::DisplayRole)
                                                          << renamed;
        QTest::newRow("empty name, not renamed") << int(SourceDataType) << 3 << -1 << QVariant(QString());
        QTest::newRow("row-number column") << int(SourceDataType) << 0 << int(Qt::DisplayRole)
                                           << QVariant(QStringLiteral("č."));
        QTest::newRow("edit role") << int(SourceDataType) << 2 << int(Qt::EditRole) << QVariant(QStringLiteral("b"));
        QTest::newRow("result column") << 84 << 2 << int(Qt::DisplayRole) << QVariant(QStringLiteral("Tuny [t]"));
    }

    void headerNames()
    {
        QFETCH(int, type);
        QFETCH(int, section);
        QFETCH(int, role);
        TTableModel table;
        if (type == SourceDataType) {
            QVERIFY(table.loadCsv(file("named.csv", "a;b;\n1;2;3\n")));
        } else {
            table.setMatrix(cv::Mat(1, 2, CV_64F, cv::Scalar(1.0)));
            QVERIFY(table.applyMethod(type, std::vector<int>{0}));
        }
        if (role >= 0)
            QVERIFY(table.setHeaderData(section, Qt::Horizontal, QStringLiteral("nový"), role));
        QTEST(table.headerData(section, Qt::Horizontal), "expected");
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
        // The width is the first row's: a shorter row gives 0, a longer one is
        // cut, the last one too (nothing is written past the matrix).
        QTest::newRow("ragged rows") << int(SourceDataType)
                                     << Rows{{1, 2, 3}, {4}, {5, 6, 7, 8}, {9, 10, 11}, Row(40, 12.0)} << QList<int>{2}
                                     << Rows{{1, 2, 3}, {4, 0, 0}, {9, 10, 11}, {12, 12, 12}};
        QTest::newRow("nothing checked") << int(SourceDataType) << Rows{{1, 2}} << QList<int>{0} << Rows{};
        // The verdict column has no stored value: 100 · 150 / 200 = 75 in the
        // index column, then 0.
        QTest::newRow("verdict column") << 23 << Rows{{150, 200}} << QList<int>{} << Rows{{150, 200, 75, 0}};
    }

    void checkedMatrix()
    {
        QFETCH(int, type);
        QFETCH(Rows, rows);
        QFETCH(QList<int>, unchecked);
        QFETCH(Rows, expected);
        const auto table = tableOf(type, rows);
        for (int r : unchecked)
            table->setData(table->index(r, 0), 0, Qt::CheckStateRole);
        const cv::Mat m = table->checkedMatrix();
        QCOMPARE(m.type(), CV_64F);
        QCOMPARE(m.cols, table->columnCount() - 1);
        COMPARE_ROWS(matrixRows(m), expected);
    }

    void setMatrix()
    {
        const auto table = sourceTable({{1, 2}, {3, 4}, {5, 6}});
        table->setData(table->index(1, 0), 0, Qt::CheckStateRole);
        // A view into a wider matrix is not continuous.
        cv::Mat wide = (cv::Mat_<double>(2, 5) << 0, 7, 8, 9, 10, 0, 11, 12, 13, 14);
        table->setMatrix(wide.colRange(1, 5));
        COMPARE_ROWS(storedRows(*table), (Rows{{7, 8, 9, 10}, {11, 12, 13, 14}}));
        QVERIFY(table->isRowChecked(0) && table->isRowChecked(1));
        QCOMPARE(table->columnCount(), 5);
        // The table keeps a copy, and the matrix it hands out is a copy too.
        wide.at<double>(0, 1) = 99;
        cv::Mat checked = table->checkedMatrix();
        checked.at<double>(0, 1) = 99;
        QCOMPARE(table->value(0, 0), 7.0);
        QCOMPARE(table->value(0, 1), 8.0);
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

    // Row 1 is unchecked before the insert: a result is computed anew from
    // its checked rows (so row 1 is gone), a source table keeps its rows.
    void appendRows_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<Rows>("added");
        QTest::addColumn<Rows>("expected");
        QTest::addColumn<QString>("checks");
        // Kilograms to grams: times 1000; an empty row feeds 0.
        QTest::newRow("unit conversion") << 82 << Rows{{1.5}, {2}, {0.25}} << Rows{{3}, {}}
                                         << Rows{{1.5, 1500}, {0.25, 250}, {3, 3000}, {0, 0}} << "1111";
        // Distances of (0,0)-(3,4), (1,1)-(4,5), (0,0)-(6,8) and (1,2)-(1,2).
        QTest::newRow("spatial") << 97 << Rows{{0, 0, 3, 4}, {1, 1, 4, 5}, {0, 0, 6, 8}} << Rows{{1, 2, 1, 2}}
                                 << Rows{{0, 0, 3, 4, 5}, {0, 0, 6, 8, 10}, {1, 2, 1, 2, 0}} << "111";
        // Points (x1, y1) without (x2, y2) feed 0: distances from the origin.
        QTest::newRow("spatial, short rows") << 97 << Rows{{3, 4}, {6, 8}} << Rows{{0, 5}}
                                             << Rows{{3, 4, 0, 0, 5}, {0, 5, 0, 0, 5}} << "11";
        // BMI 70 / 1.75² and 90 / 3²; values beyond the method's inputs are not taken.
        QTest::newRow("formula") << 2 << Rows{{70, 1.75}} << Rows{{90, 3, 55}}
                                 << Rows{{70, 1.75, 70 / 3.0625}, {90, 3, 10}} << "11";
        QTest::newRow("source") << int(SourceDataType) << Rows{{1, 2}, {3, 4}} << Rows{{5, 6, 7}}
                                << Rows{{1, 2}, {3, 4}, {5, 6, 7}} << "101";
    }

    void appendRows()
    {
        QFETCH(int, type);
        QFETCH(Rows, rows);
        QFETCH(Rows, added);
        const auto table = tableOf(type, rows);
        table->setData(table->index(1, 0), 0, Qt::CheckStateRole);
        table->appendRows(added);
        QFETCH(Rows, expected);
        COMPARE_ROWS(storedRows(*table), expected);
        QString checks;
        for (int r = 0; r < table->rowCount(); ++r)
            checks += table->isRowChecked(r) ? u'1' : u'0';
        QTEST(checks, "checks");
    }

    // A method on the checked rows (heights in metres, weights, waists; row
    // 1 unchecked) of the columns the mapping names, in input order; refused,
    // and the table unchanged, when the mapping is cancelled or names no
    // column for an input, or the id is no method.
    void applyMethod_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QList<int>>("columns");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<Rows>("expected"); // empty: refused
        // 70 / 1.75² and 60 / 1.5²; one column twice: 80 / 80.
        QTest::newRow("BMI") << 2 << QList<int>{1, 0} << false << Rows{{70, 1.75, 70 / 3.0625}, {60, 1.5, 60 / 2.25}};
        QTest::newRow("one column twice") << 3 << QList<int>{2, 2} << false << Rows{{80, 80, 1}, {70, 70, 1}};
        QTest::newRow("cancelled") << 2 << QList<int>{0, 1} << true << Rows{};
        QTest::newRow("too few columns") << 2 << QList<int>{0} << false << Rows{};
        QTest::newRow("too many columns") << 2 << QList<int>{0, 1, 1} << false << Rows{};
        QTest::newRow("column beyond the table") << 2 << QList<int>{0, 3} << false << Rows{};
        QTest::newRow("negative column") << 2 << QList<int>{-1, 0} << false << Rows{};
        QTest::newRow("empty slot") << 100 << QList<int>{0, 1} << false << Rows{};
        QTest::newRow("source type") << int(SourceDataType) << QList<int>{0, 1} << false << Rows{};
        QTest::newRow("negative id") << -1 << QList<int>{0, 1} << false << Rows{};
    }

    void applyMethod()
    {
        QFETCH(int, id);
        QFETCH(QList<int>, columns);
        QFETCH(bool, cancel);
        QFETCH(Rows, expected);
        const Rows rows{{1.75, 70, 80}, {2, 80, 90}, {1.5, 60, 70}};
        const auto table = sourceTable(rows, {"a", "b", "c"});
        table->setData(table->index(1, 0), 0, Qt::CheckStateRole);
        qint32 askedFor = -1;
        const bool applied = table->applyMethod(id, [&](const TTableModel &t, qint32 asked, std::vector<int> *mapped) {
            askedFor = asked;
            mapped->assign(columns.begin(), columns.end());
            return &t == table.get() && !cancel;
        });
        QCOMPARE(applied, !expected.isEmpty());
        QVERIFY(askedFor == id || !applied);
        QCOMPARE(table->type(), applied ? id : SourceDataType);
        COMPARE_ROWS(storedRows(*table), applied ? expected : rows);
        QCOMPARE(table->isRowChecked(1), applied);
        if (id == 2 && applied)
            QCOMPARE(table->headerData(3, Qt::Horizontal), QVariant(QStringLiteral("BMI")));
    }

    // A copy has values, marks and headers of its own: neither a method on it
    // nor a read into the original reaches the other.
    void copyIsIndependent()
    {
        const auto table = sourceTable({{1, 2}, {3, 4}}, {"a", "b"});
        table->setData(table->index(1, 0), 0, Qt::CheckStateRole);
        TTableModel copy(table.get());
        QCOMPARE(copy.parent(), nullptr);
        QCOMPARE(copy.headers(), (QStringList{"a", "b"}));
        QVERIFY(!copy.isRowChecked(1));
        TTableModel second(table.get());
        QVERIFY(copy.applyMethod(3, std::vector<int>{0, 1}));
        QByteArray entry("5;6\n7;8\n");
        QBuffer buffer(&entry);
        buffer.open(QIODevice::ReadOnly);
        QVERIFY(table->readCsv(&buffer));
        COMPARE_ROWS(storedRows(*table), (Rows{{5, 6}, {7, 8}}));
        QCOMPARE(table->type(), SourceDataType);
        COMPARE_ROWS(storedRows(second), (Rows{{1, 2}, {3, 4}}));
    }

    // An import replaces the table (a, b; row 1 unchecked): rows as read,
    // every one checked. A file that cannot be read leaves it as it was.
    void loadCsv_data()
    {
        QTest::addColumn<QString>("path"); // "": the content's file
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<int>("columns");
        // The header gives the width: a longer row keeps the table's columns,
        // a blank line is skipped, an empty field is missing.
        QTest::newRow("rows as read") << QString() << QByteArray("V\xC3\xBD\xC5\xA1ka;Hmotnost\r\n1,75;70\r\n1.8;80;5\r\n\r\n;2\r\n")
                                      << QStringList{QStringLiteral("Výška"), "Hmotnost"}
                                      << Rows{{1.75, 70}, {1.8, 80}, {qQNaN(), 2}} << 3;
        // A header row alone is a template to type measurements into.
        QTest::newRow("header only") << QString() << QByteArray("a;b;c\n") << QStringList{"a", "b", "c"} << Rows{} << 4;
        QTest::newRow("empty file") << QString() << QByteArray() << QStringList{} << Rows{} << 0;
        QTest::newRow("missing") << m_dir.filePath("none.csv") << QByteArray() << QStringList{"a", "b"}
                                 << Rows{{1, 2}, {3, 4}} << 3;
        QTest::newRow("folder") << m_dir.path() << QByteArray() << QStringList{"a", "b"} << Rows{{1, 2}, {3, 4}} << 3;
    }

    void loadCsv()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, content);
        QFETCH(Rows, rows);
        const auto table = sourceTable({{1, 2}, {3, 4}}, {"a", "b"});
        table->setData(table->index(1, 0), 0, Qt::CheckStateRole);
        QCOMPARE(table->loadCsv(path.isEmpty() ? file("people.csv", content) : path), path.isEmpty());
        QCOMPARE(table->type(), SourceDataType);
        QTEST(table->headers(), "headers");
        COMPARE_ROWS(storedRows(*table), rows);
        QTEST(table->columnCount(), "columns");
        for (int r = 0; r < table->rowCount(); ++r)
            QCOMPARE(table->isRowChecked(r), r != 1 || path.isEmpty());
    }

    // Every row, unchecked ones too, as it is stored; a result without its verdicts.
    void writeCsv_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("source") << int(SourceDataType) << Rows{{1.75, 70}, {1234567, 0.1, 100}, {-0.5}}
                                << QByteArray("1,75;70\n1,23457e+06;0,1;100\n-0,5\n");
        QTest::newRow("cranial index") << 23 << Rows{{150, 200}} << QByteArray("150;200;75\n");
    }

    void writeCsv()
    {
        QFETCH(int, type);
        QFETCH(Rows, rows);
        const auto table = tableOf(type, rows);
        table->setData(table->index(rows.size() - 1, 0), 0, Qt::CheckStateRole);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(table->writeCsv(&buffer));
        QTEST(buffer.data(), "written");
    }

    void devicesThatFailAreReported()
    {
        const auto table = sourceTable({{1, 2}});
        QFile full(QStringLiteral("/dev/full"));
        QVERIFY(full.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        QVERIFY(!table->writeCsv(&full));
        QBuffer readOnly;
        readOnly.open(QIODevice::ReadOnly);
        QVERIFY(!table->writeCsv(&readOnly));
        QVERIFY(!table->writeCsv(nullptr));
        QBuffer closed;
        QVERIFY(!table->readCsv(&closed));
        QVERIFY(!table->readCsv(nullptr));
        QCOMPARE(table->value(0, 1), 2.0);
    }

    // A table sized otherwise (not by a record): line i fills row i as far as
    // the row reaches, what the entry lacks stays as it was.
    void readCsv_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<Rows>("expected");
        const Rows zeros{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
        const int source = SourceDataType;
        QTest::newRow("short lines and fields") << source << zeros << QByteArray("1\n\n;;4\n")
                                                << Rows{{1, 0, 0}, {0, 0, 0}, {0, 0, 4}};
        QTest::newRow("surplus fields and lines ignored") << source << zeros
                                                          << QByteArray("1;2;3;4\n5;6;7\n8;9;10\n11;12;13\n")
                                                          << Rows{{1, 2, 3}, {5, 6, 7}, {8, 9, 10}};
        QTest::newRow("CR LF, no final line end") << source << zeros << QByteArray("1;2;3\r\n4;5;6\r\n7;8;9")
                                                  << Rows{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
        QTest::newRow("empty entry") << source << zeros << QByteArray() << zeros;
        QTest::newRow("ragged rows") << source << Rows{{0, 0}, {0}, {0, 0, 0}} << QByteArray("1;2;3\n4;5;6\n7;8;9\n")
                                     << Rows{{1, 2}, {4}, {7, 8, 9}};
        // The verdict column of a result has no stored value and stays 0.
        QTest::newRow("result with a verdict") << 23 << Rows{{1, 1}, {1, 1}} << QByteArray("150;200;75\n141;180;78,3\n")
                                               << Rows{{150, 200, 75, 0}, {141, 180, 78.3, 0}};
    }

    void readCsv()
    {
        QFETCH(int, type);
        QFETCH(Rows, rows);
        QFETCH(QByteArray, entry);
        QFETCH(Rows, expected);
        const auto table = type == SourceDataType ? sourceTable(rows) : std::make_unique<TTableModel>(type, nullptr);
        if (type != SourceDataType)
            table->setMatrix(cv::Mat(int(rows.size()), table->width(), CV_64F, cv::Scalar(0.0)));
        QBuffer buffer(&entry);
        buffer.open(QIODevice::ReadOnly);
        QVERIFY(table->readCsv(&buffer));
        COMPARE_ROWS(storedRows(*table), expected);
    }

};

// Run twice: as the program's core runs, without QtGui, and with
// KOSTIMER_GUI set under a GUI application.
int main(int argc, char **argv)
{
    const std::unique_ptr<QCoreApplication> application(qEnvironmentVariableIsSet("KOSTIMER_GUI")
                                                            ? new QGuiApplication(argc, argv)
                                                            : new QCoreApplication(argc, argv));
    TestTableModel test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_tablemodel.moc"

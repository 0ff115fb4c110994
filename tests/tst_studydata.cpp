// A study's table as it really comes: identifiers and sex as text, a weight
// not filled in, a stray mark in a number column. It must survive the whole
// trip: methods, carried identifiers, statistics, export and the project file.

#include "MethodCatalog.h"
#include "ProjectArchive.h"
#include "SampleStatistics.h"
#include "TTableModel.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {

// As R's write.csv writes it: texts quoted, NA for a value not measured. A5's
// weight was written down as "?".
const QByteArray studyFile = "\"id\",\"sex\",\"weight\",\"height\"\n"
                             "\"A1\",\"Female\",60,1.6\n"
                             "\"A2\",\"Male\",NA,1.8\n"
                             "\"A3\",\"Male\",81,1.8\n"
                             "\"A4\",NA,50,1.6\n"
                             "\"A5\",\"Female\",?,1.7\n";

std::unique_ptr<TTableModel> studyTable()
{
    CsvTable read;
    if (!readCsvTable(studyFile, {}, &read))
        return nullptr;
    auto table = std::make_unique<TTableModel>(nullptr);
    table->setTable(std::move(read));
    return table;
}

// The BMI (method 2: weight, height) of the study, carrying id and sex.
std::unique_ptr<TTableModel> bmiTable(const TTableModel &source)
{
    auto result = std::make_unique<TTableModel>(&source);
    if (!result->applyMethod(2, {2, 3}, {0, 1}))
        return nullptr;
    return result;
}

QStringList cells(const TTableModel &table, int column)
{
    QStringList texts;
    for (int r = 0; r < table.rowCount(); ++r)
        texts.append(table.cellText(r, column));
    return texts;
}

} // namespace

class TestStudyData : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { buildMethodCatalog(); }

    void columnsKeepTheirKind()
    {
        const auto table = studyTable();
        QVERIFY(table);
        QCOMPARE(table->width(), 4);
        QCOMPARE(table->columnKind(0), ColumnKind::Text);
        QCOMPARE(table->columnKind(1), ColumnKind::Text);
        QCOMPARE(table->columnKind(2), ColumnKind::Number);
        QCOMPARE(cells(*table, 1), (QStringList{"Female", "Male", "Male", "", "Female"}));
        // NA and the stray "?" are missing, not 0.
        QVERIFY(table->isMissing(1, 2));
        QVERIFY(table->isMissing(4, 2));
        QCOMPARE(table->value(0, 2), 60.0);
        // Shown empty, tinted, and saying what the file held.
        const QModelIndex question = table->index(4, 3);
        QCOMPARE(table->data(question, Qt::DisplayRole), QVariant());
        QVERIFY(table->data(question, Qt::BackgroundRole).isValid());
        QCOMPARE(table->data(question, Qt::ToolTipRole).toString(),
                 QStringLiteral("V souboru stálo „?“, což není číslo; hodnota chybí."));
        QCOMPARE(table->data(table->index(1, 3), Qt::ToolTipRole).toString(), QStringLiteral("Hodnota chybí."));
        // A text cell is its text, never tinted.
        QCOMPARE(table->data(table->index(0, 2), Qt::DisplayRole).toString(), QStringLiteral("Female"));
        QVERIFY(!table->data(table->index(3, 2), Qt::BackgroundRole).isValid());
        QVERIFY(table->data(table->index(0, 2), Qt::TextAlignmentRole).toInt() & Qt::AlignLeft);
    }

    // The fault: a weight not filled in became BMI 0, which entered the means.
    void missingInputGivesMissingOutput()
    {
        const auto source = studyTable();
        QVERIFY(source);
        const auto bmi = bmiTable(*source);
        QVERIFY(bmi);
        QCOMPARE(bmi->carriedCount(), 2);
        QCOMPARE(bmi->width(), 2 + int(MethodCatalog[2].columns.size()));
        QCOMPARE(bmi->columnName(0), QStringLiteral("id"));
        QCOMPARE(bmi->columnName(1), QStringLiteral("sex"));
        QCOMPARE(bmi->columnName(2), MethodCatalog[2].columns.at(0));
        QCOMPARE(cells(*bmi, 0), (QStringList{"A1", "A2", "A3", "A4", "A5"}));
        // 60 / 1.6² = 23.4375, 81 / 1.8² = 25, 50 / 1.6² = 19.53125 (by hand).
        const int b = 4;
        QCOMPARE(bmi->value(0, b), 23.4375);
        QVERIFY(bmi->isMissing(1, b));
        QCOMPARE(bmi->value(2, b), 25.0);
        QCOMPARE(bmi->value(3, b), 19.53125);
        QVERIFY(bmi->isMissing(4, b));
        QCOMPARE(bmi->data(bmi->index(1, b + 1), Qt::DisplayRole), QVariant());

        // Statistics leave the missing BMIs out: (23.4375 + 25 + 19.53125) / 3
        // = 22.65625 over 3 rows, not 13.59375 over 5.
        const GroupingColumn sex = groupingColumn(*bmi, 1);
        const SampleStatistics statistics = tableStatistics(*bmi, &sex);
        QCOMPARE(statistics.groupNames(), (QStringList{"Female", "Male", ""}));
        QCOMPARE(statistics.ungroupedRows(), qsizetype(1)); // A4 has no sex
        const SampleStatistics::Column &column = statistics.columns().at(size_t(b - 2));
        QCOMPARE(column.byGroup[2].n, qsizetype(3));
        QCOMPARE(column.byGroup[2].mean, 22.65625);
        QCOMPARE(column.byGroup[0].n, qsizetype(1));
        QCOMPARE(column.byGroup[0].mean, 23.4375);
        QCOMPARE(column.byGroup[1].mean, 25.0);
    }

    void missingInputHasNoVerdict()
    {
        // WHR (method 3) of waist 80 cm and a hip girth not measured.
        auto table = std::make_unique<TTableModel>(nullptr);
        table->appendRows({{80, qQNaN()}, {80, 100}});
        QVERIFY(table->applyMethod(3, {0, 1}));
        int verdicts = 0;
        for (int c = 0; c < table->width(); ++c) {
            if (!table->isVerdictColumn(c))
                continue;
            ++verdicts;
            QCOMPARE(table->verdictText(0, c), QString());
            QVERIFY(!table->verdictText(1, c).isEmpty());
        }
        QVERIFY(verdicts > 0);
    }

    void carriedColumnsFollowTheCheckedRows()
    {
        const auto source = studyTable();
        QVERIFY(source);
        source->setData(source->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
        const auto bmi = bmiTable(*source);
        QVERIFY(bmi);
        QCOMPARE(cells(*bmi, 0), (QStringList{"A2", "A3", "A4", "A5"}));
        QCOMPARE(cells(*bmi, 1), (QStringList{"Male", "Male", "", "Female"}));

        // Rows typed into the result give the method's inputs; their carried
        // cells are missing, the rest is computed again: 70 / 1.75² = 22.857142...
        bmi->appendRows({{70, 1.75}});
        QCOMPARE(bmi->rowCount(), 5);
        QCOMPARE(bmi->carriedCount(), 2);
        QCOMPARE(bmi->columnName(1), QStringLiteral("sex"));
        QCOMPARE(cells(*bmi, 1), (QStringList{"Male", "Male", "", "Female", ""}));
        QVERIFY(std::fabs(bmi->value(4, 4) - 70 / 3.0625) < 1e-12);
        QCOMPARE(bmi->value(1, 4), 25.0);

        // A method applied to the result sees the carried columns as columns.
        TTableModel again(bmi.get());
        QVERIFY(again.applyMethod(2, {2, 3}, {1}));
        QCOMPARE(cells(again, 0), (QStringList{"Male", "Male", "", "Female", ""}));
    }

    void exportWritesTextsAndLeavesMissingEmpty_data()
    {
        QTest::addColumn<bool>("header");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray rows = "A1;Female;60;1,6\nA2;Male;;1,8\nA3;Male;81;1,8\nA4;;50;1,6\nA5;Female;;1,7\n";
        // A header holding ";" or a quote is quoted, its quotes doubled.
        QTest::newRow("with header") << true << "id;\"sex; \"\"M/F\"\"\";weight;height\n" + rows;
        QTest::newRow("without header") << false << rows;
    }

    void exportWritesTextsAndLeavesMissingEmpty()
    {
        QFETCH(bool, header);
        QFETCH(QByteArray, expected);
        const auto table = studyTable();
        QVERIFY(table);
        table->setHeaderData(2, Qt::Horizontal, QStringLiteral("sex; \"M/F\""), Qt::DisplayRole);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QString error;
        QVERIFY2(table->exportCsv(&buffer, header, NumberDigits::Six, &error), qPrintable(error));
        QCOMPARE(buffer.data(), expected);
    }

    // The fault: a row without values wrote nothing, so the rows after it
    // moved up a line and no longer matched their identifiers.
    void exportKeepsRowsWithoutValues()
    {
        auto table = std::make_unique<TTableModel>(nullptr);
        table->appendRows({{1, 2, 3}, {}, {4, 5, 6}});
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(table->exportCsv(&buffer, false));
        QCOMPARE(buffer.data(), QByteArray("1;2;3\n;;\n4;5;6\n"));
    }

    void projectKeepsTextsAndMissingCells()
    {
        auto source = studyTable();
        QVERIFY(source);
        auto bmi = bmiTable(*source);
        QVERIFY(bmi);
        ProjectTree roots;
        roots.push_back(std::make_unique<ProjectNode>());
        roots[0]->table = source.get();
        roots[0]->isDataNode = true;
        roots[0]->sourceFileName = QStringLiteral("studie.csv");
        roots[0]->children.push_back(std::make_unique<ProjectNode>());
        roots[0]->children[0]->table = bmi.get();

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("studie.kstx"));
        QString error;
        QVERIFY2(writeProjectFile(path, roots, &error), qPrintable(error));
        ProjectTree read;
        QVERIFY2(readProjectFile(path, &read, &error), qPrintable(error));
        QCOMPARE(read.size(), size_t(1));
        QCOMPARE(read[0]->children.size(), size_t(1));

        const std::pair<const TTableModel *, const TTableModel *> pairs[] = {
            {source.get(), read[0]->table}, {bmi.get(), read[0]->children[0]->table}};
        for (const auto &[before, after] : pairs) {
            QCOMPARE(after->type(), before->type());
            QCOMPARE(after->width(), before->width());
            QCOMPARE(after->carriedCount(), before->carriedCount());
            for (int c = 0; c < before->width(); ++c) {
                QCOMPARE(after->columnName(c), before->columnName(c));
                QCOMPARE(after->columnKind(c), before->columnKind(c));
                QCOMPARE(cells(*after, c), cells(*before, c));
                for (int r = 0; r < before->rowCount(); ++r)
                    QCOMPARE(after->isMissing(r, c), before->isMissing(r, c));
            }
        }
        // The stray mark keeps its tooltip.
        const TTableModel &reopened = *read[0]->table;
        QCOMPARE(reopened.data(reopened.index(4, 3), Qt::ToolTipRole).toString(),
                 QStringLiteral("V souboru stálo „?“, což není číslo; hodnota chybí."));
        QCOMPARE(reopened.textColumn(1)->texts.size(), qsizetype(2)); // each distinct text once
    }
};

QTEST_GUILESS_MAIN(TestStudyData)
#include "tst_studydata.moc"

// User functions without any window: their records, both evaluators, and
// their result tables, which are tables of their own.

#include "CustomFunctions.h"
#include "MethodCatalog.h"
#include "ProjectArchive.h"
#include "TableTestSupport.h"

#include <QTemporaryDir>
#include <QXmlStreamWriter>
#include <QtTest>

using Coefficients = std::vector<double>;

Q_DECLARE_METATYPE(CustomFunctionForm)

namespace {

const QStringList twoInputColumns{QStringLiteral("1. koeficient"), QStringLiteral("2. koeficient"),
                                  QStringLiteral("Výsledek")};

} // namespace

class TestCustomFunctions : public QObject {
    Q_OBJECT

    // 2 + 3·x1 + 0.5·x2², the polynomial of the wizard's example.
    qint32 example()
    {
        return addCustomFunction(makeCustomFunction(CustomFunctionForm::Polynomial, {2, 3, 0.5}));
    }

private slots:
    void initTestCase() { buildMethodCatalog(); }
    void init() { customFunctions.clear(); }

    void records_data()
    {
        QTest::addColumn<CustomFunctionForm>("form");
        QTest::addColumn<Coefficients>("coefficients");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("inputCount");
        QTest::addColumn<QStringList>("columns");
        QTest::newRow("unchanged wizard: y = 1") << CustomFunctionForm::Polynomial << Coefficients{1} << "Vlastni fce"
                                                 << 0 << QStringList{QStringLiteral("Výsledek")};
        QTest::newRow("polynomial of three members")
            << CustomFunctionForm::Polynomial << Coefficients{2, 3, 0.5} << "Vlastni fce" << 2 << twoInputColumns;
        QTest::newRow("exponential") << CustomFunctionForm::Exponential << Coefficients{1, 1, 1} << "Exponencialni fce"
                                     << 2 << twoInputColumns;
    }

    void records()
    {
        QFETCH(CustomFunctionForm, form);
        QFETCH(Coefficients, coefficients);
        const CustomFunctionRecord record = makeCustomFunction(form, coefficients);
        QTEST(record.title, "title");
        QVERIFY(record.description.isEmpty());
        QTEST(int(record.inputCount), "inputCount");
        QTEST(record.columns, "columns");
        QCOMPARE(record.coefficients, coefficients);
    }

    void idsFollowThePositionWhateverTheForm()
    {
        // The first function takes FirstCustomFunctionId, above every catalog slot.
        const qint32 first = FirstCustomFunctionId;
        QCOMPARE(addCustomFunction(makeCustomFunction(CustomFunctionForm::Exponential, {1, 2})), first);
        QCOMPARE(addCustomFunction(makeCustomFunction(CustomFunctionForm::Polynomial, {1})), first + 1);
        QCOMPARE(customFunction(first)->title, QStringLiteral("Exponencialni fce"));
        QCOMPARE(customFunction(first + 1)->title, QStringLiteral("Vlastni fce"));
        QVERIFY(!customFunction(first - 1));
        QVERIFY(!customFunction(first + 2));
        QVERIFY(!customFunction(-5));
        // 110, the first user function's id while the catalog ended at 109, is a method now.
        QVERIFY(!customFunction(110) && isRegisteredMethod(110));
        QCOMPARE(kindOf(first), Custom);
    }

    // y for every row, worked out by hand.
    void evaluation_data()
    {
        QTest::addColumn<CustomFunctionForm>("form");
        QTest::addColumn<Coefficients>("coefficients");
        QTest::addColumn<Rows>("inputs");
        QTest::addColumn<Row>("expected");
        const double ln2 = 0.69314718055994530942;
        const double e = 2.71828182845904523536;

        // 2 + 3·1 + 0.5·2² = 7; 2 + 3·(-2) + 0.5·(-3)² = 0.5.
        QTest::newRow("2 + 3·x1 + 0.5·x2²") << CustomFunctionForm::Polynomial << Coefficients{2, 3, 0.5}
                                             << Rows{{1, 2}, {-2, -3}, {0, 0}} << Row{7, 0.5, 2};
        // Odd powers of a negative base stay negative: 1 + (-2) + 4 + (-8) = -5.
        QTest::newRow("negative base, one column for every input")
            << CustomFunctionForm::Polynomial << Coefficients{1, 1, 1, 1} << Rows{{-2, -2, -2}} << Row{-5};
        QTest::newRow("negative cube") << CustomFunctionForm::Polynomial << Coefficients{0, 0, 0, 1}
                                       << Rows{{5, 5, -3}, {0, 0, -0.5}} << Row{-27, -0.125};
        QTest::newRow("constant only") << CustomFunctionForm::Polynomial << Coefficients{1} << Rows{{}, {}} << Row{1, 1};
        // 1 + 2·e^0 + 3·e^0 = 6; 1 + 2·e^1 + 3·e^(2·0.5) = 1 + 5e.
        QTest::newRow("1 + 2·e^x1 + 3·e^(2·x2)") << CustomFunctionForm::Exponential << Coefficients{1, 2, 3}
                                                  << Rows{{0, 0}, {1, 0.5}} << Row{6, 1 + 5 * e};
        // One column x = ln 2 for both inputs: 0.5 + e^ln2 + e^(2 ln2) = 0.5 + 2 + 4.
        QTest::newRow("exponential of one column") << CustomFunctionForm::Exponential << Coefficients{0.5, 1, 1}
                                                   << Rows{{ln2, ln2}} << Row{6.5};
        QTest::newRow("exponential of a negative value") << CustomFunctionForm::Exponential << Coefficients{0, 4}
                                                         << Rows{{-ln2}} << Row{2};
        QTest::newRow("no rows, the full width") << CustomFunctionForm::Exponential << Coefficients{1, 2, 3}
                                                 << Rows{} << Row{};
    }

    void evaluation()
    {
        QFETCH(CustomFunctionForm, form);
        QFETCH(Coefficients, coefficients);
        QFETCH(Rows, inputs);
        QFETCH(Row, expected);
        const CustomFunctionRecord record = makeCustomFunction(form, coefficients);
        cv::Mat input(int(inputs.size()), inputs.isEmpty() ? record.inputCount : int(inputs[0].size()), CV_64F);
        for (int r = 0; r < input.rows; ++r)
            std::copy(inputs[r].begin(), inputs[r].end(), input.ptr<double>(r));
        const cv::Mat result = computeCustomResult(record, input);
        QCOMPARE(result.cols, record.inputCount + 1);
        Rows outputs; // the inputs, then y
        for (qsizetype r = 0; r < inputs.size(); ++r)
            outputs.append(Row(inputs[r]) << expected[r]);
        Rows actual;
        for (int r = 0; r < result.rows; ++r)
            actual.append(Row(result.ptr<double>(r), result.ptr<double>(r) + result.cols));
        COMPARE_ROWS(actual, outputs);
    }

    // Applied to a unit conversion's result, a function gives a table of its
    // own: the function's headers and width, not the conversion's; and rows
    // added later are computed by the function, from the checked rows, never
    // by the routine of the table it was applied to.
    void resultIsATableOfItsOwn()
    {
        const qint32 id = example();
        auto source = sourceTable({{1000}, {2500}});
        QVERIFY(source->applyMethod(53, std::vector<int>{0})); // metres to kilometres
        TTableModel result(source.get());
        QVERIFY(result.applyCustomFunction(id, std::vector<int>{1, 0}));
        QCOMPARE(result.type(), SourceDataType);
        QCOMPARE(result.customFunctionId(), id);
        QCOMPARE(headersOf(result), twoInputColumns);
        QCOMPARE(result.inputCount(), 2);
        // 2 + 3·1 + 0.5·1000² = 500005; 2 + 3·2.5 + 0.5·2500² = 3125009.5.
        QCOMPARE(storedRows(result), (Rows{{1, 1000, 500005}, {2.5, 2500, 3125009.5}}));
        result.setData(result.index(1, 0), int(Qt::Unchecked), Qt::CheckStateRole);
        result.appendRows({{2, 10, 0}});
        // 2 + 3·2 + 0.5·10² = 58.
        QCOMPARE(storedRows(result), (Rows{{1, 1000, 500005}, {2, 10, 58}}));
        QCOMPARE(result.type(), SourceDataType);
        QCOMPARE(headersOf(result), twoInputColumns);
    }

    // A result without rows keeps the function's columns; the constant
    // function gives a column of ones; a method on a function's result
    // forgets the function.
    void resultTables()
    {
        auto source = sourceTable({{1.75, 70}});
        source->setData(source->index(0, 0), int(Qt::Unchecked), Qt::CheckStateRole);
        TTableModel result(source.get());
        QVERIFY(result.applyCustomFunction(example(), std::vector<int>{0, 1}));
        QCOMPARE(result.rowCount(), 0);
        QCOMPARE(result.columnCount(), 4);
        QCOMPARE(headersOf(result), twoInputColumns);
        auto table = sourceTable({{5, 6}, {7, 8}});
        QVERIFY(table->applyCustomFunction(addCustomFunction(makeCustomFunction(CustomFunctionForm::Polynomial, {1})),
                                           std::vector<int>{}));
        QCOMPARE(storedRows(*table), (Rows{{1}, {1}}));
        QCOMPARE(headersOf(*table), QStringList{QStringLiteral("Výsledek")});
        QVERIFY(table->applyMethod(2, std::vector<int>{0, 0})); // body mass index of 1 and 1
        QCOMPARE(table->type(), 2);
        QCOMPARE(table->customFunctionId(), 0);
    }

    void refusedApplicationChangesNothing_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<std::vector<int>>("columns"); // empty: the mapping is cancelled
        const int first = FirstCustomFunctionId;
        QTest::newRow("no such function") << first + 1 << std::vector<int>{0, 1};
        QTest::newRow("a catalog method") << 2 << std::vector<int>{0, 1};
        QTest::newRow("an added catalog method") << 110 << std::vector<int>{0, 1};
        QTest::newRow("too few columns") << first << std::vector<int>{0};
        QTest::newRow("a column the table lacks") << first << std::vector<int>{0, 2};
        QTest::newRow("a negative column") << first << std::vector<int>{-1, 0};
        QTest::newRow("cancelled") << first << std::vector<int>{};
    }

    void refusedApplicationChangesNothing()
    {
        QCOMPARE(example(), FirstCustomFunctionId);
        QFETCH(int, id);
        QFETCH(std::vector<int>, columns);
        auto table = sourceTable({{1, 2}, {3, 4}});
        qint32 askedFor = 0;
        QVERIFY(!table->applyCustomFunction(id, [&](const TTableModel &, qint32 asking, std::vector<int> *mapped) {
            askedFor = asking;
            *mapped = columns;
            return !columns.empty();
        }));
        QVERIFY(askedFor == id || id != FirstCustomFunctionId);
        QCOMPARE(storedRows(*table), (Rows{{1, 2}, {3, 4}}));
        QCOMPARE(table->type(), SourceDataType);
        QCOMPARE(table->customFunctionId(), 0);
    }

    // The project keeps the result with its headers and the function's title,
    // like a source table; the function itself is not kept.
    void projectKeepsTheResultWithItsHeaders()
    {
        const qint32 id = example();
        auto source = sourceTable({{1, 2}});
        auto result = std::make_unique<TTableModel>(source.get());
        QVERIFY(result->applyCustomFunction(id, std::vector<int>{0, 1}));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.kstx"));
        {
            ProjectTree roots;
            auto root = std::make_unique<ProjectNode>();
            root->table = source.get();
            root->isDataNode = true;
            root->sourceFileName = QStringLiteral("a.csv");
            auto child = std::make_unique<ProjectNode>();
            child->table = result.get();
            root->children.push_back(std::move(child));
            roots.push_back(std::move(root));
            QVERIFY(writeProjectFile(path, roots));
        }
        ProjectTree read;
        QVERIFY(readProjectFile(path, &read));
        QCOMPARE(read.size(), size_t(1));
        QCOMPARE(read[0]->children.size(), size_t(1));
        const ProjectNode &node = *read[0]->children[0];
        QCOMPARE(node.text(), QStringLiteral("Vlastni fce"));
        QCOMPARE(node.table->type(), SourceDataType);
        QCOMPARE(node.table->customFunctionId(), 0);
        QCOMPARE(headersOf(*node.table), twoInputColumns);
        // 2 + 3·1 + 0.5·2² = 7.
        QCOMPARE(storedRows(*node.table), (Rows{{1, 2, 7}}));

        // Saved again, it keeps its name.
        QString text;
        QXmlStreamWriter xml(&text);
        xml.writeStartElement(QStringLiteral("model"));
        node.table->writeXml(xml);
        xml.writeEndElement();
        QVERIFY(text.contains(QStringLiteral("name=\"Vlastni fce\"")));
    }
};

QTEST_GUILESS_MAIN(TestCustomFunctions)
#include "tst_customfunctions.moc"

// The column-mapping, rename and insert wizards, the function wizards and
// the somatotype chart on their own, each driven as a user would, offscreen.

#include "WindowTestSupport.h"
#include "SomatoChart.h"
#include "TCustomFunctionWizard.h"
#include "TExponencialFunctionWizard.h"
#include "TInsertWizard.h"
#include "TRenameWizard.h"
#include "TableTestSupport.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStandardItemModel>

namespace {

// A table like the program's for the column-mapping wizard: column 0 holds
// row numbers, data from 1 on, titled "sloupec 1", ... where headers give no title.
QStandardItemModel *mappingSource(int rows, int dataColumns, QObject *parent, const QStringList &headers = {})
{
    auto *m = new QStandardItemModel(rows, dataColumns + 1, parent);
    m->setHeaderData(0, Qt::Horizontal, QStringLiteral("č."));
    for (int c = 1; c <= dataColumns; ++c)
        m->setHeaderData(c, Qt::Horizontal,
                         headers.value(c - 1).isEmpty() ? QStringLiteral("sloupec %1").arg(c) : headers[c - 1]);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c <= dataColumns; ++c)
            m->setData(m->index(r, c), c == 0 ? QVariant(r + 1) : QVariant(r + c / 10.0));
    return m;
}

QComboBox *inputList(TDataWizard &w, int column)
{
    return qobject_cast<QComboBox *>(gridOf(&w)->cellWidget(0, column));
}

// The input chosen in each column's list, as the lists show them: 0 none,
// then the inputs from 1.
QList<int> shownChoices(TDataWizard &w)
{
    QList<int> shown;
    for (int c = 0; c < gridOf(&w)->columnCount(); ++c)
        shown.append(inputList(w, c)->currentIndex());
    return shown;
}

QListWidget *carriedList(TDataWizard &w) { return w.findChild<QListWidget *>(QStringLiteral("carriedList")); }

// A table of the program read from CSV text, as the window imports it.
std::unique_ptr<TTableModel> importedTable(const QByteArray &csv)
{
    CsvTable read;
    if (!readCsvTable(csv, {}, &read))
        return nullptr;
    auto table = std::make_unique<TTableModel>(nullptr);
    table->setTable(std::move(read));
    return table;
}

// The mappings the wizard remembers are the tests' own: none is left from
// another test, nor for the next one.
void forgetMappings()
{
    QSettings(QStringLiteral("Veritek"), QStringLiteral("Kostimer")).remove(QStringLiteral("columnMapping"));
}

// The open editor of a cell.
QLineEdit *editorOf(QTableWidget *grid)
{
    for (QLineEdit *editor : grid->viewport()->findChildren<QLineEdit *>())
        if (editor->isVisible())
            return editor;
    return nullptr;
}

// Types text into a cell as a user does: opens its editor, replaces the text
// and leaves the editor open, as when OK is clicked straight away.
QLineEdit *typeInto(QTableWidget *grid, int row, int column, const QString &text)
{
    grid->setCurrentCell(row, column);
    if (!grid->item(row, column))
        grid->setItem(row, column, new QTableWidgetItem());
    grid->editItem(grid->item(row, column));
    QLineEdit *editor = editorOf(grid);
    if (!editor)
        return nullptr;
    editor->selectAll();
    if (text.isEmpty())
        QTest::keyClick(editor, Qt::Key_Delete);
    else
        QTest::keyClicks(editor, text);
    return editor;
}

// Puts text into a cell and confirms it with Enter, which closes the cell's
// editor and never the wizard.
void enter(QTableWidget *grid, int row, int column, const QString &text)
{
    QLineEdit *editor = typeInto(grid, row, column, text);
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate commits and closes the editor on the next turn of the loop.
    QTRY_VERIFY(!editorOf(grid));
    QVERIFY2(grid->window()->isVisible(), "Enter in a cell closed the wizard");
}

QCheckBox *mark(TInsertWizard &w, int row) { return qobject_cast<QCheckBox *>(gridOf(&w)->cellWidget(row, 0)); }
QString equation(TCustomFunctionWizard &w) { return w.findChild<QLabel *>(QStringLiteral("equLabel"))->text(); }

const QString addMember = QStringLiteral("Přidat další člen");

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        buildMethodCatalog();
        requireQueuedAnswers();
    }

    void init() { forgetMappings(); }

    void cleanup()
    {
        forgetMappings();
        verifyAnswersTaken();
    }

    // Body mass index (Hmotnost (kg), Výška (m)) over the columns: each list
    // set in column order (the empty entry 0, then the inputs), OK pressed.
    // An input takes one column; a column titled as an input is chosen for it
    // at the start, an exact title before a loose one. OK with an input left
    // out warns, naming it, and keeps the wizard open with the choices made.
    void mappings_data()
    {
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QList<int>>("choices"); // -1: the list left as it starts
        QTest::addColumn<QList<int>>("shown"); // by the lists then
        QTest::addColumn<QList<int>>("columns"); // per input; empty: refused
        QTest::addColumn<QString>("guide"); // above the grid, unless empty
        QTest::addColumn<QString>("warning"); // when refused
        const QStringList five{"", "", "", "", ""};
        const QString both = QStringLiteral("Vstupy „Hmotnost (kg)“ a „Výška (m)“ nemají vybraný sloupec.");
        QTest::newRow("in input order") << five << QList<int>{2, -1, -1, 1} << QList<int>{2, 0, 0, 1, 0}
                                        << QList<int>{3, 0} << "" << "";
        QTest::newRow("an input chosen again leaves its first column")
            << five << QList<int>{1, 2, 1} << QList<int>{0, 2, 1, 0, 0} << QList<int>{2, 1} << "" << "";
        QTest::newRow("an input left out") << five << QList<int>{-1, 2} << QList<int>{0, 2, 0, 0, 0} << QList<int>{}
                                           << "" << "Vstup „Hmotnost (kg)“ nemá vybraný sloupec.";
        QTest::newRow("columns named as inputs")
            << QStringList{"vyska", "Výška (m)", "Pas", "HMOTNOST"} << QList<int>{} << QList<int>{0, 2, 0, 1}
            << QList<int>{3, 1} << "" << "";
        // Too few columns is told at once, by name and count.
        QTest::newRow("one column") << QStringList{""} << QList<int>{} << QList<int>{0} << QList<int>{}
                                    << "Tabulka má jen 1 sloupec, metoda „Body mass index“ jich potřebuje 2: "
                                       "Hmotnost (kg), Výška (m)."
                                    << both;
        QTest::newRow("no data columns") << QStringList{} << QList<int>{} << QList<int>{} << QList<int>{} << ""
                                         << both;
    }

    void mappings()
    {
        QFETCH(QStringList, headers);
        QFETCH(QList<int>, choices);
        QFETCH(QList<int>, shown);
        QFETCH(QList<int>, columns);
        QFETCH(QString, guide);
        QFETCH(QString, warning);
        QObject owner;
        TDataWizard w;
        w.setSourceTable(mappingSource(4, int(headers.size()), &owner, headers));
        w.setFunction(2);
        QCOMPARE(w.windowTitle(), QStringLiteral("Průvodce funkcí Body mass index"));
        const int result = execDriven(w, [&] {
            QCOMPARE(gridOf(&w)->columnCount(), int(headers.size()));
            if (!guide.isEmpty())
                QCOMPARE(w.findChild<QLabel *>(QStringLiteral("guide"))->text(), guide);
            for (int c = 0; c < headers.size(); ++c) {
                QCOMPARE(inputList(w, c)->count(), 3);
                QCOMPARE(inputList(w, c)->itemText(2), QStringLiteral("Výška (m)"));
            }
            for (int c = 0; c < choices.size(); ++c)
                if (choices[c] >= 0)
                    inputList(w, c)->setCurrentIndex(choices[c]);
            QCOMPARE(shownChoices(w), shown);
            if (columns.isEmpty())
                MessageBox::setNextAnswer(QMessageBox::Ok);
            press(&w, QDialogButtonBox::Ok);
            if (columns.isEmpty()) {
                QCOMPARE(MessageBox::lastTitle(), QStringLiteral("Varování"));
                QCOMPARE(MessageBox::lastText(), warning);
                QVERIFY(w.isVisible());
                QCOMPARE(shownChoices(w), shown);
            }
        });
        QCOMPARE(result, columns.isEmpty() ? 0 : 1);
        if (!columns.isEmpty())
            QCOMPARE(w.selectedColumns(), std::vector<int>(columns.begin(), columns.end()));
    }

    // The column each input is given at the start. After the names (above),
    // the words the titles share: case, diacritics and the brackets of a unit
    // aside, a Czech word's ending aside. A tie is left to the user. Method -1:
    // a function of the inputs given.
    void preselection_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QList<int>>("columns"); // per input, -1 none
        const QStringList none;
        // {tělesná, výška, cm} and {výška, cm}: 2 of 3 words; "Výška (m)" 1 of 4.
        QTest::newRow("a word more") << -1 << QStringList{"tělesná výška (cm)"}
                                     << QStringList{"Věk (roky)", "Výška (m)", "Výška (cm)"} << QList<int>{2};
        // The unit in brackets is the unit in parentheses: kilograms weigh.
        QTest::newRow("the unit alone") << 82 << none << QStringList{"Výška (cm)", "Hmotnost (kg)"} << QList<int>{1};
        QTest::newRow("no word shared") << -1 << QStringList{"Výška (m)"} << QStringList{"Věk", "Pas"}
                                        << QList<int>{-1};
        QTest::newRow("two columns alike") << 82 << none << QStringList{"Hmotnost (kg)", "Tuk (kg)"}
                                           << QList<int>{-1};
        QTest::newRow("a column alike for two inputs")
            << -1 << QStringList{"Řasa nad tricepsem", "Řasa nad bicepsem"} << QStringList{"Řasa (mm)"}
            << QList<int>{-1, -1};
        // "Hmotnost (kg) 2" shares more words with the input than any but the
        // exact title, which comes first.
        QTest::newRow("an exact title first") << 2 << none
                                              << QStringList{"Hmotnost (kg) 2", "Hmotnost (kg)", "Výška (m)"}
                                              << QList<int>{1, 2};
        // Every input of the somatotype from the titles of examples/lide.csv:
        // six by name, the rest by the words shared.
        QTest::newRow("Heath-Carter on the sample's columns")
            << int(HeathCarterId) << none
            << QStringList{"Věk (roky)", "Hmotnost (kg)", "Výška (cm)", "Výška (m)", "Obvod pasu (cm)",
                           "Obvod boků (cm)", "Obvod paže kontrahované (cm)", "Maximální obvod lýtka (cm)",
                           "Šířka epikondylů humeru (cm)", "Šířka distální epifýzy femuru (cm)",
                           "Řasa nad tricepsem (mm)", "Řasa subskapulární (mm)", "Řasa suprailiakální (mm)",
                           "Řasa nad bicepsem (mm)", "Řasa na lýtku (mm)", "Řasa na hrudníku (mm)",
                           "Řasa na břiše (mm)", "Řasa na stehně (mm)"}
            << QList<int>{10, 11, 12, 6, 7, 9, 8, 2, 1, 14};
    }

    void preselection()
    {
        QFETCH(int, method);
        QFETCH(QStringList, inputs);
        QFETCH(QStringList, headers);
        QFETCH(QList<int>, columns);
        QObject owner;
        TDataWizard w;
        w.setSourceTable(mappingSource(2, int(headers.size()), &owner, headers));
        if (method >= 0)
            w.setFunction(method);
        else
            w.setInputs(QStringLiteral("Zkouška"), inputs, int(inputs.size()));
        execDriven(w, [&] {
            std::vector<int> chosen = w.selectedColumns();
            QCOMPARE(QList<int>(chosen.begin(), chosen.end()), columns);
        });
    }

    void titleSimilarity_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<double>("similarity");
        QTest::newRow("the same") << "Výška (cm)" << "výška [cm]" << 1.0;
        // {výška, cm} of {tělesná, výška, cm}.
        QTest::newRow("a word more") << "tělesná výška (cm)" << "Výška (cm)" << 2.0 / 3;
        // {kg} of {kilogramy, hmotnost, kg}.
        QTest::newRow("the unit") << "Kilogramy [kg]" << "Hmotnost (kg)" << 1.0 / 3;
        QTest::newRow("endings") << "Šířka lebky" << "šířky lebkou" << 1.0;
        QTest::newRow("five letters alike") << "tricepsem" << "triceps" << 1.0;
        QTest::newRow("a letter apart") << "délka" << "delta" << 0.0;
        QTest::newRow("short words whole") << "paže" << "paží" << 0.0;
        QTest::newRow("nothing") << "" << "" << 0.0;
    }

    void titleSimilarity()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QTEST(TDataWizard::titleSimilarity(a, b), "similarity");
        QTEST(TDataWizard::titleSimilarity(b, a), "similarity");
    }

    // A text column feeds no input: its list offers none, it is not chosen
    // by its name, and it is carried into the result at the start. An input
    // column is not carried; the others are as checked.
    void textColumnsAndCarriedColumns()
    {
        const auto table = importedTable("Jméno;Výška (m);Pohlaví;Hmotnost (kg);Věk\n"
                                         "Ada;1,6;žena;60;30\nBob;2;muž;80;40\n");
        QVERIFY(table);
        QVERIFY(table->isTextColumn(0) && table->isTextColumn(2));
        TDataWizard w;
        w.setSourceTable(table.get());
        w.setInputs(QStringLiteral("Zkouška"), {QStringLiteral("Pohlaví"), QStringLiteral("Věk")}, 2);
        execDriven(w, [&] {
            // A user function carries nothing.
            QVERIFY(carriedList(w)->isHidden());
            QVERIFY(!inputList(w, 2)->isEnabled());
            QCOMPARE(inputList(w, 2)->count(), 1);
            QCOMPARE(shownChoices(w), (QList<int>{0, 0, 0, 0, 2}));
            // Chosen all the same, it stays no input.
            inputList(w, 2)->setCurrentIndex(1);
            QCOMPARE(w.selectedColumns(), (std::vector<int>{-1, 4}));
            MessageBox::setNextAnswer(QMessageBox::Ok);
            press(&w, QDialogButtonBox::Ok);
            QCOMPARE(MessageBox::lastText(), QStringLiteral("Vstup „Pohlaví“ nemá vybraný sloupec."));
            QVERIFY(w.isVisible());
        });

        TDataWizard bmi;
        bmi.setSourceTable(table.get());
        bmi.setFunction(2);
        const int result = execDriven(bmi, [&] {
            QListWidget *carried = carriedList(bmi);
            QVERIFY(!carried->isHidden());
            QStringList titles;
            for (int i = 0; i < carried->count(); ++i)
                titles.append(carried->item(i)->text());
            QCOMPARE(titles, (QStringList{"Jméno", "Výška (m)", "Pohlaví", "Hmotnost (kg)", "Věk"}));
            QCOMPARE(shownChoices(bmi), (QList<int>{0, 2, 0, 1, 0}));
            // The texts checked; the inputs cannot be.
            QCOMPARE(bmi.carriedColumns(), (std::vector<int>{0, 2}));
            QVERIFY(!(carried->item(1)->flags() & Qt::ItemIsEnabled));
            QVERIFY(carried->item(4)->flags() & Qt::ItemIsEnabled);
            carried->item(0)->setCheckState(Qt::Unchecked);
            // Checked, then made an input: not carried; freed again: carried.
            carried->item(4)->setCheckState(Qt::Checked);
            inputList(bmi, 4)->setCurrentIndex(1);
            QCOMPARE(bmi.carriedColumns(), (std::vector<int>{2}));
            QVERIFY(!(carried->item(4)->flags() & Qt::ItemIsEnabled));
            QVERIFY(carried->item(3)->flags() & Qt::ItemIsEnabled); // Hmotnost, no more an input
            inputList(bmi, 3)->setCurrentIndex(1);
            QCOMPARE(bmi.carriedColumns(), (std::vector<int>{2, 4}));
            press(&bmi, QDialogButtonBox::Ok);
        });
        QCOMPARE(result, 1);
        QCOMPARE(bmi.selectedColumns(), (std::vector<int>{3, 1}));
        QCOMPARE(bmi.carriedColumns(), (std::vector<int>{2, 4}));
    }

    // OK remembers the titles of the columns chosen for the method; the next
    // table that has them gets them again, before titles that name the inputs.
    void mappingRemembered()
    {
        QObject owner;
        TDataWizard first;
        first.setSourceTable(mappingSource(2, 4, &owner, {"A", "B", "C", "D"}));
        first.setFunction(2);
        QCOMPARE(execDriven(first, [&] { mapColumns(&first, {2, 0}); }), 1);
        const QSettings settings(QStringLiteral("Veritek"), QStringLiteral("Kostimer"));
        QCOMPARE(settings.value(TDataWizard::rememberedMappingKey(2)).toStringList(), (QStringList{"C", "A"}));

        TDataWizard again;
        again.setSourceTable(mappingSource(2, 5, &owner, {"D", "A", "Hmotnost (kg)", "C", "Výška (m)"}));
        again.setFunction(2);
        execDriven(again, [&] { QCOMPARE(shownChoices(again), (QList<int>{0, 2, 0, 1, 0})); });

        // A title the table lacks leaves its input to the other rules; a
        // cancelled wizard remembers nothing.
        TDataWizard partly;
        partly.setSourceTable(mappingSource(2, 3, &owner, {"Výška (m)", "A", "Hmotnost (kg)"}));
        partly.setFunction(2);
        QCOMPARE(execDriven(partly, [&] {
                     QCOMPARE(shownChoices(partly), (QList<int>{0, 2, 1}));
                     mapColumns(&partly, {});
                 }),
                 0);
        QCOMPARE(settings.value(TDataWizard::rememberedMappingKey(2)).toStringList(), (QStringList{"C", "A"}));

        // Each method its own: nothing is remembered for the Rohrer index,
        // whose inputs name neither column.
        TDataWizard other;
        other.setSourceTable(mappingSource(2, 2, &owner, {"A", "C"}));
        other.setFunction(1);
        execDriven(other, [&] { QCOMPARE(shownChoices(other), (QList<int>{0, 0})); });
    }

    void previewShowsAtMostNineRows_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("gridRows");
        QTest::newRow("20 rows") << 20 << 10;
        QTest::newRow("3 rows") << 3 << 4;
        QTest::newRow("no rows") << 0 << 1;
    }

    void previewShowsAtMostNineRows()
    {
        QFETCH(int, rows);
        QFETCH(int, gridRows);
        QObject owner;
        TDataWizard w;
        w.setSourceTable(mappingSource(rows, 2, &owner));
        w.setFunction(0);
        execDriven(w, [&] {
            QCOMPARE(gridOf(&w)->rowCount(), gridRows);
            QCOMPARE(gridOf(&w)->horizontalHeaderItem(1)->text(), QStringLiteral("sloupec 2"));
            if (rows > 0) {
                QCOMPARE(gridOf(&w)->item(1, 1)->text(), QStringLiteral("0,2"));
                QCOMPARE(gridOf(&w)->item(1, 1)->flags(), Qt::ItemIsEnabled);
            }
        });
    }

    void namesMatch_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("header");
        QTest::addColumn<bool>("exactly");
        QTest::addColumn<bool>("loosely");
        QTest::newRow("same text") << "Výška (m)" << "Výška (m)" << true << true;
        QTest::newRow("without the unit") << "Výška (m)" << "Výška" << false << true;
        QTest::newRow("case and diacritics") << "Výška (m)" << "VYSKA" << false << true;
        QTest::newRow("another unit") << "Hmotnost (kg)" << "hmotnost (g)" << false << true;
        QTest::newRow("another word") << "Výška (m)" << "Výška 2" << false << false;
        QTest::newRow("a unit alone is no name") << "(m)" << "(cm)" << false << false;
        QTest::newRow("a longer name") << "x" << "x1" << false << false;
    }

    void namesMatch()
    {
        QFETCH(QString, input);
        QFETCH(QString, header);
        QTEST(TDataWizard::namesMatch(input, header, true), "exactly");
        QTEST(TDataWizard::namesMatch(input, header, false), "loosely");
    }

    // A method of ten inputs shows its row of choices without scrolling.
    void tenInputsFitTheWindow()
    {
        QObject owner;
        TDataWizard w;
        w.setSourceTable(mappingSource(3, 10, &owner));
        w.setFunction(16); // Pařízková: ten skinfolds
        execDriven(w, [&] {
            QCOMPARE(gridOf(&w)->columnCount(), 10);
            int needed = gridOf(&w)->verticalHeader()->width();
            for (int c = 0; c < gridOf(&w)->columnCount(); ++c)
                needed += gridOf(&w)->columnWidth(c);
            const int available = w.screen()->availableGeometry().width() * 9 / 10;
            // Ten choices side by side fit a screen of 1920 points...
            QVERIFY2(needed < 1920 * 9 / 10, qPrintable(QString::number(needed)));
            // ...and the window is as wide as they need, as far as this screen allows.
            QVERIFY(w.width() >= qMin(needed, available));
            if (needed <= available - gridOf(&w)->verticalScrollBar()->sizeHint().width())
                QCOMPARE(gridOf(&w)->horizontalScrollBar()->maximum(), 0);
        });
    }

    // The grid shows the titles; OK writes every cell back, the first and the
    // last too, with the editor still open: the text typed counts.
    void renameTakesEveryCell_data()
    {
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<int>("column"); // typed into; -1 none
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("button");
        QTest::addColumn<QStringList>("renamed");
        const int ok = QDialogButtonBox::Ok;
        const QStringList abc{"A", "B", "C"};
        QTest::newRow("first") << abc << 0 << "X" << ok << QStringList{"X", "B", "C"};
        QTest::newRow("emptied") << abc << 1 << "" << ok << QStringList{"A", "", "C"};
        QTest::newRow("last") << abc << 2 << "X" << ok << QStringList{"A", "B", "X"};
        QTest::newRow("Cancel") << abc << 1 << "X" << int(QDialogButtonBox::Cancel) << abc;
        QTest::newRow("no columns") << QStringList{} << -1 << "" << ok << QStringList{};
    }

    void renameTakesEveryCell()
    {
        QFETCH(QStringList, headers);
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(int, button);
        auto table = sourceTable(headers.isEmpty() ? Rows{} : Rows{Row(headers.size(), 1.0)}, headers);
        TRenameWizard wizard;
        wizard.setModel(table.get());
        QCOMPARE(gridOf(&wizard)->columnCount(), int(headers.size()));
        for (int c = 0; c < headers.size(); ++c)
            QCOMPARE(gridOf(&wizard)->item(0, c)->text(), headers[c]);
        const int result = execDriven(wizard, [&] {
            if (column >= 0)
                QVERIFY(typeInto(gridOf(&wizard), 0, column, typed));
            press(&wizard, QDialogButtonBox::StandardButton(button));
        });
        QCOMPARE(result, button == QDialogButtonBox::Ok ? int(QDialog::Accepted) : int(QDialog::Rejected));
        QTEST(headersOf(*table), "renamed");
    }

    // A grid of 30 rows: "Přidat" and a column per input.
    void insertGrid_data()
    {
        QTest::addColumn<int>("type"); // of the table; -1 a source table of columns a, b, c
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("method") << 2 << QStringList{"Přidat", "Hmotnost (kg)", "Výška (m)"};
        QTest::newRow("source table") << -1 << QStringList{"Přidat", "a", "b", "c"};
        QTest::newRow("no inputs") << int(SourceDataType) << QStringList{"Přidat"};
    }

    void insertGrid()
    {
        QFETCH(int, type);
        QFETCH(QStringList, titles);
        const auto table = type >= 0 ? std::make_unique<TTableModel>(type, nullptr)
                                     : sourceTable({{1, 2, 3}}, {"a", "b", "c"});
        TInsertWizard wizard;
        wizard.setModel(table.get());
        QCOMPARE(gridOf(&wizard)->rowCount(), 30);
        QStringList shown;
        for (int c = 0; c < gridOf(&wizard)->columnCount(); ++c)
            shown.append(gridOf(&wizard)->horizontalHeaderItem(c)->text());
        QCOMPARE(shown, titles);
        QCOMPARE(wizard.rows(), Rows{});
    }

    // The mark follows the row as its cells are typed; letters never get in.
    void insertMarksCompleteRows()
    {
        TTableModel table(2, nullptr);
        TInsertWizard wizard;
        wizard.setModel(&table);
        execDriven(wizard, [&] {
            enter(gridOf(&wizard), 0, 1, "170");
            QCOMPARE(mark(wizard, 0)->text(), QStringLiteral("Ne"));
            enter(gridOf(&wizard), 0, 2, "65");
            QCOMPARE(mark(wizard, 0)->text(), QStringLiteral("Ano"));
            QVERIFY(mark(wizard, 0)->isChecked());
            enter(gridOf(&wizard), 0, 1, "");
            QCOMPARE(mark(wizard, 0)->text(), QStringLiteral("Ne"));
            QVERIFY(!mark(wizard, 0)->isChecked());
            enter(gridOf(&wizard), 0, 1, " "); // a blank is no number
            QCOMPARE(mark(wizard, 0)->text(), QStringLiteral("Ne"));
            enter(gridOf(&wizard), 0, 1, "1a7b,5");
            QCOMPARE(gridOf(&wizard)->item(0, 1)->text(), QStringLiteral("17,5"));
            QCOMPARE(mark(wizard, 0)->text(), QStringLiteral("Ano"));
            press(&wizard, QDialogButtonBox::Ok);
        });
        QCOMPARE(wizard.rows(), (Rows{{17.5, 65, 0}}));
    }

    // Closing the wizard of a body mass index with OK or Escape. A row begun
    // but not finished is never dropped in silence: OK keeps the wizard open
    // and says which row lacks what. Escape with rows typed asks first, and
    // "Cancel" keeps them.
    void insertClosing_data()
    {
        QTest::addColumn<QList<QStringList>>("typed");
        QTest::addColumn<bool>("escape");
        QTest::addColumn<int>("answer"); // to the box it opens; 0 none
        QTest::addColumn<QString>("problem");
        QTest::addColumn<bool>("open");
        QTest::addColumn<Rows>("rows"); // taken, as wide as the table: 0 for the BMI
        const int ok = QMessageBox::Ok;
        const QList<QStringList> none, begun{{"7", ""}};
        QTest::newRow("rows 1 and 3, row 2 empty") << QList<QStringList>{{"70", "1,75"}, {"", ""}, {"60", "1.5"}}
                                                   << false << 0 << "" << false << Rows{{70, 1.75, 0}, {60, 1.5, 0}};
        QTest::newRow("row 2 half filled") << QList<QStringList>{{"70", "1,75"}, {"80", ""}, {"60", "1.5"}} << false
                                           << ok << "Řádek 2 není úplný: chybí „Výška (m)“." << true << Rows{};
        QTest::newRow("nothing complete") << QList<QStringList>{{"", ""}, {"", "2"}} << false << ok
                                          << "Řádek 2 není úplný: chybí „Hmotnost (kg)“." << true << Rows{};
        QTest::newRow("nothing typed") << none << false << 0 << "" << false << Rows{};
        QTest::newRow("Escape, nothing typed") << none << true << 0 << "" << false << Rows{};
        QTest::newRow("Escape, rows kept") << begun << true << int(QMessageBox::Cancel) << "" << true << Rows{};
        QTest::newRow("Escape, rows discarded") << begun << true << int(QMessageBox::Discard) << "" << false << Rows{};
    }

    void insertClosing()
    {
        QFETCH(QList<QStringList>, typed);
        QFETCH(bool, escape);
        QFETCH(int, answer);
        QFETCH(QString, problem);
        QFETCH(bool, open);
        TTableModel table(2, nullptr);
        TInsertWizard wizard;
        wizard.setModel(&table);
        const int result = execDriven(wizard, [&] {
            for (int r = 0; r < typed.size(); ++r)
                for (int c = 0; c < 2; ++c)
                    if (!typed[r][c].isEmpty())
                        enter(gridOf(&wizard), r, c + 1, typed[r][c]);
            if (answer)
                MessageBox::setNextAnswer(QMessageBox::StandardButton(answer));
            if (escape)
                QTest::keyClick(&wizard, Qt::Key_Escape);
            else
                press(&wizard, QDialogButtonBox::Ok);
            QCOMPARE(wizard.isVisible(), open);
            if (!problem.isEmpty())
                QCOMPARE(MessageBox::lastText(), problem);
            if (!typed.isEmpty() && !typed[0][0].isEmpty()) // kept as typed
                QCOMPARE(gridOf(&wizard)->item(0, 1)->text(), typed[0][0]);
        });
        QCOMPARE(result, int(open || escape ? QDialog::Rejected : QDialog::Accepted));
        if (result == QDialog::Accepted)
            QTEST(wizard.rows(), "rows");
    }

    // The equation follows every member, and the coefficients are read from
    // them, an empty one as 0.
    void equations_data()
    {
        QTest::addColumn<bool>("exponential");
        QTest::addColumn<int>("added");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("text"); // unless empty
        QTest::addColumn<std::vector<double>>("coefficients");
        QTest::newRow("the constant alone") << false << 0 << QStringList{} << "y = 1" << std::vector<double>{1};
        QTest::newRow("exponential") << true << 2 << QStringList{} << "y = 1e<sup>x2</sup> + 1e<sup>x1</sup> + 1"
                                     << std::vector<double>{1, 1, 1};
        QTest::newRow("typed") << false << 2 << QStringList{"2", "-3", "0,25"}
                               << "y = 0,25x<sup>2</sup> + -3x<sup>1</sup> + 2" << std::vector<double>{2, -3, 0.25};
        QTest::newRow("text shown as text") << false << 1 << QStringList{"<b>", "-3"}
                                            << "y = -3x<sup>1</sup> + &lt;b&gt;" << std::vector<double>{0, -3};
        QTest::newRow("an empty member") << false << 1 << QStringList{"", "4"} << "" << std::vector<double>{0, 4};
    }

    void equations()
    {
        QFETCH(bool, exponential);
        QFETCH(int, added);
        QFETCH(QStringList, typed);
        QFETCH(QString, text);
        std::unique_ptr<TCustomFunctionWizard> wizard =
            exponential ? std::make_unique<TExponencialFunctionWizard>() : std::make_unique<TCustomFunctionWizard>();
        for (int k = 0; k < added; ++k)
            findButton(wizard.get(), addMember)->click();
        QCOMPARE(wizard->members(), added + 1);
        const QList<QLineEdit *> edits = wizard->findChildren<QLineEdit *>();
        for (int k = 0; k < typed.size(); ++k)
            edits[k]->setText(typed[k]);
        if (!text.isEmpty())
            QCOMPARE(equation(*wizard), text);
        QTEST(wizard->coefficients(), "coefficients");
    }

    // The buttons move with the last member; the constant alone cannot go.
    void addingAndRemovingMembers()
    {
        TCustomFunctionWizard wizard;
        QPushButton *add = findButton(&wizard, addMember);
        QPushButton *remove = findButton(&wizard, QStringLiteral("Odebrat tento člen"));
        auto *layout = wizard.findChild<QGridLayout *>();
        // Column and row of a button in the members' grid; (-1, -1) hidden.
        const auto place = [&](QWidget *button) {
            int row = -1, column = -1, rows = 0, columns = 0;
            layout->getItemPosition(layout->indexOf(button), &row, &column, &rows, &columns);
            return button->isHidden() ? QPoint(-1, -1) : QPoint(column, row);
        };
        QCOMPARE(place(remove), QPoint(-1, -1));
        add->click();
        add->click();
        QCOMPARE(wizard.members(), 3);
        QCOMPARE(place(add), QPoint(2, 2));
        QCOMPARE(place(remove), QPoint(3, 2));
        QCOMPARE(qobject_cast<QLabel *>(layout->itemAtPosition(2, 0)->widget())->text(), QStringLiteral("2. koeficient"));
        remove->click();
        QCOMPARE(wizard.findChildren<QLineEdit *>().size(), 2);
        QCOMPARE(place(add), QPoint(2, 1));
        QCOMPARE(place(remove), QPoint(3, 1));
        QCOMPARE(equation(wizard), QStringLiteral("y = 1x<sup>1</sup> + 1"));
        remove->click();
        QCOMPARE(wizard.members(), 1);
        QCOMPARE(place(add), QPoint(2, 0));
        QCOMPARE(place(remove), QPoint(-1, -1));
        QCOMPARE(equation(wizard), QStringLiteral("y = 1"));
    }

    // Typed, not set: the field must let both decimal marks through whatever
    // the locale, and read them alike.
    void coefficientsTypedUnderAnyLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("value");
        for (const char *locale : {"cs_CZ", "en_US", "C"}) {
            QTest::addRow("%s comma", locale) << locale << "1,5" << 1.5;
            QTest::addRow("%s point", locale) << locale << "-0.25" << -0.25;
            QTest::addRow("%s comma is no group", locale) << locale << "1,750" << 1.75;
            QTest::addRow("%s grouped", locale) << locale << "1 250,5" << 1250.5;
            QTest::addRow("%s exponent", locale) << locale << "2,5e-3" << 0.0025;
            QTest::addRow("%s letters refused", locale) << locale << "1x5" << 15.0;
        }
    }

    void coefficientsTypedUnderAnyLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QString, typed);
        const QLocale before;
        QLocale::setDefault(QLocale(locale));
        TCustomFunctionWizard wizard;
        QLineEdit *edit = wizard.findChildren<QLineEdit *>().first();
        edit->clear();
        QTest::keyClicks(edit, typed);
        QLocale::setDefault(before);
        QTEST(wizard.coefficients().front(), "value");
    }

    // The picture is drawn from the markers' geometry: the triangle's corners
    // and the point of 4-4-4 lie under the markers of 7-1-1, 1-7-1, 1-1-7 and 4-4-4.
    void backgroundMatchesTheMarkers_data()
    {
        QTest::addColumn<QPointF>("point");
        QTest::newRow("4-4-4") << QPointF(424, 476);
        QTest::newRow("1-7-1") << QPointF(424, 156.644);
        QTest::newRow("7-1-1") << QPointF(137.998, 635.678);
        QTest::newRow("1-1-7") << QPointF(710.002, 635.678);
    }

    void backgroundMatchesTheMarkers()
    {
        QFETCH(QPointF, point);
        const QImage image(QStringLiteral(":/icons/sheldon.png"));
        QCOMPARE(image.size(), QSize(839, 768));
        auto dark = [&](int x, int y) { return qGray(image.pixel(x, y)) < 160; };
        bool found = false;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                found = found || dark(qRound(point.x()) + dx, qRound(point.y()) + dy);
        QVERIFY(found);
        // 30 pixels away inside the triangle there is only paper and grid.
        QVERIFY(!dark(qRound(point.x()) + (point.x() < 424 ? 30 : -30), qRound(point.y()) - 3));
    }

    void markers_data()
    {
        QTest::addColumn<Row>("row");
        QTest::addColumn<QRectF>("square");
        QTest::newRow("4-4-4") << Row{4, 4, 4} << QRectF(419, 471, 10, 10);
        // 476 - 12 * 26.613 = 156.644.
        QTest::newRow("1-7-1") << Row{1, 7, 1} << QRectF(419, 151.644, 10, 10);
        // 424 - 6 * 47.667 = 137.998; 476 + 6 * 26.613 = 635.678.
        QTest::newRow("7-1-1") << Row{7, 1, 1} << QRectF(132.998, 630.678, 10, 10);
        // 476 - (24 - 1 - 1) · 26.613 = -109.486: above the image.
        QTest::newRow("outside the image") << Row{1, 12, 1} << QRectF(419, -114.486, 10, 10);
    }

    void markers()
    {
        QFETCH(Row, row);
        QFETCH(QRectF, square);
        auto table = sourceTable({row});
        TSheldonDialog dialog;
        dialog.plot(table.get());
        const QList<QGraphicsRectItem *> found = chartMarkers(dialog);
        QCOMPARE(found.size(), 1);
        const QRectF rect = found.first()->rect();
        QVERIFY2(qAbs(rect.x() - square.x()) < 1e-9 && qAbs(rect.y() - square.y()) < 1e-9,
                 qPrintable(QStringLiteral("%1, %2").arg(rect.x(), 0, 'f', 6).arg(rect.y(), 0, 'f', 6)));
        QCOMPARE(rect.size(), QSizeF(10, 10));
        QCOMPARE(found.first()->pen().color(), QColor(Qt::blue));
        QCOMPARE(found.first()->brush().style(), Qt::NoBrush);
        // Above the background.
        QCOMPARE(dialog.scene()->items(Qt::DescendingOrder).first(), found.first());
    }

    void savedImage_data()
    {
        QTest::addColumn<QString>("name"); // as chosen; empty: the dialog cancelled
        QTest::addColumn<QString>("written"); // empty: nothing
        QTest::newRow("PNG") << "graf.png" << "graf.png";
        QTest::newRow("no ending") << "graf" << "graf.png";
        QTest::newRow("another ending") << "graf.jpg" << "graf.jpg.png";
        QTest::newRow("SVG") << "graf.svg" << "graf.svg";
        QTest::newRow("cancelled") << "" << "";
        QTest::newRow("missing folder") << "no/such/folder/graf.png" << "";
    }

    void savedImage()
    {
        QFETCH(QString, name);
        QFETCH(QString, written);
        const QDir folder(m_dir.filePath(QString::fromLatin1(QTest::currentDataTag())));
        QVERIFY(folder.mkpath(QStringLiteral(".")));
        auto table = sourceTable({{4, 4, 4}, {1, 7, 1}, {7, 1, 1}});
        TSheldonDialog dialog;
        dialog.plot(table.get());
        FileDialog::setNextFileName(name.isEmpty() ? QString() : folder.filePath(name));
        const bool fails = name.contains(u'/');
        if (fails)
            MessageBox::setNextAnswer(QMessageBox::Ok);
        dialog.findChild<QPushButton *>(QStringLiteral("saveButton"))->click();
        QCOMPARE(FileDialog::lastTitle(), QStringLiteral("Uložit obrázek"));
        if (fails) {
            QCOMPARE(MessageBox::lastTitle(), QStringLiteral("Uložit obrázek"));
            QCOMPARE(MessageBox::lastText(), QStringLiteral("Obrázek se nepodařilo uložit."));
        }
        QCOMPARE(folder.entryList(QDir::Files), written.isEmpty() ? QStringList() : QStringList{written});
        if (written.isEmpty())
            return;
        // In the format its name says; what the picture shows is tst_clichart's.
        const QByteArray bytes = contentOf(folder.filePath(written));
        QVERIFY(written.endsWith(QStringLiteral(".svg")) ? bytes.startsWith("<?xml") : bytes.startsWith("\x89PNG"));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"

// The main window's flows through its wizards (renaming, adding rows,
// typing a table in, user functions) and the somatotype chart: each opened,
// filled and accepted or cancelled as a user would, offscreen.

#include "WindowTestSupport.h"
#include "CustomFunctions.h"
#include "TCustomFunctionWizard.h"
#include "TInsertWizard.h"
#include "TableTestSupport.h"

#include <QCommandLinkButton>
#include <QGraphicsView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>

#include <cmath>

namespace {

// Fills the wizard's grid, one list of texts per row from its first input,
// and presses OK.
void typeRows(QDialog *wizard, const QList<QStringList> &rows)
{
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            gridOf(wizard)->setItem(r, c + 1, new QTableWidgetItem(rows[r][c]));
    press(wizard, QDialogButtonBox::Ok);
}

} // namespace

class TestDialogFlows : public WindowTest {
    Q_OBJECT

    // Defines a user function through its wizard: the form ("lin" or "exp"),
    // then the coefficients as typed.
    void defineFunction(const QStringList &definition)
    {
        const bool exponential = definition.first() == "exp";
        withModal<TCustomFunctionWizard>(
            [&] { exponential ? m_window->addCustomExponenFunction() : m_window->addCustomLinearFunction(); },
            [&](TCustomFunctionWizard *wizard) {
                if (exponential)
                    QCOMPARE(wizard->windowTitle(), QStringLiteral("Přidání exponenciální funkce"));
                for (int k = 2; k < definition.size(); ++k)
                    findButton(wizard, QStringLiteral("Přidat další člen"))->click();
                const QList<QLineEdit *> edits = wizard->findChildren<QLineEdit *>();
                for (int k = 1; k < definition.size(); ++k)
                    edits[k - 1]->setText(definition[k]);
                press(wizard, QDialogButtonBox::Ok);
            });
    }

    // Chooses the k-th user function from the node's context menu.
    void chooseUserFunction(QTreeWidgetItem *node, int k, QStringList *offered = nullptr)
    {
        openContextMenu(*m_window, node, [=](QMenu &menu) -> QAction * {
            QMenu *submenu = findMenuEntry(menu, QStringLiteral("Vlastní funkce"))->menu();
            if (offered)
                *offered = entryTexts(*submenu);
            return submenu->actions().value(k);
        });
    }

private slots:
    void initTestCase() { startSuite(); }

    void init()
    {
        customFunctions.clear(); // the list lives as long as the program
        m_window = std::make_unique<MainWindow>();
    }

    void cleanup() { endTest(); }

    // Every wizard the window opens, cancelled, leaves the project as it was;
    // rows typed are asked about first.
    void cancelledWizardsChangeNothing_data()
    {
        QTest::addColumn<QString>("entry"); // of the menu; "function" the menu bar's linear function
        QTest::addColumn<bool>("onSource"); // the menu on the source, or on empty space
        QTest::addColumn<bool>("typed"); // something typed into the grid first
        QTest::addColumn<bool>("asks");
        QTest::newRow("column mapping") << methodTitle(2) << true << false << false;
        QTest::newRow("renaming") << "Přejmenovat sloupce" << true << true << false;
        QTest::newRow("adding rows, nothing typed") << "Přidat data" << true << false << false;
        QTest::newRow("adding rows, rows typed") << "Přidat data" << true << true << true;
        QTest::newRow("typing a table in") << methodTitle(2) << false << true << true;
        QTest::newRow("user function") << "function" << false << false << false;
    }

    void cancelledWizardsChangeNothing()
    {
        QFETCH(QString, entry);
        QFETCH(bool, onSource);
        QFETCH(bool, typed);
        QFETCH(bool, asks);
        QTreeWidgetItem *source = importOne("A;B\n1;2\n");
        m_window->setProjectSaved(true);
        withModal<QDialog>(
            [&] {
                if (entry == "function")
                    m_window->addCustomLinearFunction();
                else
                    contextMenu(onSource ? source : nullptr, entry);
            },
            [&](QDialog *dialog) {
                if (typed)
                    gridOf(dialog)->setItem(0, 1, new QTableWidgetItem(QStringLiteral("5")));
                if (asks)
                    MessageBox::setNextAnswer(QMessageBox::Discard);
                press(dialog, QDialogButtonBox::Cancel);
                QVERIFY(!dialog->isVisible());
            });
        QCOMPARE(tree()->topLevelItemCount(), 1);
        QCOMPARE(source->childCount(), 0);
        QCOMPARE(headersOf(*MainWindow::tableOf(source)), (QStringList{"A", "B"}));
        QCOMPARE(storedRows(*MainWindow::tableOf(source)), (Rows{{1, 2}}));
        QVERIFY(customFunctions.empty());
        QVERIFY(!m_window->isModified());
    }

    // Accepted, the rename reaches the table, the view and the project's
    // unsaved state (which cells the wizard writes back is tst_dialogs').
    void renameColumns()
    {
        QTreeWidgetItem *source = importOne("A;B;C\n1;2;3\n");
        m_window->setProjectSaved(true);
        fromMenu<QDialog>(source, QStringLiteral("Přejmenovat sloupce"), [&](QDialog *wizard) {
            gridOf(wizard)->item(0, 2)->setText(QStringLiteral("X"));
            press(wizard, QDialogButtonBox::Ok);
        });
        QCOMPARE(headersOf(*MainWindow::tableOf(source)), (QStringList{"A", "B", "X"}));
        QVERIFY(m_window->isModified());
        QCOMPARE(m_window->tableView()->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("X"));
    }

    // "Přidat data" on a node: the rows typed are stored (a result computes
    // its columns for them), and a row the wizard cannot take keeps it open
    // with a word on why, until it is put right.
    void addRows_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<int>("method"); // applied to the import first, its result the node; -1 none
        QTest::addColumn<int>("unchecked"); // a row of the node unchecked first; -1 none
        QTest::addColumn<int>("columns"); // of the grid: "Přidat" and one per input
        QTest::addColumn<QList<QStringList>>("typed");
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QList<QStringList>>("fixed");
        QTest::addColumn<Rows>("rows");
        QTest::newRow("source table") << QByteArray("a;b\n1;2\n") << -1 << -1 << 3 << QList<QStringList>{{"3", "abc"}}
                                      << "V řádku 1 není ve sloupci „b“ číslo: „abc“."
                                      << QList<QStringList>{{"3", "4,5"}} << Rows{{1, 2}, {3, 4.5}};
        QTest::newRow("file of its header row alone") << QByteArray("a;b;c\n") << -1 << -1 << 4
                                                      << QList<QStringList>{{"1", "2", "3"}} << "" << QList<QStringList>{}
                                                      << Rows{{1, 2, 3}};
        // 80 / 2² = 20; 70 / 1.75² = 70 / 3.0625; 80 / 1.8² = 80 / 3.24.
        QTest::newRow("formula result") << QByteArray("kg;m\n80;2\n") << 2 << -1 << 3
                                        << QList<QStringList>{{"70", "1,75"}, {"80", "1.8"}} << ""
                                        << QList<QStringList>{}
                                        << Rows{{80, 2, 20}, {70, 1.75, 70 / 3.0625}, {80, 1.8, 80 / 3.24}};
        // The new row is converted with the checked ones; the unchecked row is gone.
        QTest::newRow("conversion with a row unchecked")
            << QByteArray("m\n70\n80\n90\n") << 53 << 1 << 2 << QList<QStringList>{{"1500"}} << ""
            << QList<QStringList>{} << Rows{{70, 0.07}, {90, 0.09}, {1500, 1.5}};
    }

    void addRows()
    {
        QFETCH(int, method);
        QFETCH(int, unchecked);
        QFETCH(QList<QStringList>, typed);
        QFETCH(QString, problem);
        QFETCH(QList<QStringList>, fixed);
        QFETCH(Rows, rows);
        QFETCH(QByteArray, csv);
        QTreeWidgetItem *node = importOne(csv);
        if (method >= 0) {
            apply(node, method, method == 2 ? QList<int>{0, 1} : QList<int>{0});
            node = node->child(0);
        }
        if (unchecked >= 0)
            uncheckRow(node, unchecked);
        m_window->setProjectSaved(true);
        fromMenu<TInsertWizard>(node, QStringLiteral("Přidat data"), [&](TInsertWizard *wizard) {
            QTEST(gridOf(wizard)->columnCount(), "columns");
            if (!problem.isEmpty())
                MessageBox::setNextAnswer(QMessageBox::Ok);
            typeRows(wizard, typed);
            if (problem.isEmpty())
                return;
            QVERIFY(wizard->isVisible());
            QCOMPARE(MessageBox::lastText(), problem);
            typeRows(wizard, fixed);
        });
        TTableModel *table = MainWindow::tableOf(node);
        QCOMPARE(storedRows(*table), rows);
        for (int r = 0; r < table->rowCount(); ++r)
            QVERIFY(table->isRowChecked(r));
        QVERIFY(m_window->isModified());
        QCOMPARE(m_window->tableView()->table(), table);
        QCOMPARE(m_window->tableView()->model()->rowCount(), int(rows.size()));
    }

    // A table typed in from empty space for "Vzdálenost bodů 2D": a node of
    // its own that takes methods and is saved like an imported one.
    void tableTypedInFromEmptySpace()
    {
        fromMenu<TInsertWizard>(nullptr, methodTitle(97), [&](TInsertWizard *wizard) {
            QCOMPARE(gridOf(wizard)->columnCount(), 5);
            QCOMPARE(gridOf(wizard)->horizontalHeaderItem(4)->text(), QStringLiteral("y2"));
            typeRows(wizard, {{"0", "0", "3", "4"}, {"1", "1", "1", "1"}});
        });
        QCOMPARE(tree()->topLevelItemCount(), 1);
        QTreeWidgetItem *node = tree()->topLevelItem(0);
        QCOMPARE(node->text(0), QStringLiteral("Vzdálenost bodů 2D"));
        QVERIFY(m_window->sourceNodes().isEmpty() && m_window->sourceFiles().isEmpty());
        QVERIFY(node->isSelected());
        QVERIFY(m_window->isModified());
        TTableModel *table = MainWindow::tableOf(node);
        QCOMPARE(m_window->tableView()->table(), table);
        QCOMPARE(table->type(), 97);
        // The 3-4-5 triangle: a distance of 5.
        QCOMPARE(storedRows(*table), (Rows{{0, 0, 3, 4, 5}, {1, 1, 1, 1, 0}}));

        // Body mass index of "weight" 5 (the distance) and "height" 3 (x2): 5 / 9.
        apply(node, 2, {4, 2});
        QCOMPARE(m_window->formulaResultsOf(node).value(2), node->child(0));
        QCOMPARE(MainWindow::tableOf(node->child(0))->value(0, 2), 5.0 / 9.0);

        const QString file = m_dir.filePath(QStringLiteral("napsane.kstx"));
        FileDialog::setNextFileName(file);
        QVERIFY(m_window->saveProject());
        // Its check marks are work to save, too.
        uncheckRow(node, 1);
        QVERIFY(m_window->isModified());
        MessageBox::setNextAnswer(QMessageBox::Discard);
        QVERIFY(m_window->openProjectFile(file));
        QCOMPARE(tree()->topLevelItemCount(), 1);
        TTableModel *opened = MainWindow::tableOf(tree()->topLevelItem(0));
        QCOMPARE(opened->type(), 97);
        QCOMPARE(storedRows(*opened), (Rows{{0, 0, 3, 4, 5}, {1, 1, 1, 1, 0}}));
        QVERIFY(opened->isRowChecked(1));
        QCOMPARE(tree()->topLevelItem(0)->childCount(), 1);
    }

    // Both Heath-Carter methods' tables open the chart; the one corrected for
    // height took an id past the original catalog.
    void somatotypeChart_data()
    {
        QTest::addColumn<int>("method");
        QTest::newRow("plain skinfold sum") << int(HeathCarterId);
        QTest::newRow("height-corrected sum") << int(HeathCarter2002Id);
    }

    void somatotypeChart()
    {
        QFETCH(int, method);
        QTreeWidgetItem *source = importOne("a;b;c;d;e;f;g;h;i;j\n10;12;15;30;36;9,5;7;175;70;8\n"
                                            "12;14;16;31;37;10;8;180;80;9\n");
        apply(source, method, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
        TTableModel *table = MainWindow::tableOf(source->child(0));
        auto *button = m_window->findChild<QCommandLinkButton *>(QStringLiteral("commandLinkButton"));
        QVERIFY(!button->isHidden());
        withModal<TSheldonDialog>([&] { button->click(); }, [&](TSheldonDialog *dialog) {
            QCOMPARE(dialog->parentWidget(), m_window.get());
            QCOMPARE(dialog->somatotypes().size(), size_t(2));
            // The last three columns of the first row.
            const Somatotype first = dialog->somatotypes().front();
            QCOMPARE(first.endomorphy, table->value(0, 10));
            QCOMPARE(first.mesomorphy, table->value(0, 11));
            QCOMPARE(first.ectomorphy, table->value(0, 12));
            // The whole chart fits, without scroll bars.
            auto *view = dialog->findChild<QGraphicsView *>(QStringLiteral("graphicsView"));
            QCOMPARE(view->viewport()->size(), QSize(839, 768));
            QVERIFY(!view->horizontalScrollBar()->isVisible() && !view->verticalScrollBar()->isVisible());
        });
        // Only a somatotype's table has the chart.
        m_window->changeModel(source, 0);
        QVERIFY(button->isHidden());
    }

    // User functions defined through their wizards and applied through the
    // menu: their results, and rows added to them computed by the function.
    void userFunctions_data()
    {
        const double e = std::exp(1.0);
        QTest::addColumn<QList<QStringList>>("definitions");
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<QList<double>>("results");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<double>("addedResult");
        // The wizard's example: 2 + 3 + 0.5·4 = 7; 2 - 6 + 0.5·9 = 0.5; 2 + 12 + 0.5·4 = 16.
        QTest::newRow("polynomial 2 + 3·x1 + 0.5·x2²")
            << QList<QStringList>{{"lin", "2", "3", "0.5"}} << QByteArray("a;b\n1;2\n-2;-3\n")
            << QStringList{"Vlastni fce"} << QList<double>{7, 0.5} << QStringList{"4", "2"} << 16.0;
        // Several functions would share a text; the order tells them apart.
        // 1 + 2·e⁰ + 3·e⁰ = 6; 1 + 2·e + 3·e^(2·0.5) = 1 + 5e; 1 + 2 + 3·e².
        QTest::newRow("exponential 1 + 2·e^x1 + 3·e^(2·x2), the second")
            << QList<QStringList>{{"lin", "1"}, {"exp", "1", "2", "3"}} << QByteArray("x1;x2\n0;0\n1;0,5\n")
            << QStringList{"Vlastni fce", "Exponencialni fce"} << QList<double>{6, 1 + 5 * e} << QStringList{"0", "1"}
            << 3 + 3 * e * e;
    }

    void userFunctions()
    {
        QFETCH(QList<QStringList>, definitions);
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, offered);
        QFETCH(QList<double>, results);
        QFETCH(QStringList, added);
        QFETCH(double, addedResult);
        for (const QStringList &definition : definitions)
            defineFunction(definition);
        QCOMPARE(customFunctions.size(), size_t(definitions.size()));
        QTreeWidgetItem *source = importOne(csv);
        QStringList seen;
        withModal<TDataWizard>([&] { chooseUserFunction(source, int(offered.size()) - 1, &seen); },
                               [&](TDataWizard *wizard) {
                                   QCOMPARE(wizard->windowTitle(), QStringLiteral("Průvodce funkcí ") + offered.last());
                                   mapColumns(wizard, {0, 1});
                               });
        QCOMPARE(seen, offered);
        QCOMPARE(source->childCount(), 1);
        QTreeWidgetItem *result = source->child(0);
        QCOMPARE(result->text(0), offered.last());
        QCOMPARE(result->toolTip(0), offered.last());
        QCOMPARE(result->icon(0).pixmap(32).toImage(),
                 QIcon(QStringLiteral(":/icons/document.png")).pixmap(32).toImage());
        QVERIFY(result->isSelected());
        TTableModel *table = MainWindow::tableOf(result);
        QCOMPARE(m_window->tableView()->table(), table);
        QCOMPARE(headersOf(*table), (QStringList{"1. koeficient", "2. koeficient", "Výsledek"}));
        for (int r = 0; r < results.size(); ++r)
            QCOMPARE(table->value(r, 2), results[r]);

        fromMenu<QDialog>(result, QStringLiteral("Přidat data"), [&](QDialog *wizard) { typeRows(wizard, {added}); });
        QCOMPARE(table->rowCount(), int(results.size()) + 1);
        QCOMPARE(table->value(int(results.size()), 2), addedResult);
        // A user function needs a table: from empty space nothing opens.
        withoutModal([&] { chooseUserFunction(nullptr, 0); });
        QCOMPARE(tree()->topLevelItemCount(), 1);
    }
};

QTEST_MAIN(TestDialogFlows)
#include "tst_dialogflows.moc"

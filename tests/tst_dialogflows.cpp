// The main window's flows through the rename and insert wizards, the
// somatotype chart and user functions, offscreen, every prompt answered by
// the test.

#include "WindowTestSupport.h"
#include "CustomFunctions.h"
#include "FileDialog.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "MethodCatalog.h"
#include "PopupMenu.h"
#include "TCustomFunctionWizard.h"
#include "TDataWizard.h"
#include "TInsertWizard.h"
#include "TRenameWizard.h"
#include "TSheldonDialog.h"
#include "TTableModel.h"
#include "TableTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCommandLinkButton>
#include <QDialogButtonBox>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <functional>
#include <memory>

using Row = QList<double>;
using Rows = QList<Row>;

namespace {

QImage iconImage(const QIcon &icon)
{
    return icon.pixmap(QSize(32, 32)).toImage();
}

void press(QDialog *dialog, QDialogButtonBox::StandardButton button)
{
    dialog->findChild<QDialogButtonBox *>("buttonBox")->button(button)->click();
}

} // namespace

class TestDialogFlows : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow> m_window;

    QTreeWidget *tree() { return m_window->tree(); }

    QTreeWidgetItem *importOne(const QByteArray &content, const QString &name = QStringLiteral("lide.csv"))
    {
        return importThroughWindow(*m_window, m_dir, content, name);
    }

    void contextMenu(QTreeWidgetItem *node, const PopupMenu::Chooser &chooser)
    {
        openContextMenu(*m_window, node, chooser);
    }

    static QAction *find(QMenu &menu, const QString &text) { return findMenuEntry(menu, text); }

    static PopupMenu::Chooser entry(const char *text)
    {
        return [text](QMenu &menu) { return find(menu, QString::fromUtf8(text)); };
    }

    // The k-th entry of the "Vlastní funkce" submenu.
    static PopupMenu::Chooser userFunction(int k)
    {
        return [k](QMenu &menu) {
            QAction *submenu = find(menu, QString::fromUtf8("Vlastní funkce"));
            return submenu ? submenu->menu()->actions().value(k) : nullptr;
        };
    }

    // Runs act, during which a modal dialog of type T must open; drive gets it.
    template <typename T>
    void withModal(const std::function<void()> &act, const std::function<void(T *)> &drive)
    {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
            QVERIFY2(dialog, "the expected dialog did not open");
            seen = true;
            drive(dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        act();
        QVERIFY(seen);
    }

    // Fills rows of the insert wizard, one list of texts per row, and confirms.
    static void typeRows(TInsertWizard *wizard, const QList<QStringList> &rows)
    {
        auto *grid = wizard->findChild<QTableWidget *>("tableWidget");
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows[r].size(); ++c)
                grid->setItem(r, c + 1, new QTableWidgetItem(rows[r][c]));
        press(wizard, QDialogButtonBox::Ok);
    }

    // Maps input i to column columns[i] and confirms the column-mapping wizard.
    static void mapInputs(TDataWizard *wizard, const QList<int> &columns)
    {
        auto *grid = wizard->findChild<QTableWidget *>("tableWidget");
        for (int input = 0; input < columns.size(); ++input)
            qobject_cast<QComboBox *>(grid->cellWidget(0, columns[input]))->setCurrentIndex(input + 1);
        press(wizard, QDialogButtonBox::Ok);
    }

    // Defines a user function through its wizard with the coefficients as typed.
    void defineFunction(bool exponential, const QStringList &coefficients)
    {
        withModal<TCustomFunctionWizard>(
            [&] { exponential ? m_window->addCustomExponenFunction() : m_window->addCustomLinearFunction(); },
            [&](TCustomFunctionWizard *wizard) {
                if (exponential)
                    QCOMPARE(wizard->windowTitle(), QString::fromUtf8("Přidání exponenciální funkce"));
                QPushButton *add = nullptr;
                for (QPushButton *b : wizard->findChildren<QPushButton *>())
                    if (b->text() == QString::fromUtf8("Přidat další člen"))
                        add = b;
                for (int k = 1; k < coefficients.size(); ++k)
                    add->click();
                const QList<QLineEdit *> edits = wizard->findChildren<QLineEdit *>();
                for (int k = 0; k < coefficients.size(); ++k)
                    edits[k]->setText(coefficients[k]);
                press(wizard, QDialogButtonBox::Ok);
            });
    }

private slots:
    void initTestCase()
    {
        buildMethodCatalog();
        requireQueuedAnswers();
        PopupMenu::requireQueuedChoices(true);
    }

    void init()
    {
        customFunctions.clear(); // the list lives as long as the program
        m_window = std::make_unique<MainWindow>();
    }

    void cleanup()
    {
        m_window.reset();
        QVERIFY(!takeLeftoverAnswers());
    }

    void renameColumns()
    {
        QTreeWidgetItem *source = importOne("A;B;C\n1;2;3\n");
        m_window->setProjectSaved(true);
        withModal<TRenameWizard>([&] { contextMenu(source, entry("Přejmenovat sloupce")); },
                                 [&](TRenameWizard *wizard) {
                                     auto *grid = wizard->findChild<QTableWidget *>("tableWidget");
                                     QCOMPARE(grid->item(0, 1)->text(), QStringLiteral("B"));
                                     grid->item(0, 1)->setText(QStringLiteral("X"));
                                     press(wizard, QDialogButtonBox::Ok);
                                 });
        QCOMPARE(headersOf(*MainWindow::tableOf(source)), (QStringList{"A", "X", "C"}));
        QVERIFY(m_window->isModified());
        QCOMPARE(m_window->tableView()->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("X"));
    }

    void cancelledRenameChangesNothing()
    {
        QTreeWidgetItem *source = importOne("A;B\n1;2\n");
        m_window->setProjectSaved(true);
        withModal<TRenameWizard>([&] { contextMenu(source, entry("Přejmenovat sloupce")); },
                                 [&](TRenameWizard *wizard) {
                                     wizard->findChild<QTableWidget *>("tableWidget")->item(0, 0)->setText("X");
                                     press(wizard, QDialogButtonBox::Cancel);
                                 });
        QCOMPARE(headersOf(*MainWindow::tableOf(source)), (QStringList{"A", "B"}));
        QVERIFY(!m_window->isModified());
    }

    // A conversion's result with a row unchecked: the new row is converted
    // with the checked ones, and the unchecked row is gone.
    void addRowsToAResultWithUncheckedRows()
    {
        QTreeWidgetItem *source = importOne("m\n70\n80\n90\n");
        withModal<TDataWizard>([&] { contextMenu(source, entry("Metry na kilometry")); },
                               [&](TDataWizard *wizard) { mapInputs(wizard, {0}); });
        QTreeWidgetItem *result = source->child(0);
        TTableModel *table = MainWindow::tableOf(result);
        table->setData(table->index(1, 0), int(Qt::Unchecked), Qt::CheckStateRole);
        m_window->setProjectSaved(true);

        withModal<TInsertWizard>([&] { contextMenu(result, entry("Přidat data")); },
                                 [&](TInsertWizard *wizard) {
                                     auto *grid = wizard->findChild<QTableWidget *>("tableWidget");
                                     QCOMPARE(grid->columnCount(), 2); // "Přidat" and the one input
                                     typeRows(wizard, {{"1500"}});
                                 });
        QCOMPARE(storedRows(*table), (Rows{{70, 0.07}, {90, 0.09}, {1500, 1.5}}));
        for (int r = 0; r < table->rowCount(); ++r)
            QVERIFY(table->isRowChecked(r));
        QVERIFY(m_window->isModified());
        QCOMPARE(m_window->tableView()->model(), table);
        QCOMPARE(m_window->tableView()->model()->rowCount(), 3);
    }

    void addRowsToAFormulaResult()
    {
        QTreeWidgetItem *source = importOne("kg;m\n80;2\n");
        withModal<TDataWizard>([&] { contextMenu(source, entry("Body mass index")); },
                               [&](TDataWizard *wizard) { mapInputs(wizard, {0, 1}); });
        QTreeWidgetItem *result = source->child(0);
        withModal<TInsertWizard>([&] { contextMenu(result, entry("Přidat data")); },
                                 [&](TInsertWizard *wizard) {
                                     // A row begun but not finished keeps the wizard open and says where.
                                     MessageBox::setNextAnswer(QMessageBox::Ok);
                                     typeRows(wizard, {{"70", "1,75"}, {"80", ""}});
                                     QVERIFY(wizard->isVisible());
                                     QCOMPARE(MessageBox::lastText(),
                                              QString::fromUtf8("Řádek 2 není úplný: chybí „Výška (m)“."));
                                     typeRows(wizard, {{"70", "1,75"}, {"80", "1.8"}});
                                 });
        // 80 / 2² = 20; 70 / 1.75² = 22.857142857142858; 80 / 1.8² = 24.691358024691358.
        QCOMPARE(storedRows(*MainWindow::tableOf(result)),
                 (Rows{{80, 2, 20}, {70, 1.75, 70 / 3.0625}, {80, 1.8, 80 / 3.24}}));
    }

    void addRowsToASourceTable()
    {
        QTreeWidgetItem *source = importOne("a;b\n1;2\n");
        withModal<TInsertWizard>([&] { contextMenu(source, entry("Přidat data")); },
                                 [&](TInsertWizard *wizard) {
                                     // Text that is no number is never stored as 0.
                                     MessageBox::setNextAnswer(QMessageBox::Ok);
                                     typeRows(wizard, {{"3", "abc"}});
                                     QVERIFY(wizard->isVisible());
                                     QCOMPARE(MessageBox::lastText(),
                                              QString::fromUtf8("V řádku 1 není ve sloupci „b“ číslo: „abc“."));
                                     typeRows(wizard, {{"3", "4,5"}});
                                 });
        QCOMPARE(storedRows(*MainWindow::tableOf(source)), (Rows{{1, 2}, {3, 4.5}}));
    }

    // A file of its header row alone is filled in through "Přidat data".
    void headerOnlyFileTakesTypedRows()
    {
        QTreeWidgetItem *source = importOne("a;b;c\n");
        withModal<TInsertWizard>([&] { contextMenu(source, entry("Přidat data")); },
                                 [&](TInsertWizard *wizard) {
                                     QCOMPARE(wizard->findChild<QTableWidget *>("tableWidget")->columnCount(), 4);
                                     typeRows(wizard, {{"1", "2", "3"}});
                                 });
        QCOMPARE(storedRows(*MainWindow::tableOf(source)), (Rows{{1, 2, 3}}));
    }

    // Keys that cannot make a number never reach a cell typed by keyboard.
    void insertCellsTakeOnlyNumbers()
    {
        QTreeWidgetItem *source = importOne("a\n1\n");
        withModal<TInsertWizard>([&] { contextMenu(source, entry("Přidat data")); },
                                 [&](TInsertWizard *wizard) {
                                     auto *grid = wizard->findChild<QTableWidget *>("tableWidget");
                                     grid->setItem(0, 1, new QTableWidgetItem());
                                     grid->editItem(grid->item(0, 1));
                                     auto *editor = grid->findChild<QLineEdit *>();
                                     QVERIFY(editor);
                                     QTest::keyClicks(editor, "2x,5");
                                     QCOMPARE(editor->text(), QStringLiteral("2,5"));
                                     QTest::keyClick(editor, Qt::Key_Return);
                                     QVERIFY2(wizard->isVisible(), "Enter in a cell closed the wizard");
                                     QTRY_COMPARE(grid->item(0, 1)->text(), QStringLiteral("2,5"));
                                     press(wizard, QDialogButtonBox::Ok);
                                 });
        QCOMPARE(storedRows(*MainWindow::tableOf(source)), (Rows{{1}, {2.5}}));
    }

    // Escape with rows typed asks first; "Cancel" keeps them.
    void escapeAsksBeforeDroppingTypedRows()
    {
        QTreeWidgetItem *source = importOne("a\n1\n");
        withModal<TInsertWizard>([&] { contextMenu(source, entry("Přidat data")); },
                                 [&](TInsertWizard *wizard) {
                                     auto *grid = wizard->findChild<QTableWidget *>("tableWidget");
                                     grid->setItem(0, 1, new QTableWidgetItem("7"));
                                     MessageBox::setNextAnswer(QMessageBox::Cancel);
                                     QTest::keyClick(wizard, Qt::Key_Escape);
                                     QVERIFY(wizard->isVisible());
                                     QCOMPARE(grid->item(0, 1)->text(), QStringLiteral("7"));
                                     MessageBox::setNextAnswer(QMessageBox::Discard);
                                     QTest::keyClick(wizard, Qt::Key_Escape);
                                     QVERIFY(!wizard->isVisible());
                                 });
        QCOMPARE(storedRows(*MainWindow::tableOf(source)), (Rows{{1}}));
    }

    void cancelledInsertChangesNothing()
    {
        QTreeWidgetItem *source = importOne("a;b\n1;2\n");
        m_window->setProjectSaved(true);
        withModal<TInsertWizard>([&] { contextMenu(source, entry("Přidat data")); },
                                 [&](TInsertWizard *wizard) {
                                     wizard->findChild<QTableWidget *>("tableWidget")
                                         ->setItem(0, 1, new QTableWidgetItem("5"));
                                     MessageBox::setNextAnswer(QMessageBox::Discard);
                                     press(wizard, QDialogButtonBox::Cancel);
                                 });
        QCOMPARE(storedRows(*MainWindow::tableOf(source)), (Rows{{1, 2}}));
        QVERIFY(!m_window->isModified());
    }

    // A table typed in from empty space for "Vzdálenost bodů 2D", to which a
    // formula is then applied.
    void tableTypedInFromEmptySpace()
    {
        withModal<TInsertWizard>([&] { contextMenu(nullptr, entry("Vzdálenost bodů 2D")); },
                                 [&](TInsertWizard *wizard) {
                                     auto *grid = wizard->findChild<QTableWidget *>("tableWidget");
                                     QCOMPARE(grid->columnCount(), 5);
                                     QCOMPARE(grid->horizontalHeaderItem(4)->text(), QStringLiteral("y2"));
                                     typeRows(wizard, {{"0", "0", "3", "4"}, {"1", "1", "1", "1"}});
                                 });
        QCOMPARE(tree()->topLevelItemCount(), 1);
        QTreeWidgetItem *node = tree()->topLevelItem(0);
        QCOMPARE(node->text(0), QString::fromUtf8("Vzdálenost bodů 2D"));
        QVERIFY(node->toolTip(0).isEmpty());
        QVERIFY(!node->font(0).bold());
        QCOMPARE(iconImage(node->icon(0)), iconImage(QIcon(QStringLiteral(":/icons/uprava-dat-70x67px.png"))));
        QVERIFY(m_window->sourceNodes().isEmpty());
        QVERIFY(m_window->sourceFiles().isEmpty());
        QVERIFY(node->isSelected());
        QVERIFY(m_window->isModified());
        TTableModel *table = MainWindow::tableOf(node);
        QCOMPARE(m_window->tableView()->model(), table);
        QCOMPARE(table->type(), 97);
        // The 3-4-5 triangle: a distance of 5.
        QCOMPARE(storedRows(*table), (Rows{{0, 0, 3, 4, 5}, {1, 1, 1, 1, 0}}));
        QCOMPARE(m_window->formulaResultsOf(node).size(), 53);

        // Body mass index of "weight" 5 (the distance) and "height" 3 (x2): 5 / 9.
        withModal<TDataWizard>([&] { contextMenu(node, entry("Body mass index")); },
                               [&](TDataWizard *wizard) { mapInputs(wizard, {4, 2}); });
        QCOMPARE(node->childCount(), 1);
        QCOMPARE(m_window->formulaResultsOf(node).value(2), node->child(0));
        QCOMPARE(MainWindow::tableOf(node->child(0))->value(0, 2), 5.0 / 9.0);
    }

    void tablesTypedInAloneAreSaved()
    {
        withModal<TInsertWizard>([&] { contextMenu(nullptr, entry("Vzdálenost bodů 2D")); },
                                 [&](TInsertWizard *wizard) { typeRows(wizard, {{"0", "0", "3", "4"}}); });
        QVERIFY(m_window->sourceNodes().isEmpty());
        const QString file = m_dir.filePath("napsane.kstx");
        FileDialog::setNextFileName(file);
        QVERIFY(m_window->saveProject());
        QVERIFY(QFile::exists(file));
        QVERIFY(!m_window->isModified());
        // Its check marks are work to save, too.
        TTableModel *typed = MainWindow::tableOf(tree()->topLevelItem(0));
        typed->setData(typed->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
        QVERIFY(m_window->isModified());

        MessageBox::setNextAnswer(QMessageBox::Discard);
        QVERIFY(m_window->openProjectFile(file));
        QCOMPARE(tree()->topLevelItemCount(), 1);
        TTableModel *opened = MainWindow::tableOf(tree()->topLevelItem(0));
        QCOMPARE(opened->type(), 97);
        QCOMPARE(storedRows(*opened), (Rows{{0, 0, 3, 4, 5}}));
        QVERIFY(opened->isRowChecked(0));
    }

    void cancelledTypingInChangesNothing()
    {
        withModal<TInsertWizard>([&] { contextMenu(nullptr, entry("Body mass index")); },
                                 [&](TInsertWizard *wizard) { press(wizard, QDialogButtonBox::Cancel); });
        QCOMPARE(tree()->topLevelItemCount(), 0);
        QVERIFY(!m_window->isModified());
    }

    void somatotypeChart()
    {
        QTreeWidgetItem *source = importOne("a;b;c;d;e;f;g;h;i;j\n10;12;15;30;36;9,5;7;175;70;8\n"
                                            "12;14;16;31;37;10;8;180;80;9\n");
        withModal<TDataWizard>([&] { contextMenu(source, entry("Stanovení somatotypu dle Heath-Carter")); },
                               [&](TDataWizard *wizard) { mapInputs(wizard, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}); });
        TTableModel *table = MainWindow::tableOf(source->child(0));
        QCOMPARE(table->type(), 43);
        auto *button = m_window->findChild<QCommandLinkButton *>("commandLinkButton");
        QVERIFY(!button->isHidden());
        withModal<TSheldonDialog>([&] { button->click(); },
                                  [&](TSheldonDialog *dialog) {
                                      QCOMPARE(dialog->parentWidget(), m_window.get());
                                      QCOMPARE(dialog->somatotypes().size(), size_t(2));
                                      const Somatotype first = dialog->somatotypes().front();
                                      // The last three columns of the first row.
                                      QCOMPARE(first.endomorphy, table->value(0, 10));
                                      QCOMPARE(first.mesomorphy, table->value(0, 11));
                                      QCOMPARE(first.ectomorphy, table->value(0, 12));
                                      dialog->accept();
                                  });
    }

    // The wizard's example, 2 + 3·x1 + 0.5·x2², defined and applied through the menus.
    void userFunctionThroughTheMenus()
    {
        defineFunction(false, {"2", "3", "0.5"});
        QCOMPARE(customFunctions.size(), size_t(1));
        QCOMPARE(customFunction(110)->coefficients, (std::vector<double>{2, 3, 0.5}));

        QTreeWidgetItem *source = importOne("a;b\n1;2\n-2;-3\n");
        QStringList offered;
        withModal<TDataWizard>(
            [&] {
                contextMenu(source, [&](QMenu &menu) {
                    QAction *submenu = find(menu, QString::fromUtf8("Vlastní funkce"));
                    for (QAction *a : submenu->menu()->actions())
                        offered.append(a->text());
                    return submenu->menu()->actions().value(0);
                });
            },
            [&](TDataWizard *wizard) {
                QCOMPARE(wizard->windowTitle(), QString::fromUtf8("Průvodce funkcí Vlastni fce"));
                mapInputs(wizard, {0, 1});
            });
        QCOMPARE(offered, QStringList{"Vlastni fce"});
        QCOMPARE(source->childCount(), 1);
        QTreeWidgetItem *result = source->child(0);
        QCOMPARE(result->text(0), QStringLiteral("Vlastni fce"));
        QCOMPARE(result->toolTip(0), QStringLiteral("Vlastni fce"));
        QCOMPARE(iconImage(result->icon(0)), iconImage(QIcon(QStringLiteral(":/icons/document.png"))));
        QVERIFY(result->isSelected());
        TTableModel *table = MainWindow::tableOf(result);
        QCOMPARE(m_window->tableView()->model(), table);
        QCOMPARE(headersOf(*table), (QStringList{"1. koeficient", "2. koeficient", QString::fromUtf8("Výsledek")}));
        // 2 + 3 + 0.5·4 = 7; 2 - 6 + 0.5·9 = 0.5.
        QCOMPARE(storedRows(*table), (Rows{{1, 2, 7}, {-2, -3, 0.5}}));

        // Rows added to it are computed by the function: 2 + 12 + 0.5·4 = 16.
        withModal<TInsertWizard>([&] { contextMenu(result, entry("Přidat data")); },
                                 [&](TInsertWizard *wizard) {
                                     QCOMPARE(wizard->findChild<QTableWidget *>("tableWidget")->columnCount(), 3);
                                     typeRows(wizard, {{"4", "2"}});
                                 });
        QCOMPARE(storedRows(*table), (Rows{{1, 2, 7}, {-2, -3, 0.5}, {4, 2, 16}}));
    }

    // Applied to a conversion's result, a function's table is its own, and
    // the project keeps it with its headers.
    void userFunctionOnAConversionIsSavedWithItsHeaders()
    {
        defineFunction(false, {"0", "1"}); // y = x1
        QTreeWidgetItem *source = importOne("m\n1000\n");
        withModal<TDataWizard>([&] { contextMenu(source, entry("Metry na kilometry")); },
                               [&](TDataWizard *wizard) { mapInputs(wizard, {0}); });
        QTreeWidgetItem *kilometres = source->child(0);
        withModal<TDataWizard>([&] { contextMenu(kilometres, userFunction(0)); },
                               [&](TDataWizard *wizard) { mapInputs(wizard, {1}); });
        TTableModel *table = MainWindow::tableOf(kilometres->child(0));
        QCOMPARE(table->type(), SourceDataType);
        QCOMPARE(storedRows(*table), (Rows{{1, 1}}));
        QCOMPARE(headersOf(*table), (QStringList{"1. koeficient", QString::fromUtf8("Výsledek")}));

        const QString path = m_dir.filePath("funkce.kstx");
        FileDialog::setNextFileName(path);
        QVERIFY(m_window->saveProjectAs());
        FileDialog::setNextFileName(path);
        m_window->openProject();
        QCOMPARE(tree()->topLevelItemCount(), 1);
        QTreeWidgetItem *reopened = tree()->topLevelItem(0)->child(0)->child(0);
        QCOMPARE(reopened->text(0), QStringLiteral("Vlastni fce"));
        QCOMPARE(headersOf(*MainWindow::tableOf(reopened)), (QStringList{"1. koeficient", QString::fromUtf8("Výsledek")}));
        QCOMPARE(storedRows(*MainWindow::tableOf(reopened)), (Rows{{1, 1}}));
    }

    // The exponential form computes what its wizard shows:
    // y = 1 + 2·e^x1 + 3·e^(2·x2).
    void exponentialFunction()
    {
        defineFunction(false, {"1"});
        defineFunction(true, {"1", "2", "3"});
        QCOMPARE(customFunction(111)->title, QStringLiteral("Exponencialni fce"));
        QTreeWidgetItem *source = importOne("x1;x2\n0;0\n1;0,5\n");
        QStringList offered;
        withModal<TDataWizard>(
            [&] {
                contextMenu(source, [&](QMenu &menu) {
                    for (QAction *a : find(menu, QString::fromUtf8("Vlastní funkce"))->menu()->actions())
                        offered.append(a->text());
                    return userFunction(1)(menu);
                });
            },
            [&](TDataWizard *wizard) { mapInputs(wizard, {0, 1}); });
        // Several functions of one form would share a text; the order tells them apart.
        QCOMPARE(offered, (QStringList{"Vlastni fce", "Exponencialni fce"}));
        QTreeWidgetItem *result = source->child(0);
        QCOMPARE(result->text(0), QStringLiteral("Exponencialni fce"));
        const TTableModel *table = MainWindow::tableOf(result);
        // 1 + 2·e^0 + 3·e^0 = 6; 1 + 2·e + 3·e^(2·0.5) = 1 + 5e.
        const double e = 2.71828182845904523536;
        QCOMPARE(table->value(0, 2), 6.0);
        QVERIFY(qAbs(table->value(1, 2) - (1 + 5 * e)) < 1e-12);
    }

    void cancelledFunctionWizardDefinesNothing()
    {
        withModal<TCustomFunctionWizard>([&] { m_window->addCustomLinearFunction(); },
                                         [&](TCustomFunctionWizard *wizard) {
                                             press(wizard, QDialogButtonBox::Cancel);
                                         });
        QVERIFY(customFunctions.empty());
        QStringList offered{"?"};
        contextMenu(nullptr, [&](QMenu &menu) {
            offered.clear();
            for (QAction *a : find(menu, QString::fromUtf8("Vlastní funkce"))->menu()->actions())
                offered.append(a->text());
            return nullptr;
        });
        QVERIFY(offered.isEmpty());
    }

    void userFunctionFromEmptySpaceDoesNothing()
    {
        defineFunction(false, {"1", "1"});
        m_window->setProjectSaved(true);
        // No wizard opens: an unexpected modal dialog would stop the test.
        contextMenu(nullptr, userFunction(0));
        QCOMPARE(tree()->topLevelItemCount(), 0);
        QVERIFY(!m_window->isModified());
    }
};

QTEST_MAIN(TestDialogFlows)
#include "tst_dialogflows.moc"

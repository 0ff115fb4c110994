#include "WindowTestSupport.h"
#include "FileDialog.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "MethodCatalog.h"
#include "PopupMenu.h"
#include "TDataWizard.h"
#include "TMethodReference.h"
#include "TTableModel.h"

#include <QApplication>
#include <QComboBox>
#include <QCommandLinkButton>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
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

// The main window's flows as a user goes through them, offscreen, every
// prompt answered by the test.
class TestMainWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow> m_window;

    QString csv(const QString &name, const QByteArray &content) { return writeFile(m_dir, name, content); }

    QTreeWidget *tree() { return m_window->tree(); }

    QTreeWidgetItem *importOne(const QByteArray &content = "Hmotnost;Vyska\n70;1,75\n80;2\n",
                               const QString &name = QStringLiteral("lide.csv"))
    {
        FileDialog::setNextFileNames({csv(name, content)});
        m_window->loadCSV();
        return tree()->topLevelItem(tree()->topLevelItemCount() - 1);
    }

    void contextMenu(QTreeWidgetItem *node, const PopupMenu::Chooser &chooser)
    {
        openContextMenu(*m_window, node, chooser);
    }

    static QStringList entries(const QMenu &menu)
    {
        QStringList texts;
        for (QAction *a : menu.actions())
            texts.append(a->isSeparator() ? QStringLiteral("---") : a->text());
        return texts;
    }

    static QAction *find(QMenu &menu, const QString &text) { return findMenuEntry(menu, text); }

    // Applies method id to node through the context menu; the wizard gets
    // the columns (or is cancelled when columns is empty).
    void apply(QTreeWidgetItem *node, int id, const QList<int> &columns)
    {
        applyBy([&] { contextMenu(node, [&](QMenu &menu) { return find(menu, MethodCatalog[id].title); }); }, columns);
    }

    // Chooses a method by choose, and answers the wizard it opens.
    void applyBy(const std::function<void()> &choose, const QList<int> &columns)
    {
        bool wizardSeen = false;
        QTimer::singleShot(0, [&] {
            auto *wizard = qobject_cast<TDataWizard *>(QApplication::activeModalWidget());
            QVERIFY(wizard);
            wizardSeen = true;
            auto *grid = wizard->findChild<QTableWidget *>("tableWidget");
            for (int input = 0; input < columns.size(); ++input)
                qobject_cast<QComboBox *>(grid->cellWidget(0, columns[input]))->setCurrentIndex(input + 1);
            if (columns.isEmpty())
                wizard->reject();
            else
                wizard->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        });
        choose();
        QVERIFY(wizardSeen);
    }

    // The menu bar's menu whose title is text.
    QMenu *menuBarMenu(const QString &text)
    {
        for (QAction *action : m_window->menuBar()->actions())
            if (action->text() == text)
                return action->menu();
        return nullptr;
    }

    // The window on screen and active, so that its keys reach their actions.
    void showActive()
    {
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    // Applies with nothing expected to open: the result is reused.
    void applyWithoutWizard(QTreeWidgetItem *node, int id)
    {
        contextMenu(node, [&](QMenu &menu) { return find(menu, MethodCatalog[id].title); });
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
        // Each test starts from the layout a first start has.
        QSettings settings(QStringLiteral("Veritek"), QStringLiteral("Kostimer"));
        settings.remove(QStringLiteral("windowGeometry"));
        settings.remove(QStringLiteral("splitterState"));
        m_window = std::make_unique<MainWindow>();
    }

    void cleanup()
    {
        m_window.reset();
        // Every queued answer was asked for; none is left to confuse the next test.
        QVERIFY(!takeLeftoverAnswers());
    }

    void freshWindow()
    {
        QCOMPARE(m_window->windowTitle(), QString::fromUtf8("Nový projekt - Kostimer"));
        QCOMPARE(m_window->findChild<QLabel *>("label")->text(), QString::fromUtf8("Nový projekt"));
        QVERIFY(m_window->findChild<QCommandLinkButton *>("commandLinkButton")->isHidden());
        // Room for the tree and a table, as far as the screen has it.
        const QSize available = m_window->screen()->availableGeometry().size();
        QVERIFY2(m_window->width() >= qMin(900, available.width()) && m_window->height() >= qMin(600, available.height()),
                 qPrintable(QStringLiteral("%1 × %2").arg(m_window->width()).arg(m_window->height())));
        QVERIFY(available.boundedTo(m_window->size()) == m_window->size());
    }

    void titleMarksAChange()
    {
        importOne();
        QCOMPARE(m_window->windowTitle(), QString::fromUtf8("Nový projekt* - Kostimer"));
        QCOMPARE(m_window->findChild<QLabel *>("label")->text(), QString::fromUtf8("Nový projekt*"));
        m_window->setProjectFile(QStringLiteral("/data/vyzkum.2024.kstx"));
        QCOMPARE(m_window->windowTitle(), QString::fromUtf8("vyzkum* - Kostimer"));
    }

    void importOfOneFile()
    {
        QTreeWidgetItem *node = importOne();
        QCOMPARE(tree()->topLevelItemCount(), 1);
        QCOMPARE(node->text(0), QString::fromUtf8("Data ze souboru \"lide.csv\""));
        QVERIFY(node->font(0).bold());
        QVERIFY(node->isSelected());
        TTableModel *table = MainWindow::tableOf(node);
        QVERIFY(table);
        QCOMPARE(m_window->tableView()->model(), table);
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(m_window->sourceFiles(), QStringList{"lide.csv"});
        QCOMPARE(FileDialog::lastTitle(), QString::fromUtf8("Import dat z CSV souboru"));
        QVERIFY(m_window->isModified());
    }

    void importOfSeveralFilesShowsTheLast()
    {
        FileDialog::setNextFileNames({csv("a.csv", "x\n1\n"), csv("b.csv", "y;z\n1;2\n3;4\n")});
        m_window->loadCSV();
        QCOMPARE(tree()->topLevelItemCount(), 2);
        QTreeWidgetItem *last = tree()->topLevelItem(1);
        QCOMPARE(tree()->selectedItems(), QList<QTreeWidgetItem *>{last});
        QCOMPARE(m_window->tableView()->model(), MainWindow::tableOf(last));
        QCOMPARE(m_window->sourceFiles(), (QStringList{"a.csv", "b.csv"}));
        // The next import dialog opens in the folder of these files.
        FileDialog::setNextFileNames({});
        m_window->loadCSV();
        QCOMPARE(FileDialog::lastFolder(), QFileInfo(m_dir.path()).absoluteFilePath());
    }

    void cancelledImportChangesNothing()
    {
        FileDialog::setNextFileNames({});
        m_window->loadCSV();
        QCOMPARE(tree()->topLevelItemCount(), 0);
        QVERIFY(!m_window->isModified());
    }

    void applyWithAMapping()
    {
        QTreeWidgetItem *source = importOne("Vyska;Hmotnost\n1,75;70\n2;80\n");
        apply(source, 2, {1, 0});
        QCOMPARE(source->childCount(), 1);
        QTreeWidgetItem *result = source->child(0);
        QCOMPARE(result->text(0), QString::fromUtf8("Body mass index"));
        QCOMPARE(result->toolTip(0), QString::fromUtf8("Body mass index"));
        QVERIFY(result->isSelected());
        TTableModel *table = MainWindow::tableOf(result);
        QCOMPARE(m_window->tableView()->model(), table);
        QCOMPARE(table->type(), 2);
        // Inputs in the method's order: weight, then height.
        QCOMPARE(table->value(0, 0), 70.0);
        QCOMPARE(table->value(0, 1), 1.75);
        QCOMPARE(table->value(1, 2), 20.0);
    }

    void cancelledWizardChangesNothing()
    {
        QTreeWidgetItem *source = importOne();
        m_window->setProjectSaved(true);
        apply(source, 2, {});
        QCOMPARE(source->childCount(), 0);
        QVERIFY(!m_window->isModified());
    }

    void formulaResultIsReused()
    {
        QTreeWidgetItem *source = importOne();
        apply(source, 2, {0, 1});
        applyWithoutWizard(source, 2);
        QCOMPARE(source->childCount(), 1);
        QVERIFY(source->child(0)->isSelected());
        QCOMPARE(m_window->formulaResultsOf(source).value(2), source->child(0));
    }

    void formulaAgainAfterItsRemoval()
    {
        QTreeWidgetItem *source = importOne();
        apply(source, 2, {0, 1});
        contextMenu(source->child(0), [](QMenu &menu) { return find(menu, QString::fromUtf8("Zrušit funkci")); });
        QCOMPARE(source->childCount(), 0);
        QCOMPARE(m_window->formulaResultsOf(source).value(2), nullptr);
        apply(source, 2, {0, 1});
        QCOMPARE(source->childCount(), 1);
    }

    void conversionTwiceGivesTwoResults()
    {
        QTreeWidgetItem *source = importOne();
        apply(source, 53, {0});
        apply(source, 53, {0});
        QCOMPARE(source->childCount(), 2);
        QCOMPARE(MainWindow::tableOf(source->child(1))->value(1, 1), 0.08);
    }

    void formulaOnAConversionResultGoesWithIt()
    {
        QTreeWidgetItem *source = importOne();
        apply(source, 82, {0}); // kilograms to grams
        QTreeWidgetItem *grams = source->child(0);
        apply(grams, 0, {1, 0});
        apply(grams, 3, {0, 1});
        QCOMPARE(grams->childCount(), 2);
        QCOMPARE(MainWindow::tableOf(grams->child(0))->value(0, 2), 10.0 * 70000.0 / 70.0);
        MessageBox::setNextAnswer(QMessageBox::Ok);
        contextMenu(grams, [](QMenu &menu) { return find(menu, QString::fromUtf8("Zrušit funkci")); });
        QCOMPARE(MessageBox::lastTitle(), QString::fromUtf8("Odstranění funkce"));
        QCOMPARE(source->childCount(), 0);
        QVERIFY(m_window->formulaResultsOf(grams).isEmpty());
    }

    void noMethodOnAFormulaResult()
    {
        QTreeWidgetItem *source = importOne();
        apply(source, 2, {0, 1});
        QTreeWidgetItem *result = source->child(0);
        // Even a method asked for directly is refused.
        tree()->clearSelection();
        result->setSelected(true);
        QStringList seen;
        contextMenu(result, [&](QMenu &menu) {
            seen = entries(menu);
            return nullptr;
        });
        QCOMPARE(seen, (QStringList{QString::fromUtf8("Exportovat tabulku do CSV"), QString::fromUtf8("Kopírovat tabulku"),
                                    QString::fromUtf8("Statistika"), QString::fromUtf8("Přidat data"), "---",
                                    QString::fromUtf8("Zrušit funkci")}));
        m_window->addFunction(0);
        QCOMPARE(result->childCount(), 0);
    }

    void menuOnEmptySpace()
    {
        importOne();
        QStringList seen;
        bool customEmpty = false;
        contextMenu(nullptr, [&](QMenu &menu) {
            seen = entries(menu);
            customEmpty = menu.actions().last()->menu()->isEmpty();
            return nullptr;
        });
        QCOMPARE(seen, (QStringList{QString::fromUtf8("&Import ze souboru CSV"), QString::fromUtf8("Studium živého člověka"),
                                    QString::fromUtf8("Studium lidského skeletu"), QString::fromUtf8("Převody jednotek SI"),
                                    QString::fromUtf8("Úprava prostorových dat"), "---",
                                    QString::fromUtf8("Vlastní funkce")}));
        QVERIFY(customEmpty);
        QVERIFY(tree()->selectedItems().isEmpty());
    }

    void menuOnASourceNode()
    {
        QTreeWidgetItem *source = importOne();
        QStringList texts;
        QStringList jacksonPollock;
        bool placeholderOffered = false;
        contextMenu(source, [&](QMenu &menu) {
            texts = entries(menu);
            QMenu *living = menu.actions().at(0)->menu();
            QMenu *composition = living->actions().at(3)->menu();
            jacksonPollock = entries(*composition->actions().at(1)->menu());
            for (int id : {106, 107, 108})
                placeholderOffered = placeholderOffered || find(menu, MethodCatalog[id].title);
            return nullptr;
        });
        QCOMPARE(texts.mid(0, 4), (QStringList{QString::fromUtf8("Studium živého člověka"),
                                               QString::fromUtf8("Studium lidského skeletu"),
                                               QString::fromUtf8("Převody jednotek SI"),
                                               QString::fromUtf8("Úprava prostorových dat")}));
        QCOMPARE(texts.mid(texts.size() - 7),
                 (QStringList{QString::fromUtf8("Exportovat tabulku do CSV"), QString::fromUtf8("Kopírovat tabulku"),
                              QString::fromUtf8("Statistika"), QString::fromUtf8("Přejmenovat sloupce"),
                              QString::fromUtf8("Přidat data"), "---", QString::fromUtf8("Odstranit soubor s daty")}));
        // The Jackson-Pollock methods in their menu order.
        QStringList titles;
        for (int id : {11, 10, 14, 15, 12, 13})
            titles.append(MethodCatalog[id].title);
        QCOMPARE(jacksonPollock, titles);
        QVERIFY(!placeholderOffered);
    }

    void removalAsksWhenThereAreResults()
    {
        QTreeWidgetItem *source = importOne();
        apply(source, 2, {0, 1});
        MessageBox::setNextAnswer(QMessageBox::Cancel);
        contextMenu(source, [](QMenu &menu) { return find(menu, QString::fromUtf8("Odstranit soubor s daty")); });
        QCOMPARE(MessageBox::lastTitle(), QString::fromUtf8("Odstranění souboru s daty"));
        QCOMPARE(tree()->topLevelItemCount(), 1);
        QCOMPARE(source->childCount(), 1);

        MessageBox::setNextAnswer(QMessageBox::Ok);
        contextMenu(source, [](QMenu &menu) { return find(menu, QString::fromUtf8("Odstranit soubor s daty")); });
        QCOMPARE(tree()->topLevelItemCount(), 0);
        QVERIFY(m_window->sourceFiles().isEmpty());
        QCOMPARE(m_window->tableView()->model(), nullptr);
    }

    void removalOfTheFirstOfTwoSources()
    {
        QTreeWidgetItem *first = importOne("a\n1\n", "prvni.csv");
        importOne("b\n2\n", "druhy.csv");
        const int asked = MessageBox::count();
        contextMenu(first, [](QMenu &menu) { return find(menu, QString::fromUtf8("Odstranit soubor s daty")); });
        QCOMPARE(MessageBox::count(), asked); // no results, no question
        QCOMPARE(tree()->topLevelItemCount(), 1);
        QCOMPARE(m_window->sourceFiles(), QStringList{"druhy.csv"});
        QCOMPARE(m_window->sourceNodes(), QList<QTreeWidgetItem *>{tree()->topLevelItem(0)});
    }

    void exportWritesTheValueRows()
    {
        MessageBox::setNextAnswer(QMessageBox::Ok); // "x" is no number: the import says so
        QTreeWidgetItem *source = importOne("a;b\n1,5;2\n1234567;x\n");
        const QString out = m_dir.filePath("export.csv");
        FileDialog::setNextFileName(out);
        contextMenu(source, [](QMenu &menu) { return find(menu, QString::fromUtf8("Exportovat tabulku do CSV")); });
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("1,5;2\n1,23457e+06;0\n"));
        QCOMPARE(FileDialog::lastTitle(), QString::fromUtf8("Export tabulky do CSV"));
    }

    void exportFailureIsReported()
    {
        QTreeWidgetItem *source = importOne();
        FileDialog::setNextFileName(m_dir.filePath("no/such/folder/export.csv"));
        MessageBox::setNextAnswer(QMessageBox::Ok);
        m_window->exportCSV(source);
        QCOMPARE(MessageBox::lastTitle(), QString::fromUtf8("Export tabulky do CSV"));
        QCOMPARE(MessageBox::lastText(), QString::fromUtf8("Nepodařilo se vytvořit CSV soubor. Zkontrolujte, zda není "
                                                           "otevřený v jiném programu."));
    }

    // A name typed without its suffix gets it, so that the file shows under
    // the filter of the dialog that opens it again.
    void savedNamesGetTheirSuffix_data()
    {
        QTest::addColumn<bool>("project");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("project") << true << "projekt" << "projekt.kstx";
        QTest::newRow("project with suffix") << true << "projekt.kstx" << "projekt.kstx";
        QTest::newRow("export") << false << "tabulka" << "tabulka.csv";
        QTest::newRow("export with its own suffix") << false << "tabulka.txt" << "tabulka.txt";
    }

    void savedNamesGetTheirSuffix()
    {
        QFETCH(bool, project);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QTreeWidgetItem *source = importOne("a\n1\n");
        FileDialog::setNextFileName(m_dir.filePath(typed));
        if (project)
            QVERIFY(m_window->saveProjectAs());
        else
            m_window->exportCSV(source);
        QVERIFY(QFileInfo::exists(m_dir.filePath(written)));
        if (typed != written)
            QVERIFY(!QFileInfo::exists(m_dir.filePath(typed)));
        if (project)
            QCOMPARE(m_window->windowTitle(), QString::fromUtf8("projekt - Kostimer"));
    }

    // The row numbers are never cut: the column is as wide as the last,
    // widest number, in a source table and in a result alike.
    void rowNumbersFitWhole()
    {
        QByteArray content("kg;m\n");
        for (int i = 0; i < 120000; ++i)
            content += "70;1,75\n";
        QTreeWidgetItem *source = importOne(content);
        QTableView *view = m_window->tableView();
        const int last = view->model()->rowCount() - 1;
        QCOMPARE(last, 119999);
        QVERIFY(view->columnWidth(0) >= view->sizeHintForIndex(view->model()->index(last, 0)).width());
        apply(source, 2, {0, 1});
        QCOMPARE(view->model()->rowCount(), 120000);
        QVERIFY(view->columnWidth(0) >= view->sizeHintForIndex(view->model()->index(last, 0)).width());
    }

    void saveWithNothingImported()
    {
        // No dialog is asked: one would stop the test.
        QVERIFY(!m_window->saveProjectAs());
        QVERIFY(!m_window->saveProject());
    }

    void saveCloseAndOpenAgain()
    {
        QTreeWidgetItem *source = importOne("Hmotnost;Vyska\n70;1,75\n80;2\n");
        apply(source, 2, {0, 1});
        const QString file = m_dir.filePath("projekt.v1.kstx");
        FileDialog::setNextFileName(file);
        QVERIFY(m_window->saveProjectAs());
        QCOMPARE(FileDialog::lastTitle(), QString::fromUtf8("Uložit projekt jako.."));
        QCOMPARE(m_window->windowTitle(), QString::fromUtf8("projekt - Kostimer"));
        QVERIFY(!m_window->isModified());

        QVERIFY(m_window->closeProject()); // nothing unsaved: no question
        QCOMPARE(tree()->topLevelItemCount(), 0);
        QCOMPARE(m_window->windowTitle(), QString::fromUtf8("Nový projekt - Kostimer"));

        FileDialog::setNextFileName(file);
        m_window->openProject();
        QCOMPARE(FileDialog::lastTitle(), QString::fromUtf8("Otevřít projekt"));
        QCOMPARE(m_window->windowTitle(), QString::fromUtf8("projekt - Kostimer"));
        QCOMPARE(tree()->topLevelItemCount(), 1);
        QTreeWidgetItem *opened = tree()->topLevelItem(0);
        QCOMPARE(opened->text(0), QString::fromUtf8("Data ze souboru \"lide.csv\""));
        QVERIFY(opened->isExpanded());
        QCOMPARE(opened->childCount(), 1);
        QCOMPARE(opened->child(0)->text(0), QString::fromUtf8("Body mass index"));
        QCOMPARE(MainWindow::tableOf(opened->child(0))->value(1, 2), 20.0);
        QCOMPARE(m_window->sourceFiles(), QStringList{"lide.csv"});
        // The formula result is known again: applying it selects it.
        applyWithoutWizard(opened, 2);
        QCOMPARE(opened->childCount(), 1);
        QVERIFY(!m_window->isModified());

        TTableModel *table = MainWindow::tableOf(opened);
        table->setData(table->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
        QVERIFY(m_window->isModified());
        QCOMPARE(m_window->windowTitle(), QString::fromUtf8("projekt* - Kostimer"));
    }

    void removedFirstSourceIsNotSaved()
    {
        QTreeWidgetItem *first = importOne("a\n1\n", "prvni.csv");
        importOne("b\n2\n", "druhy.csv");
        contextMenu(first, [](QMenu &menu) { return find(menu, QString::fromUtf8("Odstranit soubor s daty")); });
        const QString file = m_dir.filePath("dva.kstx");
        FileDialog::setNextFileName(file);
        QVERIFY(m_window->saveProject());
        QVERIFY(m_window->closeProject());
        FileDialog::setNextFileName(file);
        m_window->openProject();
        QCOMPARE(tree()->topLevelItemCount(), 1);
        QCOMPARE(tree()->topLevelItem(0)->text(0), QString::fromUtf8("Data ze souboru \"druhy.csv\""));
        QCOMPARE(m_window->sourceFiles(), QStringList{"druhy.csv"});
        QCOMPARE(MainWindow::tableOf(tree()->topLevelItem(0))->value(0, 0), 2.0);
    }

    // Unsaved work is asked about first; the current project goes only once
    // another has been read, so neither a cancelled dialog nor a file that is
    // no project loses it.
    void openingKeepsTheProjectUntilAnotherIsRead_data()
    {
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("dialog cancelled") << true;
        QTest::newRow("not a project") << false;
    }

    void openingKeepsTheProjectUntilAnotherIsRead()
    {
        QFETCH(bool, cancelled);
        importOne();
        MessageBox::setNextAnswer(QMessageBox::Discard);
        if (cancelled) {
            FileDialog::setNextFileName(QString());
        } else {
            FileDialog::setNextFileName(csv("not-a-project.kstx", "a;b\n1;2\n"));
            MessageBox::setNextAnswer(QMessageBox::Ok);
        }
        m_window->openProject();
        if (!cancelled) {
            QCOMPARE(MessageBox::lastTitle(), QString::fromUtf8("Otevření projektu"));
            QCOMPARE(MessageBox::lastText(), QString::fromUtf8("Projekt se nepodařilo otevřít."));
        }
        QCOMPARE(tree()->topLevelItemCount(), 1);
        QCOMPARE(m_window->sourceFiles(), QStringList{"lide.csv"});
        QVERIFY(m_window->isModified());
        QCOMPARE(m_window->windowTitle(), QString::fromUtf8("Nový projekt* - Kostimer"));
    }

    void closingAsksAboutUnsavedWork()
    {
        importOne();
        MessageBox::setNextAnswer(QMessageBox::Cancel);
        QVERIFY(!m_window->closeProject());
        QCOMPARE(MessageBox::lastTitle(), QString::fromUtf8("Zavření projektu"));
        QCOMPARE(MessageBox::lastText(),
                 QString::fromUtf8("Projet \"Nový projekt\" nebyl uložen. Přejete si jej uložit?"));
        QCOMPARE(tree()->topLevelItemCount(), 1);

        // Discarded: what is left is a new project with nothing unsaved.
        MessageBox::setNextAnswer(QMessageBox::Discard);
        QVERIFY(m_window->closeProject());
        QCOMPARE(tree()->topLevelItemCount(), 0);
        QVERIFY(!m_window->isModified());
        QCOMPARE(m_window->windowTitle(), QString::fromUtf8("Nový projekt - Kostimer"));
        QVERIFY(m_window->closeProject()); // and no second question
    }

    void failedSaveKeepsTheWorkUnsaved()
    {
        importOne();
        FileDialog::setNextFileName(m_dir.filePath("no/such/folder/p.kstx"));
        MessageBox::setNextAnswer(QMessageBox::Ok);
        QVERIFY(!m_window->saveProjectAs());
        QCOMPARE(MessageBox::lastTitle(), QString::fromUtf8("Uložení projektu"));
        QCOMPARE(MessageBox::lastText(), QString::fromUtf8("Projekt se nepodařilo uložit."));
        QVERIFY(m_window->isModified());
        QCOMPARE(m_window->windowTitle(), QString::fromUtf8("Nový projekt* - Kostimer"));
    }

    void failedSaveGivesItsReason()
    {
        importOne();
        const QString file = m_dir.filePath("no/such/folder/p.kstx");
        FileDialog::setNextFileName(file);
        MessageBox::setNextAnswer(QMessageBox::Ok);
        QVERIFY(!m_window->saveProjectAs());
        QCOMPARE(MessageBox::lastText(), QString::fromUtf8("Projekt se nepodařilo uložit."));
        QVERIFY2(MessageBox::lastDetailedText().startsWith(QString::fromUtf8("Soubor „%1“ nelze vytvořit").arg(file)),
                 qPrintable(MessageBox::lastDetailedText()));
    }

    void checksOfANewResultMarkTheProjectModified()
    {
        // A result computed in this session, and one computed after the
        // project was opened: a changed check mark in either is unsaved work.
        QTreeWidgetItem *source = importOne();
        apply(source, 53, {0});
        const QString file = m_dir.filePath("znacky.kstx");
        FileDialog::setNextFileName(file);
        QVERIFY(m_window->saveProjectAs());
        TTableModel *result = MainWindow::tableOf(source->child(0));
        result->setData(result->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
        QVERIFY(m_window->isModified());

        QVERIFY(m_window->saveProject());
        QVERIFY(m_window->closeProject());
        QVERIFY(m_window->openProjectFile(file));
        QTreeWidgetItem *opened = tree()->topLevelItem(0);
        apply(opened, 82, {0});
        QVERIFY(m_window->saveProject());
        QVERIFY(!m_window->isModified());
        TTableModel *later = MainWindow::tableOf(opened->child(1));
        QCOMPARE(later->type(), 82);
        later->setData(later->index(1, 0), Qt::Unchecked, Qt::CheckStateRole);
        QVERIFY(m_window->isModified());
    }

    void closingTheWindowAsksToo()
    {
        m_window->show();
        importOne();
        MessageBox::setNextAnswer(QMessageBox::Cancel);
        QVERIFY(!m_window->close());
        QVERIFY(m_window->isVisible());
        const QString file = m_dir.filePath("pri-zavreni.kstx");
        MessageBox::setNextAnswer(QMessageBox::Save);
        FileDialog::setNextFileName(file);
        QVERIFY(m_window->close());
        QVERIFY(QFile::exists(file));
    }

    void fieldsWithoutANumberAreMarked()
    {
        MessageBox::setNextAnswer(QMessageBox::Ok);
        QTreeWidgetItem *source = importOne("Hmotnost;Výška;Pas\n70;;80\n80;1,8;?\n90;abc;\n", "chybi.csv");
        QCOMPARE(MessageBox::lastTitle(), QString::fromUtf8("Import dat z CSV souboru"));
        QVERIFY2(MessageBox::lastText().endsWith(QString::fromUtf8("\nchybi.csv – sloupec „Výška“: 2×, sloupec „Pas“: 2×")),
                 qPrintable(MessageBox::lastText()));
        TTableModel *table = MainWindow::tableOf(source);
        // The value stays 0; the cell is tinted and says what the file held.
        QCOMPARE(table->value(2, 1), 0.0);
        QVERIFY(table->data(table->index(2, 2), Qt::BackgroundRole).isValid());
        QVERIFY(!table->data(table->index(1, 2), Qt::BackgroundRole).isValid());
        QCOMPARE(table->data(table->index(2, 2), Qt::ToolTipRole).toString(),
                 QString::fromUtf8("V souboru stálo „abc“, což není číslo; počítá se s 0."));
        QCOMPARE(table->data(table->index(0, 2), Qt::ToolTipRole).toString(),
                 QString::fromUtf8("V souboru bylo prázdné pole, počítá se s 0."));

        // The column-mapping wizard's preview shows the same marks.
        bool tinted = false;
        QTimer::singleShot(0, [&] {
            auto *wizard = qobject_cast<TDataWizard *>(QApplication::activeModalWidget());
            auto *grid = wizard->findChild<QTableWidget *>("tableWidget");
            tinted = grid->item(1, 1)->background() != QBrush() && grid->item(2, 1)->background() == QBrush()
                     && grid->item(3, 1)->toolTip().contains("abc");
            wizard->reject();
        });
        contextMenu(source, [&](QMenu &menu) { return find(menu, MethodCatalog[2].title); });
        QVERIFY(tinted);

        // They are saved with the project and come back.
        const QString file = m_dir.filePath("chybi.kstx");
        FileDialog::setNextFileName(file);
        QVERIFY(m_window->saveProjectAs());
        QVERIFY(m_window->closeProject());
        FileDialog::setNextFileName(file);
        m_window->openProject();
        TTableModel *opened = MainWindow::tableOf(tree()->topLevelItem(0));
        QCOMPARE(opened->unreadFields().size(), 4);
        QCOMPARE(opened->data(opened->index(2, 2), Qt::ToolTipRole).toString(),
                 QString::fromUtf8("V souboru stálo „abc“, což není číslo; počítá se s 0."));
        QCOMPARE(opened->data(opened->index(1, 3), Qt::ToolTipRole).toString(),
                 QString::fromUtf8("V souboru stálo „?“, což není číslo; počítá se s 0."));
    }

    // Each key reaches its flow: the prompt it opens, answered by cancelling.
    void keysReachTheirFlows_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<bool>("unsaved");
        QTest::addColumn<QString>("prompt"); // "file", "box", "reference" or "written"
        QTest::addColumn<QString>("title");
        QTest::newRow("Ctrl+O") << QKeySequence("Ctrl+O") << false << "file" << QString::fromUtf8("Otevřít projekt");
        QTest::newRow("Ctrl+S") << QKeySequence("Ctrl+S") << false << "written" << QString();
        QTest::newRow("Ctrl+Shift+S") << QKeySequence("Ctrl+Shift+S") << false << "file"
                                      << QString::fromUtf8("Uložit projekt jako..");
        QTest::newRow("Ctrl+I") << QKeySequence("Ctrl+I") << false << "file" << QString::fromUtf8("Import dat z CSV souboru");
        QTest::newRow("Ctrl+E") << QKeySequence("Ctrl+E") << false << "file" << QString::fromUtf8("Export tabulky do CSV");
        QTest::newRow("F1") << QKeySequence("F1") << false << "reference" << QString();
        QTest::newRow("Ctrl+Q") << QKeySequence("Ctrl+Q") << true << "box" << QString::fromUtf8("Zavření projektu");
        QTest::newRow("Delete") << QKeySequence(QKeySequence::Delete) << false << "box"
                                << QString::fromUtf8("Odstranění souboru s daty");
    }

    void keysReachTheirFlows()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(bool, unsaved);
        QFETCH(QString, prompt);
        QFETCH(QString, title);
        // A saved project of a source with a result, the source selected.
        QTreeWidgetItem *source = importOne();
        apply(source, 2, {0, 1});
        const QString file = m_dir.filePath("klavesy.kstx");
        FileDialog::setNextFileName(file);
        QVERIFY(m_window->saveProjectAs());
        QVERIFY(QFile::remove(file));
        if (unsaved)
            MainWindow::tableOf(source)->setData(MainWindow::tableOf(source)->index(0, 0), Qt::Unchecked,
                                                 Qt::CheckStateRole);
        tree()->clearSelection();
        source->setSelected(true);
        showActive();
        tree()->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), tree());

        const int boxes = MessageBox::count();
        if (prompt == "file")
            FileDialog::setNextFileNames({});
        else if (prompt == "box")
            MessageBox::setNextAnswer(QMessageBox::Cancel);
        QTest::keySequence(tree(), keys);
        if (prompt == "file") {
            QVERIFY(!FileDialog::hasQueuedAnswer());
            QCOMPARE(FileDialog::lastTitle(), title);
        } else if (prompt == "box") {
            QCOMPARE(MessageBox::count(), boxes + 1);
            QCOMPARE(MessageBox::lastTitle(), title);
        } else if (prompt == "reference") {
            auto *reference = m_window->findChild<TMethodReference *>();
            QVERIFY(reference);
            QVERIFY(reference->isVisible());
        } else {
            QTRY_VERIFY(QFile::exists(file));
        }
        // Cancelled: the window is still there, and so is the project.
        QVERIFY(m_window->isVisible());
        QCOMPARE(source->childCount(), 1);
    }

    // Alt opens the menus, and the file actions name their keys.
    void menusHaveMnemonicsAndKeys_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QKeySequence>("mnemonic");
        QTest::newRow("Soubor") << QString::fromUtf8("&Soubor") << QKeySequence("Alt+S");
        QTest::newRow("Funkce") << QString::fromUtf8("&Funkce") << QKeySequence("Alt+F");
        QTest::newRow("Nápověda") << QString::fromUtf8("&Nápověda") << QKeySequence("Alt+N");
    }

    void menusHaveMnemonicsAndKeys()
    {
        QFETCH(QString, menu);
        QFETCH(QKeySequence, mnemonic);
        QMenu *shown = menuBarMenu(menu);
        QVERIFY(shown);
        QCOMPARE(QKeySequence::mnemonic(menu), mnemonic);
        // Within a menu, no two entries share a letter.
        QSet<QKeySequence> letters;
        for (QAction *action : shown->actions()) {
            const QKeySequence letter = QKeySequence::mnemonic(action->text());
            if (letter.isEmpty())
                continue;
            QVERIFY2(!letters.contains(letter), qPrintable(action->text()));
            letters.insert(letter);
        }
    }

    void toolBarTipsNameTheKeys()
    {
        QStringList tips;
        for (QAction *action : m_window->findChild<QToolBar *>("mainToolBar")->actions())
            if (!action->isSeparator())
                tips.append(action->toolTip());
        QCOMPARE(tips, (QStringList{QString::fromUtf8("Import ze souboru CSV (Ctrl+I)"),
                                    QString::fromUtf8("Otevřít projekt (Ctrl+O)"), QString::fromUtf8("Uložit projekt (Ctrl+S)"),
                                    QString::fromUtf8("Uložit projekt jako (Ctrl+Shift+S)")}));
        QMenu *file = menuBarMenu(QString::fromUtf8("&Soubor"));
        QCOMPARE(find(*file, QString::fromUtf8("U&končit aplikaci"))->shortcut(), QKeySequence("Ctrl+Q"));
    }

    void layoutComesBackInTheNextWindow()
    {
        showActive();
        m_window->resize(700, 450);
        auto *splitter = m_window->findChild<QSplitter *>("splitter");
        QVERIFY(splitter->isAncestorOf(tree()) && splitter->isAncestorOf(m_window->tableView()));
        splitter->setSizes({123, splitter->width() - 123 - splitter->handleWidth()});
        const QList<int> sizes = splitter->sizes();
        QCOMPARE(sizes.first(), 123);
        m_window.reset();

        m_window = std::make_unique<MainWindow>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QCOMPARE(m_window->size(), QSize(700, 450));
        QCOMPARE(m_window->findChild<QSplitter *>("splitter")->sizes(), sizes);
    }

    // The status bar describes the table shown, and follows its checks.
    void statusBarCountsTheShownTable_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QList<int>>("unchecked");
        QTest::addColumn<QString>("summary");
        QTest::newRow("one unchecked") << 3 << QList<int>{1} << QString::fromUtf8("Řádků: 3, sloupců: 2, zaškrtnutých: 2");
        QTest::newRow("digits grouped") << 1500 << QList<int>{0, 1499}
                                        << QString::fromUtf8("Řádků: 1\u00a0500, sloupců: 2, zaškrtnutých: 1\u00a0498");
    }

    void statusBarCountsTheShownTable()
    {
        QFETCH(int, rows);
        QFETCH(QList<int>, unchecked);
        QFETCH(QString, summary);
        auto *label = m_window->statusBar()->findChild<QLabel *>("tableSummary");
        QVERIFY(label);
        QCOMPARE(label->text(), QString());
        QByteArray content = "Hmotnost;Vyska\n";
        for (int row = 0; row < rows; ++row)
            content += QByteArray::number(60 + row % 40) + ";1,7\n";
        QTreeWidgetItem *source = importOne(content);
        TTableModel *table = MainWindow::tableOf(source);
        for (int row : unchecked)
            table->setData(table->index(row, 0), Qt::Unchecked, Qt::CheckStateRole);
        QCOMPARE(label->text(), summary);
        // Another table shown, then none.
        apply(source, 53, {0});
        QCOMPARE(label->text(), QString::fromUtf8("Řádků: %1, sloupců: 2, zaškrtnutých: %1")
                                    .arg(QLocale().toString(rows - int(unchecked.size()))));
        MessageBox::setNextAnswer(QMessageBox::Discard);
        QVERIFY(m_window->closeProject());
        QCOMPARE(label->text(), QString());
    }

    void functionsMenuAppliesToTheSelectedNode()
    {
        QMenu *functions = menuBarMenu(QString::fromUtf8("&Funkce"));
        QAction *living = functions->actions().first();
        QCOMPARE(living->text(), QString::fromUtf8("Studium živého člověka"));
        QVERIFY(!living->isEnabled()); // nothing selected

        QTreeWidgetItem *source = importOne("Vyska;Hmotnost\n1,75;70\n2;80\n");
        QVERIFY(living->isEnabled());
        QAction *bmi = find(*functions, MethodCatalog[2].title);
        QVERIFY(bmi);
        applyBy([&] { bmi->trigger(); }, {1, 0});
        QCOMPARE(source->childCount(), 1);
        QCOMPARE(MainWindow::tableOf(source->child(0))->type(), 2);
        // The result is selected now: a formula's result takes no methods.
        QVERIFY(source->child(0)->isSelected());
        QVERIFY(!living->isEnabled());
        tree()->clearSelection();
        QVERIFY(!living->isEnabled());
    }

    void emptySubmenusAreDisabled()
    {
        QMenu *functions = menuBarMenu(QString::fromUtf8("&Funkce"));
        for (const char *title : {"Editovat funkci", "Odstranit funkci"}) {
            QAction *entry = find(*functions, QString::fromUtf8(title));
            QVERIFY2(entry && entry->menu() && entry->menu()->isEmpty(), title);
            QVERIFY2(!entry->isEnabled(), title);
        }
    }

    void emptyProjectShowsTheHint()
    {
        auto *hint = m_window->findChild<QLabel *>("emptyHint");
        QVERIFY(hint);
        QCOMPARE(hint->text(), QString::fromUtf8("Importujte data (Ctrl+I) nebo otevřete projekt (Ctrl+O)"));
        QVERIFY(!hint->isHidden());
        QVERIFY(m_window->tableView()->isHidden());
        QTreeWidgetItem *source = importOne();
        QVERIFY(hint->isHidden());
        QVERIFY(!m_window->tableView()->isHidden());
        contextMenu(source, [](QMenu &menu) { return find(menu, QString::fromUtf8("Odstranit soubor s daty")); });
        QVERIFY(!hint->isHidden());
    }

    void somatotypeShowsTheChartButton()
    {
        QTreeWidgetItem *source = importOne("a;b;c;d;e;f;g;h;i;j\n10;12;15;30;36;9,5;7;175;70;8\n");
        apply(source, 43, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
        auto *button = m_window->findChild<QCommandLinkButton *>("commandLinkButton");
        QVERIFY(!button->isHidden());
        m_window->changeModel(source, 0);
        QVERIFY(button->isHidden());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

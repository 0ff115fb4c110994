// The main window's flows as a user goes through them, offscreen, every
// prompt answered by the test.

#include "WindowTestSupport.h"
#include "TableTestSupport.h"
#include "RecentProjects.h"

#include <QCommandLinkButton>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QUrl>

#include <map>

class TestMainWindow : public WindowTest {
    Q_OBJECT

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

    int nodeCount()
    {
        int count = 0;
        for (QTreeWidgetItemIterator it(tree()); *it; ++it)
            ++count;
        return count;
    }

    bool hintShown() { return !m_window->findChild<QLabel *>(QStringLiteral("emptyHint"))->isHidden(); }

    // Drops the files (paths, or addresses with a scheme) on the window as a
    // file manager would, and lets what the drop started run; false when the
    // window does not take them.
    bool dropOnWindow(const QStringList &files)
    {
        QList<QUrl> urls;
        for (const QString &file : files)
            urls.append(file.contains(QStringLiteral("://")) ? QUrl(file) : QUrl::fromLocalFile(file));
        QMimeData data;
        data.setUrls(urls);
        const QPoint at = m_window->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_window.get(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_window.get(), &drop);
        QCoreApplication::processEvents();
        return drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
    }

    // The entry of Soubor → Naposledy otevřené that opens path.
    QAction *recentEntry(const QString &path)
    {
        for (QAction *entry : m_window->recentProjects()->menu()->actions())
            if (entry->data().toString() == path)
                return entry;
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        startSuite();
        // Settings of the suite's own, which no other suite running at the
        // same time writes: the list of recent projects is compared whole.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.filePath(QStringLiteral("settings")));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.filePath(QStringLiteral("settings")));
    }

    void init()
    {
        // Each test starts from the layout a first start has.
        QSettings settings(QStringLiteral("Veritek"), QStringLiteral("Kostimer"));
        settings.remove(QStringLiteral("windowGeometry"));
        settings.remove(QStringLiteral("splitterState"));
        settings.remove(QStringLiteral("exportHeaderRow"));
        settings.remove(QStringLiteral("recentProjects"));
        m_window = std::make_unique<MainWindow>();
    }

    void cleanup() { endTest(); }

    // A first window has room for the tree and a table, as far as the screen
    // has it, and the hint in place of a table; an import shows the last file.
    void firstWindowAndImport()
    {
        QVERIFY(m_window->findChild<QCommandLinkButton *>(QStringLiteral("commandLinkButton"))->isHidden());
        QVERIFY(hintShown());
        const QSize available = m_window->screen()->availableGeometry().size();
        QVERIFY2(m_window->width() >= qMin(900, available.width()) && m_window->height() >= qMin(600, available.height()),
                 qPrintable(QStringLiteral("%1 × %2").arg(m_window->width()).arg(m_window->height())));
        QVERIFY(available.boundedTo(m_window->size()) == m_window->size());

        FileDialog::setNextFileNames({writeFile(m_dir, QStringLiteral("a.csv"), "x\n1\n"),
                                      writeFile(m_dir, QStringLiteral("b.csv"), "y;z\n1;2\n3;4\n")});
        m_window->loadCSV();
        QCOMPARE(FileDialog::lastTitle(), QStringLiteral("Import dat z CSV souboru"));
        QCOMPARE(tree()->topLevelItemCount(), 2);
        QTreeWidgetItem *last = tree()->topLevelItem(1);
        QCOMPARE(last->text(0), QStringLiteral("Data ze souboru \"b.csv\""));
        QCOMPARE(tree()->selectedItems(), QList<QTreeWidgetItem *>{last});
        QCOMPARE(m_window->tableView()->table(), MainWindow::tableOf(last));
        QCOMPARE(m_window->sourceFiles(), (QStringList{"a.csv", "b.csv"}));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Nový projekt* - Kostimer"));
        // The next import dialog opens in the folder of these files.
        FileDialog::setNextFileNames({});
        m_window->loadCSV();
        QCOMPARE(FileDialog::lastFolder(), QFileInfo(m_dir.path()).absoluteFilePath());
    }

    // A formula's result is kept once per table and chosen again without a
    // wizard, until it is removed; a conversion gives a new result each time.
    void applyingAgain_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("removeFirst");
        QTest::addColumn<bool>("wizardAgain");
        QTest::addColumn<int>("results");
        QTest::newRow("formula: its result reused") << 2 << false << false << 1;
        QTest::newRow("formula after its result was removed") << 2 << true << true << 1;
        QTest::newRow("conversion: two results") << 53 << false << true << 2;
    }

    void applyingAgain()
    {
        QFETCH(int, id);
        QFETCH(bool, removeFirst);
        QFETCH(bool, wizardAgain);
        QFETCH(int, results);
        QTreeWidgetItem *source = importOne();
        const QList<int> columns = id == 2 ? QList<int>{0, 1} : QList<int>{0};
        apply(source, id, columns);
        if (removeFirst) {
            contextMenu(source->child(0), QStringLiteral("Zrušit funkci"));
            QCOMPARE(m_window->formulaResultsOf(source).value(id), nullptr);
        }
        if (wizardAgain)
            apply(source, id, columns);
        else
            withoutModal([&] { contextMenu(source, methodTitle(id)); });
        QCOMPARE(source->childCount(), results);
        QTreeWidgetItem *last = source->child(results - 1);
        QVERIFY(last->isSelected());
        QCOMPARE(m_window->tableView()->table(), MainWindow::tableOf(last));
        if (id == 2)
            QCOMPARE(m_window->formulaResultsOf(source).value(2), last);
        else // 80 m = 0.08 km
            QCOMPARE(MainWindow::tableOf(last)->value(1, 1), 0.08);
    }

    void contextMenus_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QStringList>("entries");
        const QStringList catalog{"Studium živého člověka", "Studium lidského skeletu", "Převody jednotek SI",
                                  "Úprava prostorových dat", "---", "Vlastní funkce"};
        const QStringList table{"Exportovat tabulku do CSV", "Kopírovat tabulku", "Statistika", "Chyba měření"};
        QTest::newRow("empty space") << "none" << QStringList{"&Import ze souboru CSV"} + catalog;
        QTest::newRow("source") << "source"
                                << catalog + QStringList{"---"} + table
                                       + QStringList{"Přejmenovat sloupce", "Přidat data", "---",
                                                     "Odstranit soubor s daty"};
        QTest::newRow("conversion result")
            << "conversion" << catalog + QStringList{"---"} + table + QStringList{"Přidat data", "---", "Zrušit funkci"};
        QTest::newRow("formula result: no methods")
            << "formula" << table + QStringList{"Přidat data", "---", "Zrušit funkci"};
    }

    // Where the catalog is offered, also the Jackson-Pollock methods in their
    // order, and never a placeholder method.
    void contextMenus()
    {
        QFETCH(QString, node);
        QTreeWidgetItem *source = importOne();
        apply(source, 53, {0});
        apply(source, 2, {0, 1});
        const std::map<QString, QTreeWidgetItem *> nodes{
            {"none", nullptr}, {"source", source}, {"conversion", source->child(0)}, {"formula", source->child(1)}};
        QStringList seen, jacksonPollock;
        bool customEmpty = false, placeholder = false;
        openContextMenu(*m_window, nodes.at(node), [&](QMenu &menu) {
            seen = entryTexts(menu);
            QAction *custom = findMenuEntry(menu, QStringLiteral("Vlastní funkce"));
            customEmpty = !custom || custom->menu()->isEmpty();
            if (QAction *sub = findMenuEntry(menu, QStringLiteral("Množství podkožního tuku podle Jackson-Pollocka")))
                jacksonPollock = entryTexts(*sub->menu());
            for (int id : {106, 107, 108})
                placeholder = placeholder || findMenuEntry(menu, methodTitle(id));
            return nullptr;
        });
        QTEST(seen, "entries");
        QVERIFY(customEmpty);
        QVERIFY(!placeholder);
        QCOMPARE(tree()->selectedItems().size(), node == "none" ? 0 : 1);
        QStringList titles;
        for (int id : {11, 10, 14, 15, 12, 13})
            titles.append(methodTitle(id));
        QCOMPARE(jacksonPollock, node == "formula" ? QStringList() : titles);
    }

    // Even a method asked for directly is refused on a formula's result.
    void noMethodOnAFormulaResult()
    {
        QTreeWidgetItem *source = importOne();
        apply(source, 2, {0, 1});
        QTreeWidgetItem *result = source->child(0);
        QVERIFY(result->isSelected());
        withoutModal([&] { m_window->addFunction(0); });
        QCOMPARE(result->childCount(), 0);
    }

    // Each flow of the project, from its menu entry or its key: the prompts it
    // asks, as answered, and what it leaves. The setup: "source" an unsaved
    // imported table, "result" the same with a body mass index, "saved" that
    // saved as ulozeny.kstx, "conversion" a conversion of it with a body mass
    // index; the imported table selected, the tree in focus.
    void promptFlows_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("action"); // a flow of the window, or keys
        QTest::addColumn<QStringList>("files"); // as the file dialogs answer, "" a cancelled one
        QTest::addColumn<QList<int>>("answers"); // as the boxes answer
        QTest::addColumn<QString>("dialog"); // title of the last file dialog
        QTest::addColumn<QString>("box"); // how "title: text: details" of the last box begins
        QTest::addColumn<int>("nodes");
        QTest::addColumn<QString>("title"); // of the window; empty: closed
        QTest::addColumn<QString>("written");
        const QString unsaved = QStringLiteral("Nový projekt* - Kostimer");
        const QString none = QStringLiteral("Nový projekt - Kostimer");
        const QString saved = QStringLiteral("ulozeny - Kostimer");
        const QString closing = QStringLiteral("Zavření projektu");
        const QString removing = QStringLiteral("Odstranění souboru s daty");
        const QString saveAs = QStringLiteral("Uložit projekt jako..");
        const QString open = QStringLiteral("Otevřít projekt");
        const QString import = QStringLiteral("Import dat z CSV souboru");
        const QString exporting = QStringLiteral("Export tabulky do CSV");
        const QList<int> nothing, ok{QMessageBox::Ok}, cancel{QMessageBox::Cancel}, save{QMessageBox::Save},
            discard{QMessageBox::Discard};
        const QStringList cancelled{""}, noDialog;
        QTest::newRow("import cancelled") << "empty" << "import" << cancelled << nothing << import << "" << 0 << none
                                          << "";
        QTest::newRow("save with nothing imported") << "empty" << "saveAs" << noDialog << nothing << "" << "" << 0
                                                    << none << "";
        QTest::newRow("save to a missing folder")
            << "source" << "saveAs" << QStringList{"no/such/folder/p.kstx"} << ok << saveAs
            << "Uložení projektu: Projekt se nepodařilo uložit.: Soubor „%1“ nelze vytvořit" << 1 << unsaved << "";
        QTest::newRow("export to a missing folder")
            << "source" << "export" << QStringList{"no/such/folder/export.csv"} << ok << exporting
            << exporting
                   + ": Nepodařilo se vytvořit CSV soubor. Zkontrolujte, zda není otevřený v jiném programu.: Soubor "
                     "nelze vytvořit"
            << 1 << unsaved << "";
        // A file that cannot be read adds no empty table; its reason is named.
        QTest::newRow("import of a missing file")
            << "empty" << "import" << QStringList{"chybi.csv"} << ok << import
            << import + ": Některé soubory se nepodařilo načíst; jejich tabulky nebyly přidány.: chybi.csv: Soubor "
                        "nelze otevřít"
            << 0 << none << "";
        QTest::newRow("close, unsaved kept")
            << "source" << "close" << noDialog << cancel << ""
            << closing + ": Projet \"Nový projekt\" nebyl uložen. Přejete si jej uložit?" << 1 << unsaved << "";
        QTest::newRow("close, unsaved discarded") << "source" << "close" << noDialog << discard << "" << closing << 0
                                                  << none << "";
        QTest::newRow("close, unsaved saved first") << "source" << "close" << QStringList{"pri-zavreni.kstx"} << save
                                                    << saveAs << closing << 0 << none << "pri-zavreni.kstx";
        QTest::newRow("close, nothing unsaved") << "saved" << "close" << noDialog << nothing << "" << "" << 0 << none
                                                << "";
        QTest::newRow("window closed, unsaved kept") << "source" << "closeWindow" << noDialog << cancel << ""
                                                     << closing << 1 << unsaved << "";
        QTest::newRow("window closed, unsaved saved first")
            << "result" << "closeWindow" << QStringList{"pri-zavreni.kstx"} << save << saveAs << closing << 2 << ""
            << "pri-zavreni.kstx";
        // The project goes only once another has been read.
        QTest::newRow("open, unsaved kept") << "source" << "open" << noDialog << cancel << "" << closing << 1 << unsaved
                                            << "";
        QTest::newRow("open, dialog cancelled") << "source" << "open" << cancelled << discard << open << closing << 1
                                                << unsaved << "";
        QTest::newRow("open, no project")
            << "source" << "open" << QStringList{"tabulka.kstx"} << QList<int>{QMessageBox::Discard, QMessageBox::Ok}
            << open << "Otevření projektu: Projekt se nepodařilo otevřít." << 1 << unsaved << "";
        QTest::newRow("remove a source with results, kept") << "result" << "remove" << noDialog << cancel << ""
                                                            << removing << 2 << unsaved << "";
        QTest::newRow("remove a source with results") << "result" << "remove" << noDialog << ok << "" << removing << 0
                                                      << unsaved << "";
        QTest::newRow("remove a source alone") << "source" << "remove" << noDialog << nothing << "" << "" << 0
                                               << unsaved << "";
        QTest::newRow("remove a conversion with results") << "conversion" << "removeResult" << noDialog << ok << ""
                                                          << "Odstranění funkce" << 1 << unsaved << "";
        QTest::newRow("Ctrl+O") << "saved" << "Ctrl+O" << cancelled << nothing << open << "" << 2 << saved << "";
        QTest::newRow("Ctrl+S") << "result" << "Ctrl+S" << QStringList{"klavesy.kstx"} << nothing << saveAs << "" << 2
                                << "klavesy - Kostimer" << "klavesy.kstx";
        QTest::newRow("Ctrl+Shift+S") << "saved" << "Ctrl+Shift+S" << cancelled << nothing << saveAs << "" << 2
                                      << saved << "";
        QTest::newRow("Ctrl+I") << "saved" << "Ctrl+I" << cancelled << nothing << import << "" << 2 << saved << "";
        QTest::newRow("Ctrl+E") << "saved" << "Ctrl+E" << cancelled << nothing << exporting << "" << 2 << saved << "";
        QTest::newRow("Ctrl+Q") << "result" << "Ctrl+Q" << noDialog << cancel << "" << closing << 2 << unsaved << "";
        QTest::newRow("Delete") << "result" << "Delete" << noDialog << cancel << "" << removing << 2 << unsaved << "";
        // A recent project and a dropped one ask about unsaved work as "Otevřít projekt" does.
        QTest::newRow("recent, unsaved kept") << "source" << "openRecent" << noDialog << cancel << "" << closing << 1
                                              << unsaved << "";
        QTest::newRow("recent, no project")
            << "source" << "openRecent" << noDialog << QList<int>{QMessageBox::Discard, QMessageBox::Ok} << ""
            << "Otevření projektu: Projekt se nepodařilo otevřít." << 1 << unsaved << "";
        // A file that is gone is said before anything is asked.
        QTest::newRow("recent, file gone") << "source" << "openRecentGone" << noDialog << ok << ""
                                           << "Otevření projektu: Soubor „" << 1 << unsaved << "";
        QTest::newRow("dropped project, unsaved kept") << "source" << "dropProject" << noDialog << cancel << ""
                                                       << closing << 1 << unsaved << "";
    }

    void promptFlows()
    {
        QFETCH(QString, setup);
        QFETCH(QString, action);
        QFETCH(QStringList, files);
        QFETCH(QList<int>, answers);
        QFETCH(QString, dialog);
        QFETCH(QString, box);
        QFETCH(int, nodes);
        QFETCH(QString, title);
        QFETCH(QString, written);
        QTreeWidgetItem *source = setup == "empty" ? nullptr : importOne();
        if (setup == "result" || setup == "saved")
            apply(source, 2, {0, 1});
        if (setup == "saved") {
            FileDialog::setNextFileName(m_dir.filePath(QStringLiteral("ulozeny.kstx")));
            QVERIFY(m_window->saveProjectAs());
        }
        if (setup == "conversion") {
            apply(source, 82, {0});
            apply(source->child(0), 2, {0, 1});
        }
        writeFile(m_dir, QStringLiteral("tabulka.kstx"), "a;b\n1;2\n");
        showActive();
        if (source) {
            tree()->clearSelection();
            source->setSelected(true);
        }
        tree()->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), tree());
        for (const QString &file : files)
            FileDialog::setNextFileName(file.isEmpty() ? QString() : m_dir.filePath(file));
        for (int answer : answers)
            MessageBox::setNextAnswer(QMessageBox::StandardButton(answer));
        const std::map<QString, std::function<void()>> actions{
            {"import", [&] { m_window->loadCSV(); }},
            {"saveAs", [&] { m_window->saveProjectAs(); }},
            {"export", [&] { m_window->exportCSV(source); }},
            {"close", [&] { m_window->closeProject(); }},
            {"closeWindow", [&] { m_window->close(); }},
            {"open", [&] { m_window->openProject(); }},
            {"remove", [&] { contextMenu(source, QStringLiteral("Odstranit soubor s daty")); }},
            {"removeResult", [&] { contextMenu(source->child(0), QStringLiteral("Zrušit funkci")); }},
            {"openRecent", [&] {
                 m_window->recentProjects()->add(m_dir.filePath(QStringLiteral("tabulka.kstx")));
                 recentEntry(m_dir.filePath(QStringLiteral("tabulka.kstx")))->trigger();
             }},
            {"openRecentGone", [&] {
                 m_window->recentProjects()->add(m_dir.filePath(QStringLiteral("zmizely.kstx")));
                 recentEntry(m_dir.filePath(QStringLiteral("zmizely.kstx")))->trigger();
             }},
            {"dropProject", [&] { QVERIFY(dropOnWindow({m_dir.filePath(QStringLiteral("tabulka.kstx"))})); }},
        };
        if (actions.count(action))
            actions.at(action)();
        else
            QTest::keySequence(tree(), QKeySequence(action == "Delete" ? QKeySequence::Delete : QKeySequence(action)));
        verifyAnswersTaken();
        if (!dialog.isEmpty())
            QCOMPARE(FileDialog::lastTitle(), dialog);
        const QString said =
            MessageBox::lastTitle() + ": " + MessageBox::lastText() + ": " + MessageBox::lastDetailedText();
        if (box.contains(QStringLiteral("%1")))
            box = box.arg(m_dir.filePath(files.last()));
        QVERIFY2(box.isEmpty() || said.startsWith(box), qPrintable(said));
        if (!written.isEmpty())
            QVERIFY(QFile::exists(m_dir.filePath(written)));
        QCOMPARE(nodeCount(), nodes);
        QCOMPARE(m_window->isVisible(), !title.isEmpty());
        if (!title.isEmpty())
            QCOMPARE(m_window->windowTitle(), title);
        QCOMPARE(hintShown(), nodes == 0);
        if (nodes == 0)
            QCOMPARE(m_window->tableView()->model(), nullptr);
    }

    void f1OpensTheMethodReference()
    {
        showActive();
        QTest::keyClick(m_window.get(), Qt::Key_F1);
        QTRY_VERIFY(m_window->findChild<QWidget *>(QStringLiteral("TMethodReference")));
        QVERIFY(m_window->findChild<QWidget *>(QStringLiteral("TMethodReference"))->isVisible());
    }

    // The sources left are known by their place: the first of two removed,
    // the second is what is listed and saved.
    void removingTheFirstOfTwoSources()
    {
        QTreeWidgetItem *first = importOne("a\n1\n", QStringLiteral("prvni.csv"));
        importOne("b\n2\n", QStringLiteral("druhy.csv"));
        contextMenu(first, QStringLiteral("Odstranit soubor s daty"));
        QCOMPARE(m_window->sourceFiles(), QStringList{"druhy.csv"});
        QCOMPARE(m_window->sourceNodes(), QList<QTreeWidgetItem *>{tree()->topLevelItem(0)});
        const QString file = m_dir.filePath(QStringLiteral("dva.kstx"));
        FileDialog::setNextFileName(file);
        QVERIFY(m_window->saveProject());
        QVERIFY(m_window->openProjectFile(file));
        QCOMPARE(tree()->topLevelItemCount(), 1);
        QCOMPARE(m_window->sourceFiles(), QStringList{"druhy.csv"});
        QCOMPARE(MainWindow::tableOf(tree()->topLevelItem(0))->value(0, 0), 2.0);
    }

    // A name typed without its suffix gets it, so that the file shows under
    // the filter of the dialog that opens it again (what an export writes is
    // tst_importdialog's).
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
        QTreeWidgetItem *source = importOne("a;b\n1,5;2\n");
        FileDialog::setNextFileName(m_dir.filePath(typed));
        if (project)
            QVERIFY(m_window->saveProjectAs());
        else
            m_window->exportCSV(source);
        QVERIFY(QFileInfo::exists(m_dir.filePath(written)));
        if (typed != written)
            QVERIFY(!QFileInfo::exists(m_dir.filePath(typed)));
        if (project)
            QCOMPARE(m_window->windowTitle(), QStringLiteral("projekt - Kostimer"));
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

    // Saved, closed and opened again: the tree and the tables as they were
    // (that the formula results are known again is tst_openproject's). A
    // changed check mark is unsaved work, in a result computed before saving
    // and in one computed after opening alike.
    void saveCloseAndOpenAgain()
    {
        QTreeWidgetItem *source = importOne();
        apply(source, 2, {0, 1});
        apply(source, 53, {0});
        const QString file = m_dir.filePath(QStringLiteral("projekt.v1.kstx"));
        FileDialog::setNextFileName(file);
        QVERIFY(m_window->saveProjectAs());
        QCOMPARE(m_window->windowTitle(), QStringLiteral("projekt - Kostimer"));
        uncheckRow(source->child(1), 0);
        QCOMPARE(m_window->windowTitle(), QStringLiteral("projekt* - Kostimer"));
        QVERIFY(m_window->saveProject());
        QVERIFY(m_window->closeProject());

        FileDialog::setNextFileName(file);
        m_window->openProject();
        QCOMPARE(m_window->windowTitle(), QStringLiteral("projekt - Kostimer"));
        QCOMPARE(tree()->topLevelItemCount(), 1);
        QTreeWidgetItem *opened = tree()->topLevelItem(0);
        QVERIFY(opened->isExpanded());
        QCOMPARE(opened->childCount(), 2);
        QCOMPARE(opened->child(0)->text(0), QStringLiteral("Body mass index"));
        QCOMPARE(MainWindow::tableOf(opened->child(0))->value(1, 2), 20.0);
        QVERIFY(!MainWindow::tableOf(opened->child(1))->isRowChecked(0));
        apply(opened, 82, {0});
        QVERIFY(m_window->saveProject());
        QVERIFY(!m_window->isModified());
        uncheckRow(opened->child(2), 1);
        QCOMPARE(m_window->windowTitle(), QStringLiteral("projekt* - Kostimer"));
    }

    // Fields of a number column that held no number are marked in the
    // column-mapping wizard's preview too, and are saved with the project:
    // opened again, they still say what the file held. (The import's report
    // of them is tst_importdialog's.)
    void fieldsWithoutANumberAreMarked()
    {
        MessageBox::setNextAnswer(QMessageBox::Ok);
        QTreeWidgetItem *source =
            importOne("Hmotnost;Výška;Pas\n70;;80\n80;1,8;?\n90;abc;\n", QStringLiteral("chybi.csv"));
        fromMenu<TDataWizard>(source, methodTitle(2), [](TDataWizard *wizard) {
            QVERIFY(gridOf(wizard)->item(1, 1)->background() != QBrush());
            QCOMPARE(gridOf(wizard)->item(2, 1)->background(), QBrush());
            QVERIFY(gridOf(wizard)->item(3, 1)->toolTip().contains(QStringLiteral("abc")));
            mapColumns(wizard, {});
        });

        const QString file = m_dir.filePath(QStringLiteral("chybi.kstx"));
        FileDialog::setNextFileName(file);
        QVERIFY(m_window->saveProjectAs());
        QVERIFY(m_window->openProjectFile(file));
        TTableModel *opened = MainWindow::tableOf(tree()->topLevelItem(0));
        QCOMPARE(opened->unreadFields().size(), 2);
        QCOMPARE(opened->data(opened->index(2, 2), Qt::ToolTipRole).toString(),
                 QStringLiteral("V souboru stálo „abc“, což není číslo; hodnota chybí."));
        QCOMPARE(opened->data(opened->index(1, 3), Qt::ToolTipRole).toString(),
                 QStringLiteral("V souboru stálo „?“, což není číslo; hodnota chybí."));
    }

    // Alt opens each menu, no two entries of a menu share a letter, and the
    // tool bar's buttons name the keys of their actions.
    void mnemonicsAndKeys()
    {
        const QList<std::pair<QString, QKeySequence>> menus{{QStringLiteral("&Soubor"), QKeySequence("Alt+S")},
                                                            {QStringLiteral("&Funkce"), QKeySequence("Alt+F")},
                                                            {QStringLiteral("&Nápověda"), QKeySequence("Alt+N")}};
        for (const auto &[title, alt] : menus) {
            QCOMPARE(QKeySequence::mnemonic(title), alt);
            QSet<QKeySequence> letters;
            for (QAction *action : menuBarMenu(title)->actions()) {
                const QKeySequence letter = QKeySequence::mnemonic(action->text());
                QVERIFY2(letter.isEmpty() || !letters.contains(letter), qPrintable(action->text()));
                letters.insert(letter);
            }
        }
        int buttons = 0;
        for (QAction *action : m_window->findChild<QToolBar *>(QStringLiteral("mainToolBar"))->actions()) {
            const QString key = action->shortcut().toString(QKeySequence::NativeText);
            QVERIFY2(action->isSeparator() || (!key.isEmpty() && action->toolTip().endsWith(" (" + key + ")")),
                     qPrintable(action->toolTip()));
            buttons += action->isSeparator() ? 0 : 1;
        }
        QCOMPARE(buttons, 4);
    }

    void layoutComesBackInTheNextWindow()
    {
        showActive();
        m_window->resize(700, 450);
        auto *splitter = m_window->findChild<QSplitter *>(QStringLiteral("splitter"));
        splitter->setSizes({123, splitter->width() - 123 - splitter->handleWidth()});
        const QList<int> sizes = splitter->sizes();
        QCOMPARE(sizes.first(), 123);
        m_window.reset(); // which keeps its layout

        m_window = std::make_unique<MainWindow>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QCOMPARE(m_window->size(), QSize(700, 450));
        QCOMPARE(m_window->findChild<QSplitter *>(QStringLiteral("splitter"))->sizes(), sizes);
    }

    // The status bar describes the table shown, its numbers grouped as the
    // locale groups them, and follows its checks.
    void statusBarCountsTheShownTable()
    {
        auto *label = m_window->statusBar()->findChild<QLabel *>(QStringLiteral("tableSummary"));
        QCOMPARE(label->text(), QString());
        QByteArray content = "Hmotnost;Vyska\n";
        for (int row = 0; row < 1500; ++row)
            content += QByteArray::number(60 + row % 40) + ";1,7\n";
        QTreeWidgetItem *source = importOne(content);
        uncheckRow(source, 0);
        uncheckRow(source, 1499);
        QCOMPARE(label->text(), QStringLiteral("Řádků: 1\u00a0500, sloupců: 2, zaškrtnutých: 1\u00a0498"));
        // Another table shown (the checked rows converted), then none.
        apply(source, 53, {0});
        QCOMPARE(label->text(), QStringLiteral("Řádků: 1\u00a0498, sloupců: 2, zaškrtnutých: 1\u00a0498"));
        MessageBox::setNextAnswer(QMessageBox::Discard);
        QVERIFY(m_window->closeProject());
        QCOMPARE(label->text(), QString());
    }

    void functionsMenuAppliesToTheSelectedNode()
    {
        QMenu *functions = menuBarMenu(QStringLiteral("&Funkce"));
        QAction *living = functions->actions().first();
        QCOMPARE(living->text(), QStringLiteral("Studium živého člověka"));
        QVERIFY(!living->isEnabled()); // nothing selected
        // Editing and removing user functions: shown, disabled while there are none.
        for (const QString &title : {QStringLiteral("Editovat funkci"), QStringLiteral("Odstranit funkci")}) {
            QAction *entry = findMenuEntry(*functions, title);
            QVERIFY2(entry && entry->menu()->isEmpty() && !entry->isEnabled(), qPrintable(title));
        }

        QTreeWidgetItem *source = importOne("Vyska;Hmotnost\n1,75;70\n2;80\n");
        QVERIFY(living->isEnabled());
        withModal<TDataWizard>([&] { findMenuEntry(*functions, methodTitle(2))->trigger(); },
                               [](TDataWizard *wizard) { mapColumns(wizard, {1, 0}); });
        QCOMPARE(source->childCount(), 1);
        QTreeWidgetItem *result = source->child(0);
        QCOMPARE(result->text(0), QStringLiteral("Body mass index"));
        TTableModel *table = MainWindow::tableOf(result);
        QCOMPARE(m_window->tableView()->table(), table);
        // Inputs in the method's order, weight then height; 80 / 2² = 20.
        QCOMPARE(storedRows(*table), (Rows{{70, 1.75, 70 / 3.0625}, {80, 2, 20}}));
        // The result is selected now: a formula's result takes no methods.
        QVERIFY(result->isSelected());
        QVERIFY(!living->isEnabled());
    }

    // F6 moves the keys from the tree to the table and back; while no table
    // is shown, they stay in the tree.
    void f6MovesTheKeys_data()
    {
        QTest::addColumn<bool>("table");
        QTest::addColumn<bool>("fromTree");
        QTest::addColumn<bool>("toTree");
        QTest::newRow("tree to table") << true << true << false;
        QTest::newRow("table to tree") << true << false << true;
        QTest::newRow("no table: the tree keeps them") << false << true << true;
    }

    void f6MovesTheKeys()
    {
        QFETCH(bool, table);
        QFETCH(bool, fromTree);
        QFETCH(bool, toTree);
        if (table)
            importOne();
        showActive();
        QWidget *from = fromTree ? static_cast<QWidget *>(tree()) : m_window->tableView();
        QWidget *to = toTree ? static_cast<QWidget *>(tree()) : m_window->tableView();
        from->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), from);
        QTest::keyClick(from, Qt::Key_F6);
        QTRY_COMPARE(QApplication::focusWidget(), to);
    }

    // However a project is opened, its first table is selected and shown,
    // and the table's current cell is the first data cell of row 1 (column
    // 0 holds the row numbers), nothing selected in it; the project tops the
    // recent list.
    void openedProjectShowsItsFirstTable_data()
    {
        QTest::addColumn<QString>("route");
        QTest::newRow("openProjectFile") << "file";
        QTest::newRow("Otevřít projekt") << "dialog";
        QTest::newRow("Naposledy otevřené") << "recent";
        QTest::newRow("dropped on the window") << "drop";
    }

    void openedProjectShowsItsFirstTable()
    {
        QFETCH(QString, route);
        importOne("a;b\n1;2\n3;4\n", QStringLiteral("prvni.csv"));
        QTreeWidgetItem *second = importOne("c\n5\n", QStringLiteral("druhy.csv"));
        apply(second, 53, {0});
        const QString file = m_dir.filePath(QStringLiteral("dve.kstx"));
        FileDialog::setNextFileName(file);
        QVERIFY(m_window->saveProjectAs());
        QVERIFY(m_window->closeProject());
        QCOMPARE(m_window->tableView()->table(), nullptr);
        showActive();

        if (route == "file") {
            QVERIFY(m_window->openProjectFile(file));
        } else if (route == "dialog") {
            FileDialog::setNextFileName(file);
            m_window->openProject();
        } else if (route == "recent") {
            QAction *entry = recentEntry(file);
            QVERIFY(entry);
            entry->trigger();
        } else {
            QVERIFY(dropOnWindow({file}));
        }
        QCOMPARE(m_window->windowTitle(), QStringLiteral("dve - Kostimer"));
        QTreeWidgetItem *first = tree()->topLevelItem(0);
        QCOMPARE(first->text(0), QStringLiteral("Data ze souboru \"prvni.csv\""));
        QCOMPARE(tree()->currentItem(), first);
        QCOMPARE(tree()->selectedItems(), QList<QTreeWidgetItem *>{first});
        TableView *view = m_window->tableView();
        QCOMPARE(view->table(), MainWindow::tableOf(first));
        QCOMPARE(view->currentIndex(), view->model()->index(0, 1));
        QVERIFY(!view->selectionModel()->hasSelection());
        QCOMPARE(m_window->recentProjects()->paths().value(0), file);
    }

    // The last eight projects opened or saved, the latest first, each once;
    // kept for the next window. A file that is gone is said and leaves the
    // list; "Vymazat seznam" empties it.
    void recentProjectsMenu()
    {
        importOne();
        QStringList saved;
        for (int i = 1; i <= 10; ++i) {
            const QString file = m_dir.filePath(QStringLiteral("projekt%1.kstx").arg(i));
            FileDialog::setNextFileName(file);
            QVERIFY(m_window->saveProjectAs());
            saved.prepend(file);
        }
        const QString path10 = saved.at(0), path5 = saved.at(5), path4 = saved.at(6), path3 = saved.at(7);
        RecentProjects *recent = m_window->recentProjects();
        QCOMPARE(recent->paths(), saved.mid(0, 8));
        QStringList shown;
        for (int i = 0; i < 8; ++i)
            shown.append(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(saved.at(i))));
        QCOMPARE(entryTexts(*recent->menu()), (shown + QStringList{"---", "&Vymazat seznam"}));
        // Saved again under its own name: to the top, not twice.
        FileDialog::setNextFileName(path3);
        QVERIFY(m_window->saveProjectAs());
        QCOMPARE(recent->paths(), (QStringList{path3} + saved.mid(0, 7)));

        // Opened from the list: to the top, the others keep their order.
        withoutModal([&] { recentEntry(path5)->trigger(); });
        QCOMPARE(m_window->windowTitle(), QStringLiteral("projekt5 - Kostimer"));
        QStringList expected = recent->paths();
        QCOMPARE(expected.value(0), path5);
        QCOMPARE(expected.mid(1), (QStringList{path3, path10, saved.at(1), saved.at(2), saved.at(3), saved.at(4), path4}));

        // Gone: said, off the list, the project shown kept.
        QVERIFY(QFile::remove(path4));
        MessageBox::setNextAnswer(QMessageBox::Ok);
        recentEntry(path4)->trigger();
        QCOMPARE(MessageBox::lastTitle(), QStringLiteral("Otevření projektu"));
        QVERIFY2(MessageBox::lastText().contains(QDir::toNativeSeparators(path4)), qPrintable(MessageBox::lastText()));
        expected.removeAll(path4);
        QCOMPARE(recent->paths(), expected);
        QVERIFY(!recentEntry(path4));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("projekt5 - Kostimer"));

        // The next window lists them too.
        m_window.reset();
        m_window = std::make_unique<MainWindow>();
        QCOMPARE(m_window->recentProjects()->paths(), expected);

        m_window->findChild<QAction *>(QStringLiteral("clearRecentProjectsAction"))->trigger();
        QCOMPARE(m_window->recentProjects()->paths(), QStringList());
        QCOMPARE(entryTexts(*m_window->recentProjects()->menu()), QStringList{"&Vymazat seznam"});
        QVERIFY(!m_window->recentProjects()->menu()->actions().first()->isEnabled());
    }

    // Soubor lists the recent projects right after "Otevřít projekt".
    void recentProjectsFollowOpen()
    {
        const QList<QAction *> entries = menuBarMenu(QStringLiteral("&Soubor"))->actions();
        const qsizetype open = entries.indexOf(findMenuEntry(*menuBarMenu(QStringLiteral("&Soubor")),
                                                             QStringLiteral("&Otevřít projekt")));
        QVERIFY(open >= 0);
        QCOMPARE(entries.value(open + 1)->menu(), m_window->recentProjects()->menu());
        QCOMPARE(entries.value(open + 1)->text(), QStringLiteral("&Naposledy otevřené"));
    }

    // Dropped CSV files are imported as Soubor → Import imports them (a
    // dropped project opens: openedProjectShowsItsFirstTable, promptFlows); a
    // drop of anything else, or of a project with other files, is not taken
    // and changes nothing.
    void dropOnTheWindow_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QStringList>("sources"); // the source tables after the drop
        const QStringList before{"puvodni.csv"};
        QTest::newRow("two tables") << QStringList{"a.csv", "b.csv"} << true
                                    << QStringList{"puvodni.csv", "a.csv", "b.csv"};
        QTest::newRow("suffix in capitals") << QStringList{"VELKA.CSV"} << true
                                            << QStringList{"puvodni.csv", "VELKA.CSV"};
        QTest::newRow("another kind of file") << QStringList{"poznamky.txt"} << false << before;
        QTest::newRow("a table with another file") << QStringList{"a.csv", "poznamky.txt"} << false << before;
        QTest::newRow("a project with a table") << QStringList{"ulozeny.kstx", "a.csv"} << false << before;
        QTest::newRow("two projects") << QStringList{"ulozeny.kstx", "ulozeny.kstx"} << false << before;
        QTest::newRow("a web address") << QStringList{"https://example.org/a.csv"} << false << before;
    }

    void dropOnTheWindow()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, taken);
        importOne("y\n2\n", QStringLiteral("puvodni.csv"));
        // Were a refused project opened, its error would stop the test.
        for (const char *name : {"a.csv", "b.csv", "VELKA.CSV", "poznamky.txt", "ulozeny.kstx"})
            writeFile(m_dir, QString::fromLatin1(name), "z\n3\n");
        QStringList paths;
        for (const QString &file : files)
            paths.append(file.contains(QStringLiteral("://")) ? file : m_dir.filePath(file));
        QCOMPARE(dropOnWindow(paths), taken);
        QTEST(m_window->sourceFiles(), "sources");
    }

    // "O aplikaci" asks through the seam too: with answers required it would stop the test.
    void aboutBoxShowsTheVersion()
    {
        MessageBox::setNextAnswer(QMessageBox::Ok);
        findMenuEntry(*menuBarMenu(QStringLiteral("&Nápověda")), QStringLiteral("&O aplikaci"))->trigger();
        QCOMPARE(MessageBox::lastTitle(), QStringLiteral("O aplikaci"));
        QVERIFY(MessageBox::lastText().contains(QStringLiteral("Verze 0.1")));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

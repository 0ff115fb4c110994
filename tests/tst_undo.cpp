// Editing a project and taking it back: cells typed into, rows added and
// removed, renames, check marks, methods applied, tables imported and
// removed. Results follow their source, and undo leaves the saved project
// as it was, entry for entry.

#include "TableTestSupport.h"
#include "WindowTestSupport.h"

#include "EditCommands.h"
#include "TreeNodes.h"
#include "TInsertWizard.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <QBuffer>
#include <QLineEdit>
#include <QStatusBar>
#include <QUndoStack>

#include <cmath>

namespace {

// Every entry of a saved project by name; the zip's own dates differ from
// save to save, the contents must not.
QMap<QString, QByteArray> projectEntries(const QString &path)
{
    QMap<QString, QByteArray> entries;
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip))
        return entries;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        QuaZipFile entry(&zip);
        entry.open(QIODevice::ReadOnly);
        entries.insert(zip.getCurrentFileName(), entry.readAll());
    }
    return entries;
}

// The last column of every row: a result's own value.
QList<double> lastColumn(const TTableModel &table)
{
    QList<double> values;
    for (int r = 0; r < table.rowCount(); ++r)
        values.append(table.value(r, table.width() - 1));
    return values;
}

bool sameValues(const QList<double> &actual, const QList<double> &expected)
{
    if (actual.size() != expected.size())
        return false;
    for (qsizetype i = 0; i < actual.size(); ++i)
        if (!(std::isnan(actual[i]) && std::isnan(expected[i])) && std::fabs(actual[i] - expected[i]) > 1e-12)
            return false;
    return true;
}

const QByteArray people = "Hmotnost;Vyska;Pohlavi\n70;1,75;muž\n80;2;žena\n60;1,6;žena\n";

} // namespace

class TestUndo : public WindowTest {
    Q_OBJECT

    QTreeWidgetItem *m_source = nullptr;

    TTableModel *source() const { return MainWindow::tableOf(m_source); }
    QTreeWidgetItem *bmiNode() const { return m_source->childCount() > 0 ? m_source->child(0) : nullptr; }

    void edit(QTreeWidgetItem *node, int row, int column, const QString &text)
    {
        TTableModel *table = MainWindow::tableOf(node);
        QVERIFY(table->setData(table->index(row, column + 1), text, Qt::EditRole));
    }

    void addRows(QTreeWidgetItem *node, const QList<QStringList> &rows)
    {
        fromMenu<TInsertWizard>(node, QStringLiteral("Přidat data"), [&](TInsertWizard *wizard) {
            for (int r = 0; r < rows.size(); ++r)
                for (int c = 0; c < rows[r].size(); ++c)
                    gridOf(wizard)->setItem(r, c + 1, new QTableWidgetItem(rows[r][c]));
            press(wizard, QDialogButtonBox::Ok);
        });
    }

    // One step of a sequence, as the user would take it.
    void step(const QString &what)
    {
        const QStringList words = what.split(u' ');
        const QString &verb = words.first();
        if (verb == "edit") { // edit ROW COLUMN TEXT
            edit(m_source, words[1].toInt(), words[2].toInt(), words.mid(3).join(u' '));
        } else if (verb == "add") { // add a,b,c
            addRows(m_source, {words[1].split(u',')});
        } else if (verb == "remove") { // remove ROW ROW ...
            std::vector<int> rows;
            for (const QString &row : words.mid(1))
                rows.push_back(row.toInt());
            m_window->removeRows(m_source, rows);
        } else if (verb == "rename") { // rename COLUMN NAME
            fromMenu<QDialog>(m_source, QStringLiteral("Přejmenovat sloupce"), [&](QDialog *wizard) {
                gridOf(wizard)->item(0, words[1].toInt())->setText(words[2]);
                press(wizard, QDialogButtonBox::Ok);
            });
        } else if (verb == "uncheck") {
            uncheckRow(m_source, words[1].toInt());
        } else if (verb == "apply") { // apply ID COLUMN...
            QList<int> columns;
            for (const QString &column : words.mid(2))
                columns.append(column.toInt());
            apply(m_source, words[1].toInt(), columns);
        } else if (verb == "drop") { // the source's first result
            contextMenu(bmiNode(), QStringLiteral("Zrušit funkci"));
        } else if (verb == "import") {
            importOne("A;B\n1;2\n", QStringLiteral("druhy.csv"));
        } else if (verb == "dropsource") {
            MessageBox::setNextAnswer(QMessageBox::Ok); // it has results
            contextMenu(m_source, QStringLiteral("Odstranit soubor s daty"));
        } else {
            QFAIL(qPrintable("unknown step " + what));
        }
    }

private slots:
    void initTestCase() { startSuite(); }

    void init()
    {
        m_window = std::make_unique<MainWindow>();
        m_source = importOne(people);
        apply(m_source, 2, {0, 1}); // body mass index
        QVERIFY(bmiNode());
    }

    void cleanup() { endTest(); }

    // Any sequence taken back step by step leaves the saved project as it
    // was, and done again as it was after: a command that forgets part of
    // what it changed (a text added to a column, a check mark, a result's
    // rows, a node's place) shows here.
    void undoRestoresTheProject_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("number cell") << QStringList{"edit 0 0 75,5"};
        QTest::newRow("cell emptied, then typed") << QStringList{"edit 1 1 ", "edit 1 1 1.9"};
        QTest::newRow("new text in a text column") << QStringList{"edit 2 2 dítě"};
        QTest::newRow("rows added") << QStringList{"add 90,1.5,muž"};
        QTest::newRow("rows removed") << QStringList{"remove 0 2"};
        QTest::newRow("removed, then the rest edited") << QStringList{"remove 1", "edit 1 0 61"};
        QTest::newRow("renamed") << QStringList{"rename 0 Váha"};
        QTest::newRow("check mark") << QStringList{"uncheck 1"};
        QTest::newRow("method applied to unchecked rows") << QStringList{"uncheck 0", "apply 1 0 1"};
        QTest::newRow("result removed") << QStringList{"drop"};
        QTest::newRow("table imported") << QStringList{"import"};
        QTest::newRow("source with results removed") << QStringList{"edit 0 0 71", "dropsource"};
        QTest::newRow("everything") << QStringList{"edit 0 0 71", "add 90,1.5,muž", "uncheck 3", "remove 1",
                                                   "rename 1 V", "apply 1 0 1", "import", "drop"};
    }

    void undoRestoresTheProject()
    {
        QFETCH(QStringList, steps);
        const QString path = m_dir.filePath(QStringLiteral("undo.kstx"));
        QVERIFY(m_window->writeProject(path));
        const QMap<QString, QByteArray> before = projectEntries(path);
        QVERIFY(!before.isEmpty());
        QUndoStack *stack = m_window->undoStack();
        const int start = stack->index();
        for (const QString &each : steps) {
            step(each);
            if (QTest::currentTestFailed())
                return;
        }
        QCOMPARE(stack->index(), start + int(steps.size()));
        QVERIFY(m_window->writeProject(path));
        const QMap<QString, QByteArray> after = projectEntries(path);
        QVERIFY(after != before);

        while (stack->index() > start)
            stack->undo();
        QVERIFY(m_window->writeProject(path));
        QCOMPARE(projectEntries(path), before);
        while (stack->canRedo())
            stack->redo();
        QVERIFY(m_window->writeProject(path));
        QCOMPARE(projectEntries(path), after);
    }

    // The result follows its source: body mass index = weight / height²,
    // worked out by hand for each state.
    void resultsFollowTheirSource_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QList<double>>("bmi");
        const double first = 70 / (1.75 * 1.75); // 22.857142857142858
        const double second = 80 / 4.0;           // 20
        const double third = 60 / (1.6 * 1.6);    // 23.4375
        QTest::newRow("as applied") << QStringList{} << QList<double>{first, second, third};
        QTest::newRow("weight edited") << QStringList{"edit 0 0 80"}
                                       << QList<double>{80 / (1.75 * 1.75), second, third};
        QTest::newRow("decimal point typed") << QStringList{"edit 1 1 1.6"}
                                             << QList<double>{first, 80 / (1.6 * 1.6), third};
        QTest::newRow("height emptied: missing") << QStringList{"edit 2 1 "}
                                                 << QList<double>{first, second, qQNaN()};
        QTest::newRow("row added to the source") << QStringList{"add 90,1.5,muž"}
                                                 << QList<double>{first, second, third, 40};
        QTest::newRow("row removed from the source") << QStringList{"remove 1"} << QList<double>{first, third};
        QTest::newRow("removed, then a later row edited")
            << QStringList{"remove 0", "edit 1 0 64"} << QList<double>{second, 64 / (1.6 * 1.6)};
        // A check mark chooses the rows of the next result only.
        QTest::newRow("unchecked") << QStringList{"uncheck 0"} << QList<double>{first, second, third};
    }

    void resultsFollowTheirSource()
    {
        QFETCH(QStringList, steps);
        QFETCH(QList<double>, bmi);
        for (const QString &each : steps)
            step(each);
        const QList<double> values = lastColumn(*MainWindow::tableOf(bmiNode()));
        QVERIFY2(sameValues(values, bmi), qPrintable(QStringLiteral("%1").arg(values.size())));
        // Undone, the result is as applied.
        while (m_window->undoStack()->index() > 2)
            m_window->undoStack()->undo();
        QVERIFY(sameValues(lastColumn(*MainWindow::tableOf(bmiNode())),
                           {70 / (1.75 * 1.75), 80 / 4.0, 60 / (1.6 * 1.6)}));
    }

    // A result of a result follows too, down the tree: a unit conversion of
    // the weight, converted again.
    void resultsOfResultsFollow()
    {
        const int conversion = [] {
            for (const MethodRecord &record : MethodCatalog)
                if (record.kind == UnitConversion && record.inputCount == 1)
                    return int(record.id);
            return -1;
        }();
        QVERIFY(conversion >= 0);
        apply(m_source, conversion, {0});
        QTreeWidgetItem *converted = m_source->child(1);
        const TTableModel *first = MainWindow::tableOf(converted);
        apply(converted, conversion, {first->width() - 1});
        const TTableModel *second = MainWindow::tableOf(converted->child(0));
        const int out = second->width() - 1;
        const double factor = first->value(0, first->width() - 1) / 70;
        edit(m_source, 0, 0, QStringLiteral("100"));
        QVERIFY(std::fabs(second->value(0, out) - 100 * factor * factor) < 1e-9);
        m_window->removeRows(m_source, {0});
        QCOMPARE(second->rowCount(), 2);
        QVERIFY(std::fabs(second->value(0, out) - 80 * factor * factor) < 1e-9);
    }

    // The project keeps how each result was made: opened again, the result
    // still follows its source (70 kg → 90 kg at 1,75 m: 29.387755...).
    void resultsFollowAfterReopening()
    {
        const QString path = m_dir.filePath(QStringLiteral("follow.kstx"));
        m_window->removeRows(m_source, {1});
        QVERIFY(m_window->writeProject(path));
        QVERIFY(m_window->openProjectFile(path));
        m_source = tree()->topLevelItem(0);
        edit(m_source, 0, 0, QStringLiteral("90"));
        QVERIFY(sameValues(lastColumn(*MainWindow::tableOf(bmiNode())), {90 / (1.75 * 1.75), 60 / (1.6 * 1.6)}));
        addRows(m_source, {{QStringLiteral("50"), QStringLiteral("1,25"), QString()}});
        QVERIFY(sameValues(lastColumn(*MainWindow::tableOf(bmiNode())), {90 / (1.75 * 1.75), 60 / (1.6 * 1.6), 32}));
    }

    // Text that is no number is refused with its reason in the status bar;
    // nothing changes and nothing is put on the stack.
    void refusedTextChangesNothing()
    {
        TTableModel *table = source();
        const int steps = m_window->undoStack()->count();
        QVERIFY(!table->setData(table->index(0, 1), QStringLiteral("sedmdesát"), Qt::EditRole));
        QVERIFY(table->editError().contains(QStringLiteral("„sedmdesát“ není číslo")));
        QCOMPARE(table->value(0, 0), 70.0);
        QCOMPARE(m_window->undoStack()->count(), steps);
        // A text column takes any text; a result takes none.
        QVERIFY(table->flags(table->index(0, 3)) & Qt::ItemIsEditable);
        const TTableModel *bmi = MainWindow::tableOf(bmiNode());
        QVERIFY(!(bmi->flags(bmi->index(0, bmi->columnCount() - 1)) & Qt::ItemIsEditable));
    }

    // Typed into the shown table as a user types: Enter commits through the
    // view, and what a number column refuses is said in the status bar.
    void typingIntoTheView()
    {
        TableView *view = m_window->tableView();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_window->changeModel(m_source, 0);
        QCOMPARE(view->table(), source());
        const auto type = [&](int row, int column, const QString &text) {
            const QModelIndex cell = view->model()->index(row, column + 1);
            view->setCurrentIndex(cell);
            view->edit(cell);
            auto *editor = qobject_cast<QLineEdit *>(view->indexWidget(cell));
            QVERIFY(editor);
            editor->setText(text);
            QTest::keyClick(editor, Qt::Key_Return);
            QCoreApplication::processEvents(); // the delegate commits on the next turn
        };
        type(1, 0, QStringLiteral("82,5"));
        QCOMPARE(source()->value(1, 0), 82.5);
        QVERIFY(sameValues(lastColumn(*MainWindow::tableOf(bmiNode())), {70 / (1.75 * 1.75), 82.5 / 4, 60 / (1.6 * 1.6)}));
        type(1, 0, QStringLiteral("hodně"));
        QCOMPARE(source()->value(1, 0), 82.5);
        QVERIFY(m_window->statusBar()->currentMessage().startsWith(QStringLiteral("„hodně“ není číslo")));
    }

    // "Odstranit vybrané řádky" in the table's menu takes the rows with a
    // selected cell, whatever order the view shows; undone, they are back.
    void removeSelectedRowsFromTheTable()
    {
        TableView *view = m_window->tableView();
        m_window->changeModel(m_source, 0);
        view->sortByColumn(1, Qt::DescendingOrder); // weight: 80, 70, 60
        view->selectionModel()->select(view->model()->index(0, 1), QItemSelectionModel::Select);
        view->selectionModel()->select(view->model()->index(2, 2), QItemSelectionModel::Select);
        PopupMenu::setNextChoice(menuEntry(QStringLiteral("Odstranit vybrané řádky")));
        emit view->customContextMenuRequested(QPoint(5, 5));
        QCOMPARE(source()->rowCount(), 1);
        QCOMPARE(source()->value(0, 0), 70.0);
        QVERIFY(sameValues(lastColumn(*MainWindow::tableOf(bmiNode())), {70 / (1.75 * 1.75)}));
        m_window->undoStack()->undo();
        QCOMPARE(source()->rowCount(), 3);
        QCOMPARE(MainWindow::tableOf(bmiNode())->rowCount(), 3);
    }

    // A short row of an older project gets the table's width when a cell
    // past its end is typed into; taken back, the row is short again, so
    // the saved entry is as it was.
    void undoGivesAShortRowItsLengthBack()
    {
        auto *table = new TTableModel(nullptr);
        table->appendRows({{70, 1.75}, {80}});
        QTreeWidgetItem node;
        setNodeTable(&node, table);
        const auto entry = [table] {
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            table->writeCsv(&buffer, NumberDigits::Full);
            return buffer.data();
        };
        const QByteArray before = entry();
        QUndoStack stack;
        connect(table, &TTableModel::cellEdited, &stack, [&](int row, int column, const TTableModel::Cell &old) {
            stack.push(new CellEditCommand(&node, row, column, old));
        });
        QVERIFY(table->setData(table->index(1, 2), QStringLiteral("2"), Qt::EditRole));
        QCOMPARE(table->value(1, 1), 2.0);
        stack.undo();
        QCOMPARE(entry(), before);
        QCOMPARE(table->rowLength(1), 1);
        stack.redo();
        QCOMPARE(table->value(1, 1), 2.0);
        delete table;
    }

    // The title's mark follows the stack: undone back to the saved state,
    // the project is saved again; the menu names the step.
    void modifiedMarkFollowsTheStack()
    {
        QVERIFY(m_window->writeProject(m_dir.filePath(QStringLiteral("mark.kstx"))));
        QVERIFY(!m_window->isModified());
        edit(m_source, 0, 0, QStringLiteral("71"));
        QVERIFY(m_window->isModified());
        auto *undo = m_window->findChild<QAction *>(QStringLiteral("undoAction"));
        auto *redo = m_window->findChild<QAction *>(QStringLiteral("redoAction"));
        QCOMPARE(undo->text(), QStringLiteral("Zpět: úprava buňky"));
        undo->trigger();
        QVERIFY(!m_window->isModified());
        QVERIFY(!m_window->windowTitle().contains(u'*'));
        QCOMPARE(redo->text(), QStringLiteral("Znovu: úprava buňky"));
        QVERIFY(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Y)));
        redo->trigger();
        QVERIFY(m_window->isModified());
        QCOMPARE(source()->value(0, 0), 71.0);
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"

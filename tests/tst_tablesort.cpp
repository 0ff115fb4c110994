// Sorting the table view by a click on a column's header: ascending, then
// descending, then the stored order again. Only the view's order changes;
// the table, its check marks and the saved project keep the stored order.

#include "WindowTestSupport.h"
#include "ProjectArchive.h"
#include "TableView.h"

#include <QBuffer>
#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>

namespace {

// Towns and heights; row 2 has no height, row 4 no town.
const char *const towns = "Město;Výška\n"
                          "Hradec;10\n"
                          "Cheb;9\n"
                          "Čáslav;\n"
                          "Brno;-1,5\n"
                          ";100\n"
                          "Cítov;9\n"
                          "Ústí;10\n";

void clickHeader(QTableView *view, int column)
{
    QHeaderView *header = view->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                             header->height() / 2));
}

// The stored rows in the order the view shows them.
QList<int> shownOrder(const TableView &view)
{
    QList<int> rows;
    for (int row = 0; row < view.model()->rowCount(); ++row)
        rows.append(view.storedRow(row));
    return rows;
}

QByteArray entryOf(const TTableModel &table)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    return writeTableEntry(table, &buffer) ? buffer.data() : QByteArray("(not written)");
}

} // namespace

class TestTableSort : public WindowTest {
    Q_OBJECT

private slots:
    void initTestCase() { startSuite(); }
    void init() { m_window = std::make_unique<MainWindow>(); }
    void cleanup() { endTest(); }

    // The orders worked out by hand. Czech order (ČSN 97 6030): č is a
    // letter of its own after c, whatever follows it (Cítov before Čáslav),
    // and ch one after h (Hradec before Cheb). A text compared by its code
    // points would put Čáslav last, an English collation Čáslav before Cheb.
    // Numbers by value (a text compare would put 100 before 9); a missing
    // cell last in both directions; equal cells in their stored order.
    void headerClicks_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QList<int>>("order");
        const QList<int> stored{0, 1, 2, 3, 4, 5, 6};
        QTest::newRow("texts ascending") << 1 << 1 << QList<int>{3, 5, 2, 0, 1, 6, 4};
        QTest::newRow("texts descending, missing still last") << 1 << 2 << QList<int>{6, 1, 0, 2, 5, 3, 4};
        QTest::newRow("third click: stored order") << 1 << 3 << stored;
        QTest::newRow("fourth click: ascending again") << 1 << 4 << QList<int>{3, 5, 2, 0, 1, 6, 4};
        QTest::newRow("numbers ascending, ties in stored order") << 2 << 1 << QList<int>{3, 1, 5, 0, 6, 4, 2};
        QTest::newRow("numbers descending, missing still last") << 2 << 2 << QList<int>{4, 0, 6, 1, 5, 3, 2};
        QTest::newRow("row numbers descending") << 0 << 2 << QList<int>{6, 5, 4, 3, 2, 1, 0};
    }

    void headerClicks()
    {
        QFETCH(int, column);
        QFETCH(int, clicks);
        TTableModel table(nullptr);
        QString why;
        QVERIFY2(table.loadCsv(writeFile(m_dir, QStringLiteral("mesta.csv"), towns), &why), qPrintable(why));
        QVERIFY(table.isTextColumn(0));
        const QByteArray entry = entryOf(table);
        TableView view;
        view.setModel(&table);
        view.resize(500, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.table(), &table);
        QCOMPARE(shownOrder(view), (QList<int>{0, 1, 2, 3, 4, 5, 6}));
        for (int i = 0; i < clicks; ++i)
            clickHeader(&view, column);
        QTEST(shownOrder(view), "order");
        QCOMPARE(view.horizontalHeader()->sortIndicatorSection(), clicks % 3 == 0 ? -1 : column);
        // What the view shows at each row is that stored row's.
        for (int row = 0; row < table.rowCount(); ++row)
            QCOMPARE(view.model()->index(row, 0).data().toInt(), view.storedRow(row) + 1);
        QCOMPARE(entryOf(table), entry);
    }

    // In the window: the table and what is saved keep the stored order, a
    // check mark set in the sorted view lands on its own row, the status bar
    // counts it, and a project opened again shows the stored order.
    void sortingKeepsTheTable()
    {
        QTreeWidgetItem *source = importOne(towns, QStringLiteral("mesta.csv"));
        TTableModel *table = MainWindow::tableOf(source);
        const QByteArray entry = entryOf(*table);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        TableView *view = m_window->tableView();
        QCOMPARE(view->table(), table);
        clickHeader(view, 2);
        clickHeader(view, 2);
        QCOMPARE(shownOrder(*view), (QList<int>{4, 0, 6, 1, 5, 3, 2}));
        QCOMPARE(view->viewRow(4), 0);
        QCOMPARE(view->viewRow(2), 6);
        QCOMPARE(view->storedRow(7), -1);

        view->model()->setData(view->model()->index(0, 0), int(Qt::Unchecked), Qt::CheckStateRole);
        QVERIFY(!table->isRowChecked(4));
        for (int row : {0, 1, 2, 3, 5, 6})
            QVERIFY(table->isRowChecked(row));
        QCOMPARE(view->model()->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QCOMPARE(m_window->statusBar()->findChild<QLabel *>(QStringLiteral("tableSummary"))->text(),
                 QStringLiteral("Řádků: 7, sloupců: 2, zaškrtnutých: 6"));
        QVERIFY(m_window->isModified());

        // The rows of the selected cells, as stored: view rows 0 and 6.
        view->selectionModel()->select(view->model()->index(0, 1), QItemSelectionModel::Select);
        view->selectionModel()->select(view->model()->index(6, 2), QItemSelectionModel::Select);
        QCOMPARE(view->selectedStoredRows(), (QList<int>{2, 4}));

        QCOMPARE(entryOf(*table), entry);

        // Shown again (its node chosen anew), the table stays sorted; another
        // table, and this one after it, show in their stored order.
        m_window->changeModel(source, 0);
        QCOMPARE(shownOrder(*view), (QList<int>{4, 0, 6, 1, 5, 3, 2}));
        QTreeWidgetItem *other = importOne("x\n3\n1\n2\n", QStringLiteral("druha.csv"));
        QCOMPARE(view->table(), MainWindow::tableOf(other));
        QCOMPARE(view->horizontalHeader()->sortIndicatorSection(), -1);
        QCOMPARE(shownOrder(*view), (QList<int>{0, 1, 2}));
        m_window->changeModel(source, 0);
        QCOMPARE(shownOrder(*view), (QList<int>{0, 1, 2, 3, 4, 5, 6}));

        clickHeader(view, 1);
        const QString file = m_dir.filePath(QStringLiteral("mesta.kstx"));
        FileDialog::setNextFileName(file);
        QVERIFY(m_window->saveProjectAs());
        QVERIFY(m_window->openProjectFile(file));
        TTableModel *opened = MainWindow::tableOf(tree()->topLevelItem(0));
        QCOMPARE(entryOf(*opened), entry);
        QCOMPARE(opened->cellText(2, 0), QStringLiteral("Čáslav"));
        QVERIFY(!opened->isRowChecked(4));
        QCOMPARE(view->table(), opened);
        QCOMPARE(shownOrder(*view), (QList<int>{0, 1, 2, 3, 4, 5, 6}));
    }
};

QTEST_MAIN(TestTableSort)
#include "tst_tablesort.moc"

// A table on the clipboard as a spreadsheet takes it: header texts, then the
// rows, tab-separated, numbers with the view's decimal comma and the verdicts
// as the view shows them; from the table view, the cells selected with the
// mouse and Shift or Ctrl, under the headers of their columns.

#include "WindowTestSupport.h"
#include "TableTestSupport.h"
#include "TableText.h"

#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QStyledItemDelegate>
#include <QTableView>

namespace {

// The waist-to-hip ratio of 80 and 95.5 cm to 100 cm, as copied.
const char *const whrText = "č.\tObvod pasu\tObvod boků\tIndex rizikovosti\tVyhodnocení pro muže\tVyhodnocení pro ženy\n"
                            "1\t80\t100\t0,8\tSpíše periferní\tSpíše centrální\n"
                            "2\t95,5\t100\t0,955\tCentrální (riziková)\tCentrální (riziková)\n";

} // namespace

class TestTableClipboard : public WindowTest {
    Q_OBJECT

private slots:
    void initTestCase() { startSuite(); }
    void init() { m_window = std::make_unique<MainWindow>(); }
    void cleanup() { endTest(); }

    void asText_data()
    {
        QTest::addColumn<int>("method"); // -1: a source table
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QString>("text");
        // 75 is still dolichocranial, 80 still mesocranial.
        QTest::newRow("cranial index with verdicts")
            << 23 << Rows{{150, 200}, {160, 200}, {162.5, 200}, {156, 200}} << QStringList{}
            << "č.\tNejvětší šířka lebky\tNejvětší délka lebky\tIndex cranialis\tVyhodnocení\n"
               "1\t150\t200\t75\tdolichokranní\n"
               "2\t160\t200\t80\tmesokranní\n"
               "3\t162,5\t200\t81,25\tbrachykranní\n"
               "4\t156\t200\t78\tmesokranní\n";
        QTest::newRow("texts keep to their column") << -1 << Rows{{1, 2}} << QStringList{"Obvod\tpasu", "Boky\n(cm)"}
                                                    << "č.\tObvod pasu\tBoky (cm)\n1\t1\t2\n";
        // The first row unchecked.
        QTest::newRow("every row, checked or not") << -1 << Rows{{1.5}, {2.5}} << QStringList{}
                                                   << "č.\t\n1\t1,5\n2\t2,5\n";
    }

    void asText()
    {
        QFETCH(int, method);
        QFETCH(Rows, rows);
        QFETCH(QStringList, headers);
        const auto table = method >= 0 ? resultTable(method, rows) : sourceTable(rows, headers);
        QVERIFY(table);
        table->setData(table->index(0, 0), int(Qt::Unchecked), Qt::CheckStateRole);
        QTEST(tableAsText(*table), "text");
    }

    void numbersAsTheViewDrawsThem()
    {
        const auto table = resultTable(3, {{80, 100}, {95.5, 100}});
        QTableView view;
        view.setModel(table.get());
        auto *delegate = qobject_cast<QStyledItemDelegate *>(view.itemDelegate());
        QVERIFY(delegate);
        for (int r = 0; r < table->rowCount(); ++r)
            for (int c = 0; c < table->columnCount(); ++c) {
                const QVariant value = table->data(table->index(r, c));
                QCOMPARE(viewText(value), delegate->displayText(value, QLocale()));
            }
    }

    // From the context menu, each node's own table; with the key and no cell
    // selected, the whole table shown, not the current cell alone.
    void copyFromTheWindow()
    {
        QTreeWidgetItem *source = importOne("Pas;Boky\n80;100\n95,5;100\n", QStringLiteral("pas.csv"));
        contextMenu(source, QStringLiteral("Kopírovat tabulku"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("č.\tPas\tBoky\n1\t80\t100\n2\t95,5\t100\n"));
        apply(source, 3, {0, 1});
        QApplication::clipboard()->clear();
        contextMenu(source->child(0), QStringLiteral("Kopírovat tabulku"));
        QCOMPARE(QApplication::clipboard()->text(), QString::fromUtf8(whrText));

        QApplication::clipboard()->clear();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QTableView *view = m_window->tableView(); // the result's, chosen last
        view->setFocus();
        view->selectionModel()->setCurrentIndex(view->model()->index(1, 2), QItemSelectionModel::NoUpdate);
        QTest::keySequence(view, QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(), QString::fromUtf8(whrText));
    }

    // Clicks on cells of the table view ("row,column" of the view; "shift "
    // or "ctrl " before it holds that key; "all" is Ctrl+A), after
    // `sortClicks` clicks on the header of column 1, then Ctrl+C.
    void copySelection_data()
    {
        QTest::addColumn<int>("sortClicks");
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("text");
        QTest::newRow("Shift extends to a block") << 0 << QStringList{"0,1", "shift 1,2"}
                                                  << "Pas\tBoky\n80\t100\n95,5\t100\n";
        QTest::newRow("row numbers only when selected") << 0 << QStringList{"0,0", "shift 2,1"}
                                                        << "č.\tPas\n1\t80\n2\t95,5\n3\t70\n";
        // No rectangle: the cells not selected stay empty.
        QTest::newRow("Ctrl adds a cell") << 0 << QStringList{"0,1", "ctrl 2,3"} << "Pas\tJméno\n80\t\n\tCyril\n";
        QTest::newRow("Ctrl takes a cell back") << 0 << QStringList{"0,1", "shift 1,1", "ctrl 1,1"} << "Pas\n80\n";
        QTest::newRow("a missing value is an empty cell") << 0 << QStringList{"2,2"} << "Boky\n\n";
        QTest::newRow("sorted: rows as shown") << 1 << QStringList{"0,0", "shift 2,1"}
                                               << "č.\tPas\n3\t70\n1\t80\n2\t95,5\n";
        QTest::newRow("every cell: the whole table")
            << 0 << QStringList{"all"}
            << "č.\tPas\tBoky\tJméno\n1\t80\t100\tAdam\n2\t95,5\t100\tBára\n3\t70\t\tCyril\n";
    }

    void copySelection()
    {
        QFETCH(int, sortClicks);
        QFETCH(QStringList, clicks);
        importOne("Pas;Boky;Jméno\n80;100;Adam\n95,5;100;Bára\n70;;Cyril\n", QStringLiteral("pas.csv"));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QTableView *view = m_window->tableView();
        QHeaderView *header = view->horizontalHeader();
        for (int i = 0; i < sortClicks; ++i)
            QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                              QPoint(header->sectionViewportPosition(1) + header->sectionSize(1) / 2,
                                     header->height() / 2));
        view->setFocus();
        for (QString click : clicks) {
            if (click == QStringLiteral("all")) {
                QTest::keySequence(view, QKeySequence::SelectAll);
                continue;
            }
            Qt::KeyboardModifiers keys = Qt::NoModifier;
            if (click.startsWith(QStringLiteral("shift ")))
                keys = Qt::ShiftModifier;
            else if (click.startsWith(QStringLiteral("ctrl ")))
                keys = Qt::ControlModifier;
            click = click.section(u' ', -1);
            const QModelIndex cell = view->model()->index(click.section(u',', 0, 0).toInt(), click.section(u',', 1).toInt());
            QVERIFY(cell.isValid());
            // Right of the row number's check box, which a click would toggle.
            const QRect rect = view->visualRect(cell);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, keys, QPoint(rect.right() - 3, rect.center().y()));
        }
        QApplication::clipboard()->clear();
        QTest::keySequence(view, QKeySequence::Copy);
        QTEST(QApplication::clipboard()->text(), "text");
        // Copying changes no check mark: the clicks hit no check box.
        QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("tableSummary"))->text(),
                 QStringLiteral("Řádků: 3, sloupců: 3, zaškrtnutých: 3"));
    }
};

QTEST_MAIN(TestTableClipboard)
#include "tst_tableclipboard.moc"

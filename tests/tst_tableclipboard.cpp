// A table on the clipboard as a spreadsheet takes it: header texts, then the
// rows, tab-separated, numbers with the view's decimal comma and the verdicts
// as the view shows them.

#include "WindowTestSupport.h"
#include "TableTestSupport.h"
#include "TableText.h"

#include <QClipboard>
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
        QTest::newRow("waist-to-hip ratio") << 3 << Rows{{80, 100}, {95.5, 100}} << QStringList{} << whrText;
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

    // From the context menu, each node's own table; with the key, the whole
    // table shown, not the current cell alone.
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
        view->setCurrentIndex(view->model()->index(1, 2));
        QTest::keySequence(view, QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(), QString::fromUtf8(whrText));
    }
};

QTEST_MAIN(TestTableClipboard)
#include "tst_tableclipboard.moc"

#include "FileDialog.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "MethodCatalog.h"
#include "PopupMenu.h"
#include "TTableModel.h"
#include "TableText.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QStandardPaths>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

// A table on the clipboard as a spreadsheet takes it: header texts, then the
// rows, tab-separated, numbers with the view's decimal comma and the verdicts
// as the view shows them.
class TestTableClipboard : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    static QString u(const char *text) { return QString::fromUtf8(text); }

    // A result of method id over the given rows, inputs in columns 0, 1, ...
    static std::unique_ptr<TTableModel> result(int id, const QList<QList<double>> &rows)
    {
        auto table = std::make_unique<TTableModel>(nullptr);
        table->appendRows(rows);
        std::vector<int> columns;
        for (int c = 0; c < MethodCatalog[size_t(id)].inputCount; ++c)
            columns.push_back(c);
        if (!table->applyMethod(id, columns))
            return nullptr;
        return table;
    }

    static QAction *find(QMenu &menu, const QString &text)
    {
        for (QAction *a : menu.actions()) {
            if (a->text() == text)
                return a;
            if (a->menu())
                if (QAction *inner = find(*a->menu(), text))
                    return inner;
        }
        return nullptr;
    }

    // The waist-to-hip ratio table of the window tests below, as copied.
    static QString whrText()
    {
        return u("č.\tObvod pasu\tObvod boků\tIndex rizikovosti\tVyhodnocení pro muže\tVyhodnocení pro ženy\n"
                 "1\t80\t100\t0,8\tSpíše periferní\tSpíše centrální\n"
                 "2\t95,5\t100\t0,955\tCentrální (riziková)\tCentrální (riziková)\n");
    }

    // A window with one imported table and its WHR result shown.
    std::unique_ptr<MainWindow> windowWithWhr()
    {
        auto window = std::make_unique<MainWindow>();
        const QString path = m_dir.filePath(QStringLiteral("pas.csv"));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("Pas;Boky\n80;100\n95,5;100\n");
        f.close();
        FileDialog::setNextFileNames({path});
        window->loadCSV();
        QTreeWidgetItem *source = window->tree()->topLevelItem(0);
        auto *table = new TTableModel(MainWindow::tableOf(source));
        table->applyMethod(3, std::vector<int>{0, 1});
        // Through the menu the wizard would ask; the mapping is not what is tested here.
        auto *node = new QTreeWidgetItem(source);
        node->setData(0, Qt::UserRole, QVariant::fromValue<QObject *>(table));
        node->setText(0, MethodCatalog[3].title);
        window->changeModel(node, 0);
        return window;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        buildMethodCatalog();
        MessageBox::requireQueuedAnswers(true);
        FileDialog::requireQueuedAnswers(true);
        PopupMenu::requireQueuedChoices(true);
    }

    void cranialIndexWithVerdicts()
    {
        // 75 is still dolichocranial, 80 still mesocranial.
        const auto table = result(23, {{150, 200}, {160, 200}, {162.5, 200}, {156, 200}});
        QVERIFY(table);
        QCOMPARE(tableAsText(*table),
                 u("č.\tNejvětší šířka lebky\tNejvětší délka lebky\tIndex cranialis\tVyhodnocení\n"
                   "1\t150\t200\t75\tdolichokranní\n"
                   "2\t160\t200\t80\tmesokranní\n"
                   "3\t162,5\t200\t81,25\tbrachykranní\n"
                   "4\t156\t200\t78\tmesokranní\n"));
    }

    void numbersAsTheViewDrawsThem()
    {
        const auto table = result(3, {{80, 100}, {95.5, 100}});
        QVERIFY(table);
        QTableView view;
        view.setModel(table.get());
        auto *delegate = qobject_cast<QStyledItemDelegate *>(view.itemDelegate());
        QVERIFY(delegate);
        for (int r = 0; r < table->rowCount(); ++r)
            for (int c = 0; c < table->columnCount(); ++c) {
                const QVariant value = table->data(table->index(r, c));
                QCOMPARE(viewText(value), delegate->displayText(value, QLocale()));
            }
        QCOMPARE(tableAsText(*table), whrText());
    }

    void textsKeepToTheirColumn()
    {
        TTableModel table(nullptr);
        table.appendRows({{1, 2}});
        table.setHeaderData(1, Qt::Horizontal, u("Obvod\tpasu"), Qt::DisplayRole);
        table.setHeaderData(2, Qt::Horizontal, u("Boky\n(cm)"), Qt::DisplayRole);
        QCOMPARE(tableAsText(table), u("č.\tObvod pasu\tBoky (cm)\n1\t1\t2\n"));
    }

    void everyRowCheckedOrNot()
    {
        TTableModel table(nullptr);
        table.appendRows({{1.5}, {2.5}});
        table.setData(table.index(0, 0), int(Qt::Unchecked), Qt::CheckStateRole);
        QCOMPARE(tableAsText(table), u("č.\t\n1\t1,5\n2\t2,5\n"));
    }

    void copyFromTheContextMenu()
    {
        const auto window = windowWithWhr();
        QApplication::clipboard()->clear();
        QTreeWidget *tree = window->tree();
        QTreeWidgetItem *node = tree->topLevelItem(0)->child(0);
        tree->expandAll();
        tree->clearSelection();
        node->setSelected(true);
        PopupMenu::setNextChoice([](QMenu &menu) { return find(menu, u("Kopírovat tabulku")); });
        window->treeContextMenu(tree->visualItemRect(node).center());
        QCOMPARE(QApplication::clipboard()->text(), whrText());

        // On the source node, the source table.
        QTreeWidgetItem *source = tree->topLevelItem(0);
        PopupMenu::setNextChoice([](QMenu &menu) { return find(menu, u("Kopírovat tabulku")); });
        window->treeContextMenu(tree->visualItemRect(source).center());
        QCOMPARE(QApplication::clipboard()->text(), u("č.\tPas\tBoky\n1\t80\t100\n2\t95,5\t100\n"));
    }

    void copyWithTheShortcut()
    {
        const auto window = windowWithWhr();
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTableView *view = window->tableView();
        view->setFocus();
        view->setCurrentIndex(view->model()->index(1, 2));
        QApplication::clipboard()->clear();
        QTest::keySequence(view, QKeySequence::Copy);
        // The whole table, not the current cell alone.
        QCOMPARE(QApplication::clipboard()->text(), whrText());
    }
};

QTEST_MAIN(TestTableClipboard)
#include "tst_tableclipboard.moc"

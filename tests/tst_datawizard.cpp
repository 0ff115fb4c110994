#include "MessageBox.h"
#include "MethodCatalog.h"
#include "TDataWizard.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include <functional>

// The column-mapping wizard driven as a user would, offscreen.
class TestDataWizard : public QObject {
    Q_OBJECT

    // A table like the program's: column 0 holds row numbers, data from 1 on.
    static QStandardItemModel *table(int rows, int dataColumns, QObject *parent)
    {
        auto *m = new QStandardItemModel(rows, dataColumns + 1, parent);
        m->setHeaderData(0, Qt::Horizontal, QString::fromUtf8("č."));
        for (int c = 1; c <= dataColumns; ++c)
            m->setHeaderData(c, Qt::Horizontal, QStringLiteral("sloupec %1").arg(c));
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c <= dataColumns; ++c)
                m->setData(m->index(r, c), c == 0 ? QVariant(r + 1) : QVariant(r + c / 10.0));
        return m;
    }

    static QComboBox *list(TDataWizard &w, int column)
    {
        return qobject_cast<QComboBox *>(w.findChild<QTableWidget *>("tableWidget")->cellWidget(0, column));
    }

    // Runs the wizard; `drive` acts on it while it is open. Returns exec()'s result.
    static int runWizard(TDataWizard &w, const std::function<void()> &drive)
    {
        bool driven = false;
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(QApplication::activeModalWidget() == &w);
            drive();
            driven = true;
        });
        const int result = w.exec();
        [&] { QVERIFY(driven); }();
        return result;
    }

    static void pressOk(TDataWizard &w)
    {
        w.findChild<QDialogButtonBox *>("buttonBox")->button(QDialogButtonBox::Ok)->click();
    }

private slots:
    void initTestCase()
    {
        buildMethodCatalog();
        MessageBox::requireQueuedAnswers(true);
    }

    void mappingInInputOrder()
    {
        QObject owner;
        TDataWizard w;
        w.setSourceTable(table(4, 5, &owner));
        w.setFunction(2);
        QCOMPARE(w.windowTitle(), QString::fromUtf8("Průvodce funkcí Body mass index"));
        const int result = runWizard(w, [&] {
            QCOMPARE(list(w, 0)->count(), 3); // empty entry and the two inputs
            QCOMPARE(list(w, 0)->itemText(2), QString::fromUtf8("Výška (m)"));
            list(w, 3)->setCurrentIndex(1);
            list(w, 0)->setCurrentIndex(2);
            pressOk(w);
        });
        QCOMPARE(result, 1);
        QCOMPARE(w.selectedColumns(), (std::vector<int>{3, 0}));
    }

    void choosingAnInputAgainTakesItFromTheFirstColumn()
    {
        QObject owner;
        TDataWizard w;
        w.setSourceTable(table(2, 3, &owner));
        w.setFunction(2);
        runWizard(w, [&] {
            list(w, 0)->setCurrentIndex(1);
            list(w, 2)->setCurrentIndex(1);
            QCOMPARE(list(w, 0)->currentIndex(), 0);
            QCOMPARE(list(w, 2)->currentIndex(), 1);
            w.reject();
        });
    }

    void unassignedInputIsRefusedWithAWarning()
    {
        QObject owner;
        TDataWizard w;
        w.setSourceTable(table(2, 3, &owner));
        w.setFunction(2);
        const int before = MessageBox::count();
        const int result = runWizard(w, [&] {
            list(w, 1)->setCurrentIndex(2);
            MessageBox::setNextAnswer(QMessageBox::Ok);
            pressOk(w);
            QCOMPARE(MessageBox::count(), before + 1);
            QCOMPARE(MessageBox::lastTitle(), QString::fromUtf8("Varování"));
            QCOMPARE(MessageBox::lastText(), QString::fromUtf8("Nevyznačili jste všechny potřebné sloupce."));
            QVERIFY(w.isVisible()); // still open, choices kept
            QCOMPARE(list(w, 1)->currentIndex(), 2);
            w.reject();
        });
        QCOMPARE(result, 0);
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
        w.setSourceTable(table(rows, 2, &owner));
        w.setFunction(0);
        runWizard(w, [&] {
            auto *grid = w.findChild<QTableWidget *>("tableWidget");
            QCOMPARE(grid->rowCount(), gridRows);
            QCOMPARE(grid->columnCount(), 2);
            QCOMPARE(grid->horizontalHeaderItem(1)->text(), QStringLiteral("sloupec 2"));
            if (rows > 0) {
                QCOMPARE(grid->item(1, 1)->text(), QString::fromUtf8("0,2"));
                QCOMPARE(grid->item(1, 1)->flags(), Qt::ItemIsEnabled);
            }
            w.reject();
        });
    }

    void tableWithoutDataColumnsCanOnlyBeCancelled()
    {
        QObject owner;
        TDataWizard w;
        w.setSourceTable(new QStandardItemModel(0, 0, &owner));
        w.setFunction(53);
        const int result = runWizard(w, [&] {
            QCOMPARE(w.findChild<QTableWidget *>("tableWidget")->columnCount(), 0);
            MessageBox::setNextAnswer(QMessageBox::Ok);
            pressOk(w);
            QVERIFY(w.isVisible());
            w.reject();
        });
        QCOMPARE(result, 0);
    }
};

QTEST_MAIN(TestDataWizard)
#include "tst_datawizard.moc"

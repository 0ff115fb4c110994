#include "MessageBox.h"
#include "MethodCatalog.h"
#include "TDataWizard.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
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

    void namesMatch_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("header");
        QTest::addColumn<bool>("exactly");
        QTest::addColumn<bool>("loosely");
        QTest::newRow("same text") << QString::fromUtf8("Výška (m)") << QString::fromUtf8("Výška (m)") << true << true;
        QTest::newRow("without the unit") << QString::fromUtf8("Výška (m)") << QString::fromUtf8("Výška") << false
                                          << true;
        QTest::newRow("case and diacritics") << QString::fromUtf8("Výška (m)") << "VYSKA" << false << true;
        QTest::newRow("another unit") << "Hmotnost (kg)" << "hmotnost (g)" << false << true;
        QTest::newRow("another word") << QString::fromUtf8("Výška (m)") << QString::fromUtf8("Výška 2") << false
                                      << false;
        QTest::newRow("a unit alone is no name") << "(m)" << "(cm)" << false << false;
        QTest::newRow("a longer name") << "x" << "x1" << false << false;
    }

    void namesMatch()
    {
        QFETCH(QString, input);
        QFETCH(QString, header);
        QFETCH(bool, exactly);
        QFETCH(bool, loosely);
        QCOMPARE(TDataWizard::namesMatch(input, header, true), exactly);
        QCOMPARE(TDataWizard::namesMatch(input, header, false), loosely);
    }

    // A column titled as an input is chosen for it; an exact title wins over
    // a loose one, and a column feeds one input only.
    void columnsNamedAsInputsAreChosen()
    {
        QObject owner;
        QStandardItemModel *source = table(1, 4, &owner);
        const QStringList headers{"vyska", QString::fromUtf8("Výška (m)"), "Pas", "HMOTNOST"};
        for (int c = 0; c < headers.size(); ++c)
            source->setHeaderData(c + 1, Qt::Horizontal, headers.at(c));
        TDataWizard w;
        w.setSourceTable(source);
        w.setFunction(2); // Hmotnost (kg), Výška (m)
        const int result = runWizard(w, [&] {
            QCOMPARE(list(w, 0)->currentIndex(), 0);
            QCOMPARE(list(w, 1)->currentIndex(), 2);
            QCOMPARE(list(w, 2)->currentIndex(), 0);
            QCOMPARE(list(w, 3)->currentIndex(), 1);
            pressOk(w);
        });
        QCOMPARE(result, 1);
        QCOMPARE(w.selectedColumns(), (std::vector<int>{3, 1}));
    }

    // Too few columns is told at once, by name and count.
    void tooFewColumnsAreToldAtOnce()
    {
        QObject owner;
        TDataWizard w;
        w.setSourceTable(table(2, 1, &owner));
        w.setFunction(2);
        runWizard(w, [&] {
            QCOMPARE(w.findChild<QLabel *>("guide")->text(),
                     QString::fromUtf8("Tabulka má jen 1 sloupec, metoda „Body mass index“ jich potřebuje 2: "
                                       "Hmotnost (kg), Výška (m)."));
            w.reject();
        });
    }

    // A method of ten inputs shows its row of choices without scrolling.
    void tenInputsFitTheWindow()
    {
        QObject owner;
        TDataWizard w;
        w.setSourceTable(table(3, 10, &owner));
        w.setFunction(16); // Pařízková: ten skinfolds
        runWizard(w, [&] {
            auto *grid = w.findChild<QTableWidget *>("tableWidget");
            QCOMPARE(grid->columnCount(), 10);
            int needed = grid->verticalHeader()->width();
            for (int c = 0; c < grid->columnCount(); ++c)
                needed += grid->columnWidth(c);
            const int available = w.screen()->availableGeometry().width() * 9 / 10;
            w.reject();
            // Ten choices side by side fit a screen of 1920 points...
            QVERIFY2(needed < 1920 * 9 / 10, qPrintable(QString::number(needed)));
            // ...and the window is as wide as they need, as far as this screen allows.
            QVERIFY(w.width() >= qMin(needed, available));
            if (needed <= available - grid->verticalScrollBar()->sizeHint().width())
                QCOMPARE(grid->horizontalScrollBar()->maximum(), 0);
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

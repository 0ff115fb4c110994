// The statistics window opened from a node of the main window, offscreen:
// which columns it offers to group by, and its tables copied and saved through
// the prompt seams. The numbers themselves are tst_samplestatistics'.

#include "WindowTestSupport.h"

#include "MethodCatalog.h"
#include "TStatisticsDialog.h"
#include "TTableModel.h"
#include "TreeNodes.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestStatisticsDialog : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow> m_window;

    static QString u(const char *text) { return QString::fromUtf8(text); }

    QTreeWidgetItem *importOne(const QByteArray &content) { return importThroughWindow(*m_window, m_dir, content); }

    // Method id applied to the checked rows of parent's table, as the tree
    // holds a result (through the menu the column wizard would ask).
    static QTreeWidgetItem *addResult(QTreeWidgetItem *parent, int id, const std::vector<int> &columns)
    {
        auto *table = new TTableModel(MainWindow::tableOf(parent));
        table->applyMethod(id, columns);
        auto *node = new QTreeWidgetItem(parent, QStringList{MethodCatalog[size_t(id)].title});
        setNodeTable(node, table);
        setParentNode(node, parent);
        parent->setExpanded(true); // a menu opens on a node in sight
        return node;
    }

    static void uncheck(QTreeWidgetItem *node, int row)
    {
        TTableModel *table = MainWindow::tableOf(node);
        table->setData(table->index(row, 0), Qt::Unchecked, Qt::CheckStateRole);
    }

    TStatisticsDialog *openStatistics(QTreeWidgetItem *node)
    {
        openContextMenu(*m_window, node, [](QMenu &menu) { return findMenuEntry(menu, u("Statistika")); });
        return m_window->findChild<TStatisticsDialog *>();
    }

    static void click(TStatisticsDialog *dialog, const char *button)
    {
        auto *b = dialog->findChild<QPushButton *>(QString::fromLatin1(button));
        QVERIFY2(b, button);
        b->click();
    }

private slots:
    void initTestCase()
    {
        buildMethodCatalog();
        requireQueuedAnswers();
        PopupMenu::requireQueuedChoices(true);
    }

    void init() { m_window = std::make_unique<MainWindow>(); }

    void cleanup()
    {
        m_window.reset();
        QVERIFY(!takeLeftoverAnswers());
    }

    void copiesTheStatisticsOfTheNode()
    {
        QTreeWidgetItem *source = importOne("Skupina;Hmotnost\n1;60\n2;50\n1;80\n");
        TStatisticsDialog *dialog = openStatistics(source);
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        auto *box = dialog->findChild<QComboBox *>(QStringLiteral("groupingBox"));
        QCOMPARE(box->count(), 3);
        QCOMPARE(box->itemText(0), u("bez skupin"));
        QCOMPARE(box->itemText(2), u("Hmotnost"));
        // No verdict columns, no class table.
        QVERIFY(!dialog->findChild<QTableView *>(QStringLiteral("classView")));
        click(dialog, "copySummaryButton");
        // Skupina {1, 2, 1}: mean 4/3, squared deviations 6/9 over 2, sd 0.57735.
        // Hmotnost {60, 50, 80}: mean 190/3, squared deviations 466.667 over 2, sd 15.2753.
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 u("skupina\tsloupec\tn\tprůměr\tsměrodatná odchylka\tminimum\tmedián\tmaximum\n"
                   "\tSkupina\t3\t1,33333\t0,57735\t1\t1\t2\n"
                   "\tHmotnost\t3\t63,3333\t15,2753\t50\t60\t80\n"));
    }

    void savesTheGroupedStatistics()
    {
        QTreeWidgetItem *source = importOne("Skupina;Hmotnost\n1;60\n2;50\n1;80\n");
        TStatisticsDialog *dialog = openStatistics(source);
        QVERIFY(dialog);
        dialog->findChild<QComboBox *>(QStringLiteral("groupingBox"))->setCurrentIndex(1);
        // A name without an ending gets ".csv".
        FileDialog::setNextFileName(m_dir.filePath(QStringLiteral("statistika")));
        click(dialog, "saveSummaryButton");
        QCOMPARE(FileDialog::lastTitle(), u("Uložení statistiky do CSV"));
        QFile f(m_dir.filePath(QStringLiteral("statistika.csv")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        // Group 1: {60, 80}, deviations +-10, sd sqrt(200) = 14.1421.
        QCOMPARE(QString::fromUtf8(f.readAll()),
                 u("skupina;sloupec;n;průměr;směrodatná odchylka;minimum;medián;maximum\n"
                   "1;Skupina;2;1;0;1;1;1\n"
                   "1;Hmotnost;2;70;14,1421;60;70;80\n"
                   "2;Skupina;1;2;;2;2;2\n"
                   "2;Hmotnost;1;50;;50;50;50\n"
                   ";Skupina;3;1,33333;0,57735;1;1;2\n"
                   ";Hmotnost;3;63,3333;15,2753;50;60;80\n"));
    }

    void failedSaveSaysWhy()
    {
        QTreeWidgetItem *source = importOne("A\n1\n");
        TStatisticsDialog *dialog = openStatistics(source);
        QVERIFY(dialog);
        FileDialog::setNextFileName(m_dir.filePath(QStringLiteral("neni/statistika.csv")));
        MessageBox::setNextAnswer(QMessageBox::Ok);
        const int asked = MessageBox::count();
        click(dialog, "saveSummaryButton");
        QCOMPARE(MessageBox::count(), asked + 1);
        QCOMPARE(MessageBox::lastTitle(), u("Uložení statistiky do CSV"));
        QVERIFY2(MessageBox::lastText().contains(u("neexistuje")), qPrintable(MessageBox::lastText()));
    }

    void copiesClassCounts()
    {
        // Cranial indices 75 and 80.
        QTreeWidgetItem *source = importOne("Sirka;Delka\n150;200\n160;200\n");
        QTreeWidgetItem *skulls = addResult(source, 23, {0, 1});
        TStatisticsDialog *dialog = openStatistics(skulls);
        QVERIFY(dialog);
        click(dialog, "copyClassesButton");
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 u("skupina\tsloupec\ttřída\tpočet\tprocento\n"
                   "\tVyhodnocení\tdolichokranní\t1\t50\n"
                   "\tVyhodnocení\tmesokranní\t1\t50\n"
                   "\tVyhodnocení\tbrachykranní\t0\t0\n"));
    }

    void groupingColumnsOfSources_data()
    {
        QTest::addColumn<int>("uncheckedSourceRow"); // before the first conversion; -1 none
        QTest::addColumn<int>("uncheckedMiddleRow"); // before the second; -1 none, -2 no second
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<double>>("lastKeys");

        const QString kg = u("Kilogramy [kg]");
        const QString g = u("Gramy [g]");
        const QString t = u("Tuny [t]");
        QTest::newRow("every source row checked")
            << -1 << -2 << QStringList{kg, g, u("Skupina (zdroj)"), u("Hmotnost (zdroj)")}
            << QList<double>{60, 50, 80};
        QTest::newRow("a source row left out") << 1 << -2 << QStringList{kg, g} << QList<double>{60000, 80000};
        QTest::newRow("two levels up")
            << -1 << -1
            << QStringList{kg, t, kg + u(" (zdroj)"), g + u(" (zdroj)"), u("Skupina (zdroj 2)"),
                           u("Hmotnost (zdroj 2)")}
            << QList<double>{60, 50, 80};
        QTest::newRow("a middle row left out") << -1 << 1 << QStringList{kg, t} << QList<double>{0.06, 0.08};
        QTest::newRow("one level up, then a source row left out")
            << 1 << -1 << QStringList{kg, t, kg + u(" (zdroj)"), g + u(" (zdroj)")}
            << QList<double>{60000, 80000};
    }

    void groupingColumnsOfSources()
    {
        QFETCH(int, uncheckedSourceRow);
        QFETCH(int, uncheckedMiddleRow);
        QFETCH(QStringList, names);
        QFETCH(QList<double>, lastKeys);

        QTreeWidgetItem *source = importOne("Skupina;Hmotnost\n1;60\n2;50\n1;80\n");
        if (uncheckedSourceRow >= 0)
            uncheck(source, uncheckedSourceRow);
        // Kilograms to grams, then (the kilograms) to tonnes.
        QTreeWidgetItem *node = addResult(source, 82, {1});
        if (uncheckedMiddleRow >= -1) {
            if (uncheckedMiddleRow >= 0)
                uncheck(node, uncheckedMiddleRow);
            node = addResult(node, 84, {0});
        }
        const std::vector<GroupingColumn> columns = MainWindow::groupingColumns(node);
        QStringList offered;
        for (const GroupingColumn &column : columns)
            offered.append(column.name);
        QCOMPARE(offered, names);
        const std::vector<double> &keys = columns.back().keys;
        QCOMPARE(qsizetype(keys.size()), lastKeys.size());
        for (qsizetype r = 0; r < lastKeys.size(); ++r)
            QCOMPARE(keys[size_t(r)], lastKeys[r]);
    }
};

QTEST_MAIN(TestStatisticsDialog)
#include "tst_statisticsdialog.moc"

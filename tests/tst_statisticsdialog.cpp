// The statistics window opened from a node of the main window, offscreen:
// which columns it offers to group by, and its tables copied and saved through
// the prompt seams. The numbers themselves are tst_samplestatistics'.

#include "WindowTestSupport.h"
#include "StatisticsDialog.h"
#include "TableTestSupport.h"

#include <QClipboard>
#include <QLabel>
#include <QSettings>
#include <QTableView>

class TestStatisticsDialog : public WindowTest {
    Q_OBJECT

private slots:
    void initTestCase() { startSuite(); }
    void init()
    {
        // No mapping remembered from another test chooses columns in the wizard.
        QSettings(QStringLiteral("Veritek"), QStringLiteral("Kostimer")).remove(QStringLiteral("columnMapping"));
        m_window = std::make_unique<MainWindow>();
    }
    void cleanup() { endTest(); }

    // A button of the window of a node's statistics: what it copies, or
    // writes into the file chosen (".csv" added to a bare name).
    void outputs_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<int>("method"); // applied first, its result the node; -1 none
        QTest::addColumn<int>("grouping");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("file"); // empty: the clipboard
        QTest::addColumn<QString>("output"); // nothing when the file cannot be written
        const QByteArray sample = "Skupina;Hmotnost\n1;60\n2;50\n1;80\n";
        // Skupina {1, 2, 1}: mean 4/3, squared deviations 6/9 over 2, sd 0.57735.
        // Hmotnost {60, 50, 80}: mean 190/3, squared deviations 466.667 over 2, sd 15.2753.
        QTest::newRow("summary copied") << sample << -1 << 0 << "copySummaryButton" << ""
                                        << "skupina\tsloupec\tn\tchybí\tprůměr\tsměrodatná odchylka\tminimum\t"
                                           "medián\tmaximum\n"
                                           "\tSkupina\t3\t0\t1,33333\t0,57735\t1\t1\t2\n"
                                           "\tHmotnost\t3\t0\t63,3333\t15,2753\t50\t60\t80\n";
        // Group 1: {60, 80}, deviations ±10, sd √200 = 14.1421.
        QTest::newRow("summary by group saved") << sample << -1 << 1 << "saveSummaryButton" << "statistika"
                                                << "skupina;sloupec;n;chybí;průměr;směrodatná odchylka;minimum;"
                                                   "medián;maximum\n"
                                                   "1;Skupina;2;0;1;0;1;1;1\n"
                                                   "1;Hmotnost;2;0;70;14,1421;60;70;80\n"
                                                   "2;Skupina;1;0;2;;2;2;2\n"
                                                   "2;Hmotnost;1;0;50;;50;50;50\n"
                                                   ";Skupina;3;0;1,33333;0,57735;1;1;2\n"
                                                   ";Hmotnost;3;0;63,3333;15,2753;50;60;80\n";
        QTest::newRow("save into a missing folder") << QByteArray("A\n1\n") << -1 << 0 << "saveSummaryButton"
                                                    << "neni/statistika" << "";
        // Cranial indices 75 and 80.
        QTest::newRow("class counts copied") << QByteArray("Sirka;Delka\n150;200\n160;200\n") << 23 << 0
                                             << "copyClassesButton" << ""
                                             << "skupina\tsloupec\ttřída\tpočet\tprocento\n"
                                                "\tVyhodnocení\tdolichokranní\t1\t50\n"
                                                "\tVyhodnocení\tmesokranní\t1\t50\n"
                                                "\tVyhodnocení\tbrachykranní\t0\t0\n";
    }

    void outputs()
    {
        QFETCH(QByteArray, csv);
        QFETCH(int, method);
        QFETCH(int, grouping);
        QFETCH(QString, button);
        QFETCH(QString, file);
        QTreeWidgetItem *node = importOne(csv);
        if (method >= 0) {
            apply(node, method, {0, 1});
            node = node->child(0);
        }
        contextMenu(node, QStringLiteral("Statistika"));
        auto *dialog = m_window->findChild<StatisticsDialog *>();
        QVERIFY(dialog && dialog->isVisible());
        auto *box = dialog->findChild<QComboBox *>(QStringLiteral("groupingBox"));
        QCOMPARE(box->itemText(0), QStringLiteral("bez skupin"));
        // A class table for the verdicts alone.
        QCOMPARE(dialog->findChild<QTableView *>(QStringLiteral("classView")) != nullptr, method == 23);
        box->setCurrentIndex(grouping);
        QGuiApplication::clipboard()->clear();
        if (!file.isEmpty())
            FileDialog::setNextFileName(m_dir.filePath(file));
        if (file.contains(u'/'))
            MessageBox::setNextAnswer(QMessageBox::Ok);
        dialog->findChild<QPushButton *>(button)->click();
        if (file.isEmpty()) {
            QTEST(QGuiApplication::clipboard()->text(), "output");
            return;
        }
        QCOMPARE(FileDialog::lastTitle(), QStringLiteral("Uložení statistiky do CSV"));
        QTEST(QString::fromUtf8(contentOf(m_dir.filePath(file + QStringLiteral(".csv")))), "output");
        if (file.contains(u'/')) { // the reason said
            QCOMPARE(MessageBox::lastTitle(), QStringLiteral("Uložení statistiky do CSV"));
            QVERIFY2(MessageBox::lastText().contains(QStringLiteral("neexistuje")), qPrintable(MessageBox::lastText()));
        }
    }

    // Grouped by a text column, the groups are its texts in Czech order; the
    // row with an empty cell is in none of them, which the window says.
    void groupsByText()
    {
        QTreeWidgetItem *node = importOne("Pohlaví;Hmotnost\nžena;60\nmuž;80\nmuž;90\n;70\n");
        contextMenu(node, QStringLiteral("Statistika"));
        auto *dialog = m_window->findChild<StatisticsDialog *>();
        QVERIFY(dialog);
        auto *box = dialog->findChild<QComboBox *>(QStringLiteral("groupingBox"));
        QCOMPARE(box->itemText(1), QStringLiteral("Pohlaví"));
        auto *ungrouped = dialog->findChild<QLabel *>(QStringLiteral("ungroupedLabel"));
        QVERIFY(ungrouped->isHidden());
        box->setCurrentIndex(1);
        QVERIFY(!ungrouped->isHidden());
        QCOMPARE(ungrouped->text(), QStringLiteral("Řádků bez skupiny (prázdná buňka ve sloupci „Pohlaví“): 1; "
                                                   "počítají se jen do řádku všech."));
        QGuiApplication::clipboard()->clear();
        dialog->findChild<QPushButton *>(QStringLiteral("copySummaryButton"))->click();
        QStringList groups; // the numbers are tst_samplestatistics'
        for (const QString &line : QGuiApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts))
            groups.append(line.section(u'\t', 0, 0));
        QCOMPARE(groups, (QStringList{"skupina", "muž", "žena", ""}));
        box->setCurrentIndex(0);
        QVERIFY(ungrouped->isHidden());
    }

    // The sex carried into a BMI result (a text column is carried unless
    // unchecked) is offered to group the result's statistics. What they are
    // with a BMI missing is tst_studydata's.
    void carriedTextGroupsAResult()
    {
        QTreeWidgetItem *node = importOne("Pohlaví;Hmotnost;Výška\nmuž;80;2\nžena;60;2\n");
        apply(node, 2, {1, 2});
        QTreeWidgetItem *result = node->child(0);
        QCOMPARE(headersOf(*MainWindow::tableOf(result)),
                 (QStringList{"Pohlaví", "Hmotnost (kg)", "Výška (m)", "BMI"}));
        contextMenu(result, QStringLiteral("Statistika"));
        auto *dialog = m_window->findChild<StatisticsDialog *>();
        QVERIFY(dialog);
        QCOMPARE(dialog->findChild<QComboBox *>(QStringLiteral("groupingBox"))->itemText(1), QStringLiteral("Pohlaví"));
    }

    // The node's own columns, then those of the tables it was computed from
    // while their rows are its rows.
    void groupingColumnsOfSources_data()
    {
        QTest::addColumn<int>("uncheckedSourceRow"); // before the first conversion; -1 none
        QTest::addColumn<int>("uncheckedMiddleRow"); // before the second; -1 none, -2 no second
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<Row>("lastKeys");
        const QString kg = QStringLiteral("Kilogramy [kg]");
        const QString g = QStringLiteral("Gramy [g]");
        const QString t = QStringLiteral("Tuny [t]");
        QTest::newRow("every source row checked")
            << -1 << -2 << QStringList{kg, g, "Skupina (zdroj)", "Hmotnost (zdroj)"} << Row{60, 50, 80};
        QTest::newRow("a source row left out") << 1 << -2 << QStringList{kg, g} << Row{60000, 80000};
        QTest::newRow("two levels up") << -1 << -1
                                       << QStringList{kg, t, kg + " (zdroj)", g + " (zdroj)", "Skupina (zdroj 2)",
                                                      "Hmotnost (zdroj 2)"}
                                       << Row{60, 50, 80};
        QTest::newRow("a middle row left out") << -1 << 1 << QStringList{kg, t} << Row{0.06, 0.08};
        QTest::newRow("one level up, then a source row left out")
            << 1 << -1 << QStringList{kg, t, kg + " (zdroj)", g + " (zdroj)"} << Row{60000, 80000};
    }

    void groupingColumnsOfSources()
    {
        QFETCH(int, uncheckedSourceRow);
        QFETCH(int, uncheckedMiddleRow);
        QFETCH(Row, lastKeys);
        QTreeWidgetItem *node = importOne("Skupina;Hmotnost\n1;60\n2;50\n1;80\n");
        if (uncheckedSourceRow >= 0)
            uncheckRow(node, uncheckedSourceRow);
        // Kilograms to grams, then (the kilograms) to tonnes.
        apply(node, 82, {1});
        node = node->child(0);
        if (uncheckedMiddleRow >= -1) {
            if (uncheckedMiddleRow >= 0)
                uncheckRow(node, uncheckedMiddleRow);
            apply(node, 84, {0});
            node = node->child(0);
        }
        const std::vector<GroupingColumn> columns = MainWindow::groupingColumns(node);
        QStringList offered;
        for (const GroupingColumn &column : columns)
            offered.append(column.name);
        QTEST(offered, "names");
        COMPARE_ROWS(Rows{Row(columns.back().keys.begin(), columns.back().keys.end())}, Rows{lastKeys});
    }
};

QTEST_MAIN(TestStatisticsDialog)
#include "tst_statisticsdialog.moc"

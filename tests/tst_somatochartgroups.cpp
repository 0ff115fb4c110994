// The somatotype window with groups: each group's mean on the chart, the
// tooltips of the points, and the tables of the analysis with their copy and
// CSV file. Numbers worked out by hand (as in tst_somatotypeanalysis).

#include "WindowTestSupport.h"
#include "SomatoChart.h"
#include "TableTestSupport.h"

#include <QClipboard>
#include <QGraphicsItem>
#include <QLabel>
#include <QTabWidget>

#include <limits>

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();

QStringList rowTexts(const QTableWidget *table, int row)
{
    QStringList texts;
    for (int c = 0; c < table->columnCount(); ++c)
        texts.append(table->item(row, c) ? table->item(row, c)->text() : QString());
    return texts;
}

QList<QGraphicsItem *> itemsTagged(const TSheldonDialog &dialog, const QString &tag)
{
    QList<QGraphicsItem *> found;
    for (QGraphicsItem *item : dialog.scene()->items(Qt::AscendingOrder))
        if (item->data(0).toString() == tag)
            found.append(item);
    return found;
}

} // namespace

class TestSomatochartGroups : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    // Group 1: 3-5-2 and 2-6-1.5, mean 2.5-5.5-1.75 at X −0.75, Y 6.75, which is
    // (424 − 0.75 · 47.667, 476 − 6.75 · 26.613) = (388.250, 296.362) in the picture.
    // Group 2: 5-2-2 and 6-2-1. 4-4-4 has no group.
    const std::unique_ptr<TTableModel> m_sample =
        sourceTable({{10, 3, 5, 2}, {11, 2, 6, 1.5}, {12, 5, 2, 2}, {13, 6, 2, 1}, {14, 4, 4, 4}});

    // The sample on the chart, grouped by column group (-1 none) of pohlaví and věk.
    void plotSample(TSheldonDialog &dialog, int group = -1)
    {
        dialog.plot(m_sample.get());
        dialog.setGroupingColumns({{QStringLiteral("pohlaví"), {1, 1, 2, 2, none}, {}},
                                   {QStringLiteral("věk"), {20, 30, 20, 30, 20}, {}}});
        if (group >= 0)
            dialog.groupBy(group);
    }

private slots:
    void initTestCase() { requireQueuedAnswers(); }
    void cleanup() { verifyAnswersTaken(); }

    // Every point tells its row as the table numbers it, its somatotype and
    // its category; unchecked rows count too, those without a full somatotype
    // are counted as left out.
    void tooltips()
    {
        const auto table = sourceTable({{1, 7}, {3, 5, 2}, {none, 4, 4}, {2, 6, 1.5}});
        table->setData(table->index(3, 0), int(Qt::Unchecked), Qt::CheckStateRole);
        TSheldonDialog dialog;
        dialog.plot(table.get());
        const QList<QGraphicsRectItem *> found = chartMarkers(dialog);
        QCOMPARE(found.size(), 2);
        QCOMPARE(found.at(0)->toolTip(), QStringLiteral("Řádek 2: 3–5–2, endomorfní mezomorf"));
        QCOMPARE(found.at(1)->toolTip(), QStringLiteral("Řádek 4: 2–6–1,5, vyrovnaný mezomorf"));
        QCOMPARE(dialog.analysis().all.n, qsizetype(2));
        // The row too short and the row with a missing component.
        QCOMPARE(dialog.analysis().leftOut, qsizetype(2));
        auto *leftOut = dialog.findChild<QLabel *>("leftOutLabel");
        QVERIFY(!leftOut->isHidden());
        QVERIFY(leftOut->text().endsWith(QStringLiteral(": 2.")));
    }

    // A row with a component of 0 or less has no somatotype: it is not
    // drawn, and counts among the rows left out. The fault: −1-4-4 was
    // drawn and given a category.
    void componentsOfZeroOrLessLeftOut()
    {
        const auto table = sourceTable({{3, 5, 2}, {-1, 4, 4}, {4, 0, 4}, {4, 4, 0.08}});
        TSheldonDialog dialog;
        dialog.plot(table.get());
        const QList<QGraphicsRectItem *> found = chartMarkers(dialog);
        QCOMPARE(found.size(), 2);
        QCOMPARE(found.at(0)->toolTip(), QStringLiteral("Řádek 1: 3–5–2, endomorfní mezomorf"));
        QCOMPARE(found.at(1)->toolTip(), QStringLiteral("Řádek 4: 4–4–0,08, mezomorf-endomorf"));
        QCOMPARE(dialog.analysis().all.n, qsizetype(2));
        QCOMPARE(dialog.analysis().leftOut, qsizetype(2));
        auto *leftOut = dialog.findChild<QLabel *>("leftOutLabel");
        QVERIFY(!leftOut->isHidden());
        QVERIFY(leftOut->text().endsWith(QStringLiteral(": 2.")));
    }

    void groupsFromTheBox()
    {
        TSheldonDialog dialog;
        plotSample(dialog);
        auto *box = dialog.findChild<QComboBox *>("groupingBox");
        QCOMPARE(box->count(), 3);
        QCOMPARE(box->itemText(0), QStringLiteral("bez skupin"));
        QCOMPARE(box->itemText(1), QStringLiteral("pohlaví"));
        QVERIFY(itemsTagged(dialog, "groupMean").isEmpty());

        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(box->currentIndex(), 1);
        const QList<QGraphicsItem *> means = itemsTagged(dialog, "groupMean");
        QCOMPARE(means.size(), 2);
        QCOMPARE(itemsTagged(dialog, "legend").size(), 1);
        QVERIFY(means.at(0)->boundingRect().contains(QPointF(388.250, 296.362)));
        QCOMPARE(means.at(0)->toolTip(),
                 QStringLiteral("Průměr skupiny 1 (n = 2): 2,5–5,5–1,75, endomorfní mezomorf"));
        // The members take their group's colour; the row without a group stays blue.
        const QList<QGraphicsRectItem *> found = chartMarkers(dialog);
        const QList<QColor> colours{groupColour(0), groupColour(0), groupColour(1), groupColour(1), Qt::blue};
        for (int i = 0; i < found.size(); ++i)
            QCOMPARE(found.at(i)->pen().color(), colours.at(i));
        QCOMPARE(found.at(3)->toolTip(), QStringLiteral("Řádek 4: 6–2–1, mezomorfní endomorf\nSkupina 2"));
        QCOMPARE(found.at(4)->toolTip(), QStringLiteral("Řádek 5: 4–4–4, centrální"));

        // Back to no groups: nothing of them is left.
        QTest::keyClick(box, Qt::Key_Up);
        QVERIFY(itemsTagged(dialog, "groupMean").isEmpty());
        QVERIFY(itemsTagged(dialog, "legend").isEmpty());
        for (QGraphicsRectItem *marker : chartMarkers(dialog))
            QCOMPARE(marker->pen().color(), QColor(Qt::blue));
        QCOMPARE(chartMarkers(dialog).at(3)->toolTip(), QStringLiteral("Řádek 4: 6–2–1, mezomorfní endomorf"));
    }

    // Grouped by a text column: the groups are named by its texts, in Czech
    // order ("muž" first though "žena" is text 0), in the tables, the
    // tooltips and the legend alike.
    void groupsByText()
    {
        TSheldonDialog dialog;
        dialog.plot(m_sample.get());
        dialog.setGroupingColumns({{QStringLiteral("Pohlaví"), {0, 0, 1, 1, none},
                                    {QStringLiteral("žena"), QStringLiteral("muž")}}});
        dialog.groupBy(0);
        QCOMPARE(dialog.analysis().groups.size(), size_t(2));
        QCOMPARE(dialog.analysis().groups[0].name, QStringLiteral("muž"));
        // muž: 5-2-2 and 6-2-1, mean 5.5-2-1.5, vyrovnaný endomorf.
        const QList<QGraphicsItem *> means = itemsTagged(dialog, "groupMean");
        QCOMPARE(means.size(), 2);
        QCOMPARE(means.at(0)->toolTip(), QStringLiteral("Průměr skupiny muž (n = 2): 5,5–2–1,5, vyrovnaný endomorf"));
        QCOMPARE(chartMarkers(dialog).at(0)->toolTip(),
                 QStringLiteral("Řádek 1: 3–5–2, endomorfní mezomorf\nSkupina žena"));
        QCOMPARE(chartMarkers(dialog).at(0)->pen().color(), groupColour(1));
        auto *rows = dialog.findChild<QTableWidget *>("rowsTable");
        QCOMPARE(rowTexts(rows, 2).mid(0, 2), (QStringList{"3", "muž"}));
        QCOMPARE(rowTexts(rows, 4).mid(0, 2), (QStringList{"5", ""}));
        auto *comparisons = dialog.findChild<QTableWidget *>("comparisonsTable");
        // The means of tablesOfTheAnalysis, the other way round: ΔX 3.25, ΔY 9.75.
        QCOMPARE(rowTexts(comparisons, 0), (QStringList{"muž", "žena", "11,2583", "4,61655", "ano"}));
        auto *ungrouped = dialog.findChild<QLabel *>("ungroupedLabel");
        QVERIFY(!ungrouped->isHidden());
        QCOMPARE(ungrouped->text(), QStringLiteral("Řádků bez skupiny (prázdná buňka ve sloupci „Pohlaví“): 1; "
                                                   "počítají se jen do řádku všech."));
        // The picture's legend is drawn from the same groups.
        FileDialog::setNextFileName(m_dir.filePath("pohlavi.png"));
        dialog.saveImage();
        const QImage image(m_dir.filePath("pohlavi.png"));
        // The mean of žena, the second group, at (388.250, 296.362) as in groupsFromTheBox.
        QCOMPARE(image.pixel(388, 296), groupColour(1).rgb());
        dialog.groupBy(-1);
        QVERIFY(ungrouped->isHidden());
    }

    void tablesOfTheAnalysis()
    {
        TSheldonDialog dialog;
        plotSample(dialog, 0);
        auto *rows = dialog.findChild<QTableWidget *>("rowsTable");
        QCOMPARE(rowTexts(rows, 0), (QStringList{"1", "1", "3", "5", "2", "-1", "5", "endomorfní mezomorf"}));
        QCOMPARE(rowTexts(rows, 4), (QStringList{"5", "", "4", "4", "4", "0", "0", "centrální"}));
        auto *groups = dialog.findChild<QTableWidget *>("groupsTable");
        QCOMPARE(groups->rowCount(), 3);
        // SDI of group 1: each point √(3 · 0.25² + 1.75²) = √3.25 from the mean.
        QCOMPARE(rowTexts(groups, 0),
                 (QStringList{"1", "2", "2,5", "5,5", "1,75", "-0,75", "6,75", "0,75", "1,80278", "endomorfní mezomorf"}));
        QCOMPARE(rowTexts(groups, 2).mid(0, 7), (QStringList{"", "5", "4", "3,8", "2,1", "-1,9", "1,5"}));
        auto *comparisons = dialog.findChild<QTableWidget *>("comparisonsTable");
        // ΔX 3.25, ΔY 9.75: SDD √126.75; SAD √21.3125.
        QCOMPARE(rowTexts(comparisons, 0), (QStringList{"1", "2", "11,2583", "4,61655", "ano"}));
    }

    void copyAndSaveATable()
    {
        TSheldonDialog dialog;
        plotSample(dialog, 1); // věk: 20 and 30
        dialog.findChild<QPushButton *>("tablesButton")->click();
        QVERIFY(dialog.findChild<QPushButton *>("saveButton")->isHidden());
        dialog.findChild<QTabWidget *>("tables")->setCurrentIndex(2);
        dialog.findChild<QPushButton *>("copyButton")->click();
        // Means 4-11/3-8/3 (X −4/3, Y 2/3) and 4-4-1.25 (X −2.75, Y 2.75): ΔX 17/12,
        // ΔY −25/12; SDD √(3 · (17/12)² + (25/12)²) = 3.21887; SAD √((1/3)² + (17/12)²) = 1.45535.
        const QString expected = QStringLiteral("skupina A\tskupina B\tSDD\tSAD\tvýznamný rozdíl\n"
                                                   "20\t30\t3,21887\t1,45535\tano\n");
        QCOMPARE(QGuiApplication::clipboard()->text(), expected);

        // Saved as CSV of the export dialect, ".csv" added to a bare name.
        FileDialog::setNextFileName(m_dir.filePath("porovnani"));
        dialog.findChild<QPushButton *>("saveTableButton")->click();
        QCOMPARE(FileDialog::lastTitle(), QStringLiteral("Uložit tabulku"));
        QFile saved(m_dir.filePath("porovnani.csv"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QString(expected).replace(u'\t', u';').toUtf8());

        // A file that cannot be written says so, with the reason.
        FileDialog::setNextFileName(m_dir.filePath("neni/slozka.csv"));
        MessageBox::setNextAnswer(QMessageBox::Ok);
        dialog.saveTable();
        QVERIFY(MessageBox::lastText().startsWith(QStringLiteral("Tabulku se nepodařilo uložit")));
        QVERIFY(!MessageBox::lastDetailedText().isEmpty());
    }

    // The main window hands the window the columns of the table on show, a
    // text column among them: its texts name the groups.
    void theMainWindowOffersItsColumns()
    {
        MainWindow window;
        importThroughWindow(window, m_dir, "pohlaví;endo;mezo;ekto\nžena;3;5;2\nmuž;5;2;2\n;4;4;4\n");
        withModal<TSheldonDialog>([&] { window.viewSheldon(); }, [](TSheldonDialog *dialog) {
            auto *box = dialog->findChild<QComboBox *>(QStringLiteral("groupingBox"));
            QStringList offered;
            for (int i = 0; i < box->count(); ++i)
                offered.append(box->itemText(i));
            QCOMPARE(offered, (QStringList{"bez skupin", "pohlaví", "endo", "mezo", "ekto"}));
            dialog->groupBy(0);
            auto *groups = dialog->findChild<QTableWidget *>("groupsTable");
            QCOMPARE(groups->rowCount(), 3);
            QCOMPARE(rowTexts(groups, 0).mid(0, 2), (QStringList{"muž", "1"}));
            QCOMPARE(rowTexts(groups, 1).mid(0, 2), (QStringList{"žena", "1"}));
            QCOMPARE(rowTexts(groups, 2).mid(0, 2), (QStringList{"", "3"}));
            auto *ungrouped = dialog->findChild<QLabel *>("ungroupedLabel");
            QVERIFY(!ungrouped->isHidden());
            QCOMPARE(ungrouped->text(), QStringLiteral("Řádků bez skupiny (prázdná buňka ve sloupci „pohlaví“): 1; "
                                                       "počítají se jen do řádku všech."));
        });
    }

    void savedPictureShowsTheGroups()
    {
        TSheldonDialog dialog;
        plotSample(dialog, 0);
        FileDialog::setNextFileName(m_dir.filePath("skupiny.png"));
        dialog.saveImage();
        const QImage image(m_dir.filePath("skupiny.png"));
        QCOMPARE(image.pixel(388, 296), groupColour(0).rgb());
    }
};

QTEST_MAIN(TestSomatochartGroups)
#include "tst_somatochartgroups.moc"

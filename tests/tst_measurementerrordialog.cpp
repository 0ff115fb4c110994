// The window "Chyba měření" opened from a node of the main window, offscreen:
// the repeated columns it pairs by their names, its figures copied and saved,
// a target for the relative TEM that marks a variable and is remembered, and
// the Bland–Altman plot saved through the file dialog's seam. The numbers
// themselves are tst_measurementerror's.

#include "WindowTestSupport.h"
#include "MeasurementErrorDialog.h"

#include <QClipboard>
#include <QImage>
#include <QSettings>

namespace {

const QByteArray heights = "Výška 1;Výška 2;Hmotnost\n10;11;60\n12;12;61\n14;13;62\n20;22;63\n";

// The four pairs of tst_measurementerror, and d̄ ± 1.96 √(5/3).
const QStringList figures{"Výška", "Výška 1, Výška 2", "4", "2", "14,25", "0,866025", "6,07737", "0,960674",
                          "0,966038", "0,688051", "0,997725", "0,5", "-2,03035", "3,03035", ""};

QTableWidget *resultsOf(MeasurementErrorDialog *dialog)
{
    return dialog->findChild<QTableWidget *>(QStringLiteral("resultTable"));
}

} // namespace

class TestMeasurementErrorDialog : public WindowTest {
    Q_OBJECT

    // The window of node's table, from its context menu.
    MeasurementErrorDialog *open(QTreeWidgetItem *node)
    {
        contextMenu(node, QStringLiteral("Chyba měření"));
        const auto dialogs = m_window->findChildren<MeasurementErrorDialog *>();
        return dialogs.isEmpty() ? nullptr : dialogs.last();
    }

private slots:
    void initTestCase() { startSuite(); }
    void init()
    {
        QSettings(QStringLiteral("Veritek"), QStringLiteral("Kostimer")).remove(QStringLiteral("measurementErrorTargets"));
        m_window = std::make_unique<MainWindow>();
    }
    void cleanup() { endTest(); }

    // "Výška 1" and "Výška 2" are one variable from the start; its figures
    // copied by Ctrl+C (a view that took the key for its own cell would copy
    // one field), or saved as CSV.
    void figuresCopiedAndSaved_data()
    {
        QTest::addColumn<QString>("file"); // empty: the clipboard
        QTest::newRow("copied with Ctrl+C") << "";
        QTest::newRow("saved as CSV") << "chyba";
    }

    void figuresCopiedAndSaved()
    {
        QFETCH(QString, file);
        MeasurementErrorDialog *dialog = open(importOne(heights));
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->variables().size(), size_t(1));
        QCOMPARE(dialog->variables().front().columns, (std::vector<int>{0, 1}));
        QStringList header;
        for (int c = 0; c < resultsOf(dialog)->columnCount(); ++c)
            header.append(resultsOf(dialog)->horizontalHeaderItem(c)->text());
        QCOMPARE(header.mid(2, 9), measurementErrorHeader());
        if (file.isEmpty()) {
            QGuiApplication::clipboard()->clear();
            resultsOf(dialog)->setFocus();
            QTest::keyClick(resultsOf(dialog), Qt::Key_C, Qt::ControlModifier);
            QCOMPARE(QGuiApplication::clipboard()->text(), header.join(u'\t') + u'\n' + figures.join(u'\t') + u'\n');
            return;
        }
        FileDialog::setNextFileName(m_dir.filePath(file));
        dialog->findChild<QPushButton *>(QStringLiteral("saveButton"))->click();
        QCOMPARE(QString::fromUtf8(contentOf(m_dir.filePath(file + QStringLiteral(".csv")))),
                 header.join(u';') + u'\n' + figures.join(u';') + u'\n');
    }

    // A target under the relative TEM (6,07737 %) tints its cell and says
    // why; the next window, from the Funkce menu, has it still; a higher one
    // takes the mark away.
    void targetMarksAVariable()
    {
        MeasurementErrorDialog *dialog = open(importOne(heights));
        QVERIFY(dialog);
        QTableWidget *table = resultsOf(dialog);
        const int target = table->columnCount() - 1;
        const int relative = 6;
        QCOMPARE(table->horizontalHeaderItem(relative)->text(), QStringLiteral("relativní TEM (%)"));
        QVERIFY(!dialog->isOverTarget(0));
        table->item(0, target)->setText(QStringLiteral("5"));
        QVERIFY(dialog->isOverTarget(0));
        QCOMPARE(table->item(0, relative)->background().style(), Qt::SolidPattern);
        QCOMPARE(table->item(0, relative)->toolTip(), QStringLiteral("Relativní TEM 6,07737 % je nad cílem 5 %."));
        delete dialog;

        m_window->findChild<QAction *>(QStringLiteral("measurementErrorAction"))->trigger();
        dialog = m_window->findChild<MeasurementErrorDialog *>();
        QVERIFY(dialog);
        table = resultsOf(dialog);
        QCOMPARE(table->item(0, target)->text(), QStringLiteral("5"));
        QVERIFY(dialog->isOverTarget(0));
        table->item(0, target)->setText(QStringLiteral("6,5"));
        QVERIFY(!dialog->isOverTarget(0));
        QCOMPARE(table->item(0, relative)->background().style(), Qt::NoBrush);
        QCOMPARE(table->item(0, relative)->toolTip(), QString());
    }

    // The plot of the pairs (means 10,5 to 21, differences 1, 0, −1, 2) saved
    // as the name says: SVG with its Czech axis titles, else PNG.
    void plotSaved_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("written");
        QTest::newRow("png") << "graf" << "graf.png";
        QTest::newRow("svg") << "graf.svg" << "graf.svg";
    }

    void plotSaved()
    {
        QFETCH(QString, name);
        QFETCH(QString, written);
        MeasurementErrorDialog *dialog = open(importOne(heights));
        QVERIFY(dialog && dialog->plot());
        QCOMPARE(dialog->plot()->points.means, (std::vector<double>{10.5, 12, 13.5, 21}));
        QCOMPARE(dialog->plot()->points.differences, (std::vector<double>{1, 0, -1, 2}));
        FileDialog::setNextFileName(m_dir.filePath(name));
        dialog->findChild<QPushButton *>(QStringLiteral("savePlotButton"))->click();
        const QString path = m_dir.filePath(written);
        if (written.endsWith(QStringLiteral(".svg"))) {
            const QString svg = QString::fromUtf8(contentOf(path));
            QVERIFY2(svg.contains(blandAltmanXTitle()) && svg.contains(blandAltmanYTitle()), qPrintable(svg.left(400)));
        } else {
            QCOMPARE(QImage(path).size(), QSize(BlandAltman::width, BlandAltman::height));
        }
    }
};

QTEST_MAIN(TestMeasurementErrorDialog)
#include "tst_measurementerrordialog.moc"

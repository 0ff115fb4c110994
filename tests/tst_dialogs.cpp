// The rename and insert wizards, the function wizards and the somatotype
// chart, each driven as a user would, offscreen.

#include "FileDialog.h"
#include "MessageBox.h"
#include "MethodCatalog.h"
#include "SomatoChart.h"
#include "TCustomFunctionWizard.h"
#include "TExponencialFunctionWizard.h"
#include "TInsertWizard.h"
#include "TRenameWizard.h"
#include "TSheldonDialog.h"
#include "TTableModel.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGraphicsPixmapItem>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QScrollBar>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using Row = QList<double>;
using Rows = QList<Row>;

Q_DECLARE_METATYPE(Row)
Q_DECLARE_METATYPE(Rows)

namespace {

std::unique_ptr<TTableModel> sourceTable(const Rows &rows, const QStringList &headers = {})
{
    auto table = std::make_unique<TTableModel>(nullptr);
    table->appendRows(rows);
    for (int c = 0; c < headers.size(); ++c)
        table->setHeaderData(c + 1, Qt::Horizontal, headers.at(c), Qt::DisplayRole);
    return table;
}

QStringList headersOf(const QAbstractItemModel &table)
{
    QStringList headers;
    for (int s = 1; s < table.columnCount(); ++s)
        headers.append(table.headerData(s, Qt::Horizontal).toString());
    return headers;
}

// Runs the dialog modally; drive acts on it while it is open. Returns exec()'s result.
int run(QDialog &dialog, const std::function<void()> &drive)
{
    bool driven = false;
    QTimer::singleShot(0, [&] {
        QTRY_VERIFY(QApplication::activeModalWidget() == &dialog);
        drive();
        driven = true;
    });
    const int result = dialog.exec();
    [&] { QVERIFY(driven); }();
    return result;
}

void press(QDialog &dialog, QDialogButtonBox::StandardButton button)
{
    dialog.findChild<QDialogButtonBox *>("buttonBox")->button(button)->click();
}

// The open editor of a cell.
QLineEdit *editorOf(QTableWidget *grid)
{
    for (QLineEdit *editor : grid->viewport()->findChildren<QLineEdit *>())
        if (editor->isVisible())
            return editor;
    return nullptr;
}

// Types text into a cell as a user does: opens its editor, replaces the text
// and leaves the editor open, as when OK is clicked straight away.
QLineEdit *typeInto(QTableWidget *grid, int row, int column, const QString &text)
{
    grid->setCurrentCell(row, column);
    if (!grid->item(row, column))
        grid->setItem(row, column, new QTableWidgetItem());
    grid->editItem(grid->item(row, column));
    QLineEdit *editor = editorOf(grid);
    if (!editor)
        return nullptr;
    editor->selectAll();
    if (text.isEmpty())
        QTest::keyClick(editor, Qt::Key_Delete);
    else
        QTest::keyClicks(editor, text);
    return editor;
}

// Puts text into a cell and confirms it with Enter.
void enter(QTableWidget *grid, int row, int column, const QString &text)
{
    QLineEdit *editor = typeInto(grid, row, column, text);
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate commits and closes the editor on the next turn of the loop.
    QTRY_VERIFY(!editorOf(grid));
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    static QTableWidget *grid(QDialog &dialog) { return dialog.findChild<QTableWidget *>("tableWidget"); }

    static QCheckBox *mark(TInsertWizard &wizard, int row)
    {
        return qobject_cast<QCheckBox *>(grid(wizard)->cellWidget(row, 0));
    }

    static QList<QLineEdit *> members(TCustomFunctionWizard &wizard)
    {
        return wizard.findChildren<QLineEdit *>();
    }

    static QString equation(TCustomFunctionWizard &wizard) { return wizard.findChild<QLabel *>("equLabel")->text(); }

    static QPushButton *button(TCustomFunctionWizard &wizard, const char *text)
    {
        for (QPushButton *b : wizard.findChildren<QPushButton *>())
            if (b->text() == QString::fromUtf8(text))
                return b;
        return nullptr;
    }

    // Row and column of a widget in the members' grid.
    static QPoint cellOf(TCustomFunctionWizard &wizard, QWidget *widget)
    {
        auto *layout = wizard.findChild<QGridLayout *>();
        int row = -1, column = -1, rows = 0, columns = 0;
        layout->getItemPosition(layout->indexOf(widget), &row, &column, &rows, &columns);
        return QPoint(column, row);
    }

    static QList<QGraphicsRectItem *> markers(TSheldonDialog &dialog)
    {
        QList<QGraphicsRectItem *> found;
        const QList<QGraphicsItem *> items = dialog.scene()->items(Qt::AscendingOrder);
        for (QGraphicsItem *item : items)
            if (auto *rect = qgraphicsitem_cast<QGraphicsRectItem *>(item))
                found.append(rect);
        return found;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        buildMethodCatalog();
        MessageBox::requireQueuedAnswers(true);
        FileDialog::requireQueuedAnswers(true);
    }

    void cleanup()
    {
        QVERIFY(!MessageBox::hasQueuedAnswer());
        QVERIFY(!FileDialog::hasQueuedAnswer());
    }

    // Rename wizard.

    void renameShowsTheTitles()
    {
        auto table = sourceTable({{1, 2, 3}}, {"A", "B", "C"});
        TRenameWizard wizard;
        wizard.setModel(table.get());
        QCOMPARE(wizard.windowTitle(), QString::fromUtf8("Průvodce přejmenováním sloupců"));
        QCOMPARE(grid(wizard)->rowCount(), 1);
        QCOMPARE(grid(wizard)->columnCount(), 3);
        for (int c = 0; c < 3; ++c)
            QCOMPARE(grid(wizard)->item(0, c)->text(), QString(QChar(u'A' + c)));
        QCOMPARE(grid(wizard)->item(0, 0)->flags(), Qt::ItemIsEditable | Qt::ItemIsEnabled);
    }

    void renameTakesEveryCell_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("headers");
        QTest::newRow("OK") << int(QDialogButtonBox::Ok) << "X" << QStringList{"A", "X", "C"};
        QTest::newRow("emptied cell") << int(QDialogButtonBox::Ok) << "" << QStringList{"A", "", "C"};
        QTest::newRow("Cancel") << int(QDialogButtonBox::Cancel) << "X" << QStringList{"A", "B", "C"};
    }

    void renameTakesEveryCell()
    {
        QFETCH(int, button);
        QFETCH(QString, typed);
        auto table = sourceTable({{1, 2, 3}}, {"A", "B", "C"});
        TRenameWizard wizard;
        wizard.setModel(table.get());
        // OK is clicked with the editor still open: the text typed counts.
        const int result = run(wizard, [&] {
            QVERIFY(typeInto(grid(wizard), 0, 1, typed));
            press(wizard, QDialogButtonBox::StandardButton(button));
        });
        QCOMPARE(result, button == QDialogButtonBox::Ok ? int(QDialog::Accepted) : int(QDialog::Rejected));
        QTEST(headersOf(*table), "headers");
    }

    void renameOfATableWithoutColumns()
    {
        TTableModel table(nullptr);
        TRenameWizard wizard;
        wizard.setModel(&table);
        QCOMPARE(grid(wizard)->columnCount(), 0);
        QCOMPARE(run(wizard, [&] { press(wizard, QDialogButtonBox::Ok); }), int(QDialog::Accepted));
        QVERIFY(table.headers().isEmpty());
    }

    // Insert wizard.

    void insertGridForAMethod()
    {
        TTableModel table(2, nullptr); // body mass index: two inputs
        TInsertWizard wizard;
        wizard.setModel(&table);
        QCOMPARE(wizard.windowTitle(), QString::fromUtf8("Průvodce vkládáním řádků"));
        QCOMPARE(grid(wizard)->rowCount(), 30);
        QCOMPARE(grid(wizard)->columnCount(), 3);
        QCOMPARE(grid(wizard)->horizontalHeaderItem(0)->text(), QString::fromUtf8("Přidat"));
        QCOMPARE(grid(wizard)->horizontalHeaderItem(1)->text(), QString::fromUtf8("Hmotnost (kg)"));
        QCOMPARE(grid(wizard)->horizontalHeaderItem(2)->text(), QString::fromUtf8("Výška (m)"));
        for (int r = 0; r < 30; ++r) {
            QCOMPARE(mark(wizard, r)->text(), QStringLiteral("Ne"));
            QVERIFY(!mark(wizard, r)->isChecked());
            QVERIFY(!mark(wizard, r)->isEnabled());
        }
    }

    void insertMarksCompleteRows()
    {
        TTableModel table(2, nullptr);
        TInsertWizard wizard;
        wizard.setModel(&table);
        run(wizard, [&] {
            enter(grid(wizard), 0, 1, "170");
            QCOMPARE(mark(wizard, 0)->text(), QStringLiteral("Ne"));
            enter(grid(wizard), 0, 2, "65");
            QCOMPARE(mark(wizard, 0)->text(), QStringLiteral("Ano"));
            QVERIFY(mark(wizard, 0)->isChecked());
            enter(grid(wizard), 0, 1, "");
            QCOMPARE(mark(wizard, 0)->text(), QStringLiteral("Ne"));
            QVERIFY(!mark(wizard, 0)->isChecked());
            // A blank is no number, and letters never get in.
            enter(grid(wizard), 0, 1, " ");
            QCOMPARE(mark(wizard, 0)->text(), QStringLiteral("Ne"));
            enter(grid(wizard), 0, 1, "1a7b0");
            QCOMPARE(grid(wizard)->item(0, 1)->text(), QStringLiteral("170"));
            QCOMPARE(mark(wizard, 0)->text(), QStringLiteral("Ano"));
            MessageBox::setNextAnswer(QMessageBox::Discard); // rows are typed: Cancel asks
            press(wizard, QDialogButtonBox::Cancel);
        });
    }

    void insertTakesCompleteRowsOnly_data()
    {
        QTest::addColumn<QStringList>("row0");
        QTest::addColumn<QStringList>("row1");
        QTest::addColumn<QStringList>("row2");
        QTest::addColumn<QString>("problem");
        QTest::addColumn<Rows>("rows");
        // Rows as wide as the table: weight, height, then 0 for the BMI.
        QTest::newRow("rows 0 and 2, row 1 empty")
            << QStringList{"70", "1,75"} << QStringList{"", ""} << QStringList{"60", "1.5"} << QString()
            << Rows{{70, 1.75, 0}, {60, 1.5, 0}};
        QTest::newRow("row 1 half filled")
            << QStringList{"70", "1,75"} << QStringList{"80", ""} << QStringList{"60", "1.5"}
            << QString::fromUtf8("Řádek 2 není úplný: chybí „Výška (m)“.") << Rows{};
        QTest::newRow("nothing complete") << QStringList{"", ""} << QStringList{"", "2"} << QStringList{"", ""}
                                          << QString::fromUtf8("Řádek 2 není úplný: chybí „Hmotnost (kg)“.")
                                          << Rows{};
        QTest::newRow("nothing typed") << QStringList{"", ""} << QStringList{"", ""} << QStringList{"", ""}
                                       << QString() << Rows{};
    }

    // A row begun but not finished is never dropped in silence: the wizard
    // stays open and says which row lacks what.
    void insertTakesCompleteRowsOnly()
    {
        QFETCH(QStringList, row0);
        QFETCH(QStringList, row1);
        QFETCH(QStringList, row2);
        QFETCH(QString, problem);
        TTableModel table(2, nullptr);
        TInsertWizard wizard;
        wizard.setModel(&table);
        const int result = run(wizard, [&] {
            const QList<QStringList> typed{row0, row1, row2};
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 2; ++c)
                    if (!typed[r][c].isEmpty())
                        enter(grid(wizard), r, c + 1, typed[r][c]);
            if (!problem.isEmpty())
                MessageBox::setNextAnswer(QMessageBox::Ok);
            press(wizard, QDialogButtonBox::Ok);
            if (!problem.isEmpty()) {
                QVERIFY(wizard.isVisible());
                QCOMPARE(MessageBox::lastText(), problem);
                MessageBox::setNextAnswer(QMessageBox::Discard);
                press(wizard, QDialogButtonBox::Cancel);
            }
        });
        QCOMPARE(result, int(problem.isEmpty() ? QDialog::Accepted : QDialog::Rejected));
        if (problem.isEmpty())
            QTEST(wizard.rows(), "rows");
    }

    void insertForASourceTableTakesEveryColumn()
    {
        auto table = sourceTable({{1, 2, 3}}, {"a", "b", "c"});
        TInsertWizard wizard;
        wizard.setModel(table.get());
        QCOMPARE(grid(wizard)->columnCount(), 4);
        QCOMPARE(grid(wizard)->horizontalHeaderItem(3)->text(), QStringLiteral("c"));
        run(wizard, [&] {
            enter(grid(wizard), 4, 1, "4");
            enter(grid(wizard), 4, 2, "-5,5");
            enter(grid(wizard), 4, 3, "6e2");
            press(wizard, QDialogButtonBox::Ok);
        });
        QCOMPARE(wizard.rows(), (Rows{{4, -5.5, 600}}));
    }

    void insertForATableWithoutInputs()
    {
        TTableModel table(nullptr);
        TInsertWizard wizard;
        wizard.setModel(&table);
        QCOMPARE(grid(wizard)->columnCount(), 1);
        QCOMPARE(wizard.rows(), Rows{});
    }

    // Function wizards.

    void functionWizardStartsWithTheConstant()
    {
        TCustomFunctionWizard wizard;
        QCOMPARE(wizard.windowTitle(), QString::fromUtf8("Vlastní funkce"));
        QCOMPARE(wizard.members(), 1);
        QCOMPARE(equation(wizard), QStringLiteral("y = 1"));
        QVERIFY(button(wizard, "Odebrat tento člen")->isHidden());
        QCOMPARE(wizard.findChildren<QLabel *>().size(), 2); // the equation and "Konstantní člen"
        TExponencialFunctionWizard exponential;
        QCOMPARE(equation(exponential), QStringLiteral("y = 1"));
    }

    void equations_data()
    {
        QTest::addColumn<bool>("exponential");
        QTest::addColumn<QString>("text");
        QTest::newRow("polynomial") << false << "y = 1x<sup>2</sup> + 1x<sup>1</sup> + 1";
        QTest::newRow("exponential") << true << "y = 1e<sup>x2</sup> + 1e<sup>x1</sup> + 1";
    }

    void equations()
    {
        QFETCH(bool, exponential);
        std::unique_ptr<TCustomFunctionWizard> wizard =
            exponential ? std::make_unique<TExponencialFunctionWizard>() : std::make_unique<TCustomFunctionWizard>();
        button(*wizard, "Přidat další člen")->click();
        button(*wizard, "Přidat další člen")->click();
        QTEST(equation(*wizard), "text");
    }

    void equationFollowsEveryMember()
    {
        TCustomFunctionWizard wizard;
        button(wizard, "Přidat další člen")->click();
        members(wizard).at(0)->setText("2");
        QCOMPARE(equation(wizard), QStringLiteral("y = 1x<sup>1</sup> + 2"));
        members(wizard).at(1)->setText("-3");
        QCOMPARE(equation(wizard), QStringLiteral("y = -3x<sup>1</sup> + 2"));
        // Text is shown as text.
        members(wizard).at(0)->setText("<b>");
        QCOMPARE(equation(wizard), QStringLiteral("y = -3x<sup>1</sup> + &lt;b&gt;"));
    }

    void addingAndRemovingMembers()
    {
        TCustomFunctionWizard wizard;
        QPushButton *add = button(wizard, "Přidat další člen");
        QPushButton *remove = button(wizard, "Odebrat tento člen");
        add->click();
        add->click();
        QCOMPARE(wizard.members(), 3);
        QCOMPARE(cellOf(wizard, add), QPoint(2, 2));
        QCOMPARE(cellOf(wizard, remove), QPoint(3, 2));
        remove->click();
        QCOMPARE(wizard.members(), 2);
        QVERIFY(!remove->isHidden());
        QCOMPARE(cellOf(wizard, remove), QPoint(3, 1));
        QCOMPARE(cellOf(wizard, add), QPoint(2, 1));
        QCOMPARE(members(wizard).size(), 2);
        QCOMPARE(equation(wizard), QStringLiteral("y = 1x<sup>1</sup> + 1"));
        remove->click();
        QCOMPARE(wizard.members(), 1);
        QVERIFY(remove->isHidden());
        QCOMPARE(cellOf(wizard, add), QPoint(2, 0));
        QCOMPARE(equation(wizard), QStringLiteral("y = 1"));
    }

    void memberLabels()
    {
        TCustomFunctionWizard wizard;
        button(wizard, "Přidat další člen")->click();
        button(wizard, "Přidat další člen")->click();
        auto *layout = wizard.findChild<QGridLayout *>();
        QCOMPARE(qobject_cast<QLabel *>(layout->itemAtPosition(0, 0)->widget())->text(),
                 QString::fromUtf8("Konstantní člen"));
        QCOMPARE(qobject_cast<QLabel *>(layout->itemAtPosition(2, 0)->widget())->text(),
                 QStringLiteral("2. koeficient"));
    }

    void coefficientsAsTyped()
    {
        TCustomFunctionWizard wizard;
        button(wizard, "Přidat další člen")->click();
        button(wizard, "Přidat další člen")->click();
        button(wizard, "Přidat další člen")->click();
        const QList<QLineEdit *> edits = members(wizard);
        edits[0]->setText("2");
        edits[1]->setText("3");
        edits[2]->setText("0.5");
        edits[3]->setText("");
        QCOMPARE(wizard.coefficients(), (std::vector<double>{2, 3, 0.5, 0}));
        edits[2]->setText("0,25");
        QCOMPARE(wizard.coefficients()[2], 0.25);
    }

    // Typed, not set: the field must let both decimal marks through whatever
    // the locale, and read them alike.
    void coefficientsTypedUnderAnyLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("value");
        for (const char *locale : {"cs_CZ", "en_US", "C"}) {
            QTest::addRow("%s comma", locale) << locale << "1,5" << 1.5;
            QTest::addRow("%s point", locale) << locale << "-0.25" << -0.25;
            QTest::addRow("%s comma is no group", locale) << locale << "1,750" << 1.75;
            QTest::addRow("%s grouped", locale) << locale << "1 250,5" << 1250.5;
            QTest::addRow("%s exponent", locale) << locale << "2,5e-3" << 0.0025;
            QTest::addRow("%s letters refused", locale) << locale << "1x5" << 15.0;
        }
    }

    void coefficientsTypedUnderAnyLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QString, typed);
        QFETCH(double, value);
        const QLocale before;
        QLocale::setDefault(QLocale(locale));
        TCustomFunctionWizard wizard;
        QLineEdit *edit = members(wizard).first();
        edit->clear();
        QTest::keyClicks(edit, typed);
        QLocale::setDefault(before);
        QCOMPARE(wizard.coefficients().front(), value);
    }

    void functionWizardAnswers_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("result");
        QTest::newRow("OK") << int(QDialogButtonBox::Ok) << int(QDialog::Accepted);
        QTest::newRow("Cancel") << int(QDialogButtonBox::Cancel) << int(QDialog::Rejected);
    }

    void functionWizardAnswers()
    {
        QFETCH(int, button);
        TExponencialFunctionWizard wizard;
        QTEST(run(wizard, [&] { press(wizard, QDialogButtonBox::StandardButton(button)); }), "result");
    }

    // Somatotype chart.

    void chartShowsTheBackground()
    {
        TSheldonDialog dialog;
        QCOMPARE(dialog.windowTitle(), QString::fromUtf8("Sheldonův trojúhelník"));
        QVERIFY(dialog.isModal());
        const QList<QGraphicsItem *> items = dialog.scene()->items();
        QCOMPARE(items.size(), 1);
        auto *background = qgraphicsitem_cast<QGraphicsPixmapItem *>(items.first());
        QVERIFY(background);
        QCOMPARE(background->boundingRect(), QRectF(0, 0, 839, 768));
        QCOMPARE(background->pos(), QPointF(0, 0));
        // The whole chart fits, without scroll bars.
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *view = dialog.findChild<QGraphicsView *>("graphicsView");
        QVERIFY(!view->horizontalScrollBar()->isVisible());
        QVERIFY(!view->verticalScrollBar()->isVisible());
        QCOMPARE(view->viewport()->size(), QSize(839, 768));
    }

    // The picture is drawn from the markers' geometry: the triangle's corners
    // and the point of 4-4-4 lie under the markers of 7-1-1, 1-7-1, 1-1-7 and 4-4-4.
    void backgroundMatchesTheMarkers_data()
    {
        QTest::addColumn<QPointF>("point");
        QTest::newRow("4-4-4") << QPointF(424, 476);
        QTest::newRow("1-7-1") << QPointF(424, 156.644);
        QTest::newRow("7-1-1") << QPointF(137.998, 635.678);
        QTest::newRow("1-1-7") << QPointF(710.002, 635.678);
    }

    void backgroundMatchesTheMarkers()
    {
        QFETCH(QPointF, point);
        const QImage image(QStringLiteral(":/icons/sheldon.png"));
        QCOMPARE(image.size(), QSize(839, 768));
        auto dark = [&](int x, int y) { return qGray(image.pixel(x, y)) < 160; };
        bool found = false;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                found = found || dark(qRound(point.x()) + dx, qRound(point.y()) + dy);
        QVERIFY(found);
        // 30 pixels away inside the triangle there is only paper and grid.
        QVERIFY(!dark(qRound(point.x()) + (point.x() < 424 ? 30 : -30), qRound(point.y()) - 3));
    }

    void markers_data()
    {
        QTest::addColumn<Row>("row");
        QTest::addColumn<QRectF>("square");
        QTest::newRow("4-4-4") << Row{4, 4, 4} << QRectF(419, 471, 10, 10);
        // 476 - 12 * 26.613 = 156.644.
        QTest::newRow("1-7-1") << Row{1, 7, 1} << QRectF(419, 151.644, 10, 10);
        // 424 - 6 * 47.667 = 137.998; 476 + 6 * 26.613 = 635.678.
        QTest::newRow("7-1-1") << Row{7, 1, 1} << QRectF(132.998, 630.678, 10, 10);
        QTest::newRow("1-1-7") << Row{1, 1, 7} << QRectF(705.002, 630.678, 10, 10);
        // A Heath-Carter row: the last three of its values count, 3-5-2:
        // 424 - 47.667 = 376.333; 476 - 5 · 26.613 = 342.935.
        QTest::newRow("last three of thirteen")
            << Row{170, 70, 10, 12, 15, 30, 36, 9.5, 7, 0.4, 3, 5, 2} << QRectF(371.333, 337.935, 10, 10);
        // 476 - (24 - 1 - 1) · 26.613 = -109.486: above the image.
        QTest::newRow("outside the image") << Row{1, 12, 1} << QRectF(419, -114.486, 10, 10);
    }

    void markers()
    {
        QFETCH(Row, row);
        QFETCH(QRectF, square);
        auto table = sourceTable({row});
        TSheldonDialog dialog;
        dialog.plot(table.get());
        const QList<QGraphicsRectItem *> found = markers(dialog);
        QCOMPARE(found.size(), 1);
        const QRectF rect = found.first()->rect();
        QVERIFY2(qAbs(rect.x() - square.x()) < 1e-9 && qAbs(rect.y() - square.y()) < 1e-9,
                 qPrintable(QStringLiteral("%1, %2").arg(rect.x(), 0, 'f', 6).arg(rect.y(), 0, 'f', 6)));
        QCOMPARE(rect.size(), QSizeF(10, 10));
        QCOMPARE(found.first()->pen().color(), QColor(Qt::blue));
        QCOMPARE(found.first()->brush().style(), Qt::NoBrush);
        // Above the background.
        QCOMPARE(dialog.scene()->items(Qt::DescendingOrder).first(), found.first());
    }

    void everyRowButShortOnes()
    {
        auto table = sourceTable({{4, 4, 4}, {1, 7}, {4, 4, 4}, {1, 1, 7}});
        table->setData(table->index(2, 0), int(Qt::Unchecked), Qt::CheckStateRole);
        TSheldonDialog dialog;
        dialog.plot(table.get());
        // Unchecked rows too; the row of two values is left out.
        QCOMPARE(markers(dialog).size(), 3);
        QCOMPARE(dialog.somatotypes().size(), size_t(3));
    }

    void emptyTableShowsTheBackgroundAlone()
    {
        TTableModel table(43, nullptr);
        TSheldonDialog dialog;
        dialog.plot(&table);
        QCOMPARE(dialog.scene()->items().size(), 1);
    }

    void savedImage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("written");
        QTest::newRow("PNG") << "graf.png" << "graf.png";
        QTest::newRow("no ending") << "graf" << "graf.png";
        QTest::newRow("another ending") << "graf.jpg" << "graf.jpg.png";
        QTest::newRow("SVG") << "graf.svg" << "graf.svg";
    }

    void savedImage()
    {
        QFETCH(QString, name);
        QFETCH(QString, written);
        const QString folder = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(folder));
        auto table = sourceTable({{4, 4, 4}, {1, 7, 1}, {7, 1, 1}});
        TSheldonDialog dialog;
        dialog.plot(table.get());
        FileDialog::setNextFileName(QDir(folder).filePath(name));
        const int warnings = MessageBox::count();
        dialog.findChild<QPushButton *>("saveButton")->click();
        QCOMPARE(MessageBox::count(), warnings);
        QCOMPARE(FileDialog::lastTitle(), QString::fromUtf8("Uložit obrázek"));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{written});

        QFile file(QDir(folder).filePath(written));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        if (written.endsWith(QLatin1String(".svg"))) {
            QVERIFY(bytes.startsWith("<?xml"));
            QVERIFY(bytes.contains("viewBox=\"0 0 839 768\""));
            QVERIFY(bytes.contains("stroke=\"#0000ff\""));
            return;
        }
        const QImage image = QImage::fromData(bytes, "PNG");
        QCOMPARE(image.size(), QSize(839, 768));
        // The markers' blue left edges: x = 419, 419 and 132.998.
        const QRgb blue = qRgb(0, 0, 255);
        QCOMPARE(image.pixel(419, 476), blue);
        QCOMPARE(image.pixel(419, 157), blue);
        QVERIFY(image.pixel(133, 636) == blue || image.pixel(132, 636) == blue);
        // Nowhere blue without a marker: the square of 1-1-7 is not drawn.
        QVERIFY(image.pixel(705, 636) != blue);
    }

    void imageThatCannotBeSavedIsReported()
    {
        TSheldonDialog dialog;
        FileDialog::setNextFileName(m_dir.filePath("no/such/folder/graf.png"));
        MessageBox::setNextAnswer(QMessageBox::Ok);
        dialog.saveImage();
        QCOMPARE(MessageBox::lastTitle(), QString::fromUtf8("Uložit obrázek"));
        QCOMPARE(MessageBox::lastText(), QString::fromUtf8("Obrázek se nepodařilo uložit."));
    }

    void cancelledSaveWritesNothing()
    {
        TSheldonDialog dialog;
        FileDialog::setNextFileName(QString());
        const int warnings = MessageBox::count();
        dialog.saveImage();
        QCOMPARE(MessageBox::count(), warnings);
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"

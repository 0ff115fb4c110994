#pragma once
// Driving the program's windows offscreen as a user would: every prompt
// answered by the test, context menus chosen from without a person, and no
// dialog left waiting for one. A dialog a failed check left open is closed at
// once, and one nobody drives fails the test within seconds.

#include "FileDialog.h"
#include "ImportDialog.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "MethodCatalog.h"
#include "PopupMenu.h"
#include "TDataWizard.h"
#include "TSheldonDialog.h"
#include "TTableModel.h"
#include "TestFiles.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QMenu>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <functional>
#include <memory>

// A dialog that waits for an answer: any modal one but the progress of long
// work, which ends by itself.
inline bool isWaitingDialog(QWidget *widget)
{
    return widget && widget->isVisible() && widget->isModal() && qobject_cast<QDialog *>(widget)
           && !qobject_cast<QProgressDialog *>(widget);
}

// Closes every dialog still waiting but those kept, without the question its
// own Cancel may ask.
inline void closeWaitingDialogs(const QWidgetList &kept = {})
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (isWaitingDialog(widget) && !kept.contains(widget))
            static_cast<QDialog *>(widget)->done(QDialog::Rejected);
}

// Fails the test for the dialog that should not be open, and closes it.
inline void failAndClose(const QByteArray &why, QWidget *dialog)
{
    QTest::qFail((why + dialog->metaObject()->className()).constData(), __FILE__, __LINE__);
    closeWaitingDialogs();
}

// A dialog left waiting for ten seconds (one that opened where the test
// expected none, or that a test forgot) fails the test and is closed.
inline void watchForForgottenDialogs()
{
    static QPointer<QTimer> timer;
    if (timer)
        return;
    timer = new QTimer(qApp);
    auto watched = std::make_shared<std::pair<QPointer<QWidget>, QElapsedTimer>>();
    QObject::connect(timer, &QTimer::timeout, [watched] {
        QWidget *open = QApplication::activeModalWidget();
        if (!isWaitingDialog(open) || watched->first != open) {
            watched->first = isWaitingDialog(open) ? open : nullptr;
            watched->second.start();
        } else if (watched->second.elapsed() > 10000) {
            failAndClose("a dialog nobody answers: ", open);
        }
    });
    timer->start(100);
}

// Settings of their own; a prompt, file dialog or context menu nobody queued
// an answer for stops the test, and so does a dialog nobody drives. A file
// imported without an answer for its preview is taken as it was found to be
// written.
inline void requireQueuedAnswers()
{
    QStandardPaths::setTestModeEnabled(true);
    MessageBox::requireQueuedAnswers(true);
    FileDialog::requireQueuedAnswers(true);
    PopupMenu::requireQueuedChoices(true);
    ImportDialog::acceptDetectedWhenUnqueued(true);
    watchForForgottenDialogs();
}

// Every answer queued was asked for: none is left to confuse what follows.
inline void verifyAnswersTaken()
{
    const bool left = MessageBox::hasQueuedAnswer() || FileDialog::hasQueuedAnswer() || ImportDialog::hasQueuedAnswer();
    MessageBox::clearQueuedAnswers();
    FileDialog::clearQueuedAnswers();
    ImportDialog::clearQueuedAnswers();
    QVERIFY2(!left, "a prompt the test expected was never asked");
}

// Runs act, during which a modal dialog of type T must open, and hands it to
// drive. Whatever is still open when drive returns is closed, also when a
// check in drive failed and returned early; another dialog, or none, fails.
template <typename T>
void withModal(const std::function<void()> &act, const std::function<void(T *)> &drive)
{
    bool driven = false;
    QWidgetList before; // those of an outer drive stay
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (isWaitingDialog(widget))
            before.append(widget);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *open = QApplication::activeModalWidget();
        if (!isWaitingDialog(open) || before.contains(open))
            return;
        poll.stop();
        const auto close = qScopeGuard([&] { closeWaitingDialogs(before); });
        auto *dialog = qobject_cast<T *>(open);
        QVERIFY2(dialog, open->metaObject()->className());
        driven = true;
        drive(dialog);
    });
    poll.start(5);
    act();
    poll.stop();
    QVERIFY2(driven, "the expected dialog did not open");
}

// Runs act, during which no dialog may open: one that does fails the test
// and is closed.
inline void withoutModal(const std::function<void()> &act)
{
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [] {
        if (QWidget *open = QApplication::activeModalWidget(); isWaitingDialog(open))
            failAndClose("unexpected dialog: ", open);
    });
    poll.start(5);
    act();
}

// Runs the test's own dialog modally; drive acts on it while it is open.
// Returns exec()'s result.
inline int execDriven(QDialog &dialog, const std::function<void()> &drive)
{
    int result = -1;
    withModal<QDialog>([&] { result = dialog.exec(); }, [&](QDialog *open) {
        QCOMPARE(open, &dialog);
        drive();
    });
    return result;
}

// The grid of a wizard: the mapping's lists, the cells to rename or type into.
inline QTableWidget *gridOf(QWidget *dialog)
{
    return dialog->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
}

inline void press(QDialog *dialog, QDialogButtonBox::StandardButton button)
{
    dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->button(button)->click();
}

inline QPushButton *findButton(QWidget *dialog, const QString &text)
{
    for (QPushButton *button : dialog->findChildren<QPushButton *>())
        if (button->text() == text)
            return button;
    return nullptr;
}

// Input i of the column-mapping wizard from data column columns[i], then OK;
// no columns: Cancel.
inline void mapColumns(TDataWizard *wizard, const QList<int> &columns)
{
    for (int input = 0; input < columns.size(); ++input)
        qobject_cast<QComboBox *>(gridOf(wizard)->cellWidget(0, columns[input]))->setCurrentIndex(input + 1);
    press(wizard, columns.isEmpty() ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok);
}

// The squares of the somatotypes on the chart, in the order of their rows.
inline QList<QGraphicsRectItem *> chartMarkers(const TSheldonDialog &dialog)
{
    QList<QGraphicsRectItem *> found;
    for (QGraphicsItem *item : dialog.scene()->items(Qt::AscendingOrder))
        if (auto *rect = qgraphicsitem_cast<QGraphicsRectItem *>(item))
            found.append(rect);
    return found;
}

// The entry of the menu, or of one of its submenus, with that text.
inline QAction *findMenuEntry(QMenu &menu, const QString &text)
{
    for (QAction *action : menu.actions()) {
        if (action->text() == text)
            return action;
        if (action->menu())
            if (QAction *inner = findMenuEntry(*action->menu(), text))
                return inner;
    }
    return nullptr;
}

inline PopupMenu::Chooser menuEntry(const QString &text)
{
    return [text](QMenu &menu) { return findMenuEntry(menu, text); };
}

inline QString methodTitle(int id)
{
    return MethodCatalog[size_t(id)].title;
}

// The menu's entries as shown, "---" for a separator.
inline QStringList entryTexts(const QMenu &menu)
{
    QStringList texts;
    for (QAction *action : menu.actions())
        texts.append(action->isSeparator() ? QStringLiteral("---") : action->text());
    return texts;
}

// Imports content as the file name through the window's import, as a user
// choosing it would, and returns its node.
inline QTreeWidgetItem *importThroughWindow(MainWindow &window, const QTemporaryDir &dir, const QByteArray &content,
                                            const QString &name = QStringLiteral("lide.csv"))
{
    FileDialog::setNextFileNames({writeFile(dir, name, content)});
    window.loadCSV();
    QTreeWidget *tree = window.tree();
    return tree->topLevelItem(tree->topLevelItemCount() - 1);
}

// Opens the tree's context menu on node (nullptr: empty space), node alone
// selected, and hands the menu to chooser.
inline void openContextMenu(MainWindow &window, QTreeWidgetItem *node, const PopupMenu::Chooser &chooser)
{
    QTreeWidget *tree = window.tree();
    PopupMenu::setNextChoice(chooser);
    const QPoint at = node ? tree->visualItemRect(node).center() : QPoint(5, tree->viewport()->height() - 5);
    if (node) {
        tree->clearSelection();
        node->setSelected(true);
    }
    window.treeContextMenu(at);
}

inline void uncheckRow(QTreeWidgetItem *node, int row)
{
    TTableModel *table = MainWindow::tableOf(node);
    table->setData(table->index(row, 0), Qt::Unchecked, Qt::CheckStateRole);
}

// What the suites of the main window share: a scratch folder and a window.
// Each calls startSuite() in initTestCase, m_window.reset(new MainWindow) in
// init and endTest() in cleanup.
class WindowTest : public QObject {
protected:
    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow> m_window;

    static void startSuite()
    {
        buildMethodCatalog();
        requireQueuedAnswers();
    }

    void endTest()
    {
        m_window.reset();
        verifyAnswersTaken();
    }

    QTreeWidget *tree() const { return m_window->tree(); }

    QTreeWidgetItem *importOne(const QByteArray &content = "Hmotnost;Vyska\n70;1,75\n80;2\n",
                               const QString &name = QStringLiteral("lide.csv"))
    {
        return importThroughWindow(*m_window, m_dir, content, name);
    }

    void contextMenu(QTreeWidgetItem *node, const QString &entry) { openContextMenu(*m_window, node, menuEntry(entry)); }

    // The entry of node's context menu must open a dialog of type T, which drive gets.
    template <typename T>
    void fromMenu(QTreeWidgetItem *node, const QString &entry, const std::function<void(T *)> &drive)
    {
        withModal<T>([&] { contextMenu(node, entry); }, drive);
    }

    // Method id applied to node from its context menu, the wizard given
    // columns (cancelled when there are none).
    void apply(QTreeWidgetItem *node, int id, const QList<int> &columns)
    {
        fromMenu<TDataWizard>(node, methodTitle(id), [&](TDataWizard *wizard) { mapColumns(wizard, columns); });
    }
};

#include "MainWindow.h"

#include "AboutText.h"
#include "BackgroundWork.h"
#include "CellDelegate.h"
#include "CustomFunctions.h"
#include "ExportPath.h"
#include "FileDialog.h"
#include "ImportDialog.h"
#include "MeasurementErrorDialog.h"
#include "MessageBox.h"
#include "MethodCatalog.h"
#include "EditCommands.h"
#include "MethodMenu.h"
#include "MethodReferenceDialog.h"
#include "PopupMenu.h"
#include "RecentProjects.h"
#include "StatisticsDialog.h"
#include "TCustomFunctionWizard.h"
#include "TDataWizard.h"
#include "TExponencialFunctionWizard.h"
#include "TInsertWizard.h"
#include "TRenameWizard.h"
#include "TSheldonDialog.h"
#include "TableClipboard.h"
#include "TableView.h"
#include "TTableModel.h"
#include "TreeNodes.h"
#include "ui_MainWindow.h"

#include <QAction>
#include <QCommandLinkButton>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QSaveFile>
#include <QScreen>
#include <QSignalMapper>
#include <QSplitter>
#include <QStack>
#include <QStatusBar>
#include <QTableView>
#include <QThread>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QUndoStack>
#include <QMenuBar>

#include <initializer_list>
#include <utility>

namespace {
const char *const newProjectName = "Nový projekt";

// The rows of an imported file shorter and longer than its table, with the
// lines they stood on: the table keeps their cells, not where they were.
struct ImportProblems {
    QList<RaggedRow> shortRows;
    QList<RaggedRow> longRows;
};

// Reads the file as TTableModel::loadCsv does, with the rows that did not fit.
bool readImportFile(const QString &path, const CsvReadOptions &options, CsvTable *table, ImportProblems *problems,
                    QString *error)
{
    if (!readCsvFile(path, options, table, error))
        return false;
    problems->shortRows = table->shortRows;
    problems->longRows = table->longRows;
    return true;
}


// "lide.csv – sloupec „Výška“: 2×, sloupec 3: 1×; kratší řádky souboru: 5, 9"
// for the cells that held no number and the rows that did not fit; empty when
// there were none. Text columns hold texts: none of theirs is reported.
QString importSummary(const QString &fileName, const TTableModel &table, const ImportProblems &problems)
{
    QMap<int, int> perColumn;
    for (const UnreadField &field : table.unreadFields())
        ++perColumn[field.column];
    QStringList said;
    if (!perColumn.isEmpty()) {
        QStringList columns;
        for (auto it = perColumn.cbegin(); it != perColumn.cend(); ++it) {
            const QString header = table.headers().value(it.key());
            const QString column =
                header.isEmpty() ? QString::number(it.key() + 1) : QStringLiteral("„%1“").arg(header);
            columns.append(QStringLiteral("sloupec %1: %2×").arg(column).arg(it.value()));
        }
        said.append(columns.join(QStringLiteral(", ")));
    }
    if (!problems.shortRows.isEmpty())
        said.append(QStringLiteral("kratší řádky souboru: %1").arg(raggedRowLines(problems.shortRows, 10)));
    if (!problems.longRows.isEmpty())
        said.append(QStringLiteral("delší řádky souboru: %1").arg(raggedRowLines(problems.longRows, 10)));
    if (said.isEmpty())
        return QString();
    return QStringLiteral("\n%1 – %2").arg(fileName, said.join(QStringLiteral("; ")));
}

// The keys of an action: the program's own first, as the hint and the tool
// tips name it, then what the platform binds to the same standard key.
QList<QKeySequence> keysOf(const QKeySequence &own, QKeySequence::StandardKey standard)
{
    QList<QKeySequence> keys{own};
    for (const QKeySequence &key : QKeySequence::keyBindings(standard))
        if (!keys.contains(key))
            keys.append(key);
    return keys;
}

// "Otevřít projekt (Ctrl+O)": the action's text without its mnemonic and
// dots, and its key as the platform writes it.
void setToolTipWithKey(QAction *action)
{
    QString text = action->text();
    text.remove(QLatin1Char('&'));
    if (text.endsWith(QStringLiteral("...")))
        text.chop(3);
    action->setToolTip(QStringLiteral("%1 (%2)").arg(text, action->shortcut().toString(QKeySequence::NativeText)));
}

// The record of a catalog method or of a user function.
const MethodRecord *recordOf(qint32 id)
{
    if (const CustomFunctionRecord *function = customFunction(id))
        return function;
    return isRegisteredMethod(id) ? &MethodCatalog[size_t(id)] : nullptr;
}
} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_ui(std::make_unique<Ui::MainWindow>())
    , m_projectFileFilter(QStringLiteral("Projekt aplikace Kostimer (*.kstx)"))
    , m_applicationName(QStringLiteral("Kostimer"))
    , m_settings(QStringLiteral("Veritek"), QStringLiteral("Kostimer"))
{
    m_undoStack = new QUndoStack(this);
    setupUi();
    m_customFunctionMapper = new QSignalMapper(this);
    connect(m_customFunctionMapper, &QSignalMapper::mappedInt, this, &MainWindow::addFunction);
    createMethodActions();
    createActions();
    createEditMenu();
    enableFunctions();
    m_modified = false;
    updateTitle();
    setProjectFile(QString());

    connect(m_ui->treeWidget, &QTreeWidget::itemClicked, this, &MainWindow::changeModel);
    connect(m_ui->treeWidget, &QTreeWidget::itemSelectionChanged, this, &MainWindow::enableFunctions);
    connect(m_ui->commandLinkButton, &QCommandLinkButton::clicked, this, &MainWindow::viewSheldon);
    connect(m_ui->treeWidget, &QTreeWidget::customContextMenuRequested, this, &MainWindow::treeContextMenu);
    // The hint goes once the tree has a node, and comes back when it is empty.
    connect(m_ui->treeWidget->model(), &QAbstractItemModel::rowsInserted, this, &MainWindow::updateEmptyHint);
    connect(m_ui->treeWidget->model(), &QAbstractItemModel::rowsRemoved, this, &MainWindow::updateEmptyHint);
    connect(m_ui->tableView, &TableView::modelChanged, this, &MainWindow::shownTableChanged);
    m_ui->commandLinkButton->hide();
    updateEmptyHint();
    restoreWindowLayout();
}

MainWindow::~MainWindow()
{
    saveWindowLayout();
    // Tables of nodes out of the tree (removed, or added and taken back) go
    // with the commands that hold them.
    m_undoStack->clear();
    // The window owns every node's table; the nodes go with the tree.
    m_ui->tableView->setModel(nullptr);
    disconnect(m_ui->tableView, nullptr, this, nullptr);
    disconnect(m_ui->treeWidget->model(), nullptr, this, nullptr);
    QList<QTreeWidgetItem *> nodes;
    for (int i = 0; i < m_ui->treeWidget->topLevelItemCount(); ++i)
        nodes.append(m_ui->treeWidget->topLevelItem(i));
    while (!nodes.isEmpty()) {
        QTreeWidgetItem *node = nodes.takeLast();
        for (int i = 0; i < node->childCount(); ++i)
            nodes.append(node->child(i));
        delete tableOf(node);
    }
}

void MainWindow::setupUi()
{
    m_ui->setupUi(this);
    // Two thirds of the screen, and room for the tree and a table where the
    // screen has it; the settings may then put back what the user left.
    if (const QScreen *screen = this->screen()) {
        const QSize available = screen->availableGeometry().size();
        resize((available * 2 / 3).expandedTo(QSize(900, 600)).boundedTo(available));
    }
    m_ui->label_2->setPixmap(QIcon(QStringLiteral(":/icons/logo.png")).pixmap(QSize(280, 60), devicePixelRatio()));
    // Rows carry no header of their own (the row number is column 0), and
    // every row has one height: a table of a million rows is never measured
    // row by row.
    m_ui->tableView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    installCopyShortcut(m_ui->tableView);
    // Project files and CSV files dropped on the window.
    setAcceptDrops(true);
    m_tableSummary = new QLabel(this);
    m_tableSummary->setObjectName(QStringLiteral("tableSummary"));
    statusBar()->addWidget(m_tableSummary);
}

// "Chyba měření" of a node's table: a window of its own on a copy of the
// table, as the statistics' window.
static void showMeasurementError(QWidget *parent, QTreeWidgetItem *node)
{
    const TTableModel *table = MainWindow::tableOf(node);
    if (!table)
        return;
    auto *dialog = new MeasurementErrorDialog(*table, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Chyba měření – %1").arg(node->text(0)));
    dialog->show();
}

void MainWindow::createActions()
{
    // The form gives each action the program's own key; what the platform
    // binds to the same standard key comes after it. Delete removes only while
    // the tree has the focus (the form says so): in the table, it is the table's.
    m_ui->treeWidget->addAction(m_ui->removeAction);
    const std::pair<QAction *, QKeySequence::StandardKey> standardKeys[] = {
        {m_ui->importAction, QKeySequence::UnknownKey},
        {m_ui->openAction, QKeySequence::Open},
        {m_ui->saveAction, QKeySequence::Save},
        {m_ui->saveAsAction, QKeySequence::SaveAs},
        {m_ui->exportAction, QKeySequence::UnknownKey},
        {m_ui->quitAction, QKeySequence::Quit},
        {m_ui->referenceAction, QKeySequence::HelpContents},
        {m_ui->removeAction, QKeySequence::Delete},
    };
    for (const auto &[action, standard] : standardKeys)
        action->setShortcuts(keysOf(action->shortcut(), standard));
    for (QAction *action : {m_ui->importAction, m_ui->openAction, m_ui->saveAction, m_ui->saveAsAction})
        setToolTipWithKey(action);
    m_ui->emptyHint->setText(QStringLiteral("Importujte data (%1) nebo otevřete projekt (%2)")
                                 .arg(m_ui->importAction->shortcut().toString(QKeySequence::NativeText),
                                      m_ui->openAction->shortcut().toString(QKeySequence::NativeText)));

    connect(m_ui->importAction, &QAction::triggered, this, &MainWindow::loadCSV);
    connect(m_ui->saveAction, &QAction::triggered, this, &MainWindow::saveProject);
    connect(m_ui->saveAsAction, &QAction::triggered, this, &MainWindow::saveProjectAs);
    connect(m_ui->openAction, &QAction::triggered, this, &MainWindow::openProject);
    connect(m_ui->closeAction, &QAction::triggered, this, &MainWindow::closeProject);
    connect(m_ui->exportAction, &QAction::triggered, this, [this] { exportCSV(selectedNode()); });
    // Through the window's close, which asks about unsaved work.
    connect(m_ui->quitAction, &QAction::triggered, this, &QWidget::close);
    connect(m_ui->removeAction, &QAction::triggered, this, [this] {
        if (QTreeWidgetItem *node = selectedNode())
            removeNode(node);
    });
    connect(m_ui->addLinearFunctionAction, &QAction::triggered, this, &MainWindow::addCustomLinearFunction);
    connect(m_ui->addExponentialFunctionAction, &QAction::triggered, this, &MainWindow::addCustomExponenFunction);
    connect(m_ui->referenceAction, &QAction::triggered, this, [this] {
        auto *reference = new MethodReferenceDialog(this);
        reference->setAttribute(Qt::WA_DeleteOnClose);
        reference->show();
    });
    connect(m_ui->aboutAction, &QAction::triggered, this,
            [this] { MessageBox::about(this, QStringLiteral("O aplikaci"), aboutText()); });

    // The catalog first, applied to the selected node as from its context
    // menu; then the form's entries for the user's own functions.
    QMenu *functions = m_ui->functionsMenu;
    const qsizetype formEntries = functions->actions().size();
    addMethodMenus(*functions, m_catalogActions, m_catalogCustomActions);
    m_catalogEntries = functions->actions().mid(formEntries);
    functions->insertActions(functions->actions().first(), m_catalogEntries);
    m_catalogCustomMenu = m_catalogEntries.last()->menu();
    functions->addSeparator();
    QAction *measurementError = functions->addAction(QStringLiteral("Chyba měření"));
    measurementError->setObjectName(QStringLiteral("measurementErrorAction"));
    measurementError->setEnabled(false);
    connect(measurementError, &QAction::triggered, this, [this] { showMeasurementError(this, selectedNode()); });
    connect(m_ui->treeWidget, &QTreeWidget::itemSelectionChanged, measurementError,
            [this, measurementError] { measurementError->setEnabled(tableOf(selectedNode()) != nullptr); });

    // Soubor → Naposledy otevřené, right after "Otevřít projekt".
    m_recentProjects = new RecentProjects(m_settings, m_ui->fileMenu, this);
    const QList<QAction *> fileEntries = m_ui->fileMenu->actions();
    m_ui->fileMenu->insertMenu(fileEntries.value(fileEntries.indexOf(m_ui->openAction) + 1),
                               m_recentProjects->menu());
    connect(m_recentProjects, &RecentProjects::openRequested, this, &MainWindow::openRecentProject);

    // F6 moves the keys between the tree and the table.
    auto *switchFocus = new QAction(QStringLiteral("Přepnout mezi stromem a tabulkou"), this);
    switchFocus->setObjectName(QStringLiteral("switchFocusAction"));
    switchFocus->setShortcut(Qt::Key_F6);
    addAction(switchFocus);
    connect(switchFocus, &QAction::triggered, this, [this] {
        if (m_ui->treeWidget->hasFocus() && m_ui->tableView->isVisible())
            m_ui->tableView->setFocus(Qt::ShortcutFocusReason);
        else
            m_ui->treeWidget->setFocus(Qt::ShortcutFocusReason);
    });
}

void MainWindow::createMethodActions()
{
    m_methodMapper = new QSignalMapper(this);
    m_methodActions.assign(MethodCatalog.size(), nullptr);
    m_catalogActions.assign(MethodCatalog.size(), nullptr);
    for (const MethodRecord &record : MethodCatalog) {
        if (!isRegisteredMethod(record.id))
            continue;
        auto *action = new QAction(record.title, this);
        connect(action, &QAction::triggered, m_methodMapper, qOverload<>(&QSignalMapper::map));
        m_methodMapper->setMapping(action, record.id);
        m_methodActions[size_t(record.id)] = action;
        auto *onSelected = new QAction(record.title, this);
        connect(onSelected, &QAction::triggered, this, [this, id = record.id] { applyToSelected(id); });
        m_catalogActions[size_t(record.id)] = onSelected;
    }
    connect(m_methodMapper, &QSignalMapper::mappedInt, this, &MainWindow::addFunction);
}

void MainWindow::offerCustomFunction(qint32 id)
{
    const QString title = customFunction(id)->title;
    auto *action = new QAction(title, this);
    m_customFunctionActions.append(action);
    connect(action, &QAction::triggered, m_customFunctionMapper, qOverload<>(&QSignalMapper::map));
    m_customFunctionMapper->setMapping(action, id);
    auto *onSelected = new QAction(title, this);
    m_catalogCustomActions.append(onSelected);
    connect(onSelected, &QAction::triggered, this, [this, id] { applyToSelected(id); });
    m_catalogCustomMenu->addAction(onSelected);
    enableSelectionActions();
}

QTreeWidgetItem *MainWindow::selectedNode() const
{
    const QList<QTreeWidgetItem *> selected = m_ui->treeWidget->selectedItems();
    return selected.size() == 1 ? selected.first() : nullptr;
}

void MainWindow::applyToSelected(int id)
{
    // addFunction applies to the selected node when the menu was opened on one.
    m_menuOpenedOnItem = true;
    addFunction(id);
}

void MainWindow::enableSelectionActions()
{
    QTreeWidgetItem *node = selectedNode();
    const TTableModel *table = tableOf(node);
    const bool takesMethods = table && kindOf(table->type()) != Formula;
    for (QAction *entry : std::as_const(m_catalogEntries))
        entry->setEnabled(takesMethods);
    m_catalogCustomMenu->menuAction()->setEnabled(takesMethods && !m_catalogCustomMenu->isEmpty());
    m_ui->exportAction->setEnabled(table != nullptr);
    m_ui->removeAction->setEnabled(table != nullptr);
}

void MainWindow::addMethodMenus(QMenu &menu, const std::vector<QAction *> &actions, const QList<QAction *> &custom)
{
    // Each submenu is made where its path first appears. A method with no
    // action (the catalog not built, as in a test of something else) is left out.
    QMap<QStringList, QMenu *> submenus;
    for (const MenuRun &run : methodMenu()) {
        QMenu *to = &menu;
        for (qsizetype depth = 1; depth <= run.path.size(); ++depth) {
            QMenu *&submenu = submenus[run.path.mid(0, depth)];
            if (!submenu)
                submenu = to->addMenu(run.path.at(depth - 1));
            to = submenu;
        }
        if (run.separatorBefore)
            to->addSeparator();
        for (qint32 id : run.ids)
            if (size_t(id) < actions.size() && actions[size_t(id)])
                to->addAction(actions[size_t(id)]);
    }

    menu.addSeparator();
    QMenu *customMenu = menu.addMenu(QStringLiteral("Vlastní funkce"));
    for (QAction *action : custom)
        customMenu->addAction(action);
}

TTableModel *MainWindow::tableOf(QTreeWidgetItem *node)
{
    return node ? qobject_cast<TTableModel *>(node->data(0, Qt::UserRole).value<QObject *>()) : nullptr;
}

QTreeWidget *MainWindow::tree() const
{
    return m_ui->treeWidget;
}

TableView *MainWindow::tableView() const
{
    return m_ui->tableView;
}

QVector<QTreeWidgetItem *> MainWindow::formulaResultsOf(QTreeWidgetItem *node) const
{
    return m_formulaResults.value(node);
}

void MainWindow::updateTitle()
{
    const QString text = m_projectName + (m_modified ? QStringLiteral("*") : QString());
    m_ui->label->setText(text);
    setWindowTitle(text + QStringLiteral(" - ") + m_applicationName);
}

void MainWindow::setProjectFile(const QString &path)
{
    m_projectFileName = path;
    m_projectName = path.isEmpty() ? QString::fromUtf8(newProjectName) : QFileInfo(path).baseName();
    updateTitle();
}

void MainWindow::clearTreeSelection()
{
    m_ui->treeWidget->clearSelection();
}

void MainWindow::setProjectSaved(bool saved)
{
    if (saved)
        m_undoStack->setClean();
    m_changedBesideStack = !saved;
    updateModified();
}

void MainWindow::updateModified()
{
    m_modified = m_changedBesideStack || !m_undoStack->isClean();
    updateTitle();
}

void MainWindow::setProjectSaved()
{
    setProjectSaved(false);
}

void MainWindow::showTable(TTableModel *table)
{
    m_ui->tableView->setModel(table);
    if (!table)
        return;
    // Sized from the rows on screen (the header samples them), never row by row.
    m_ui->tableView->verticalHeader()->setDefaultSectionSize(m_ui->tableView->verticalHeader()->minimumSectionSize());
    m_ui->tableView->resizeColumnsToContents();
    // The sampled rows are the first ones; the row numbers grow to the last.
    if (table->rowCount() > 0) {
        const int grid = m_ui->tableView->showGrid() ? 1 : 0;
        const QModelIndex last = m_ui->tableView->model()->index(table->rowCount() - 1, 0);
        const int widest = m_ui->tableView->sizeHintForIndex(last).width() + grid;
        if (m_ui->tableView->columnWidth(0) < widest)
            m_ui->tableView->setColumnWidth(0, widest);
    }
}

void MainWindow::shownTableChanged()
{
    // Only our own connections: the table's others (its checks marking the
    // project modified) stay.
    for (const QMetaObject::Connection &connection : std::as_const(m_summaryConnections))
        disconnect(connection);
    m_summaryConnections.clear();
    m_summarizedTable = m_ui->tableView->table();
    if (m_summarizedTable) {
        m_summaryConnections = {
            connect(m_summarizedTable, &TTableModel::checksChanged, this, &MainWindow::updateTableSummary),
            connect(m_summarizedTable, &QAbstractItemModel::rowsInserted, this, &MainWindow::updateTableSummary),
            connect(m_summarizedTable, &QAbstractItemModel::rowsRemoved, this, &MainWindow::updateTableSummary),
            connect(m_summarizedTable, &QAbstractItemModel::columnsInserted, this, &MainWindow::updateTableSummary),
            connect(m_summarizedTable, &QAbstractItemModel::columnsRemoved, this, &MainWindow::updateTableSummary),
            connect(m_summarizedTable, &QAbstractItemModel::modelReset, this, &MainWindow::updateTableSummary),
        };
    }
    updateTableSummary();
    updateEmptyHint();
}

void MainWindow::updateTableSummary()
{
    const TTableModel *table = m_summarizedTable;
    if (!table) {
        m_tableSummary->clear();
        return;
    }
    const int rows = table->rowCount();
    int checked = 0;
    for (int row = 0; row < rows; ++row)
        checked += table->isRowChecked(row) ? 1 : 0;
    const QLocale locale;
    m_tableSummary->setText(QStringLiteral("Řádků: %1, sloupců: %2, zaškrtnutých: %3")
                                .arg(locale.toString(rows), locale.toString(table->width()), locale.toString(checked)));
}

void MainWindow::updateEmptyHint()
{
    const bool empty = m_ui->treeWidget->topLevelItemCount() == 0 && !m_ui->tableView->model();
    m_ui->emptyHint->setVisible(empty);
    m_ui->tableView->setVisible(!empty);
}

void MainWindow::restoreWindowLayout()
{
    restoreGeometry(m_settings.value(QStringLiteral("windowGeometry")).toByteArray());
    // Laid out now rather than when first shown, so that the tree and the
    // table have their sizes from the start.
    layout()->activate();
    m_ui->centralWidget->layout()->activate();
    // The tree starts at two fifths of the width: the titles of methods are
    // long, and a table scrolls where a title would be cut.
    const int tree = m_ui->splitter->width() * 2 / 5;
    if (!m_ui->splitter->restoreState(m_settings.value(QStringLiteral("splitterState")).toByteArray()))
        m_ui->splitter->setSizes({tree, m_ui->splitter->width() - tree});
}

void MainWindow::saveWindowLayout()
{
    // A window never shown has nothing of the user's to remember.
    if (!windowHandle())
        return;
    m_settings.setValue(QStringLiteral("windowGeometry"), saveGeometry());
    m_settings.setValue(QStringLiteral("splitterState"), m_ui->splitter->saveState());
}

void MainWindow::changeModel(QTreeWidgetItem *node, int)
{
    TTableModel *table = tableOf(node);
    if (!table)
        return;
    m_ui->commandLinkButton->setVisible(isHeathCarter(table->type()));
    showTable(table);
}

void MainWindow::enableFunctions()
{
    enableSelectionActions();
    const QList<QTreeWidgetItem *> selected = m_ui->treeWidget->selectedItems();
    if (!selected.isEmpty())
        changeModel(selected.first(), 0);
}

void MainWindow::treeContextMenu(const QPoint &position)
{
    QTreeWidgetItem *node = m_ui->treeWidget->itemAt(position);
    m_menuOpenedOnItem = node != nullptr;
    QMenu menu(this);
    if (!node) {
        clearTreeSelection();
        menu.addAction(m_ui->importAction);
        addMethodMenus(menu, m_methodActions, m_customFunctionActions);
        PopupMenu::exec(menu, QCursor::pos());
        return;
    }
    TTableModel *table = tableOf(node);
    if (!table)
        return;
    const bool isSource = m_dataNodes.contains(node);
    if (kindOf(table->type()) != Formula) {
        addMethodMenus(menu, m_methodActions, m_customFunctionActions);
        menu.addSeparator();
    }
    QAction *exportEntry = menu.addAction(QIcon(QStringLiteral(":/icons/vstupni-data-70x60px.png")),
                                          QStringLiteral("Exportovat tabulku do CSV"));
    QAction *copyEntry = menu.addAction(QStringLiteral("Kopírovat tabulku"));
    QAction *statisticsEntry = menu.addAction(QStringLiteral("Statistika"));
    QAction *errorEntry = menu.addAction(QStringLiteral("Chyba měření"));
    QAction *renameEntry = isSource ? menu.addAction(QStringLiteral("Přejmenovat sloupce")) : nullptr;
    QAction *addRowsEntry = menu.addAction(QStringLiteral("Přidat data"));
    menu.addSeparator();
    QAction *removeEntry = menu.addAction(isSource ? QStringLiteral("Odstranit soubor s daty")
                                                   : QStringLiteral("Zrušit funkci"));

    QAction *chosen = PopupMenu::exec(menu, m_ui->treeWidget->viewport()->mapToGlobal(position));
    if (!chosen)
        return;
    if (chosen == exportEntry)
        exportCSV(node);
    else if (chosen == copyEntry)
        copyTableToClipboard(table, m_ui->tableView);
    else if (chosen == statisticsEntry)
        showStatistics(node);
    else if (chosen == errorEntry)
        showMeasurementError(this, node);
    else if (renameEntry && chosen == renameEntry)
        renameColumns(node);
    else if (chosen == addRowsEntry)
        addRows(node);
    else if (chosen == removeEntry)
        removeNode(node);
}

void MainWindow::addFunction(int id)
{
    if (!m_menuOpenedOnItem) {
        typeInTable(id);
        return;
    }
    const QList<QTreeWidgetItem *> selected = m_ui->treeWidget->selectedItems();
    if (selected.size() != 1)
        return;
    QTreeWidgetItem *parentNode = selected.first();
    TTableModel *source = tableOf(parentNode);
    if (!source || kindOf(source->type()) == Formula)
        return;

    QTreeWidgetItem *result = nullptr;
    const bool isFormula = kindOf(id) == Formula;
    if (isFormula)
        result = m_formulaResults.value(parentNode).value(id);
    if (!result) {
        if (!recordOf(id))
            return;
        const bool custom = kindOf(id) == Custom;
        if (custom ? !customFunction(id) : !isRegisteredMethod(id))
            return;
        // The columns are asked for here; the computing runs in a worker on a
        // copy no view shows, and a cancelled one adds no result.
        auto table = std::make_unique<TTableModel>(source);
        std::vector<int> columns;
        std::vector<int> carried;
        if (!mapColumns(*table, id, &columns, &carried))
            return;
        bool applied = false;
        const bool finished = BackgroundWork::run(this, QStringLiteral("Počítám…"), [&](WorkControl &) {
            applied = custom ? table->applyCustomFunction(id, columns) : table->applyMethod(id, columns, carried);
        });
        if (!finished || !applied)
            return;
        result = resultNode(table.release(), parentNode, id);
        if (isFormula) {
            auto &resultSlots = m_formulaResults[parentNode];
            if (resultSlots.size() != MethodCatalogSize)
                resultSlots = emptyResultSlots();
            resultSlots[id] = result;
        } else {
            m_formulaResults.insert(result, emptyResultSlots());
        }
        m_undoStack->push(new NodeCommand(QStringLiteral("použití metody"), *this, result, NodeCommand::Added));
    }
    clearTreeSelection();
    parentNode->setExpanded(true);
    result->setSelected(true);
    changeModel(result, 0);
}

bool MainWindow::mapColumns(const TTableModel &table, qint32 id, std::vector<int> *columns,
                            std::vector<int> *carried)
{
    TDataWizard wizard(this);
    wizard.setSourceTable(&table);
    if (const CustomFunctionRecord *function = customFunction(id))
        wizard.setInputs(function->title, function->columns, function->inputCount);
    else
        wizard.setFunction(id);
    if (wizard.exec() != 1)
        return false;
    *columns = wizard.selectedColumns();
    if (carried)
        *carried = wizard.carriedColumns();
    return true;
}

void MainWindow::typeInTable(qint32 id)
{
    // User functions need a table to be applied to.
    if (kindOf(id) == Custom || !isRegisteredMethod(id))
        return;
    auto table = std::make_unique<TTableModel>(id, nullptr);
    TInsertWizard wizard(this);
    wizard.setModel(table.get());
    if (wizard.exec() != QDialog::Accepted)
        return;
    table->appendRows(wizard.rows());
    showTable(table.get());

    const MethodRecord &record = MethodCatalog[size_t(id)];
    auto *node = new QTreeWidgetItem(QStringList{record.title, record.description});
    node->setIcon(0, iconOfType(table->type()));
    setNodeTable(node, table.release());
    watchTable(node);
    m_ui->treeWidget->addTopLevelItem(node);
    if (record.kind != Formula)
        m_formulaResults.insert(node, emptyResultSlots());
    m_undoStack->push(new NodeCommand(QStringLiteral("nová tabulka"), *this, node, NodeCommand::Added));
    clearTreeSelection();
    node->setSelected(true);
    changeModel(node, 0);
}

void MainWindow::renameColumns(QTreeWidgetItem *node)
{
    TTableModel *table = tableOf(node);
    if (!table)
        return;
    // The wizard names the columns in the table; the stack keeps both names.
    const QStringList before = table->headers();
    TRenameWizard wizard(this);
    wizard.setModel(table);
    const bool accepted = wizard.exec() == QDialog::Accepted;
    const QStringList after = table->headers();
    table->setHeaders(before);
    if (accepted && after != before)
        m_undoStack->push(new RenameColumnsCommand(node, before, after));
    m_ui->tableView->viewport()->update();
}

void MainWindow::addRows(QTreeWidgetItem *node)
{
    TTableModel *table = tableOf(node);
    if (!table)
        return;
    TInsertWizard wizard(this);
    wizard.setModel(table);
    if (wizard.exec() != QDialog::Accepted)
        return;
    const QList<QList<double>> rows = wizard.rows();
    const QList<QStringList> texts = wizard.texts();
    m_undoStack->push(new RowsCommand(QStringLiteral("přidání řádků"), node,
                                      [rows, texts](TTableModel &changed) { return changed.appendRows(rows, texts); }));
    // The view takes the table anew, so that its rows are read again.
    m_ui->tableView->setModel(nullptr);
    changeModel(node, 0);
}

QTreeWidgetItem *MainWindow::resultNode(TTableModel *table, QTreeWidgetItem *parentNode, qint32 id)
{
    const MethodRecord &record = *recordOf(id);
    auto *node = new QTreeWidgetItem(QStringList{record.title, record.description});
    node->setToolTip(0, record.title);
    setNodeTable(node, table);
    watchTable(node);
    setParentNode(node, parentNode);
    node->setIcon(0, iconOfType(table->type()));
    parentNode->addChild(node);
    return node;
}

void MainWindow::removeNode(QTreeWidgetItem *node)
{
    const bool isSource = m_dataNodes.contains(node);
    if (node->childCount() > 0) {
        const auto answer = MessageBox::warning(
            this,
            isSource ? QStringLiteral("Odstranění souboru s daty") : QStringLiteral("Odstranění funkce"),
            QStringLiteral("Při odstranění těchto dat odstraníte také všechny funkce, které na ně byly "
                              "aplikovány. Přejete si opravdu tato data odstranit?"),
            QMessageBox::Ok | QMessageBox::Cancel);
        if (answer != QMessageBox::Ok)
            return;
    }
    m_undoStack->push(new NodeCommand(isSource ? QStringLiteral("odstranění tabulky") : QStringLiteral("zrušení funkce"),
                                      *this, node, NodeCommand::Removed));
}

void MainWindow::deleteTree(QTreeWidgetItem *node)
{
    // Children before their parent, with a stack of our own. A node is popped
    // only when it has no children left: deleting a child detaches it.
    QStack<QTreeWidgetItem *> stack;
    stack.push(node);
    while (!stack.isEmpty()) {
        QTreeWidgetItem *top = stack.top();
        if (top->childCount() > 0) {
            for (int i = 0; i < top->childCount(); ++i)
                stack.push(top->child(i));
            continue;
        }
        stack.pop();
        TTableModel *table = tableOf(top);
        if (table && kindOf(table->type()) == Formula) {
            // The formula can be applied to the parent again.
            auto resultSlots = m_formulaResults.find(parentNodeOf(top));
            if (resultSlots != m_formulaResults.end() && resultSlots->value(table->type()) == top)
                (*resultSlots)[table->type()] = nullptr;
        }
        m_formulaResults.remove(top);
        if (m_ui->tableView->table() == table)
            m_ui->tableView->setModel(nullptr);
        delete top;
        delete table;
    }
}

void MainWindow::loadCSV()
{
    const QString folder = m_settings.value(QStringLiteral("importDataFolder"), QDir::homePath()).toString();
    const QStringList files = FileDialog::openFileNames(this, QStringLiteral("Import dat z CSV souboru"), folder,
                                                        QStringLiteral("Soubor CSV (*.csv)"));
    if (files.isEmpty())
        return;
    m_settings.setValue(QStringLiteral("importDataFolder"), QFileInfo(files.first()).absolutePath());
    importCsvFiles(files);
}

void MainWindow::importCsvFiles(const QStringList &files)
{
    // Each file is shown before anything is added: the user confirms how it
    // reads or changes it, skips the file, or cancels the whole import.
    QList<std::pair<QString, CsvReadOptions>> chosen;
    for (qsizetype i = 0; i < files.size(); ++i) {
        CsvReadOptions options;
        const ImportDialog::Choice choice = ImportDialog::ask(this, files[i], int(i + 1), int(files.size()), &options);
        if (choice == ImportDialog::Choice::CancelAll)
            return;
        if (choice == ImportDialog::Choice::Import)
            chosen.append({files[i], options});
    }
    if (chosen.isEmpty())
        return;

    // Read and parsed by a worker into tables of its own, handed to this
    // thread; a cancelled import adds none of them. A file that cannot be
    // read adds no table and is named with its reason.
    std::vector<std::unique_ptr<TTableModel>> tables;
    QList<ImportProblems> problems;
    QStringList paths;
    QStringList failures;
    QThread *const here = QThread::currentThread();
    const bool finished =
        BackgroundWork::run(this, QStringLiteral("Importuji data…"), [&](WorkControl &control) {
            for (const auto &[path, options] : chosen) {
                if (control.cancelled())
                    return;
                CsvTable read;
                ImportProblems fileProblems;
                QString why;
                if (!readImportFile(path, options, &read, &fileProblems, &why)) {
                    failures.append(QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), why));
                    continue;
                }
                auto table = std::make_unique<TTableModel>(nullptr);
                table->setTable(std::move(read));
                table->moveToThread(here);
                tables.push_back(std::move(table));
                problems.append(fileProblems);
                paths.append(path);
            }
        });
    if (!finished)
        return;
    if (!failures.isEmpty())
        MessageBox::warning(this, QStringLiteral("Import dat z CSV souboru"),
                            QStringLiteral("Některé soubory se nepodařilo načíst; jejich tabulky nebyly přidány."),
                            QMessageBox::Ok, failures.join(u'\n'));
    if (tables.empty())
        return;

    // Several files are one step to take back.
    m_undoStack->beginMacro(tables.size() > 1 ? QStringLiteral("import tabulek") : QStringLiteral("import tabulky"));
    QTreeWidgetItem *last = nullptr;
    QString unreadReport;
    bool missingCells = false;
    bool longRows = false;
    for (size_t i = 0; i < tables.size(); ++i) {
        const QString &path = paths[qsizetype(i)];
        TTableModel *table = tables[i].release();
        table->setParent(this);
        showTable(table);
        const QString name = QFileInfo(path).fileName();
        m_sourceFileNames.append(name);

        QTreeWidgetItem *node = makeSourceNode(name, table);
        watchTable(node);
        m_ui->treeWidget->addTopLevelItem(node);
        m_dataNodes.append(node);
        m_formulaResults.insert(node, emptyResultSlots());
        m_undoStack->push(new NodeCommand(QStringLiteral("import tabulky"), *this, node, NodeCommand::Added));
        clearTreeSelection();
        last = node;
        unreadReport += importSummary(name, *table, problems[qsizetype(i)]);
        missingCells = missingCells || !table->unreadFields().isEmpty() || !problems[qsizetype(i)].shortRows.isEmpty();
        longRows = longRows || !problems[qsizetype(i)].longRows.isEmpty();
    }
    m_undoStack->endMacro();
    last->setSelected(true);
    if (unreadReport.isEmpty())
        return;
    QStringList said;
    if (missingCells)
        said.append(QStringLiteral("Některá pole neobsahují číslo nebo v kratších řádcích chybí; jejich hodnota "
                                   "chybí. V tabulce jsou podbarvená a bublina ukazuje, co v souboru stálo."));
    if (longRows)
        said.append(QStringLiteral("Pole navíc v delších řádcích se nenačetla."));
    MessageBox::warning(this, QStringLiteral("Import dat z CSV souboru"), said.join(u' ') + u'\n' + unreadReport);
}

void MainWindow::exportCSV(QTreeWidgetItem *node)
{
    TTableModel *table = tableOf(node);
    if (!table)
        return;
    const QString title = QStringLiteral("Export tabulky do CSV");
    bool header = true;
    const QString path = askExportPath(this, title, &header);
    if (path.isEmpty())
        return;
    // Written by a worker from a copy, beside the old file, and put in its
    // place only when complete: a full disk, a vanished folder or a cancel
    // never leaves half a table behind. Texts are written as texts and a
    // missing value as an empty field, for other programs to read.
    const TTableModel copy(table);
    bool written = false;
    QString why;
    const bool finished =
        BackgroundWork::run(this, QStringLiteral("Exportuji tabulku…"), [&](WorkControl &control) {
            QSaveFile file(path);
            if (!file.open(QIODevice::WriteOnly))
                why = QStringLiteral("Soubor nelze vytvořit: %1").arg(file.errorString());
            else if (copy.exportCsv(&file, header, NumberDigits::Six, &why) && !control.cancelled()) {
                written = file.commit();
                if (!written)
                    why = QStringLiteral("Soubor nelze dokončit: %1").arg(file.errorString());
            }
        });
    if (!finished && !written)
        return;
    if (!written) {
        MessageBox::warning(this, title,
                            QStringLiteral("Nepodařilo se vytvořit CSV soubor. Zkontrolujte, zda není otevřený v "
                                           "jiném programu."),
                            QMessageBox::Ok, why);
        return;
    }
    statusBar()->showMessage(QStringLiteral("Tabulka exportována: %1").arg(QFileInfo(path).fileName()), 5000);
}

void MainWindow::showStatistics(QTreeWidgetItem *node)
{
    const TTableModel *table = tableOf(node);
    if (!table)
        return;
    // A window of its own, on a copy of the table: it may stay open while
    // the project changes.
    auto *dialog = new StatisticsDialog(*table, groupingColumns(node), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Statistika – %1").arg(node->text(0)));
    dialog->show();
}

void MainWindow::addCustomLinearFunction()
{
    defineFunction(false);
}

void MainWindow::addCustomExponenFunction()
{
    defineFunction(true);
}

void MainWindow::defineFunction(bool exponential)
{
    std::unique_ptr<TCustomFunctionWizard> wizard;
    if (exponential) {
        wizard = std::make_unique<TExponencialFunctionWizard>(this);
        wizard->setWindowTitle(QStringLiteral("Přidání exponenciální funkce"));
    } else {
        wizard = std::make_unique<TCustomFunctionWizard>(this);
    }
    wizard->setModal(true);
    if (wizard->exec() != QDialog::Accepted)
        return;
    const CustomFunctionForm form = exponential ? CustomFunctionForm::Exponential : CustomFunctionForm::Polynomial;
    offerCustomFunction(addCustomFunction(makeCustomFunction(form, wizard->coefficients())));
}

void MainWindow::viewSheldon()
{
    TTableModel *table = m_ui->tableView->table();
    if (!table)
        return;
    TSheldonDialog dialog(this);
    dialog.plot(table);
    // The table on show is the selected node's.
    const QList<QTreeWidgetItem *> selected = m_ui->treeWidget->selectedItems();
    dialog.setGroupingColumns(
        groupingColumns(!selected.isEmpty() && tableOf(selected.first()) == table ? selected.first() : nullptr));
    dialog.exec();
}

void MainWindow::createEditMenu()
{
    // "Úpravy" between "Soubor" and "Funkce": take back and do again, the
    // step named as the stack names it.
    auto *edit = new QMenu(QStringLiteral("Ú&pravy"), this);
    edit->setObjectName(QStringLiteral("editMenu"));
    menuBar()->insertMenu(m_ui->functionsMenu->menuAction(), edit);
    QAction *undo = edit->addAction(QStringLiteral("Zpět"));
    undo->setObjectName(QStringLiteral("undoAction"));
    undo->setShortcuts(keysOf(QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence::Undo));
    QAction *redo = edit->addAction(QStringLiteral("Znovu"));
    redo->setObjectName(QStringLiteral("redoAction"));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(undo, &QAction::triggered, m_undoStack, &QUndoStack::undo);
    connect(redo, &QAction::triggered, m_undoStack, &QUndoStack::redo);
    connect(m_undoStack, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(m_undoStack, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    connect(m_undoStack, &QUndoStack::undoTextChanged, undo, [undo](const QString &text) {
        undo->setText(text.isEmpty() ? QStringLiteral("Zpět") : QStringLiteral("Zpět: %1").arg(text));
    });
    connect(m_undoStack, &QUndoStack::redoTextChanged, redo, [redo](const QString &text) {
        redo->setText(text.isEmpty() ? QStringLiteral("Znovu") : QStringLiteral("Znovu: %1").arg(text));
    });
    connect(m_undoStack, &QUndoStack::cleanChanged, this, &MainWindow::updateModified);
    // After any step the shown table and the status bar show the project as it is.
    connect(m_undoStack, &QUndoStack::indexChanged, this, [this] {
        m_ui->tableView->viewport()->update();
        updateTableSummary();
    });

    // Typed into a cell: what the table refuses is said in the status bar.
    auto *cells = new CellDelegate(m_ui->tableView);
    m_ui->tableView->setItemDelegate(cells);
    connect(cells, &CellDelegate::refused, this,
            [this](const QString &reason) { statusBar()->showMessage(reason, 10000); });
    m_ui->tableView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_ui->tableView, &QWidget::customContextMenuRequested, this, &MainWindow::tableContextMenu);
}

void MainWindow::watchTable(QTreeWidgetItem *node)
{
    TTableModel *table = tableOf(node);
    connect(table, &TTableModel::cellEdited, this, [this, node](int row, int column, const TTableModel::Cell &before) {
        m_undoStack->push(new CellEditCommand(node, row, column, before));
    });
    connect(table, &TTableModel::rowCheckChanged, this, [this, node](int row, bool checked) {
        m_undoStack->push(new CheckRowCommand(node, row, checked));
    });
}

QTreeWidgetItem *MainWindow::shownNode() const
{
    const TTableModel *shown = m_ui->tableView->table();
    if (!shown)
        return nullptr;
    for (QTreeWidgetItem *node : m_ui->treeWidget->selectedItems())
        if (tableOf(node) == shown)
            return node;
    for (QTreeWidgetItemIterator it(m_ui->treeWidget); *it; ++it)
        if (tableOf(*it) == shown)
            return *it;
    return nullptr;
}

void MainWindow::tableContextMenu(const QPoint &position)
{
    QTreeWidgetItem *node = shownNode();
    TTableModel *table = tableOf(node);
    if (!table)
        return;
    QMenu menu(this);
    QAction *addRowsEntry = menu.addAction(QStringLiteral("Přidat řádky"));
    const QList<int> selected = m_ui->tableView->selectedStoredRows();
    const std::vector<int> rows(selected.begin(), selected.end());
    // Rows of a source table only: a result's rows come from its source.
    QAction *removeEntry = nullptr;
    if (table->isEditableTable()) {
        removeEntry = menu.addAction(QStringLiteral("Odstranit vybrané řádky"));
        removeEntry->setEnabled(!rows.empty());
    }
    QAction *chosen = PopupMenu::exec(menu, m_ui->tableView->viewport()->mapToGlobal(position));
    if (chosen == addRowsEntry)
        addRows(node);
    else if (chosen && chosen == removeEntry)
        removeRows(node, rows);
}

void MainWindow::removeRows(QTreeWidgetItem *node, const std::vector<int> &rows)
{
    if (!tableOf(node) || rows.empty())
        return;
    m_undoStack->push(new RowsCommand(QStringLiteral("odstranění řádků"), node, [rows](TTableModel &table) {
        table.takeRows(rows);
        return TTableModel::RowChange{rows, 0};
    }));
}

ProjectNodes::Place MainWindow::detachNode(QTreeWidgetItem *node)
{
    Place place;
    place.parent = node->parent();
    place.index = place.parent ? place.parent->indexOfChild(node) : m_ui->treeWidget->indexOfTopLevelItem(node);
    place.sourceIndex = m_dataNodes.indexOf(node);
    if (place.sourceIndex >= 0) {
        place.sourceFile = m_sourceFileNames.at(place.sourceIndex);
        m_dataNodes.removeAt(place.sourceIndex);
        m_sourceFileNames.removeAt(place.sourceIndex);
    }
    // The node and its results leave the window's records; a formula can be
    // applied to the parent again.
    QList<QTreeWidgetItem *> nodes{node};
    for (qsizetype i = 0; i < nodes.size(); ++i) {
        for (int c = 0; c < nodes[i]->childCount(); ++c)
            nodes.append(nodes[i]->child(c));
        m_formulaResults.remove(nodes[i]);
        if (m_ui->tableView->table() && m_ui->tableView->table() == tableOf(nodes[i]))
            m_ui->tableView->setModel(nullptr);
    }
    const TTableModel *table = tableOf(node);
    if (place.parent && table && kindOf(table->type()) == Formula) {
        auto resultSlots = m_formulaResults.find(place.parent);
        if (resultSlots != m_formulaResults.end() && resultSlots->value(table->type()) == node)
            (*resultSlots)[table->type()] = nullptr;
    }
    if (place.parent)
        place.parent->takeChild(place.index);
    else
        m_ui->treeWidget->takeTopLevelItem(place.index);
    return place;
}

void MainWindow::attachNode(QTreeWidgetItem *node, const Place &place)
{
    if (place.parent)
        place.parent->insertChild(place.index, node);
    else
        m_ui->treeWidget->insertTopLevelItem(place.index, node);
    if (place.sourceIndex >= 0) {
        m_dataNodes.insert(place.sourceIndex, node);
        m_sourceFileNames.insert(place.sourceIndex, place.sourceFile);
    }
    // The window's records of the node and its results, as when they were made.
    QList<QTreeWidgetItem *> nodes{node};
    for (qsizetype i = 0; i < nodes.size(); ++i) {
        QTreeWidgetItem *each = nodes[i];
        for (int c = 0; c < each->childCount(); ++c)
            nodes.append(each->child(c));
        const TTableModel *table = tableOf(each);
        if (!table)
            continue;
        if (kindOf(table->type()) != Formula) {
            m_formulaResults.insert(each, emptyResultSlots());
        } else if (QTreeWidgetItem *parent = each->parent()) {
            auto &resultSlots = m_formulaResults[parent];
            if (resultSlots.isEmpty())
                resultSlots = emptyResultSlots();
            if (table->type() >= 0 && table->type() < resultSlots.size())
                resultSlots[table->type()] = each;
        }
    }
    node->setExpanded(true);
}

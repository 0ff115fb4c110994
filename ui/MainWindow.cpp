#include "MainWindow.h"

#include "BackgroundWork.h"
#include "CustomFunctions.h"
#include "ExportPath.h"
#include "FileDialog.h"
#include "MessageBox.h"
#include "MethodCatalog.h"
#include "MethodReference.h"
#include "PopupMenu.h"
#include "TCustomFunctionWizard.h"
#include "TDataWizard.h"
#include "TExponencialFunctionWizard.h"
#include "TInsertWizard.h"
#include "TMethodReference.h"
#include "TRenameWizard.h"
#include "TSheldonDialog.h"
#include "TStatisticsDialog.h"
#include "TableClipboard.h"
#include "TableView.h"
#include "TTableModel.h"
#include "TreeNodes.h"

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
#include <QMenuBar>
#include <QSaveFile>
#include <QScreen>
#include <QSignalMapper>
#include <QSplitter>
#include <QStack>
#include <QStatusBar>
#include <QTableView>
#include <QThread>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <initializer_list>

namespace {
const char *const newProjectName = "Nový projekt";

// "lide.csv: sloupec „Výška“ 2×, sloupec 3 1×" for the fields read as 0.
QString unreadSummary(const QString &fileName, const TTableModel &table)
{
    QMap<int, int> perColumn;
    for (const UnreadField &field : table.unreadFields())
        ++perColumn[field.column];
    if (perColumn.isEmpty())
        return QString();
    QStringList columns;
    for (auto it = perColumn.cbegin(); it != perColumn.cend(); ++it) {
        const QString header = table.headers().value(it.key());
        const QString column = header.isEmpty() ? QString::number(it.key() + 1) : QStringLiteral("„%1“").arg(header);
        columns.append(QString::fromUtf8("sloupec %1: %2×").arg(column).arg(it.value()));
    }
    return QStringLiteral("\n%1 – %2").arg(fileName, columns.join(QStringLiteral(", ")));
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
    if (text.endsWith(QLatin1String("...")))
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
    , projectFileFilter(QStringLiteral("Projekt aplikace Kostimer (*.kstx)"))
    , applicationName(QStringLiteral("Kostimer"))
    , settings(QStringLiteral("Veritek"), QStringLiteral("Kostimer"))
{
    setupUi();
    customFunctionMapper = new QSignalMapper(this);
    connect(customFunctionMapper, &QSignalMapper::mappedInt, this, &MainWindow::addFunction);
    createMethodActions();
    createActions();
    enableFunctions();
    modified = false;
    updateTitle();
    setProjectFile(QString());

    connect(ui.treeWidget, &QTreeWidget::itemClicked, this, &MainWindow::changeModel);
    connect(ui.treeWidget, &QTreeWidget::itemSelectionChanged, this, &MainWindow::enableFunctions);
    connect(ui.commandLinkButton, &QCommandLinkButton::clicked, this, &MainWindow::viewSheldon);
    ui.treeWidget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui.treeWidget, &QTreeWidget::customContextMenuRequested, this, &MainWindow::treeContextMenu);
    // The hint goes once the tree has a node, and comes back when it is empty.
    connect(ui.treeWidget->model(), &QAbstractItemModel::rowsInserted, this, &MainWindow::updateEmptyHint);
    connect(ui.treeWidget->model(), &QAbstractItemModel::rowsRemoved, this, &MainWindow::updateEmptyHint);
    connect(ui.tableView, &TableView::modelChanged, this, &MainWindow::shownTableChanged);
    ui.commandLinkButton->hide();
    updateEmptyHint();
    restoreWindowLayout();
}

MainWindow::~MainWindow()
{
    saveWindowLayout();
    // The window owns every node's table; the nodes go with the tree.
    ui.tableView->setModel(nullptr);
    disconnect(ui.tableView, nullptr, this, nullptr);
    disconnect(ui.treeWidget->model(), nullptr, this, nullptr);
    QList<QTreeWidgetItem *> nodes;
    for (int i = 0; i < ui.treeWidget->topLevelItemCount(); ++i)
        nodes.append(ui.treeWidget->topLevelItem(i));
    while (!nodes.isEmpty()) {
        QTreeWidgetItem *node = nodes.takeLast();
        for (int i = 0; i < node->childCount(); ++i)
            nodes.append(node->child(i));
        delete tableOf(node);
    }
}

void MainWindow::setupUi()
{
    setObjectName(QStringLiteral("MainWindow"));
    // Two thirds of the screen, and room for the tree and a table where the
    // screen has it; the settings may then put back what the user left.
    if (const QScreen *screen = this->screen()) {
        const QSize available = screen->availableGeometry().size();
        resize((available * 2 / 3).expandedTo(QSize(900, 600)).boundedTo(available));
    }
    QPalette palette = this->palette();
    const QColor cream(255, 253, 239);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Window, cream);
        palette.setColor(group, QPalette::Base, Qt::white);
    }
    palette.setColor(QPalette::Disabled, QPalette::Window, cream);
    palette.setColor(QPalette::Disabled, QPalette::Base, cream);
    setPalette(palette);

    ui.centralWidget = new QWidget(this);
    ui.centralWidget->setObjectName(QStringLiteral("centralWidget"));
    ui.verticalLayout_2 = new QVBoxLayout(ui.centralWidget);
    ui.verticalLayout_2->setObjectName(QStringLiteral("verticalLayout_2"));
    ui.verticalLayout_2->setSpacing(6);
    ui.verticalLayout_2->setContentsMargins(11, 11, 11, 11);

    ui.label_2 = new QLabel(ui.centralWidget);
    ui.label_2->setObjectName(QStringLiteral("label_2"));
    ui.label_2->setPixmap(QIcon(QStringLiteral(":/icons/logo.png")).pixmap(QSize(280, 60), devicePixelRatio()));
    ui.label_2->setMargin(10);
    ui.verticalLayout_2->addWidget(ui.label_2);

    ui.label = new QLabel(ui.centralWidget);
    ui.label->setObjectName(QStringLiteral("label"));
    QFont labelFont = ui.label->font();
    labelFont.setPointSize(9);
    labelFont.setBold(true);
    ui.label->setFont(labelFont);
    ui.label->setMargin(10);
    ui.label->setIndent(0);
    ui.label->setText(QString::fromUtf8(newProjectName));
    ui.verticalLayout_2->addWidget(ui.label);

    ui.splitter = new QSplitter(Qt::Horizontal, ui.centralWidget);
    ui.splitter->setObjectName(QStringLiteral("splitter"));
    ui.splitter->setChildrenCollapsible(false);
    ui.treeWidget = new QTreeWidget(ui.splitter);
    ui.treeWidget->setObjectName(QStringLiteral("treeWidget"));
    ui.treeWidget->setColumnCount(1);
    ui.treeWidget->setHeaderHidden(true);
    ui.treeWidget->header()->setDefaultSectionSize(200);
    ui.treeWidget->setFrameShape(QFrame::NoFrame);
    ui.treeWidget->setLineWidth(1);
    ui.treeWidget->setSelectionBehavior(QAbstractItemView::SelectItems);
    ui.treeWidget->setWordWrap(true);
    QPalette treePalette = ui.treeWidget->palette();
    treePalette.setColor(QPalette::Base, QColor(250, 250, 255));
    ui.treeWidget->setPalette(treePalette);
    ui.splitter->addWidget(ui.treeWidget);

    ui.tablePanel = new QWidget(ui.splitter);
    ui.tablePanel->setObjectName(QStringLiteral("tablePanel"));
    ui.verticalLayout = new QVBoxLayout(ui.tablePanel);
    ui.verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    ui.verticalLayout->setSpacing(6);
    ui.verticalLayout->setContentsMargins(0, 0, 0, 0);
    ui.commandLinkButton = new QCommandLinkButton(ui.tablePanel);
    ui.commandLinkButton->setObjectName(QStringLiteral("commandLinkButton"));
    ui.commandLinkButton->setText(QString::fromUtf8("Sheldonův trojúhelník"));
    ui.commandLinkButton->setDescription(QString::fromUtf8("Otevře nové a zobrazí výsledky do Sheldonova trojúhelníku"));
    ui.verticalLayout->addWidget(ui.commandLinkButton);
    // Its text names the keys, once the actions have them (createActions).
    ui.emptyHint = new QLabel(ui.tablePanel);
    ui.emptyHint->setObjectName(QStringLiteral("emptyHint"));
    ui.emptyHint->setAlignment(Qt::AlignCenter);
    ui.emptyHint->setWordWrap(true);
    ui.verticalLayout->addWidget(ui.emptyHint);
    ui.tableView = new TableView(ui.tablePanel);
    ui.tableView->setObjectName(QStringLiteral("tableView"));
    ui.tableView->setFrameShape(QFrame::NoFrame);
    // Rows carry no header of their own (the row number is column 0), and
    // every row has one height: a table of a million rows is never measured
    // row by row.
    ui.tableView->verticalHeader()->hide();
    ui.tableView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    installCopyShortcut(ui.tableView);
    ui.verticalLayout->addWidget(ui.tableView);
    ui.splitter->addWidget(ui.tablePanel);
    // The table takes what the window gains.
    ui.splitter->setStretchFactor(0, 0);
    ui.splitter->setStretchFactor(1, 1);
    ui.verticalLayout_2->addWidget(ui.splitter, 1);
    setCentralWidget(ui.centralWidget);
    menuBar()->setObjectName(QStringLiteral("menuBar"));

    ui.tableSummary = new QLabel(this);
    ui.tableSummary->setObjectName(QStringLiteral("tableSummary"));
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    statusBar()->addWidget(ui.tableSummary);
}

void MainWindow::createActions()
{
    importAction = new QAction(QIcon(QStringLiteral(":/icons/vstupni-data-70x60px.png")),
                               QString::fromUtf8("&Import ze souboru CSV"), this);
    saveAction = new QAction(QIcon(QStringLiteral(":/icons/ulozit-70x67px.png")), QString::fromUtf8("&Uložit projekt"), this);
    saveAsAction = new QAction(QIcon(QStringLiteral(":/icons/ulozit-jako-70x67px.png")),
                               QString::fromUtf8("Uložit projekt &jako..."), this);
    openAction = new QAction(QIcon(QStringLiteral(":/icons/otevrit-projekt.png")), QString::fromUtf8("&Otevřít projekt"), this);
    closeAction = new QAction(QString::fromUtf8("&Zavřít projekt"), this);
    exportAction = new QAction(QString::fromUtf8("&Exportovat tabulku do CSV"), this);
    quitAction = new QAction(QString::fromUtf8("U&končit aplikaci"), this);
    addLinearFunctionAction = new QAction(QString::fromUtf8("Přidat vlastní &lineární funkci"), this);
    addExponentialFunctionAction = new QAction(QString::fromUtf8("Přidat vlastní &exponenciální funkci"), this);
    referenceAction = new QAction(QString::fromUtf8("&Přehled metod"), this);
    removeAction = new QAction(QString::fromUtf8("Odstranit"), this);

    importAction->setShortcuts(keysOf(QKeySequence(Qt::CTRL | Qt::Key_I), QKeySequence::UnknownKey));
    openAction->setShortcuts(keysOf(QKeySequence(Qt::CTRL | Qt::Key_O), QKeySequence::Open));
    saveAction->setShortcuts(keysOf(QKeySequence(Qt::CTRL | Qt::Key_S), QKeySequence::Save));
    saveAsAction->setShortcuts(keysOf(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), QKeySequence::SaveAs));
    exportAction->setShortcuts(keysOf(QKeySequence(Qt::CTRL | Qt::Key_E), QKeySequence::UnknownKey));
    quitAction->setShortcuts(keysOf(QKeySequence(Qt::CTRL | Qt::Key_Q), QKeySequence::Quit));
    referenceAction->setShortcuts(keysOf(QKeySequence(Qt::Key_F1), QKeySequence::HelpContents));
    // Only while the tree has the focus: in the table, Delete is the table's.
    removeAction->setShortcuts(keysOf(QKeySequence(Qt::Key_Delete), QKeySequence::Delete));
    removeAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    ui.treeWidget->addAction(removeAction);
    for (QAction *action : {importAction, openAction, saveAction, saveAsAction})
        setToolTipWithKey(action);
    ui.emptyHint->setText(QString::fromUtf8("Importujte data (%1) nebo otevřete projekt (%2)")
                              .arg(importAction->shortcut().toString(QKeySequence::NativeText),
                                   openAction->shortcut().toString(QKeySequence::NativeText)));

    connect(importAction, &QAction::triggered, this, &MainWindow::loadCSV);
    connect(saveAction, &QAction::triggered, this, &MainWindow::saveProject);
    connect(saveAsAction, &QAction::triggered, this, &MainWindow::saveProjectAs);
    connect(openAction, &QAction::triggered, this, &MainWindow::openProject);
    connect(closeAction, &QAction::triggered, this, &MainWindow::closeProject);
    connect(exportAction, &QAction::triggered, this, [this] { exportCSV(selectedNode()); });
    // Through the window's close, which asks about unsaved work.
    connect(quitAction, &QAction::triggered, this, &QWidget::close);
    connect(removeAction, &QAction::triggered, this, [this] {
        if (QTreeWidgetItem *node = selectedNode())
            removeNode(node);
    });
    connect(addLinearFunctionAction, &QAction::triggered, this, &MainWindow::addCustomLinearFunction);
    connect(addExponentialFunctionAction, &QAction::triggered, this, &MainWindow::addCustomExponenFunction);
    connect(referenceAction, &QAction::triggered, this, [this] {
        auto *reference = new TMethodReference(this);
        reference->setAttribute(Qt::WA_DeleteOnClose);
        reference->show();
    });

    QMenu *file = menuBar()->addMenu(QString::fromUtf8("&Soubor"));
    file->addAction(importAction);
    file->addAction(exportAction);
    file->addSeparator();
    file->addAction(openAction);
    file->addAction(saveAction);
    file->addAction(saveAsAction);
    file->addAction(closeAction);
    file->addSeparator();
    file->addAction(quitAction);

    // The catalog first, applied to the selected node as from its context
    // menu; then the user's own functions.
    QMenu *functions = menuBar()->addMenu(QString::fromUtf8("&Funkce"));
    addMethodMenus(*functions, catalogActions, catalogCustomActions);
    catalogEntries = functions->actions();
    catalogCustomMenu = catalogEntries.last()->menu();
    functions->addSeparator();
    functions->addAction(addLinearFunctionAction);
    functions->addAction(addExponentialFunctionAction);
    // Nothing to edit or remove yet: shown, but disabled while empty.
    functions->addMenu(QString::fromUtf8("Editovat funkci"))->setEnabled(false);
    functions->addMenu(QString::fromUtf8("Odstranit funkci"))->setEnabled(false);
    QMenu *help = menuBar()->addMenu(QString::fromUtf8("&Nápověda"));
    help->addAction(referenceAction);
    help->addAction(QString::fromUtf8("&O aplikaci"), this,
                    [this] { QMessageBox::about(this, QString::fromUtf8("O aplikaci"), aboutText()); });

    QToolBar *toolBar = new QToolBar(QString::fromUtf8("Panel nástrojů"), this);
    toolBar->setObjectName(QStringLiteral("mainToolBar"));
    toolBar->setIconSize(QSize(64, 64));
    toolBar->addAction(importAction);
    toolBar->addSeparator();
    toolBar->addAction(openAction);
    toolBar->addAction(saveAction);
    toolBar->addAction(saveAsAction);
    toolBar->addSeparator();
    addToolBar(Qt::LeftToolBarArea, toolBar);
}

void MainWindow::createMethodActions()
{
    methodMapper = new QSignalMapper(this);
    methodActions.assign(MethodCatalog.size(), nullptr);
    catalogActions.assign(MethodCatalog.size(), nullptr);
    for (const MethodRecord &record : MethodCatalog) {
        if (!isRegisteredMethod(record.id))
            continue;
        auto *action = new QAction(record.title, this);
        connect(action, &QAction::triggered, methodMapper, qOverload<>(&QSignalMapper::map));
        methodMapper->setMapping(action, record.id);
        methodActions[size_t(record.id)] = action;
        auto *onSelected = new QAction(record.title, this);
        connect(onSelected, &QAction::triggered, this, [this, id = record.id] { applyToSelected(id); });
        catalogActions[size_t(record.id)] = onSelected;
    }
    connect(methodMapper, &QSignalMapper::mappedInt, this, &MainWindow::addFunction);
}

void MainWindow::offerCustomFunction(qint32 id)
{
    const QString title = customFunction(id)->title;
    auto *action = new QAction(title, this);
    customFunctionActions.append(action);
    connect(action, &QAction::triggered, customFunctionMapper, qOverload<>(&QSignalMapper::map));
    customFunctionMapper->setMapping(action, id);
    auto *onSelected = new QAction(title, this);
    catalogCustomActions.append(onSelected);
    connect(onSelected, &QAction::triggered, this, [this, id] { applyToSelected(id); });
    catalogCustomMenu->addAction(onSelected);
    enableSelectionActions();
}

QTreeWidgetItem *MainWindow::selectedNode() const
{
    const QList<QTreeWidgetItem *> selected = ui.treeWidget->selectedItems();
    return selected.size() == 1 ? selected.first() : nullptr;
}

void MainWindow::applyToSelected(int id)
{
    // addFunction applies to the selected node when the menu was opened on one.
    menuOpenedOnItem = true;
    addFunction(id);
}

void MainWindow::enableSelectionActions()
{
    QTreeWidgetItem *node = selectedNode();
    const TTableModel *table = tableOf(node);
    const bool takesMethods = table && kindOf(table->type()) != Formula;
    for (QAction *entry : std::as_const(catalogEntries))
        entry->setEnabled(takesMethods);
    catalogCustomMenu->menuAction()->setEnabled(takesMethods && !catalogCustomMenu->isEmpty());
    exportAction->setEnabled(table != nullptr);
    removeAction->setEnabled(table != nullptr);
}

void MainWindow::addMethodMenus(QMenu &menu, const std::vector<QAction *> &actions, const QList<QAction *> &custom)
{
    // A method with no action (the catalog not built, as in a test of
    // something else) is left out.
    auto addOne = [&actions](QMenu *to, int id) {
        if (size_t(id) < actions.size() && actions[size_t(id)])
            to->addAction(actions[size_t(id)]);
    };
    auto add = [&addOne](QMenu *to, std::initializer_list<int> ids) {
        for (int id : ids)
            addOne(to, id);
    };
    auto addRange = [&addOne](QMenu *to, int first, int last) {
        for (int id = first; id <= last; ++id)
            addOne(to, id);
    };
    auto sub = [](QMenu *to, const char *title) { return to->addMenu(QString::fromUtf8(title)); };

    QMenu *living = sub(&menu, "Studium živého člověka");
    add(sub(living, "Hmotnostně výškové indexy"), {0, 1, 2, 3});
    add(living, {6});
    add(sub(living, "Index proporcionality (KEI)"), {4, 5});
    QMenu *composition = sub(living, "Složení lidského těla");
    add(sub(composition, "Metody podle Matiegky"), {7, 8, 9});
    add(sub(composition, "Množství podkožního tuku podle Jackson-Pollocka"), {11, 10, 14, 15, 12, 13});
    addRange(sub(composition, "Množství podkožního tuku podle Pařízkové"), 16, 21);
    add(composition, {22});
    add(living, {43});

    QMenu *skeleton = sub(&menu, "Studium lidského skeletu");
    QMenu *indices = sub(skeleton, "Antropometrické indexy");
    addRange(indices, 23, 29);
    indices->addSeparator();
    add(indices, {30, 31});
    add(sub(indices, "Objem lebky podle Manouvriera"), {32, 33});
    add(sub(indices, "Objem lebky podle Lee a Pearsona"), {34, 35});
    indices->addSeparator();
    addRange(indices, 36, 42);
    add(sub(sub(skeleton, "Určení biologického původu nálezu"), "Histometrická metoda podle Urbanová, Novotný"),
        {44, 45, 46});
    add(sub(skeleton, "Určení populační afinity"), {47});
    add(sub(skeleton, "Určení pohlaví"), {48, 49, 50});
    add(sub(skeleton, "Odhad dožitého věku"), {51, 52});

    QMenu *units = sub(&menu, "Převody jednotek SI");
    addRange(sub(units, "Jednotky délky"), 53, 61);
    addRange(sub(units, "Úhlové jednotky"), 62, 64);
    addRange(sub(units, "Jednotky plochy"), 65, 74);
    addRange(sub(units, "Jednotky objemu"), 75, 81);
    addRange(sub(units, "Jednotky hmotnosti"), 82, 86);
    addRange(sub(units, "Jednotky teploty"), 87, 88);
    addRange(sub(units, "Jednotky tlaku"), 89, 93);
    add(sub(units, "Jednotky síly"), {94});
    addRange(sub(units, "Jednotky energie"), 95, 96);

    add(sub(&menu, "Úprava prostorových dat"), {97, 98, 99, 101, 102, 105});

    menu.addSeparator();
    QMenu *customMenu = sub(&menu, "Vlastní funkce");
    for (QAction *action : custom)
        customMenu->addAction(action);
}

TTableModel *MainWindow::tableOf(QTreeWidgetItem *node)
{
    return node ? qobject_cast<TTableModel *>(node->data(0, Qt::UserRole).value<QObject *>()) : nullptr;
}

QTreeWidget *MainWindow::tree() const
{
    return ui.treeWidget;
}

QTableView *MainWindow::tableView() const
{
    return ui.tableView;
}

QVector<QTreeWidgetItem *> MainWindow::formulaResultsOf(QTreeWidgetItem *node) const
{
    return formulaResults.value(node);
}

void MainWindow::updateTitle()
{
    const QString text = projectName + (modified ? QStringLiteral("*") : QString());
    ui.label->setText(text);
    setWindowTitle(text + QStringLiteral(" - ") + applicationName);
}

void MainWindow::setProjectFile(const QString &path)
{
    projectFileName = path;
    projectName = path.isEmpty() ? QString::fromUtf8(newProjectName) : QFileInfo(path).baseName();
    updateTitle();
}

void MainWindow::clearTreeSelection()
{
    ui.treeWidget->clearSelection();
}

void MainWindow::setProjectSaved(bool saved)
{
    modified = !saved;
    updateTitle();
}

void MainWindow::setProjectSaved()
{
    setProjectSaved(false);
}

void MainWindow::showTable(TTableModel *table)
{
    ui.tableView->setModel(table);
    if (!table)
        return;
    // Sized from the rows on screen (the header samples them), never row by row.
    ui.tableView->verticalHeader()->setDefaultSectionSize(ui.tableView->verticalHeader()->minimumSectionSize());
    ui.tableView->resizeColumnsToContents();
    // The sampled rows are the first ones; the row numbers grow to the last.
    if (table->rowCount() > 0) {
        const int grid = ui.tableView->showGrid() ? 1 : 0;
        const int widest = ui.tableView->sizeHintForIndex(table->index(table->rowCount() - 1, 0)).width() + grid;
        if (ui.tableView->columnWidth(0) < widest)
            ui.tableView->setColumnWidth(0, widest);
    }
}

void MainWindow::shownTableChanged()
{
    // Only our own connections: the table's others (its checks marking the
    // project modified) stay.
    for (const QMetaObject::Connection &connection : std::as_const(summaryConnections))
        disconnect(connection);
    summaryConnections.clear();
    summarizedTable = qobject_cast<TTableModel *>(ui.tableView->model());
    if (summarizedTable) {
        summaryConnections = {
            connect(summarizedTable, &TTableModel::checksChanged, this, &MainWindow::updateTableSummary),
            connect(summarizedTable, &QAbstractItemModel::rowsInserted, this, &MainWindow::updateTableSummary),
            connect(summarizedTable, &QAbstractItemModel::rowsRemoved, this, &MainWindow::updateTableSummary),
            connect(summarizedTable, &QAbstractItemModel::columnsInserted, this, &MainWindow::updateTableSummary),
            connect(summarizedTable, &QAbstractItemModel::columnsRemoved, this, &MainWindow::updateTableSummary),
            connect(summarizedTable, &QAbstractItemModel::modelReset, this, &MainWindow::updateTableSummary),
        };
    }
    updateTableSummary();
    updateEmptyHint();
}

void MainWindow::updateTableSummary()
{
    const TTableModel *table = summarizedTable;
    if (!table) {
        ui.tableSummary->clear();
        return;
    }
    const int rows = table->rowCount();
    int checked = 0;
    for (int row = 0; row < rows; ++row)
        checked += table->isRowChecked(row) ? 1 : 0;
    const QLocale locale;
    ui.tableSummary->setText(QString::fromUtf8("Řádků: %1, sloupců: %2, zaškrtnutých: %3")
                                 .arg(locale.toString(rows), locale.toString(table->width()), locale.toString(checked)));
}

void MainWindow::updateEmptyHint()
{
    const bool empty = ui.treeWidget->topLevelItemCount() == 0 && !ui.tableView->model();
    ui.emptyHint->setVisible(empty);
    ui.tableView->setVisible(!empty);
}

void MainWindow::restoreWindowLayout()
{
    restoreGeometry(settings.value(QStringLiteral("windowGeometry")).toByteArray());
    // Laid out now rather than when first shown, so that the tree and the
    // table have their sizes from the start.
    layout()->activate();
    ui.centralWidget->layout()->activate();
    // The tree starts at two fifths of the width: the titles of methods are
    // long, and a table scrolls where a title would be cut.
    const int tree = ui.splitter->width() * 2 / 5;
    if (!ui.splitter->restoreState(settings.value(QStringLiteral("splitterState")).toByteArray()))
        ui.splitter->setSizes({tree, ui.splitter->width() - tree});
}

void MainWindow::saveWindowLayout()
{
    // A window never shown has nothing of the user's to remember.
    if (!windowHandle())
        return;
    settings.setValue(QStringLiteral("windowGeometry"), saveGeometry());
    settings.setValue(QStringLiteral("splitterState"), ui.splitter->saveState());
}

void MainWindow::changeModel(QTreeWidgetItem *node, int)
{
    TTableModel *table = tableOf(node);
    if (!table)
        return;
    ui.commandLinkButton->setVisible(table->type() == 43);
    showTable(table);
}

void MainWindow::enableFunctions()
{
    enableSelectionActions();
    const QList<QTreeWidgetItem *> selected = ui.treeWidget->selectedItems();
    if (!selected.isEmpty())
        changeModel(selected.first(), 0);
}

void MainWindow::treeContextMenu(const QPoint &position)
{
    QTreeWidgetItem *node = ui.treeWidget->itemAt(position);
    menuOpenedOnItem = node != nullptr;
    QMenu menu(this);
    if (!node) {
        clearTreeSelection();
        menu.addAction(importAction);
        addMethodMenus(menu, methodActions, customFunctionActions);
        PopupMenu::exec(menu, QCursor::pos());
        return;
    }
    TTableModel *table = tableOf(node);
    if (!table)
        return;
    const bool isSource = dataNodes.contains(node);
    if (kindOf(table->type()) != Formula) {
        addMethodMenus(menu, methodActions, customFunctionActions);
        menu.addSeparator();
    }
    QAction *exportEntry = menu.addAction(QIcon(QStringLiteral(":/icons/vstupni-data-70x60px.png")),
                                          QString::fromUtf8("Exportovat tabulku do CSV"));
    QAction *copyEntry = menu.addAction(QString::fromUtf8("Kopírovat tabulku"));
    QAction *statisticsEntry = menu.addAction(QString::fromUtf8("Statistika"));
    QAction *renameEntry = isSource ? menu.addAction(QString::fromUtf8("Přejmenovat sloupce")) : nullptr;
    QAction *addRowsEntry = menu.addAction(QString::fromUtf8("Přidat data"));
    menu.addSeparator();
    QAction *removeEntry = menu.addAction(isSource ? QString::fromUtf8("Odstranit soubor s daty")
                                                   : QString::fromUtf8("Zrušit funkci"));

    QAction *chosen = PopupMenu::exec(menu, ui.treeWidget->viewport()->mapToGlobal(position));
    if (!chosen)
        return;
    if (chosen == exportEntry)
        exportCSV(node);
    else if (chosen == copyEntry)
        copyTableToClipboard(table, ui.tableView);
    else if (chosen == statisticsEntry)
        showStatistics(node);
    else if (renameEntry && chosen == renameEntry)
        renameColumns(node);
    else if (chosen == addRowsEntry)
        addRows(node);
    else if (chosen == removeEntry)
        removeNode(node);
}

void MainWindow::addFunction(int id)
{
    if (!menuOpenedOnItem) {
        typeInTable(id);
        return;
    }
    const QList<QTreeWidgetItem *> selected = ui.treeWidget->selectedItems();
    if (selected.size() != 1)
        return;
    QTreeWidgetItem *parentNode = selected.first();
    TTableModel *source = tableOf(parentNode);
    if (!source || kindOf(source->type()) == Formula)
        return;

    QTreeWidgetItem *result = nullptr;
    const bool isFormula = kindOf(id) == Formula;
    if (isFormula)
        result = formulaResults.value(parentNode).value(id);
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
        if (!mapColumns(*table, id, &columns))
            return;
        bool applied = false;
        const bool finished = BackgroundWork::run(this, QString::fromUtf8("Počítám…"), [&](WorkControl &) {
            applied = custom ? table->applyCustomFunction(id, columns) : table->applyMethod(id, columns);
        });
        if (!finished || !applied)
            return;
        result = resultNode(table.release(), parentNode, id);
        setProjectSaved(false);
        if (isFormula) {
            auto &resultSlots = formulaResults[parentNode];
            if (resultSlots.size() != formulaCount)
                resultSlots = emptyResultSlots();
            resultSlots[id] = result;
        } else {
            formulaResults.insert(result, emptyResultSlots());
        }
    }
    clearTreeSelection();
    parentNode->setExpanded(true);
    result->setSelected(true);
    changeModel(result, 0);
}

bool MainWindow::mapColumns(const TTableModel &table, qint32 id, std::vector<int> *columns)
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
    setProjectSaved(false);
    showTable(table.get());

    const MethodRecord &record = MethodCatalog[size_t(id)];
    auto *node = new QTreeWidgetItem(QStringList{record.title, record.description});
    node->setIcon(0, iconOfType(table->type()));
    connect(table.get(), &TTableModel::checksChanged, this, qOverload<>(&MainWindow::setProjectSaved));
    setNodeTable(node, table.release());
    ui.treeWidget->addTopLevelItem(node);
    if (record.kind != Formula)
        formulaResults.insert(node, emptyResultSlots());
    setProjectSaved(false);
    clearTreeSelection();
    node->setSelected(true);
    changeModel(node, 0);
}

void MainWindow::renameColumns(QTreeWidgetItem *node)
{
    TTableModel *table = tableOf(node);
    if (!table)
        return;
    TRenameWizard wizard(this);
    wizard.setModel(table);
    if (wizard.exec() != QDialog::Accepted)
        return;
    ui.tableView->viewport()->update();
    setProjectSaved(false);
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
    table->appendRows(wizard.rows());
    setProjectSaved(false);
    // The view takes the table anew, so that its rows are read again.
    ui.tableView->setModel(nullptr);
    changeModel(node, 0);
}

QTreeWidgetItem *MainWindow::resultNode(TTableModel *table, QTreeWidgetItem *parentNode, qint32 id)
{
    const MethodRecord &record = *recordOf(id);
    auto *node = new QTreeWidgetItem(QStringList{record.title, record.description});
    node->setToolTip(0, record.title);
    setNodeTable(node, table);
    connect(table, &TTableModel::checksChanged, this, qOverload<>(&MainWindow::setProjectSaved));
    setParentNode(node, parentNode);
    node->setIcon(0, iconOfType(table->type()));
    parentNode->addChild(node);
    return node;
}

void MainWindow::removeNode(QTreeWidgetItem *node)
{
    const bool isSource = dataNodes.contains(node);
    if (node->childCount() > 0) {
        const auto answer = MessageBox::warning(
            this,
            isSource ? QString::fromUtf8("Odstranění souboru s daty") : QString::fromUtf8("Odstranění funkce"),
            QString::fromUtf8("Při odstranění těchto dat odstraníte také všechny funkce, které na ně byly "
                              "aplikovány. Přejete si opravdu tato data odstranit?"),
            QMessageBox::Ok | QMessageBox::Cancel);
        if (answer != QMessageBox::Ok)
            return;
    }
    const qsizetype index = dataNodes.indexOf(node);
    deleteTree(node);
    if (index >= 0) {
        dataNodes.removeAt(index);
        sourceFileNames.removeAt(index);
    }
    setProjectSaved(false);
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
            auto resultSlots = formulaResults.find(parentNodeOf(top));
            if (resultSlots != formulaResults.end() && resultSlots->value(table->type()) == top)
                (*resultSlots)[table->type()] = nullptr;
        }
        formulaResults.remove(top);
        if (ui.tableView->model() == table)
            ui.tableView->setModel(nullptr);
        delete top;
        delete table;
    }
}

void MainWindow::loadCSV()
{
    const QString folder = settings.value(QStringLiteral("importDataFolder"), QDir::homePath()).toString();
    const QStringList files = FileDialog::openFileNames(this, QString::fromUtf8("Import dat z CSV souboru"), folder,
                                                        QString::fromUtf8("Soubor CSV (*.csv)"));
    if (files.isEmpty())
        return;
    settings.setValue(QStringLiteral("importDataFolder"), QFileInfo(files.first()).absolutePath());

    // Read and parsed by a worker into tables of its own, handed to this
    // thread; a cancelled import adds none of them.
    std::vector<std::unique_ptr<TTableModel>> tables;
    QThread *const here = QThread::currentThread();
    const bool finished =
        BackgroundWork::run(this, QString::fromUtf8("Importuji data…"), [&](WorkControl &control) {
            for (const QString &path : files) {
                if (control.cancelled())
                    return;
                auto table = std::make_unique<TTableModel>(nullptr);
                table->loadCsv(path);
                table->moveToThread(here);
                tables.push_back(std::move(table));
            }
        });
    if (!finished)
        return;
    setProjectSaved(false);

    QTreeWidgetItem *last = nullptr;
    QString unreadReport;
    for (size_t i = 0; i < tables.size(); ++i) {
        const QString &path = files[qsizetype(i)];
        TTableModel *table = tables[i].release();
        table->setParent(this);
        connect(table, &TTableModel::checksChanged, this, qOverload<>(&MainWindow::setProjectSaved));
        showTable(table);
        const QString name = QFileInfo(path).fileName();
        sourceFileNames.append(name);

        QTreeWidgetItem *node = makeSourceNode(name, table);
        ui.treeWidget->addTopLevelItem(node);
        dataNodes.append(node);
        formulaResults.insert(node, emptyResultSlots());
        clearTreeSelection();
        last = node;
        unreadReport += unreadSummary(name, *table);
    }
    last->setSelected(true);
    if (!unreadReport.isEmpty())
        MessageBox::warning(this, QString::fromUtf8("Import dat z CSV souboru"),
                            QString::fromUtf8("Některá pole neobsahují číslo a počítá se v nich s 0; v tabulce jsou "
                                              "podbarvená a jejich bublina ukazuje, co v souboru stálo.\n")
                                + unreadReport);
}

void MainWindow::exportCSV(QTreeWidgetItem *node)
{
    TTableModel *table = tableOf(node);
    if (!table)
        return;
    const QString title = QString::fromUtf8("Export tabulky do CSV");
    const QString path = askExportPath(this, title);
    if (path.isEmpty())
        return;
    // Written by a worker from a copy, beside the old file, and put in its
    // place only when complete: a full disk, a vanished folder or a cancel
    // never leaves half a table behind.
    const TTableModel copy(table);
    bool written = false;
    const bool finished =
        BackgroundWork::run(this, QString::fromUtf8("Exportuji tabulku…"), [&](WorkControl &control) {
            QSaveFile file(path);
            written = file.open(QIODevice::WriteOnly) && copy.writeCsv(&file) && !control.cancelled()
                      && file.commit();
        });
    if (!finished && !written)
        return;
    if (!written) {
        MessageBox::warning(this, title,
                            QString::fromUtf8("Nepodařilo se vytvořit CSV soubor. Zkontrolujte, zda není otevřený v "
                                              "jiném programu."));
        return;
    }
    statusBar()->showMessage(QString::fromUtf8("Tabulka exportována: %1").arg(QFileInfo(path).fileName()), 5000);
}

void MainWindow::showStatistics(QTreeWidgetItem *node)
{
    const TTableModel *table = tableOf(node);
    if (!table)
        return;
    // A window of its own, on a copy of the table: it may stay open while
    // the project changes.
    auto *dialog = new TStatisticsDialog(*table, groupingColumns(node), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QString::fromUtf8("Statistika – %1").arg(node->text(0)));
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
        wizard->setWindowTitle(QString::fromUtf8("Přidání exponenciální funkce"));
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
    auto *table = qobject_cast<TTableModel *>(ui.tableView->model());
    if (!table)
        return;
    TSheldonDialog dialog(this);
    dialog.plot(table);
    // The table on show is the selected node's.
    const QList<QTreeWidgetItem *> selected = ui.treeWidget->selectedItems();
    dialog.setGroupingColumns(
        groupingColumns(!selected.isEmpty() && tableOf(selected.first()) == table ? selected.first() : nullptr));
    dialog.exec();
}

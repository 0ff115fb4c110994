#include "MainWindow.h"

#include "CustomFunctions.h"
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
#include "TTableModel.h"
#include "TreeNodes.h"

#include <QAction>
#include <QCommandLinkButton>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSaveFile>
#include <QSignalMapper>
#include <QStack>
#include <QTableView>
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
    createActions();
    createMethodActions();
    enableFunctions();
    modified = false;
    updateTitle();
    setProjectFile(QString());

    connect(ui.treeWidget, &QTreeWidget::itemClicked, this, &MainWindow::changeModel);
    connect(ui.treeWidget, &QTreeWidget::itemSelectionChanged, this, &MainWindow::enableFunctions);
    connect(ui.commandLinkButton, &QCommandLinkButton::clicked, this, &MainWindow::viewSheldon);
    ui.treeWidget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui.treeWidget, &QTreeWidget::customContextMenuRequested, this, &MainWindow::treeContextMenu);

    customFunctionMapper = new QSignalMapper(this);
    connect(customFunctionMapper, &QSignalMapper::mappedInt, this, &MainWindow::addFunction);
    ui.commandLinkButton->hide();
}

MainWindow::~MainWindow()
{
    // The window owns every node's table; the nodes go with the tree.
    ui.tableView->setModel(nullptr);
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
    resize(639, 542);
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

    ui.horizontalLayout = new QHBoxLayout();
    ui.horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    ui.horizontalLayout->setSpacing(6);
    ui.treeWidget = new QTreeWidget(ui.centralWidget);
    ui.treeWidget->setObjectName(QStringLiteral("treeWidget"));
    ui.treeWidget->setColumnCount(1);
    ui.treeWidget->setHeaderHidden(true);
    ui.treeWidget->header()->setDefaultSectionSize(200);
    ui.treeWidget->setMaximumWidth(400);
    ui.treeWidget->setFrameShape(QFrame::NoFrame);
    ui.treeWidget->setLineWidth(1);
    ui.treeWidget->setSelectionBehavior(QAbstractItemView::SelectItems);
    ui.treeWidget->setWordWrap(true);
    QPalette treePalette = ui.treeWidget->palette();
    treePalette.setColor(QPalette::Base, QColor(250, 250, 255));
    ui.treeWidget->setPalette(treePalette);
    ui.horizontalLayout->addWidget(ui.treeWidget);

    ui.verticalLayout = new QVBoxLayout();
    ui.verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    ui.verticalLayout->setSpacing(6);
    ui.commandLinkButton = new QCommandLinkButton(ui.centralWidget);
    ui.commandLinkButton->setObjectName(QStringLiteral("commandLinkButton"));
    ui.commandLinkButton->setText(QString::fromUtf8("Sheldonův trojúhelník"));
    ui.commandLinkButton->setDescription(QString::fromUtf8("Otevře nové a zobrazí výsledky do Sheldonova trojúhelníku"));
    ui.verticalLayout->addWidget(ui.commandLinkButton);
    ui.tableView = new QTableView(ui.centralWidget);
    ui.tableView->setObjectName(QStringLiteral("tableView"));
    ui.tableView->setFrameShape(QFrame::NoFrame);
    // Rows carry no header of their own (the row number is column 0), and
    // every row has one height: a table of a million rows is never measured
    // row by row.
    ui.tableView->verticalHeader()->hide();
    ui.tableView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    installCopyShortcut(ui.tableView);
    ui.verticalLayout->addWidget(ui.tableView);
    ui.horizontalLayout->addLayout(ui.verticalLayout);
    ui.verticalLayout_2->addLayout(ui.horizontalLayout);
    setCentralWidget(ui.centralWidget);
    menuBar()->setObjectName(QStringLiteral("menuBar"));
    menuBar()->setGeometry(0, 0, 639, 21);
}

void MainWindow::createActions()
{
    importAction = new QAction(QIcon(QStringLiteral(":/icons/vstupni-data-70x60px.png")),
                               QString::fromUtf8("Import ze souboru CSV"), this);
    saveAction = new QAction(QIcon(QStringLiteral(":/icons/ulozit-70x67px.png")), QString::fromUtf8("Uložit projekt"), this);
    saveAsAction = new QAction(QIcon(QStringLiteral(":/icons/ulozit-jako-70x67px.png")),
                               QString::fromUtf8("Uložit projekt jako..."), this);
    openAction = new QAction(QIcon(QStringLiteral(":/icons/otevrit-projekt.png")), QString::fromUtf8("Otevřít projekt"), this);
    closeAction = new QAction(QString::fromUtf8("Zavřít projekt"), this);
    addLinearFunctionAction = new QAction(QString::fromUtf8("Přidat vlastní lineární funkci"), this);
    addExponentialFunctionAction = new QAction(QString::fromUtf8("Přidat vlastní exponenciální funkci"), this);

    connect(importAction, &QAction::triggered, this, &MainWindow::loadCSV);
    connect(saveAction, &QAction::triggered, this, &MainWindow::saveProject);
    connect(saveAsAction, &QAction::triggered, this, &MainWindow::saveProjectAs);
    connect(openAction, &QAction::triggered, this, &MainWindow::openProject);
    connect(closeAction, &QAction::triggered, this, &MainWindow::closeProject);
    connect(addLinearFunctionAction, &QAction::triggered, this, &MainWindow::addCustomLinearFunction);
    connect(addExponentialFunctionAction, &QAction::triggered, this, &MainWindow::addCustomExponenFunction);

    QMenu *file = menuBar()->addMenu(QString::fromUtf8("Soubor"));
    file->addAction(importAction);
    file->addSeparator();
    file->addAction(openAction);
    file->addAction(saveAction);
    file->addAction(saveAsAction);
    file->addAction(closeAction);
    file->addSeparator();
    file->addAction(QString::fromUtf8("Ukončit aplikaci"), this, &QWidget::close);

    QMenu *functions = menuBar()->addMenu(QString::fromUtf8("Funkce"));
    functions->addAction(addLinearFunctionAction);
    functions->addAction(addExponentialFunctionAction);
    functions->addMenu(QString::fromUtf8("Editovat funkci"));
    functions->addMenu(QString::fromUtf8("Odstranit funkci"));
    QMenu *help = menuBar()->addMenu(QString::fromUtf8("Nápověda"));
    help->addAction(QString::fromUtf8("Přehled metod"), this, [this] {
        auto *reference = new TMethodReference(this);
        reference->setAttribute(Qt::WA_DeleteOnClose);
        reference->show();
    });
    help->addAction(QString::fromUtf8("O aplikaci"), this,
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
    for (const MethodRecord &record : MethodCatalog) {
        if (!isRegisteredMethod(record.id))
            continue;
        auto *action = new QAction(record.title, this);
        connect(action, &QAction::triggered, methodMapper, qOverload<>(&QSignalMapper::map));
        methodMapper->setMapping(action, record.id);
        methodActions[size_t(record.id)] = action;
    }
    connect(methodMapper, &QSignalMapper::mappedInt, this, &MainWindow::addFunction);
}

void MainWindow::addMethodMenus(QMenu &menu)
{
    auto add = [this](QMenu *to, std::initializer_list<int> ids) {
        for (int id : ids)
            to->addAction(methodActions[size_t(id)]);
    };
    auto addRange = [this](QMenu *to, int first, int last) {
        for (int id = first; id <= last; ++id)
            to->addAction(methodActions[size_t(id)]);
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
    QMenu *custom = sub(&menu, "Vlastní funkce");
    for (QAction *action : customFunctionActions)
        custom->addAction(action);
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
        addMethodMenus(menu);
        PopupMenu::exec(menu, QCursor::pos());
        return;
    }
    TTableModel *table = tableOf(node);
    if (!table)
        return;
    const bool isSource = dataNodes.contains(node);
    if (kindOf(table->type()) != Formula) {
        addMethodMenus(menu);
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
        auto *table = new TTableModel(source);
        const auto mapper = [this](const TTableModel &shown, qint32 method, std::vector<int> *columns) {
            return mapColumns(shown, method, columns);
        };
        const bool applied =
            kindOf(id) == Custom ? table->applyCustomFunction(id, mapper) : table->applyMethod(id, mapper);
        if (!applied) {
            delete table;
            return;
        }
        result = resultNode(table, parentNode, id);
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
    setProjectSaved(false);

    QTreeWidgetItem *last = nullptr;
    QString unreadReport;
    for (const QString &path : files) {
        auto *table = new TTableModel(this);
        connect(table, &TTableModel::checksChanged, this, qOverload<>(&MainWindow::setProjectSaved));
        table->loadCsv(path);
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
    const QString folder = settings.value(QStringLiteral("exportDataFolder"), QDir::homePath()).toString();
    const QString path = FileDialog::saveFileName(this, title, folder, QString::fromUtf8("Soubor CSV (*.csv)"),
                                                  QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    settings.setValue(QStringLiteral("exportDataFolder"), QFileInfo(path).absolutePath());
    // Written beside the old file and put in its place only when complete: a
    // full disk or a vanished folder never leaves half a table behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !table->writeCsv(&file) || !file.commit()) {
        file.cancelWriting();
        MessageBox::warning(this, title,
                            QString::fromUtf8("Nepodařilo se vytvořit CSV soubor. Zkontrolujte, zda není otevřený v "
                                              "jiném programu."));
    }
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
    const qint32 id = addCustomFunction(makeCustomFunction(form, wizard->coefficients()));
    auto *action = new QAction(customFunction(id)->title, this);
    customFunctionActions.append(action);
    connect(action, &QAction::triggered, customFunctionMapper, qOverload<>(&QSignalMapper::map));
    customFunctionMapper->setMapping(action, id);
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

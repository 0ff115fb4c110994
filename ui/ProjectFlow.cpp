// The project's lifecycle in the main window: save, save as, open, close and
// the question before unsaved work is dropped. The archive itself is
// ProjectArchive's; here the tree's nodes become its plain tree and back.

#include "MainWindow.h"

#include "BackgroundWork.h"
#include "FileDialog.h"
#include "MessageBox.h"
#include "MethodCatalog.h"
#include "ProjectArchive.h"
#include "TTableModel.h"
#include "TreeNodes.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QStatusBar>
#include <QTableView>
#include <QThread>
#include <QTreeWidget>

namespace {

// The plain tree of node, borrowing its tables; with a stack of its own, as a
// project may nest deeper than the call stack would take.
std::unique_ptr<ProjectNode> plainNode(QTreeWidgetItem *node)
{
    auto root = std::make_unique<ProjectNode>();
    root->table = MainWindow::tableOf(node);
    std::vector<std::pair<QTreeWidgetItem *, ProjectNode *>> stack{{node, root.get()}};
    while (!stack.empty()) {
        const auto [item, plain] = stack.back();
        stack.pop_back();
        for (int i = 0; i < item->childCount(); ++i) {
            if (TTableModel *table = MainWindow::tableOf(item->child(i))) {
                plain->children.push_back(std::make_unique<ProjectNode>());
                plain->children.back()->table = table;
                stack.emplace_back(item->child(i), plain->children.back().get());
            }
        }
    }
    return root;
}

} // namespace

bool MainWindow::saveProject()
{
    if (!projectFileName.isEmpty())
        return writeProject(projectFileName);
    return saveProjectAs();
}

bool MainWindow::saveProjectAs()
{
    // Any table is worth saving: imported or typed in.
    bool anyTable = false;
    for (int i = 0; i < ui.treeWidget->topLevelItemCount() && !anyTable; ++i)
        anyTable = tableOf(ui.treeWidget->topLevelItem(i)) != nullptr;
    if (!anyTable)
        return false;
    const QString folder = settings.value(QStringLiteral("saveProjectFolder"), QDir::homePath()).toString();
    const QString path = FileDialog::saveFileName(this, QString::fromUtf8("Uložit projekt jako.."), folder,
                                                  projectFileFilter, QStringLiteral("kstx"));
    if (path.isEmpty())
        return false;
    settings.setValue(QStringLiteral("saveProjectFolder"), QFileInfo(path).absolutePath());
    if (!writeProject(path))
        return false;
    setProjectFile(path);
    return true;
}

bool MainWindow::writeProject(const QString &path)
{
    // Data nodes in their order with their file names, then the tables typed
    // in at the top level, which are kept too.
    ProjectTree roots;
    for (qsizetype i = 0; i < dataNodes.size(); ++i) {
        auto root = plainNode(dataNodes[i]);
        root->isDataNode = true;
        root->sourceFileName = sourceFileNames.value(i);
        roots.push_back(std::move(root));
    }
    for (int i = 0; i < ui.treeWidget->topLevelItemCount(); ++i) {
        QTreeWidgetItem *node = ui.treeWidget->topLevelItem(i);
        if (!dataNodes.contains(node) && tableOf(node))
            roots.push_back(plainNode(node));
    }
    // The worker writes copies: the tables stay the views' alone. A copy
    // shares its table's values and the window takes no input meanwhile.
    std::vector<std::unique_ptr<TTableModel>> copies;
    forEachNode(roots, [&](ProjectNode &node, int) {
        copies.push_back(std::make_unique<TTableModel>(node.table));
        node.table = copies.back().get();
    });
    QString reason;
    bool written = false;
    const bool finished = BackgroundWork::run(this, QString::fromUtf8("Ukládám projekt…"), [&](WorkControl &control) {
        written = writeProjectFile(path, roots, &reason,
                                   [&control](qint64 done, qint64 total) { return control.report(done, total); });
    });
    if (!written) {
        // The file that was there is untouched, and the work still unsaved;
        // a cancelled save needs no word.
        if (finished)
            MessageBox::warning(this, QString::fromUtf8("Uložení projektu"),
                                QString::fromUtf8("Projekt se nepodařilo uložit."), QMessageBox::Ok, reason);
        return false;
    }
    setProjectSaved(true);
    statusBar()->showMessage(QString::fromUtf8("Projekt uložen: %1").arg(QFileInfo(path).fileName()), 5000);
    return true;
}

void MainWindow::openProject()
{
    // The question about unsaved work comes first; the current project goes
    // only once the new one has been read, so a cancelled dialog or a file
    // that is no project leaves it as it was.
    if (!askSaveChanges())
        return;
    const QString folder = settings.value(QStringLiteral("openProjectFolder"), QDir::homePath()).toString();
    const QString path = FileDialog::openFileName(this, QString::fromUtf8("Otevřít projekt"), folder, projectFileFilter);
    if (path.isEmpty())
        return;
    settings.setValue(QStringLiteral("openProjectFolder"), QFileInfo(path).absolutePath());
    replaceProject(path);
}

bool MainWindow::openProjectFile(const QString &path)
{
    return askSaveChanges() && replaceProject(path);
}

bool MainWindow::replaceProject(const QString &path)
{
    // Read by a worker into tables of its own, which it hands to this thread.
    ProjectTree roots;
    QString reason;
    bool read = false;
    QThread *const here = QThread::currentThread();
    const bool finished =
        BackgroundWork::run(this, QString::fromUtf8("Otevírám projekt…"), [&](WorkControl &control) {
            read = readProjectFile(path, &roots, &reason,
                                   [&control](qint64 done, qint64 total) { return control.report(done, total); });
            forEachNode(roots, [here](ProjectNode &node, int) { node.table->moveToThread(here); });
        });
    if (!finished)
        return false; // the project stays as it was
    if (!read) {
        MessageBox::warning(this, QString::fromUtf8("Otevření projektu"),
                            QString::fromUtf8("Projekt se nepodařilo otevřít."), QMessageBox::Ok, reason);
        return false;
    }
    dropProject();
    setProjectSaved(true);
    setProjectFile(path);
    adoptProject(roots);
    return true;
}

void MainWindow::adoptProject(ProjectTree &roots)
{
    // Parents before their children, with a stack of our own; the nodes are
    // expanded once their children are in, the deepest first.
    std::vector<std::pair<ProjectNode *, QTreeWidgetItem *>> stack;
    for (auto it = roots.rbegin(); it != roots.rend(); ++it)
        stack.emplace_back(it->get(), nullptr);
    std::vector<QTreeWidgetItem *> adopted;
    while (!stack.empty()) {
        const auto [data, parentNode] = stack.back();
        stack.pop_back();
        QTreeWidgetItem *node = adoptNode(*data, parentNode);
        adopted.push_back(node);
        for (auto it = data->children.rbegin(); it != data->children.rend(); ++it)
            stack.emplace_back(it->get(), node);
    }
    for (auto it = adopted.rbegin(); it != adopted.rend(); ++it)
        (*it)->setExpanded(true);
}

QTreeWidgetItem *MainWindow::adoptNode(ProjectNode &data, QTreeWidgetItem *parentNode)
{
    TTableModel *table = data.takeTable();
    table->setParent(this);
    connect(table, &TTableModel::checksChanged, this, qOverload<>(&MainWindow::setProjectSaved));

    QTreeWidgetItem *node;
    if (data.isDataNode) {
        node = makeSourceNode(data.sourceFileName, table);
        ui.treeWidget->addTopLevelItem(node);
        dataNodes.append(node);
        sourceFileNames.append(data.sourceFileName);
    } else {
        node = new QTreeWidgetItem(QStringList{data.name});
        node->setIcon(0, iconOfType(table->type()));
        setNodeTable(node, table);
        if (parentNode) {
            if (kindOf(table->type()) == Formula && table->type() >= 0 && table->type() < formulaCount) {
                auto &parentSlots = formulaResults[parentNode];
                if (parentSlots.size() != formulaCount)
                    parentSlots = emptyResultSlots();
                parentSlots[table->type()] = node;
                setParentNode(node, parentNode);
            }
            parentNode->addChild(node);
        } else {
            ui.treeWidget->addTopLevelItem(node);
        }
    }
    if (kindOf(table->type()) != Formula)
        formulaResults.insert(node, emptyResultSlots());
    return node;
}

bool MainWindow::closeProject()
{
    if (!askSaveChanges())
        return false;
    dropProject();
    return true;
}

void MainWindow::dropProject()
{
    ui.tableView->setModel(nullptr);
    while (ui.treeWidget->topLevelItemCount() > 0)
        deleteTree(ui.treeWidget->topLevelItem(0));
    dataNodes.clear();
    formulaResults.clear();
    sourceFileNames.clear();
    setProjectFile(QString());
    // What is left is a new, empty project: nothing in it is unsaved.
    setProjectSaved(true);
}

bool MainWindow::askSaveChanges()
{
    if (!modified)
        return true;
    const auto answer = MessageBox::question(
        this, QString::fromUtf8("Zavření projektu"),
        QString::fromUtf8("Projet \"%1\" nebyl uložen. Přejete si jej uložit?").arg(projectName),
        QMessageBox::Cancel | QMessageBox::Save | QMessageBox::Discard);
    if (answer == QMessageBox::Discard)
        return true;
    if (answer == QMessageBox::Save)
        return saveProject();
    return false;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (askSaveChanges())
        event->accept();
    else
        event->ignore();
}

// The project's lifecycle in the main window: save, save as, open, close and
// the question before unsaved work is dropped. The archive itself is
// ProjectArchive's; here the tree's nodes become its plain tree and back.

#include "MainWindow.h"

#include "FileDialog.h"
#include "MessageBox.h"
#include "MethodCatalog.h"
#include "ProjectArchive.h"
#include "TTableModel.h"
#include "TreeNodes.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QTableView>
#include <QTreeWidget>

namespace {

// The plain tree of node, borrowing its tables.
std::unique_ptr<ProjectNode> plainNode(QTreeWidgetItem *node)
{
    auto plain = std::make_unique<ProjectNode>();
    plain->table = MainWindow::tableOf(node);
    for (int i = 0; i < node->childCount(); ++i)
        if (MainWindow::tableOf(node->child(i)))
            plain->children.push_back(plainNode(node->child(i)));
    return plain;
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
    if (dataNodes.isEmpty())
        return false;
    const QString folder = settings.value(QStringLiteral("saveProjectFolder"), QDir::homePath()).toString();
    const QString path = FileDialog::saveFileName(this, QString::fromUtf8("Uložit projekt jako.."), folder,
                                                  projectFileFilter);
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
    if (!writeProjectFile(path, roots)) {
        // The file that was there is untouched, and the work still unsaved.
        MessageBox::warning(this, QString::fromUtf8("Uložení projektu"),
                            QString::fromUtf8("Projekt se nepodařilo uložit."));
        return false;
    }
    setProjectSaved(true);
    return true;
}

void MainWindow::openProject()
{
    if (!closeProject())
        return;
    const QString folder = settings.value(QStringLiteral("openProjectFolder"), QDir::homePath()).toString();
    const QString path = FileDialog::openFileName(this, QString::fromUtf8("Otevřít projekt"), folder, projectFileFilter);
    if (path.isEmpty())
        return;
    settings.setValue(QStringLiteral("openProjectFolder"), QFileInfo(path).absolutePath());
    openProjectFile(path);
}

bool MainWindow::openProjectFile(const QString &path)
{
    // The current project goes first, with the question about unsaved work;
    // from the menu it is already gone and nothing is asked twice.
    if (!closeProject())
        return false;
    ProjectTree roots;
    if (!readProjectFile(path, &roots)) {
        MessageBox::warning(this, QString::fromUtf8("Otevření projektu"),
                            QString::fromUtf8("Projekt se nepodařilo otevřít."));
        return false;
    }
    setProjectSaved(true);
    setProjectFile(path);
    adoptProject(roots);
    return true;
}

void MainWindow::adoptProject(ProjectTree &roots)
{
    for (auto &root : roots)
        adoptNode(*root, nullptr);
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
    for (auto &child : data.children)
        adoptNode(*child, node);
    node->setExpanded(true);
    return node;
}

bool MainWindow::closeProject()
{
    if (!askSaveChanges())
        return false;
    ui.tableView->setModel(nullptr);
    while (ui.treeWidget->topLevelItemCount() > 0)
        deleteTree(ui.treeWidget->topLevelItem(0));
    dataNodes.clear();
    formulaResults.clear();
    sourceFileNames.clear();
    setProjectFile(QString());
    // What is left is a new, empty project: nothing in it is unsaved.
    setProjectSaved(true);
    return true;
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

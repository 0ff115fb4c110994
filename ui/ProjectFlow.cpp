// The project's lifecycle in the main window: save, save as, open (from its
// dialog, the list of recent projects or a file dropped on the window), close
// and the question before unsaved work is dropped. The archive itself is
// ProjectArchive's; here the tree's nodes become its plain tree and back.

#include "MainWindow.h"

#include "BackgroundWork.h"
#include "FileDialog.h"
#include "MessageBox.h"
#include "MethodCatalog.h"
#include "ProjectArchive.h"
#include "RecentProjects.h"
#include "TTableModel.h"
#include "TreeNodes.h"

#include <QCloseEvent>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QStatusBar>
#include <QTableView>
#include <QThread>
#include <QTreeWidget>
#include <QUndoStack>
#include <QUrl>

#include <optional>

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

// What a drop brings: one project file, or CSV files. Nothing else is taken,
// nor a project with tables, which would leave unclear where they go.
struct DroppedFiles {
    QString project;
    QStringList tables;
};

std::optional<DroppedFiles> droppedFiles(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return std::nullopt;
    DroppedFiles files;
    for (const QUrl &url : data->urls()) {
        if (!url.isLocalFile())
            return std::nullopt;
        const QString path = url.toLocalFile();
        const QString suffix = QFileInfo(path).suffix().toLower();
        if (suffix == QStringLiteral("kstx") && files.project.isEmpty())
            files.project = path;
        else if (suffix == QStringLiteral("csv"))
            files.tables.append(path);
        else
            return std::nullopt;
    }
    if (files.project.isEmpty() == files.tables.isEmpty())
        return std::nullopt;
    return files;
}

} // namespace

bool MainWindow::saveProject()
{
    if (!m_projectFileName.isEmpty())
        return writeProject(m_projectFileName);
    return saveProjectAs();
}

bool MainWindow::saveProjectAs()
{
    // Any table is worth saving: imported or typed in.
    bool anyTable = false;
    for (int i = 0; i < tree()->topLevelItemCount() && !anyTable; ++i)
        anyTable = tableOf(tree()->topLevelItem(i)) != nullptr;
    if (!anyTable)
        return false;
    const QString folder = m_settings.value(QStringLiteral("saveProjectFolder"), QDir::homePath()).toString();
    const QString path = FileDialog::saveFileName(this, QStringLiteral("Uložit projekt jako.."), folder,
                                                  m_projectFileFilter, QStringLiteral("kstx"));
    if (path.isEmpty())
        return false;
    m_settings.setValue(QStringLiteral("saveProjectFolder"), QFileInfo(path).absolutePath());
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
    for (qsizetype i = 0; i < m_dataNodes.size(); ++i) {
        auto root = plainNode(m_dataNodes[i]);
        root->isDataNode = true;
        root->sourceFileName = m_sourceFileNames.value(i);
        roots.push_back(std::move(root));
    }
    for (int i = 0; i < tree()->topLevelItemCount(); ++i) {
        QTreeWidgetItem *node = tree()->topLevelItem(i);
        if (!m_dataNodes.contains(node) && tableOf(node))
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
    const bool finished = BackgroundWork::run(this, QStringLiteral("Ukládám projekt…"), [&](WorkControl &control) {
        written = writeProjectFile(path, roots, &reason,
                                   [&control](qint64 done, qint64 total) { return control.report(done, total); });
    });
    if (!written) {
        // The file that was there is untouched, and the work still unsaved;
        // a cancelled save needs no word.
        if (finished)
            MessageBox::warning(this, QStringLiteral("Uložení projektu"),
                                QStringLiteral("Projekt se nepodařilo uložit."), QMessageBox::Ok, reason);
        return false;
    }
    setProjectSaved(true);
    m_recentProjects->add(path);
    statusBar()->showMessage(QStringLiteral("Projekt uložen: %1").arg(QFileInfo(path).fileName()), 5000);
    return true;
}

void MainWindow::openProject()
{
    // The question about unsaved work comes first; the current project goes
    // only once the new one has been read, so a cancelled dialog or a file
    // that is no project leaves it as it was.
    if (!askSaveChanges())
        return;
    const QString folder = m_settings.value(QStringLiteral("openProjectFolder"), QDir::homePath()).toString();
    const QString path =
        FileDialog::openFileName(this, QStringLiteral("Otevřít projekt"), folder, m_projectFileFilter);
    if (path.isEmpty())
        return;
    m_settings.setValue(QStringLiteral("openProjectFolder"), QFileInfo(path).absolutePath());
    replaceProject(path);
}

bool MainWindow::openProjectFile(const QString &path)
{
    return askSaveChanges() && replaceProject(path);
}

void MainWindow::openRecentProject(const QString &path)
{
    // Before the question about unsaved work: there is nothing to open.
    if (!QFileInfo(path).isFile()) {
        MessageBox::warning(this, QStringLiteral("Otevření projektu"),
                            QStringLiteral("Soubor „%1“ už neexistuje. Ze seznamu naposledy otevřených projektů byl "
                                           "odstraněn.")
                                .arg(QDir::toNativeSeparators(path)));
        m_recentProjects->remove(path);
        return;
    }
    openProjectFile(path);
}

bool MainWindow::replaceProject(const QString &path)
{
    // Read by a worker into tables of its own, which it hands to this thread.
    ProjectTree roots;
    QString reason;
    bool read = false;
    QThread *const here = QThread::currentThread();
    const bool finished =
        BackgroundWork::run(this, QStringLiteral("Otevírám projekt…"), [&](WorkControl &control) {
            read = readProjectFile(path, &roots, &reason,
                                   [&control](qint64 done, qint64 total) { return control.report(done, total); });
            forEachNode(roots, [here](ProjectNode &node, int) { node.table->moveToThread(here); });
        });
    if (!finished)
        return false; // the project stays as it was
    if (!read) {
        MessageBox::warning(this, QStringLiteral("Otevření projektu"),
                            QStringLiteral("Projekt se nepodařilo otevřít."), QMessageBox::Ok, reason);
        return false;
    }
    dropProject();
    setProjectSaved(true);
    setProjectFile(path);
    adoptProject(roots);
    m_recentProjects->add(path);
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
    // The first table is shown and current, ready for the keys.
    if (tree()->topLevelItemCount() > 0) {
        QTreeWidgetItem *first = tree()->topLevelItem(0);
        clearTreeSelection();
        tree()->setCurrentItem(first);
        first->setSelected(true);
        changeModel(first, 0);
    }
}

QTreeWidgetItem *MainWindow::adoptNode(ProjectNode &data, QTreeWidgetItem *parentNode)
{
    TTableModel *table = data.takeTable();
    table->setParent(this);

    QTreeWidgetItem *node;
    if (data.isDataNode) {
        node = makeSourceNode(data.sourceFileName, table);
        tree()->addTopLevelItem(node);
        m_dataNodes.append(node);
        m_sourceFileNames.append(data.sourceFileName);
    } else {
        node = new QTreeWidgetItem(QStringList{data.name});
        node->setIcon(0, iconOfType(table->type()));
        setNodeTable(node, table);
        if (parentNode) {
            // A result follows its source only where the record's columns and
            // rows are the source's.
            if (const TTableModel *source = tableOf(parentNode); source && !table->originFits(*source))
                table->setOrigin(std::nullopt);
            if (kindOf(table->type()) == Formula && table->type() >= 0 && table->type() < MethodCatalogSize) {
                auto &parentSlots = m_formulaResults[parentNode];
                if (parentSlots.size() != MethodCatalogSize)
                    parentSlots = emptyResultSlots();
                parentSlots[table->type()] = node;
                setParentNode(node, parentNode);
            }
            parentNode->addChild(node);
        } else {
            tree()->addTopLevelItem(node);
        }
    }
    if (kindOf(table->type()) != Formula)
        m_formulaResults.insert(node, emptyResultSlots());
    watchTable(node);
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
    tableView()->setModel(nullptr);
    m_undoStack->clear();
    while (tree()->topLevelItemCount() > 0)
        deleteTree(tree()->topLevelItem(0));
    m_dataNodes.clear();
    m_formulaResults.clear();
    m_sourceFileNames.clear();
    setProjectFile(QString());
    // What is left is a new, empty project: nothing in it is unsaved.
    setProjectSaved(true);
}

bool MainWindow::askSaveChanges()
{
    if (!m_modified)
        return true;
    const auto answer = MessageBox::question(
        this, QStringLiteral("Zavření projektu"),
        QStringLiteral("Projet \"%1\" nebyl uložen. Přejete si jej uložit?").arg(m_projectName),
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

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    // Taken as a copy: the program the files come from keeps them.
    if (droppedFiles(event->mimeData()) && (event->possibleActions() & Qt::CopyAction)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const std::optional<DroppedFiles> files = droppedFiles(event->mimeData());
    if (!files || !(event->possibleActions() & Qt::CopyAction)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // Opened once the drop is over: the program the files came from waits
    // for its end, and would wait through every question the opening asks.
    QMetaObject::invokeMethod(
        this,
        [this, files = *files] {
            if (!files.project.isEmpty())
                openProjectFile(files.project);
            else
                importCsvFiles(files.tables);
        },
        Qt::QueuedConnection);
}

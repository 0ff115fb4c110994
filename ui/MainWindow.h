#pragma once
// The program's only top-level window: the project tree on the left (source
// tables at the top level, method results as their children), the table of
// the selected node on the right, the file actions in the menu bar and the
// tool bar, and every method of the catalog in the tree's context menu and
// in the "Funkce" menu. The tree and the table are split by a splitter whose
// position, with the window's geometry, is kept in the settings.

#include "ProjectNodes.h"
#include "SampleGroups.h"
#include "TableView.h"

#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QSettings>
#include <QStringList>
#include <QVector>

#include <memory>
#include <vector>

class QAction;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
struct ProjectNode;
class QLabel;
class QMenu;
class QSignalMapper;
class QTableView;
class RecentProjects;
class QTreeWidget;
class QTreeWidgetItem;
class QUndoStack;
class TTableModel;

namespace Ui {
class MainWindow;
}

class MainWindow : public QMainWindow, public ProjectNodes {
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The node's table, or nullptr.
    static TTableModel *tableOf(QTreeWidgetItem *node);
    // Writes the project; false, with a message, when it could not be saved.
    bool writeProject(const QString &path);
    // Asks about unsaved changes; true when the project may be dropped.
    bool askSaveChanges();
    void updateTitle();
    void setProjectFile(const QString &path);
    void clearTreeSelection();
    // Opens the project at path in place of the current one (asking about
    // unsaved changes first), as "Otevřít projekt" does after its dialog.
    // False when the question was cancelled or the file is no project; the
    // latter with the message and its reason, the current project kept.
    bool openProjectFile(const QString &path);
    // Soubor → Naposledy otevřené: opens the project through openProjectFile;
    // a file that is gone is said so and leaves the list.
    void openRecentProject(const QString &path);
    // Imports the CSV files as Soubor → Import does once they are chosen:
    // each shown in the import dialog, then read and added.
    void importCsvFiles(const QStringList &files);

    // Read access for the project file and for tests.
    QTreeWidget *tree() const;
    TableView *tableView() const;
    RecentProjects *recentProjects() const { return m_recentProjects; }
    bool isModified() const { return m_modified; }
    // Every change to the project, to be taken back and done again.
    QUndoStack *undoStack() const { return m_undoStack; }
    Place detachNode(QTreeWidgetItem *node) override;
    void attachNode(QTreeWidgetItem *node, const Place &place) override;
    // Removes the rows of the node's table (ascending), with its results' rows.
    void removeRows(QTreeWidgetItem *node, const std::vector<int> &rows);
    const QList<QTreeWidgetItem *> &sourceNodes() const { return m_dataNodes; }
    const QStringList &sourceFiles() const { return m_sourceFileNames; }
    // The formula results of node, one slot per formula id; empty when the
    // node takes none.
    QVector<QTreeWidgetItem *> formulaResultsOf(QTreeWidgetItem *node) const;
    // The columns the node's rows can be grouped by: the table's own number
    // and text columns, then those of the tables it was computed from while
    // their rows are its rows (see GroupingColumns.cpp).
    static std::vector<GroupingColumn> groupingColumns(QTreeWidgetItem *node);

public slots:
    void addCustomLinearFunction();
    void addCustomExponenFunction();
    void changeModel(QTreeWidgetItem *node, int column);
    void addFunction(int id);
    void deleteTree(QTreeWidgetItem *node);
    void loadCSV();
    void openProject();
    bool saveProject();
    bool saveProjectAs();
    void setProjectSaved(bool saved);
    void setProjectSaved();
    bool closeProject();
    void treeContextMenu(const QPoint &position);
    void enableFunctions();
    void exportCSV(QTreeWidgetItem *node);
    // Opens the statistics window of the node's table.
    void showStatistics(QTreeWidgetItem *node);
    void viewSheldon();

protected:
    void closeEvent(QCloseEvent *event) override;
    // A project file dropped on the window opens, CSV files are imported;
    // anything else is not taken.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Reads the project at path and, when it is one, puts it in place of the
    // current one, which is dropped without a question.
    bool replaceProject(const QString &path);
    // The current project goes: every table, the file name, the marks.
    void dropProject();

    // What the form cannot hold: the sizes from the screen, the logo for its
    // pixel ratio, the table's rows and keys, the status bar's label.
    void setupUi();
    void adoptProject(std::vector<std::unique_ptr<ProjectNode>> &roots);
    QTreeWidgetItem *adoptNode(ProjectNode &data, QTreeWidgetItem *parent);
    void createActions();
    void createMethodActions();
    // The catalog's submenus: actions[id] for each method, custom for the
    // user functions. The context menu and the "Funkce" menu both come from here.
    void addMethodMenus(QMenu &menu, const std::vector<QAction *> &actions, const QList<QAction *> &custom);
    // Menu entries and tool bar buttons for the user function id, once defined.
    void offerCustomFunction(qint32 id);
    // The one selected node, or nullptr.
    QTreeWidgetItem *selectedNode() const;
    // The "Funkce" menu's catalog: method id applied to the selected node.
    void applyToSelected(int id);
    // What the selection allows: the catalog, the export, the removal.
    void enableSelectionActions();
    // The shown table changed: the status bar follows it and its checks.
    void shownTableChanged();
    void updateTableSummary();
    // The hint in place of the table while the project is empty.
    void updateEmptyHint();
    void restoreWindowLayout();
    void saveWindowLayout();
    QTreeWidgetItem *resultNode(TTableModel *table, QTreeWidgetItem *parent, qint32 id);
    // Asks through the column-mapping wizard which columns of table feed the
    // inputs of method or user function id, and which the result carries.
    bool mapColumns(const TTableModel &table, qint32 id, std::vector<int> *columns,
                    std::vector<int> *carried = nullptr);
    // A new top-level table of method id, its rows typed in.
    void typeInTable(qint32 id);
    void renameColumns(QTreeWidgetItem *node);
    void addRows(QTreeWidgetItem *node);
    void defineFunction(bool exponential);
    void removeNode(QTreeWidgetItem *node);
    void showTable(TTableModel *table);

    // The node's table reports its edits and check marks to the undo stack.
    void watchTable(QTreeWidgetItem *node);
    // The node whose table is shown, or nullptr.
    QTreeWidgetItem *shownNode() const;
    void tableContextMenu(const QPoint &position);
    void createEditMenu();
    // The title's mark: changes the undo stack does not hold, or a stack
    // away from its saved state.
    void updateModified();

    std::unique_ptr<Ui::MainWindow> m_ui;
    QUndoStack *m_undoStack = nullptr;
    bool m_changedBesideStack = false;
    QLabel *m_tableSummary = nullptr; // in the status bar
    std::vector<QAction *> m_methodActions; // by id; nullptr for an empty slot
    QList<QAction *> m_customFunctionActions;
    // The same for the "Funkce" menu, applied to the selected node.
    std::vector<QAction *> m_catalogActions;
    QList<QAction *> m_catalogCustomActions;
    QList<QAction *> m_catalogEntries; // the catalog's entries of the "Funkce" menu
    QMenu *m_catalogCustomMenu = nullptr;
    QPointer<TTableModel> m_summarizedTable; // the table the status bar describes
    QList<QMetaObject::Connection> m_summaryConnections; // to m_summarizedTable
    QSignalMapper *m_methodMapper = nullptr;
    QSignalMapper *m_customFunctionMapper = nullptr;

    QMap<QTreeWidgetItem *, QVector<QTreeWidgetItem *>> m_formulaResults;
    QList<QTreeWidgetItem *> m_dataNodes;
    bool m_modified = false;
    QString m_projectFileName;
    QString m_projectName;
    QStringList m_sourceFileNames;
    const QString m_projectFileFilter;
    const QString m_applicationName;
    QSettings m_settings;
    bool m_menuOpenedOnItem = false;
    RecentProjects *m_recentProjects = nullptr;
};

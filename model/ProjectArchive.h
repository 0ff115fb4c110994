#pragma once
// The project file (".kstx") without any window: a zip archive holding
// "index.xml", the tree of tables with their records, and one value-row entry
// per table. The main window turns this plain tree into its nodes, and
// kostimer-cli reads it too.
//
// Writing is all or nothing: the archive is written beside the target and put
// in its place only when every entry was written without error. Reading
// trusts nothing in the file: sizes, names, nesting and inflated bytes are all
// bounded, and a file this program could not have written is refused.

#include <QString>

#include <memory>
#include <vector>

class QIODevice;
class TTableModel;

struct ProjectNode {
    TTableModel *table = nullptr;
    bool ownsTable = false; // a table read from a file, until taken
    // A table imported from a CSV file, at the top level; its file name.
    bool isDataNode = false;
    QString sourceFileName;
    // The "name" of the record: "source" or the method's title.
    QString name;
    // The archive entry of its values.
    QString entry;
    std::vector<std::unique_ptr<ProjectNode>> children;

    ProjectNode() = default;
    ~ProjectNode();
    ProjectNode(const ProjectNode &) = delete;
    ProjectNode &operator=(const ProjectNode &) = delete;

    // Hands the table over to the caller.
    TTableModel *takeTable();
    // The text of the node in the tree: "Data ze souboru "x.csv"" or the name.
    QString text() const;
};

using ProjectTree = std::vector<std::unique_ptr<ProjectNode>>;

// Writes the tree: data nodes first, in their order, then the other top-level
// tables. Numbers keep every digit. False when anything failed; the file that
// was at path, if any, is then as it was.
bool writeProjectFile(const QString &path, ProjectTree &roots);

// Reads a project. False, with *roots empty, when the file is no project this
// program could have written. A missing or short table entry leaves its
// values 0, as does an XML error after the first tables (the tables read so far stay).
bool readProjectFile(const QString &path, ProjectTree *roots);
bool readProjectFile(QIODevice *device, ProjectTree *roots);

// Calls visit for every node, depth first, parents before children.
template <typename Visit>
void forEachNode(const ProjectTree &roots, Visit visit, int depth = 0)
{
    for (const auto &node : roots) {
        visit(*node, depth);
        forEachNode(node->children, visit, depth + 1);
    }
}

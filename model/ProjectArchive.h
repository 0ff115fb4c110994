#pragma once
// The project file (".kstx") without any window: a zip archive holding
// "index.xml", the tree of tables with their records, and one value-row entry
// per table. The main window turns this plain tree into its nodes, and
// kostimer-cli reads it too.
//
// Writing is all or nothing: the archive is written beside the target and put
// in its place only when every entry was written without error. Reading
// trusts nothing in the file: sizes, names, nesting and inflated bytes are all
// bounded, every entry is checked against its checksum, and a file this
// program could not have written is refused with the reason.

#include <QString>

#include <functional>
#include <memory>
#include <utility>
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

// The most levels of derived tables a project may nest: the reader refuses
// deeper ones and the writer does not write them. Everything that walks the
// tree here takes a stack of its own, so the limit is the window's, whose tree
// takes this many with room to spare.
constexpr int MaxProjectDepth = 1000;

// How far a long write or read has come: done of total steps. Called now and
// then by the threads that do the work, perhaps by two at once; returning
// false cancels the work, which then fails as on an error.
using ProjectProgress = std::function<bool(qint64 done, qint64 total)>;

// Writes the tree: data nodes first, in their order, then the other top-level
// tables. Numbers keep every digit. False, with the reason in *error, when
// anything failed or progress cancelled; the file that was at path, if any, is
// then as it was. The tables are read by several threads at once: nothing may
// change them meanwhile.
bool writeProjectFile(const QString &path, ProjectTree &roots, QString *error = nullptr,
                      const ProjectProgress &progress = {});

// Writes the table's values as its project entry holds them: every row one
// line of value rows with every digit, an empty line for a row without values
// (so that the rows after it keep their place).
bool writeTableEntry(const TTableModel &table, QIODevice *device);
// The same for rows firstRow to lastRow - 1 alone.
bool writeTableRows(const TTableModel &table, int firstRow, int lastRow, QIODevice *device);

// Reads a project. False, with *roots empty and the reason in *error (a short
// Czech sentence), when the file is no project this program could have
// written or is damaged: an entry whose checksum or length does not match,
// one that is missing, encrypted or packed by an unknown method, two entries
// of one name, an index that is no well-formed XML, a table entry shorter
// than its record or longer than its rows could be written in. Memory
// follows what the file holds: rows are allocated as the lines of their entry
// arrive, the rows whose line holds no value number at most
// MaxRowsWithoutValues (CsvImport.h) in the whole project, and the tables
// together may take at most memoryLimit bytes (0: the memory of the
// machine); an entry that could not fit is refused before it is inflated.
// Nothing is printed: a damaged file is told by its reason alone.
// A field of an entry that holds something other than a number is missing,
// and listed among the table's unreadFields().
// A progress may follow the bytes of the file as they are read, and cancel.
bool readProjectFile(const QString &path, ProjectTree *roots, QString *error = nullptr,
                     const ProjectProgress &progress = {});
bool readProjectFile(QIODevice *device, ProjectTree *roots, QString *error = nullptr, qint64 memoryLimit = 0);

// Calls visit(node, depth) for every node, depth first, parents before
// children, with a stack of its own.
template <typename Visit>
void forEachNode(const ProjectTree &roots, Visit visit)
{
    std::vector<std::pair<const ProjectTree *, size_t>> stack{{&roots, 0}};
    while (!stack.empty()) {
        const ProjectTree &nodes = *stack.back().first;
        const size_t next = stack.back().second++;
        if (next == nodes.size()) {
            stack.pop_back();
            continue;
        }
        ProjectNode &node = *nodes[next];
        visit(node, int(stack.size()) - 1);
        if (!node.children.empty())
            stack.emplace_back(&node.children, 0);
    }
}

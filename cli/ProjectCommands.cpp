#include "ProjectCommands.h"

#include "ApplyCommand.h"
#include "CliSupport.h"
#include "InputTable.h"
#include "UnreadReport.h"

#include "MethodCatalog.h"
#include "ProjectArchive.h"
#include "TTableModel.h"
#include "ValueRows.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>

namespace {

// The table's column names as the table view heads them.
QStringList columnNames(const TTableModel &table)
{
    QStringList names;
    for (int c = 1; c < table.columnCount(); ++c)
        names.append(table.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
    return names;
}

// Reads the project from device, which holds the bytes of path. When it is
// none, says so on one line: the general message, then the reader's reason.
bool readProject(const QString &path, QIODevice *device, ProjectTree *roots, std::FILE *err)
{
    QString reason;
    if (readProjectFile(device, roots, &reason))
        return true;
    print(err, QStringLiteral("Projekt „%1“ nelze přečíst: není to projekt programu Kostimer nebo je poškozený. %2\n")
                   .arg(path, reason));
    return false;
}

// The project's bytes come through the bounded reader: the name's own bytes,
// a bound on the size, no file that changes while it is read.
bool loadProject(const QString &path, ProjectTree *roots, InputFile *input, std::FILE *err)
{
    if (!readInputFile(path, input, err))
        return false;
    QBuffer buffer(&input->bytes);
    buffer.open(QIODevice::ReadOnly);
    return readProject(path, &buffer, roots, err);
}

// A text as one field of a line: tab, line breaks and the backslash as \t,
// \n, \r and \\, so that a table is always one line and the text can be
// told back.
QString escaped(const QString &text)
{
    QString field;
    field.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\':
            field += QStringLiteral("\\\\");
            break;
        case u'\t':
            field += QStringLiteral("\\t");
            break;
        case u'\n':
            field += QStringLiteral("\\n");
            break;
        case u'\r':
            field += QStringLiteral("\\r");
            break;
        default:
            field += c;
        }
    }
    return field;
}

// A table of the tree on one line, as show lists it.
QString nodeLine(const ProjectNode &node, int depth)
{
    const TTableModel &table = *node.table;
    int checked = 0;
    for (int r = 0; r < table.rowCount(); ++r)
        checked += table.isRowChecked(r) ? 1 : 0;
    return QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7\n")
        .arg(escaped(node.entry))
        .arg(depth)
        .arg(table.type())
        .arg(escaped(node.text()))
        .arg(table.rowCount())
        .arg(table.width())
        .arg(checked);
}

// The node whose entry is `entry`; throws UsageError when the project has none.
ProjectNode &nodeOf(const ProjectTree &roots, const QString &entry)
{
    ProjectNode *found = nullptr;
    forEachNode(roots, [&](ProjectNode &node, int) {
        if (!found && node.entry == entry)
            found = &node;
    });
    if (!found)
        throw UsageError{QStringLiteral("Projekt nemá tabulku „%1“ (seznam vypíše kostimer-cli project show).")
                             .arg(entry)};
    return *found;
}

// Writes the project to path whole, as the program saves it: the archive is
// made aside and put in the place of the old file only when complete (see
// OutputFile), so that a failure leaves the old project as it was. Then
// prints the line of `added`, under the entry name the save gave it.
int saveProject(const QString &path, ProjectTree &roots, const ProjectNode *added, std::FILE *out, std::FILE *err)
{
    const QTemporaryDir scratch;
    const QString made = scratch.filePath(QStringLiteral("projekt.kstx"));
    QString reason;
    if (!scratch.isValid() || !writeProjectFile(made, roots, &reason)) {
        print(err, QStringLiteral("Projekt „%1“ nelze uložit (zůstává, jaký byl): %2\n")
                       .arg(path, reason.isEmpty() ? QStringLiteral("dočasnou složku nelze vytvořit.") : reason));
        return FileFault;
    }
    QFile archive(made);
    const int written = writeOutput(
        path,
        [&archive](QIODevice *device) {
            if (!archive.open(QIODevice::ReadOnly))
                return false;
            QByteArray chunk;
            while (!(chunk = archive.read(qint64(1) << 20)).isEmpty())
                if (device->write(chunk) != chunk.size())
                    return false;
            return archive.error() == QFileDevice::NoError;
        },
        out, err);
    if (written != Done)
        return written;
    QString line;
    forEachNode(roots, [&](const ProjectNode &node, int depth) {
        if (&node == added)
            line = nodeLine(node, depth);
    });
    print(out, line);
    return Done;
}

// The project at path, or a new one when there is no file at path.
bool loadOrStartProject(const QString &path, ProjectTree *roots, InputFile *input, std::FILE *err)
{
    struct stat st {};
    if (::stat(fileNameBytes(path).constData(), &st) != 0 && errno == ENOENT)
        return true;
    return loadProject(path, roots, input, err);
}

// The column of the table that `named` names: a number from 1, or the exact
// name its header shows (a text of digits alone is always a number).
int projectColumn(const TTableModel &table, const QString &entry, const QString &named, const QString &what)
{
    const QStringList names = columnNames(table);
    const bool isNumber =
        !named.isEmpty() && std::all_of(named.begin(), named.end(), [](QChar c) { return c.isDigit(); });
    bool ok = true;
    const qsizetype column = isNumber ? qsizetype(named.toInt(&ok)) - 1 : names.indexOf(named);
    if (!ok || column < 0 || column >= table.width())
        throw UsageError{QStringLiteral("Tabulka %1 nemá sloupec „%2“ (%3).").arg(entry, named, what)};
    return int(column);
}

int show(const QString &path, std::FILE *out, std::FILE *err)
{
    ProjectTree roots;
    InputFile input;
    if (!loadProject(path, &roots, &input, err))
        return FileFault;
    QString text;
    forEachNode(roots, [&](const ProjectNode &node, int depth) { text += nodeLine(node, depth); });
    print(out, text);
    return Done;
}

int importTable(const QStringList &args, std::FILE *out, std::FILE *err)
{
    std::optional<char> separator;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (takeSeparatorOption(args, &i, &separator))
            continue;
        takePositional(args.at(i), &positional);
    }
    if (positional.size() != 2)
        throw UsageError{QStringLiteral("Příkaz project import potřebuje soubor projektu a soubor CSV.")};
    const QString &path = positional.at(0);
    const QString &csvPath = positional.at(1);

    InputFile csv;
    if (!readInputFile(csvPath, &csv, err))
        return FileFault;
    refuseOutputOverInput(path, csv);
    ProjectTree roots;
    InputFile project;
    if (!loadOrStartProject(path, &roots, &project, err))
        return FileFault;
    project.bytes.clear();
    CsvTable table;
    if (!readInputTable(std::move(csv.bytes), separator, csvPath, &table, err))
        return FileFault;
    const QString fileName = QFileInfo(csvPath).fileName();
    std::vector<int> columns(size_t(table.width()));
    for (int c = 0; c < table.width(); ++c)
        columns[size_t(c)] = c;
    reportReading(table, fileName, columns, err);

    // A new data node after the others, as the program's import adds it.
    auto node = std::make_unique<ProjectNode>();
    node->table = new TTableModel(nullptr);
    node->ownsTable = true;
    node->table->setTable(std::move(table));
    node->isDataNode = true;
    node->sourceFileName = fileName;
    const ProjectNode *added = node.get();
    const auto after = std::find_if(roots.begin(), roots.end(), [](const auto &root) { return !root->isDataNode; });
    roots.insert(after, std::move(node));
    return saveProject(path, roots, added, out, err);
}

int applyToTable(const QStringList &args, std::FILE *out, std::FILE *err)
{
    QStringList columns;
    QStringList kept;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QStringLiteral("-c"))
            columns.append(optionValue(args, &i));
        else if (arg == QStringLiteral("--keep"))
            kept.append(optionValue(args, &i));
        else
            takePositional(arg, &positional);
    }
    if (positional.size() != 3)
        throw UsageError{QStringLiteral("Příkaz project apply potřebuje soubor projektu, název tabulky v něm "
                                        "a číslo metody.")};
    const QString &path = positional.at(0);
    const QString &entry = positional.at(1);
    const MethodRecord &method = methodToApply(positional.at(2), columns.size());

    ProjectTree roots;
    InputFile input;
    if (!loadProject(path, &roots, &input, err))
        return FileFault;
    input.bytes.clear();
    ProjectNode &parent = nodeOf(roots, entry);
    const TTableModel &source = *parent.table;
    std::vector<int> mapped;
    for (int j = 0; j < method.inputCount; ++j)
        mapped.push_back(projectColumn(source, entry, columns.isEmpty() ? QString::number(j + 1) : columns.at(j),
                                       QStringLiteral("vstup „%1“").arg(method.columns.at(j))));
    std::vector<int> carried;
    for (const QString &named : kept)
        carried.push_back(projectColumn(source, entry, named, QStringLiteral("--keep")));
    const QString where = QStringLiteral("%1 (%2)").arg(QFileInfo(path).fileName(), entry);
    for (int j = 0; j < method.inputCount; ++j)
        if (source.isTextColumn(mapped[size_t(j)]))
            print(err, QStringLiteral("kostimer-cli: %1: sloupec „%2“ obsahuje text, ne čísla; vstup „%3“ v něm "
                                      "chybí a výsledky všech řádků také.\n")
                           .arg(where, source.columnName(mapped[size_t(j)]), method.columns.at(j)));

    // The method's table of the checked rows, as the program makes it.
    auto result = std::make_unique<TTableModel>(&source);
    if (!result->applyMethod(method.id, mapped, carried)) {
        print(err, QStringLiteral("kostimer-cli: %1: metodu %2 nelze na tabulku použít.\n").arg(where).arg(method.id));
        return FileFault;
    }
    auto node = std::make_unique<ProjectNode>();
    node->table = result.release();
    node->ownsTable = true;
    node->name = method.title;
    const ProjectNode *added = node.get();
    parent.children.push_back(std::move(node));
    return saveProject(path, roots, added, out, err);
}

int exportTable(const QStringList &args, std::FILE *out, std::FILE *err)
{
    OutputOptions options;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (takeOutputOption(args, &i, &options))
            continue;
        takePositional(args.at(i), &positional);
    }
    if (positional.size() != 2)
        throw UsageError{QStringLiteral("Příkaz project export potřebuje soubor projektu a název tabulky v něm.")};

    ProjectTree roots;
    InputFile input;
    if (!loadProject(positional.at(0), &roots, &input, err))
        return FileFault;
    refuseOutputOverInput(options.path, input);
    input.bytes.clear();
    const TTableModel *table = nodeOf(roots, positional.at(1)).table;
    // Fields of the imported file that were not numbers are missing in the table.
    UnreadReport unread;
    for (const UnreadField &field : table->unreadFields())
        unread.add(field.row, field.column, field.text);
    const QStringList names = columnNames(*table);
    auto columnName = [&names](int column) { return names.value(column, QString::number(column + 1)); };
    const QString where = QStringLiteral("%1 (%2)").arg(QFileInfo(positional.at(0)).fileName(), positional.at(1));
    if (options.strict && unread.count() > 0) {
        unread.print(err, where, columnName);
        UnreadReport::printStrictRefusal(err);
        return FileFault;
    }
    bool verdicts = false;
    for (int c = 0; c < table->width() && options.verdicts; ++c)
        verdicts = verdicts || table->isVerdictColumn(c);
    const auto write = [&](QIODevice *device) {
        if (!verdicts)
            return table->exportCsv(device, options.header, options.digits);
        // The verdict columns as their texts, the others as exportCsv writes them.
        ValueRowWriter writer(device);
        if (options.header)
            writer.writeLine(textLine(names));
        CsvFields fields(options.digits);
        for (int r = 0; r < table->rowCount(); ++r) {
            for (int c = 0; c < std::max(table->width(), table->rowLength(r)); ++c) {
                if (table->isVerdictColumn(c))
                    fields.text(table->verdictText(r, c));
                else if (table->isTextColumn(c))
                    fields.text(table->cellText(r, c));
                else
                    fields.number(table->isMissing(r, c) ? qQNaN() : table->value(r, c));
            }
            writer.writeLine(fields.take());
        }
        return writer.flush();
    };
    const int written = writeOutput(options.path, write, out, err);
    unread.print(err, where, columnName);
    return written;
}

} // namespace

int runProjectCommand(const QStringList &args, std::FILE *out, std::FILE *err)
{
    const QString command = args.value(0);
    if (command == QStringLiteral("show") && args.size() == 2)
        return show(args.at(1), out, err);
    if (command == QStringLiteral("export"))
        return exportTable(args.mid(1), out, err);
    if (command == QStringLiteral("import"))
        return importTable(args.mid(1), out, err);
    if (command == QStringLiteral("apply"))
        return applyToTable(args.mid(1), out, err);
    throw UsageError{QStringLiteral("Příkaz project zná jen show SOUBOR.kstx, export SOUBOR.kstx TABULKA, "
                                    "import SOUBOR.kstx SOUBOR.csv a apply SOUBOR.kstx TABULKA ČÍSLO.")};
}

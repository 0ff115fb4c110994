#include "ProjectCommands.h"

#include "CliSupport.h"
#include "ProjectArchive.h"
#include "TTableModel.h"
#include "UnreadReport.h"

#include <QBuffer>
#include <QFileInfo>

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

int show(const QString &path, std::FILE *out, std::FILE *err)
{
    ProjectTree roots;
    InputFile input;
    if (!loadProject(path, &roots, &input, err))
        return FileFault;
    QString text;
    forEachNode(roots, [&](const ProjectNode &node, int depth) {
        const TTableModel &table = *node.table;
        int checked = 0;
        for (int r = 0; r < table.rowCount(); ++r)
            checked += table.isRowChecked(r) ? 1 : 0;
        text += QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7\n")
                    .arg(escaped(node.entry))
                    .arg(depth)
                    .arg(table.type())
                    .arg(escaped(node.text()))
                    .arg(table.rowCount())
                    .arg(table.width())
                    .arg(checked);
    });
    print(out, text);
    return Done;
}

int exportTable(const QStringList &args, std::FILE *out, std::FILE *err)
{
    OutputOptions options;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (takeOutputOption(args, &i, &options))
            continue;
        if (args.at(i).startsWith(u'-') && args.at(i).size() > 1)
            throw UsageError{QStringLiteral("Neznámý přepínač „%1“.").arg(args.at(i))};
        positional.append(args.at(i));
    }
    if (positional.size() != 2)
        throw UsageError{QStringLiteral("Příkaz project export potřebuje soubor projektu a název tabulky v něm.")};

    ProjectTree roots;
    InputFile input;
    if (!loadProject(positional.at(0), &roots, &input, err))
        return FileFault;
    refuseOutputOverInput(options.path, input);
    input.bytes.clear();
    const TTableModel *table = nullptr;
    forEachNode(roots, [&](const ProjectNode &node, int) {
        if (!table && node.entry == positional.at(1))
            table = node.table;
    });
    if (!table)
        throw UsageError{QStringLiteral("Projekt nemá tabulku „%1“ (seznam vypíše kostimer-cli project show).")
                             .arg(positional.at(1))};
    // Fields of the imported file that were not numbers stay 0 in the table.
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
    const int written = writeTable(options, table->type(), names, table->rowCount(),
                                   [table](qsizetype r, int *length) {
                                       *length = table->rowLength(int(r));
                                       return table->rowValues(int(r));
                                   },
                                   out, err);
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
    throw UsageError{QStringLiteral("Příkaz project zná jen show SOUBOR.kstx a export SOUBOR.kstx TABULKA.")};
}

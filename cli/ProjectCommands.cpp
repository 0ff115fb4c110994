#include "ProjectCommands.h"

#include "CliSupport.h"
#include "ProjectArchive.h"
#include "TTableModel.h"

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

bool readProject(const QString &path, ProjectTree *roots, std::FILE *err)
{
    if (readProjectFile(path, roots))
        return true;
    const QString why = QFileInfo::exists(path) ? QStringLiteral("není to projekt programu Kostimer nebo je poškozený")
                                                : QStringLiteral("neexistuje");
    print(err, QStringLiteral("Projekt „%1“ nelze přečíst: %2.\n").arg(path, why));
    return false;
}

int show(const QString &path, std::FILE *out, std::FILE *err)
{
    ProjectTree roots;
    if (!readProject(path, &roots, err))
        return FileFault;
    QString text;
    forEachNode(roots, [&](const ProjectNode &node, int depth) {
        const TTableModel &table = *node.table;
        int checked = 0;
        for (int r = 0; r < table.rowCount(); ++r)
            checked += table.isRowChecked(r) ? 1 : 0;
        text += QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7\n")
                    .arg(node.entry)
                    .arg(depth)
                    .arg(table.type())
                    .arg(node.text())
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
    if (!readProject(positional.at(0), &roots, err))
        return FileFault;
    const TTableModel *table = nullptr;
    forEachNode(roots, [&](const ProjectNode &node, int) {
        if (!table && node.entry == positional.at(1))
            table = node.table;
    });
    if (!table)
        throw UsageError{QStringLiteral("Projekt nemá tabulku „%1“ (seznam vypíše kostimer-cli project show).")
                             .arg(positional.at(1))};
    return writeTable(options, table->type(), columnNames(*table), table->rowCount(),
                      [table](qsizetype r, int *length) {
                          *length = table->rowLength(int(r));
                          return table->rowValues(int(r));
                      },
                      out, err);
}

} // namespace

int runProjectCommand(const QStringList &args, std::FILE *out, std::FILE *err)
{
    const QString command = args.value(0);
    if (command == QLatin1String("show") && args.size() == 2)
        return show(args.at(1), out, err);
    if (command == QLatin1String("export"))
        return exportTable(args.mid(1), out, err);
    throw UsageError{QStringLiteral("Příkaz project zná jen show SOUBOR.kstx a export SOUBOR.kstx TABULKA.")};
}

#include "InputTable.h"

#include "CliSupport.h"
#include "SampleStatistics.h"
#include "UnreadReport.h"

#include <algorithm>
#include <limits>

namespace {

constexpr double missing = std::numeric_limits<double>::quiet_NaN();

// Rows shorter or longer than the table: how many, and the first few with
// their line of the file.
void reportRows(const QList<RaggedRow> &rows, const QString &heading, int width, const QString &fileName,
                std::FILE *err)
{
    if (rows.isEmpty())
        return;
    QString text = QStringLiteral("kostimer-cli: %1: %2: %3\n").arg(fileName, heading).arg(rows.size());
    for (qsizetype i = 0; i < std::min<qsizetype>(rows.size(), UnreadReport::Listed); ++i)
        text += QStringLiteral("  řádek %1 souboru (řádek dat %2): polí %3 místo %4\n")
                    .arg(rows.at(i).line)
                    .arg(rows.at(i).row + 1)
                    .arg(rows.at(i).fields)
                    .arg(width);
    if (rows.size() > UnreadReport::Listed)
        text += QStringLiteral("  … a další (%1)\n").arg(rows.size() - UnreadReport::Listed);
    print(err, text);
}

} // namespace

char separatorOf(const QString &value)
{
    if (value == QStringLiteral(";") || value == QStringLiteral(",") || value == QStringLiteral("|"))
        return char(value.at(0).unicode());
    if (value == QStringLiteral("tab") || value == QStringLiteral("\t"))
        return '\t';
    throw UsageError{QStringLiteral("Přepínač --sep zná jen oddělovače „;“, „,“, „|“ a tab (tabulátor), ne „%1“.")
                         .arg(value)};
}

bool takeSeparatorOption(const QStringList &args, qsizetype *i, std::optional<char> *separator)
{
    if (args.at(*i) != QStringLiteral("--sep"))
        return false;
    *separator = separatorOf(optionValue(args, i));
    return true;
}

bool readInputTable(QByteArray bytes, const CsvReadOptions &options, const QString &path, CsvTable *table,
                    std::FILE *err)
{
    QString reason;
    if (readCsvTable(std::move(bytes), options, table, &reason))
        return true;
    print(err, QStringLiteral("Soubor „%1“ nelze přečíst: %2\n").arg(path, reason));
    return false;
}

bool readInputTable(QByteArray bytes, const std::optional<char> &separator, const QString &path, CsvTable *table,
                    std::FILE *err)
{
    CsvReadOptions options;
    options.separator = separator;
    return readInputTable(std::move(bytes), options, path, table, err);
}

CsvReadOptions optionsOf(const CsvDialect &dialect)
{
    CsvReadOptions options;
    options.separator = dialect.separator;
    options.decimal = dialect.decimal;
    options.encoding = dialect.encoding;
    options.header = dialect.header;
    return options;
}

int tableColumn(const CsvTable &table, const QString &fileName, const QString &named, const QString &what)
{
    const bool isNumber =
        !named.isEmpty() && std::all_of(named.begin(), named.end(), [](QChar c) { return c.isDigit(); });
    qsizetype column = -1;
    if (isNumber) {
        bool ok = false;
        const int number = named.toInt(&ok);
        column = ok ? qsizetype(number) - 1 : -1;
    } else if (table.dialect.header) {
        column = table.headers.indexOf(named);
    }
    if (column < 0 || column >= table.width()) {
        const QString message = what.isEmpty() ? QStringLiteral("Soubor %1 nemá sloupec „%2“.").arg(fileName, named)
                                               : QStringLiteral("Soubor %1 nemá sloupec „%2“ (%3).")
                                                     .arg(fileName, named, what);
        throw UsageError{message};
    }
    return int(column);
}

QString columnLabel(const CsvTable &table, int column)
{
    const QString header = table.headers.value(column);
    return header.isEmpty() ? QString::number(column + 1) : header;
}

std::vector<double> columnOf(const CsvTable &table, int column)
{
    std::vector<double> values(size_t(table.rows()), missing);
    if (column < 0 || column >= table.width())
        return values;
    for (int r = 0; r < int(values.size()); ++r)
        values[size_t(r)] = table.values.at<double>(r, column);
    return values;
}

GroupingColumn groupingColumnOf(const CsvTable &table, int column)
{
    const auto texts = table.texts.find(column);
    if (texts != table.texts.end())
        return textGroupingColumn(columnLabel(table, column), texts->second, table.rows());
    return {columnLabel(table, column), columnOf(table, column), {}};
}

qint64 reportReading(const CsvTable &table, const QString &fileName, const std::vector<int> &columns, std::FILE *err)
{
    if (table.dialect.header && table.width() > 0 && table.rows() == 0)
        print(err,
              QStringLiteral("kostimer-cli: %1: soubor má jen řádek záhlaví, žádné řádky s daty.\n").arg(fileName));
    const QString than = table.dialect.header ? QStringLiteral("než záhlaví") : QStringLiteral("než první řádek");
    reportRows(table.shortRows,
               QStringLiteral("řádků souboru kratších %1 (jejich poslední buňky chybějí)").arg(than),
               table.width(), fileName, err);
    reportRows(table.longRows, QStringLiteral("řádků souboru delších %1 (přebývající pole se nečtou)").arg(than),
               table.width(), fileName, err);
    std::vector<char> asked(size_t(table.width()), 0);
    for (int c : columns)
        if (c >= 0 && c < table.width())
            asked[size_t(c)] = 1;
    UnreadReport unread;
    for (const UnreadField &field : table.unread)
        if (field.column >= 0 && field.column < table.width() && asked[size_t(field.column)])
            unread.add(field.row, field.column, field.text);
    unread.print(err, fileName, [&table](int column) { return columnLabel(table, column); });
    return qint64(table.shortRows.size()) + qint64(table.longRows.size()) + unread.count();
}

void reportUngrouped(qsizetype rows, const QString &fileName, const GroupingColumn &grouping, std::FILE *err)
{
    if (rows > 0)
        print(err, QStringLiteral("kostimer-cli: %1: řádků bez skupiny (hodnota ve sloupci „%2“ chybí), které se "
                                  "počítají jen mezi všemi řádky: %3\n")
                       .arg(fileName, grouping.name)
                       .arg(rows));
}

bool readCommandInput(const QString &path, const std::optional<char> &separator, const QString &outputPath,
                      CsvTable *table, std::FILE *err)
{
    InputFile input;
    if (!readInputFile(path, &input, err))
        return false;
    refuseOutputOverInput(outputPath, input);
    return readInputTable(std::move(input.bytes), separator, path, table, err);
}

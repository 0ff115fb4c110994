// kostimer-cli somatotypes: the somatotype analysis of a file, the groups'
// summaries and their comparisons, or every row's point and category.

#include "SomatotypesCommand.h"

#include "CliSupport.h"
#include "InputTable.h"
#include "UnreadReport.h"

#include "CsvReader.h"
#include "SampleGroups.h"
#include "SomatotypeAnalysis.h"
#include "ValueRows.h"

#include <QFileInfo>
#include <QIODevice>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();

struct Request {
    QString inputPath;
    QStringList components; // none, or the three columns
    QString by;
    bool rows = false;
    std::optional<char> separator;
    OutputOptions output;
};

Request parse(const QStringList &args)
{
    Request request;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        auto value = [&]() { return optionValue(args, &i); };
        if (arg == QStringLiteral("-c"))
            request.components.append(value());
        else if (arg == QStringLiteral("--by"))
            request.by = value();
        else if (arg == QStringLiteral("--rows"))
            request.rows = true;
        else if (arg == QStringLiteral("--output") || arg == QStringLiteral("--digits"))
            takeOutputOption(args, &i, &request.output); // its other options do not apply here
        else if (takeSeparatorOption(args, &i, &request.separator))
            continue;
        else
            takePositional(arg, &positional);
    }
    if (positional.size() != 1)
        throw UsageError{QStringLiteral("Příkaz somatotypes potřebuje jeden soubor CSV.")};
    if (!request.components.isEmpty() && request.components.size() != 3)
        throw UsageError{QStringLiteral("Přepínač -c se uvádí třikrát (endomorfie, mezomorfie, ektomorfie), "
                                        "nebo vůbec.")};
    request.inputPath = positional.at(0);
    return request;
}

// The pairs of groups, a line each, handed to the device as they are
// computed: thousands of groups make millions of pairs, which are never
// held all at once. Each group's name is made a field once.
bool writeComparisons(QIODevice *device, const SomatotypeAnalysis &analysis, NumberDigits digits)
{
    constexpr qsizetype chunk = qsizetype(1) << 16;
    std::vector<QByteArray> names;
    names.reserve(analysis.groups.size());
    for (const SomatotypeGroup &group : analysis.groups)
        names.push_back(csvField(group.name));
    QByteArray lines;
    lines.reserve(chunk + 256);
    const auto number = [&lines, digits](double value) {
        if (!std::isnan(value)) {
            char text[32];
            lines.append(text, formatValue(text, value, digits) - text);
        }
    };
    for (size_t a = 0; a < analysis.groups.size(); ++a) {
        for (size_t b = a + 1; b < analysis.groups.size(); ++b) {
            const SomatotypeComparison c = compareGroups(analysis, a, b);
            lines += names[a];
            lines += ';';
            lines += names[b];
            lines += ';';
            number(c.sdd);
            lines += ';';
            number(c.sad);
            lines += c.significant ? ";ano\n" : ";ne\n";
            if (lines.size() >= chunk) {
                if (device->write(lines) != lines.size())
                    return false;
                lines.resize(0);
            }
        }
    }
    return device->write(lines) == lines.size();
}

void writeSummary(CsvFields &out, const QString &group, const SomatotypeSummary &s)
{
    out.text(group);
    out.text(QString::number(s.n));
    out.number(s.mean.endomorphy);
    out.number(s.mean.mesomorphy);
    out.number(s.mean.ectomorphy);
    out.number(s.x);
    out.number(s.y);
    out.number(s.sam);
    out.number(s.sdi);
    out.text(categoryName(s.category));
    out.endLine();
}

} // namespace

std::vector<Somatotype> somatotypesOf(const CsvTable &table, const std::vector<int> &components)
{
    std::vector<Somatotype> somatotypes(size_t(table.rows()), Somatotype{none, none, none});
    const std::vector<int> &columns = components;
    if (columns.size() != 3)
        return somatotypes;
    for (int r = 0; r < int(somatotypes.size()); ++r) {
        const double *row = table.values.ptr<double>(r);
        somatotypes[size_t(r)] = Somatotype{row[columns[0]], row[columns[1]], row[columns[2]]};
    }
    return somatotypes;
}

std::vector<int> componentColumns(const CsvTable &table, int by, const QString &fileName, std::FILE *err)
{
    const auto plain = [](const QString &name) {
        QString letters;
        for (QChar c : name.normalized(QString::NormalizationForm_D).toLower())
            if (!c.isMark())
                letters.append(c);
        return letters;
    };
    const auto usable = [&](int c) {
        return c != by && size_t(c) < table.kinds.size() && table.kinds[size_t(c)] == ColumnKind::Number;
    };
    const QStringList prefixes[3] = {{QStringLiteral("endo")},
                                     {QStringLiteral("mezo"), QStringLiteral("meso")},
                                     {QStringLiteral("ekto"), QStringLiteral("ecto")}};
    std::vector<int> columns;
    for (const QStringList &starts : prefixes) {
        for (int c = 0; c < table.width(); ++c) {
            const QString name = plain(table.headers.at(c));
            if (usable(c)
                && std::any_of(starts.begin(), starts.end(), [&](const QString &p) { return name.startsWith(p); })) {
                columns.push_back(c);
                break;
            }
        }
    }
    if (columns.size() != 3) {
        columns.clear();
        for (int c = table.width() - 1; c >= 0 && columns.size() < 3; --c)
            if (usable(c))
                columns.insert(columns.begin(), c);
    }
    if (columns.size() != 3) {
        print(err, QStringLiteral("kostimer-cli: %1: tabulka nemá tři číselné sloupce složek somatotypu.\n")
                       .arg(fileName));
        return {};
    }
    print(err, QStringLiteral("kostimer-cli: %1: složky somatotypu ze sloupců „%2“, „%3“ a „%4“.\n")
                   .arg(fileName, table.headers.at(columns[0]), table.headers.at(columns[1]),
                        table.headers.at(columns[2])));
    return columns;
}

qsizetype reportNotRatings(const CsvTable &table, const std::vector<int> &components,
                           const std::vector<Somatotype> &somatotypes, const QString &fileName, std::FILE *err)
{
    if (components.size() != 3)
        return 0;
    qsizetype count = 0;
    QString listed;
    for (size_t r = 0; r < somatotypes.size(); ++r) {
        const Somatotype &s = somatotypes[r];
        if (!isComplete(s) || isRating(s))
            continue;
        if (++count > UnreadReport::Listed)
            continue;
        const double values[3] = {s.endomorphy, s.mesomorphy, s.ectomorphy};
        for (size_t j = 0; j < 3; ++j) {
            if (values[j] > 0)
                continue;
            listed += QStringLiteral("  řádek %1, sloupec „%2“: %3\n")
                          .arg(r + 1)
                          .arg(columnLabel(table, components[j]),
                               QString::fromLatin1(formatValue(values[j], NumberDigits::Full)));
            break;
        }
    }
    if (count == 0)
        return 0;
    QString text = QStringLiteral("kostimer-cli: %1: řádků se složkou somatotypu 0 nebo zápornou (složka je vždy "
                                  "kladná), které se nepočítají: %2\n")
                       .arg(fileName)
                       .arg(count);
    text += listed;
    if (count > UnreadReport::Listed)
        text += QStringLiteral("  … a další (%1)\n").arg(count - UnreadReport::Listed);
    print(err, text);
    return count;
}

int runSomatotypesCommand(const QStringList &args, std::FILE *out, std::FILE *err)
{
    const Request request = parse(args);
    CsvTable table;
    if (!readCommandInput(request.inputPath, request.separator, request.output.path, &table, err))
        return FileFault;
    const QString fileName = QFileInfo(request.inputPath).fileName();

    static const char *const componentNames[] = {"endomorfie", "mezomorfie", "ektomorfie"};
    std::vector<int> components;
    for (qsizetype j = 0; j < request.components.size(); ++j)
        components.push_back(tableColumn(table, fileName, request.components.at(j),
                                         QStringLiteral("-c %1").arg(QLatin1String(componentNames[j]))));
    const int by = request.by.isEmpty() ? -1 : tableColumn(table, fileName, request.by, QStringLiteral("--by"));

    // A row without a number in each component has no somatotype (NaN), and
    // one without a value in the grouping column no group.
    if (components.empty())
        components = componentColumns(table, by, fileName, err);
    std::vector<int> read = components;
    if (by >= 0)
        read.push_back(by);
    reportReading(table, fileName, read, err);
    const std::vector<Somatotype> somatotypes = somatotypesOf(table, components);
    reportNotRatings(table, components, somatotypes, fileName, err);
    const GroupingColumn grouping = by >= 0 ? groupingColumnOf(table, by) : GroupingColumn();

    const SomatotypeAnalysis analysis = analyseSomatotypes(somatotypes, by >= 0 ? &grouping : nullptr);
    CsvFields lines(request.output.digits);
    if (request.rows) {
        if (by >= 0)
            lines.text(QStringLiteral("skupina"));
        for (const char *name : {"endomorfie", "mezomorfie", "ektomorfie", "X", "Y", "kategorie"})
            lines.text(QLatin1String(name));
        lines.endLine();
        for (size_t r = 0; r < somatotypes.size(); ++r) {
            const Somatotype &s = somatotypes[r];
            if (by >= 0) {
                const double key = grouping.keys[r];
                lines.text(std::isnan(key)                ? QString()
                           : grouping.texts.isEmpty()     ? groupName(key)
                                                          : grouping.texts.value(qsizetype(key)));
            }
            lines.number(s.endomorphy);
            lines.number(s.mesomorphy);
            lines.number(s.ectomorphy);
            lines.number(isRating(s) ? somatochartX(s) : none);
            lines.number(isRating(s) ? somatochartY(s) : none);
            lines.text(categoryName(somatotypeCategory(s)));
            lines.endLine();
        }
    } else {
        lines.text(QStringLiteral("skupina"));
        for (const char *name : {"n", "endomorfie", "mezomorfie", "ektomorfie", "X", "Y", "SAM", "SDI", "kategorie"})
            lines.text(QLatin1String(name));
        lines.endLine();
        for (const SomatotypeGroup &group : analysis.groups)
            writeSummary(lines, group.name, group.summary);
        writeSummary(lines, QString(), analysis.all);
        if (analysis.groups.size() >= 2) {
            lines.endLine();
            for (const char *name : {"skupina A", "skupina B", "SDD", "SAD"})
                lines.text(QLatin1String(name));
            lines.text(QStringLiteral("významný rozdíl"));
            lines.endLine();
        }
    }

    const QByteArray &bytes = lines.bytes();
    const bool pairs = !request.rows && analysis.groups.size() >= 2;
    const NumberDigits digits = request.output.digits;
    const int written = writeOutput(
        request.output.path,
        [&](QIODevice *device) {
            return device->write(bytes) == bytes.size() && (!pairs || writeComparisons(device, analysis, digits));
        },
        out, err);
    if (written != Done || request.rows)
        return written;
    if (analysis.leftOut > 0)
        print(err, QStringLiteral("kostimer-cli: %1: řádků bez úplného somatotypu (některá složka chybí nebo "
                                  "není číslo), které se nepočítají: %2\n")
                       .arg(fileName)
                       .arg(analysis.leftOut));
    if (by >= 0)
        reportUngrouped(analysis.ungrouped, fileName, grouping, err);
    return Done;
}

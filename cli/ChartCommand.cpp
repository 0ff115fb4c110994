// kostimer-cli chart: the somatochart of a file's somatotypes, drawn as the
// program's somatotype dialog saves it, with the means of the groups of a
// column when asked.

#include "ChartCommand.h"

#include "CliSupport.h"
#include "InputTable.h"
#include "SomatotypesCommand.h"

#include "SampleGroups.h"
#include "SomatoChart.h"

#include <QBuffer>
#include <QFileInfo>

#include <vector>

namespace {

// The ratings of the rows with the means of their groups, as the somatotype
// window draws them; a row without a group is drawn in none. The groups are
// not compared: the chart shows no pairs.
ChartContent chartContent(const std::vector<Somatotype> &somatotypes, const GroupingColumn *grouping,
                          qsizetype *ungrouped)
{
    ChartContent content;
    std::vector<int> groupOfRow(somatotypes.size(), -1);
    if (grouping) {
        const SomatotypeAnalysis analysis = analyseSomatotypes(somatotypes, grouping);
        *ungrouped = analysis.ungrouped;
        for (size_t g = 0; g < analysis.groups.size(); ++g) {
            content.groups.push_back({analysis.groups[g].name, analysis.groups[g].summary.mean});
            for (qsizetype r : analysis.groups[g].rows)
                groupOfRow[size_t(r)] = int(g);
        }
    }
    for (size_t r = 0; r < somatotypes.size(); ++r) {
        if (!isRating(somatotypes[r]))
            continue;
        content.somatotypes.push_back(somatotypes[r]);
        if (grouping)
            content.groupOf.push_back(groupOfRow[r]);
    }
    return content;
}

} // namespace

int runChartCommand(const QStringList &args, std::FILE *out, std::FILE *err)
{
    QStringList positional;
    QString by;
    std::optional<char> separator;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i) == QStringLiteral("--by"))
            by = optionValue(args, &i);
        else if (takeSeparatorOption(args, &i, &separator))
            continue;
        else if (args.at(i).startsWith(u'-'))
            throw UsageError{QStringLiteral("Příkaz chart potřebuje jeden soubor CSV a jméno obrázku.")};
        else
            positional.append(args.at(i));
    }
    if (positional.size() != 2)
        throw UsageError{QStringLiteral("Příkaz chart potřebuje jeden soubor CSV a jméno obrázku.")};
    const QString inputPath = positional.at(0);
    const QString imagePath = positional.at(1);

    CsvTable table;
    if (!readCommandInput(inputPath, separator, imagePath, &table, err))
        return FileFault;
    const QString fileName = QFileInfo(inputPath).fileName();
    const int byColumn = by.isEmpty() ? -1 : tableColumn(table, fileName, by, QStringLiteral("--by"));
    const std::vector<int> components = componentColumns(table, byColumn, fileName, err);
    std::vector<int> read = components;
    if (byColumn >= 0)
        read.push_back(byColumn);
    reportReading(table, fileName, read, err);
    const std::vector<Somatotype> somatotypes = somatotypesOf(table, components);
    reportNotRatings(table, components, somatotypes, fileName, err);
    const GroupingColumn grouping = byColumn >= 0 ? groupingColumnOf(table, byColumn) : GroupingColumn();
    qsizetype ungrouped = 0;
    const ChartContent content = chartContent(somatotypes, byColumn >= 0 ? &grouping : nullptr, &ungrouped);

    const bool svg = QFileInfo(imagePath).suffix().compare(QStringLiteral("svg"), Qt::CaseInsensitive) == 0;
    // Drawn whole before the output is touched.
    QByteArray picture;
    QBuffer buffer(&picture);
    OutputFile output(imagePath, out);
    QString why;
    if (!buffer.open(QIODevice::WriteOnly)
        || !writeChart(&buffer, svg ? ChartFormat::Svg : ChartFormat::Png, content, &why) || !output.open(&why)) {
        print(err, why.isEmpty() ? QStringLiteral("Obrázek „%1“ nelze zapsat.\n").arg(imagePath)
                                 : QStringLiteral("Obrázek „%1“ nelze zapsat: %2.\n").arg(imagePath, why));
        return FileFault;
    }
    if (output.device()->write(picture) != picture.size() || !output.commit()) {
        print(err, QStringLiteral("Obrázek „%1“ nelze zapsat (plný disk?).\n").arg(imagePath));
        return FileFault;
    }
    if (byColumn >= 0)
        reportUngrouped(ungrouped, fileName, grouping, err);
    return Done;
}

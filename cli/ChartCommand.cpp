// kostimer-cli chart: the somatochart of a file's somatotypes, drawn as the
// program's somatotype dialog saves it, with the means of the groups of a
// column when asked.

#include "ChartCommand.h"

#include "CliSupport.h"
#include "SampleGroups.h"
#include "SomatoChart.h"
#include "SomatotypesCommand.h"

#include <QBuffer>
#include <QFileInfo>

#include <limits>
#include <vector>

namespace {

// The somatotypes of the rows with the means of their groups, as the
// somatotype window draws them. The rows are taken as somatotypes takes
// them: a field that held no number is no value, and its row has no
// somatotype, or no group.
ChartContent groupedContent(const CsvImport &table, int byColumn)
{
    constexpr double none = std::numeric_limits<double>::quiet_NaN();
    QList<UnreadField> unread;
    QList<QList<double>> rows = table.rows(&unread);
    for (const UnreadField &field : unread)
        rows[field.row][field.column] = none;
    std::vector<Somatotype> somatotypes;
    std::vector<double> keys;
    for (const QList<double> &row : rows) {
        Somatotype somatotype{none, none, none};
        somatotypeOfRow(row.constData(), int(row.size()), &somatotype);
        somatotypes.push_back(somatotype);
        keys.push_back(byColumn < row.size() ? row.at(byColumn) : none);
    }
    const SomatotypeAnalysis analysis = analyseSomatotypes(somatotypes, keys);
    ChartContent content;
    std::vector<int> groupOfRow(somatotypes.size(), -1);
    for (size_t g = 0; g < analysis.groups.size(); ++g) {
        content.groups.push_back({groupName(analysis.groups[g].key), analysis.groups[g].summary.mean});
        for (qsizetype r : analysis.groups[g].rows)
            groupOfRow[size_t(r)] = int(g);
    }
    for (size_t r = 0; r < somatotypes.size(); ++r) {
        if (!isComplete(somatotypes[r]))
            continue;
        content.somatotypes.push_back(somatotypes[r]);
        content.groupOf.push_back(groupOfRow[r]);
    }
    return content;
}

} // namespace

int runChartCommand(const QStringList &args, std::FILE *out, std::FILE *err)
{
    QStringList positional;
    QString by;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i) == QStringLiteral("--by")) {
            by = optionValue(args, &i);
        } else if (args.at(i).startsWith(u'-'))
            throw UsageError{QStringLiteral("Příkaz chart potřebuje jeden soubor CSV a jméno obrázku.")};
        else
            positional.append(args.at(i));
    }
    if (positional.size() != 2)
        throw UsageError{QStringLiteral("Příkaz chart potřebuje jeden soubor CSV a jméno obrázku.")};
    const QString inputPath = positional.at(0);
    const QString imagePath = positional.at(1);

    InputFile input;
    if (!readInputFile(inputPath, &input, err))
        return FileFault;
    refuseOutputOverInput(imagePath, input);
    const SomatotypeFile file(input.bytes);
    input.bytes.clear();
    const int byColumn =
        by.isEmpty() ? -1 : fileColumn(file, QFileInfo(inputPath).fileName(), by, QStringLiteral("--by"));
    ChartContent content;
    if (byColumn < 0) {
        for (const QList<double> &row : file.table.rows()) {
            Somatotype somatotype;
            if (somatotypeOfRow(row.constData(), int(row.size()), &somatotype))
                content.somatotypes.push_back(somatotype);
        }
    } else {
        content = groupedContent(file.table, byColumn);
    }

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
    return Done;
}

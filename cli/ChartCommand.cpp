// kostimer-cli chart: the somatochart of a file's somatotypes, drawn as the
// program's somatotype dialog saves it.

#include "ChartCommand.h"

#include "CliSupport.h"
#include "CsvImport.h"
#include "NumberReader.h"
#include "SomatoChart.h"

#include <QBuffer>
#include <QFileInfo>

#include <vector>

namespace {

// Value rows (a table exported by the program) start with a line of numbers;
// the import dialect starts with its header line.
bool startsWithValues(const QByteArray &bytes)
{
    qsizetype end = bytes.indexOf('\n');
    if (end < 0)
        end = bytes.size();
    if (end > 0 && bytes.at(end - 1) == '\r')
        --end;
    if (end == 0)
        return false;
    const NumberReader numbers;
    const char *p = bytes.constData();
    const char *lineEnd = p + end;
    for (;;) {
        const char *sep = std::find(p, lineEnd, ';');
        const QByteArray field = QByteArray::fromRawData(p, sep - p);
        double value;
        if (!numbers.readPlain(p, sep, &value) && field != "nan" && field != "inf" && field != "-inf")
            return false;
        if (sep == lineEnd)
            return true;
        p = sep + 1;
    }
}

} // namespace

int runChartCommand(const QStringList &args, std::FILE *out, std::FILE *err)
{
    if (args.size() != 2 || args.at(0).startsWith(u'-') || args.at(1).startsWith(u'-'))
        throw UsageError{QStringLiteral("Příkaz chart potřebuje jeden soubor CSV a jméno obrázku.")};
    const QString inputPath = args.at(0);
    const QString imagePath = args.at(1);

    InputFile input;
    if (!readInputFile(inputPath, &input, err))
        return FileFault;
    refuseOutputOverInput(imagePath, input);
    const QByteArray bytes = std::move(input.bytes);
    // Value rows lack the header line of the import dialect.
    const CsvImport table = startsWithValues(bytes) ? CsvImport(QByteArray("\n") + bytes)
                                                    : CsvImport(bytes);
    std::vector<Somatotype> somatotypes;
    for (const QList<double> &row : table.rows()) {
        Somatotype somatotype;
        if (somatotypeOfRow(row.constData(), int(row.size()), &somatotype))
            somatotypes.push_back(somatotype);
    }

    const bool svg = QFileInfo(imagePath).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0;
    // Drawn whole before the output is touched.
    QByteArray picture;
    QBuffer buffer(&picture);
    OutputFile output(imagePath, out);
    QString why;
    if (!buffer.open(QIODevice::WriteOnly)
        || !writeChart(&buffer, svg ? ChartFormat::Svg : ChartFormat::Png, somatotypes) || !output.open(&why)) {
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

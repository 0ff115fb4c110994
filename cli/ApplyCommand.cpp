// kostimer-cli apply: a method of the catalog applied to every row of a CSV
// file, the result written as the program exports a table.

#include "ApplyCommand.h"

#include "CliSupport.h"
#include "InputTable.h"
#include "UnreadReport.h"

#include "MatrixRules.h"
#include "MethodCatalog.h"
#include "ValueRows.h"
#include "Verdicts.h"

#include <QFileInfo>

#include <algorithm>

namespace {

struct ApplyRequest {
    qint32 id = -1;
    QString inputPath;
    QStringList columns;
    QStringList kept;
    std::optional<char> separator;
    OutputOptions output;
};

ApplyRequest parseApply(const QStringList &args)
{
    ApplyRequest request;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QStringLiteral("-c"))
            request.columns.append(optionValue(args, &i));
        else if (arg == QStringLiteral("--keep"))
            request.kept.append(optionValue(args, &i));
        else if (takeSeparatorOption(args, &i, &request.separator) || takeOutputOption(args, &i, &request.output))
            continue;
        else
            takePositional(arg, &positional);
    }
    if (positional.size() != 2)
        throw UsageError{QStringLiteral("Příkaz apply potřebuje číslo metody a jeden soubor CSV.")};
    request.id = methodToApply(positional.at(0), request.columns.size()).id;
    request.inputPath = positional.at(1);
    return request;
}

// The file's column for every input of the method.
std::vector<int> inputColumns(const ApplyRequest &request, const CsvTable &table, const QString &fileName)
{
    const MethodRecord &method = MethodCatalog[size_t(request.id)];
    std::vector<int> mapped;
    for (int j = 0; j < method.inputCount; ++j) {
        const QString named = request.columns.isEmpty() ? QString::number(j + 1) : request.columns.at(j);
        mapped.push_back(
            tableColumn(table, fileName, named, QStringLiteral("vstup „%1“").arg(method.columns.at(j))));
    }
    return mapped;
}

// The method's inputs in the block's rows, into *out (its memory kept from
// block to block): column j is the table's column mapped[j]. Row by row, as
// the table holds them: a column at a time would step across the whole width
// of the table for every value.
void inputsOf(const cv::Mat &block, const std::vector<int> &mapped, int inputs, cv::Mat *out)
{
    out->create(block.rows, inputs, CV_64F);
    const int given = std::min(inputs, int(mapped.size()));
    if (given < inputs)
        out->setTo(cv::Scalar(0.0));
    for (int r = 0; r < block.rows; ++r) {
        const double *from = block.ptr<double>(r);
        double *to = out->ptr<double>(r);
        for (int j = 0; j < given; ++j)
            to[j] = from[mapped[size_t(j)]];
    }
}

// Rows computed at a time: the result of a block is written before the next
// is computed, so that memory holds the table and one block of results. A
// method over the whole table takes every row at once.
constexpr qsizetype blockRows = qsizetype(1) << 16;

} // namespace

const MethodRecord &methodToApply(const QString &id, qsizetype columns)
{
    bool ok = false;
    const int number = id.toInt(&ok);
    if (!ok || number < 0 || number >= MethodCatalogSize)
        throw UsageError{QStringLiteral("Metoda „%1“ neexistuje: čísla metod jsou 0 až %2 "
                                        "(seznam vypíše kostimer-cli methods).")
                             .arg(id)
                             .arg(MethodCatalogSize - 1)};
    if (!isRegisteredMethod(number))
        throw UsageError{QStringLiteral("Číslo %1 je v katalogu volné, žádná metoda tu není.").arg(number)};
    const MethodRecord &method = MethodCatalog[size_t(number)];
    if (!method.compute)
        throw UsageError{QStringLiteral("Metoda %1 („%2“) zatím nemá výpočet.").arg(number).arg(method.title)};
    if (columns != 0 && columns != method.inputCount)
        throw UsageError{QStringLiteral("Počet přepínačů -c (%1) neodpovídá počtu vstupů metody %2 (%3).")
                             .arg(columns)
                             .arg(number)
                             .arg(method.inputCount)};
    return method;
}

int runApplyCommand(const QStringList &args, std::FILE *out, std::FILE *err)
{
    const ApplyRequest request = parseApply(args);
    const MethodRecord &method = MethodCatalog[size_t(request.id)];

    InputFile input;
    if (!readInputFile(request.inputPath, &input, err))
        return FileFault;
    refuseOutputOverInput(request.output.path, input);
    // The header first, which names the columns; then the rows, of those
    // columns alone.
    CsvReadOptions options;
    options.separator = request.separator;
    options.maxRows = 0;
    CsvTable table;
    if (!readInputTable(input.bytes, options, request.inputPath, &table, err))
        return FileFault;
    const QString fileName = QFileInfo(request.inputPath).fileName();
    const std::vector<int> mapped = inputColumns(request, table, fileName);
    std::vector<int> kept;
    for (const QString &named : request.kept)
        kept.push_back(tableColumn(table, fileName, named, QStringLiteral("--keep")));

    std::vector<int> used = mapped;
    used.insert(used.end(), kept.begin(), kept.end());
    options = optionsOf(table.dialect);
    options.columns = used;
    if (!readInputTable(std::move(input.bytes), options, request.inputPath, &table, err))
        return FileFault;
    qint64 problems = reportReading(table, fileName, used, err);
    // A text column gives the method no number in any row.
    for (int j = 0; j < method.inputCount; ++j) {
        const int column = mapped[size_t(j)];
        if (table.kinds[size_t(column)] != ColumnKind::Text)
            continue;
        print(err, QStringLiteral("kostimer-cli: %1: sloupec „%2“ obsahuje text, ne čísla; vstup „%3“ v něm "
                                  "chybí a výsledky všech řádků také.\n")
                       .arg(fileName, columnLabel(table, column), method.columns.at(j)));
        ++problems;
    }
    if (request.output.strict && problems > 0) {
        UnreadReport::printStrictRefusal(err);
        return FileFault;
    }

    const int width = int(method.columns.size());
    bool verdicts = false;
    for (int c = 0; c < width && request.output.verdicts; ++c)
        verdicts = verdicts || isVerdictColumn(request.id, c);
    const auto write = [&](QIODevice *device) {
        ValueRowWriter writer(device, request.output.digits);
        writer.setMissingAsEmpty(true);
        if (request.output.header) {
            QStringList names;
            for (int c : kept)
                names.append(table.headers.value(c));
            writer.writeLine(textLine(names + method.columns));
        }
        const qsizetype rows = table.rows();
        const qsizetype step = method.wholeTable ? std::max<qsizetype>(rows, 1) : blockRows;
        CsvFields fields(request.output.digits);
        cv::Mat inputs;
        for (qsizetype first = 0; first < rows; first += step) {
            const int count = int(std::min(step, rows - first));
            const cv::Mat block = table.values.rowRange(int(first), int(first) + count);
            inputsOf(block, mapped, method.inputCount, &inputs);
            const cv::Mat result = computeResult(method, inputs);
            for (int i = 0; i < result.rows; ++i) {
                const double *values = result.ptr<double>(i);
                if (kept.empty() && !verdicts) {
                    writer.writeRow(values, result.cols);
                    continue;
                }
                const int row = int(first) + i;
                for (int c : kept) {
                    const auto texts = table.texts.find(c);
                    if (texts != table.texts.end())
                        fields.text(i < count ? texts->second.text(row) : QString());
                    else
                        fields.number(i < count ? table.values.at<double>(row, c) : qQNaN());
                }
                // A verdict column may hold no stored value: the text stands in its place.
                for (int c = 0; c < (verdicts ? std::max(width, result.cols) : result.cols); ++c) {
                    if (verdicts && isVerdictColumn(request.id, c))
                        fields.text(verdictText(request.id, c, values, result.cols));
                    else
                        fields.number(c < result.cols ? values[c] : qQNaN());
                }
                writer.writeLine(fields.take());
            }
        }
        return writer.flush();
    };
    return writeOutput(request.output.path, write, out, err);
}

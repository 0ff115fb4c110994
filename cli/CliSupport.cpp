#include "CliSupport.h"

#include "ValueRows.h"
#include "Verdicts.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <memory>

namespace {

bool hasVerdicts(qint32 type, int width)
{
    for (int c = 0; c < width; ++c)
        if (isVerdictColumn(type, c))
            return true;
    return false;
}

// The row with every verdict column as its text (UTF-8), the others as
// value-row numbers.
QByteArray rowWithVerdicts(qint32 type, int width, const double *row, int length, NumberDigits digits)
{
    QByteArray line;
    char number[32];
    for (int c = 0; c < std::max(width, length); ++c) {
        if (c > 0)
            line += ';';
        if (isVerdictColumn(type, c))
            line += verdictText(type, c, row, length).toUtf8();
        else if (c < length)
            line.append(number, formatValue(number, row[c], digits) - number);
    }
    return line;
}

} // namespace

void print(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

bool takeOutputOption(const QStringList &args, qsizetype *i, OutputOptions *options)
{
    const QString &arg = args.at(*i);
    auto value = [&]() {
        if (*i + 1 >= args.size())
            throw UsageError{QStringLiteral("Přepínači %1 chybí hodnota.").arg(arg)};
        return args.at(++*i);
    };
    if (arg == QLatin1String("--output"))
        options->path = value();
    else if (arg == QLatin1String("--header"))
        options->header = true;
    else if (arg == QLatin1String("--verdicts"))
        options->verdicts = true;
    else if (arg == QLatin1String("--digits")) {
        if (value() != QLatin1String("full"))
            throw UsageError{QStringLiteral("Přepínač --digits zná jen hodnotu full.")};
        options->digits = NumberDigits::Full;
    } else {
        return false;
    }
    return true;
}

int writeTable(const OutputOptions &options, qint32 type, const QStringList &columnNames, qsizetype rows,
               const RowAccess &row, std::FILE *out, std::FILE *err)
{
    std::unique_ptr<QFileDevice> device;
    if (options.path.isEmpty()) {
        auto stdoutFile = std::make_unique<QFile>();
        std::fflush(out);
        stdoutFile->open(out, QIODevice::WriteOnly);
        device = std::move(stdoutFile);
    } else {
        // Written beside the target and put in place only when complete.
        auto file = std::make_unique<QSaveFile>(options.path);
        if (!file->open(QIODevice::WriteOnly)) {
            print(err, QStringLiteral("Do souboru „%1“ nelze zapsat: složka neexistuje nebo k ní chybí oprávnění.\n")
                           .arg(options.path));
            return FileFault;
        }
        device = std::move(file);
    }
    bool written;
    {
        ValueRowWriter writer(device.get(), options.digits);
        if (options.header)
            writer.writeLine(columnNames.join(u';').toUtf8());
        const bool verdicts = options.verdicts && hasVerdicts(type, int(columnNames.size()));
        for (qsizetype r = 0; r < rows; ++r) {
            int length = 0;
            const double *values = row(r, &length);
            if (verdicts)
                writer.writeLine(rowWithVerdicts(type, int(columnNames.size()), values, length, options.digits));
            else
                writer.writeRow(values, length);
        }
        written = writer.flush();
    }
    if (auto *file = dynamic_cast<QSaveFile *>(device.get()))
        written = written && file->commit();
    else
        written = written && device->flush();
    if (!written) {
        const QString target = options.path.isEmpty() ? QStringLiteral("na standardní výstup")
                                                      : QStringLiteral("do souboru „%1“").arg(options.path);
        print(err, QStringLiteral("Výsledek nelze zapsat %1 (plný disk?).\n").arg(target));
        return FileFault;
    }
    return Done;
}

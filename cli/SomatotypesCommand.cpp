// kostimer-cli somatotypes: the somatotype analysis of a file, the groups'
// summaries and their comparisons, or every row's point and category.

#include "SomatotypesCommand.h"

#include "CliSupport.h"
#include "NumberReader.h"
#include "SampleGroups.h"
#include "SomatotypeAnalysis.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();

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

struct Request {
    QString inputPath;
    QStringList components; // none, or the three columns
    QString by;
    bool rows = false;
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
        else if (arg.startsWith(u'-') && arg.size() > 1)
            throw UsageError{QStringLiteral("Neznámý přepínač „%1“.").arg(arg)};
        else
            positional.append(arg);
    }
    if (positional.size() != 1)
        throw UsageError{QStringLiteral("Příkaz somatotypes potřebuje jeden soubor CSV.")};
    if (!request.components.isEmpty() && request.components.size() != 3)
        throw UsageError{QStringLiteral("Přepínač -c se uvádí třikrát (endomorfie, mezomorfie, ektomorfie), "
                                        "nebo vůbec.")};
    request.inputPath = positional.at(0);
    return request;
}

// The output in the export dialect: fields joined by ";", numbers in the
// value-row form, a number that does not exist (NaN) an empty field.
class Lines {
public:
    explicit Lines(NumberDigits digits)
        : m_digits(digits)
    {
    }
    void number(double value)
    {
        separate();
        if (!std::isnan(value))
            m_bytes += formatValue(value, m_digits);
    }
    void text(const QString &text)
    {
        separate();
        m_bytes += text.toUtf8();
    }
    void end()
    {
        m_bytes += '\n';
        m_first = true;
    }
    void line(const char *text)
    {
        m_bytes += text;
        end();
    }
    const QByteArray &bytes() const { return m_bytes; }

private:
    void separate()
    {
        if (!m_first)
            m_bytes += ';';
        m_first = false;
    }
    NumberDigits m_digits;
    QByteArray m_bytes;
    bool m_first = true;
};

void writeSummary(Lines &out, const QString &group, const SomatotypeSummary &s)
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
    out.end();
}

} // namespace

SomatotypeFile::SomatotypeFile(const QByteArray &bytes)
    : hasHeader(!startsWithValues(bytes))
    , table(hasHeader ? bytes : QByteArray("\n") + bytes)
{
}

int fileColumn(const SomatotypeFile &file, const QString &fileName, const QString &named, const QString &what)
{
    const CsvImport &table = file.table;
    // A table without rows still has the columns its header names.
    const qsizetype columns = table.rowCount() > 0 ? table.width() : (file.hasHeader ? table.headerCount() : 0);
    const bool isNumber =
        !named.isEmpty() && std::all_of(named.begin(), named.end(), [](QChar c) { return c.isDigit(); });
    qsizetype column = -1;
    if (isNumber)
        column = named.size() > 9 ? columns : named.toInt() - 1;
    else if (file.hasHeader)
        column = table.headerIndex(named);
    if (column < 0 || column >= columns)
        throw UsageError{QStringLiteral("Soubor %1 nemá sloupec „%2“ (%3).").arg(fileName, named, what)};
    return int(column);
}

int runSomatotypesCommand(const QStringList &args, std::FILE *out, std::FILE *err)
{
    const Request request = parse(args);
    InputFile input;
    if (!readInputFile(request.inputPath, &input, err))
        return FileFault;
    refuseOutputOverInput(request.output.path, input);
    const SomatotypeFile file(input.bytes);
    input.bytes.clear();
    const QString fileName = QFileInfo(request.inputPath).fileName();

    static const char *const componentNames[] = {"endomorfie", "mezomorfie", "ektomorfie"};
    std::vector<int> components;
    for (qsizetype j = 0; j < request.components.size(); ++j)
        components.push_back(fileColumn(file, fileName, request.components.at(j),
                                        QStringLiteral("-c %1").arg(QLatin1String(componentNames[j]))));
    const int by = request.by.isEmpty() ? -1 : fileColumn(file, fileName, request.by, QStringLiteral("--by"));

    // Every row's somatotype. A field that held no number is no value, as
    // for stats: a row without a number in each component has no somatotype
    // (NaN), and one without a number in the grouping column no group.
    QList<UnreadField> unreadFields;
    QList<QList<double>> rows = file.table.rows(&unreadFields);
    for (const UnreadField &field : unreadFields)
        rows[field.row][field.column] = none;
    std::vector<Somatotype> somatotypes(size_t(rows.size()), Somatotype{none, none, none});
    std::vector<double> keys;
    if (by >= 0)
        keys.assign(size_t(rows.size()), none);
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QList<double> &row = rows.at(r);
        const auto component = [&](int j) {
            if (components.empty())
                return row.size() >= 3 ? row.at(row.size() - 3 + j) : none;
            return components[size_t(j)] < row.size() ? row.at(components[size_t(j)]) : none;
        };
        somatotypes[size_t(r)] = Somatotype{component(0), component(1), component(2)};
        if (by >= 0 && by < row.size())
            keys[size_t(r)] = row.at(by);
    }

    const SomatotypeAnalysis analysis = analyseSomatotypes(somatotypes, keys);
    Lines lines(request.output.digits);
    if (request.rows) {
        lines.line(by >= 0 ? "skupina;endomorfie;mezomorfie;ektomorfie;X;Y;kategorie"
                           : "endomorfie;mezomorfie;ektomorfie;X;Y;kategorie");
        for (size_t r = 0; r < somatotypes.size(); ++r) {
            const Somatotype &s = somatotypes[r];
            if (by >= 0)
                lines.text(std::isnan(keys[r]) ? QString() : groupName(keys[r]));
            lines.number(s.endomorphy);
            lines.number(s.mesomorphy);
            lines.number(s.ectomorphy);
            lines.number(isComplete(s) ? somatochartX(s) : none);
            lines.number(isComplete(s) ? somatochartY(s) : none);
            lines.text(categoryName(somatotypeCategory(s)));
            lines.end();
        }
    } else {
        lines.line("skupina;n;endomorfie;mezomorfie;ektomorfie;X;Y;SAM;SDI;kategorie");
        for (const SomatotypeGroup &group : analysis.groups)
            writeSummary(lines, groupName(group.key), group.summary);
        writeSummary(lines, QString(), analysis.all);
        if (analysis.groups.size() >= 2) {
            lines.end();
            lines.line("skupina A;skupina B;SDD;SAD;významný rozdíl");
            for (const SomatotypeComparison &c : analysis.comparisons) {
                lines.text(groupName(analysis.groups[c.first].key));
                lines.text(groupName(analysis.groups[c.second].key));
                lines.number(c.sdd);
                lines.number(c.sad);
                lines.text(c.significant ? QStringLiteral("ano") : QStringLiteral("ne"));
                lines.end();
            }
        }
    }

    OutputFile output(request.output.path, out);
    QString why;
    if (!output.open(&why)) {
        print(err, QStringLiteral("Do souboru „%1“ nelze zapsat: %2.\n").arg(request.output.path, why));
        return FileFault;
    }
    if (output.device()->write(lines.bytes()) != lines.bytes().size() || !output.commit()) {
        const QString target = request.output.path.isEmpty()
                                   ? QStringLiteral("na standardní výstup")
                                   : QStringLiteral("do souboru „%1“").arg(request.output.path);
        print(err, QStringLiteral("Výsledek nelze zapsat %1 (plný disk?).\n").arg(target));
        return FileFault;
    }
    if (!request.rows && analysis.leftOut > 0)
        print(err, QStringLiteral("kostimer-cli: %1: řádků bez úplného somatotypu (některá složka chybí nebo "
                                  "není číslo), které se nepočítají: %2\n")
                       .arg(fileName)
                       .arg(analysis.leftOut));
    return Done;
}

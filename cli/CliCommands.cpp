#include "CliCommands.h"

#include "ChartCommand.h"
#include "CliSupport.h"
#include "ProjectCommands.h"

#include "CsvImport.h"
#include "MatrixRules.h"
#include "MethodCatalog.h"
#include "MethodListing.h"
#include "ValueRows.h"
#include "Verdicts.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <memory>

namespace {

const char helpText[] = R"(Použití:
  kostimer-cli methods
  kostimer-cli apply ČÍSLO SOUBOR.csv [-c SLOUPEC]... [--output SOUBOR] [--header] [--digits full]
                    [--verdicts]
  kostimer-cli project show SOUBOR.kstx
  kostimer-cli project export SOUBOR.kstx TABULKA [--output SOUBOR] [--header] [--verdicts]
                    [--digits full]
  kostimer-cli chart SOUBOR.csv OBRÁZEK.png
  kostimer-cli --help

methods
  Vypíše metody katalogu, jednu na řádek, oddělené tabulátorem: číslo metody,
  druh (0 převod jednotek, 1 vzorec, 2 prostorová data), název, vstupy
  oddělené " | " a výstupy oddělené " | " (včetně sloupců s vyhodnocením).

apply ČÍSLO SOUBOR.csv
  Načte SOUBOR.csv (první řádek jsou názvy sloupců, pole oddělená ";",
  desetinná čárka podle národního prostředí nebo tečka), použije metodu ČÍSLO
  na všechny řádky a výsledek vypíše jako export CSV programu Kostimer:
  bez záhlaví, pole oddělená ";", 6 platných číslic s desetinnou čárkou.

  -c SLOUPEC       sloupec souboru pro další vstup metody, v pořadí vstupů:
                   číslo sloupce od 1, nebo přesný název ze záhlaví (text
                   složený jen z číslic je vždy číslo sloupce). Bez -c dostanou
                   vstupy sloupce 1 až n; s -c musí být uvedeny všechny vstupy.
  --output SOUBOR  zapíše výsledek do souboru místo na standardní výstup
  --header         přidá první řádek s názvy sloupců výsledné tabulky
  --digits full    zapíše nejkratší tvar, který se načte zpět jako přesně
                   totéž číslo (stále s desetinnou čárkou)
  --verdicts       zapíše i sloupce s vyhodnocením (třída indexu, riziko
                   WHR, původ kosti, pohlaví, populační skupina) jako text na
                   jejich místě, jak je ukazuje tabulka programu; u metody 47
                   stojí ve sloupci „Pohlaví“ text místo uložené 0

project show SOUBOR.kstx
  Vypíše strom tabulek projektu, jednu tabulku na řádek, oddělené tabulátorem:
  název tabulky v souboru (např. 0/2.csv), hloubka ve stromu (0 pro data ze
  souboru), typ (číslo metody, 109 pro data ze souboru), text uzlu, počet
  řádků, počet sloupců a počet zaškrtnutých řádků.

project export SOUBOR.kstx TABULKA
  Vypíše jednu tabulku projektu stejně jako apply; přepínače --output,
  --header, --verdicts a --digits full platí i zde.

chart SOUBOR.csv OBRÁZEK.png
  Nakreslí somatotypy ze SOUBOR.csv do Sheldonova trojúhelníku, stejně jako
  je uloží okno programu: poslední tři sloupce každého řádku jsou
  endomorfie, mezomorfie a ektomorfie (řádek s méně hodnotami se vynechá).
  SOUBOR.csv je výsledek metody Heath-Carter exportovaný programem (bez
  záhlaví), nebo CSV se záhlavím jako u apply. Obrázek se jménem končícím
  .svg se zapíše jako SVG, jinak jako PNG (839 × 768 bodů).

Návratový kód: 0 hotovo, 1 soubor nelze přečíst nebo zapsat, 2 chybné použití
(neznámá metoda, volné číslo katalogu, metoda bez výpočtu, špatný počet -c,
sloupec, který soubor nemá, tabulka, kterou projekt nemá).
)";

struct ApplyRequest {
    int id = -1;
    QString inputPath;
    QStringList columns;
    OutputOptions output;
};

ApplyRequest parseApply(const QStringList &args)
{
    ApplyRequest request;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QLatin1String("-c")) {
            if (i + 1 >= args.size())
                throw UsageError{QStringLiteral("Přepínači %1 chybí hodnota.").arg(arg)};
            request.columns.append(args.at(++i));
        } else if (takeOutputOption(args, &i, &request.output)) {
        } else if (arg.startsWith(u'-') && arg.size() > 1)
            throw UsageError{QStringLiteral("Neznámý přepínač „%1“.").arg(arg)};
        else
            positional.append(arg);
    }
    if (positional.size() != 2)
        throw UsageError{QStringLiteral("Příkaz apply potřebuje číslo metody a jeden soubor CSV.")};

    bool ok = false;
    request.id = positional.at(0).toInt(&ok);
    if (!ok || request.id < 0 || request.id >= MethodCatalogSize)
        throw UsageError{QStringLiteral("Metoda „%1“ neexistuje: čísla metod jsou 0 až 108 "
                                        "(seznam vypíše kostimer-cli methods).")
                             .arg(positional.at(0))};
    if (!isRegisteredMethod(request.id))
        throw UsageError{QStringLiteral("Číslo %1 je v katalogu volné, žádná metoda tu není.").arg(request.id)};
    const MethodRecord &method = MethodCatalog[request.id];
    if (!method.compute)
        throw UsageError{QStringLiteral("Metoda %1 („%2“) zatím nemá výpočet.").arg(request.id).arg(method.title)};
    if (!request.columns.isEmpty() && request.columns.size() != method.inputCount)
        throw UsageError{QStringLiteral("Počet přepínačů -c (%1) neodpovídá počtu vstupů metody %2 (%3).")
                             .arg(request.columns.size())
                             .arg(request.id)
                             .arg(method.inputCount)};
    request.inputPath = positional.at(1);
    return request;
}

// The file's column for every input of the method, 0-based.
std::vector<int> mapColumns(const ApplyRequest &request, const CsvImport &table)
{
    const MethodRecord &method = MethodCatalog[request.id];
    // A table without rows still has the columns its header names.
    const int columnCount = table.rowCount() > 0 ? table.width() : int(table.headerCount());
    const QString fileName = QFileInfo(request.inputPath).fileName();
    std::vector<int> mapped;
    for (int j = 0; j < method.inputCount; ++j) {
        int column;
        QString named;
        if (request.columns.isEmpty()) {
            column = j;
            named = QString::number(j + 1);
        } else {
            named = request.columns.at(j);
            bool isNumber = !named.isEmpty()
                            && std::all_of(named.begin(), named.end(), [](QChar c) { return c.isDigit(); });
            column = isNumber ? named.toInt() - 1 : int(table.headerIndex(named));
        }
        if (column < 0 || column >= columnCount)
            throw UsageError{QStringLiteral("Soubor %1 nemá sloupec „%2“ (vstup „%3“).")
                                 .arg(fileName, named, method.columns.at(j))};
        mapped.push_back(column);
    }
    return mapped;
}

int apply(const QStringList &args, std::FILE *out, std::FILE *err)
{
    const ApplyRequest request = parseApply(args);
    const MethodRecord &method = MethodCatalog[request.id];

    QFile input(request.inputPath);
    if (!input.open(QIODevice::ReadOnly)) {
        const QString why = input.exists() ? QStringLiteral("chybí oprávnění ke čtení") : QStringLiteral("neexistuje");
        print(err, QStringLiteral("Soubor „%1“ nelze přečíst: %2.\n").arg(request.inputPath, why));
        return FileFault;
    }
    // A mapped file is read in place; anything that cannot be mapped is read whole.
    const qint64 size = input.size();
    uchar *fileView = size > 0 ? input.map(0, size) : nullptr;
    const CsvImport table(fileView ? QByteArray::fromRawData(reinterpret_cast<const char *>(fileView), qsizetype(size))
                                 : input.readAll());
    const std::vector<int> mapped = mapColumns(request, table);

    // Only the columns the method takes are read from the file.
    std::vector<int> distinct = mapped;
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    cv::Mat columns(int(table.rowCount()), int(distinct.size()), CV_64F);
    table.readColumns(distinct, columns.ptr<double>());
    std::vector<int> positions;
    for (int c : mapped)
        positions.push_back(int(std::lower_bound(distinct.begin(), distinct.end(), c) - distinct.begin()));
    const cv::Mat result = computeResult(method, selectColumns(columns, positions, method.inputCount));
    columns.release();

    return writeTable(request.output, request.id, method.columns, result.rows,
                      [&result](qsizetype r, int *length) {
                          *length = result.cols;
                          return result.ptr<double>(int(r));
                      },
                      out, err);
}

} // namespace

int runCli(const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    buildMethodCatalog();
    const QString command = arguments.value(0);
    try {
        if (command == QLatin1String("--help") || command == QLatin1String("-h")
            || command == QLatin1String("help")) {
            print(out, QString::fromUtf8(helpText));
            return Done;
        }
        if (command == QLatin1String("methods") && arguments.size() == 1) {
            print(out, methodListing());
            return Done;
        }
        if (command == QLatin1String("apply"))
            return apply(arguments.mid(1), out, err);
        if (command == QLatin1String("project"))
            return runProjectCommand(arguments.mid(1), out, err);
        if (command == QLatin1String("chart"))
            return runChartCommand(arguments.mid(1), out, err);
        if (command.isEmpty())
            throw UsageError{QStringLiteral("Chybí příkaz.")};
        throw UsageError{QStringLiteral("Neznámý příkaz „%1“.").arg(arguments.join(u' '))};
    } catch (const UsageError &e) {
        print(err, QStringLiteral("kostimer-cli: %1 Nápovědu vypíše kostimer-cli --help.\n").arg(e.message));
        return UsageFault;
    }
}

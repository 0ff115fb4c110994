#include "CliCommands.h"

#include "ChartCommand.h"
#include "CliSupport.h"
#include "ProjectCommands.h"
#include "SomatotypesCommand.h"
#include "StatsCommand.h"
#include "UnreadReport.h"

#include "CsvImport.h"
#include "MatrixRules.h"
#include "MethodCatalog.h"
#include "MethodListing.h"
#include "ValueRows.h"
#include "Verdicts.h"

#include <QFileInfo>

#include <algorithm>
#include <climits>

namespace {

const char helpText[] = R"(Použití:
  kostimer-cli methods
  kostimer-cli apply ČÍSLO SOUBOR.csv [-c SLOUPEC]... [--output SOUBOR] [--header] [--digits full]
                    [--verdicts] [--strict]
  kostimer-cli project show SOUBOR.kstx
  kostimer-cli project export SOUBOR.kstx TABULKA [--output SOUBOR] [--header] [--verdicts]
                    [--digits full] [--strict]
  kostimer-cli chart SOUBOR.csv OBRÁZEK.png [--by SLOUPEC]
  kostimer-cli somatotypes SOUBOR.csv [-c SLOUPEC -c SLOUPEC -c SLOUPEC] [--by SLOUPEC]
                    [--rows] [--output SOUBOR] [--digits full]
  kostimer-cli stats SOUBOR.csv [--by SLOUPEC] [--output SOUBOR] [--digits full]
  kostimer-cli --help

methods
  Vypíše metody katalogu, jednu na řádek, oddělené tabulátorem: číslo metody,
  druh (0 převod jednotek, 1 vzorec, 2 prostorová data), název, vstupy
  oddělené " | " a výstupy oddělené " | " (včetně sloupců s vyhodnocením).

apply ČÍSLO SOUBOR.csv
  Načte SOUBOR.csv (první řádek jsou názvy sloupců, pole oddělená ";"),
  použije metodu ČÍSLO na všechny řádky a výsledek vypíše jako export CSV
  programu Kostimer: bez záhlaví, pole oddělená ";", 6 platných číslic
  s desetinnou čárkou.

  Čísla se čtou na každém počítači stejně, bez ohledu na národní prostředí:
  desetinná čárka i tečka (1,5 i 1.5 je 1,5; 1,750 je 1,75), číslice
  seskupené mezerou (1 250,5), nikdy čárkou ani tečkou. Pole, které číslem
  není (prázdné nebo text), se počítá jako 0: kolik jich bylo a prvních pět
  (řádek od 1 bez záhlaví, sloupec, text) vypíše kostimer-cli na standardní
  chybový výstup a skončí s kódem 0.

  -c SLOUPEC       sloupec souboru pro další vstup metody, v pořadí vstupů:
                   číslo sloupce od 1, nebo přesný název ze záhlaví (text
                   složený jen z číslic je vždy číslo sloupce). Bez -c dostanou
                   vstupy sloupce 1 až n; s -c musí být uvedeny všechny vstupy.
  --output SOUBOR  zapíše výsledek do souboru místo na standardní výstup;
                   obyčejný soubor nahradí až celý výsledek (při chybě zůstane
                   soubor, jaký byl), do roury, zařízení nebo /dev/stdout se
                   píše přímo (/dev/stdout připojí výsledek za obsah souboru
                   otevřeného pomocí >>); výstup nesmí být týž soubor jako vstup
  --header         přidá první řádek s názvy sloupců výsledné tabulky
  --digits full    zapíše nejkratší tvar, který se načte zpět jako přesně
                   totéž číslo (stále s desetinnou čárkou)
  --verdicts       zapíše i sloupce s vyhodnocením (třída indexu, riziko
                   WHR, původ kosti, pohlaví, populační skupina) jako text na
                   jejich místě, jak je ukazuje tabulka programu; u metody 47
                   stojí ve sloupci „Pohlaví“ text místo uložené 0
  --strict         pole vstupu, které není číslo, je chyba: nic se
                   nezapíše a návratový kód je 1

project show SOUBOR.kstx
  Vypíše strom tabulek projektu, jednu tabulku na řádek, oddělené tabulátorem:
  název tabulky v souboru (např. 0/2.csv), hloubka ve stromu (0 pro data ze
  souboru), typ (číslo metody, 109 pro data ze souboru), text uzlu, počet
  řádků, počet sloupců a počet zaškrtnutých řádků. Tabulátor, konec řádku a
  zpětné lomítko v názvu a textu stojí jako \t, \n, \r a \\.

project export SOUBOR.kstx TABULKA
  Vypíše jednu tabulku projektu stejně jako apply; přepínače --output,
  --header, --verdicts, --digits full a --strict platí i zde (pole
  importovaného souboru, která nebyla čísla, hlásí stejně jako apply).

chart SOUBOR.csv OBRÁZEK.png
  Nakreslí somatotypy ze SOUBOR.csv do Sheldonova trojúhelníku, stejně jako
  je uloží okno programu: poslední tři sloupce každého řádku jsou
  endomorfie, mezomorfie a ektomorfie (řádek s méně hodnotami se vynechá).
  SOUBOR.csv je výsledek metody Heath-Carter exportovaný programem (bez
  záhlaví), nebo CSV se záhlavím jako u apply. Obrázek se jménem končícím
  .svg se zapíše jako SVG, jinak jako PNG (839 × 768 bodů). Obrázek se
  zapíše stejně jako --output u apply.

  --by SLOUPEC     nakreslí i průměrný somatotyp každé skupiny řádků podle
                   hodnoty sloupce (číslo sloupce od 1, nebo přesný název ze
                   záhlaví): vyplněnou značkou vlastního tvaru a barvy
                   s názvem skupiny, s legendou; somatotypy skupiny mají její
                   barvu. Řádek, kterému chybí složka nebo číslo ve sloupci
                   skupin, do žádné skupiny nepatří.

somatotypes SOUBOR.csv
  Analýza somatotypů podle manuálu Heath-Carter (Carter 2002). Soubor je jako
  u chart; endomorfie, mezomorfie a ektomorfie jsou poslední tři sloupce
  každého řádku, nebo tři sloupce -c v tomto pořadí (číslo sloupce od 1,
  nebo přesný název ze záhlaví). Řádek, kterému některá složka chybí nebo
  není číslem (i nan), se nepočítá; kolik jich bylo, vypíše kostimer-cli na
  standardní chybový výstup.

  Vypíše řádek „skupina;n;endomorfie;mezomorfie;ektomorfie;X;Y;SAM;SDI;
  kategorie“, pak jeden řádek na skupinu (vzestupně podle hodnoty) a nakonec
  řádek všech řádků s prázdnou skupinou: průměrný somatotyp, jeho souřadnice
  X = ektomorfie − endomorfie a Y = 2 · mezomorfie − (endomorfie +
  ektomorfie), SAM (průměrná vzdálenost SAD somatotypů od průměrného), SDI
  (průměrná vzdálenost SDD bodů od průměrného bodu) a kategorie průměrného
  somatotypu (jedna ze 13 kategorií manuálu; dvě složky jsou stejné, liší-li
  se nejvýš o 0,5). Jsou-li skupiny aspoň dvě, následuje prázdný řádek, řádek
  „skupina A;skupina B;SDD;SAD;významný rozdíl“ a jeden řádek na dvojici
  skupin; rozdíl je významný (ano), je-li SDD průměrů aspoň 2. Čísla jsou
  ve tvaru exportu, statistika, která neexistuje, je prázdné pole.

  -c SLOUPEC       sloupec endomorfie, mezomorfie a ektomorfie (třikrát)
  --by SLOUPEC     rozdělí řádky do skupin podle hodnoty sloupce (jako
                   u chart)
  --rows           místo souhrnu vypíše řádek
                   „endomorfie;mezomorfie;ektomorfie;X;Y;kategorie“ a jeden
                   řádek na každý řádek souboru (s --by na začátku i skupinu;
                   řádek bez úplného somatotypu má X, Y a kategorii prázdné)
  --output SOUBOR, --digits full   jako u apply

stats SOUBOR.csv
  Popisná statistika každého sloupce souboru (záhlaví a čísla jako u apply):
  první řádek „skupina;sloupec;n;průměr;směrodatná odchylka;minimum;medián;
  maximum“, pak jeden řádek na skupinu a sloupec (sloupce v pořadí souboru,
  skupiny vzestupně podle hodnoty) a nakonec řádky všech řádků souboru
  s prázdnou skupinou. Směrodatná odchylka je výběrová (dělí se n − 1),
  statistika, která neexistuje (odchylka jediné hodnoty, cokoli z žádné),
  je prázdné pole. Pole, které není číslo, i chybějící pole krátkého řádku
  se vynechá a do n se nepočítá; nan také. Nekonečno (inf) se počítá:
  průměr, minimum, medián či maximum pak mohou být nekonečné a odchylka
  chybí.

  --by SLOUPEC     rozdělí řádky do skupin podle hodnoty sloupce (číslo
                   sloupce od 1, nebo přesný název ze záhlaví, jako -c
                   u apply); tento sloupec se sám nepopisuje a řádek bez čísla
                   v něm patří jen mezi všechny řádky
  --output SOUBOR, --digits full   jako u apply

Vstupní soubor může být i roura nebo zařízení (např. /dev/stdin); přečte se
nejvýš čtvrtina operační paměti, větší vstup se odmítne. Soubor, který se
během čtení změní, se odmítne.

Návratový kód: 0 hotovo, 1 soubor nelze přečíst nebo zapsat (také selhání
zápisu na standardní výstup, vstup příliš velký nebo změněný během čtení,
nedostatek paměti, pole, které není číslo, s --strict), 2 chybné použití (neznámá metoda, volné číslo katalogu,
metoda bez výpočtu, špatný počet -c, sloupec, který soubor nemá, tabulka,
kterou projekt nemá, výstup, který je týž soubor jako vstup).
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
        if (arg == QStringLiteral("-c")) {
            request.columns.append(optionValue(args, &i));
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

// The method's result, computed a block of rows at a time as the writer asks
// for the rows in order, so that memory stays within a block whatever the
// shape of the file. Only the columns the method takes are read.
class BlockwiseResult {
public:
    BlockwiseResult(const CsvImport &table, const MethodRecord &method, const std::vector<int> &mapped)
        : m_table(table)
        , m_method(method)
        , m_blockRows(method.wholeTable ? std::max<qsizetype>(table.rowCount(), 1) : qsizetype(1) << 16)
    {
        m_distinct = mapped;
        std::sort(m_distinct.begin(), m_distinct.end());
        m_distinct.erase(std::unique(m_distinct.begin(), m_distinct.end()), m_distinct.end());
        for (int c : mapped)
            m_positions.push_back(
                int(std::lower_bound(m_distinct.begin(), m_distinct.end(), c) - m_distinct.begin()));
    }

    // Row r of the result; rows are asked for in order.
    const double *row(qsizetype r, int *length)
    {
        while (r >= m_first + m_block.rows) {
            m_first += m_block.rows;
            const cv::Mat columns = readBlock();
            m_block = computeResult(m_method, selectColumns(columns, m_positions, m_method.inputCount));
        }
        *length = m_block.cols;
        return m_block.ptr<double>(int(r - m_first));
    }

    // Reads every field the method takes, computing nothing.
    UnreadReport readAllFields()
    {
        while (m_position.row < m_table.rowCount())
            readBlock();
        return m_unread;
    }

    const UnreadReport &unread() const { return m_unread; }

private:
    cv::Mat readBlock()
    {
        const qsizetype rows = std::min(m_blockRows, m_table.rowCount() - m_position.row);
        cv::Mat columns(int(rows), int(m_distinct.size()), CV_64F);
        QList<UnreadField> unread;
        m_table.readColumns(m_distinct, columns.ptr<double>(), rows, &m_position, &unread);
        for (const UnreadField &field : unread)
            m_unread.add(field.row, field.column, field.text);
        return columns;
    }

    const CsvImport &m_table;
    const MethodRecord &m_method;
    const qsizetype m_blockRows;
    std::vector<int> m_distinct;
    std::vector<int> m_positions;
    CsvImport::Position m_position;
    UnreadReport m_unread;
    cv::Mat m_block;
    qsizetype m_first = 0; // the result row m_block starts with
};

int apply(const QStringList &args, std::FILE *out, std::FILE *err)
{
    const ApplyRequest request = parseApply(args);
    const MethodRecord &method = MethodCatalog[request.id];

    InputFile input;
    if (!readInputFile(request.inputPath, &input, err))
        return FileFault;
    refuseOutputOverInput(request.output.path, input);
    const CsvImport table(std::move(input.bytes));
    const std::vector<int> mapped = mapColumns(request, table);

    if (method.wholeTable && table.rowCount() > INT_MAX) {
        print(err, QStringLiteral("Soubor „%1“ má víc řádků, než metoda pojme.\n").arg(request.inputPath));
        return FileFault;
    }
    const QString fileName = QFileInfo(request.inputPath).fileName();
    auto columnName = [&table](int column) { return table.header(column); };
    if (request.output.strict) {
        // Nothing is written when any field the method takes is not a number.
        BlockwiseResult check(table, method, mapped);
        const UnreadReport unread = check.readAllFields();
        if (unread.count() > 0) {
            unread.print(err, fileName, columnName);
            UnreadReport::printStrictRefusal(err);
            return FileFault;
        }
    }
    BlockwiseResult result(table, method, mapped);
    const int written = writeTable(request.output, request.id, method.columns, table.rowCount(),
                                   [&result](qsizetype r, int *length) { return result.row(r, length); }, out,
                                   err);
    result.unread().print(err, fileName, columnName);
    return written;
}

} // namespace

int runCli(const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    buildMethodCatalog();
    const QString command = arguments.value(0);
    try {
        if (command == QStringLiteral("--help") || command == QStringLiteral("-h")
            || command == QStringLiteral("help")) {
            print(out, QString::fromUtf8(helpText));
            return Done;
        }
        if (command == QStringLiteral("methods") && arguments.size() == 1) {
            print(out, methodListing());
            return Done;
        }
        if (command == QStringLiteral("apply"))
            return apply(arguments.mid(1), out, err);
        if (command == QStringLiteral("project"))
            return runProjectCommand(arguments.mid(1), out, err);
        if (command == QStringLiteral("chart"))
            return runChartCommand(arguments.mid(1), out, err);
        if (command == QStringLiteral("somatotypes"))
            return runSomatotypesCommand(arguments.mid(1), out, err);
        if (command == QStringLiteral("stats"))
            return runStatsCommand(arguments.mid(1), out, err);
        if (command.isEmpty())
            throw UsageError{QStringLiteral("Chybí příkaz.")};
        throw UsageError{QStringLiteral("Neznámý příkaz „%1“.").arg(arguments.join(u' '))};
    } catch (const UsageError &e) {
        print(err, QStringLiteral("kostimer-cli: %1 Nápovědu vypíše kostimer-cli --help.\n").arg(e.message));
        return UsageFault;
    }
}

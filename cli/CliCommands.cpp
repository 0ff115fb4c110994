#include "CliCommands.h"

#include "ApplyCommand.h"
#include "ChartCommand.h"
#include "CliSupport.h"
#include "ErrorCommand.h"
#include "ProjectCommands.h"
#include "SomatotypesCommand.h"
#include "StatsCommand.h"

#include "MethodCatalog.h"
#include "MethodListing.h"

namespace {

const char helpText[] = R"(Použití:
  kostimer-cli methods
  kostimer-cli apply ČÍSLO SOUBOR.csv [-c SLOUPEC]... [--keep SLOUPEC]... [--sep ODDĚLOVAČ]
                    [--output SOUBOR] [--header] [--digits full] [--verdicts] [--strict]
  kostimer-cli project show SOUBOR.kstx
  kostimer-cli project export SOUBOR.kstx TABULKA [--output SOUBOR] [--header] [--verdicts]
                    [--digits full] [--strict]
  kostimer-cli project import SOUBOR.kstx SOUBOR.csv [--sep ODDĚLOVAČ]
  kostimer-cli project apply SOUBOR.kstx TABULKA ČÍSLO [-c SLOUPEC]... [--keep SLOUPEC]...
  kostimer-cli chart SOUBOR.csv OBRÁZEK.png [--by SLOUPEC] [--sep ODDĚLOVAČ]
  kostimer-cli somatotypes SOUBOR.csv [-c SLOUPEC -c SLOUPEC -c SLOUPEC] [--by SLOUPEC]
                    [--rows] [--sep ODDĚLOVAČ] [--output SOUBOR] [--digits full]
  kostimer-cli stats SOUBOR.csv [--by SLOUPEC] [--sep ODDĚLOVAČ] [--output SOUBOR]
                    [--digits full]
  kostimer-cli error SOUBOR.csv -c SLOUPEC -c SLOUPEC [-c SLOUPEC]... [--by SLOUPEC]
                    [--sep ODDĚLOVAČ] [--output SOUBOR] [--digits full]
  kostimer-cli --help
  kostimer-cli PŘÍKAZ --help        jen část nápovědy o příkazu

Soubory CSV
  Každý příkaz čte soubor CSV stejně jako import programu Kostimer, takže
  tentýž soubor je všude tatáž tabulka. Oddělovač polí (středník, čárka,
  tabulátor nebo svislá čára) se pozná ze souboru; texty mohou stát
  v uvozovkách (i s oddělovačem, uvozovkou zdvojenou nebo koncem řádku
  uvnitř); řádky končí LF, CR LF nebo samotným CR; kódování je UTF-8 (i s
  BOM), UTF-16 s BOM nebo Windows-1250. První řádek jsou názvy sloupců,
  je-li v něm pole, které není číslo; jinak je i on řádkem dat a sloupce
  mají jen čísla. Prázdné řádky se přeskočí. Tabulka má tolik sloupců,
  kolik polí má první řádek.

  Čísla se čtou na každém počítači stejně, bez ohledu na národní prostředí:
  desetinná čárka i tečka (1,5 i 1.5 je 1,5; 1,750 je 1,75), číslice
  seskupené mezerou (1 250,5), nikdy čárkou ani tečkou; v souboru s polemi
  oddělenými čárkou (např. z write.csv jazyka R) je desetinnou značkou jen
  tečka. Sloupec, v němž většina vyplněných polí nejsou čísla, je textový
  (jméno, pohlaví, lokalita).

  Hodnota chybí v prázdném poli, v poli NA, v poli číselného sloupce, které
  není číslo, a v buňkách na konci řádku kratšího než první řádek. Metoda
  dá pro řádek s chybějícím vstupem chybějící výsledky a statistika
  chybějící hodnotu do n nepočítá. Kolik polí číselného sloupce nebylo
  čísly a prvních pět z nich (řádek dat od 1 bez záhlaví, sloupec, text)
  a řádky kratší nebo delší než první řádek (s číslem řádku souboru)
  vypíše kostimer-cli na standardní chybový výstup.

  SLOUPEC je číslo sloupce od 1, nebo přesný název ze záhlaví (text
  složený jen z číslic je vždy číslo sloupce).

  --sep ODDĚLOVAČ  oddělovač polí místo toho, který se pozná ze souboru:
                   ";", ",", "|", nebo tab (také sám znak tabulátoru)

methods
  Vypíše metody katalogu, jednu na řádek, oddělené tabulátorem: číslo metody,
  druh (0 převod jednotek, 1 vzorec, 2 prostorová data), název, vstupy
  oddělené " | " a výstupy oddělené " | " (včetně sloupců s vyhodnocením).

apply ČÍSLO SOUBOR.csv
  Použije metodu ČÍSLO na všechny řádky SOUBOR.csv a výsledek vypíše jako
  export CSV programu Kostimer: bez záhlaví, pole oddělená ";", 6 platných
  číslic s desetinnou čárkou, text tak, jak je (v uvozovkách, obsahuje-li
  ";", uvozovku nebo konec řádku), chybějící hodnota jako prázdné pole.
  Soubor, který má jen řádek záhlaví, nedá žádný řádek; kostimer-cli to
  řekne na standardní chybový výstup.

  -c SLOUPEC       sloupec souboru pro další vstup metody, v pořadí vstupů.
                   Bez -c dostanou vstupy sloupce 1 až n; s -c musí být
                   uvedeny všechny vstupy. Textový sloupec nedá metodě žádné
                   číslo.
  --keep SLOUPEC   vypíše sloupec souboru před sloupci metody (třeba
                   identifikátor nebo pohlaví); lze opakovat, sloupce jdou
                   v uvedeném pořadí, text jako text
  --output SOUBOR  zapíše výsledek do souboru místo na standardní výstup;
                   obyčejný soubor nahradí až celý výsledek (při chybě zůstane
                   soubor, jaký byl), do roury, zařízení nebo /dev/stdout se
                   píše přímo (/dev/stdout připojí výsledek za obsah souboru
                   otevřeného pomocí >>); výstup nesmí být týž soubor jako vstup
  --header         přidá první řádek s názvy sloupců výsledné tabulky (název
                   s ";", uvozovkou nebo koncem řádku stojí v uvozovkách)
  --digits full    zapíše nejkratší tvar, který se načte zpět jako přesně
                   totéž číslo (stále s desetinnou čárkou)
  --verdicts       zapíše i sloupce s vyhodnocením (třída indexu, riziko
                   WHR, původ kosti, pohlaví, populační skupina) jako text na
                   jejich místě, jak je ukazuje tabulka programu; u metody 47
                   stojí ve sloupci „Pohlaví“ text místo uložené 0
  --strict         pole vstupu, které není číslo, textový sloupec jako vstup
                   metody a řádek kratší nebo delší než první řádek jsou
                   chyba: nic se nezapíše a návratový kód je 1

project show SOUBOR.kstx
  Vypíše strom tabulek projektu, jednu tabulku na řádek, oddělené tabulátorem:
  název tabulky v souboru (např. 0/2.csv), hloubka ve stromu (0 pro data ze
  souboru), typ (číslo metody, 109 pro data ze souboru), text uzlu, počet
  řádků, počet sloupců a počet zaškrtnutých řádků. Tabulátor, konec řádku a
  zpětné lomítko v názvu a textu stojí jako \t, \n, \r a \\.

project export SOUBOR.kstx TABULKA
  Vypíše jednu tabulku projektu stejně jako apply (textové sloupce jako
  text, chybějící hodnota jako prázdné pole); přepínače --output, --header,
  --verdicts, --digits full a --strict platí i zde (pole importovaného
  souboru, která nebyla čísla, hlásí stejně jako apply).

project import SOUBOR.kstx SOUBOR.csv
  Načte SOUBOR.csv jako import programu (a jako každý jiný příkaz, --sep
  platí i zde) a přidá ho do projektu jako další tabulku dat se všemi řádky
  zaškrtnutými; projekt, který ještě neexistuje, založí. Vypíše řádek nové
  tabulky jako project show.

project apply SOUBOR.kstx TABULKA ČÍSLO
  Použije metodu ČÍSLO na zaškrtnuté řádky tabulky projektu (název tabulky
  jako u project show) a výsledek přidá pod ni, jako to udělá program. -c
  a --keep jako u apply; sloupec se jmenuje tak, jak ho ukazuje záhlaví
  tabulky. Vypíše řádek nové tabulky jako project show. Tabulky pod toutéž
  tabulkou se v souboru číslují od poslední, takže dřívější výsledky se
  přejmenují (0/1.csv bude 0/2.csv).

  Oba příkazy zapíšou celý projekt, jako ho uloží program: nový soubor
  nahradí starý až úplný, při chybě zůstane projekt, jaký byl.

chart SOUBOR.csv OBRÁZEK.png
  Nakreslí somatotypy ze SOUBOR.csv do Sheldonova trojúhelníku, stejně jako
  je uloží okno programu. Endomorfie, mezomorfie a ektomorfie jsou číselné
  sloupce tak pojmenované (název začíná endo, mezo či meso, ekto či ecto,
  jako u výsledků Heath-Carter), jinak poslední tři číselné sloupce; sloupec
  --by to není nikdy. Které sloupce to jsou, vypíše kostimer-cli na
  standardní chybový výstup. Řádek, kterému některá složka chybí, se
  vynechá; řádek se složkou 0 nebo zápornou (složka je vždy kladná) také
  a kostimer-cli ho vypíše na standardní chybový výstup (prvních pět
  s řádkem dat, sloupcem a hodnotou).
  SOUBOR.csv je výsledek metody Heath-Carter exportovaný programem (bez
  záhlaví), nebo CSV se záhlavím. Obrázek se jménem končícím .svg se zapíše
  jako SVG, jinak jako PNG (839 × 768 bodů). Obrázek se zapíše stejně jako
  --output u apply.

  --by SLOUPEC     nakreslí i průměrný somatotyp každé skupiny řádků podle
                   hodnoty sloupce (textu nebo čísla): vyplněnou značkou
                   vlastního tvaru a barvy s názvem skupiny, s legendou;
                   somatotypy skupiny mají její barvu. Řádek, kterému chybí
                   hodnota ve sloupci skupin, do žádné skupiny nepatří; kolik
                   jich bylo, vypíše kostimer-cli na standardní chybový výstup.

somatotypes SOUBOR.csv
  Analýza somatotypů podle manuálu Heath-Carter (Carter 2002). Soubor je jako
  u chart; endomorfie, mezomorfie a ektomorfie jsou sloupce, které najde
  chart, nebo tři sloupce -c v tomto pořadí. Řádek, kterému některá
  složka chybí (i nan), se nepočítá; kolik jich bylo, vypíše kostimer-cli na
  standardní chybový výstup. Ani řádek se složkou 0 nebo zápornou se
  nepočítá; kostimer-cli ho vypíše jako u chart.

  Vypíše řádek „skupina;n;endomorfie;mezomorfie;ektomorfie;X;Y;SAM;SDI;
  kategorie“, pak jeden řádek na skupinu (texty v českém abecedním pořadí,
  čísla vzestupně) a nakonec řádek všech řádků s prázdnou skupinou:
  průměrný somatotyp, jeho souřadnice X = ektomorfie − endomorfie a Y = 2 ·
  mezomorfie − (endomorfie + ektomorfie), SAM (průměrná vzdálenost SAD
  somatotypů od průměrného), SDI (průměrná vzdálenost SDD bodů od
  průměrného bodu) a kategorie průměrného somatotypu (jedna ze 13 kategorií
  manuálu; dvě složky jsou stejné, liší-li se nejvýš o 0,5). Jsou-li
  skupiny aspoň dvě, následuje prázdný řádek, řádek „skupina A;skupina B;
  SDD;SAD;významný rozdíl“ a jeden řádek na dvojici skupin; rozdíl je
  významný (ano), je-li SDD průměrů aspoň 2. Čísla jsou ve tvaru exportu,
  statistika, která neexistuje, je prázdné pole.

  -c SLOUPEC       sloupec endomorfie, mezomorfie a ektomorfie (třikrát)
  --by SLOUPEC     rozdělí řádky do skupin podle hodnoty sloupce (jako
                   u chart); řádek bez hodnoty v něm patří jen mezi všechny
                   řádky a kolik jich bylo, vypíše kostimer-cli na standardní
                   chybový výstup
  --rows           místo souhrnu vypíše řádek
                   „endomorfie;mezomorfie;ektomorfie;X;Y;kategorie“ a jeden
                   řádek na každý řádek souboru (s --by na začátku i skupinu;
                   řádek bez úplného somatotypu nebo se složkou 0 či
                   zápornou má X, Y a kategorii prázdné)
  --output SOUBOR, --digits full   jako u apply

stats SOUBOR.csv
  Popisná statistika každého číselného sloupce souboru (textové sloupce se
  nepopisují): první řádek „skupina;sloupec;n;chybí;průměr;směrodatná
  odchylka;minimum;medián;maximum“, pak jeden řádek na skupinu a sloupec
  (sloupce v pořadí souboru, skupiny jako u somatotypes) a nakonec řádky
  všech řádků souboru s prázdnou skupinou. Směrodatná odchylka je výběrová
  (dělí se n − 1), statistika, která neexistuje (odchylka jediné hodnoty,
  cokoli z žádné), je prázdné pole. Chybějící hodnota (i nan) se vynechá
  a do n se nepočítá; kolik jich bylo, vypíše kostimer-cli po sloupcích na
  standardní chybový výstup. Nekonečno (inf) se počítá: průměr, minimum,
  medián či maximum pak mohou být nekonečné a odchylka chybí.

  --by SLOUPEC     rozdělí řádky do skupin podle hodnoty sloupce, textu
                   nebo čísla; tento sloupec se sám nepopisuje a řádek bez
                   hodnoty v něm patří jen mezi všechny řádky (kolik jich
                   bylo, vypíše kostimer-cli na standardní chybový výstup)
  --output SOUBOR, --digits full   jako u apply

error SOUBOR.csv -c SLOUPEC -c SLOUPEC
  Chyba měření proměnné změřené na každém jedinci K-krát (K ≥ 2, několika
  měřiči nebo jedním v několika sezeních), jedno měření v každém sloupci -c,
  jak ji udává okno „Chyba měření“. Řádek, kterému některé měření chybí (i
  nan), se vynechá; kolik jich bylo, vypíše kostimer-cli na standardní
  chybový výstup. Vypíše řádek „n;K;průměr;TEM;relativní TEM (%);R;
  ICC(2,1);dolní mez 95 %;horní mez 95 %“ a pod ním řádek výsledků: n úplných
  řádků, průměr všech n · K hodnot, technickou chybu měření TEM =
  √(Σ (x − průměr jedince)² / (n (K − 1))), pro K = 2 √(Σ d² / 2n)
  (Ulijaszek a Kerr 1999), relativní TEM = 100 · TEM / průměr, koeficient
  spolehlivosti R = 1 − TEM² / s² (s výběrová směrodatná odchylka všech
  hodnot) a vnitrotřídní korelaci ICC(2,1) (dvoufaktorový model
  s náhodnými efekty, absolutní shoda, jedno měření; Shrout a Fleiss 1979)
  s jejím 95% intervalem spolehlivosti podle McGrawa a Wongové (1996).
  Čísla jsou ve tvaru exportu, číslo, které neexistuje (R a ICC hodnot,
  které se neliší), je prázdné pole. Méně než dva úplné řádky jsou chybné
  použití.

  -c SLOUPEC       sloupec jednoho měření (aspoň dvakrát, každý jiný)
  --by SLOUPEC     se sloupcem „skupina“ na začátku: jeden řádek na skupinu
                   (jako u stats) a nakonec řádek všech řádků s prázdnou
                   skupinou
  --output SOUBOR, --digits full   jako u apply

Vstupní soubor může být i roura nebo zařízení (např. /dev/stdin); přečte se
nejvýš čtvrtina operační paměti, větší vstup se odmítne. Soubor, který se
během čtení změní, se odmítne.

Návratový kód: 0 hotovo, 1 soubor nelze přečíst nebo zapsat (také selhání
zápisu na standardní výstup, vstup příliš velký nebo změněný během čtení,
nedostatek paměti, s --strict pole, které není číslo, nebo řádek jiné
délky), 2 chybné použití (neznámá metoda, volné číslo katalogu, metoda bez
výpočtu, špatný počet -c, sloupec, který soubor nemá, oddělovač, který
--sep nezná, tabulka, kterou projekt nemá, výstup, který je týž soubor jako
vstup, u error méně než dva řádky se všemi měřeními).
)";

// The part of the help that describes command: its lines of the usage, then
// its sections (a section starts with the command's name at the line's start
// and runs to the next line that starts unindented).
QString commandHelp(const QString &command)
{
    const QStringList lines = QString::fromUtf8(helpText).split(u'\n');
    const QString usage = QStringLiteral("  kostimer-cli ") + command + u' ';
    QStringList usageLines{lines.first()};
    QStringList sections;
    bool inUsage = false;
    bool inSection = false;
    for (const QString &line : lines) {
        if (line.startsWith(QStringLiteral("  kostimer-cli ")))
            inUsage = line.startsWith(usage) || line == usage.chopped(1);
        else if (!line.startsWith(QStringLiteral("    ")))
            inUsage = false;
        if (!line.isEmpty() && !line.front().isSpace())
            inSection = line == command || line.startsWith(command + u' ');
        if (inUsage)
            usageLines.append(line);
        else if (inSection)
            sections.append(line);
    }
    return (usageLines.join(u'\n') + QStringLiteral("\n\n") + sections.join(u'\n')).trimmed() + u'\n';
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
        static const QStringList commands{QStringLiteral("methods"), QStringLiteral("apply"),
                                          QStringLiteral("project"), QStringLiteral("chart"),
                                          QStringLiteral("somatotypes"), QStringLiteral("stats"),
                                          QStringLiteral("error")};
        if (commands.contains(command)
            && (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h")))) {
            print(out, commandHelp(command));
            return Done;
        }
        if (command == QStringLiteral("methods") && arguments.size() == 1) {
            print(out, methodListing());
            return Done;
        }
        if (command == QStringLiteral("apply"))
            return runApplyCommand(arguments.mid(1), out, err);
        if (command == QStringLiteral("project"))
            return runProjectCommand(arguments.mid(1), out, err);
        if (command == QStringLiteral("chart"))
            return runChartCommand(arguments.mid(1), out, err);
        if (command == QStringLiteral("somatotypes"))
            return runSomatotypesCommand(arguments.mid(1), out, err);
        if (command == QStringLiteral("stats"))
            return runStatsCommand(arguments.mid(1), out, err);
        if (command == QStringLiteral("error"))
            return runErrorCommand(arguments.mid(1), out, err);
        if (command.isEmpty())
            throw UsageError{QStringLiteral("Chybí příkaz.")};
        throw UsageError{QStringLiteral("Neznámý příkaz „%1“.").arg(arguments.join(u' '))};
    } catch (const UsageError &e) {
        print(err, QStringLiteral("kostimer-cli: %1 Nápovědu vypíše kostimer-cli --help.\n").arg(e.message));
        return UsageFault;
    }
}

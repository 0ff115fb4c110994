#include "MethodCatalog.h"

#include "BodyBuildIndices.h"
#include "BodyComposition.h"
#include "DeterminationMethods.h"
#include "SkullIndices.h"
#include "Somatotype.h"

// Texts, column names and routines of the formula methods, ids 0 to 52.
// Every text is shown to the user exactly as it stands here.
void registerFormulaMethods()
{
    registerFormula("Quetelet-Bouchardův index",
                    "Hmotnost na 1cm",
                    0, 2, queteletBouchardIndex);
    appendNames(MethodCatalog[0].columns, {"Hmotnost (kg)", "Tělesná výška (cm)", "Quetelet-Bouchardův index"});
    registerFormula("Rohrerův index",
                    "Index tělesné plnosti",
                    1, 2, rohrerIndex);
    appendNames(MethodCatalog[1].columns, {"Hmotnost (kg)", "Tělesná výška (cm)", "Rohrerův index"});
    registerFormula("Body mass index",
                    "BMI",
                    2, 2, bodyMassIndex);
    appendNames(MethodCatalog[2].columns, {"Hmotnost (kg)", "Výška (m)", "BMI"});
    registerFormula("Index rizikovosti",
                    "Index WHR",
                    3, 2, waistHipRatio);
    appendNames(MethodCatalog[3].columns, {"Obvod pasu", "Obvod boků", "Index rizikovosti", "Vyhodnocení pro muže", "Vyhodnocení pro ženy"});
    registerFormula("Chlapci (KEI)",
                    "KEI index (Körperbauentwicklungsindex – index vývoje stavby těla) umožňuje odhad biologického (proporcionálního) věku",
                    4, 5, keiBoys);
    appendNames(MethodCatalog[4].columns, {"Rohrerův index", "Biakromiální šířka", "Bispinální šířka", "Obvod předloktí", "Tělesná výška", "Index proporcionality"});
    registerFormula("Dívky (KEI)",
                    "KEI index (Körperbauentwicklungsindex – index vývoje stavby těla) umožňuje odhad biologického (proporcionálního) věku",
                    5, 5, keiGirls);
    appendNames(MethodCatalog[5].columns, {"Rohrerův index", "Biakromiální šířka", "Bispinální šířka", "Střední obvod stehna", "Tělesná výška", "Index proporcionality"});
    registerFormula("Povrch lidského těla",
                    "Povrch lidského těla",
                    6, 2, bodySurface);
    appendNames(MethodCatalog[6].columns, {"Hmotnost (kg)", "Výška (cm)", "Povrch lid. těla (cm^2)"});
    registerFormula("Hmotnost kostry",
                    "Metoda podle Matiegky",
                    7, 5, matiegkaSkeleton);
    appendNames(MethodCatalog[7].columns, {"Šířka epikondylů humeru", "Šířka zápěstí", "Šířka distálního konce femuru (distální epifýzy femuru)", "Šířka kotníku", "Výška těla", "Hmotnost kostry"});
    registerFormula("Hmotnost kůže a podkožní tkáně – tukového vaziva ",
                    "Kožní řasy měřeny kaliperem typu Best, metoda podle Matiegky",
                    8, 7, matiegkaSkin);
    appendNames(MethodCatalog[8].columns, {"Kožní řasa nad m. biceps brachii", "Kožní řasa na volární straně předloktí (v místě největšího obvodu)", "Kožní řasa na stehně", "Kožní řasa na lýtku", "Kožní řasa na hrudníku II (ve výši 10. žebra)", "Kožní řasa na břiše", "Povrch těla", "Hmotnost kůže a podkožní tkáně"});
    registerFormula("Hmotnost svalstva",
                    "metoda podle Matiegky",
                    9, 10, matiegkaMuscle);
    appendNames(MethodCatalog[9].columns, {"Obvod paže", "Řasa triceps", "Řasa biceps", "Obvod předloktí", "Řasa předloktí", "Střední obvod stehna", "Řasa na stehně", "Maximální obvod lýtka", "Maximální řasa lýtka", "Tělesná výška", "Hmotnost svalstva"});
    registerFormula("Množství podkožního tuku podle Jackson-Pollocka (Ženy)",
                    "Množství podkožního tuku podle Jackson-Pollocka (Ženy)",
                    10, 3, jacksonPollockWomen);
    appendNames(MethodCatalog[10].columns, {"Kožní řasa subskapulární", "Kožní řasa na tricepsu", "Kožní řasa na stehně", "Množství podkožního tuku [%]"});
    registerFormula("Množství podkožního tuku podle Jackson-Pollocka (Muži)",
                    "Množství podkožního tuku podle Jackson-Pollocka (Muži)",
                    11, 3, jacksonPollockMen);
    appendNames(MethodCatalog[11].columns, {"Kožní řasa na hrudníku", "Kožní řasa na břiše", "Kožní řasa na stehně", "Množství podkožního tuku [%]"});
    registerFormula("Množství podkožního tuku podle Jackson-Pollocka (dívky, 1. varianta)",
                    "Množství podkožního tuku podle Jackson-Pollocka (dívky, 1. varianta)",
                    12, 2, jacksonPollockGirls1);
    appendNames(MethodCatalog[12].columns, {"Kožní řasa na tricepsu", "Kožní řasa na lýtku", "Množství podkožního tuku [%]"});
    registerFormula("Množství podkožního tuku podle Jackson-Pollocka (dívky, 2. varianta)",
                    "Množství podkožního tuku podle Jackson-Pollocka (dívky, 2. varianta)",
                    13, 2, jacksonPollockGirls2);
    appendNames(MethodCatalog[13].columns, {"Kožní řasa na tricepsu", "Kožní řasa subskapulární", "Množství podkožního tuku [%]"});
    registerFormula("Množství podkožního tuku podle Jackson-Pollocka (chlapci, 1. varianta)",
                    "Množství podkožního tuku podle Jackson-Pollocka (chlapci, 1. varianta)",
                    14, 2, jacksonPollockBoys1);
    appendNames(MethodCatalog[14].columns, {"Kožní řasa na tricepsu", "Kožní řasa na lýtku", "Množství podkožního tuku [%]"});
    registerFormula("Množství podkožního tuku podle Jackson-Pollocka (chlapci, 2. varianta)",
                    "Množství podkožního tuku podle Jackson-Pollocka (chlapci, 2. varianta)",
                    15, 3, jacksonPollockBoys2);
    appendNames(MethodCatalog[15].columns, {"Kožní řasa na tricepsu", "Kožní řasa subskapulární", "Konstata odvozená podle zralosti", "Množství podkožního tuku [%]"});
    registerFormula("Množství podkožního tuku podle Pařízkové pro chlapce 9 - 12 let",
                    "Množství podkožního tuku podle Pařízkové pro chlapce 9 - 12 let",
                    16, 10, parizkovaDensity<16>);
    appendNames(MethodCatalog[16].columns, {"Kožní řasa na tváři", "Kožní řasa na podbradku", "Kožní řasa na hrudníku I", "Kožní řasa na hrudníku II", "Kožní řasa kožní řasa na paži (na tricepsu)", "Kožní řasa subskapulární", "Kožní řasa na břiše", "Kožní řasa suprailiakální", "Kožní řasa nad patellou", "Kožní řasa na lýtku", "Procento tělesného tuku"});
    registerFormula("Množství podkožního tuku podle Pařízkové pro chlapce 13 - 16 let",
                    "Množství podkožního tuku podle Pařízkové pro chlapce 13 - 16 let",
                    17, 10, parizkovaDensity<17>);
    appendNames(MethodCatalog[17].columns, {"Kožní řasa na tváři", "Kožní řasa na podbradku", "Kožní řasa na hrudníku I", "Kožní řasa na hrudníku II", "Kožní řasa kožní řasa na paži (na tricepsu)", "Kožní řasa subskapulární", "Kožní řasa na břiše", "Kožní řasa suprailiakální", "Kožní řasa nad patellou", "Kožní řasa na lýtku", "Procento tělesného tuku"});
    registerFormula("Množství podkožního tuku podle Pařízkové pro chlapce 17 - 45 let",
                    "Množství podkožního tuku podle Pařízkové pro chlapce 17 - 45 let",
                    18, 10, parizkovaAdult<18>);
    appendNames(MethodCatalog[18].columns, {"Kožní řasa na tváři", "Kožní řasa na podbradku", "Kožní řasa na hrudníku I", "Kožní řasa na hrudníku II", "Kožní řasa kožní řasa na paži (na tricepsu)", "Kožní řasa subskapulární", "Kožní řasa na břiše", "Kožní řasa suprailiakální", "Kožní řasa nad patellou", "Kožní řasa na lýtku", "Procento tělesného tuku"});
    registerFormula("Množství podkožního tuku podle Pařízkové pro dívky 9 - 12 let",
                    "Množství podkožního tuku podle Pařízkové pro dívky 9 - 12 let",
                    19, 10, parizkovaDensity<19>);
    appendNames(MethodCatalog[19].columns, {"Kožní řasa na tváři", "Kožní řasa na podbradku", "Kožní řasa na hrudníku I", "Kožní řasa na hrudníku II", "Kožní řasa kožní řasa na paži (na tricepsu)", "Kožní řasa subskapulární", "Kožní řasa na břiše", "Kožní řasa suprailiakální", "Kožní řasa nad patellou", "Kožní řasa na lýtku", "Procento tělesného tuku"});
    registerFormula("Množství podkožního tuku podle Pařízkové pro dívky 13 - 16 let",
                    "Množství podkožního tuku podle Pařízkové pro dívky 13 - 16 let",
                    20, 10, parizkovaDensity<20>);
    appendNames(MethodCatalog[20].columns, {"Kožní řasa na tváři", "Kožní řasa na podbradku", "Kožní řasa na hrudníku I", "Kožní řasa na hrudníku II", "Kožní řasa kožní řasa na paži (na tricepsu)", "Kožní řasa subskapulární", "Kožní řasa na břiše", "Kožní řasa suprailiakální", "Kožní řasa nad patellou", "Kožní řasa na lýtku", "Procento tělesného tuku"});
    registerFormula("Množství podkožního tuku podle Pařízkové pro dívky 17 - 45 let",
                    "Množství podkožního tuku podle Pařízkové pro dívky 17 - 45 let",
                    21, 10, parizkovaAdult<21>);
    appendNames(MethodCatalog[21].columns, {"Kožní řasa na tváři", "Kožní řasa na podbradku", "Kožní řasa na hrudníku I", "Kožní řasa na hrudníku II", "Kožní řasa kožní řasa na paži (na tricepsu)", "Kožní řasa subskapulární", "Kožní řasa na břiše", "Kožní řasa suprailiakální", "Kožní řasa nad patellou", "Kožní řasa na lýtku", "Procento tělesného tuku"});
    registerFormula("Množství podkožního tuku podle Durnin-Womersley",
                    "Množství podkožního tuku podle Durnin-Womersley",
                    22, 5, durninWomersley);
    appendNames(MethodCatalog[22].columns, {"Kožní řasa subskapulární", "Kožní řasa nad tricepsem", "Kožní řasa nad bicepsem", "Kožní řasa suprailiakální", "Věk jedince", "Množství podkožního tuku"});
    registerFormula("Index cranialis (délkošířkový index lebky)",
                    "Index cranialis (délkošířkový index lebky)",
                    23, 2, ratioIndex);
    appendNames(MethodCatalog[23].columns, {"Největší šířka lebky", "Největší délka lebky", "Index cranialis", "Vyhodnocení"});
    registerFormula("Délko-výškový index lebky",
                    "Délko-výškový index lebky",
                    24, 2, ratioIndex);
    appendNames(MethodCatalog[24].columns, {"Basiobregmatická výška lebka (basion-bregma, M17)", "Největší délka lebky (glabella-opisthocranion, M1)", "Délko výškový index lebky", "Vyhodnocení"});
    registerFormula("Šířko-výškový index lebky",
                    "Šířko-výškový index lebky",
                    25, 2, ratioIndex);
    appendNames(MethodCatalog[25].columns, {"Basiobregmatická výška lebka (basion-bregma, M17)", "Největší šířka lebky (euryon-euryon, M8)", "Šířko výškový index lebky", "Vyhodnocení"});
    registerFormula("Obličejový index",
                    "Obličejový index",
                    26, 2, ratioIndex);
    appendNames(MethodCatalog[26].columns, {"Morfologická výška obličeje (nasion-gnathion, M47)", "Bizygomatická šířka obličeje (zygion-zygion, M45)", "Obličejový index", "Vyhodnocení"});
    registerFormula("Index horního obličeje",
                    "Index horního obličeje",
                    27, 2, ratioIndex);
    appendNames(MethodCatalog[27].columns, {"Výška horního obličeje (prosthion-nasion, M48)", "Bizygomatická šířka obličeje (zygion-zygion, M45)", "Index horního obličeje", "Vyhodnocení"});
    registerFormula("Nosní index",
                    "Nosní index",
                    28, 2, ratioIndex);
    appendNames(MethodCatalog[28].columns, {"Šířka nosu (aperthion-aperthion, M54)", "Výška nosu (nasion-nasospinale, M55)", "Nosní index", "Vyhodnocení"});
    registerFormula("Čelistní index",
                    "Čelistní index",
                    29, 2, ratioIndex);
    appendNames(MethodCatalog[29].columns, {"Délka obličeje (basion-prosthion. M40)", "Délka báze lebky (basion-nasion, M5)", "Čelistní index", "Vyhodnocení"});
    registerFormula("Modul lebky",
                    "Modul lebky",
                    30, 3, meanModule);
    appendNames(MethodCatalog[30].columns, {"Největší délka lebky (glabella-opisthocranion, M1)", "Největší šířka lebky (euryon-euryon, M8)", "Basiobregmatická výška lebka (basion-bregma, M17)", "Modul lebky"});
    registerFormula("Modul obličeje",
                    "Modul obličeje",
                    31, 3, meanModule);
    appendNames(MethodCatalog[31].columns, {"Délka obličeje (basion-prosthion. M40)", "Bizygomatická šířka obličeje (zygion-zygion, M45)", "Morfologická výška obličeje (nasion-gnathion, M47)", "Modul obličeje"});
    registerFormula("Objem lebky podle Manouvriera pro muže",
                    "Objem lebky podle Manouvriera pro muže",
                    32, 3, manouvrierMen);
    appendNames(MethodCatalog[32].columns, {"Největší délka lebky (glabella-opisthocranion, M1)", "Největší šířka lebky (euryon-euryon, M8)", "Basiobregmatická výška lebka (basion-bregma, M17)", "Objem lebky"});
    registerFormula("Objem lebky podle Manouvriera pro ženy",
                    "Objem lebky podle Manouvriera pro ženy",
                    33, 3, manouvrierWomen);
    appendNames(MethodCatalog[33].columns, {"Největší délka lebky (glabella-opisthocranion, M1)", "Největší šířka lebky (euryon-euryon, M8)", "Basiobregmatická výška lebka (basion-bregma, M17)", "Objem lebky"});
    registerFormula("Objem lebky podle Lee a Pearsona pro muže",
                    "Objem lebky podle Lee a Pearsona pro muže",
                    34, 3, leePearsonMen);
    appendNames(MethodCatalog[34].columns, {"Největší délka lebky (glabella-opisthocranion, M1)", "Největší šířka lebky (euryon-euryon, M8)", "Basiobregmatická výška lebka (basion-bregma, M17)", "Objem lebky"});
    registerFormula("Objem lebky podle Lee a Pearsona pro ženy",
                    "Objem lebky podle Lee a Pearsona pro ženy",
                    35, 3, leePearsonWomen);
    appendNames(MethodCatalog[35].columns, {"Největší délka lebky (glabella-opisthocranion, M1)", "Největší šířka lebky (euryon-euryon, M8)", "Basiobregmatická výška lebka (basion-bregma, M17)", "Objem lebky"});
    registerFormula("Index robusticity",
                    "Index robusticity",
                    36, 3, robusticityIndex);
    appendNames(MethodCatalog[36].columns, {"Sagitální průměr středu diafýzy stehenní kosti (M6)", "Transverzální průměr středu diafýzy stehenní kosti (M7)", "Délka diafýzy stehenní kosti (M2)", "Index robusticity"});
    registerFormula("Index robusticity hlavice",
                    "Index robusticity hlavice",
                    37, 3, robusticityIndex);
    appendNames(MethodCatalog[37].columns, {"Transverzální průměr hlavice stehenní kosti (M19)", "Sagitální průměr hlavice stehenní kosti (M18)", "Délka diafýzy stehenní kosti (M2)", "Index robusticity hlavice"});
    registerFormula("Humeroradiální index",
                    "Humeroradiální index",
                    38, 2, ratioIndex);
    appendNames(MethodCatalog[38].columns, {"Délka kosti vřetenní (M1)", "Celková délka kosti pažní (M2)", "Humeroradiální index"});
    registerFormula("Tibiofemorální index",
                    "Tibiofemorální index",
                    39, 2, ratioIndex);
    appendNames(MethodCatalog[39].columns, {"Délka tibie (M1d)", "Délka diafýzy stehenní kosti (M2)", "Tibiofemorální index"});
    registerFormula("Intermembrální index",
                    "Intermembrální index",
                    40, 4, intermembralIndex);
    appendNames(MethodCatalog[40].columns, {"Délka pažní kosti", "Délka loketní kosti", "Délka stehenní kosti", "Délka holenní kosti", "Intermembrální index"});
    registerFormula("Femorohumerální index",
                    "Femorohumerální index",
                    41, 2, ratioIndex);
    appendNames(MethodCatalog[41].columns, {"Celková délka kosti pažní (M2)", "Délka diafýzy stehenní kosti (M2)", "Femorohumerální index"});
    registerFormula("Index robusticity zánártních kostí",
                    "Index robusticity zánártních kostí",
                    42, 2, ratioIndex);
    appendNames(MethodCatalog[42].columns, {"Průměrná hodnota průměru kosti", "Délka kosti", "Index robusticity zánártních kostí"});
    registerFormula("Stanovení somatotypu dle Heath-Carter",
                    "Stanovení somatotypu dle Heath-Carter",
                    43, 10, heathCarterSomatotype);
    appendNames(MethodCatalog[43].columns, {"kožní řasa nad tricepsem", "kožní řasa subskapulární", "kožní řasa suprailiakální", "obvod paže kontrahované", "maximální obvod lýtka", "šířka distální epifýzy femuru", "šířka epikondylů humeru", "tělesná výška (cm)", "hmotnost (kg)", "kožní řasa na lýtku", "endomorfní komponenta", "mezomorfní komponenta", "ektomorfní komponenta"});
    registerFormula("Histometrická metoda podle Urbanová, Novotný, varianta A",
                    "Histometrická metoda podle Urbanová, Novotný",
                    44, 7, histometricVariantA);
    appendNames(MethodCatalog[44].columns, {"Minimální průměr Haversova kanálku", "Minimální průměr osteonu", "Obsah osteonu", "Obsah Haversova kanálku", "Maximální průměr Haversova kanálku", "Maximální průměr osteonu", "Obvod Haversova kanálku", "S1", "S2", "S3", "S4", "Druh", "Původ"});
    registerFormula("Histometrická metoda podle Urbanová, Novotný, varianta B",
                    "Histometrická metoda podle Urbanová, Novotný",
                    45, 3, histometricVariantB);
    appendNames(MethodCatalog[45].columns, {"Počet osteonů v 1 mm^2", "Maximální průměr Haversova kanálku", "Obsah Haversova kanálku ", "S1", "S2", "S3", "S4", "Druh", "Původ"});
    registerFormula("Histometrická metoda podle Urbanová, Novotný, varianta C",
                    "Histometrická metoda podle Urbanová, Novotný",
                    46, 5, histometricVariantC);
    appendNames(MethodCatalog[46].columns, {"Minimální průměr Haversova kanálku", "Obsah Haversova kanálku", "Maximální průměr Haversova kanálku", "Minimální průměr osteonu", "Obsah osteonu", "D", "Původ"});
    registerFormula("Určení na lebce podle Giles, Elliot",
                    "Určení na lebce podle Giles, Elliot",
                    47, 8, gilesElliotSkull);
    appendNames(MethodCatalog[47].columns, {"Délka obličeje (basion-prosthion. M40)", "Největší délka lebky (glabella-opisthocranion, M1)", "Největší šířka lebky (euryon-euryon, M8)", "Basiobregmatická výška lebka (basion-bregma, M17)", "Délka báze lebky (basion-nasion, M5)", "Bizygomatická šířka obličeje (zygion-zygion, M45)", "Výška horního obličeje (prosthion-nasion, M48)", "Šířka nosu (aperthion-aperthion, M54)", "D", "Pohlaví", "W-N", "W-In", "Vyhodnocení"});
    registerFormula("Kraniometrická metoda podle Kajanoja (1966) - varianta A",
                    "Kraniometrická metoda podle Kajanoja (1966) - varianta A",
                    48, 8, kajanojaVariantA);
    appendNames(MethodCatalog[48].columns, {"M8 – největší šířka mozkovny (euryon-euryon, eu-eu)", "M45 – šířka obličeje (zygion-zygion, zy-zy)", "M1 – největší délka mozkovny (glabella-opisthocranion, g-op)", "M17 - výška basion-bregma (ba-b)", "M40 – délka obličeje (basion-prosthion, ba-pr)", "M5 – délka báze lebky (nasion-basion, n-ba)", "M48 – výška horního obličeje (nasion-prosthion, n-pr)", "M54 – šířka nosu (aperthion-aperthion)", "Výsledná hodnota", "Pohlaví"});
    registerFormula("Kraniometrická metoda podle Kajanoja (1966) - varianta B",
                    "Kraniometrická metoda podle Kajanoja (1966) - varianta B",
                    49, 5, kajanojaVariantB);
    appendNames(MethodCatalog[49].columns, {"M45 – šířka obličeje (zygion-zygion, zy-zy)", "M1 – největší délka mozkovny (glabella-opisthocranion, g-op)", "M40 – délka obličeje (basion-prosthion, ba-pr)", "M5 – délka báze lebky (nasion-basion, n-ba)", "M48 – výška horního obličeje (nasion-prosthion, n-pr)", "Výsledná hodnota", "Pohlaví"});
    registerFormula("Morfoskopická metoda na lebce podle Novotný et al. (1990)",
                    "Morfoskopická metoda na lebce podle Novotný et al. (1990)",
                    50, 9, morphoscopicSkull);
    appendNames(MethodCatalog[50].columns, {"Glabella", "Arcus supercilliaris", "Crista supramastoidea", "Squama occipitalis", "Pons zygomaticus", "Os zygomaticum", "Inclinatio frontale", "Mandibula", "Angulus mandibulae", "Muži", "Ženy", "Pohlaví"});
    registerFormula("Odhad dožitého věku podle Kilián (1975) - S transparencí",
                    "Odhad dožitého věku podle Kilián (1975) - S transparencí",
                    51, 5, kilianAgeWithTransparency);
    appendNames(MethodCatalog[51].columns, {"Abraze skloviny (A)", "Sekundární dentin (D)", "Sekundární cement (C)", "Transparence kořene (T)", "Resorpce kořene (R)", "Věk"});
    registerFormula("Odhad dožitého věku podle Kilián (1975) - Bez transparance",
                    "Odhad dožitého věku podle Kilián (1975) - Bez transparance",
                    52, 4, kilianAgeWithoutTransparency);
    appendNames(MethodCatalog[52].columns, {"Abraze skloviny (A)", "Sekundární dentin (D)", "Sekundární cement (C)", "Resorpce kořene (R)", "Věk"});
}

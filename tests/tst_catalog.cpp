#include "CustomFunctions.h"
#include "MethodCatalog.h"
#include "MethodRows.h"

#include <QtTest>

#include <set>

class TestCatalog : public QObject {
    Q_OBJECT

    static QString utf8(const char *s) { return QString::fromUtf8(s); }

private slots:
    void initTestCase() { buildMethodCatalog(); }

    // A row copied with its id left as it was would take another method's slot.
    void everySlotHoldsItsOwnId()
    {
        std::set<qint32> ids;
        for (const MethodRow *row : methodRows())
            QVERIFY2(ids.insert(row->id).second, QByteArray::number(row->id));
        QCOMPARE(int(ids.size()), 109);
        QCOMPARE(int(MethodCatalog.size()), MethodCatalogSize);
        QCOMPARE(MethodCatalogSize, 113);
        for (int id = 0; id < MethodCatalogSize; ++id) {
            const MethodRecord &r = MethodCatalog[id];
            // The source type keeps its slot empty: project files store 109 for their source tables.
            if (id == 100 || id == 103 || id == 104 || id == SourceDataType) {
                QVERIFY(!isRegisteredMethod(id) && r.title.isEmpty() && !r.compute);
                continue;
            }
            QVERIFY2(isRegisteredMethod(id) && !r.title.isEmpty() && r.compute, QByteArray::number(id));
            QVERIFY2(r.inputCount >= 1 && r.inputCount <= r.columns.size(), QByteArray::number(id));
        }
    }

    void kindsByIdRange()
    {
        for (int id = 0; id < FirstUnitConversionId; ++id)
            QCOMPARE(kindOf(id), Formula);
        for (int id = FirstUnitConversionId; id <= 96; ++id)
            QCOMPARE(kindOf(id), UnitConversion);
        for (int id : {106, 107})
            QCOMPARE(kindOf(id), UnitConversion);
        for (int id : {97, 98, 99, 101, 102, 105, 108})
            QCOMPARE(kindOf(id), Spatial);
        for (int id : {DurninWomersleyMenId, DurninWomersleyWomenId, HeathCarter2002Id})
            QCOMPARE(kindOf(id), Formula);
        // An empty slot's default kind must not make the source type a formula.
        for (int id : {-1, int(SourceDataType), int(MethodCatalogSize), int(FirstCustomFunctionId), 100000})
            QCOMPARE(kindOf(id), Custom);
    }

    // User functions took 110 and up while the catalog ended at 109; the
    // methods added since take those ids, so no user function may.
    void userFunctionsLieAboveTheCatalog()
    {
        QVERIFY(FirstCustomFunctionId >= MethodCatalogSize);
        for (int id = FirstAddedMethodId; id < MethodCatalogSize; ++id)
            QVERIFY2(isRegisteredMethod(id), QByteArray::number(id));
        QVERIFY(!isRegisteredMethod(SourceDataType) && !isRegisteredMethod(MethodCatalogSize));
    }

    // The somatochart and the somatotype analysis take both Heath-Carter tables.
    void heathCarterTables_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("somatotype");
        QTest::newRow("plain sum") << int(HeathCarterId) << true;
        QTest::newRow("height-corrected sum") << int(HeathCarter2002Id) << true;
        QTest::newRow("a neighbour") << 44 << false;
        QTest::newRow("Durnin and Womersley") << int(DurninWomersleyMenId) << false;
        QTest::newRow("source") << int(SourceDataType) << false;
    }

    void heathCarterTables()
    {
        QFETCH(int, id);
        QFETCH(bool, somatotype);
        QCOMPARE(isHeathCarter(id), somatotype);
        // The analysis reads the last three columns: both give the same three components.
        if (somatotype)
            QCOMPARE(MethodCatalog[id].columns.mid(MethodCatalog[id].inputCount),
                     MethodCatalog[HeathCarterId].columns.mid(MethodCatalog[HeathCarterId].inputCount));
    }

    // A verdict shows over one of its method's outputs and reads columns the
    // table has, never itself.
    void verdictColumnsLieInTheirTables()
    {
        for (const MethodRow *row : methodRows()) {
            const int inputs = int(row->inputs.size());
            const int width = inputs + int(row->outputs.size());
            for (const VerdictColumn &v : row->verdicts) {
                QVERIFY2(v.column >= inputs && v.column < width, QByteArray::number(row->id));
                for (int c : v.reads)
                    QVERIFY2(c >= 0 && c < width && c != v.column, QByteArray::number(row->id));
            }
        }
    }

    // Texts as projects and scripts know them, odd characters included.
    void texts_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("column"); // -1: title, -2: description
        QTest::addColumn<QString>("text");
        QTest::newRow("trailing blank of id 8") << 8 << -1
            << utf8("Hmotnost kůže a podkožní tkáně \u2013 tukového vaziva ");
        QTest::newRow("trailing blank of id 45") << 45 << 2 << utf8("Obsah Haversova kanálku ");
        QTest::newRow("two blanks of id 67") << 67 << 1 << utf8("Čtvereční  milimetry [mm^2]");
        QTest::newRow("en dash of id 5") << 5 << -2
            << utf8("KEI index (Körperbauentwicklungsindex \u2013 index vývoje stavby těla) umožňuje "
                    "odhad biologického (proporcionálního) věku");
        QTest::newRow("hyphen of M17 in id 48") << 48 << 3 << utf8("M17 - výška basion-bregma (ba-b)");
        QTest::newRow("Parizkova skinfold") << 20 << 4 << utf8("Kožní řasa kožní řasa na paži (na tricepsu)");
        QTest::newRow("skull measurement") << 47 << 0 << utf8("Délka obličeje (basion-prosthion. M40)");
        QTest::newRow("robusticity of the head") << 37 << 3 << utf8("Index robusticity hlavice");
        QTest::newRow("Kilian typo") << 52 << -1 << utf8("Odhad dožitého věku podle Kilián (1975) - Bez transparance");
        QTest::newRow("conversion description") << 88 << -2 << utf8("Kelviny na stupně Farnheita");
        QTest::newRow("placeholder without description") << 106 << -2 << QString();
        QTest::newRow("placeholder column") << 107 << 1 << utf8("Zdroj2");
        QTest::newRow("Durnin and Womersley, men") << 110 << -1 << utf8("Durnin a Womersley (1974), muži");
        QTest::newRow("Durnin and Womersley, women") << 111 << -1 << utf8("Durnin a Womersley (1974), ženy");
        QTest::newRow("their age input") << 111 << 4 << utf8("Věk jedince (roky)");
        QTest::newRow("their density output") << 110 << 5 << utf8("Hustota těla (g/cm³)");
        QTest::newRow("Heath-Carter after Carter 2002") << 112 << -1
            << utf8("Stanovení somatotypu dle Heath-Carter (Carter 2002)");
    }

    void texts()
    {
        QFETCH(int, id);
        QFETCH(int, column);
        QFETCH(QString, text);
        const MethodRecord &r = MethodCatalog[id];
        const QString actual = column == -1 ? r.title : column == -2 ? r.description : r.columns.value(column);
        QCOMPARE(actual, text);
    }
};

QTEST_APPLESS_MAIN(TestCatalog)
#include "tst_catalog.moc"

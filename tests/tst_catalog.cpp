#include "MethodCatalog.h"
#include "MethodListing.h"

#include <QtTest>

#include <set>

class TestCatalog : public QObject {
    Q_OBJECT

    static QString utf8(const char *s) { return QString::fromUtf8(s); }

private slots:
    void initTestCase() { buildMethodCatalog(); }

    void everySlotHoldsItsOwnId()
    {
        QCOMPARE(int(MethodCatalog.size()), 109);
        const std::set<int> empty = {100, 103, 104};
        for (int id = 0; id < 109; ++id) {
            const MethodRecord &r = MethodCatalog[id];
            if (empty.count(id)) {
                QVERIFY(!isRegisteredMethod(id));
                QVERIFY(r.title.isEmpty());
                QVERIFY(r.columns.isEmpty());
                QVERIFY(r.compute == nullptr);
                continue;
            }
            QVERIFY2(isRegisteredMethod(id), QByteArray::number(id));
            QCOMPARE(r.id, id);
            QVERIFY(!r.title.isEmpty());
            QVERIFY2(r.compute != nullptr, QByteArray::number(id));
            QVERIFY2(r.inputCount >= 1 && r.inputCount <= r.columns.size(), QByteArray::number(id));
        }
    }

    void kindsByIdRange()
    {
        for (int id = 0; id <= 52; ++id)
            QCOMPARE(kindOf(id), Formula);
        for (int id = 53; id <= 96; ++id)
            QCOMPARE(kindOf(id), UnitConversion);
        for (int id : {97, 98, 99, 101, 102, 105, 108})
            QCOMPARE(kindOf(id), Spatial);
        QCOMPARE(kindOf(106), UnitConversion);
        QCOMPARE(kindOf(107), UnitConversion);
        QCOMPARE(kindOf(109), Custom);
        QCOMPARE(kindOf(110), Custom);
        QCOMPARE(kindOf(100000), Custom);
    }

    void inputCounts_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("inputs");
        QTest::addColumn<int>("names");
        QTest::newRow("QB index") << 0 << 2 << 3;
        QTest::newRow("WHR with two verdicts") << 3 << 2 << 5;
        QTest::newRow("KEI boys") << 4 << 5 << 6;
        QTest::newRow("Matiegka muscle") << 9 << 10 << 11;
        QTest::newRow("Parizkova as id 16") << 21 << 10 << 11;
        QTest::newRow("cranial index") << 23 << 2 << 4;
        QTest::newRow("somatotype") << 43 << 10 << 13;
        QTest::newRow("histometry A") << 44 << 7 << 13;
        QTest::newRow("Giles-Elliot") << 47 << 8 << 13;
        QTest::newRow("morphoscopy") << 50 << 9 << 12;
        QTest::newRow("Kilian without T") << 52 << 4 << 5;
        QTest::newRow("conversion") << 75 << 1 << 2;
        QTest::newRow("point-plane") << 105 << 12 << 13;
        QTest::newRow("placeholder") << 107 << 2 << 2;
    }

    void inputCounts()
    {
        QFETCH(int, id);
        QFETCH(int, inputs);
        QFETCH(int, names);
        QCOMPARE(MethodCatalog[id].inputCount, inputs);
        QCOMPARE(MethodCatalog[id].columns.size(), names);
    }

    void sharedRoutines_data()
    {
        QTest::addColumn<QList<int>>("ids");
        QTest::newRow("two-input index") << QList<int>{23, 24, 25, 26, 27, 28, 29, 38, 39, 41, 42};
        QTest::newRow("module") << QList<int>{30, 31};
        QTest::newRow("robusticity") << QList<int>{36, 37};
        QTest::newRow("x 0.001") << QList<int>{53, 84, 95};
        QTest::newRow("x 10") << QList<int>{54, 81};
        QTest::newRow("x 1000") << QList<int>{56, 75, 78, 82};
        QTest::newRow("x 1000000") << QList<int>{57, 67, 76, 80, 83};
        QTest::newRow("x 0.01") << QList<int>{68, 89};
        QTest::newRow("mm of mercury") << QList<int>{92, 93};
        QTest::newRow("placeholders") << QList<int>{106, 107, 108};
    }

    void sharedRoutines()
    {
        QFETCH(QList<int>, ids);
        for (int id : ids)
            QVERIFY2(MethodCatalog[id].compute == MethodCatalog[ids.first()].compute, QByteArray::number(id));
    }

    void thirtyTwoConversionRoutines()
    {
        std::set<ComputeFn> routines;
        for (int id = 53; id <= 96; ++id)
            routines.insert(MethodCatalog[id].compute);
        QCOMPARE(int(routines.size()), 32);
    }

    void placeholdersPassTheirInputThrough()
    {
        cv::Mat in = (cv::Mat_<double>(2, 2) << 1, 2, 3, 4);
        for (int id : {106, 107, 108}) {
            const MethodRecord &r = MethodCatalog[id];
            QVERIFY(r.description.isEmpty());
            QCOMPARE(r.columns, QStringList({"Zdroj", "Zdroj2"}));
            cv::Mat out = r.compute(in);
            QCOMPARE(out.data, in.data);
            QCOMPARE(out.cols, 2);
        }
    }

    void texts_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("column"); // -1: title, -2: description
        QTest::addColumn<QString>("text");
        QTest::newRow("trailing blank of id 8") << 8 << -1
            << utf8("Hmotnost kůže a podkožní tkáně \u2013 tukového vaziva ");
        QTest::newRow("trailing blank of id 45") << 45 << 2 << utf8("Obsah Haversova kanálku ");
        QTest::newRow("double quote of id 64") << 64 << 1 << utf8("Vteřiny [\"]");
        QTest::newRow("two blanks of id 67") << 67 << 1 << utf8("Čtvereční  milimetry [mm^2]");
        QTest::newRow("en dash of id 4") << 4 << -2
            << utf8("KEI index (Körperbauentwicklungsindex \u2013 index vývoje stavby těla) umožňuje "
                    "odhad biologického (proporcionálního) věku");
        QTest::newRow("id 5 shares it") << 5 << -2 << MethodCatalog[4].description;
        QTest::newRow("en dash of id 48") << 48 << 0 << utf8("M8 \u2013 největší šířka mozkovny (euryon-euryon, eu-eu)");
        QTest::newRow("hyphen of M17") << 48 << 3 << utf8("M17 - výška basion-bregma (ba-b)");
        QTest::newRow("en dash of id 49") << 49 << 4 << utf8("M48 \u2013 výška horního obličeje (nasion-prosthion, n-pr)");
        QTest::newRow("description equals title") << 6 << -2 << utf8("Povrch lidského těla");
        QTest::newRow("Parizkova inputs as id 16") << 20 << 4 << utf8("Kožní řasa kožní řasa na paži (na tricepsu)");
        QTest::newRow("skull inputs as id 30") << 35 << 3 << utf8("Objem lebky");
        QTest::newRow("angle") << 99 << 6 << utf8("velikost úhlu");
        QTest::newRow("Kilian typo kept") << 52 << -1 << utf8("Odhad dožitého věku podle Kilián (1975) - Bez transparance");
        QTest::newRow("conversion description") << 88 << -2 << utf8("Kelviny na stupně Farnheita");
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

    void robusticityMethodsKeepTheirOwnNames()
    {
        QCOMPARE(MethodCatalog[36].columns.last(), utf8("Index robusticity"));
        QCOMPARE(MethodCatalog[37].columns.last(), utf8("Index robusticity hlavice"));
        QVERIFY(MethodCatalog[36].columns.first() != MethodCatalog[37].columns.first());
    }

    void listingHasOneLinePerRegisteredMethod()
    {
        const QStringList lines = methodListing().split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 106);
        QCOMPARE(lines.at(3), utf8("3\t1\tIndex rizikovosti\tObvod pasu | Obvod boků\t"
                                   "Index rizikovosti | Vyhodnocení pro muže | Vyhodnocení pro ženy"));
        QVERIFY(lines.at(100).startsWith(utf8("101\t2\tVelikost centroidu 2D\tx | y\t")));
        QCOMPARE(lines.last(), utf8("108\t2\tRotace v prostoru\tZdroj | Zdroj2\t"));
    }
};

QTEST_APPLESS_MAIN(TestCatalog)
#include "tst_catalog.moc"

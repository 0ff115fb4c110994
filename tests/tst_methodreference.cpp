#include "MainWindow.h"
#include "MethodCatalog.h"
#include "MethodReferenceDialog.h"
#include "MethodReferenceText.h"
#include "PopupMenu.h"
#include "TDataWizard.h"
#include "TTableModel.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QtTest>

// The method reference: every method of the catalog, found by the search, its
// entry and the entries of the sample statistics; and the methods' context menu.
class TestMethodReference : public QObject {
    Q_OBJECT

    static QString u(const char *text) { return QString::fromUtf8(text); }

    // The text of every entry under menu, a submenu's entries in its place.
    static void entryTexts(const QMenu &menu, QStringList *texts)
    {
        for (QAction *a : menu.actions()) {
            if (a->menu())
                entryTexts(*a->menu(), texts);
            else
                texts->append(a->isSeparator() ? u("---") : a->text());
        }
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        buildMethodCatalog();
        PopupMenu::requireQueuedChoices(true);
    }

    // Every method once, each with its formula and literature.
    void listsEveryRegisteredMethodOnce()
    {
        MethodReferenceDialog reference;
        QList<int> listed = reference.listedMethods();
        std::sort(listed.begin(), listed.end());
        QList<int> registered;
        for (int id = 0; id < MethodCatalogSize; ++id) {
            if (!isRegisteredMethod(id))
                continue;
            registered.append(id);
            QVERIFY2(!methodFormula(id).isEmpty() && !methodLiterature(id).isEmpty(), QByteArray::number(id));
        }
        QCOMPARE(listed, registered);
        // The placeholders, which no menu offers, last.
        QCOMPARE(methodReferenceGroups().last().path, QStringList{u("Mimo kontextovou nabídku")});
        QCOMPARE(methodReferenceGroups().last().ids, (QList<int>{106, 107, 108}));
    }

    // Every method but the placeholders 106 to 108 once, the added ones too;
    // the indices divided after the last skull index and after the
    // capacities; Durnin and Womersley by sex after their one equation for
    // all, Carter's somatotype after the plain one.
    void contextMenuOffersEveryMethodOnce()
    {
        MainWindow window;
        QStringList texts;
        PopupMenu::setNextChoice([&](QMenu &menu) {
            entryTexts(menu, &texts);
            return nullptr;
        });
        window.treeContextMenu(QPoint(5, window.tree()->viewport()->height() - 5));
        QCOMPARE(texts.takeFirst(), u("&Import ze souboru CSV"));
        QList<int> offered;
        QList<int> expected;
        for (int id = 0; id < MethodCatalogSize; ++id) {
            if (!isRegisteredMethod(id) || (id >= 106 && id <= 108))
                continue;
            expected.append(id);
            for (qsizetype k = texts.count(MethodCatalog[id].title); k > 0; --k)
                offered.append(id);
        }
        QCOMPARE(offered, expected);
        const qsizetype last = texts.indexOf(MethodCatalog[29].title);
        QCOMPARE(texts.mid(last, 3), (QStringList{MethodCatalog[29].title, u("---"), MethodCatalog[30].title}));
        QCOMPARE(texts.at(texts.indexOf(MethodCatalog[36].title) - 1), u("---"));
        QCOMPARE(texts.mid(texts.indexOf(MethodCatalog[22].title), 3),
                 (QStringList{MethodCatalog[22].title, MethodCatalog[110].title, MethodCatalog[111].title}));
        QCOMPARE(texts.mid(texts.indexOf(MethodCatalog[43].title), 2),
                 (QStringList{MethodCatalog[43].title, MethodCatalog[112].title}));
    }

    // The added methods' entries: formula, the population and sample the
    // equations were built on, and the literature with what was followed.
    void entriesOfAddedMethods_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QStringList>("pieces");
        QTest::newRow("Durnin and Womersley, men")
            << 110 << QStringList{u("log10(S)"), u("20 ≤ x4 < 30: c = 1,1631, m = 0,0632"), u("495 / D − 450"),
                                  u("209 mužů a 272 žen ve věku 16 až 72 let"), u("tab. 5"), u("Siri, W. E. (1961)"),
                                  u("Hustota těla (g/cm³)")};
        QTest::newRow("Durnin and Womersley, women")
            << 111 << QStringList{u("16 ≤ x4 < 20: c = 1,1549, m = 0,0678"), u("x4 ≥ 50: c = 1,1339, m = 0,0645"),
                                  u("50–68 let"), u("Věk pod 16 let")};
        QTest::newRow("Heath-Carter after Carter 2002")
            << 112 << QStringList{u("· 170,18 / x7"), u("Rozdíl proti metodě"), u("844 mužích a ženách"),
                                  u("Carter, J. E. L. (2002): The Heath-Carter Anthropometric Somatotype")};
    }

    void entriesOfAddedMethods()
    {
        QFETCH(int, id);
        QFETCH(QStringList, pieces);
        MethodReferenceDialog reference;
        reference.showMethod(id);
        QCOMPARE(reference.currentMethod(), id);
        const QString text = reference.findChild<QTextBrowser *>("entry")->toPlainText();
        for (const QString &piece : pieces)
            QVERIFY2(text.contains(piece), qPrintable(piece));
    }

    void searchNarrowsTheTree()
    {
        MethodReferenceDialog reference;
        const int all = reference.listedMethods().size();
        reference.setFilter(u("cranialis"));
        QCOMPARE(reference.shownMethods(), QList<int>{23});
        QCOMPARE(reference.currentMethod(), 23);
        // Without diacritics, in any case, every word must be there.
        reference.setFilter(u("SIRKA lebky manouvriera"));
        QCOMPARE(reference.shownMethods(), (QList<int>{32, 33}));
        // The class names and the literature are searched too.
        reference.setFilter(u("brachykranní"));
        QCOMPARE(reference.shownMethods(), QList<int>{23});
        reference.setFilter(u("Lee Pearson 1901"));
        QCOMPARE(reference.shownMethods(), (QList<int>{34, 35}));
        reference.setFilter(u("žádná taková metoda"));
        QVERIFY(reference.shownMethods().isEmpty());
        QCOMPARE(reference.findChild<QTextBrowser *>("entry")->toPlainText(), QString());
        // Asking for a method the search hides clears the search.
        reference.showMethod(3);
        QCOMPARE(reference.currentMethod(), 3);
        QCOMPARE(reference.shownMethods().size(), all);
    }

    void entryOfAMethodWithVerdicts()
    {
        MethodReferenceDialog reference;
        reference.showMethod(3);
        const QString text = reference.findChild<QTextBrowser *>("entry")->toPlainText();
        for (const QString &piece : {u("Index rizikovosti"), u("Obvod pasu"), u("Obvod boků"),
                                     u("Vyhodnocení pro ženy (slovní hodnocení)"), u("x0 / x1"), u("0,85")})
            QVERIFY2(text.contains(piece), qPrintable(piece));
    }

    // 1 m = 100 cm; 0 K = −273,15 °C = −459,67 °F, a kelvin 1,8 °F.
    void conversionsReadTheirOwnRoutine()
    {
        QCOMPARE(methodFormula(55), u("x0 · 100"));
        QCOMPARE(methodFormula(87), u("x0 · 1 − 273,15"));
        QCOMPARE(methodFormula(88), u("x0 · 1,8 − 459,67"));
    }

    // The statistics of a sample have entries of their own after the
    // methods, found by the search.
    void statisticsEntries()
    {
        MethodReferenceDialog reference;
        auto *tree = reference.findChild<QTreeWidget *>("methods");
        QCOMPARE(tree->topLevelItem(tree->topLevelItemCount() - 1)->text(0), u("Statistika vzorku"));
        reference.setFilter(u("SDD vyrovnany"));
        QCOMPARE(reference.shownTopics(), QList<ReferenceTopic>{ReferenceTopic::SomatotypeAnalysis});
        QVERIFY(reference.isTopicCurrent(ReferenceTopic::SomatotypeAnalysis));
        auto *entry = reference.findChild<QTextBrowser *>("entry");
        QVERIFY(entry->toPlainText().contains(u("SDD (vzdálenost dvou bodů somatografu) = √(3 · (X₁ − X₂)²")));
        reference.showTopic(ReferenceTopic::DescriptiveStatistics);
        QCOMPARE(reference.shownTopics().size(), referenceTopics().size());
        QVERIFY(entry->toPlainText().contains(u("(n − 1)")));
    }

    void helpMenuOpensTheReference()
    {
        MainWindow window;
        for (QAction *a : window.menuBar()->actions())
            if (a->text() == u("&Nápověda"))
                a->menu()->actions().at(0)->trigger();
        auto *reference = window.findChild<MethodReferenceDialog *>();
        QVERIFY(reference);
        QVERIFY(reference->isVisible());
    }

    void wizardLinksToTheEntry()
    {
        TTableModel table(nullptr);
        table.appendRows({{80, 100}});
        TDataWizard wizard;
        wizard.setSourceTable(&table);
        wizard.setFunction(23);
        auto *button = wizard.findChild<QPushButton *>("methodReferenceButton");
        QVERIFY(button);
        QVERIFY(button->isEnabled());
        button->click();
        auto *reference = wizard.findChild<MethodReferenceDialog *>();
        QVERIFY(reference);
        QCOMPARE(reference->currentMethod(), 23);
    }
};

QTEST_MAIN(TestMethodReference)
#include "tst_methodreference.moc"

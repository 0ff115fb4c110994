#include "MainWindow.h"
#include "MethodCatalog.h"
#include "MethodReference.h"
#include "PopupMenu.h"
#include "TDataWizard.h"
#include "TMethodReference.h"
#include "TTableModel.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QtTest>

// The method reference: every method of the catalog, where the context menu
// has it, found by the search.
class TestMethodReference : public QObject {
    Q_OBJECT

    static QString u(const char *text) { return QString::fromUtf8(text); }

    // "submenu/submenu/title" of every method action under menu, in menu order.
    static void menuPaths(const QMenu &menu, const QString &prefix, QStringList *paths)
    {
        for (QAction *a : menu.actions()) {
            if (a->isSeparator())
                continue;
            if (a->menu())
                menuPaths(*a->menu(), prefix + a->text() + u'/', paths);
            else
                paths->append(prefix + a->text());
        }
    }

    static void treePaths(const QTreeWidgetItem *item, const QString &prefix, QStringList *paths)
    {
        for (int i = 0; i < item->childCount(); ++i) {
            const QTreeWidgetItem *child = item->child(i);
            if (child->childCount() > 0 || !child->data(0, Qt::UserRole).isValid())
                treePaths(child, prefix + child->text(0) + u'/', paths);
            else
                paths->append(prefix + child->text(0));
        }
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        buildMethodCatalog();
        PopupMenu::requireQueuedChoices(true);
    }

    void listsEveryRegisteredMethodOnce()
    {
        TMethodReference reference;
        QList<int> listed = reference.listedMethods();
        std::sort(listed.begin(), listed.end());
        QList<int> registered;
        for (int id = 0; id < MethodCatalogSize; ++id)
            if (isRegisteredMethod(id))
                registered.append(id);
        QCOMPARE(listed, registered);
    }

    void ordersMethodsAsTheContextMenu()
    {
        MainWindow window;
        QStringList inMenu;
        PopupMenu::setNextChoice([&](QMenu &menu) {
            menuPaths(menu, QString(), &inMenu);
            return nullptr;
        });
        window.treeContextMenu(QPoint(5, window.tree()->viewport()->height() - 5));
        // Import first; the user functions' submenu is empty.
        QCOMPARE(inMenu.takeFirst(), u("&Import ze souboru CSV"));

        TMethodReference reference;
        QStringList inTree;
        treePaths(reference.findChild<QTreeWidget *>("methods")->invisibleRootItem(), QString(), &inTree);
        // The reference adds the methods the menu leaves out, at the end.
        QStringList outside;
        for (int id : {106, 107, 108})
            outside.append(u("Mimo kontextovou nabídku/") + MethodCatalog[id].title);
        QCOMPARE(inTree.mid(inTree.size() - 3), outside);
        QCOMPARE(inTree.mid(0, inTree.size() - 3), inMenu);
    }

    void searchNarrowsTheTree()
    {
        TMethodReference reference;
        const int all = reference.listedMethods().size();
        reference.setFilter(u("cranialis"));
        QCOMPARE(reference.shownMethods(), QList<int>{23});
        QCOMPARE(reference.currentMethod(), 23);
        // Without diacritics, in any case, every word must be there.
        reference.setFilter(u("SIRKA lebky manouvriera"));
        QCOMPARE(reference.shownMethods(), (QList<int>{32, 33}));
        // The class names are searched too.
        reference.setFilter(u("brachykranní"));
        QCOMPARE(reference.shownMethods(), QList<int>{23});
        reference.setFilter(u("žádná taková metoda"));
        QVERIFY(reference.shownMethods().isEmpty());
        QCOMPARE(reference.findChild<QTextBrowser *>("entry")->toPlainText(), QString());
        reference.setFilter(QString());
        QCOMPARE(reference.shownMethods().size(), all);
        // Asking for a method the search hides clears the search.
        reference.setFilter(u("cranialis"));
        reference.showMethod(3);
        QCOMPARE(reference.currentMethod(), 3);
        QCOMPARE(reference.shownMethods().size(), all);
    }

    void entryOfAMethodWithVerdicts()
    {
        TMethodReference reference;
        reference.showMethod(3);
        const QString text = reference.findChild<QTextBrowser *>("entry")->toPlainText();
        for (const QString &part : {u("Index rizikovosti"), u("Obvod pasu"), u("Obvod boků"),
                                    u("Vyhodnocení pro ženy (slovní hodnocení)"), u("x0 / x1"), u("0,85")})
            QVERIFY2(text.contains(part), qPrintable(part));
    }

    void conversionsReadTheirOwnRoutine()
    {
        QCOMPARE(methodFormula(55), u("x0 · 100"));
        QCOMPARE(methodFormula(87), u("x0 · 1 − 273,15"));
        QCOMPARE(methodFormula(88), u("x0 · 1,8 − 459,67"));
    }

    void everyMethodHasItsTexts()
    {
        for (int id = 0; id < MethodCatalogSize; ++id) {
            if (!isRegisteredMethod(id))
                continue;
            const QByteArray which = QByteArray::number(id);
            QVERIFY2(!methodFormula(id).isEmpty(), which.constData());
            QVERIFY2(!methodLiterature(id).isEmpty(), which.constData());
            const QString html = methodReferenceHtml(id);
            QVERIFY2(!html.contains(u("zatím chybí")), which.constData());
        }
        // Every method with a verdict column states its class limits.
        for (int id : {3, 23, 24, 25, 26, 27, 28, 29, 44, 45, 46, 47, 48, 49, 50})
            QVERIFY2(!methodClassLimits(id).isEmpty(), QByteArray::number(id).constData());
        // A method without verdicts has none.
        for (int id : {0, 7, 22, 40, 43, 51, 52, 97, 101})
            QVERIFY2(methodClassLimits(id).isEmpty(), QByteArray::number(id).constData());

        QCOMPARE(methodFormula(40), u("100 · (x0 + x1) / (x2 + x3); při x2 + x3 = 0 je výsledek 0"));
        QVERIFY(methodFormula(13).contains(u("S ≥ 35")));
        QVERIFY(methodFormula(43).contains(u("40,75")));
        QVERIFY(methodClassLimits(47).contains(u("891,12")));
        QVERIFY(methodClassLimits(48).contains(u("231,2")));
        QVERIFY(methodLiterature(43).contains(u("Heath & Carter 1967")));
        QVERIFY(methodLiterature(101).contains(u("Bookstein 1991")));
        QVERIFY(methodLiterature(55).contains(u("SI")));
        // The literature is searched too.
        TMethodReference reference;
        reference.setFilter(u("Lee Pearson 1901"));
        QCOMPARE(reference.shownMethods(), (QList<int>{34, 35}));
    }

    // The statistics of a sample have entries of their own after the
    // methods, with their formulas and sources, found by the search.
    void statisticsEntries()
    {
        TMethodReference reference;
        auto *tree = reference.findChild<QTreeWidget *>("methods");
        QTreeWidgetItem *last = tree->topLevelItem(tree->topLevelItemCount() - 1);
        QCOMPARE(last->text(0), u("Statistika vzorku"));
        QCOMPARE(last->childCount(), 2);
        QCOMPARE(reference.shownTopics(),
                 (QList<ReferenceTopic>{ReferenceTopic::DescriptiveStatistics, ReferenceTopic::SomatotypeAnalysis}));

        reference.setFilter(u("SDD vyrovnany"));
        QCOMPARE(reference.shownTopics(), QList<ReferenceTopic>{ReferenceTopic::SomatotypeAnalysis});
        QVERIFY(reference.isTopicCurrent(ReferenceTopic::SomatotypeAnalysis));
        auto *entry = reference.findChild<QTextBrowser *>("entry");
        for (const QString &part : {u("√(3 · (X₁ − X₂)² + (Y₁ − Y₂)²)"), u("SDD ≥ 2"), u("nejvýš o 0,5"),
                                    u("mezomorf-endomorf: I a II stejné, III menší"), u("Carter, J. E. L. (2002)")})
            QVERIFY2(entry->toPlainText().contains(part), qPrintable(part));

        reference.showTopic(ReferenceTopic::DescriptiveStatistics);
        QCOMPARE(reference.shownTopics().size(), 2);
        QVERIFY(entry->toPlainText().contains(u("(n − 1)")));
        QVERIFY(entry->toPlainText().contains(u("NIST")));
    }

    void helpMenu()
    {
        MainWindow window;
        QMenu *help = nullptr;
        for (QAction *a : window.menuBar()->actions())
            if (a->text() == u("&Nápověda"))
                help = a->menu();
        QVERIFY(help);
        QCOMPARE(help->actions().size(), 2);
        QCOMPARE(help->actions().at(0)->text(), u("&Přehled metod"));
        QCOMPARE(help->actions().at(1)->text(), u("&O aplikaci"));
        help->actions().at(0)->trigger();
        auto *reference = window.findChild<TMethodReference *>();
        QVERIFY(reference);
        QVERIFY(reference->isVisible());
        QVERIFY(aboutText().contains(u("Verze 0.1")));
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
        auto *reference = wizard.findChild<TMethodReference *>();
        QVERIFY(reference);
        QCOMPARE(reference->currentMethod(), 23);
    }
};

QTEST_MAIN(TestMethodReference)
#include "tst_methodreference.moc"

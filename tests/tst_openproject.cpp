// "kostimer FILE.kstx": the window opens the file it is given without asking
// for one; a file that is no project leaves the project that was open behind
// the usual message.

#include "WindowTestSupport.h"
#include "ProjectArchive.h"
#include "TableTestSupport.h"

#include <QDir>

#include <map>

class TestOpenProject : public WindowTest {
    Q_OBJECT

    const QString m_sample = QDir(QStringLiteral(KOSTIMER_EXAMPLES)).filePath(QStringLiteral("ukazkovy-projekt.kstx"));

private slots:
    void initTestCase() { startSuite(); }
    void init() { m_window = std::make_unique<MainWindow>(); }
    void cleanup() { endTest(); }

    void opensAGoodFile()
    {
        const int boxes = MessageBox::count();
        QVERIFY(m_window->openProjectFile(m_sample));
        QCOMPARE(MessageBox::count(), boxes); // nothing asked, nothing said
        QCOMPARE(m_window->windowTitle(), QStringLiteral("ukazkovy-projekt - Kostimer"));
        QVERIFY(!m_window->isModified());
        QCOMPARE(m_window->sourceFiles(), (QStringList{"lide.csv", "lebky.csv", "osteony.csv", "zuby.csv",
                                                       "landmarky-2d.csv", "landmarky-3d.csv"}));
        QCOMPARE(tree()->topLevelItemCount(), 6);
        QTreeWidgetItem *people = tree()->topLevelItem(0);
        QVERIFY(people->isExpanded());
        QCOMPARE(people->childCount(), 5);
        // 70.2 kg at 1.747 m, the first row of examples/lide.csv.
        QVERIFY(qFuzzyCompare(MainWindow::tableOf(people->child(0))->value(0, 2), 70.2 / (1.747 * 1.747)));
        // The formula results are known: the same method is not applied twice.
        QCOMPARE(m_window->formulaResultsOf(people).value(2), people->child(0));
    }

    // Whatever the file, the message and its reason; the project open before
    // (none, or the sample) stays as it was.
    void aFileThatIsNoProject_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("sampleOpen");
        QTest::addColumn<QString>("detail"); // how the reason begins
        QTest::newRow("a table") << "table" << false << "";
        QTest::newRow("not there") << "missing" << false << "";
        QTest::newRow("empty, the sample open") << "empty" << true << "";
        // One bit of the values of "0/2.csv" in the sample: once its numbers
        // came out wrong and the project passed for saved.
        QTest::newRow("damaged") << "damaged" << false << "Položka „0/2.csv“ je poškozená";
    }

    void aFileThatIsNoProject()
    {
        QFETCH(QString, kind);
        QFETCH(bool, sampleOpen);
        QFETCH(QString, detail);
        if (sampleOpen)
            QVERIFY(m_window->openProjectFile(m_sample));
        const QString title = m_window->windowTitle();
        QByteArray bytes = contentOf(m_sample);
        const qsizetype at = middleOfEntry(bytes, "0/2.csv");
        QVERIFY(at > 0);
        bytes[at] = char(bytes[at] ^ 1);
        const std::map<QString, QByteArray> contents{{"table", "a;b\n1;2\n"}, {"empty", ""}, {"damaged", bytes}};
        const QString path = kind == "missing" ? m_dir.filePath(QStringLiteral("neni.kstx"))
                                               : writeFile(m_dir, QStringLiteral("soubor.kstx"), contents.at(kind));
        MessageBox::setNextAnswer(QMessageBox::Ok);
        QVERIFY(!m_window->openProjectFile(path));
        QCOMPARE(MessageBox::lastTitle(), QStringLiteral("Otevření projektu"));
        QCOMPARE(MessageBox::lastText(), QStringLiteral("Projekt se nepodařilo otevřít."));
        QVERIFY2(MessageBox::lastDetailedText().startsWith(detail), qPrintable(MessageBox::lastDetailedText()));
        QCOMPARE(tree()->topLevelItemCount(), sampleOpen ? 6 : 0);
        QCOMPARE(int(m_window->sourceFiles().size()), sampleOpen ? 6 : 0);
        QCOMPARE(m_window->windowTitle(), title);
        QVERIFY(!m_window->isModified());
    }

    void aDeepProjectOpensAndSavesAsItWas()
    {
        // 300 levels of tables, each made from the one before by a unit
        // conversion: into the window, out to a file, and back.
        ProjectTree roots;
        auto *source = new TTableModel(SourceDataType, nullptr);
        source->appendRows({{1.5}, {2}});
        roots.push_back(std::make_unique<ProjectNode>());
        roots[0]->table = source;
        roots[0]->ownsTable = true;
        roots[0]->isDataNode = true;
        roots[0]->sourceFileName = QStringLiteral("a.csv");
        ProjectNode *last = roots[0].get();
        for (int level = 1; level < 300; ++level) {
            auto node = std::make_unique<ProjectNode>();
            node->table = new TTableModel(last->table);
            QVERIFY(node->table->applyMethod(53, std::vector<int>{0}));
            node->ownsTable = true;
            node->name = methodTitle(53);
            last->children.push_back(std::move(node));
            last = last->children.back().get();
        }
        const QString first = m_dir.filePath(QStringLiteral("hluboky.kstx"));
        QVERIFY(writeProjectFile(first, roots));

        const auto deepest = [&] {
            QTreeWidgetItem *node = tree()->topLevelItem(0);
            int depth = 0;
            for (; node && node->childCount() == 1; ++depth)
                node = node->child(0);
            return std::make_pair(node, depth);
        };
        QVERIFY(m_window->openProjectFile(first));
        QCOMPARE(deepest().second, 299);
        const QString again = m_dir.filePath(QStringLiteral("hluboky-znovu.kstx"));
        FileDialog::setNextFileName(again);
        QVERIFY(m_window->saveProjectAs());
        QVERIFY(m_window->closeProject());
        QVERIFY(m_window->openProjectFile(again));
        const auto [node, depth] = deepest();
        QCOMPARE(depth, 299);
        QCOMPARE(node->text(0), methodTitle(53));
        QCOMPARE(storedRows(*MainWindow::tableOf(node)), storedRows(*last->table));
        QCOMPARE(MainWindow::tableOf(node)->value(1, 1), 0.002);
    }
};

QTEST_MAIN(TestOpenProject)
#include "tst_openproject.moc"

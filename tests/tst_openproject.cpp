#include "WindowTestSupport.h"
#include "FileDialog.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "MethodCatalog.h"
#include "ProjectArchive.h"
#include "TTableModel.h"
#include "TableTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtEndian>
#include <QtTest>

#include <memory>

// "kostimer FILE.kstx": the window opens the file it is given without asking
// for one, and a file that is no project leaves an empty project behind the
// usual message.
class TestOpenProject : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow> m_window;
    const QString m_sample = QDir(QStringLiteral(KOSTIMER_EXAMPLES)).filePath(QStringLiteral("ukazkovy-projekt.kstx"));

    QString file(const QString &name, const QByteArray &content) { return writeFile(m_dir, name, content); }

    QTreeWidget *tree() { return m_window->tree(); }

    void importOne()
    {
        FileDialog::setNextFileNames({file(QStringLiteral("lide.csv"), "Hmotnost;Vyska\n70;1,75\n")});
        m_window->loadCSV();
        QVERIFY(m_window->isModified());
    }

    void verifyEmptyAfterFailure(int boxesBefore)
    {
        QCOMPARE(MessageBox::count(), boxesBefore + 1);
        QCOMPARE(MessageBox::lastTitle(), QString::fromUtf8("Otevření projektu"));
        QCOMPARE(MessageBox::lastText(), QString::fromUtf8("Projekt se nepodařilo otevřít."));
        QCOMPARE(tree()->topLevelItemCount(), 0);
        QVERIFY(m_window->sourceFiles().isEmpty());
        QCOMPARE(m_window->windowTitle(), QString::fromUtf8("Nový projekt - Kostimer"));
    }

private slots:
    void initTestCase()
    {
        buildMethodCatalog();
        requireQueuedAnswers();
    }

    void init() { m_window = std::make_unique<MainWindow>(); }

    void cleanup()
    {
        m_window.reset();
        QVERIFY(!takeLeftoverAnswers());
    }

    void opensAGoodFile()
    {
        const int boxes = MessageBox::count();
        QVERIFY(m_window->openProjectFile(m_sample));
        QCOMPARE(MessageBox::count(), boxes); // nothing asked, nothing said
        QCOMPARE(m_window->windowTitle(), QString::fromUtf8("ukazkovy-projekt - Kostimer"));
        QVERIFY(!m_window->isModified());
        QCOMPARE(m_window->sourceFiles(),
                 (QStringList{"lide.csv", "lebky.csv", "osteony.csv", "zuby.csv", "landmarky-2d.csv",
                              "landmarky-3d.csv"}));
        QCOMPARE(tree()->topLevelItemCount(), 6);
        QTreeWidgetItem *people = tree()->topLevelItem(0);
        QCOMPARE(people->text(0), QString::fromUtf8("Data ze souboru \"lide.csv\""));
        QVERIFY(people->isExpanded());
        QCOMPARE(people->childCount(), 5);
        QCOMPARE(people->child(0)->text(0), QString::fromUtf8("Body mass index"));
        // 70.2 kg at 1.747 m, the first row of examples/lide.csv.
        QCOMPARE(MainWindow::tableOf(people)->value(0, 1), 70.2);
        QVERIFY(qFuzzyCompare(MainWindow::tableOf(people->child(0))->value(0, 2), 70.2 / (1.747 * 1.747)));
        // The formula results are known: the same method is not applied twice.
        QCOMPARE(m_window->formulaResultsOf(people).value(2), people->child(0));
    }

    void aFileThatIsNoProject()
    {
        const int boxes = MessageBox::count();
        MessageBox::setNextAnswer(QMessageBox::Ok);
        QVERIFY(!m_window->openProjectFile(file(QStringLiteral("tabulka.kstx"), "a;b\n1;2\n")));
        verifyEmptyAfterFailure(boxes);
    }

    void aFileThatIsNotThere()
    {
        const int boxes = MessageBox::count();
        MessageBox::setNextAnswer(QMessageBox::Ok);
        QVERIFY(!m_window->openProjectFile(m_dir.filePath(QStringLiteral("neni.kstx"))));
        verifyEmptyAfterFailure(boxes);
    }

    // The project that was open stays until another one has been read.
    void aBadFileKeepsTheOpenProject()
    {
        QVERIFY(m_window->openProjectFile(m_sample));
        const QString title = m_window->windowTitle();
        MessageBox::setNextAnswer(QMessageBox::Ok);
        QVERIFY(!m_window->openProjectFile(file(QStringLiteral("prazdny.kstx"), "")));
        QCOMPARE(MessageBox::lastText(), QString::fromUtf8("Projekt se nepodařilo otevřít."));
        QCOMPARE(tree()->topLevelItemCount(), 6);
        QCOMPARE(m_window->windowTitle(), title);
        QVERIFY(!m_window->isModified());
    }

    void unsavedWorkIsAskedAboutFirst()
    {
        importOne();
        MessageBox::setNextAnswer(QMessageBox::Cancel);
        QVERIFY(!m_window->openProjectFile(m_sample));
        QCOMPARE(MessageBox::lastTitle(), QString::fromUtf8("Zavření projektu"));
        QCOMPARE(tree()->topLevelItemCount(), 1);
        QCOMPARE(m_window->sourceFiles(), QStringList{"lide.csv"});
        QVERIFY(m_window->isModified());

        MessageBox::setNextAnswer(QMessageBox::Discard);
        QVERIFY(m_window->openProjectFile(m_sample));
        QCOMPARE(tree()->topLevelItemCount(), 6);
        QVERIFY(!m_window->isModified());
    }

    void aDamagedFileGivesItsReason()
    {
        // One bit of the values of "0/2.csv" in the sample: once its numbers
        // came out wrong and the project passed for saved.
        QFile f(m_sample);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QByteArray bytes = f.readAll();
        const auto field16 = [&](qsizetype p) { return qFromLittleEndian<quint16>(bytes.constData() + p); };
        const auto field32 = [&](qsizetype p) { return qFromLittleEndian<quint32>(bytes.constData() + p); };
        qsizetype at = -1;
        for (qsizetype p = bytes.indexOf("PK\x01\x02"); p >= 0 && at < 0; p = bytes.indexOf("PK\x01\x02", p + 4))
            if (bytes.mid(p + 46, field16(p + 28)) == "0/2.csv") {
                const qsizetype local = field32(p + 42);
                at = local + 30 + field16(local + 26) + field16(local + 28) + field32(p + 20) / 2;
            }
        QVERIFY(at > 0);
        bytes[at] = char(bytes[at] ^ 1);
        const int boxes = MessageBox::count();
        MessageBox::setNextAnswer(QMessageBox::Ok);
        QVERIFY(!m_window->openProjectFile(file(QStringLiteral("poskozeny.kstx"), bytes)));
        verifyEmptyAfterFailure(boxes);
        QVERIFY2(MessageBox::lastDetailedText().startsWith(QString::fromUtf8("Položka „0/2.csv“ je poškozená")),
                 qPrintable(MessageBox::lastDetailedText()));
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
            node->name = MethodCatalog[53].title;
            last->children.push_back(std::move(node));
            last = last->children.back().get();
        }
        const QString first = m_dir.filePath(QStringLiteral("hluboky.kstx"));
        QVERIFY(writeProjectFile(first, roots));

        const auto deepest = [&] {
            QTreeWidgetItem *node = tree()->topLevelItem(0);
            int depth = 0;
            while (node && node->childCount() == 1) {
                node = node->child(0);
                ++depth;
            }
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
        QCOMPARE(node->text(0), MethodCatalog[53].title);
        QCOMPARE(storedRows(*MainWindow::tableOf(node)), storedRows(*last->table));
        QCOMPARE(MainWindow::tableOf(node)->value(1, 1), 0.002);
    }

    void theMenuOpensThroughTheSamePath()
    {
        FileDialog::setNextFileName(m_sample);
        m_window->openProject();
        QCOMPARE(FileDialog::lastTitle(), QString::fromUtf8("Otevřít projekt"));
        QCOMPARE(tree()->topLevelItemCount(), 6);
        QCOMPARE(m_window->windowTitle(), QString::fromUtf8("ukazkovy-projekt - Kostimer"));
    }
};

QTEST_MAIN(TestOpenProject)
#include "tst_openproject.moc"

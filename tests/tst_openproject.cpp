#include "WindowTestSupport.h"
#include "FileDialog.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "MethodCatalog.h"
#include "TTableModel.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeWidget>
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

    QString file(const QString &name, const QByteArray &content)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return path;
    }

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

    void aBadFileAfterAGoodOneLeavesNothingOfIt()
    {
        QVERIFY(m_window->openProjectFile(m_sample));
        const int boxes = MessageBox::count();
        MessageBox::setNextAnswer(QMessageBox::Ok);
        QVERIFY(!m_window->openProjectFile(file(QStringLiteral("prazdny.kstx"), "")));
        verifyEmptyAfterFailure(boxes);
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

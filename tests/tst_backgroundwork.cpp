// Long work runs off the interface thread behind a progress dialog that
// appears after half a second and cancels: a cancelled save keeps the old
// file byte for byte, a cancelled open, import, method or export leaves the
// project and the folder as they were. The work is slowed by the test hook,
// never by its size.

#include "WindowTestSupport.h"
#include "BackgroundWork.h"

#include <QCryptographicHash>
#include <QDir>
#include <QStatusBar>

#include <map>

class TestBackgroundWork : public WindowTest {
    Q_OBJECT

    // Watches for the progress dialog while the window waits for its work;
    // with cancel, clicks its "Zrušit" as soon as it shows.
    struct Watcher {
        QTimer timer;
        QElapsedTimer clock;
        qint64 shownAfter = -1;
        QString label;
        QString button;

        explicit Watcher(bool cancel)
        {
            clock.start();
            QObject::connect(&timer, &QTimer::timeout, [this, cancel] {
                auto *dialog = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
                if (!dialog || shownAfter >= 0)
                    return;
                shownAfter = clock.elapsed();
                label = dialog->labelText();
                button = dialog->findChild<QPushButton *>()->text();
                if (cancel)
                    dialog->findChild<QPushButton *>()->click();
            });
            timer.start(10);
        }
    };

    // What a cancelled operation must leave as it was: the project, the
    // files of the folder and the bytes of the saved project.
    QStringList state()
    {
        return {m_window->sourceFiles().join(u','), QString::number(tree()->topLevelItemCount()),
                QString::number(tree()->topLevelItem(0)->childCount()), m_window->windowTitle(),
                QString::number(m_window->isModified()),
                QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).join(u','),
                QString::fromLatin1(QCryptographicHash::hash(contentOf(m_dir.filePath(QStringLiteral("muj.kstx"))),
                                                             QCryptographicHash::Sha1)
                                        .toHex())};
    }

private slots:
    void initTestCase() { startSuite(); }
    void init() { m_window = std::make_unique<MainWindow>(); }

    void cleanup()
    {
        BackgroundWork::setStartDelayForTests(0);
        endTest();
    }

    // Quick work shows no dialog; the status bar says it is done.
    void quickWorkIsConfirmedInTheStatusBar()
    {
        QTreeWidgetItem *source = importOne();
        Watcher watcher(false);
        QVERIFY(m_window->writeProject(m_dir.filePath(QStringLiteral("rychly.kstx"))));
        QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("Projekt uložen: rychly.kstx"));
        FileDialog::setNextFileName(m_dir.filePath(QStringLiteral("vystup.csv")));
        m_window->exportCSV(source);
        QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("Tabulka exportována: vystup.csv"));
        QCOMPARE(watcher.shownAfter, qint64(-1));
    }

    void slowWorkShowsItsProgressAndEnds()
    {
        importOne();
        BackgroundWork::setStartDelayForTests(800);
        Watcher watcher(false);
        const QString path = m_dir.filePath(QStringLiteral("pomaly.kstx"));
        QVERIFY(m_window->writeProject(path));
        QVERIFY2(watcher.shownAfter >= 450, qPrintable(QString::number(watcher.shownAfter)));
        QCOMPARE(watcher.label, QStringLiteral("Ukládám projekt…"));
        QVERIFY(!m_window->isModified());
        QVERIFY(m_window->openProjectFile(path));
        QCOMPARE(m_window->sourceFiles(), QStringList{"lide.csv"});
    }

    void cancelledWorkLeavesEverything_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("label");
        QTest::newRow("save over the old file") << "save" << "Ukládám projekt…";
        QTest::newRow("open") << "open" << "Otevírám projekt…";
        QTest::newRow("import") << "import" << "Importuji data…";
        QTest::newRow("method") << "method" << "Počítám…";
        QTest::newRow("export") << "export" << "Exportuji tabulku…";
    }

    void cancelledWorkLeavesEverything()
    {
        QFETCH(QString, action);
        // A project saved as muj.kstx, another as jiny.kstx, then a change.
        QTreeWidgetItem *source = importOne();
        QVERIFY(m_window->writeProject(m_dir.filePath(QStringLiteral("jiny.kstx"))));
        QVERIFY(m_window->writeProject(m_dir.filePath(QStringLiteral("muj.kstx"))));
        importOne("a;b\n1;2\n", QStringLiteral("dalsi.csv"));
        const QString big = writeFile(m_dir, QStringLiteral("velky.csv"), "a;b\n1;2\n");
        const QStringList before = state();
        const int boxes = MessageBox::count();

        const std::map<QString, std::function<void()>> actions{
            {"save", [&] { QVERIFY(!m_window->writeProject(m_dir.filePath(QStringLiteral("muj.kstx")))); }},
            {"open",
             [&] {
                 MessageBox::setNextAnswer(QMessageBox::Discard); // the change is asked about first
                 QVERIFY(!m_window->openProjectFile(m_dir.filePath(QStringLiteral("jiny.kstx"))));
             }},
            {"import",
             [&] {
                 FileDialog::setNextFileNames({big});
                 m_window->loadCSV();
             }},
            {"method", [&] { apply(source, 2, {0, 1}); }},
            {"export",
             [&] {
                 FileDialog::setNextFileName(m_dir.filePath(QStringLiteral("vystup.csv")));
                 m_window->exportCSV(source);
             }},
        };
        // The work waits until it is cancelled, ten seconds at most: a dialog
        // that never comes fails the test, it does not hang it.
        BackgroundWork::setStartDelayForTests(10000);
        Watcher watcher(true);
        actions.at(action)();
        QVERIFY2(watcher.shownAfter >= 450, qPrintable(QString::number(watcher.shownAfter)));
        QTEST(watcher.label, "label");
        QCOMPARE(watcher.button, QStringLiteral("Zrušit"));
        QCOMPARE(state(), before);
        // A cancel needs no word.
        QCOMPARE(MessageBox::count(), boxes + (action == "open" ? 1 : 0));
    }
};

QTEST_MAIN(TestBackgroundWork)
#include "tst_backgroundwork.moc"

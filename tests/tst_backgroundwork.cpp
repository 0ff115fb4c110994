#include "WindowTestSupport.h"
#include "BackgroundWork.h"
#include "MethodCatalog.h"
#include "TDataWizard.h"
#include "TTableModel.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

// Long work runs off the interface thread behind a progress dialog that
// appears after half a second and cancels: a cancelled save keeps the old
// file byte for byte, a cancelled open, import or method leaves the project
// as it was. The work is slowed by the test hook, never by its size.
class TestBackgroundWork : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow> m_window;

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
            timer.setInterval(10);
            QObject::connect(&timer, &QTimer::timeout, [this, cancel] {
                for (QWidget *widget : QApplication::topLevelWidgets()) {
                    auto *dialog = qobject_cast<QProgressDialog *>(widget);
                    if (!dialog || !dialog->isVisible() || shownAfter >= 0)
                        continue;
                    shownAfter = clock.elapsed();
                    label = dialog->labelText();
                    QPushButton *zrusit = dialog->findChild<QPushButton *>();
                    button = zrusit ? zrusit->text() : QString();
                    if (cancel && zrusit)
                        zrusit->click();
                }
            });
            timer.start();
        }
    };

    QString csv(const QString &name, const QByteArray &content) { return writeFile(m_dir, name, content); }

    QByteArray bytesOf(const QString &path)
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }

    QTreeWidget *tree() { return m_window->tree(); }

    void importOne(const QString &name = QStringLiteral("lide.csv"))
    {
        importThroughWindow(*m_window, m_dir, "Hmotnost;Vyska\n70;1,75\n80;2\n", name);
    }

    // The work of the next operation waits until it is cancelled (at most
    // ten seconds: a dialog that never comes fails the test, it does not hang it).
    static void slowDown() { BackgroundWork::setStartDelayForTests(10000); }

private slots:
    void initTestCase()
    {
        buildMethodCatalog();
        requireQueuedAnswers();
    }

    void init() { m_window = std::make_unique<MainWindow>(); }

    void cleanup()
    {
        BackgroundWork::setStartDelayForTests(0);
        m_window.reset();
        QVERIFY(!takeLeftoverAnswers());
    }

    void quickWorkShowsNoDialog()
    {
        Watcher watcher(false);
        importOne();
        const QString path = m_dir.filePath(QStringLiteral("rychly.kstx"));
        QVERIFY(m_window->writeProject(path));
        QCOMPARE(watcher.shownAfter, qint64(-1));
        QCOMPARE(m_window->statusBar()->currentMessage(), QString::fromUtf8("Projekt uložen: rychly.kstx"));
    }

    void slowWorkShowsItsProgressAndEnds()
    {
        importOne();
        BackgroundWork::setStartDelayForTests(800);
        Watcher watcher(false);
        const QString path = m_dir.filePath(QStringLiteral("pomaly.kstx"));
        QVERIFY(m_window->writeProject(path));
        QVERIFY2(watcher.shownAfter >= 450, qPrintable(QString::number(watcher.shownAfter)));
        QCOMPARE(watcher.label, QString::fromUtf8("Ukládám projekt…"));
        QVERIFY(!m_window->isModified());
        QVERIFY(m_window->openProjectFile(path));
        QCOMPARE(m_window->sourceFiles(), QStringList{"lide.csv"});
    }

    void cancelledSaveKeepsTheOldFile()
    {
        importOne();
        const QString path = m_dir.filePath(QStringLiteral("projekt.kstx"));
        QVERIFY(m_window->writeProject(path));
        const QByteArray before = bytesOf(path);
        importOne(QStringLiteral("dalsi.csv"));
        QVERIFY(m_window->isModified());

        slowDown();
        const int boxes = MessageBox::count();
        Watcher watcher(true);
        QVERIFY(!m_window->writeProject(path));
        QVERIFY2(watcher.shownAfter >= 450, qPrintable(QString::number(watcher.shownAfter)));
        QCOMPARE(watcher.label, QString::fromUtf8("Ukládám projekt…"));
        QCOMPARE(watcher.button, QString::fromUtf8("Zrušit"));
        QCOMPARE(bytesOf(path), before);
        QCOMPARE(QDir(m_dir.path()).entryList({"projekt.kstx*"}, QDir::Files | QDir::Hidden),
                 QStringList{"projekt.kstx"});
        QVERIFY(m_window->isModified());
        QCOMPARE(MessageBox::count(), boxes); // a cancel needs no word
    }

    void cancelledOpenLeavesTheProject()
    {
        importOne(QStringLiteral("jiny.csv"));
        const QString other = m_dir.filePath(QStringLiteral("jiny.kstx"));
        QVERIFY(m_window->writeProject(other));
        m_window = std::make_unique<MainWindow>();
        importOne();
        const QString mine = m_dir.filePath(QStringLiteral("muj.kstx"));
        QVERIFY(m_window->writeProject(mine));
        const QString title = m_window->windowTitle();

        slowDown();
        Watcher watcher(true);
        QVERIFY(!m_window->openProjectFile(other));
        QVERIFY(watcher.shownAfter >= 0);
        QCOMPARE(watcher.label, QString::fromUtf8("Otevírám projekt…"));
        QCOMPARE(m_window->sourceFiles(), QStringList{"lide.csv"});
        QCOMPARE(tree()->topLevelItemCount(), 1);
        QCOMPARE(m_window->windowTitle(), title);
        QVERIFY(!m_window->isModified());
    }

    void cancelledImportAddsNothing()
    {
        importOne();
        m_window->writeProject(m_dir.filePath(QStringLiteral("ulozeny.kstx")));
        slowDown();
        Watcher watcher(true);
        FileDialog::setNextFileNames({csv(QStringLiteral("velky.csv"), "a;b\n1;2\n")});
        m_window->loadCSV();
        QVERIFY(watcher.shownAfter >= 0);
        QCOMPARE(watcher.label, QString::fromUtf8("Importuji data…"));
        QCOMPARE(m_window->sourceFiles(), QStringList{"lide.csv"});
        QCOMPARE(tree()->topLevelItemCount(), 1);
        QVERIFY(!m_window->isModified());
    }

    void cancelledMethodAddsNoResult()
    {
        importOne();
        QTreeWidgetItem *source = tree()->topLevelItem(0);
        slowDown();
        Watcher watcher(true);
        bool wizardSeen = false;
        QTimer::singleShot(0, [&] {
            auto *wizard = qobject_cast<TDataWizard *>(QApplication::activeModalWidget());
            QVERIFY(wizard);
            wizardSeen = true;
            auto *grid = wizard->findChild<QTableWidget *>("tableWidget");
            for (int input = 0; input < 2; ++input)
                qobject_cast<QComboBox *>(grid->cellWidget(0, input))->setCurrentIndex(input + 1);
            wizard->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        });
        openContextMenu(*m_window, source,
                        [](QMenu &menu) { return findMenuEntry(menu, MethodCatalog[2].title); });
        QVERIFY(wizardSeen);
        QVERIFY(watcher.shownAfter >= 0);
        QCOMPARE(watcher.label, QString::fromUtf8("Počítám…"));
        QCOMPARE(source->childCount(), 0);
        QVERIFY(m_window->formulaResultsOf(source).value(2) == nullptr);
    }

    void exportConfirmedInTheStatusBar()
    {
        importOne();
        const QString path = m_dir.filePath(QStringLiteral("vystup.csv"));
        FileDialog::setNextFileName(path);
        m_window->exportCSV(tree()->topLevelItem(0));
        QVERIFY(QFile::exists(path));
        QCOMPARE(m_window->statusBar()->currentMessage(), QString::fromUtf8("Tabulka exportována: vystup.csv"));
    }
};

QTEST_MAIN(TestBackgroundWork)
#include "tst_backgroundwork.moc"

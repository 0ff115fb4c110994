// Qt's own texts follow the locale's language: Czech buttons and file dialogs
// on a Czech machine, Qt's English elsewhere.

#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLocale>
#include <QtTest>

class TestQtTranslations : public QObject {
    Q_OBJECT

private slots:
    void textsOfTheLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("translated");
        // The buttons of the question before unsaved work is dropped, and of
        // every wizard and file dialog.
        QTest::newRow("Cancel") << "cs_CZ" << true << "QPlatformTheme" << "Cancel" << QStringLiteral("Zrušit");
        QTest::newRow("Save") << "cs_CZ" << true << "QPlatformTheme" << "Save" << QStringLiteral("Uložit");
        QTest::newRow("Discard") << "cs_CZ" << true << "QPlatformTheme" << "Discard" << QStringLiteral("Zahodit");
        QTest::newRow("file dialog") << "cs_CZ" << true << "QFileDialog" << "File &name:"
                                     << QStringLiteral("Název souboru:");
        QTest::newRow("English stays") << "en_US" << false << "QPlatformTheme" << "Cancel" << "Cancel";
    }

    void textsOfTheLocale()
    {
        QFETCH(QString, locale);
        QFETCH(bool, installed);
        QFETCH(QString, context);
        QFETCH(QString, text);
        QFETCH(QString, translated);
        int argc = 1;
        char name[] = "tst_qttranslations";
        char *argv[] = {name, nullptr};
        QCoreApplication application(argc, argv);
        QCOMPARE(installQtTranslations(&application, QLocale(locale)), installed);
        QCOMPARE(QCoreApplication::translate(context.toLatin1(), text.toLatin1()).remove(u'&'),
                 translated.remove(u'&'));
    }
};

QTEST_APPLESS_MAIN(TestQtTranslations)
#include "tst_qttranslations.moc"

#pragma once
// Every file choice of the program goes through here. Tests queue the names
// the next dialog returns (an empty list stands for a cancelled dialog); with
// answers required, an unexpected dialog stops the test.

#include <QStringList>

class QWidget;

class FileDialog {
public:
    static QStringList openFileNames(QWidget *parent, const QString &title, const QString &folder,
                                     const QString &filter);
    static QString openFileName(QWidget *parent, const QString &title, const QString &folder,
                                const QString &filter);
    // A name chosen without a suffix gets defaultSuffix (".kstx", ".csv"), so
    // that the file shows under the filter it was saved with; the question
    // before replacing a file asks about the name with its suffix.
    static QString saveFileName(QWidget *parent, const QString &title, const QString &folder,
                                const QString &filter, const QString &defaultSuffix = QString());
    // The same with a check box under the file list, for a choice that goes
    // with the file (the header row of an export): it starts as *checked, and
    // *checked gets its state when a name was chosen.
    static QString saveFileName(QWidget *parent, const QString &title, const QString &folder,
                                const QString &filter, const QString &defaultSuffix, const QString &checkText,
                                bool *checked);

    // Test seam.
    static void setNextFileNames(const QStringList &names);
    static void setNextFileName(const QString &name);
    // The check box of the next dialog that has one is left so; unqueued, it
    // stays as it starts.
    static void setNextCheck(bool checked);
    static void requireQueuedAnswers(bool required);
    static bool hasQueuedAnswer();
    static void clearQueuedAnswers();
    // Title and folder of the last dialog asked.
    static QString lastTitle();
    static QString lastFolder();
};

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
    static QString saveFileName(QWidget *parent, const QString &title, const QString &folder,
                                const QString &filter);

    // Test seam.
    static void setNextFileNames(const QStringList &names);
    static void setNextFileName(const QString &name);
    static void requireQueuedAnswers(bool required);
    static bool hasQueuedAnswer();
    static void clearQueuedAnswers();
    // Title and folder of the last dialog asked.
    static QString lastTitle();
    static QString lastFolder();
};

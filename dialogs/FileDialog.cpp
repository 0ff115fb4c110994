#include "FileDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QList>

namespace {
QList<QStringList> queuedNames;
bool answersRequired = false;
QString askedTitle;
QString askedFolder;

bool takeQueued(const QString &title, const QString &folder, QStringList *names)
{
    askedTitle = title;
    askedFolder = folder;
    if (!queuedNames.isEmpty()) {
        *names = queuedNames.takeFirst();
        return true;
    }
    if (answersRequired)
        qFatal("Nečekaný výběr souboru: %s", qPrintable(title));
    return false;
}
} // namespace

QStringList FileDialog::openFileNames(QWidget *parent, const QString &title, const QString &folder,
                                      const QString &filter)
{
    QStringList names;
    if (takeQueued(title, folder, &names))
        return names;
    return QFileDialog::getOpenFileNames(parent, title, folder, filter);
}

QString FileDialog::openFileName(QWidget *parent, const QString &title, const QString &folder, const QString &filter)
{
    QStringList names;
    if (takeQueued(title, folder, &names))
        return names.value(0);
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString FileDialog::saveFileName(QWidget *parent, const QString &title, const QString &folder, const QString &filter,
                                 const QString &defaultSuffix)
{
    QStringList names;
    if (takeQueued(title, folder, &names)) {
        // As the dialog itself adds it.
        const QString name = names.value(0);
        if (name.isEmpty() || defaultSuffix.isEmpty() || !QFileInfo(name).suffix().isEmpty())
            return name;
        return name + u'.' + defaultSuffix;
    }
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

void FileDialog::setNextFileNames(const QStringList &names)
{
    queuedNames.append(names);
}

void FileDialog::setNextFileName(const QString &name)
{
    queuedNames.append(name.isEmpty() ? QStringList() : QStringList{name});
}

void FileDialog::requireQueuedAnswers(bool required)
{
    answersRequired = required;
}

void FileDialog::clearQueuedAnswers()
{
    queuedNames.clear();
}

bool FileDialog::hasQueuedAnswer()
{
    return !queuedNames.isEmpty();
}

QString FileDialog::lastTitle()
{
    return askedTitle;
}

QString FileDialog::lastFolder()
{
    return askedFolder;
}

#include "FileDialog.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QList>

namespace {
QList<QStringList> queuedNames;
QList<bool> queuedChecks;
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
    return saveFileName(parent, title, folder, filter, defaultSuffix, QString(), nullptr);
}

QString FileDialog::saveFileName(QWidget *parent, const QString &title, const QString &folder, const QString &filter,
                                 const QString &defaultSuffix, const QString &checkText, bool *checked)
{
    QStringList names;
    if (takeQueued(title, folder, &names)) {
        // As the dialog itself adds it.
        const QString name = names.value(0);
        if (checked && !queuedChecks.isEmpty()) {
            const bool check = queuedChecks.takeFirst();
            if (!name.isEmpty())
                *checked = check;
        }
        if (name.isEmpty() || defaultSuffix.isEmpty() || !QFileInfo(name).suffix().isEmpty())
            return name;
        return name + u'.' + defaultSuffix;
    }
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    QCheckBox *check = nullptr;
    if (checked) {
        // A dialog of the platform takes no widget of ours: Qt's own does,
        // below its file list.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        check = new QCheckBox(checkText, &dialog);
        check->setObjectName(QStringLiteral("fileDialogCheck"));
        check->setChecked(*checked);
        if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout()))
            grid->addWidget(check, grid->rowCount(), 0, 1, grid->columnCount());
    }
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    if (check)
        *checked = check->isChecked();
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

void FileDialog::setNextCheck(bool checked)
{
    queuedChecks.append(checked);
}

void FileDialog::requireQueuedAnswers(bool required)
{
    answersRequired = required;
}

void FileDialog::clearQueuedAnswers()
{
    queuedNames.clear();
    queuedChecks.clear();
}

bool FileDialog::hasQueuedAnswer()
{
    return !queuedNames.isEmpty() || !queuedChecks.isEmpty();
}

QString FileDialog::lastTitle()
{
    return askedTitle;
}

QString FileDialog::lastFolder()
{
    return askedFolder;
}

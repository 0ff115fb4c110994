#include "MessageBox.h"

#include <QList>
#include <QPushButton>

namespace {
QList<QMessageBox::StandardButton> queuedAnswers;
bool answersRequired = false;
QString shownTitle;
QString shownText;
QString shownDetailedText;
int shownCount = 0;
} // namespace

namespace {

// The answer a test queued for this box; false when a person must answer.
bool queuedAnswer(const QString &title, const QString &text, const QString &detailedText,
                  QMessageBox::StandardButton *answer)
{
    shownTitle = title;
    shownText = text;
    shownDetailedText = detailedText;
    ++shownCount;
    if (!queuedAnswers.isEmpty()) {
        *answer = queuedAnswers.takeFirst();
        return true;
    }
    if (answersRequired)
        qFatal("Nečekaný dotaz: %s – %s", qPrintable(title), qPrintable(text));
    return false;
}

} // namespace

QMessageBox::StandardButton MessageBox::warning(QWidget *parent, const QString &title, const QString &text,
                                                QMessageBox::StandardButtons buttons, const QString &detailedText)
{
    QMessageBox::StandardButton answer;
    if (queuedAnswer(title, text, detailedText, &answer))
        return answer;
    if (detailedText.isEmpty())
        return QMessageBox::warning(parent, title, text, buttons);
    QMessageBox box(QMessageBox::Warning, title, text, buttons, parent);
    box.setDetailedText(detailedText);
    const int chosen = box.exec();
    return box.clickedButton() ? box.standardButton(box.clickedButton()) : QMessageBox::StandardButton(chosen);
}

QMessageBox::StandardButton MessageBox::question(QWidget *parent, const QString &title, const QString &text,
                                                 QMessageBox::StandardButtons buttons)
{
    QMessageBox::StandardButton answer;
    if (queuedAnswer(title, text, QString(), &answer))
        return answer;
    QMessageBox box(QMessageBox::Question, title, text, buttons, parent);
    for (QAbstractButton *button : box.buttons())
        if (auto *push = qobject_cast<QPushButton *>(button))
            push->setAutoDefault(false);
    const int chosen = box.exec();
    return box.clickedButton() ? box.standardButton(box.clickedButton()) : QMessageBox::StandardButton(chosen);
}

void MessageBox::about(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::StandardButton answer;
    if (!queuedAnswer(title, text, QString(), &answer))
        QMessageBox::about(parent, title, text);
}

void MessageBox::setNextAnswer(QMessageBox::StandardButton answer)
{
    queuedAnswers.append(answer);
}

void MessageBox::requireQueuedAnswers(bool required)
{
    answersRequired = required;
}

void MessageBox::clearQueuedAnswers()
{
    queuedAnswers.clear();
}

bool MessageBox::hasQueuedAnswer()
{
    return !queuedAnswers.isEmpty();
}

QString MessageBox::lastTitle()
{
    return shownTitle;
}

QString MessageBox::lastText()
{
    return shownText;
}

QString MessageBox::lastDetailedText()
{
    return shownDetailedText;
}

int MessageBox::count()
{
    return shownCount;
}

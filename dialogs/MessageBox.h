#pragma once
// Every question and warning of the program goes through here. Tests queue the
// answer of the next box and read what it said; with answers required, a box
// that nobody queued an answer for stops the test instead of waiting for a
// person.

#include <QMessageBox>
#include <QString>

class MessageBox {
public:
    // A warning; detailedText, when given, is behind the box's details button
    // (the reason of a failure, say).
    static QMessageBox::StandardButton warning(QWidget *parent, const QString &title, const QString &text,
                                               QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                               const QString &detailedText = QString());

    // A question; no button is the default, so Enter decides nothing.
    static QMessageBox::StandardButton question(QWidget *parent, const QString &title, const QString &text,
                                                QMessageBox::StandardButtons buttons);

    // Information with only an OK button, as the "O aplikaci" box; a test
    // queues any answer for it.
    static void about(QWidget *parent, const QString &title, const QString &text);

    // Test seam.
    static void setNextAnswer(QMessageBox::StandardButton answer);
    static void requireQueuedAnswers(bool required);
    static bool hasQueuedAnswer();
    static void clearQueuedAnswers();
    // Title and text of the last box asked, whether answered by a test or a person.
    static QString lastTitle();
    static QString lastText();
    static QString lastDetailedText(); // empty when the last box had none
    static int count(); // boxes asked so far
};

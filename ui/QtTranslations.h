#pragma once
// Qt's own texts (the buttons of standard boxes, the file dialogs, "Cancel"
// in wizards) in the language of the user's locale, from the translations of
// Qt installed on the system. The program's own texts are Czech anyway.

class QCoreApplication;
class QLocale;

// Installs the translation of Qt's texts for locale's language; false when
// the system has none for it (Qt's English texts stay).
bool installQtTranslations(QCoreApplication *application, const QLocale &locale);

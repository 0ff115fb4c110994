#include "MainWindow.h"
#include "MethodCatalog.h"
#include "QtTranslations.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QStringList>
#include <QUrl>

int main(int argc, char *argv[])
{
    buildMethodCatalog();
    QApplication application(argc, argv);
    installQtTranslations(&application, QLocale::system());
    application.setWindowIcon(QIcon(QStringLiteral(":/icons/kostimer.png")));
    // Ties the window to the installed kostimer.desktop, for its icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral("kostimer"));
    MainWindow window;
    window.show();

    // "kostimer FILE.kstx", as the desktop starts it for a double-clicked
    // project. Qt has already taken its own options out of the list.
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1) {
        QString path = arguments.at(1);
        if (path.startsWith(QStringLiteral("file:")))
            path = QUrl(path).toLocalFile();
        window.openProjectFile(path);
    }
    return application.exec();
}

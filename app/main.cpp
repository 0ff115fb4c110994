#include "MainWindow.h"
#include "MethodCatalog.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    buildMethodCatalog();
    QApplication application(argc, argv);
    MainWindow window;
    window.show();
    return application.exec();
}

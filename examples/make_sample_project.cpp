// Builds the sample project from the CSV files beside it:
//
//   make_sample_project EXAMPLES_FOLDER OUTPUT.kstx
//
// The "sample_project" target runs it and writes examples/ukazkovy-projekt.kstx.

#include "MethodCatalog.h"
#include "SampleProject.h"

#include <QCoreApplication>
#include <QLocale>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: make_sample_project EXAMPLES_FOLDER OUTPUT.kstx\n");
        return 2;
    }
    // The files have a decimal comma, whatever the locale of the build.
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::Czechia));
    buildMethodCatalog();
    ProjectTree roots;
    QString error;
    if (!buildSampleProject(arguments.at(1), &roots, &error)) {
        std::fprintf(stderr, "make_sample_project: %s\n", qPrintable(error));
        return 1;
    }
    if (!writeProjectFile(arguments.at(2), roots)) {
        std::fprintf(stderr, "make_sample_project: cannot write %s\n", qPrintable(arguments.at(2)));
        return 1;
    }
    return 0;
}

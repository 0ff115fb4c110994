#include "AboutText.h"

#ifndef KOSTIMER_VERSION
#define KOSTIMER_VERSION "?"
#endif

QString aboutText()
{
    return QStringLiteral("<h2>Kostimer</h2><p>Verze %1</p>"
                          "<p>Kalkulátor pro fyzickou a biologickou antropologii.</p>")
        .arg(QStringLiteral(KOSTIMER_VERSION));
}

#include "MethodListing.h"

#include "MethodCatalog.h"

QString methodListing()
{
    const QString separator = QStringLiteral(" | ");
    QString text;
    for (const MethodRecord &r : MethodCatalog) {
        if (!isRegisteredMethod(r.id))
            continue;
        text += QString::number(r.id) + u'\t' + QString::number(int(r.kind)) + u'\t' + r.title + u'\t'
                + r.columns.mid(0, r.inputCount).join(separator) + u'\t'
                + r.columns.mid(r.inputCount).join(separator) + u'\n';
    }
    return text;
}

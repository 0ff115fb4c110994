#include "ExportPath.h"

#include "FileDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

QString askExportPath(QWidget *parent, const QString &title)
{
    QSettings settings(QStringLiteral("Veritek"), QStringLiteral("Kostimer"));
    const QString folder = settings.value(QStringLiteral("exportDataFolder"), QDir::homePath()).toString();
    const QString path = FileDialog::saveFileName(parent, title, folder, QStringLiteral("Soubor CSV (*.csv)"),
                                                  QStringLiteral("csv"));
    if (!path.isEmpty())
        settings.setValue(QStringLiteral("exportDataFolder"), QFileInfo(path).absolutePath());
    return path;
}

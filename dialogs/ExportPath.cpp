#include "ExportPath.h"

#include "FileDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

QString askExportPath(QWidget *parent, const QString &title)
{
    return askExportPath(parent, title, nullptr);
}

QString askExportPath(QWidget *parent, const QString &title, bool *header)
{
    QSettings settings(QStringLiteral("Veritek"), QStringLiteral("Kostimer"));
    const QString folder = settings.value(QStringLiteral("exportDataFolder"), QDir::homePath()).toString();
    const QString filter = QStringLiteral("Soubor CSV (*.csv)");
    const QString suffix = QStringLiteral("csv");
    QString path;
    if (header) {
        *header = settings.value(QStringLiteral("exportHeaderRow"), true).toBool();
        path = FileDialog::saveFileName(parent, title, folder, filter, suffix, QStringLiteral("S řádkem &záhlaví"),
                                        header);
    } else {
        path = FileDialog::saveFileName(parent, title, folder, filter, suffix);
    }
    if (path.isEmpty())
        return path;
    settings.setValue(QStringLiteral("exportDataFolder"), QFileInfo(path).absolutePath());
    if (header)
        settings.setValue(QStringLiteral("exportHeaderRow"), *header);
    return path;
}

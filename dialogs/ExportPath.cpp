#include "ExportPath.h"

#include "FileDialog.h"
#include "MessageBox.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
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

void writeExport(QWidget *parent, const QString &title, const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return;
    const QString reason = file.errorString();
    file.cancelWriting();
    MessageBox::warning(parent, title,
                        QStringLiteral("Tabulku se nepodařilo uložit do souboru „%1“.").arg(QDir::toNativeSeparators(path)),
                        QMessageBox::Ok, reason);
}

QString askPicturePath(QWidget *parent, const QString &title, ChartFormat *format)
{
    QSettings settings(QStringLiteral("Veritek"), QStringLiteral("Kostimer"));
    const QString folder = settings.value(QStringLiteral("chartImageFolder"), QDir::homePath()).toString();
    QString path = FileDialog::saveFileName(parent, title, folder,
                                            QStringLiteral("Obrázek PNG (*.png);;Obrázek SVG (*.svg)"));
    if (path.isEmpty())
        return path;
    const QString suffix = QFileInfo(path).suffix().toLower();
    *format = suffix == QStringLiteral("svg") ? ChartFormat::Svg : ChartFormat::Png;
    if (*format == ChartFormat::Png && suffix != QStringLiteral("png"))
        path += QStringLiteral(".png");
    settings.setValue(QStringLiteral("chartImageFolder"), QFileInfo(path).absolutePath());
    return path;
}

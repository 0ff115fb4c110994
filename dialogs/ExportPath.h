#pragma once
// Where a table is saved as CSV, asked the same way everywhere: the save
// dialog opens in the folder of the last export, a name without a suffix
// gets ".csv", and the folder is remembered for the next one.

#include "PictureFile.h"

#include <QString>

class QWidget;

// The chosen path; empty when the dialog was cancelled.
QString askExportPath(QWidget *parent, const QString &title);

// The same with the choice "S řádkem záhlaví" in the dialog: it starts as
// the last export left it (with the header row the first time), and *header
// gets it, remembered for the next export, when a path was chosen.
QString askExportPath(QWidget *parent, const QString &title, bool *header);

class QByteArray;

// Writes the exported bytes to the path chosen, beside the old file and in
// its place only when complete; a failure is told with its reason.
void writeExport(QWidget *parent, const QString &title, const QString &path, const QByteArray &bytes);

// Where a chart is saved as a picture: the dialog opens in the folder of the
// last picture, and the name's suffix gives the format (PNG unless ".svg";
// ".png" is added to a name without it). Empty when cancelled.
QString askPicturePath(QWidget *parent, const QString &title, ChartFormat *format);

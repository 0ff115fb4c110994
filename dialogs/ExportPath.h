#pragma once
// Where a table is saved as CSV, asked the same way everywhere: the save
// dialog opens in the folder of the last export, a name without a suffix
// gets ".csv", and the folder is remembered for the next one.

#include <QString>

class QWidget;

// The chosen path; empty when the dialog was cancelled.
QString askExportPath(QWidget *parent, const QString &title);

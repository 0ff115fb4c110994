#pragma once
// The verbal verdicts of fifteen result types: the class of an index, the
// risk class of a waist-to-hip ratio, the origin of a bone, sex and the
// population group. A verdict is derived from the numbers of its row each time
// it is asked for and never stored; its classes and their limits are written
// in its method's row (MethodRows.h).

#include <QString>
#include <QStringList>

#include <QtGlobal>

// True when data column `column` (from 0) of a result table of `type` shows a
// verdict instead of a number.
bool isVerdictColumn(qint32 type, int column);

// The verdict shown in data column `column` of a row of a result table of
// `type`; `row` holds the row's `length` stored values. The empty text where no
// class applies (a nasal index of 58 or more, no population group) and where
// the row lacks a value the verdict reads. Not a verdict column: empty too.
QString verdictText(qint32 type, int column, const double *row, qsizetype length);

// Every text verdictText can give in that column, each once: a chain of class
// limits from its lowest class up, a two-way verdict its first class first
// (human, male), the population groups afro-American, North American,
// European. Empty for a column that is no verdict column. The empty text of
// "no class" is not among them.
QStringList verdictClasses(qint32 type, int column);

// The class limits of every verdict column of the method, as the reference
// states them; empty for a method without verdicts.
QString verdictLimits(qint32 type);

#pragma once
// The texts of the method reference: where each method stands in the context
// menu, how this program computes it, the class limits of its verdicts and the
// literature it comes from, all read off the methods' rows (MethodRows.h).
// Widget-free, so the window and the tests share it.

#include <QList>
#include <QString>
#include <QStringList>

struct MethodReferenceGroup {
    QStringList path; // the submenus from the top of the context menu
    QList<int> ids;   // the methods of that submenu, in menu order
};

// Every group in menu order; a group's methods follow its parent's earlier
// entries, as in the menu. The last group holds the methods the menu leaves out.
const QList<MethodReferenceGroup> &methodReferenceGroups();

// How the result is computed, as readable text; empty when not yet written.
QString methodFormula(int id);
// The class limits of the verdict columns; empty for a method without verdicts.
QString methodClassLimits(int id);
// The source in the literature; empty when not given.
QString methodLiterature(int id);

// The whole entry of a catalog method as rich text.
QString methodReferenceHtml(int id);
// The entry's words for the search: title, description, columns, formula, limits.
QString methodSearchText(int id);

// What the program computes from a sample beyond the catalog's methods: the
// descriptive statistics of a table, the somatotype analysis of the
// somatotype window and the measurement error of repeated measurements.
// Shown after the methods, under topicPath().
enum class ReferenceTopic { DescriptiveStatistics, SomatotypeAnalysis, MeasurementError };
const QList<ReferenceTopic> &referenceTopics();
QStringList topicPath();
QString topicTitle(ReferenceTopic topic);
// The formulas; the classes (the somatotype categories); the sources.
QString topicFormula(ReferenceTopic topic);
QString topicClassLimits(ReferenceTopic topic);
QString topicLiterature(ReferenceTopic topic);
// The whole entry as rich text, and its words for the search.
QString topicReferenceHtml(ReferenceTopic topic);
QString topicSearchText(ReferenceTopic topic);

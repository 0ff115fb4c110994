#pragma once
// The measurement table the benchmarks share: 1,000,000 rows of weight (kg),
// height (m) and eight measurements, decimal commas, about 74 MB as CSV.

#include <QString>

// Writes the table as CSV (header row first) into folder once per process and
// returns its path.
QString measurementCsv(const QString &folder, int rows = 1000000);

// The same table as a study holds it: a text column "Pohlavi" ("muz" or
// "zena") first, and 5 % of the number cells left empty.
QString studyCsv(const QString &folder, int rows = 1000000);

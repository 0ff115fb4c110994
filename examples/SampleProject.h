#pragma once
// The sample project of examples/: which methods are applied to which CSV
// file, named by the header texts of the columns that feed their inputs. The
// generator builds ukazkovy-projekt.kstx from this, and the test computes the
// same again to see that the committed file still matches.

#include "ProjectArchive.h"

#include <QString>
#include <QStringList>

#include <vector>

struct SampleMethod {
    qint32 id;
    QStringList columns; // one header text per input, in input order
};

struct SampleSource {
    QString file; // in the examples folder
    std::vector<SampleMethod> methods;
};

const std::vector<SampleSource> &sampleSources();

// Imports every file of sampleSources() from folder and applies its methods,
// each result a child of its source, in the order listed. False, with a
// message in *error, when a file cannot be read, a column is missing or a
// method refuses its columns.
bool buildSampleProject(const QString &folder, ProjectTree *roots, QString *error);

#pragma once
// Fields of number columns that were not numbers, as kostimer-cli reports
// them: how many, and the first few with their row, column and text. They
// are missing values, which a script would otherwise not know of.

#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>

class UnreadReport {
public:
    static constexpr int Listed = 5;
    // A listed field's text is quoted up to this many characters, then "…".
    static constexpr int QuotedLength = 40;

    // row counts data rows from 0; column is the table's column from 0.
    void add(qsizetype row, int column, const QString &text);
    qint64 count() const { return m_count; }

    // Writes the report to err when there is anything to report: one line with
    // the count, then one line per listed field, its column named by columnName.
    void print(std::FILE *err, const QString &fileName, const std::function<QString(int)> &columnName) const;

    // What --strict says when the report is not empty.
    static void printStrictRefusal(std::FILE *err);

private:
    struct Field {
        qsizetype row;
        int column;
        QString text;
    };
    qint64 m_count = 0;
    Field m_first[Listed];
};

#pragma once
// Shows a CSV file before it is imported: its first rows as they will read,
// each column's name and kind, and how the file was found to be written (the
// separator, the decimal mark, the encoding, whether the first row is a
// header). The user may change each of them, and the preview is read again
// after every change. A file that reads as one column although another
// separator would split it says so and offers that separator.
//
// The dialog only collects the choice; the caller reads the file with
// options(). The window reaches it through ask(), which tests answer.

#include "CsvReader.h"

#include <QByteArray>
#include <QDialog>

#include <functional>
#include <memory>

namespace Ui {
class ImportDialog;
}

class ImportDialog : public QDialog {
    Q_OBJECT

public:
    // What becomes of one file of an import.
    enum class Choice {
        Import,   // read it with options()
        Skip,     // leave it out; the other files go on
        CancelAll // import none of the files
    };

    // Rows the preview reads.
    static constexpr int previewRows = 20;

    // bytes: the file's, or its beginning when partial (a big file: the
    // encoding is then left to the whole file unless the user chooses it).
    // position and total: the file's place among the files chosen together
    // (from 1); with more than one, Cancel skips this file and "Zrušit
    // import" stops them all.
    ImportDialog(const QString &fileName, QByteArray bytes, bool partial = false, int position = 1, int total = 1,
                 QWidget *parent = nullptr);
    ~ImportDialog() override;

    // How the file is to be read: the dialect the preview shows.
    CsvReadOptions options() const;
    // The preview as read with the current choice.
    const CsvTable &preview() const { return m_preview; }
    // The separator offered for a file that reads as one column; 0 for none.
    char suggestedSeparator() const { return m_suggested; }
    // What exec() returned, as a choice.
    static Choice choiceOf(int result);

    // Shows the file at path, the position-th of total files; *options gets
    // how to read it when the answer is Import. A file that cannot be read is
    // not shown: the answer is Import, and the import names the reason.
    static Choice ask(QWidget *parent, const QString &path, int position, int total, CsvReadOptions *options);

    // Test seam. A queued answer gets the dialog of the next ask(), built and
    // read but not shown, acts on it as a user would and returns the choice.
    using Answer = std::function<Choice(ImportDialog &dialog)>;
    static void setNextAnswer(const Answer &answer);
    // While on, an ask() nobody queued an answer for imports the file as it
    // was found to be written, without a dialog: flows that import files but
    // are not about the import itself.
    static void acceptDetectedWhenUnqueued(bool accept);
    // While on (and the above off), an ask() nobody queued an answer for
    // stops the test.
    static void requireQueuedAnswers(bool required);
    static bool hasQueuedAnswer();
    static void clearQueuedAnswers();
    static int count(); // asks so far, whether answered by a test or a person
    static QString lastFileName(); // of the last ask()

private:
    // Reads the preview with the user's choices so far and shows it.
    void readPreview();
    void showDialect();
    void showSuggestion();
    void showTable();
    void showSummary();
    // Wide enough to show every column of the preview, as far as the screen allows.
    void fitToPreview();

    std::unique_ptr<Ui::ImportDialog> m_ui;
    const QByteArray m_bytes;
    const bool m_partial;
    // What the user chose; anything unset is found from the file.
    CsvReadOptions m_chosen;
    CsvTable m_preview;
    char m_suggested = 0;
};

// "5, 9, 12" of the rows' lines in the file, the first `shown` of them, then
// how many there are in all: how the preview and the import's report list
// short and long rows.
QString raggedRowLines(const QList<RaggedRow> &rows, int shown);

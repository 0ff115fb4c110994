#pragma once
// Asks which column of a table feeds each input of a method. Every data column
// is shown with its title, a drop-down list of the method's inputs and the
// first rows of the table; OK is taken only when every input has a column,
// and the warning names the inputs still without one. A text column feeds no
// input: its list offers none. A table with fewer number columns than the
// method has inputs is told at once.
//
// Each input is given a column at the start, by the first rule that finds one:
// the column of the name it had when the method was last applied (remembered
// per method); a column titled as the input, exactly, then but for case,
// diacritics and a unit in parentheses or brackets; the column whose title
// shares the most words with the input's (titleSimilarity). An input whose
// best columns score alike is left to the user, and so is a column that is
// the best of two inputs alike.
//
// Under the grid the table's other columns can be carried into a catalog
// method's result, before the method's own columns: the text columns (a name,
// the sex) are checked at the start. A column chosen as an input is not
// carried; the result has the inputs anyway.

#include <QDialog>
#include <QStringList>

#include <memory>
#include <vector>

class QAbstractItemModel;
class QSignalMapper;

namespace Ui {
class TDataWizard;
}

class TDataWizard : public QDialog {
    Q_OBJECT

public:
    explicit TDataWizard(QWidget *parent = nullptr);
    ~TDataWizard() override;

    // The table whose columns are offered; a TTableModel tells its text columns.
    void setSourceTable(const QAbstractItemModel *table);
    // A catalog method; user functions give their inputs through setInputs.
    void setFunction(int id);
    void setInputs(const QString &title, const QStringList &names, int inputCount);

    // Entry i: the data column (from 0) chosen for input i. Read after exec() gave 1.
    std::vector<int> selectedColumns() const;
    // The data columns checked to be carried into the result, in the table's
    // order; none for a user function, whose result has columns of its own.
    std::vector<int> carriedColumns() const;

    // Whether a column titled header is taken for an input called name at the
    // start: the same text, or the same but for case, diacritics and a unit
    // in parentheses or brackets ("Výška (m)" and "vyska").
    static bool namesMatch(const QString &name, const QString &header, bool exactly);
    // How alike two titles are, from 0 (no word shared) to 1: the words they
    // share over all their distinct words. Words are compared without case
    // and diacritics; a unit in parentheses or brackets is a word ("(kg)" and
    // "[kg]" are one), and two words of a Czech stem with different endings
    // are one word (see sameWord in the source).
    static double titleSimilarity(const QString &a, const QString &b);
    // The settings key under which the columns last chosen for catalog
    // method id are remembered, by their titles in input order.
    static QString rememberedMappingKey(int id);

public slots:
    void comboBoxChanged(int column);
    void aboutToAccept();
    int exec() override;

private:
    void buildGrid();
    void buildCarriedList();
    void chooseColumns();
    void fitToGrid();
    int choiceOf(int column) const;
    bool isTextColumn(int column) const;
    QString titleOf(int column) const;
    void rememberMapping() const;
    // A column chosen as an input cannot be carried: its entry is disabled.
    void updateCarriedList();

    std::unique_ptr<Ui::TDataWizard> m_ui;
    const QAbstractItemModel *m_sourceTable = nullptr;
    int m_inputCount = 0;
    QStringList m_inputNames;
    QString m_methodTitle;
    QSignalMapper *m_mapper = nullptr;
    int m_methodId = -1; // the catalog method, for its entry in the method reference
    std::vector<bool> m_textColumns; // per data column of the grid
};

#pragma once
// Asks which column of a table feeds each input of a method. Every data column
// is shown with its title, a drop-down list of the method's inputs and the
// first rows of the table; OK is taken only when every input has a column.
// A column whose title names an input is chosen for it at the start, and a
// table with fewer columns than the method has inputs is told at once.

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

    void setSourceTable(const QAbstractItemModel *table);
    // A catalog method; user functions give their inputs through setInputs.
    void setFunction(int id);
    void setInputs(const QString &title, const QStringList &names, int inputCount);

    // Entry i: the data column (from 0) chosen for input i. Read after exec() gave 1.
    std::vector<int> selectedColumns() const;

    // Whether a column titled header is taken for an input called name at the
    // start: the same text, or the same but for case, diacritics and a unit
    // in parentheses ("Výška (m)" and "vyska").
    static bool namesMatch(const QString &name, const QString &header, bool exactly);

public slots:
    void comboBoxChanged(int column);
    void aboutToAccept();
    int exec() override;

private:
    void buildGrid();
    void chooseByNames();
    void fitToGrid();
    int choiceOf(int column) const;

    std::unique_ptr<Ui::TDataWizard> m_ui;
    const QAbstractItemModel *m_sourceTable = nullptr;
    int m_inputCount = 0;
    QStringList m_inputNames;
    QString m_methodTitle;
    QSignalMapper *m_mapper = nullptr;
    int m_methodId = -1; // the catalog method, for its entry in the method reference
};

#pragma once
// Asks which column of a table feeds each input of a method. Every data column
// is shown with its title, a drop-down list of the method's inputs and the
// first rows of the table; OK is taken only when every input has a column.

#include <QDialog>
#include <QStringList>

#include <vector>

class QAbstractItemModel;
class QDialogButtonBox;
class QSignalMapper;
class QTableWidget;
class QVBoxLayout;

class TDataWizard : public QDialog {
    Q_OBJECT

public:
    explicit TDataWizard(QWidget *parent = nullptr);

    void setSourceTable(const QAbstractItemModel *table);
    // A catalog method; user functions give their inputs through setInputs.
    void setFunction(int id);
    void setInputs(const QString &title, const QStringList &names, int inputCount);

    // Entry i: the data column (from 0) chosen for input i. Read after exec() gave 1.
    std::vector<int> selectedColumns() const;

public slots:
    void comboBoxChanged(int column);
    void aboutToAccept();
    int exec() override;

private:
    void buildGrid();
    int choiceOf(int column) const;

    struct {
        QVBoxLayout *verticalLayout = nullptr;
        QTableWidget *tableWidget = nullptr;
        QDialogButtonBox *buttonBox = nullptr;
    } ui;
    const QAbstractItemModel *sourceTable = nullptr;
    int inputCount = 0;
    QStringList inputNames;
    QSignalMapper *mapper = nullptr;
    int methodId = -1; // the catalog method, for its entry in the method reference
};

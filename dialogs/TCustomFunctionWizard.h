#pragma once
// Collects the coefficients of a user function of the polynomial form,
// y = a0 + a1·x1 + a2·x2² + …: one row per coefficient, the constant member
// first, with the equation shown above them as it is typed.

#include <QDialog>
#include <QList>

#include <vector>

class QDialogButtonBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

class TCustomFunctionWizard : public QDialog {
    Q_OBJECT

public:
    explicit TCustomFunctionWizard(QWidget *parent = nullptr);

    // a0 … an as typed; text that is not a number counts as 0.
    std::vector<double> coefficients() const;
    int members() const { return memberCount; }

public slots:
    void addMember();
    void removeMember();
    virtual void updateEquation();

protected:
    // Shows "y = " and the members from the highest down, joined by " + ";
    // member r > 0 is its coefficient followed by term with %1 standing for r.
    void showEquation(const QString &term);

private:
    void addRow(int row, const QString &label);

    struct {
        QVBoxLayout *verticalLayout = nullptr;
        QLabel *equLabel = nullptr;
        QHBoxLayout *horizontalLayout = nullptr;
        QDialogButtonBox *buttonBox = nullptr;
    } ui;

protected:
    QGridLayout *memberGrid = nullptr;
    QPushButton *addMemberButton = nullptr;
    QPushButton *removeMemberButton = nullptr;
    int memberCount = 0;

private:
    QList<QLabel *> labels;
    QList<QLineEdit *> edits;
};

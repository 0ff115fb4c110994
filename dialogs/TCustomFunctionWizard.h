#pragma once
// Collects the coefficients of a user function of the polynomial form,
// y = a0 + a1·x1 + a2·x2² + …: one row per coefficient, the constant member
// first, with the equation shown above them as it is typed.

#include <QDialog>
#include <QList>

#include <memory>
#include <vector>

class QLabel;
class QLineEdit;

namespace Ui {
class TCustomFunctionWizard;
}

class TCustomFunctionWizard : public QDialog {
    Q_OBJECT

public:
    explicit TCustomFunctionWizard(QWidget *parent = nullptr);
    ~TCustomFunctionWizard() override;

    // a0 … an as typed; text that is not a number counts as 0.
    std::vector<double> coefficients() const;
    int members() const { return m_memberCount; }

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
    void placeButtons(int row);

    std::unique_ptr<Ui::TCustomFunctionWizard> m_ui;
    int m_memberCount = 0;
    QList<QLabel *> m_labels;
    QList<QLineEdit *> m_edits;
};

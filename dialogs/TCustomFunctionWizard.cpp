#include "TCustomFunctionWizard.h"

#include "NumberReader.h"
#include "NumberValidator.h"
#include "ui_TCustomFunctionWizard.h"

#include <QLabel>
#include <QLineEdit>

TCustomFunctionWizard::TCustomFunctionWizard(QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::TCustomFunctionWizard>())
{
    m_ui->setupUi(this);
    addRow(0, QStringLiteral("Konstantní člen"));
    placeButtons(0);
    m_memberCount = 1;
    TCustomFunctionWizard::updateEquation();
    connect(m_ui->removeMemberButton, &QPushButton::clicked, this, &TCustomFunctionWizard::removeMember);
    connect(m_ui->addMemberButton, &QPushButton::clicked, this, &TCustomFunctionWizard::addMember);
}

TCustomFunctionWizard::~TCustomFunctionWizard() = default;

void TCustomFunctionWizard::addRow(int row, const QString &text)
{
    auto *label = new QLabel(text, this);
    auto *edit = new QLineEdit(QStringLiteral("1"), this);
    edit->setValidator(new NumberValidator(edit));
    // Every member, the constant one too, shows in the equation as it is typed.
    connect(edit, &QLineEdit::textChanged, this, &TCustomFunctionWizard::updateEquation);
    m_ui->memberGrid->addWidget(label, row, 0);
    m_ui->memberGrid->addWidget(edit, row, 1);
    m_labels.append(label);
    m_edits.append(edit);
}

void TCustomFunctionWizard::addMember()
{
    const int row = m_memberCount;
    addRow(row, QStringLiteral("%1. koeficient").arg(row));
    placeButtons(row);
    ++m_memberCount;
    updateEquation();
}

void TCustomFunctionWizard::removeMember()
{
    if (m_memberCount <= 1)
        return; // the constant member stays
    const int row = --m_memberCount;
    delete m_labels.takeLast();
    delete m_edits.takeLast();
    placeButtons(row - 1);
    updateEquation();
}

void TCustomFunctionWizard::placeButtons(int row)
{
    // Beside the last member; the constant member alone cannot be removed.
    QGridLayout *grid = m_ui->memberGrid;
    grid->removeWidget(m_ui->addMemberButton);
    grid->addWidget(m_ui->addMemberButton, row, 2);
    grid->removeWidget(m_ui->removeMemberButton);
    grid->addWidget(m_ui->removeMemberButton, row, 3);
    m_ui->removeMemberButton->setVisible(row > 0);
}

void TCustomFunctionWizard::updateEquation()
{
    showEquation(QStringLiteral("x<sup>%1</sup>"));
}

void TCustomFunctionWizard::showEquation(const QString &term)
{
    QStringList members;
    for (int r = m_memberCount - 1; r >= 0; --r) {
        // Typed text is shown as text, never read as markup.
        QString member = m_edits.value(r) ? m_edits.value(r)->text().toHtmlEscaped() : QString();
        if (r > 0)
            member += term.arg(r);
        members.append(member);
    }
    m_ui->equLabel->setText(QStringLiteral("y = ") + members.join(QStringLiteral(" + ")));
}

std::vector<double> TCustomFunctionWizard::coefficients() const
{
    const NumberReader numbers;
    std::vector<double> values;
    for (int r = 0; r < m_memberCount; ++r)
        values.push_back(m_edits.value(r) ? numbers.readText(m_edits.value(r)->text().trimmed()) : 0.0);
    return values;
}

#include "TCustomFunctionWizard.h"

#include "NumberReader.h"
#include "NumberValidator.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

TCustomFunctionWizard::TCustomFunctionWizard(QWidget *parent)
    : QDialog(parent)
{
    memberGrid = new QGridLayout();
    addMemberButton = new QPushButton(QString::fromUtf8("Přidat další člen"), this);
    removeMemberButton = new QPushButton(QString::fromUtf8("Odebrat tento člen"), this);
    addMemberButton->setAutoDefault(false);
    removeMemberButton->setAutoDefault(false);

    setObjectName(QStringLiteral("TCustomFunctionWizard"));
    resize(400, 300);
    QPalette white = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        white.setColor(group, QPalette::Window, QColor(255, 255, 255));
        white.setColor(group, QPalette::Base, QColor(255, 255, 255));
    }
    setPalette(white);
    setWindowTitle(QString::fromUtf8("Vlastní funkce"));
    ui.verticalLayout = new QVBoxLayout(this);
    ui.verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    ui.equLabel = new QLabel(QStringLiteral("text"), this);
    ui.equLabel->setObjectName(QStringLiteral("equLabel"));
    QFont font = ui.equLabel->font();
    font.setPointSize(11);
    ui.equLabel->setFont(font);
    ui.equLabel->setWordWrap(true);
    ui.equLabel->setTextFormat(Qt::RichText);
    ui.verticalLayout->addWidget(ui.equLabel);
    ui.verticalLayout->addItem(new QSpacerItem(20, 10, QSizePolicy::Minimum, QSizePolicy::Fixed));
    ui.verticalLayout->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));
    ui.horizontalLayout = new QHBoxLayout();
    ui.horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    ui.buttonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this);
    ui.buttonBox->setObjectName(QStringLiteral("buttonBox"));
    ui.horizontalLayout->addWidget(ui.buttonBox);
    ui.horizontalLayout->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    ui.verticalLayout->addLayout(ui.horizontalLayout);
    connect(ui.buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui.buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    ui.verticalLayout->insertLayout(2, memberGrid, 1);
    addRow(0, QString::fromUtf8("Konstantní člen"));
    memberGrid->addWidget(addMemberButton, 0, 2);
    memberGrid->addWidget(removeMemberButton, 0, 3);
    removeMemberButton->hide();
    memberCount = 1;
    TCustomFunctionWizard::updateEquation();
    connect(removeMemberButton, &QPushButton::clicked, this, &TCustomFunctionWizard::removeMember);
    connect(addMemberButton, &QPushButton::clicked, this, &TCustomFunctionWizard::addMember);
}

void TCustomFunctionWizard::addRow(int row, const QString &text)
{
    auto *label = new QLabel(text, this);
    auto *edit = new QLineEdit(QStringLiteral("1"), this);
    edit->setValidator(new NumberValidator(edit));
    // Every member, the constant one too, shows in the equation as it is typed.
    connect(edit, &QLineEdit::textChanged, this, &TCustomFunctionWizard::updateEquation);
    memberGrid->addWidget(label, row, 0);
    memberGrid->addWidget(edit, row, 1);
    labels.append(label);
    edits.append(edit);
}

void TCustomFunctionWizard::addMember()
{
    const int row = memberCount;
    addRow(row, QStringLiteral("%1. koeficient").arg(row));
    memberGrid->removeWidget(addMemberButton);
    memberGrid->addWidget(addMemberButton, row, 2);
    memberGrid->removeWidget(removeMemberButton);
    memberGrid->addWidget(removeMemberButton, row, 3);
    removeMemberButton->show();
    ++memberCount;
    updateEquation();
}

void TCustomFunctionWizard::removeMember()
{
    if (memberCount <= 1)
        return; // the constant member stays
    const int row = --memberCount;
    QLabel *label = labels.takeLast();
    QLineEdit *edit = edits.takeLast();
    memberGrid->removeWidget(label);
    memberGrid->removeWidget(edit);
    delete label;
    delete edit;
    memberGrid->removeWidget(addMemberButton);
    memberGrid->addWidget(addMemberButton, row - 1, 2);
    memberGrid->removeWidget(removeMemberButton);
    if (memberCount > 1) {
        memberGrid->addWidget(removeMemberButton, row - 1, 3);
        removeMemberButton->show();
    } else {
        memberGrid->addWidget(removeMemberButton, 0, 3);
        removeMemberButton->hide();
    }
    updateEquation();
}

void TCustomFunctionWizard::updateEquation()
{
    showEquation(QStringLiteral("x<sup>%1</sup>"));
}

void TCustomFunctionWizard::showEquation(const QString &term)
{
    QStringList members;
    for (int r = memberCount - 1; r >= 0; --r) {
        // Typed text is shown as text, never read as markup.
        QString member = edits.value(r) ? edits.value(r)->text().toHtmlEscaped() : QString();
        if (r > 0)
            member += term.arg(r);
        members.append(member);
    }
    ui.equLabel->setText(QStringLiteral("y = ") + members.join(QStringLiteral(" + ")));
}

std::vector<double> TCustomFunctionWizard::coefficients() const
{
    const NumberReader numbers;
    std::vector<double> values;
    for (int r = 0; r < memberCount; ++r)
        values.push_back(edits.value(r) ? numbers.readText(edits.value(r)->text().trimmed()) : 0.0);
    return values;
}

#include "TExponencialFunctionWizard.h"

TExponencialFunctionWizard::TExponencialFunctionWizard(QWidget *parent)
    : TCustomFunctionWizard(parent)
{
    // The base built its text with the polynomial form; with one member both
    // forms read the same.
}

void TExponencialFunctionWizard::updateEquation()
{
    showEquation(QStringLiteral("e<sup>x%1</sup>"));
}

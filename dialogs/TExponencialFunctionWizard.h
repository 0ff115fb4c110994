#pragma once
// The exponential form of a user function, y = a0 + a1·e^x1 + a2·e^(2·x2) + …:
// the same rows as the polynomial form, another equation.

#include "TCustomFunctionWizard.h"

class TExponencialFunctionWizard : public TCustomFunctionWizard {
    Q_OBJECT

public:
    explicit TExponencialFunctionWizard(QWidget *parent = nullptr);

public slots:
    void updateEquation() override;
};

#pragma once
// The analysis tabs of the results window: "Balance", "Distribution" and
// "Dose" with their lists and controls (their contents come with the mass
// balance and distribution views), and "Check", the results check.
#include <array>

#include "views/resultstab.h"

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QButtonGroup;

namespace velmora {

class TBalanceTab : public Tresultstab {
public:
    TBalanceTab(Tworkspace& ws, std::function<void()> refresh, QWidget* parent = nullptr);
    Tanalyze update(const Tresultsstate& state) override;
    void clear() override;
    Tgrid* grid() const override { return BalanceStringGrid; }

    QComboBox* BalanceComboBox = nullptr;
    QCheckBox* NetFlowsCheckBox = nullptr;
    Tgrid* BalanceStringGrid = nullptr;
};

// "Distribution" (twelve compartment buttons) and "Dose" (eight route
// buttons) share their look: a list, a row of buttons, "Indicators".
class TBreakdownTab : public Tresultstab {
public:
    // dose: the Dose tab, else the Distribution tab.
    TBreakdownTab(Tworkspace& ws, bool dose, std::function<void()> refresh,
                  QWidget* parent = nullptr);
    Tanalyze update(const Tresultsstate& state) override;
    void clear() override;

    QComboBox* ComboBox = nullptr;
    std::vector<QPushButton*> Buttons;
    QButtonGroup* IndicatorsGroup = nullptr;
};

class TCheckTab : public Tresultstab {
public:
    TCheckTab(Tworkspace& ws, std::function<void()> refresh, QWidget* parent = nullptr);
    Tanalyze update(const Tresultsstate& state) override;
    void clear() override;

    QPlainTextEdit* CheckMemo = nullptr;
    QCheckBox* UnusedCheckBox = nullptr;
    QCheckBox* NegativeCheckBox = nullptr;

private:
    Tworkspace& ws_;
};

} // namespace velmora

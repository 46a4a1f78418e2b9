#pragma once
// The analysis tabs of the results window: "Balance", the mass balance of
// one regcomp, "Distribution" and "Dose" (resultsbreakdowntabs.h), and
// "Check", the results check.
#include "views/resultsbreakdowntabs.h"
#include "views/resultstab.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;

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
    // Why the grid is empty (no concentrations to balance); hidden otherwise.
    QLabel* NoteLabel = nullptr;

private:
    Tworkspace& ws_;
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

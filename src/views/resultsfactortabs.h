#pragma once
// The factor tabs of the results window: "Factors" (one factor matrix in
// Factors mode, the characterisation factors otherwise) and "All factors"
// (the regcomps an all-factors run fills). What these tabs compute beyond
// listing stored values comes with the factor views and the all-factors run.
#include "views/resultstab.h"

class QComboBox;
class QPushButton;

namespace velmora {

class Tnummatrix;

class TFactorsTab : public Tresultstab {
public:
    TFactorsTab(Tworkspace& ws, const Tprograminfo& program, std::function<void()> refresh,
                QWidget* parent = nullptr);
    Tanalyze update(const Tresultsstate& state) override;
    void clear() override;
    Tgrid* grid() const override { return FactorsStringGrid; }
    // The factor matrix the selected item names (Factors mode only).
    const Tnummatrix* selectedmatrix() const;

    QComboBox* FactorsComboBox = nullptr;
    QPushButton* FactorsButton = nullptr;
    Tgrid* FactorsStringGrid = nullptr;

private:
    void FactorsButtonClick();
    Tworkspace& ws_;
    Tprograminfo program_;
};

class TAllFactorsTab : public Tresultstab {
public:
    TAllFactorsTab(Tworkspace& ws, std::function<void()> refresh, QWidget* parent = nullptr);
    Tanalyze update(const Tresultsstate& state) override;
    void clear() override;
    Tgrid* grid() const override { return AllFactorsStringGrid; }

    QComboBox* AllFactorsComboBox = nullptr;
    QPushButton* AllFactorsButton = nullptr;
    Tgrid* AllFactorsStringGrid = nullptr;

private:
    Tworkspace& ws_;
};

} // namespace velmora

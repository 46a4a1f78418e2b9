#pragma once
// The factor tabs of the results window: "Factors" (one factor matrix in
// Factors mode, the characterisation factors otherwise) and "All factors"
// (the regcomps an all-factors run fills, and the run itself).
#include <map>
#include <string>
#include <vector>

#include "compute/allfactors.h"
#include "views/resultstab.h"

class QComboBox;
class QLabel;
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
    // Why the grid is empty; hidden otherwise.
    QLabel* NoteLabel = nullptr;
    Tgrid* FactorsStringGrid = nullptr;

private:
    void FactorsButtonClick();
    Tworkspace& ws_;
    Tprograminfo program_;
};

class TAllFactorsForm;

class TAllFactorsTab : public Tresultstab {
public:
    TAllFactorsTab(Tworkspace& ws, std::function<void()> refresh, QWidget* parent = nullptr);
    Tanalyze update(const Tresultsstate& state) override;
    void clear() override;
    Tgrid* grid() const override { return AllFactorsStringGrid; }
    bool storedvalue(int c, int r, float& x) const override;

    // "Start ...": the dialog, then the run over the boxes chosen there
    // under one progress window, the grid filled, the end sound.
    void AllFactorsButtonClick();
    // Called with the dialog before it is shown modally (tests answer it
    // here); by default nothing.
    std::function<void(TAllFactorsForm&)> beforedialog;
    // What the last run computed, by regcomp; kept until the next run or
    // until the model it was computed for changes.
    const std::map<std::uint32_t, Tallfactorsrow>& factors() const { return factors_; }

    QComboBox* AllFactorsComboBox = nullptr;
    QPushButton* AllFactorsButton = nullptr;
    Tgrid* AllFactorsStringGrid = nullptr;

private:
    // What the factors belong to: substance, reference and environment.
    std::string modelkey() const;
    bool potential() const;

    Tworkspace& ws_;
    bool oecdonly_ = false;
    std::map<std::uint32_t, Tallfactorsrow> factors_;
    std::string factorskey_;
    // The regcomp of each grid row (row 1 first).
    std::vector<std::uint32_t> rowregcomps_;
};

} // namespace velmora

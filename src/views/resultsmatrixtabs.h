#pragma once
// The tabs of the results window that show one chosen matrix or vector:
// "Borders and flows" (a region-pair parameter) and "Equations" (the
// regcomp system), each with its "&Variable" list and "&Chart ...".
#include "views/resultstab.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace velmora {

class Tnumparss;
class Tnumpars;

class TBordersTab : public Tresultstab {
public:
    TBordersTab(Tworkspace& ws, const Tprograminfo& program, std::function<void()> refresh,
                QWidget* parent = nullptr);
    Tanalyze update(const Tresultsstate& state) override;
    void clear() override;
    Tgrid* grid() const override { return BordersStringGrid; }
    // The pair parameter the selected item names.
    const Tnumparss* selected() const;

    QComboBox* BordersComboBox = nullptr;
    QPushButton* BordersButton = nullptr;
    Tgrid* BordersStringGrid = nullptr;

private:
    void BordersButtonClick();
    Tworkspace& ws_;
    Tprograminfo program_;
    std::vector<const Tnumparss*> items_;
};

class TEquationsTab : public Tresultstab {
public:
    TEquationsTab(Tworkspace& ws, const Tprograminfo& program, std::function<void()> refresh,
                  QWidget* parent = nullptr);
    Tanalyze update(const Tresultsstate& state) override;
    void clear() override;
    Tgrid* grid() const override { return EquationsStringGrid; }

    QComboBox* EquationsComboBox = nullptr;
    QPushButton* EquationsButton = nullptr;
    Tgrid* EquationsStringGrid = nullptr;

private:
    void EquationsButtonClick();
    // The matrix or vector the selected item names; both null for "meaning".
    const Tnumparss* selectedmatrix() const;
    const Tnumpars* selectedvector() const;
    Tworkspace& ws_;
    Tprograminfo program_;
};

} // namespace velmora

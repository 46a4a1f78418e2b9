#pragma once
// The plain tabs of the results window: one row per region (or one "All"
// row of scalars when "Regionalized" is "&No") and one column per result.
#include <memory>
#include <vector>

#include "views/resultstab.h"

namespace velmora {

class Tnumpar;
class Tnumpars;

// The columns of one regional tab, by result name.
struct Tregionalcolumns {
    std::vector<const char*> regional; // AddRegionalColumn, in order
    std::vector<const char*> percent;  // then AddPercentColumn
    bool distances = false;            // then DISTANCEreg and NBORDERSreg by their settings
    std::vector<const char*> scalars;  // under "&No"
    bool emissiondependent = false;    // changes with the emission
};

class Tregionaltab : public Tresultstab {
public:
    // Raises EInvalidArgument when a name is no result of the workspace.
    Tregionaltab(const QString& caption, const QString& gridname, const Tworkspace& ws,
                 const Tregionalcolumns& columns, QWidget* parent = nullptr);

    Tanalyze update(const Tresultsstate& state) override;
    void clear() override;
    Tgrid* grid() const override { return grid_; }
    bool storedvalue(int c, int r, float& x) const override;

private:
    struct Tshowncolumn {
        const Tnumpars* p;
        bool percent;
    };
    const Tworkspace& ws_;
    Tgrid* grid_;
    // The data columns of the last regional update, in grid order; empty
    // under "&No" and after a stale update, whose cells stand for no value.
    std::vector<Tshowncolumn> shown_;
    std::vector<const Tnumpars*> regional_;
    std::vector<const Tnumpars*> percent_;
    std::vector<const Tnumpar*> scalars_;
    bool distances_;
    bool emissiondependent_;
    const Tnumpars* DISTANCEreg_;
    const Tnumpars* NBORDERSreg_;
};

// The seven regional tabs in window order: "Environment characteristics",
// "Dimensional parameters", "Distributional parameters", "Substance
// properties", "Intermedia transfer parameters", "Concentrations", "Effect".
enum class Tregionalkind {
    environment,
    dimensional,
    distributional,
    substance,
    intermedia,
    concentrations,
    effect
};
std::unique_ptr<Tregionaltab> makeregionaltab(Tregionalkind kind, const Tworkspace& ws);

// The result columns of a regional tab (for its tests as much as for it).
const Tregionalcolumns& regionalcolumns(Tregionalkind kind);

} // namespace velmora

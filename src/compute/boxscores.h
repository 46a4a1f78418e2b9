#pragma once
// The integrated impact scores of an emission into any one box, from the
// concentrations it causes, without a calculation of every result: what
// the all-factors run needs of each box. The exposure and risk stages and
// this scorer share their arithmetic (exposuremath.h), so a box scores
// exactly what its calculation would give.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "compute/exposuremath.h"
#include "compute/model.h"

namespace velmora {

// The effect categories in the order of the reference values: river, lake,
// salt lake, sea water, soil, human non-carcinogenic, human carcinogenic.
constexpr std::size_t ncategories = 7;

// The effect parameter that enables category c, whether the category covers
// land regions (else seas), and the weights of a region in its world
// average (read with get).
Tnumpar& categoryeffect(Tmodel& model, std::size_t c);
bool categorycoversland(Tmodel& model, std::size_t c);
exposuremath::Tweights categoryweights(Tmodel& model, std::size_t c, std::uint32_t region);

// The characterisation factor of an integrated score against its reference
// value; false when the reference is 0 (the reference has no such effect)
// or the score is unknown.
bool characterisationfactor(float score, bool scoreknown, float reference, float& factor);

// The fourteen integrated scores of one emission in reference order
// (IPICRtox_ river .. humcarc, then IAICRtox_), and whether each is known.
struct Tboxscores {
    std::array<float, 2 * ncategories> values{};
    std::array<bool, 2 * ncategories> known{};
};

class Tboxscorer {
public:
    // Reads every factor, weight and trade figure of the current
    // environment and substance with get, as a calculation would. Raises
    // the calculation's error where the substance makes one impossible
    // (no oral uptake).
    explicit Tboxscorer(Tmodel& model);
    // conc: the concentration of each regcomp 1..n (index 0 unused) as the
    // solve leaves them in CONC.
    Tboxscores scores(const std::vector<float>& conc) const;

private:
    struct Tfood {
        float P = 0, X = 0, M = 0; // production, export, import
        float T = 0;                // supply P - X + M
        float R = 0, H = 0;        // re-export and intake, read when T and BW are not 0
        float exported = 0;         // the weight of the region in the world market
    };
    struct Tland {
        std::uint32_t region = 0;
        Tfoodfactors food;
        extended BW = 0, inhalation = 0, IHdrw = 0, IHseafish = 0;
        std::array<Tfood, 5> foods; // leaf crops, root crops, freshwater fish, meat, dairy
        extended Vnat = 0, Vagr = 0, Vurb = 0;
    };
    struct Tsea {
        std::uint32_t region = 0;
        extended fishfactor = 0, metalfactor = 1;
        float caught = 0;
    };
    struct Tcategory {
        bool enabled = false;
        bool land = true;
        float effect = 0;
        std::vector<exposuremath::Tweights> weights; // per land or sea entry
    };

    std::uint32_t n_;
    bool metal_;
    std::vector<Tland> lands_;
    std::vector<Tsea> seas_;
    std::array<Tcategory, ncategories> categories_;
};

} // namespace velmora

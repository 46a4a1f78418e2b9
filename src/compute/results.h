#pragma once
// The results: every quantity the model derives from the environment, the
// substance and the emission, as parameter objects in catalogue order.
#include <string>
#include <variant>
#include <vector>

#include "compute/resultscatalogue.h"
#include "model/parameters.h"

namespace velmora {

class Tregions;
class Tsub;

enum class Tstage { landscape, partitioning, degradation, transfer, flows, exposure, risk };

using Tresultparameter = std::variant<Tnumpar*, Tnumpars*, Tnumparss*>;

struct Tresultentry {
    Tresultparameter parameter;
    Tstage stage;
    const std::string& name() const;
    const std::string& unit() const;
};

class Tresults {
    Tmodelcontext* context_;
    const Tregions* regions_;

public:
    Tresults(Tmodelcontext& context, const Tregions& regions, const Tsub& sub);
    Tresults(const Tresults&) = delete;
    Tresults& operator=(const Tresults&) = delete;

#define VELMORA_RESULT_MEMBER_numpar Tnumpar
#define VELMORA_RESULT_MEMBER_numpars Tnumpars
#define VELMORA_RESULT_MEMBER_numparss Tnumparss
#define VELMORA_RESULT_DECLARE(member, text, kind, unit, stage) VELMORA_RESULT_MEMBER_##kind member;
    VELMORA_RESULTS_CATALOGUE(VELMORA_RESULT_DECLARE)
#undef VELMORA_RESULT_DECLARE

    const std::vector<Tresultentry>& catalogue() const {
        return catalogue_;
    }
    const Tresultentry* find(const std::string& name) const;

    void clear();
    // Check lines for unused and negative results, then "MSR = <msr>".
    void check(std::vector<std::string>& lines, bool unused, bool negative, float msr);

private:
    std::vector<Tresultentry> catalogue_;
};

} // namespace velmora

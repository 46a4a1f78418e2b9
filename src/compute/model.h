#pragma once
// The model objects a calculation reads and writes, gathered so the stages
// can be handed one argument.
#include "compute/results.h"
#include "model/emission.h"
#include "model/environment.h"
#include "model/regcomps.h"
#include "model/regions.h"
#include "model/substance.h"

namespace velmora {

struct Tmodel {
    Tmodelcontext& context;
    const Tregions& regions;
    Tenv& env;
    const Tcompartments& compartments;
    Tregcomps& regcomps;
    Tsub& sub;
    Temi& emi;
    Tresults& results;
    Tref& ref;

    Tsettings& settings() const { return context.settings; }
    Tuiservice& ui() const { return context.ui; }
};

} // namespace velmora

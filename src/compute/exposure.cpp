// Not written yet.
#include "compute/calculation.h"

namespace velmora {

void computereexports(Tmodel&) {}
void computeconcentrations(Tmodel&) {}
void computedoses(Tmodel&) {}
void computeintakes(Tmodel&) {}

} // namespace velmora

// Not written yet.
#include "compute/calculation.h"

namespace velmora {

bool solvesystem(Tmodel&, bool) { return false; }

} // namespace velmora

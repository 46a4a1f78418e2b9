// Not written yet.
#include "compute/calculation.h"

namespace velmora {

void computepartitioning(Tmodel&) {}

} // namespace velmora

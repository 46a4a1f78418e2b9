// Not written yet.
#include "compute/calculation.h"

namespace velmora {

void computeflows(Tmodel&) {}

} // namespace velmora

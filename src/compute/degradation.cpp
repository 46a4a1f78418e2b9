// Not written yet.
#include "compute/calculation.h"

namespace velmora {

void computedegradation(Tmodel&) {}

} // namespace velmora

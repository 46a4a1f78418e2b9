// Not written yet.
#include "compute/calculation.h"

namespace velmora {

void computelandscape(Tmodel&) {}

} // namespace velmora

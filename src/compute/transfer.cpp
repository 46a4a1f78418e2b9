// Not written yet.
#include "compute/calculation.h"

namespace velmora {

void computetransfer(Tmodel&) {}

} // namespace velmora

// Not written yet.
#include "compute/calculation.h"

namespace velmora {

void computeriskratios(Tmodel&) {}
void computeimpactscores(Tmodel&) {}

} // namespace velmora

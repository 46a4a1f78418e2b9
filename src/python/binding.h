#pragma once
// What the parts of the Python module share.
#include <pybind11/pybind11.h>

#include "python/session.h"

namespace velmora::python {

// The warnings of the world so far, as Python warnings (VelmoraWarning).
void tellwarnings(Tsession& session);

// The dynamic runs and the exposure of a state in time.
void binddynamic(pybind11::class_<Tsession>& session);

} // namespace velmora::python

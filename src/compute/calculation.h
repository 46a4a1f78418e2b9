#pragma once
// The one entry into the computation: the model-parameter stages when the
// environment or the substance changed, the system solve, then exposure and
// risk for the current emission.
#include <string>
#include <utility>
#include <vector>

#include "compute/model.h"

namespace velmora {

// Seconds spent in each step of a calculation, in order.
using Ttimings = std::vector<std::pair<std::string, double>>;

void calculate(Tmodel& model, bool useinversion, Ttimings* timings = nullptr);

// The stages, in the order the calculation runs them. Each lives in its own
// source file, one function per result or small group of results.
void computelandscape(Tmodel& model);    // landscape dimensions and region geometry
void computepartitioning(Tmodel& model); // partitioning, speciation, bioconcentration
void computedegradation(Tmodel& model);  // half-lives, rate constants, purification
void computereexports(Tmodel& model);    // food re-exports
void computetransfer(Tmodel& model);     // intermedia transfer, sediment balance
void computeflows(Tmodel& model);        // advective and diffusive flows
// Builds the system matrix and solves it for the emission (or inverts it);
// false when the matrix is singular.
bool solvesystem(Tmodel& model, bool useinversion);
void computeconcentrations(Tmodel& model); // environment, food and drinking water
void computedoses(Tmodel& model);          // doses per route
void computeriskratios(Tmodel& model);     // risk characterisation ratios
void computeintakes(Tmodel& model);        // intakes and intake fractions
void computeimpactscores(Tmodel& model);   // impact scores, characterisation factors, distances

} // namespace velmora

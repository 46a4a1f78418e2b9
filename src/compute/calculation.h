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

// False when the system matrix was singular (the user has been warned).
// With a progress window the steps show in it; without one the calculation
// opens its own.
bool calculate(Tmodel& model, bool useinversion, Ttimings* timings = nullptr,
               Tprogress* progress = nullptr);
// The same, for a caller that changed only the substance since the last
// calculation: with keeplandscape the landscape stage keeps its results,
// which read nothing but the environment and the settings.
bool calculate(Tmodel& model, bool useinversion, Ttimings* timings, Tprogress* progress,
               bool keeplandscape);

// The stages, in the order the calculation runs them. Each lives in its own
// source file, one function per result or small group of results.
void computelandscape(Tmodel& model);    // landscape dimensions and region geometry
void computepartitioning(Tmodel& model); // partitioning, speciation, bioconcentration
void computedegradation(Tmodel& model);  // half-lives, rate constants, purification
// Food re-exports of one region: the degradation stage computes them in its
// soil half-life loop.
void computereexports(Tmodel& model, std::uint32_t region, bool land);
void computetransfer(Tmodel& model);     // intermedia transfer, sediment balance
void computeflows(Tmodel& model);        // advective and diffusive flows
// Builds the system matrix and solves it for the emission (or inverts it);
// false when the matrix is singular. The steps show in the given progress
// window; without one the solve opens its own.
bool solvesystem(Tmodel& model, bool useinversion, Tprogress& progress);
bool solvesystem(Tmodel& model, bool useinversion);
// Whether the concentrations conc (regcomps 1..n, index 0 unused) that the
// emissions emis cause are those of a steady state, or of a system that
// removes (almost) nothing: concentrations of both signs, losses short of the
// emission, or an exchange between the regcomps too large against the loss to
// tell the balance from rounding.
enum class Tsteadystate { found, negative, unbalanced, unresolved };
struct Tsteadystatecheck {
    Tsteadystate state = Tsteadystate::found;
    long double exchange = 0; // passed between regcomps over lost, per second
};
Tsteadystatecheck steadystate(const Tregcomps& regcomps, const std::vector<float>& emis,
                              const std::vector<float>& conc);
void computeconcentrations(Tmodel& model); // environment, food and drinking water
void computedoses(Tmodel& model);          // doses per route
void computeriskratios(Tmodel& model);     // risk characterisation ratios
void computeintakes(Tmodel& model);        // intakes and intake fractions
void computeimpactscores(Tmodel& model);   // impact scores, characterisation factors, distances

// The region-pair rules of the landscape stage, used again by the risk stage
// for the pairs with the emitting region.
// Distance in metres between the centres of regions i and j on the earth
// ellipsoid; every latitude and longitude is read with get.
float regiondistance(Tmodel& model, std::uint32_t i, std::uint32_t j);
// Smallest number of border crossings (1..8) that lead from region i to
// region j, 9 when it takes more or no chain exists; every border length it
// looks at is read with get.
float bordercount(Tmodel& model, std::uint32_t i, std::uint32_t j);

// A per-person intake (IH_ of the environment) of region i. The import hides
// the intakes of a region without population; nobody there takes anything
// in, so a hidden intake counts as 0 instead of warning at every calculation
// for every uninhabited region.
extended personintake(Tnumpars& intake, std::uint32_t i);

} // namespace velmora

#pragma once
// Exposure and effects of a state in time: the concentration, dose and risk
// stages of the calculation, run on the concentrations of given masses.
#include <functional>
#include <string>
#include <vector>

namespace velmora {

struct Tmodel;

// Sets the concentrations of the masses (kg per regcomp, index k - 1), runs
// the stages that derive food concentrations, doses, intakes and risk
// ratios from them, calls look, and puts back every result of those stages
// and the concentrations as they were, whatever look does.
void withstate(Tmodel& m, const std::vector<double>& mass, const std::function<void()>& look);

// The results that withstate makes meaningful for a state in time: the
// concentrations, doses and risk ratios per region and the intakes, world
// food averages and integrated risk scores. Left out are what divides by
// the one emission amount of the steady state (intake fractions) or
// compares with the reference (characterisation factors, shares).
std::vector<std::string> stateresultnames(const Tmodel& m, bool perregion);

} // namespace velmora

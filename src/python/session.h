#pragma once
// One model world for the Python module: a workspace started as the
// program starts (start-up substance, its calculation, the reference), and
// the menu actions a script makes on it, with every value read back by
// name. Plain C++; the module only turns its answers into Python objects.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/workspace.h"
#include "compute/allfactors.h"
#include "compute/analysis.h"
#include "numeric/uiservice.h"

namespace velmora::python {

// The user-interface service of a script: warnings are kept for the script
// to fetch, the edit dialog answers with what the script gave, progress
// shows nothing, and a stop request is whatever the script set.
class Tscriptui : public Tuiservice {
public:
    void warn(const std::string& text) override { warnings.push_back(text); }
    std::unique_ptr<Tprogress> progress() override { return std::make_unique<Tsilentprogress>(); }
    bool editparameter(Teditrequest& request) override;
    bool stoprequested() override { return false; }

    std::vector<std::string> warnings;
    // The answer of the next edit dialog: a value text, or none for
    // "Unknown". Used once; asked tells that the dialog was shown.
    bool answering = false;
    std::optional<std::string> answer;
    bool asked = false;
};

// The workbooks and aggregation of a world; empty file names take those
// beside the program (directory).
struct Tworldoptions {
    std::string directory;
    std::string parameters, borders, substances;
    int level = 0;
    std::string group;
};

// What a parameter holds, read without get (nothing marked used, nothing
// warned): kind "scalar", "region" (per region), "pair" (per ordered region
// pair) or "regcomp"; numbers for reals, texts for texts and booleans
// ("TRUE"/"FALSE"); one status letter per value. Values are in row order.
struct Tvalues {
    std::string name, unit, kind, owner; // owner: results, environment, substance, emission
    bool numeric = true;
    std::uint32_t rows = 1, cols = 1;
    std::vector<float> numbers;
    std::vector<std::string> texts;
    std::string statuses;
};

// The factor rows of an all-factors run: one per box that was computed.
struct Tfactortable {
    std::vector<std::uint32_t> regcomps;
    std::vector<float> values;  // 14 per row: CFtoxpot_ river..humcarc, CFtoxact_ river..humcarc
    std::vector<std::uint8_t> known;
    bool cancelled = false;
};

class Tsession {
public:
    explicit Tsession(const Tworldoptions& options);
    Tsession(const Tsession&) = delete;
    Tsession& operator=(const Tsession&) = delete;

    Tscriptui ui;
    Tworkspace ws;

    std::vector<std::string> takewarnings();

    // ---- the world ----
    std::vector<std::string> substancenames();
    std::uint32_t region(const std::string& name) const;     // error when unknown
    std::uint32_t compartment(const std::string& name) const; // name or abbreviation
    std::uint32_t regcomp(const std::string& region, const std::string& compartment) const;

    // ---- the menu actions ----
    void opensubstance(const std::string& name);
    void setemission(const std::string& region, const std::string& compartment);
    // Opens the substance, puts the emission there, calculates and takes the
    // reference; then the substance and emission before are back.
    void setreference(const std::string& substance, const std::string& region,
                      const std::string& compartment);
    void takereference();
    void clearreference();
    void setsetting(const std::string& name, double value);
    double setting(const std::string& name) const;
    // Concentration or Factors mode; raises the program's message when the
    // system matrix is singular.
    void calculate(bool factors, bool useinversion);
    // Edits a parameter of the environment, the substance or the emission as
    // the edit dialog does: value text (as typed), none for "Unknown";
    // region 0 for all regions. Raises what the program refuses.
    void edit(const std::string& name, const std::optional<std::string>& value,
              std::uint32_t region);

    // ---- reading ----
    // The parameter of that name of the owner (results, environment,
    // substance, emission or regcomps); without one, the first owner in
    // that order that has it (substance and results share some names).
    Tvalues values(const std::string& name, const std::string& owner = "");
    std::vector<std::string> parameternames(const std::string& owner);
    // The regcomp quantities AREA .. EMISprime and exists.
    Tvalues regcompvalues(const std::string& name);
    const Tnummatrix& matrix(const std::string& name);
    Tbalance balance(std::uint32_t regcomp, bool net);
    std::vector<Tbreakdownbutton> explain(const std::string& region, bool dose,
                                          const std::string& indicator,
                                          std::vector<std::vector<std::string>>& breakdowns);
    std::vector<std::string> check(bool unused, bool negative);
    Tfactortable allfactors(const std::vector<std::string>& regions,
                            const std::vector<std::string>& compartments, bool useinversion);
};

} // namespace velmora::python

#pragma once
// The uncertain inputs of an uncertainty run: which parameter, for which
// region, with which distribution; their rank correlations; the checks that
// name the row and column of a bad setting; reasonable defaults for a
// substance; and the setting of one draw's values into a model.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "compute/model.h"
#include "numeric/errors.h"
#include "uncertainty/sampling.h"

namespace velmora {

// A distribution of the parameter's value itself, or of a factor that
// multiplies the value the parameter holds.
enum class Tinputscale { factor, value };
std::string scalename(Tinputscale scale);
bool parsescale(const std::string& text, Tinputscale& scale);

// The region text of a parameter that is one value, or of every region at once.
extern const char* const allregions; // "All"

struct Tuncertaininput {
    std::string parameter;      // a real substance or environment parameter
    std::string region = "All"; // a region name, or "All"
    Tinputscale scale = Tinputscale::factor;
    Tdistribution distribution;

    // How outputs and correlations name the input: "Kow", "TEMP[Netherlands]".
    std::string key() const;
};

struct Tinputcorrelation {
    std::string first; // input keys
    std::string second;
    double rankcorrelation = 0;
};

// The columns of the inputs table and of the correlations table, as the
// settings sheet heads them.
struct Tinputcolumns {
    static constexpr const char* parameter = "parameter";
    static constexpr const char* region = "region";
    static constexpr const char* distribution = "distribution";
    static constexpr const char* scale = "scale";
    static constexpr const char* value1 = "value 1";
    static constexpr const char* value2 = "value 2";
    static constexpr const char* value3 = "value 3";
    static constexpr const char* lower = "lower bound";
    static constexpr const char* upper = "upper bound";
    static constexpr const char* first = "input 1";
    static constexpr const char* second = "input 2";
    static constexpr const char* rankcorrelation = "rank correlation";
    static constexpr const char* draws = "draws";
    static constexpr const char* seed = "seed";
};
// The column of the inputs table that holds distribution value k (1..5:
// value 1..3, lower and upper bound).
const char* valuecolumn(int k);

// A setting that cannot be used. table is "inputs", "correlations" or
// "run"; row counts the rows of that table from 1 (0 for a setting of the
// run such as the number of draws); column is one of Tinputcolumns.
class Euncertaintysetting : public Eerror {
public:
    Euncertaintysetting(std::string table, std::size_t row, std::string column,
                        std::string problem);
    std::string table;
    std::size_t row;
    std::string column;
    std::string problem;
};

// Checks inputs and correlations against the model: known real parameters,
// regions, distributions with a spread, bounds in order, a value for a
// factor to multiply, no input twice, correlations between two different
// inputs between -1 and 1, no pair twice. Raises Euncertaintysetting for the
// first problem. With allowzerospread a distribution without spread passes
// (a fixed value).
void checkinputs(Tmodel& model, const std::vector<Tuncertaininput>& inputs,
                 const std::vector<Tinputcorrelation>& correlations, bool allowzerospread = false);

// Lognormal factors (median 1) for the substance properties the substance
// holds with a finite value above 0: partition coefficients, vapour pressure
// and solubility, half-lives, the OH rate constant when it was given, the
// bioconcentration factors and the effect thresholds. The spreads and
// their sources are in the manual and beside the table in the source.
std::vector<Tuncertaininput> defaultinputs(Tmodel& model);

// Sets the values of one draw into a model: every varied parameter back to
// what it held when the setter was made, then the draw's value of each input
// in input order, then the substance's rules derive what they derive (HENRY
// from VP_TEMPtest and SOL, Koc from Kow, krad_OH from DT50photo_air, when
// the substance did not give them), then inputs on such derived parameters
// multiply the newly derived values. Marks what changed, so the next
// calculation recomputes only the stages that depend on it.
class Tinputsetter {
public:
    Tinputsetter(Tmodel& model, const std::vector<Tuncertaininput>& inputs);
    ~Tinputsetter();
    Tinputsetter(const Tinputsetter&) = delete;
    Tinputsetter& operator=(const Tinputsetter&) = delete;
    // values: one per input, in input order.
    void set(const double* values);
    bool environmentvaried() const { return environment_; }

private:
    struct Ttarget;
    Tmodel& model_;
    std::vector<Ttarget> targets_;
    std::vector<std::function<void()>> restore_;
    bool environment_ = false;
    bool substance_ = false;
};

} // namespace velmora

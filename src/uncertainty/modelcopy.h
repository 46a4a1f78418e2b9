#pragma once
// A model of its own built from another model's inputs, for a thread that
// calculates while others do the same: the model is single-threaded, so
// each thread gets its own regions, environment, compartments, substance,
// emission, reference and settings, with its own regcomp index and results,
// and its own user-interface service that keeps the warnings for later.
#include <atomic>
#include <map>
#include <mutex>
#include <string>

#include "compute/model.h"

namespace velmora {

// Keeps the warnings of a model that runs away from the screen, each text
// once with the number of times it came; its progress windows show nothing
// and it asks for a stop when the flag it watches is set.
class Tcollectingui : public Tuiservice {
public:
    explicit Tcollectingui(const std::atomic<bool>* stop = nullptr) : stop_(stop) {}
    void warn(const std::string& text) override;
    std::unique_ptr<Tprogress> progress() override;
    bool editparameter(Teditrequest&) override { return false; }
    bool stoprequested() override { return stop_ && stop_->load(); }
    // Warning texts with their counts, in alphabetical order.
    std::map<std::string, std::size_t> warnings() const;

private:
    const std::atomic<bool>* stop_;
    mutable std::mutex mutex_;
    std::map<std::string, std::size_t> warnings_;
};

class Tmodelcopy {
public:
    // Copies the inputs of source, which nothing may change meanwhile (it is
    // read through stored values only, never with get). The copy is not yet
    // calculated: its environment and substance count as changed.
    explicit Tmodelcopy(const Tmodel& source, const std::atomic<bool>* stop = nullptr);
    Tmodelcopy(const Tmodelcopy&) = delete;
    Tmodelcopy& operator=(const Tmodelcopy&) = delete;

    Tcollectingui ui;
    Tsettings settings;
    Tmodelcontext context;
    Tregions regions;
    Tenv env;
    Tcompartments compartments;
    Tregcomps regcomps;
    Tsub sub;
    Temi emi;
    Tresults results;
    Tref ref;
    Tmodel model;
};

} // namespace velmora

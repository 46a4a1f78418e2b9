#include "uncertainty/uncertainty.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <future>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "compute/calculation.h"
#include "uncertainty/modelcopy.h"
#include "uncertainty/sampling.h"

namespace velmora {

void checksettings(Tmodel& model, const Tuncertaintysettings& settings) {
    if (settings.draws == 0)
        throw Euncertaintysetting("run", 0, Tinputcolumns::draws,
                                  "there must be at least one draw");
    checkinputs(model, settings.inputs, settings.correlations);
}

std::vector<double> drawinputs(const Tuncertaintysettings& settings) {
    const std::size_t n = settings.draws, k = settings.inputs.size();
    Trandom random(settings.seed);
    std::vector<double> sample = latinhypercube(n, k, random);
    if (!settings.correlations.empty()) {
        std::map<std::string, std::size_t> index;
        for (std::size_t j = 0; j < k; ++j)
            index[settings.inputs[j].key()] = j;
        std::vector<double> target(k * k, 0.0);
        for (std::size_t j = 0; j < k; ++j)
            target[j * k + j] = 1;
        for (const Tinputcorrelation& c : settings.correlations) {
            auto a = index.find(c.first), b = index.find(c.second);
            if (a == index.end() || b == index.end())
                throw Eerror("a rank correlation names an input that is not varied");
            target[a->second * k + b->second] = target[b->second * k + a->second] =
                c.rankcorrelation;
        }
        inducerankcorrelation(sample, n, k, target, random);
    }
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < k; ++j)
            sample[i * k + j] = settings.inputs[j].distribution.quantile(sample[i * k + j]);
    return sample;
}

namespace {

using Tclock = std::chrono::steady_clock;

// The statistics of every followed result, shared out over the threads; each
// result is computed whole by one thread, so the numbers do not depend on
// how many there are.
void computestatistics(Tuncertaintyrun& run, unsigned threads) {
    const std::size_t n = run.draws, k = run.inputs.size();
    // Ranks of the inputs over the draws that calculated; a result without a
    // value in some of them ranks the inputs over its own draws.
    std::vector<std::size_t> good;
    for (std::size_t d = 0; d < n; ++d)
        if (!run.failed[d]) good.push_back(d);
    auto inputranks = [&](const std::vector<std::size_t>& draws) {
        std::vector<std::vector<double>> result(k);
        std::vector<double> x(draws.size());
        for (std::size_t j = 0; j < k; ++j) {
            for (std::size_t m = 0; m < draws.size(); ++m)
                x[m] = run.inputdraws[draws[m] * k + j];
            result[j] = ranks(x);
        }
        return result;
    };
    const std::vector<std::vector<double>> goodranks = inputranks(good);
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        std::vector<double> column(n), finite;
        std::vector<std::size_t> draws;
        for (std::size_t r = next++; r < run.results.size(); r = next++) {
            std::span<const float> v = run.valuesof(r);
            finite.clear();
            draws.clear();
            for (std::size_t d = 0; d < n; ++d) {
                column[d] = v[d];
                if (std::isfinite(v[d])) {
                    finite.push_back(v[d]);
                    draws.push_back(d);
                }
            }
            Tresultuncertainty& result = run.results[r];
            result.summary = summarize(column);
            if (k == 0) continue;
            result.contributions =
                contributions(ranks(finite), draws == good ? goodranks : inputranks(draws));
        }
    };
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads; ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread& h : helpers)
        h.join();
}

} // namespace

Tuncertaintyrun rununcertainty(Tmodel& model, const Tuncertaintysettings& settings,
                               const Tuncertaintycallbacks& callbacks) {
    const auto start = Tclock::now();
    if (model.settings().FactorsMode)
        throw Eerror("an uncertainty run calculates concentrations: switch Factors mode off");
    if (settings.draws == 0)
        throw Euncertaintysetting("run", 0, Tinputcolumns::draws,
                                  "there must be at least one draw");
    checkinputs(model, settings.inputs, settings.correlations, true);

    Tuncertaintyrun run;
    const std::size_t n = settings.draws, k = settings.inputs.size();
    for (const Tuncertaininput& in : settings.inputs)
        run.inputs.push_back(in.key());
    run.draws = n;
    run.inputdraws = drawinputs(settings);
    std::vector<char> failed(n, 0);

    unsigned threads = settings.threads ? settings.threads : std::thread::hardware_concurrency();
    threads = static_cast<unsigned>(std::clamp<std::size_t>(threads, 1, n));
    run.threads = threads;

    std::atomic<bool> stop{false};
    std::atomic<std::size_t> next{0}, done{0};
    std::atomic<unsigned> finished{0};
    std::mutex errorlock;
    std::exception_ptr error;
    std::promise<std::vector<Tresultitem>> itemspromise;
    std::shared_future<std::vector<Tresultitem>> itemsfuture = itemspromise.get_future().share();
    bool itemsset = false;
    std::vector<std::unique_ptr<Tmodelcopy>> copies(threads);

    // Each thread calculates on a copy of its own; the first copy's
    // calculation without draws is the deterministic one and decides which
    // results exist to be followed.
    auto worker = [&](unsigned w) {
        try {
            copies[w] = std::make_unique<Tmodelcopy>(model, &stop);
            Tmodel& m = copies[w]->model;
            Tsilentprogress silent;
            const bool solved = calculate(m, false, nullptr, &silent);
            if (w == 0) {
                if (!solved)
                    throw Eerror("the calculation without draws fails (the system matrix is "
                                 "singular)");
                if (!hasemission(m))
                    throw Eerror("there is no emission: set one before an uncertainty run");
                std::vector<Tresultitem> items = settings.results.empty()
                                                     ? defaultresultitems(m)
                                                     : resultitems(m, settings.results);
                if (items.empty()) throw Eerror("the calculation gives no result to follow");
                std::vector<float> base(items.size());
                Tresultreader(m, items).read(base.data());
                for (std::size_t r = 0; r < items.size(); ++r)
                    run.results.push_back({items[r], base[r], {}, {}});
                run.values.assign(items.size() * n, std::numeric_limits<float>::quiet_NaN());
                itemsset = true;
                itemspromise.set_value(std::move(items));
            }
            const std::vector<Tresultitem>& items = itemsfuture.get();
            Tinputsetter setter(m, settings.inputs);
            Tresultreader reader(m, items);
            std::vector<float> row(items.size());
            for (std::size_t d = next++; d < n && !stop; d = next++) {
                setter.set(run.inputdraws.data() + d * k);
                if (calculate(m, false, nullptr, &silent, !setter.environmentvaried())) {
                    reader.read(row.data());
                    for (std::size_t r = 0; r < row.size(); ++r)
                        run.values[r * n + d] = row[r];
                } else {
                    failed[d] = 1;
                }
                ++done;
            }
        } catch (...) {
            std::lock_guard<std::mutex> lock(errorlock);
            if (!error) error = std::current_exception();
            stop = true;
            if (w == 0 && !itemsset) itemspromise.set_exception(std::current_exception());
        }
        ++finished;
    };

    std::vector<std::thread> pool;
    for (unsigned w = 0; w < threads; ++w)
        pool.emplace_back(worker, w);
    bool cancelled = false;
    while (finished.load() < threads) {
        if (callbacks.progress) callbacks.progress(done.load(), n);
        if (!cancelled && callbacks.cancelled && callbacks.cancelled()) {
            cancelled = true;
            stop = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    for (std::thread& t : pool)
        t.join();
    // A solve that heeds the stop fails as a singular system would: after a
    // Cancel that is no error.
    if (error && !cancelled) std::rethrow_exception(error);

    std::map<std::string, std::size_t> warnings;
    for (const auto& copy : copies)
        if (copy)
            for (const auto& [text, count] : copy->ui.warnings())
                warnings[text] += count;
    run.warnings.assign(warnings.begin(), warnings.end());
    copies.clear();

    if (cancelled && (error || done.load() < n)) {
        // Nothing of a run that did not finish passes as its outcome.
        run.cancelled = true;
        run.results.clear();
        run.values.clear();
        run.values.shrink_to_fit();
        run.seconds = std::chrono::duration<double>(Tclock::now() - start).count();
        return run;
    }
    run.failed.assign(failed.begin(), failed.end());
    for (char f : failed)
        run.failedcount += f ? 1 : 0;
    computestatistics(run, threads);
    if (callbacks.progress) callbacks.progress(n, n);
    run.seconds = std::chrono::duration<double>(Tclock::now() - start).count();
    return run;
}

} // namespace velmora

// Times the compartment flows and the system solve on a synthetic world of
// the real size: 289 regions (239 countries, 50 seas), n = 3,468 regcomps.
// The inputs the two stages read (transfer velocities, areas, volumes, rate
// constants, borders and water flows) are made up, with countries on a grid
// bordering their grid neighbours and every sea bordering a strip of
// countries and the next sea. Each step of the solve is timed by the
// progress texts it shows.
//
// Usage: bench_system [--runs N] [--factors]
//   --runs N    Concentration-mode solves to time after the first (default 20)
//   --factors   also time one Factors-mode solve (inversion and factor matrices)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "app/workspace.h"
#include "benchsupport.h"
#include "compute/calculation.h"
#include "numeric/inversion.h"
#include "numeric/sparselu.h"

using namespace velmora;
using bench::median;

namespace {

using Tclock = std::chrono::steady_clock;

double msince(Tclock::time_point t) {
    return std::chrono::duration<double, std::milli>(Tclock::now() - t).count();
}

// A progress window that notes when each step starts.
class Ttimingprogress : public Tprogress {
public:
    explicit Ttimingprogress(std::vector<std::pair<std::string, Tclock::time_point>>& steps)
        : steps_(steps) {}
    void setmaintext(const std::string&) override {}
    void setsubtext(const std::string& text) override { steps_.emplace_back(text, Tclock::now()); }
    void showcancel() override {}
    bool cancelled() override { return false; }
    void startbar(std::int64_t) override {}
    void stepbar() override {}
    void startbar2(std::int64_t) override {}
    void stepbar2() override {}
    void hidebar2() override {}

private:
    std::vector<std::pair<std::string, Tclock::time_point>>& steps_;
};

class Ttimingui : public Tuiservice {
public:
    std::vector<std::pair<std::string, Tclock::time_point>> steps;
    long warnings = 0;
    void warn(const std::string& text) override {
        if (++warnings <= 5) std::fprintf(stderr, "warning: %s\n", text.c_str());
    }
    std::unique_ptr<Tprogress> progress() override {
        return std::make_unique<Ttimingprogress>(steps);
    }
    bool editparameter(Teditrequest&) override { return false; }
    bool stoprequested() override { return false; }
};

constexpr std::uint32_t nland = 239, nsea = 50, gridwidth = 16;

void makeregions(Tworkspace& ws) {
    for (std::uint32_t i = 1; i <= nland + nsea; ++i) {
        Tregionrecord r;
        r.land = i <= nland;
        r.name = (r.land ? "Country" : "Sea") + std::to_string(i);
        r.abbreviation = "R" + std::to_string(i);
        ws.regions.add(r);
    }
    ws.env.clear();
    ws.env.setdefaults();
    ws.compartments.define();
    ws.regcomps.build();
    ws.results.clear();
    ws.emi.clear();
}

void setenvironment(Tworkspace& ws, std::mt19937_64& rng) {
    Tenv& env = ws.env;
    Tresults& res = ws.results;
    std::uniform_real_distribution<double> unit(0.5, 1.5);
    const std::uint32_t n = ws.regions.count;
    auto known = [](Tnumpars& p, std::uint32_t i, double x) { p.set(i, float(x), stImported); };
    for (std::uint32_t i = 1; i <= n; ++i) {
        bool land = i <= nland;
        env.land.set(i, land, stImported);
        known(env.SYSTEMAREA, i, (land ? 5e11 : 2e12) * unit(rng));
        known(env.AREA_lake, i, land && i % 7 != 0 ? 5e9 * unit(rng) : 0);
        known(env.AREA_lakesed, i, env.AREA_lake.value(i) * 0.9);
        known(env.AREA_saltlake, i, land && i % 3 == 0 ? 1e8 * unit(rng) : 0);
        known(env.AREA_seased, i, land ? 0 : 1e12 * unit(rng));
        known(env.FLOW_river_agr, i, land ? 5 * unit(rng) : 0);
        known(env.FLOW_groundwater_river, i, land ? 50 * unit(rng) : 0);
        known(env.FLOW_groundwater_agr, i, land ? 2 * unit(rng) : 0);
        for (std::uint32_t j = 1; j <= n; ++j)
            for (Tnumparss* p : {&env.BORDERLENGTH, &env.FLOW_river_river,
                                 &env.FLOW_groundwater_groundwater, &env.FLOW_river_seawater,
                                 &env.FLOW_groundwater_seawater, &env.FLOW_seawater_seawater})
                p->set(i, j, 0, stImported);
    }
    auto border = [&](std::uint32_t i, std::uint32_t j, double length) {
        env.BORDERLENGTH.set(i, j, float(length), stImported);
        env.BORDERLENGTH.set(j, i, float(length), stImported);
        double wind = 5 * unit(rng);
        res.BORDERWINDSPEED.setdefault(i, j, float(wind));
        res.BORDERWINDSPEED.setdefault(j, i, float(wind));
    };
    for (std::uint32_t i = 1; i <= n; ++i)
        for (std::uint32_t j = 1; j <= n; ++j)
            res.BORDERWINDSPEED.setdefault(i, j, 0);
    // Countries on a grid; rivers run east, or into the sea at the grid's edge.
    for (std::uint32_t i = 1; i <= nland; ++i) {
        std::uint32_t col = (i - 1) % gridwidth;
        std::uint32_t sea = nland + 1 + (i - 1) % nsea;
        if (col + 1 < gridwidth && i + 1 <= nland) {
            border(i, i + 1, 3e5 * unit(rng));
            env.FLOW_river_river.set(i, i + 1, float(300 * unit(rng)), stImported);
        } else {
            env.FLOW_river_seawater.set(i, sea, float(500 * unit(rng)), stImported);
        }
        if (i + gridwidth <= nland) {
            border(i, i + gridwidth, 3e5 * unit(rng));
            env.FLOW_groundwater_groundwater.set(i, i + gridwidth, float(unit(rng)), stImported);
        }
        border(i, sea, 2e5 * unit(rng));
        env.FLOW_groundwater_seawater.set(i, sea, float(2 * unit(rng)), stImported);
    }
    for (std::uint32_t s = nland + 1; s <= n; ++s) {
        std::uint32_t next = s == n ? nland + 1 : s + 1;
        border(s, next, 1e6 * unit(rng));
        env.FLOW_seawater_seawater.set(s, next, float(1e5 * unit(rng)), stImported);
        env.FLOW_seawater_seawater.set(next, s, float(8e4 * unit(rng)), stImported);
    }
    for (std::uint32_t i = 1; i <= n; ++i)
        res.BORDERWINDSPEED.sethidden(i, i);
}

// What the landscape, partitioning, degradation and transfer stages leave.
void setearlierresults(Tworkspace& ws, std::mt19937_64& rng) {
    Tenv& env = ws.env;
    Tresults& res = ws.results;
    std::uniform_real_distribution<double> unit(0.5, 1.5);
    res.Fsolid_sed.setdefault(0.2f);
    const std::vector<Tnumpars*> landonly = {&res.AREA_nat,
                                             &res.AREA_agr,
                                             &res.AREA_urb,
                                             &res.AREA_saltlakesed,
                                             &res.FLOW_river_saltlake,
                                             &res.SUSPCONC_inlandwater,
                                             &res.Kp_susp,
                                             &res.Fdiss_deepsoil,
                                             &res.VOLAT_inlandwater,
                                             &res.GASABS_nat,
                                             &res.GASABS_agr,
                                             &res.GASABS_urb,
                                             &res.VOLAT_nat,
                                             &res.VOLAT_agr,
                                             &res.VOLAT_urb,
                                             &res.ADSORB_sed,
                                             &res.DESORB_sed,
                                             &res.RUNOFF_nat,
                                             &res.RUNOFF_agr,
                                             &res.RUNOFF_urb,
                                             &res.LEACH_agr,
                                             &res.LEACH_nonagr,
                                             &res.FLOW_river_lake,
                                             &res.FLOW_lake_river,
                                             &res.riverinflow_solid,
                                             &res.riveroutflow_solid,
                                             &res.sedrate_inlandwater,
                                             &res.GROSSsedrate_saltlake,
                                             &res.RESUSPrate_saltlake,
                                             &res.NETsedrate_saltlake,
                                             &res.V_nat,
                                             &res.V_agr,
                                             &res.V_urb,
                                             &res.V_river,
                                             &res.V_lake,
                                             &res.V_lakesed,
                                             &res.V_saltlake,
                                             &res.V_saltlakesed,
                                             &res.V_groundwater,
                                             &res.kdeg_nonagr,
                                             &res.kdeg_agr,
                                             &res.kdeg_freshwater,
                                             &res.kdeg_sed,
                                             &res.kdeg_saltlake,
                                             &res.kdeg_saltlakesed};
    const std::vector<Tnumpars*> seaonly = {
        &res.VOLAT_seawater,        &res.ADSORB_seased,       &res.DESORB_seased,
        &res.GROSSsedrate_seawater, &res.RESUSPrate_seawater, &res.NETsedrate_seawater,
        &res.sedrate_seawater,      &res.V_seawater,          &res.V_seased,
        &res.kdeg_seawater,         &res.kdeg_seased};
    for (std::uint32_t i = 1; i <= ws.regions.count; ++i) {
        const bool land = i <= nland;
        auto set = [&](Tnumpars& p, double x) { p.setdefault(i, float(x * unit(rng))); };
        const double area = env.SYSTEMAREA.value(i), lake = env.AREA_lake.value(i);
        const double saltlake = env.AREA_saltlake.value(i);
        set(res.GASABS_water, 1e-3);
        set(res.DRYDEP_aer, 1e-4);
        set(res.WASHOUT, 3e-4);
        set(res.V_air, area * 1000);
        set(res.kdeg_air, 1e-5);
        for (Tnumpars* p : land ? seaonly : landonly)
            p->sethidden(i);
        if (land) {
            res.AREA_nat.setdefault(i, float(area * 0.5));
            res.AREA_agr.setdefault(i, float(area * 0.4));
            res.AREA_urb.setdefault(i, float(area * 0.05));
            res.AREA_saltlakesed.setdefault(i, float(saltlake));
            set(res.FLOW_river_saltlake, saltlake > 0 ? 0.3 : 0);
            set(res.SUSPCONC_inlandwater, 0.0375);
            set(res.Kp_susp, 5);
            set(res.Fdiss_deepsoil, 0.5);
            set(res.VOLAT_inlandwater, 2e-6);
            set(res.GASABS_nat, 3e-3);
            set(res.GASABS_agr, 4e-3);
            set(res.GASABS_urb, 5e-3);
            set(res.VOLAT_nat, 6e-7);
            set(res.VOLAT_agr, 7e-7);
            set(res.VOLAT_urb, 8e-7);
            set(res.ADSORB_sed, 2.5e-6);
            set(res.DESORB_sed, 1.5e-7);
            set(res.RUNOFF_nat, 1e-9);
            set(res.RUNOFF_agr, 2e-9);
            set(res.RUNOFF_urb, 3e-9);
            set(res.LEACH_agr, 4e-9);
            set(res.LEACH_nonagr, 5e-9);
            set(res.FLOW_river_lake, lake > 0 ? 100 : 0);
            set(res.FLOW_lake_river, lake > 0 ? 90 : 0);
            set(res.riverinflow_solid, 60);
            set(res.riveroutflow_solid, 10);
            set(res.sedrate_inlandwater, 4e-6);
            set(res.GROSSsedrate_saltlake, 3e-11);
            set(res.RESUSPrate_saltlake, 1e-11);
            set(res.NETsedrate_saltlake, 2e-11);
            res.V_nat.setdefault(i, float(area * 0.5 * 0.05));
            res.V_agr.setdefault(i, float(area * 0.4 * 0.2));
            res.V_urb.setdefault(i, float(area * 0.05 * 0.05));
            set(res.V_river, 5e9);
            res.V_lake.setdefault(i, float(lake * 10));
            res.V_lakesed.setdefault(i, float(lake * 0.9 * 0.03));
            res.V_saltlake.setdefault(i, float(saltlake * 5));
            res.V_saltlakesed.setdefault(i, float(saltlake * 0.03));
            res.V_groundwater.setdefault(i, float(area * 0.2 * 3));
            set(res.kdeg_nonagr, 2e-6);
            set(res.kdeg_agr, 3e-6);
            set(res.kdeg_freshwater, 4e-6);
            set(res.kdeg_sed, 1e-7);
            set(res.kdeg_saltlake, 5e-6);
            set(res.kdeg_saltlakesed, 2e-7);
        } else {
            set(res.VOLAT_seawater, 3e-6);
            set(res.ADSORB_seased, 2e-6);
            set(res.DESORB_seased, 1e-7);
            set(res.GROSSsedrate_seawater, 5e-11);
            set(res.RESUSPrate_seawater, 1e-11);
            set(res.NETsedrate_seawater, 4e-11);
            set(res.sedrate_seawater, 3e-12);
            res.V_seawater.setdefault(i, float(area * 100));
            res.V_seased.setdefault(i, float(env.AREA_seased.value(i) * 0.03));
            set(res.kdeg_seawater, 1e-6);
            set(res.kdeg_seased, 1e-7);
        }
    }
}

void printsteps(const std::vector<std::pair<std::string, Tclock::time_point>>& steps,
                Tclock::time_point end) {
    for (std::size_t k = 0; k < steps.size(); ++k) {
        Tclock::time_point next = k + 1 < steps.size() ? steps[k + 1].second : end;
        double ms = std::chrono::duration<double, std::milli>(next - steps[k].second).count();
        std::printf("    %-32s %9.2f ms\n", steps[k].first.c_str(), ms);
    }
}

} // namespace

int main(int argc, char** argv) {
    int runs = 20;
    bool factors = false;
    for (int a = 1; a < argc; ++a) {
        if (!std::strcmp(argv[a], "--runs") && a + 1 < argc)
            runs = std::max(1, std::atoi(argv[++a]));
        else if (!std::strcmp(argv[a], "--factors"))
            factors = true;
    }
    Ttimingui ui;
    Tworkspace ws(ui, ".");
    ws.settings.WithRestime = true;
    std::mt19937_64 rng(7);
    makeregions(ws);
    setenvironment(ws, rng);
    setearlierresults(ws, rng);
    Tmodel& m = ws.model;
    Tregcomps& rcs = ws.regcomps;
    std::printf("regions %u (%u land, %u sea), regcomps %u\n", ws.regions.count, nland, nsea,
                rcs.n);

    Tclock::time_point t = Tclock::now();
    computeflows(m);
    std::printf("computeflows                         %9.2f ms\n", msince(t));

    ws.env.changed = true;
    ws.emi.set(150, air);
    ui.steps.clear();
    t = Tclock::now();
    bool ok = solvesystem(m, false);
    Tclock::time_point end = Tclock::now();
    std::printf("solvesystem after a change           %9.2f ms (%s)\n",
                std::chrono::duration<double, std::milli>(end - t).count(),
                ok ? "solved" : "singular");
    printsteps(ui.steps, end);
    std::uint64_t nonzeros = 0;
    std::uint32_t existing = 0;
    rcs.Abig.values.foreachnonzero([&](std::uint32_t, std::uint32_t, extended) { ++nonzeros; });
    for (std::uint32_t k = 1; k <= rcs.n; ++k)
        existing += rcs.exists(k);
    std::printf("  Abig: %llu non-zeros, %u existing regcomps, MSR %g\n",
                static_cast<unsigned long long>(nonzeros), existing, double(rcs.MSR));
    double loss = 0;
    for (std::uint32_t k = 1; k <= rcs.n; ++k)
        loss += (double(rcs.kdeg.value(k)) * rcs.V.value(k) + rcs.ADV_outside.value(k)) *
                rcs.CONC.value(k);
    std::printf("  mass balance: losses %.7f of emission 1\n", loss);

    // Later calculations of the same model: emission and solve only.
    std::vector<double> whole, solver;
    const std::uint32_t targets[] = {air, nat, agr, urb, river};
    for (int k = 0; k < runs; ++k) {
        ws.emi.set(1 + (37 * k) % nland, targets[k % 5]);
        t = Tclock::now();
        solvesystem(m, false);
        whole.push_back(msince(t));
        t = Tclock::now();
        Tsolveequations s;
        s.setscaling(1);
        s.setremoveempty(true);
        s.setworkprecision(3);
        s.solve(rcs.Abig.values, rcs.EMIS.values);
        solver.push_back(msince(t));
    }
    std::printf("solvesystem unchanged, median of %d  %9.2f ms\n", runs, median(whole));
    std::printf("  Tsolveequations alone, median      %9.2f ms\n", median(solver));
    {
        // The sparse engine on the existing regcomps, unscaled, for its fill.
        std::vector<std::int32_t> position(rcs.n + 1, -1), rows, cols;
        std::vector<double> values;
        std::int32_t kept = 0;
        for (std::uint32_t k = 1; k <= rcs.n; ++k)
            if (rcs.exists(k)) position[k] = kept++;
        rcs.Abig.values.foreachnonzero([&](std::uint32_t i, std::uint32_t j, extended x) {
            rows.push_back(position[i]);
            cols.push_back(position[j]);
            values.push_back(double(x));
        });
        Tsparsecolumns a = Tsparsecolumns::fromtriplets(kept, rows, cols, values);
        t = Tclock::now();
        minimumdegreeorder(a);
        double ordering = msince(t);
        Tsparselu lu;
        t = Tclock::now();
        bool factorised = lu.factorise(a);
        double factorisation = msince(t);
        std::printf("  sparse LU of the %d existing regcomps: ordering %.2f ms, factorisation "
                    "incl. ordering %.2f ms (%s), L %zu + U %zu non-zeros for %zu, %d "
                    "off-diagonal pivots\n",
                    kept, ordering, factorisation, factorised ? "regular" : "singular",
                    lu.lnonzeros(), lu.unonzeros(), a.nonzeros(), lu.offdiagonalpivots());
    }

    // All-factors style: the inverse once, then one product per emission.
    rcs.inversecache = std::make_unique<Tnummatrix>();
    ws.emi.set(150, air);
    t = Tclock::now();
    solvesystem(m, true);
    std::printf("solvesystem filling the inverse cache %8.2f ms\n", msince(t));
    std::vector<double> cached;
    for (int k = 0; k < runs; ++k) {
        ws.emi.set(1 + (53 * k) % nland, air);
        t = Tclock::now();
        solvesystem(m, true);
        cached.push_back(msince(t));
    }
    std::printf("solvesystem with the cache, median   %9.2f ms\n", median(cached));
    rcs.inversecache.reset();

    if (factors) {
        ws.settings.FactorsMode = true;
        ws.env.changed = true;
        // Exposure inputs the factors read.
        for (std::uint32_t i = 1; i <= ws.regions.count; ++i) {
            for (Tnumpars* p : {&ws.results.BCFsoil_leafcrops, &ws.results.BCFair_leafcrops,
                                &ws.results.BCF_rootcrops, &ws.results.BCF_fish,
                                &ws.results.BCF_meat, &ws.results.BCF_milk, &ws.results.CONVagr,
                                &ws.results.Fdiss_inlandwater, &ws.results.REEXPORT_leafcrops,
                                &ws.results.REEXPORT_rootcrops, &ws.results.REEXPORT_freshwaterfish,
                                &ws.results.REEXPORT_meat, &ws.results.REEXPORT_dairy})
                p->setdefault(i, 0.5f);
        }
        ws.results.PURFsurfacew.setdefault(0.5f);
        Tenv& env = ws.env;
        for (std::uint32_t i = 1; i <= ws.regions.count; ++i) {
            const bool land = i <= nland;
            for (Tnumpars* p : {&env.Fdrw_safe,
                                &env.Fdrw_grw,
                                &env.BW,
                                &env.IH_air,
                                &env.IH_drw,
                                &env.IH_seafish,
                                &env.Npop,
                                &env.IH_leafcrops,
                                &env.IH_rootcrops,
                                &env.IH_freshwaterfish,
                                &env.IH_meat,
                                &env.IH_dairy,
                                &env.PROD_leafcrops,
                                &env.PROD_rootcrops,
                                &env.PROD_freshwaterfish,
                                &env.PROD_meat,
                                &env.PROD_dairy,
                                &env.IMPORT_leafcrops,
                                &env.IMPORT_rootcrops,
                                &env.IMPORT_freshwaterfish,
                                &env.IMPORT_meat,
                                &env.IMPORT_dairy,
                                &env.EXPORT_leafcrops,
                                &env.EXPORT_rootcrops,
                                &env.EXPORT_freshwaterfish,
                                &env.EXPORT_meat,
                                &env.EXPORT_dairy})
                if (land)
                    p->set(i, p == &env.BW ? 70 : p == &env.Npop ? 1e7f : 0.5f, stImported);
                else
                    p->sethidden(i);
            if (land)
                env.CATCH_seafish.sethidden(i);
            else
                env.CATCH_seafish.set(i, 1e5f, stImported);
        }
        env.CONVgrass.set(0.4f, stImported);
        env.ICdwt_grass.set(10, stImported);
        env.IC_air.set(20, stImported);
        env.ICswt_soil.set(0.4f, stImported);
        ws.results.ACTCOEFF.setdefault(1);
        for (Tnumpar* p : {&ws.sub.F_resp, &ws.sub.BIO_inh, &ws.sub.BIO_oral,
                           &ws.sub.EFFECT_aquatox, &ws.sub.EFFECT_terrtox, &ws.sub.EFFECT_seatox,
                           &ws.sub.EFFECThum_noncarc, &ws.sub.EFFECThum_carc})
            p->set(0.5f, stImported);
        ws.sub.substype.set("organic", stImported);
        ui.steps.clear();
        t = Tclock::now();
        ok = solvesystem(m, false);
        end = Tclock::now();
        std::printf("solvesystem in Factors mode          %9.2f ms (%s, %ld warnings)\n",
                    std::chrono::duration<double, std::milli>(end - t).count(),
                    ok ? "inverted" : "singular", ui.warnings);
        printsteps(ui.steps, end);
    }
    return 0;
}

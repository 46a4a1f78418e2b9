#include "compute/boxscores.h"

#include "compute/calculation.h"

namespace velmora {

namespace {

using exposuremath::Tlandmedia;

std::uint32_t rc(std::uint32_t r, std::uint32_t c) {
    return Tregcomps::regcompnumber(r, c);
}

// The traded foods in the order the doses take them, with the parameters
// each reads.
struct Ttradedfood {
    Tnumpars Tenv::*PROD;
    Tnumpars Tenv::*EXPORT;
    Tnumpars Tenv::*IMPORT;
    Tnumpars Tenv::*IH;
    Tnumpars Tresults::*REEXPORT;
    float Tlandmedia::*C;
};

const Ttradedfood tradedfoods[] = {
    {&Tenv::PROD_leafcrops, &Tenv::EXPORT_leafcrops, &Tenv::IMPORT_leafcrops, &Tenv::IH_leafcrops,
     &Tresults::REEXPORT_leafcrops, &Tlandmedia::leafcrops},
    {&Tenv::PROD_rootcrops, &Tenv::EXPORT_rootcrops, &Tenv::IMPORT_rootcrops, &Tenv::IH_rootcrops,
     &Tresults::REEXPORT_rootcrops, &Tlandmedia::rootcrops},
    {&Tenv::PROD_freshwaterfish, &Tenv::EXPORT_freshwaterfish, &Tenv::IMPORT_freshwaterfish,
     &Tenv::IH_freshwaterfish, &Tresults::REEXPORT_freshwaterfish, &Tlandmedia::freshwaterfish},
    {&Tenv::PROD_meat, &Tenv::EXPORT_meat, &Tenv::IMPORT_meat, &Tenv::IH_meat,
     &Tresults::REEXPORT_meat, &Tlandmedia::meat},
    {&Tenv::PROD_dairy, &Tenv::EXPORT_dairy, &Tenv::IMPORT_dairy, &Tenv::IH_dairy,
     &Tresults::REEXPORT_dairy, &Tlandmedia::dairy},
};
constexpr std::size_t nfoods = std::size(tradedfoods);

enum : std::size_t { soilcategory = 4, humnoncarccategory = 5, humcarccategory = 6 };

} // namespace

// Everything is read in the order the stages read it, and only what they
// read, so the used flags and warnings are those of a calculation.
Tboxscorer::Tboxscorer(Tmodel& m) : n_(m.regcomps.n), metal_(m.sub.ismetal()) {
    Tenv& e = m.env;
    Tresults& r = m.results;
    for (std::uint32_t i = 1; i <= m.regions.count; ++i) {
        if (!e.island(i)) {
            Tsea sea;
            sea.region = i;
            if (m.sub.isgas()) r.BCF_fish.get(i);
            sea.fishfactor = seafishfactor(m, i);
            sea.caught = e.CATCH_seafish.get(i);
            seas_.push_back(sea);
            continue;
        }
        Tland land;
        land.region = i;
        land.food = foodfactors(m, i);
        land.BW = e.BW.get(i);
        if (land.BW != 0) {
            extended Fresp = m.sub.F_resp.get();
            extended IHair = personintake(e.IH_air, i);
            extended BIOinh = m.sub.BIO_inh.get();
            extended BIOoral = m.sub.BIO_oral.get();
            land.inhalation = exposuremath::inhalationfactor(Fresp, IHair, land.BW, BIOinh, BIOoral);
            land.IHdrw = personintake(e.IH_drw, i);
            land.IHseafish = personintake(e.IH_seafish, i);
        }
        for (std::size_t k = 0; k < nfoods; ++k) {
            const Ttradedfood& food = tradedfoods[k];
            Tfood& f = land.foods[k];
            f.P = (e.*food.PROD).get(i);
            f.X = (e.*food.EXPORT).get(i);
            f.M = (e.*food.IMPORT).get(i);
            f.T = exposuremath::single(extended(f.P) - f.X + f.M);
            if (f.T != 0 && land.BW != 0) {
                f.R = (r.*food.REEXPORT).get(i);
                f.H = personintake(e.*food.IH, i);
            }
        }
        if (m.sub.EFFECT_terrtox.isknown()) {
            land.Vnat = r.V_nat.get(i);
            land.Vagr = r.V_agr.get(i);
            land.Vurb = r.V_urb.get(i);
        }
        lands_.push_back(land);
    }
    if (metal_ && m.sub.EFFECT_seatox.isknown())
        for (Tsea& sea : seas_)
            sea.metalfactor = static_cast<extended>(r.ACTCOEFF.get()) * r.FREEIONseawater.get(sea.region);
    for (std::size_t c = 0; c < ncategories; ++c) {
        Tcategory& x = categories_[c];
        Tnumpar& effect = categoryeffect(m, c);
        x.land = categorycoversland(m, c);
        x.enabled = effect.isknown();
        if (!x.enabled) continue;
        x.effect = effect.get();
        if (x.land)
            for (const Tland& land : lands_)
                x.weights.push_back(categoryweights(m, c, land.region));
        else
            for (const Tsea& sea : seas_)
                x.weights.push_back(categoryweights(m, c, sea.region));
    }
}

Tboxscores Tboxscorer::scores(const std::vector<float>& conc) const {
    using namespace exposuremath;
    auto C = [&](std::uint32_t region, std::uint32_t c) { return conc[rc(region, c)]; };

    // Food and drinking water, and what the world market mixes of them.
    std::vector<Tlandmedia> media(lands_.size());
    std::array<Tweightedmean, nfoods> markets;
    for (std::size_t l = 0; l < lands_.size(); ++l) {
        const std::uint32_t i = lands_[l].region;
        media[l] = landmedia(lands_[l].food, C(i, air), C(i, nat), C(i, agr), C(i, river),
                             C(i, lake), C(i, groundwater));
        for (std::size_t k = 0; k < nfoods; ++k)
            markets[k].add(lands_[l].foods[k].X, media[l].*tradedfoods[k].C);
    }
    Tweightedmean catch_;
    for (const Tsea& sea : seas_)
        catch_.add(sea.caught, seafish(C(sea.region, seawater), sea.fishfactor));
    std::array<float, nfoods> imported;
    for (std::size_t k = 0; k < nfoods; ++k)
        imported[k] = markets[k].mean();
    const float seafishaverage = catch_.mean();

    // The total dose of each land region.
    std::vector<float> dose(lands_.size(), 0);
    for (std::size_t l = 0; l < lands_.size(); ++l) {
        const Tland& land = lands_[l];
        if (land.BW == 0) continue;
        std::array<float, nfoods> food{};
        for (std::size_t k = 0; k < nfoods; ++k) {
            const Tfood& f = land.foods[k];
            if (f.T != 0)
                food[k] = fooddose(f.P, f.X, f.M, f.T, f.R, f.H, land.BW,
                                   media[l].*tradedfoods[k].C, imported[k]);
        }
        const float inhaled = single(land.inhalation * C(land.region, air));
        const float drw = drinkingwaterdose(land.IHdrw, media[l].drw, land.BW);
        const float sea = seafishdose(seafishaverage, land.IHseafish, land.BW);
        const float oral = totaloraldose(drw, food[2], sea, food[0], food[1], food[3], food[4]);
        dose[l] = totaldose(inhaled, oral);
    }

    Tboxscores s;
    for (std::size_t c = 0; c < ncategories; ++c) {
        const Tcategory& x = categories_[c];
        if (!x.enabled) continue;
        Tscoresums sums;
        if (!x.land) {
            for (std::size_t k = 0; k < seas_.size(); ++k) {
                const Tsea& sea = seas_[k];
                sums.add(x.weights[k],
                         seawaterratio(x.effect, C(sea.region, seawater), sea.metalfactor, metal_));
            }
        } else {
            for (std::size_t l = 0; l < lands_.size(); ++l) {
                const Tland& land = lands_[l];
                const std::uint32_t i = land.region;
                float ratio = 0;
                if (c == soilcategory)
                    ratio = soilratio(land.Vnat, land.Vagr, land.Vurb, C(i, nat), C(i, agr),
                                      C(i, urb), x.effect);
                else if (c == humnoncarccategory || c == humcarccategory)
                    ratio = humanratio(x.effect, dose[l]);
                else
                    ratio = freshwaterratio(x.effect, C(i, c == 0 ? river : c == 1 ? lake : saltlake));
                sums.add(x.weights[l], ratio);
            }
        }
        s.known[c] = s.known[ncategories + c] = sums.averages(s.values[c], s.values[ncategories + c]);
    }
    return s;
}

} // namespace velmora

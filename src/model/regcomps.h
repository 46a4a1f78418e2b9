#pragma once
// The region-compartment index: numbers every (region, compartment) pair and
// holds every quantity defined per regcomp, per pair of regcomps, per
// exposure route or pathway of a region.
#include <array>
#include <memory>
#include <string>

#include "model/parameters.h"
#include "model/regions.h"

namespace velmora {

// Exposure routes and pathways.
enum : std::uint32_t {
    rtair = 1,
    rtleafcrops = 2,
    rtrootcrops = 3,
    rtfreshwaterfish = 4,
    rtseafish = 5,
    rtmeat = 6,
    rtdairy = 7,
    rtdrw = 8
};
constexpr std::uint32_t nroutes = 8;
enum : std::uint32_t { pwinhalation = 1, pworal = 2 };
constexpr std::uint32_t npathways = 2;
// Rows of the ecological and human effect factor matrices.
enum : std::uint32_t { ecoriver = 1, ecolake = 2, ecosaltlake = 3, ecoseawater = 4, ecosoil = 5 };
enum : std::uint32_t { humnoncarc = 1, humcarc = 2 };

class Tregcomps : public Tindexspace {
public:
    Tregcomps(Tmodelcontext& context, const Tregions& regions, const Tcompartments& compartments);
    Tregcomps(const Tregcomps&) = delete;
    Tregcomps& operator=(const Tregcomps&) = delete;

    std::uint32_t n = 0;
    std::uint32_t routecount = 0;
    std::int32_t regionroutecount = 0;
    std::uint32_t pathwaycount = 0;
    std::int32_t regionpathwaycount = 0;
    std::int32_t ecologicalrowcount = 0;
    std::int32_t humanrowcount = 0;

    Tcountvector regionof_;
    Tcountvector compartmentof_;
    Tbooleanvector existsflags;

    Tnumpars AREA;
    Tnumpars V;
    Tnumparss DIFF;
    Tnumparss ADV;
    Tnumpars kdeg;
    Tnumpars ADV_outside;
    Tnumpars EMIS;
    Tnumparss Abig;
    // The inverse kept across an all-factors run; that run creates and empties it.
    std::unique_ptr<Tnummatrix> inversecache;
    Tnumparss Abiginverse; // "Abig^-1"
    Tnummatrix FF;
    Tnummatrix XF1;
    Tnummatrix XF2;
    Tnummatrix XF;
    Tnummatrix XFFF; // "XF*FF"
    Tnummatrix EFeco;
    Tnummatrix EFhum;
    Tnumpars CONC;
    Tnumpars MASS;
    Tnumpars RESTIME;
    Tnumpars EMISprime;
    float MSR = 0;

    void clear();
    void build();

    std::uint32_t regionof(std::uint32_t k) const { return (k - 1) / ncompartments + 1; }
    std::uint32_t compartmentof(std::uint32_t k) const { return (k - 1) % ncompartments + 1; }
    static std::uint32_t regcompnumber(std::uint32_t r, std::uint32_t c) {
        return (r - 1) * ncompartments + c;
    }
    static std::uint32_t routenumber(std::uint32_t r, std::uint32_t j) {
        return (r - 1) * nroutes + j;
    }
    static std::uint32_t pathwaynumber(std::uint32_t r, std::uint32_t p) {
        return (r - 1) * npathways + p;
    }
    std::string regcompname(std::uint32_t k) const;
    std::string regionname(std::uint32_t k) const;
    std::string compartmentname(std::uint32_t k) const;
    bool exists(std::uint32_t k) const { return existsflags.getvalue(k); }
    static std::string routename(std::uint32_t j);
    std::string regroutename(std::uint32_t i) const;
    std::string regpathwayname(std::uint32_t i) const;

    std::uint32_t indexcount() const override { return n; }
    std::string indexname(std::uint32_t k) const override { return regcompname(k); }

    const Tregions& regions() const { return *regions_; }

private:
    Tmodelcontext* context_;
    const Tregions* regions_;
    const Tcompartments* compartments_;
};

} // namespace velmora

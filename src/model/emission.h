#pragma once
// The emission (which regcomp emits, and how much into each receiving
// compartment of every region) and the reference calculation that risk
// ratios are relative to.
#include <array>
#include <string>

#include "model/parameters.h"
#include "model/regcomps.h"
#include "model/regions.h"

namespace velmora {

class Temi {
public:
    Temi(Tmodelcontext& context, const Tregions& regions, const Tcompartments& compartments,
         const Tregcomps& regcomps);
    Temi(const Temi&) = delete;
    Temi& operator=(const Temi&) = delete;

    std::int32_t region = 1;
    std::int32_t compartment = 1;
    Tnumpars to_air;
    Tnumpars to_nat;
    Tnumpars to_agr;
    Tnumpars to_urb;
    Tnumpars to_river;
    Tnumpars to_lake;
    Tnumpars to_saltlake;
    Tnumpars to_seawater;

    // The emission parameter of a compartment, or null for the sediments and
    // groundwater, which cannot receive an emission.
    Tnumpars* parameterof(std::uint32_t c);
    std::array<Tnumpars*, 8> parameters();

    void clear();
    std::uint32_t regcomp() const;
    // Puts EmissionAmount into regcomp (r, c) and 0 everywhere else; false
    // when that regcomp cannot receive an emission, which then gets none.
    bool set(std::uint32_t r, std::uint32_t c);
    // Why regcomp (r, c) cannot receive an emission, for the user; empty
    // when it can.
    std::string refusal(std::uint32_t r, std::uint32_t c) const;
    void first();
    void next();
    void previous();
    void last();
    void nextregion();
    void previousregion();
    void edit(const std::string& name, std::uint32_t i);

private:
    // Moves from the first position tried along step until set succeeds; when
    // no regcomp qualifies, the emission ends at the first position tried.
    template <typename Step> void move(std::uint32_t r, std::uint32_t c, Step step);

    Tmodelcontext* context_;
    const Tregions* regions_;
    const Tcompartments* compartments_;
    const Tregcomps* regcomps_;
};

// The fourteen integrated impact scores a reference holds, in order.
extern const std::array<const char*, 14> referenceresultnames;

class Tref {
public:
    Tref() { clear(); }
    std::int32_t region = 0;
    std::uint8_t compartment = 0;
    std::string substance;
    std::array<float, 14> values{};

    void clear();
    bool held() const { return !substance.empty(); }
    void takepresent(const Temi& emi, const std::string& substancename,
                     const std::array<float, 14>& results);
};

} // namespace velmora

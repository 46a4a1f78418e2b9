// Edits take what the imports take: an entry outside a parameter's range is
// refused with a message naming the parameter, the region and the range, and
// changes nothing.
#include <gtest/gtest.h>

#include <type_traits>
#include <variant>

#include "numeric/errors.h"
#include "support/worldfixture.h"

using namespace velmora;
using velmora::testing::Tworldfixture;

namespace {

enum class Towner { env, sub, emi };

// Every region's (or the scalar's) value and status, as text.
std::string state(Tworkspace& ws, Towner owner, const std::string& name) {
    auto shown = [](auto* p) -> std::string {
        using P = std::decay_t<decltype(*p)>;
        if constexpr (std::is_same_v<P, Tnumpars>) {
            std::string s;
            for (std::uint32_t i = 1; i <= p->count(); ++i)
                s += p->display(i) + p->status(i) + " ";
            return s;
        } else if constexpr (std::is_same_v<P, Tnumpar>) {
            return p->display() + p->status;
        }
        return {};
    };
    if (owner == Towner::env) return std::visit(shown, ws.env.find(name)->parameter);
    if (owner == Towner::sub) return std::visit(shown, ws.sub.find(name)->parameter);
    for (Tnumpars* p : ws.emi.parameters())
        if (p->name() == name) return shown(p);
    return {};
}

void edit(Tworkspace& ws, Towner owner, const std::string& name, std::uint32_t region) {
    switch (owner) {
    case Towner::env:
        ws.env.edit(name, region);
        break;
    case Towner::sub:
        ws.sub.edit(name, region);
        break;
    case Towner::emi:
        ws.emi.edit(name, region);
        break;
    }
}

} // namespace

TEST(EditRange, EntriesOutsideTheRangeAreRefusedAndChangeNothing) {
    struct Tcase {
        Towner owner;
        const char* name;
        std::uint32_t region; // 0: all regions
        const char* text;
        const char* refusal; // empty: accepted
    };
    const Tcase cases[] = {
        {Towner::env, "Npop", 1, "-5", "Npop[Aland]: '-5' is outside the allowed range (0 or more)"},
        {Towner::env, "Npop", 0, "-1", "Npop[All]: '-1' is outside the allowed range (0 or more)"},
        {Towner::env, "Npop", 2, "0", ""},
        {Towner::env, "Farea_agr", 2, "1.5",
         "Farea_agr[Bland]: '1.5' is outside the allowed range (0 to 1)"},
        {Towner::env, "Farea_agr", 2, "1", ""},
        {Towner::env, "TEMP", 1, "0", "TEMP[Aland]: '0' is outside the allowed range (above 0)"},
        {Towner::env, "RAINDAYS", 1, "400",
         "RAINDAYS[Aland]: '400' is outside the allowed range (0 to 366)"},
        {Towner::env, "SYSTEMAREA", 3, "1e39",
         "SYSTEMAREA[Asea]: '1e39' is outside the allowed range (0 or more)"},
        {Towner::env, "RHO_air", 0, "0", "RHO_air[All]: '0' is outside the allowed range (above 0)"},
        {Towner::env, "Fair_soil", 0, "2",
         "Fair_soil[All]: '2' is outside the allowed range (0 to 1)"},
        {Towner::sub, "MOLW", 0, "-0.1", "MOLW[All]: '-0.1' is outside the allowed range (above 0)"},
        {Towner::sub, "VP_TEMPtest", 0, "0",
         "VP_TEMPtest[All]: '0' is outside the allowed range (above 0)"},
        {Towner::sub, "Kow", 0, "-3", "Kow[All]: '-3' is outside the allowed range (above 0)"},
        {Towner::sub, "Fass_aer", 0, "1.2",
         "Fass_aer[All]: '1.2' is outside the allowed range (0 to 1)"},
        {Towner::sub, "SFtox_river", 2, "-1",
         "SFtox_river[Bland]: '-1' is outside the allowed range (0 or more)"},
        {Towner::sub, "H_0vapor", 0, "-5000", ""},
        {Towner::sub, "DT50photo_air", 0, "inf", ""},
        {Towner::emi, "to_air", 1, "-1",
         "to_air[Aland]: '-1' is outside the allowed range (0 to 1e+15)"},
        {Towner::emi, "to_air", 0, "2e15",
         "to_air[All]: '2e15' is outside the allowed range (0 to 1e+15)"},
        {Towner::emi, "to_air", 1, "0", ""},
    };
    for (const Tcase& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.text);
        Tworldfixture f;
        f.organic();
        f.ws.emi.set(1, air);
        f.ws.env.changed = false;
        f.ws.sub.changed = false;
        const std::string before = state(f.ws, c.owner, c.name);
        f.ui.editanswers.push_back({true, true, c.text});
        if (*c.refusal) {
            try {
                edit(f.ws, c.owner, c.name, c.region);
                ADD_FAILURE() << "accepted";
            } catch (const EConvertError& e) {
                EXPECT_EQ(std::string(e.what()), c.refusal);
            }
            EXPECT_EQ(state(f.ws, c.owner, c.name), before);
            EXPECT_FALSE(f.ws.env.changed);
            EXPECT_FALSE(f.ws.sub.changed);
        } else {
            edit(f.ws, c.owner, c.name, c.region);
            EXPECT_NE(state(f.ws, c.owner, c.name), before);
        }
        EXPECT_EQ(f.ui.editrequests.size(), 1u);
    }
}

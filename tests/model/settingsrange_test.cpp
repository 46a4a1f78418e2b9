// Typed settings that would turn into infinity or stand in for values of the
// data are refused, naming the setting and the allowed range.
#include <gtest/gtest.h>

#include "model/settings.h"
#include "numeric/errors.h"

using namespace velmora;

TEST(SettingsRange, EmissionAndInfiniteTakeOnlyValuesInTheirRange) {
    EXPECT_EQ(emissionamountof("2.5"), 2.5f);
    EXPECT_EQ(emissionamountof("1e15"), 1e15f);
    EXPECT_EQ(infvalueof("1e20"), 1e20f);
    EXPECT_EQ(infvalueof("3.4e38"), 3.4e38f);
    struct Tcase {
        float (*parse)(const std::string&);
        std::string text;
        std::string message;
    };
    const Tcase refused[] = {
        {emissionamountof, "1e300",
         "Emission: '1e300' is outside the allowed range (above 0 to "
         "1e15 kg*s^-1)"},
        {emissionamountof, "0", "Emission: '0' is outside the allowed range"},
        {emissionamountof, "-1", "Emission: '-1' is outside the allowed range"},
        {emissionamountof, "abc", "'abc' is not a valid num value"},
        {infvalueof, "1e39", "Infinite: '1e39' is outside the allowed range (1e18 to 3.4e38)"},
        {infvalueof, "1000", "Infinite: '1000' is outside the allowed range"},
        {infvalueof, "-1e20", "Infinite: '-1e20' is outside the allowed range"},
    };
    for (const Tcase& c : refused) {
        try {
            c.parse(c.text);
            ADD_FAILURE() << c.text << " accepted";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
        }
    }
}

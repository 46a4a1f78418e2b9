#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <cmath>
#include <functional>
#include <limits>
#include <locale>
#include <memory>
#include <string>
#include <thread>

#include "numeric/utilities.h"

using namespace velmora;

namespace {

std::string message(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(nothing raised)";
}

Tnumvector* vectorof(std::initializer_list<extended> values) {
    auto* v = new Tnumvector();
    std::uint32_t i = 0;
    for (extended x : values)
        v->setvalue(++i, x);
    return v;
}

// A decimal comma for C++ streams, as a European user's locale has.
struct Tcommapunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

// Switches the process to a decimal-comma locale for the life of the object:
// the C locale when the machine has one, the C++ global locale always.
class Tcommalocale {
public:
    Tcommalocale() : cxx_(std::locale()) {
        const char* old = std::setlocale(LC_NUMERIC, nullptr);
        c_ = old ? old : "C";
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "nl_NL.UTF-8", "fr_FR.UTF-8"})
            if (std::setlocale(LC_NUMERIC, name)) break;
        std::locale::global(std::locale(std::locale::classic(), new Tcommapunct));
    }
    ~Tcommalocale() {
        std::setlocale(LC_NUMERIC, c_.c_str());
        std::locale::global(cxx_);
    }

private:
    std::string c_;
    std::locale cxx_;
};

} // namespace

// ---- number and text conversion ----------------------------------------------

TEST(Strtonum, ReadsPlainDecimalNumbersWithAPoint) {
    EXPECT_EQ(strtonum("1.5"), 1.5L);
    EXPECT_EQ(strtonum("-0.25e-2"), static_cast<extended>(-0.0025));
    EXPECT_EQ(strtonum("+2.5"), 2.5L);
    EXPECT_EQ(strtonum("42"), 42.0L);
    EXPECT_EQ(strtonum("1E20"), static_cast<extended>(1e20));
    EXPECT_EQ(strtonum(".5"), 0.5L);
    EXPECT_EQ(strtonum("7."), 7.0L);
    // The nearest double, so that a number written by a workbook reads back exactly.
    EXPECT_EQ(strtonum("0.1"), static_cast<extended>(0.1));
    EXPECT_EQ(strtonum("0.30000000000000004"), static_cast<extended>(0.1 + 0.2));
    EXPECT_EQ(strtonum("4.9406564584124654e-324"),
              static_cast<extended>(std::numeric_limits<double>::denorm_min()));
    EXPECT_EQ(strtonum("1.7976931348623157e308"),
              static_cast<extended>(std::numeric_limits<double>::max()));
    EXPECT_EQ(strtonum("1e-400"), 0); // below every double: 0
}

TEST(Strtonum, ReadsAPointUnderADecimalCommaLocale) {
    Tcommalocale comma;
    EXPECT_EQ(strtonum("1.5"), 1.5L);
    EXPECT_EQ(message([] { strtonum("1,5"); }), "'1,5' is not a valid num value");
    EXPECT_EQ(numtostr(1.5f, 3), "1.5");
    EXPECT_EQ(generalformat(0.000012345L, 3), "0.0000123");
}

TEST(Strtonum, RejectsEverythingElseWithTheTextInQuotes) {
    for (const char* text :
         {"1,5",    "",    " ",    "abc", "1.2.3", "e5",   "--1",   "1e",    ".",
          "-",      "inf", "-inf", "nan", "NaN",   "0x1A", "1,000", "1 000", "1e400",
          "-1e400", "12a", "1.5f", "+-1", "++1",   "+",    "1e+",   "\t"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(strtonum(text), EConvertError);
        EXPECT_EQ(message([&] { strtonum(text); }),
                  std::string("'") + text + "' is not a valid num value");
    }
}

TEST(Strtobool, AcceptsTrueAndFalseInAnyCase) {
    EXPECT_TRUE(strtobool("true"));
    EXPECT_TRUE(strtobool("TRUE"));
    EXPECT_TRUE(strtobool("tRuE"));
    EXPECT_FALSE(strtobool("False"));
    EXPECT_FALSE(strtobool("FALSE"));
    for (const char* text : {"yes", "", "1", "0", "T", "truth", "no"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(strtobool(text), EConvertError);
        EXPECT_EQ(message([&] { strtobool(text); }),
                  std::string("'") + text + "' is not a valid boolean value");
    }
}

TEST(Strtoint, ReadsDecimalIntegersInRange) {
    EXPECT_EQ(strtoint("42"), 42);
    EXPECT_EQ(strtoint("-7"), -7);
    EXPECT_EQ(strtoint("+3"), 3);
    EXPECT_EQ(strtoint("2147483647"), 2147483647);
    EXPECT_EQ(strtoint("-2147483648"), -2147483647 - 1);
    for (const char* text :
         {"2147483648", "-2147483649", "1.0", "", "1e3", "0x10", "12a", "-", "+-5", "++5", "+"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(strtoint(text), EConvertError);
        EXPECT_EQ(message([&] { strtoint(text); }),
                  std::string("'") + text + "' is not a valid integer value");
    }
}

TEST(Numtostr, GeneralFormatWithThreeDigits) {
    EXPECT_EQ(numtostr(1234.5f, 3), "1.23E3");
    EXPECT_EQ(numtostr(0.0000012345f, 3), "1.23E-6");
    EXPECT_EQ(numtostr(0.000012345f, 3), "0.0000123");
    EXPECT_EQ(numtostr(12.5f, 3), "12.5");
    EXPECT_EQ(numtostr(0.0f, 3), "0");
    EXPECT_EQ(numtostr(-1234.5f, 3), "-1.23E3");
    EXPECT_EQ(numtostr(100.0f, 3), "100");
    EXPECT_EQ(numtostr(1000.0f, 3), "1E3");
    EXPECT_EQ(numtostr(2e20f, 3), "2E20");
    EXPECT_EQ(numtostr(0.5f, 3), "0.5");
    EXPECT_EQ(numtostr(-0.001f, 3), "-0.001");
}

TEST(Numtostr, RoundingCanCarryIntoAnotherDigit) {
    EXPECT_EQ(numtostr(9.9996f, 3), "10");
    EXPECT_EQ(numtostr(999.6f, 3), "1E3");
    EXPECT_EQ(numtostr(0.099996f, 3), "0.1");
    EXPECT_EQ(generalformat(99999.5L, 5), "1E5");
}

TEST(Numtostr, FixedNotationFromOneHundredThousandth) {
    EXPECT_EQ(generalformat(0.00001L, 3), "0.00001");
    EXPECT_EQ(generalformat(0.0000099L, 3), "9.9E-6");
    EXPECT_EQ(generalformat(1.5e-7L, 2), "1.5E-7");
    EXPECT_EQ(generalformat(12345.67L, 6), "12345.7");
    EXPECT_EQ(generalformat(123456.7L, 6), "123457");
    EXPECT_EQ(generalformat(1234567.0L, 6), "1.23457E6");
    EXPECT_EQ(generalformat(1e-300L, 3), "1E-300");
    EXPECT_EQ(generalformat(-2.5e100L, 4), "-2.5E100");
}

TEST(Numtostr, DigitsZeroGivesOnlyTheSign) {
    EXPECT_EQ(numtostr(-4.0f, 0), "-");
    EXPECT_EQ(numtostr(3.0f, 0), "+");
    EXPECT_EQ(numtostr(0.0f, 0), "0");
    EXPECT_EQ(numtostr(-4.0L, 0), "-");
    EXPECT_EQ(numtostr(1e-30L, 0), "+");
}

TEST(Numtostr, SinglesShowAtMostSevenDigitsAndExtendedAtMostEighteen) {
    EXPECT_EQ(numtostr(1.0f / 3.0f, 6), "0.333333");
    EXPECT_EQ(numtostr(1.0f / 3.0f, 7), "0.3333333");
    EXPECT_EQ(numtostr(1.0f / 3.0f, 10), "0.3333333");
    EXPECT_EQ(numtostr(0.1f, 10), "0.1");
    EXPECT_EQ(numtostr(0.0f, 10), "0");
    EXPECT_EQ(numtostr(12345678.0f, 8), "1.234568E7");
    EXPECT_EQ(numtostr(1.0L / 3.0L, 17), "0.33333333333333333");
    EXPECT_EQ(numtostr(1.0L / 3.0L, 25), "0.333333333333333333");
    EXPECT_EQ(numtostr(0.0L, 25), "0");
    EXPECT_EQ(numtostr(2.0L / 3.0L, 4), "0.6667");
}

TEST(Texts, BooleansCharactersAndTabFields) {
    EXPECT_EQ(booltostr(true), "TRUE");
    EXPECT_EQ(booltostr(false), "FALSE");
    EXPECT_EQ(firstchar("abc"), 'a');
    EXPECT_EQ(lastchar("abc"), 'c');
    EXPECT_EQ(firstchar(""), ' ');
    EXPECT_EQ(lastchar(""), ' ');
    std::string line = "one\ttwo\t\tfour";
    EXPECT_EQ(splitfield(line), "one");
    EXPECT_EQ(line, "two\t\tfour");
    EXPECT_EQ(splitfield(line), "two");
    EXPECT_EQ(splitfield(line), "");
    EXPECT_EQ(line, "four");
    EXPECT_EQ(splitfield(line), "four");
    EXPECT_EQ(line, "");
    EXPECT_EQ(splitfield(line), "");
}

TEST(Shortesttext, ReadsBackToTheSameNumber) {
    for (double x : {0.1, 1.0 / 3.0, 1e-300, 123456789012345678.0, 5e-324, 1.7976931348623157e308,
                     -2.5, 1e21, 4.35}) {
        SCOPED_TRACE(x);
        EXPECT_EQ(static_cast<double>(strtonum(shortesttext(x))), x);
    }
    for (float x : {0.1f, 1.0f / 3.0f, 1e-40f, 3.4028235e38f}) {
        SCOPED_TRACE(x);
        EXPECT_EQ(static_cast<float>(strtonum(shortesttext(x))), x);
    }
}

// ---- comparison and guarded mathematics -----------------------------------------

TEST(Approxequal, RelativeForSameSignsAbsoluteAtZero) {
    EXPECT_TRUE(approxequal(1e20, 1.0000005e20));
    EXPECT_FALSE(approxequal(1e20, 1.000002e20));
    EXPECT_TRUE(approxequal(0, 5e-7));
    EXPECT_TRUE(approxequal(-5e-7, 0));
    EXPECT_FALSE(approxequal(0, 1e-6)); // strictly below
    EXPECT_FALSE(approxequal(0, 2e-6));
    EXPECT_FALSE(approxequal(-1, 1));
    EXPECT_TRUE(approxequal(-1, -1.0000009));
    EXPECT_FALSE(approxequal(1, 1.0000011));
    EXPECT_TRUE(approxequal(1.0000009, 1));
    EXPECT_TRUE(approxequal(0, 0));
    // Tiny numbers of the same sign compare by their ratio, not by their
    // difference: their product is not zero even if a double cannot hold it.
    EXPECT_FALSE(approxequal(1e-200, 2e-200));
    EXPECT_TRUE(approxequal(1e-200, 1e-200));
    EXPECT_FALSE(approxequal(1e-200, -1e-200));
    // Huge numbers: the product overflows a double but the ratio decides.
    EXPECT_TRUE(approxequal(1e200, 1.0000001e200));
    EXPECT_FALSE(approxequal(1e200, 2e200));
}

TEST(Guardedmath, LogarithmsAndPowers) {
    EXPECT_FLOAT_EQ(log10checked(1000), 3.0f);
    EXPECT_FLOAT_EQ(log10checked(0.01L), -2.0f);
    EXPECT_THROW(log10checked(0), EInvalidArgument);
    EXPECT_THROW(log10checked(-1), EInvalidArgument);
    EXPECT_EQ(message([] { log10checked(-1); }), "Invalid argument");
    EXPECT_FLOAT_EQ(power(2, 10), 1024.0f);
    EXPECT_FLOAT_EQ(power(9, 0.5L), 3.0f);
    EXPECT_FLOAT_EQ(power(10, -2), 0.01f);
    EXPECT_THROW(power(0, 2), EInvalidArgument);   // ln 0
    EXPECT_THROW(power(-8, 3), EInvalidArgument);  // ln of a negative number
    EXPECT_THROW(power(10, 50), EInvalidArgument); // beyond a single
    EXPECT_FLOAT_EQ(exp10checked(2), 100.0f);
    EXPECT_FLOAT_EQ(exp10checked(-1), 0.1f);
    EXPECT_THROW(exp10checked(39), EInvalidArgument);
    EXPECT_EQ(message([] { exp10checked(39); }), "Invalid argument");
}

TEST(Guardedmath, ArcsineRefusesArgumentsOutsideMinusOneToOne) {
    EXPECT_EQ(arcsinchecked(1), 1.5707964f);
    EXPECT_EQ(arcsinchecked(-1), -1.5707964f);
    EXPECT_FLOAT_EQ(arcsinchecked(0.5L), 0.5235988f); // pi / 6
    EXPECT_EQ(arcsinchecked(0), 0.0f);
    EXPECT_THROW(arcsinchecked(1.0000001L), EInvalidArgument);
    EXPECT_THROW(arcsinchecked(-1.0000001L), EInvalidArgument);
    EXPECT_EQ(message([] { arcsinchecked(1.0000001L); }), "Invalid argument");
}

// ---- distance ---------------------------------------------------------------------

TEST(Geodistance, OneDegreeOfLongitudeOnTheEquator) {
    // dphi = 0, dlambda = -0.017453, phim = 0: M = a(1 - e2) = 6335151.57,
    // N = a = 6378137; c = 0.017453 and theta = -pi/2, so the distance is
    // c * N = 0.017453 * 6378137 = 111317.6 m.
    float distance = 0, bearing = -1;
    geodistance({0, 0}, {0, 1}, distance, bearing);
    EXPECT_NEAR(distance, 111317.6, 2.0);
    EXPECT_EQ(bearing, -1); // equal latitudes leave it unchanged
}

TEST(Geodistance, OneDegreeOfLatitudeAlongAMeridian) {
    // phim = 0.0087265: w = 1 - e2 sin^2(phim) = 0.99999948677,
    // M = a(1 - e2) / w^1.5 = 6335156.44, N = a / sqrt(w) = 6378138.64;
    // theta = 0, so the distance is c * M = 0.017453 * 6335156.44 = 110567.5 m.
    float distance = 0, bearing = 77;
    geodistance({0, 0}, {1, 0}, distance, bearing);
    EXPECT_NEAR(distance, 110567.5, 2.0);
    EXPECT_EQ(bearing, 77); // equal longitudes leave it unchanged
}

TEST(Geodistance, BearingQuadrants) {
    // From (10, 20) to (11, 21): dphi = dlambda = -0.017453, phim = 0.1832565,
    // M = 6337278.97, N = 6378850.86;
    // h = sin^2(0.0087265) + cos(11 deg) cos(10 deg) sin^2(0.0087265) = 0.0001497760,
    // c = 2 asin(sqrt h) = 0.0244763; theta = asin(cos(11 deg) sin(-0.017453) / sin c)
    // = -0.7753841; distance = c M N / (M sin^2 theta + N cos^2 theta) = 155610.2 m,
    // bearing |theta| * 57.295781 = 44.42624.
    float distance = 0, bearing = 0;
    geodistance({10, 20}, {11, 21}, distance, bearing);
    EXPECT_NEAR(distance, 155610.2, 2.0);
    EXPECT_NEAR(bearing, 44.42624, 0.001);
    // Going back, cos(10 deg) enters theta: 0.7785648, bearing 180 + 44.60848.
    geodistance({11, 21}, {10, 20}, distance, bearing);
    EXPECT_NEAR(distance, 155613.4, 2.0);
    EXPECT_NEAR(bearing, 224.60848, 0.001);
    geodistance({10, 21}, {11, 20}, distance, bearing);
    EXPECT_NEAR(distance, 155610.2, 2.0);
    EXPECT_NEAR(bearing, 360 - 44.42624, 0.001);
    geodistance({11, 20}, {10, 21}, distance, bearing);
    EXPECT_NEAR(distance, 155613.4, 2.0);
    EXPECT_NEAR(bearing, 180 - 44.60848, 0.001);
}

TEST(Geodistance, TheSamePointIsNoDistanceAway) {
    float distance = -1, bearing = 5;
    geodistance({45, 7}, {45, 7}, distance, bearing);
    EXPECT_EQ(distance, 0);
    EXPECT_EQ(bearing, 5);
}

// ---- vector statistics ------------------------------------------------------------

TEST(Vectorstatistics, SumMeanVarianceDeviationAndVariation) {
    std::unique_ptr<Tnumvector> v(vectorof({2, 4, 4, 4, 5, 5, 7, 9}));
    EXPECT_FLOAT_EQ(vectorsum(*v), 40.0f);
    EXPECT_FLOAT_EQ(vectormean(*v), 5.0f);
    // squared deviations 9 1 1 1 0 0 4 16 = 32, over m - 1 = 7
    EXPECT_FLOAT_EQ(vectorvariance(*v), 32.0f / 7.0f);
    EXPECT_FLOAT_EQ(vectorstddev(*v), std::sqrt(32.0f / 7.0f));
    EXPECT_FLOAT_EQ(vectorcv(*v), std::sqrt(32.0f / 7.0f) / 5.0f);
    // Zeros count in m but not in the sum.
    std::unique_ptr<Tnumvector> w(vectorof({0, 6, 0}));
    EXPECT_FLOAT_EQ(vectorsum(*w), 6.0f);
    EXPECT_FLOAT_EQ(vectormean(*w), 2.0f);
    EXPECT_FLOAT_EQ(vectorvariance(*w), 12.0f); // (4 + 16 + 4) / 2
}

TEST(Vectorstatistics, TooFewElementsOrAZeroMeanRaise) {
    Tnumvector empty;
    EXPECT_THROW(vectorsum(empty), EInvalidArgument);
    EXPECT_THROW(vectormean(empty), EInvalidArgument);
    std::unique_ptr<Tnumvector> one(vectorof({3}));
    EXPECT_FLOAT_EQ(vectormean(*one), 3.0f);
    EXPECT_THROW(vectorvariance(*one), EInvalidArgument);
    EXPECT_EQ(message([&] { vectorvariance(*one); }), "Invalid argument");
    EXPECT_THROW(vectorstddev(*one), EInvalidArgument);
    EXPECT_THROW(vectorcv(*one), EInvalidArgument);
    std::unique_ptr<Tnumvector> zeros(vectorof({0, 0}));
    EXPECT_THROW(vectorcv(*zeros), EInvalidOp);
    EXPECT_EQ(message([&] { vectorcv(*zeros); }), "Could not evaluate operation");
    std::unique_ptr<Tnumvector> opposite(vectorof({1, -1}));
    EXPECT_THROW(vectorcv(*opposite), EInvalidOp);
}

// ---- timers -------------------------------------------------------------------------

TEST(Timers, ElapsedTimeCountsSecondsSinceCreation) {
    Telapsedtime wall;
    Tcputime cpu;
    EXPECT_GE(wall.elapsed(), 0.0f);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    float w = wall.elapsed();
    EXPECT_GE(w, 0.029f);
    EXPECT_LT(w, 5.0f);
    // The tick counter runs on while the program sleeps.
    EXPECT_GE(cpu.elapsed(), 0.029f);
    volatile double sink = 0;
    for (int i = 0; i < 2000000; ++i)
        sink = sink + std::sqrt(static_cast<double>(i));
    EXPECT_GT(cpu.elapsed(), 0.0f);
    EXPECT_LT(cpu.elapsed(), 5.0f);
}

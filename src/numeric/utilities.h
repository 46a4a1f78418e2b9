#pragma once
// Number and text conversion with "." as decimal separator whatever the
// locale, guarded mathematics, geodesic distance, vector statistics, timers.
#include <chrono>
#include <cstdint>
#include <string>

#include "numeric/vectors.h"

namespace velmora {

// Text to number; raises EConvertError "'<s>' is not a valid num value".
extended strtonum(const std::string& s);
// "TRUE"/"FALSE" in any letter case; raises "'<s>' is not a valid boolean value".
bool strtobool(const std::string& s);
// Decimal integer; raises "'<s>' is not a valid integer value".
std::int32_t strtoint(const std::string& s);

// General format with the given significant digits (0: sign only; above 6:
// 7 digits for singles, above 17: 18 digits for extended values).
std::string numtostr(float x, unsigned digits);
std::string numtostr(extended x, unsigned digits);
// General format with exactly p significant digits (1..18).
std::string generalformat(extended x, unsigned p);
// The shortest text that reads back to exactly this float (or double).
std::string shortesttext(float x);
std::string shortesttext(double x);
std::string booltostr(bool b);
char firstchar(const std::string& s);
char lastchar(const std::string& s);
// Returns the text before the first tab and removes it and the tab from line.
std::string splitfield(std::string& line);
// s without the blanks, tabs and line ends at either end.
std::string trimmed(const std::string& s);

bool approxequal(double x, double y);
float log10checked(extended x);
float power(extended base, extended exponent);
float exp10checked(extended x);
float arcsinchecked(extended x);

struct Tgeopoint {
    float latitude = 0;
    float longitude = 0;
};
// Distance in metres and bearing in degrees between two points; the bearing
// is left unchanged for equal latitudes or equal longitudes.
void geodistance(Tgeopoint p1, Tgeopoint p2, float& distance, float& bearing);

float vectorsum(const Tnumvector& v);
float vectormean(const Tnumvector& v);
float vectorvariance(const Tnumvector& v);
float vectorstddev(const Tnumvector& v);
float vectorcv(const Tnumvector& v);

class Telapsedtime {
public:
    Telapsedtime() : start_(std::chrono::steady_clock::now()) {}
    // Seconds since creation.
    float elapsed() const {
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start_);
        return static_cast<float>(ms.count() * 0.001);
    }

private:
    std::chrono::steady_clock::time_point start_;
};

// Seconds since creation by the processor's tick counter (waiting included).
class Tcputime {
public:
    Tcputime();
    float elapsed() const;

private:
    double start_;
};

} // namespace velmora

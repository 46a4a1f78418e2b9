#include "numeric/utilities.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "numeric/files.h"

namespace velmora {

std::string trimmed(const std::string& s) {
    std::size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return {};
    std::size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

namespace {

[[noreturn]] void notvalid(const std::string& s, const char* what) {
    throw EConvertError("'" + messagetext(s) + "' is not a valid " + what + " value");
}

float checkedsingle(extended x) {
    if (!std::isfinite(x)) throw EInvalidArgument();
    float f = static_cast<float>(x);
    if (!std::isfinite(f)) throw EInvalidArgument();
    return f;
}

// Skips one leading '+', which the parsers below do not take; a sign right
// after it ("+-1") stays and makes the text invalid.
const char* skipplus(const char* first, const char* last) {
    if (first == last || *first != '+') return first;
    if (last - first > 1 && (first[1] == '-' || first[1] == '+')) return first;
    return first + 1;
}

} // namespace

extended strtonum(const std::string& s) {
    std::string t = trimmed(s);
    const char* first = t.data();
    const char* last = t.data() + t.size();
    first = skipplus(first, last);
    // Only decimal digits, one point and an exponent: no "inf", "nan" or hex.
    bool digit = false;
    for (const char* p = first; p != last; ++p) {
        char c = *p;
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c != '.' && c != 'e' && c != 'E' && c != '-' && c != '+')
            notvalid(s, "num");
    }
    if (!digit) notvalid(s, "num");
    double value = 0;
    auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Underflow reads as 0; overflow is not a number we can hold.
        if (std::strtod(std::string(first, last).c_str(), nullptr) == 0) return 0;
        notvalid(s, "num");
    }
    if (ec != std::errc() || end != last) notvalid(s, "num");
    return value;
}

bool strtobool(const std::string& s) {
    std::string u = s;
    for (char& c : u)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (u == "TRUE") return true;
    if (u == "FALSE") return false;
    notvalid(s, "boolean");
}

std::int32_t strtoint(const std::string& s) {
    std::string t = trimmed(s);
    const char* first = t.data();
    const char* last = t.data() + t.size();
    first = skipplus(first, last);
    std::int32_t value = 0;
    auto [end, ec] = std::from_chars(first, last, value, 10);
    if (ec != std::errc() || end != last || first == last) notvalid(s, "integer");
    return value;
}

std::string generalformat(extended x, unsigned p) {
    if (p < 1) p = 1;
    if (p > 18) p = 18;
    if (x == 0) return "0";
    if (std::isnan(x)) return "NAN";
    if (std::isinf(x)) return x > 0 ? "INF" : "-INF";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*Le", static_cast<int>(p - 1), x);
    std::string e(buf);
    std::size_t epos = e.find('e');
    std::string mantissa = e.substr(0, epos);
    int exponent = std::atoi(e.c_str() + epos + 1);
    extended rounded = std::strtold(buf, nullptr);
    if (exponent < static_cast<int>(p) && std::fabs(rounded) >= 0.00001L) {
        int decimals = static_cast<int>(p) - 1 - exponent;
        if (decimals < 0) decimals = 0;
        std::snprintf(buf, sizeof buf, "%.*Lf", decimals, rounded);
        std::string f(buf);
        if (f.find('.') != std::string::npos) {
            while (!f.empty() && f.back() == '0')
                f.pop_back();
            if (!f.empty() && f.back() == '.') f.pop_back();
        }
        if (f == "-0") f = "0";
        return f;
    }
    if (mantissa.find('.') != std::string::npos) {
        while (!mantissa.empty() && mantissa.back() == '0')
            mantissa.pop_back();
        if (!mantissa.empty() && mantissa.back() == '.') mantissa.pop_back();
    }
    return mantissa + "E" + std::to_string(exponent);
}

std::string numtostr(float x, unsigned digits) {
    if (digits == 0) return x > 0 ? "+" : x == 0 ? "0" : "-";
    if (digits <= 6) return generalformat(x, digits);
    return x == 0 ? "0" : generalformat(x, 7);
}

std::string numtostr(extended x, unsigned digits) {
    if (digits == 0) return x > 0 ? "+" : x == 0 ? "0" : "-";
    if (digits <= 17) return generalformat(x, digits);
    return x == 0 ? "0" : generalformat(x, 18);
}

std::string shortesttext(float x) {
    if (std::isinf(x)) return x > 0 ? "inf" : "-inf";
    if (std::isnan(x)) return "nan";
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x);
    (void)ec;
    return std::string(buf, end);
}

std::string shortesttext(double x) {
    if (std::isinf(x)) return x > 0 ? "inf" : "-inf";
    if (std::isnan(x)) return "nan";
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x);
    (void)ec;
    return std::string(buf, end);
}

std::string booltostr(bool b) {
    return b ? "TRUE" : "FALSE";
}

char firstchar(const std::string& s) {
    return s.empty() ? ' ' : s.front();
}

char lastchar(const std::string& s) {
    return s.empty() ? ' ' : s.back();
}

std::string splitfield(std::string& line) {
    std::size_t tab = line.find('\t');
    std::string field;
    if (tab == std::string::npos) {
        field.swap(line);
    } else {
        field = line.substr(0, tab);
        line.erase(0, tab + 1);
    }
    return field;
}

bool approxequal(double x, double y) {
    // The product's sign decides; in extended precision it cannot underflow
    // to 0 (1e-200 * 2e-200) nor overflow for any two doubles.
    extended product = static_cast<extended>(x) * y;
    if (product == 0) return std::fabs(y - x) < 1e-6;
    if (product > 0) {
        double ratio = y / x;
        return ratio > 0.999999 && ratio < 1.000001;
    }
    return false;
}

float log10checked(extended x) {
    if (!(x > 0) || !std::isfinite(x)) throw EInvalidArgument();
    return checkedsingle(std::log(x) / std::log(10.0L));
}

float power(extended base, extended exponent) {
    if (!(base > 0) || !std::isfinite(base) || !std::isfinite(exponent)) throw EInvalidArgument();
    extended r = std::exp(exponent * std::log(base));
    return checkedsingle(r);
}

float exp10checked(extended x) {
    if (!std::isfinite(x)) throw EInvalidArgument();
    return checkedsingle(std::exp(x * std::log(10.0L)));
}

float arcsinchecked(extended x) {
    if (std::isnan(x) || x < -1 || x > 1) throw EInvalidArgument();
    if (x == 1) return 1.5707964f;
    if (x == -1) return -1.5707964f;
    return static_cast<float>(std::atan(x / std::sqrt(1 - x * x)));
}

void geodistance(Tgeopoint p1, Tgeopoint p2, float& distance, float& bearing) {
    // Expressions are worked out in extended precision; what the method keeps
    // (the differences, M, N, c, theta, the distance) is held as a float.
    const extended degrad = 0.017453L;
    const extended raddeg = 57.295781L;
    const extended a = 6378137.0L;
    const extended e2 = 0.006739496742337L;
    const extended lat1 = p1.latitude, lon1 = p1.longitude, lat2 = p2.latitude, lon2 = p2.longitude;
    const float dphi = static_cast<float>((lat1 - lat2) * degrad);
    const float dlambda = static_cast<float>((lon1 - lon2) * degrad);
    const float phim = static_cast<float>((lat1 + lat2) / 2 * degrad);
    const extended sinphim = std::sin(extended(phim));
    const extended w = 1 - e2 * sinphim * sinphim;
    const float m = static_cast<float>(a * (1 - e2) / std::pow(w, 1.5L));
    const float n = static_cast<float>(a / std::sqrt(w));
    const extended sdphi = std::sin(extended(dphi) / 2);
    const extended sdlambda = std::sin(extended(dlambda) / 2);
    const extended coslat2 = std::cos(lat2 * degrad);
    const extended h = sdphi * sdphi + coslat2 * std::cos(lat1 * degrad) * sdlambda * sdlambda;
    const float c = static_cast<float>(2 * extended(arcsinchecked(std::sqrt(h))));
    const extended sinc = std::sin(extended(c));
    float theta = 0;
    if (sinc != 0) {
        extended s = coslat2 * std::sin(extended(dlambda)) / sinc;
        // Rounding can push the ratio a hair beyond 1 for points on one meridian.
        if (s > 1 && s < 1.000001L) s = 1;
        if (s < -1 && s > -1.000001L) s = -1;
        theta = arcsinchecked(s);
    }
    const extended st = std::sin(extended(theta)), ct = std::cos(extended(theta));
    distance = static_cast<float>(extended(c) * m * n / (m * st * st + n * ct * ct));
    const float b = static_cast<float>(std::fabs(theta * raddeg));
    if (lat1 < lat2 && lon1 < lon2)
        bearing = b;
    else if (lat1 < lat2 && lon1 > lon2)
        bearing = 360 - b;
    else if (lat1 > lat2 && lon1 > lon2)
        bearing = 180 + b;
    else if (lat1 > lat2 && lon1 < lon2)
        bearing = 180 - b;
}

float vectorsum(const Tnumvector& v) {
    if (v.count() == 0) throw EInvalidArgument();
    extended s = 0;
    for (std::uint32_t i = 1; i <= v.count(); ++i)
        if (v.isnonzero(i)) s += v.getvalue_nocheck(i);
    return static_cast<float>(s);
}

float vectormean(const Tnumvector& v) {
    if (v.count() == 0) throw EInvalidArgument();
    return static_cast<float>(static_cast<extended>(vectorsum(v)) / v.count());
}

float vectorvariance(const Tnumvector& v) {
    if (v.count() < 2) throw EInvalidArgument();
    extended mean = vectormean(v);
    extended s = 0;
    for (std::uint32_t i = 1; i <= v.count(); ++i) {
        extended d = v.getvalue_nocheck(i) - mean;
        s += d * d;
    }
    return static_cast<float>(s / (v.count() - 1));
}

float vectorstddev(const Tnumvector& v) {
    return std::sqrt(vectorvariance(v));
}

float vectorcv(const Tnumvector& v) {
    float sd = vectorstddev(v);
    float mean = vectormean(v);
    if (mean == 0) throw EInvalidOp();
    return sd / mean;
}

namespace {
// The processor's own tick counter, unadjusted, which the kernel reads from
// the time-stamp counter: it runs on while the program waits for the user.
double processseconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC_RAW, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}
} // namespace

Tcputime::Tcputime() : start_(processseconds()) {}

float Tcputime::elapsed() const {
    return static_cast<float>(processseconds() - start_);
}

} // namespace velmora

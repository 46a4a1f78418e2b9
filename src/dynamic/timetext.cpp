#include "dynamic/timetext.h"

#include <algorithm>
#include <cmath>

#include "numeric/errors.h"
#include "numeric/utilities.h"

namespace velmora {

namespace {

// A long argument is cut in messages, so a pasted file does not flood them.
std::string quoted(const std::string& s) {
    return "\"" + (s.size() > 40 ? s.substr(0, 40) + "..." : s) + "\"";
}

unsigned parsecount(const std::string& text, const std::string& whole) {
    double n = 0;
    try {
        n = static_cast<double>(strtonum(text));
    } catch (const Eerror&) {
        throw Eerror("the output times " + quoted(whole) + " need a whole number after the colon");
    }
    if (!(n >= 1 && n <= 100000) || n != std::floor(n))
        throw Eerror("the output times " + quoted(whole) + " ask for " + text +
                     " times; give 1 to 100000");
    return static_cast<unsigned>(n);
}

} // namespace

double parseduration(const std::string& given) {
    const std::string text = trimmed(given);
    if (text.empty()) throw Eerror("a time is empty; give a number and a unit (s, h, d or y)");
    double unit = 0;
    switch (text.back()) {
    case 's':
        unit = 1;
        break;
    case 'h':
        unit = secondsperhour;
        break;
    case 'd':
        unit = secondsperday;
        break;
    case 'y':
        unit = secondsperyear;
        break;
    default:
        break;
    }
    const std::string number = unit != 0 ? trimmed(text.substr(0, text.size() - 1)) : text;
    double x = 0;
    try {
        x = static_cast<double>(strtonum(number));
    } catch (const Eerror&) {
        throw Eerror("the time " + quoted(given) +
                     " is no number with a unit (s, h, d or y, as in 100y)");
    }
    if (!std::isfinite(x)) throw Eerror("the time " + quoted(given) + " is not finite");
    if (unit == 0) {
        if (x != 0) throw Eerror("the time " + quoted(given) + " needs a unit: s, h, d or y");
        unit = 1;
    }
    if (x < 0) throw Eerror("the time " + quoted(given) + " is negative");
    return x * unit;
}

std::string durationtext(double seconds, unsigned digits) {
    const double a = std::fabs(seconds);
    const char* unit = "s";
    double x = seconds;
    if (a >= secondsperyear) {
        unit = "y";
        x = seconds / secondsperyear;
    } else if (a >= secondsperday) {
        unit = "d";
        x = seconds / secondsperday;
    } else if (a >= secondsperhour) {
        unit = "h";
        x = seconds / secondsperhour;
    }
    return generalformat(x, digits) + " " + unit;
}

std::vector<double> lineartimes(unsigned n, double until) {
    std::vector<double> t;
    for (unsigned k = 1; k <= n; ++k)
        t.push_back(k == n ? until : until * k / n);
    return t;
}

std::vector<double> logtimes(unsigned n, double until, double decades) {
    if (n == 1) return {until};
    std::vector<double> t;
    for (unsigned k = 0; k < n; ++k)
        t.push_back(k + 1 == n ? until
                               : until * std::pow(10.0, -decades * (n - 1 - k) / double(n - 1)));
    return t;
}

std::vector<double> parseoutputtimes(const std::string& given, double until) {
    const std::string text = trimmed(given);
    if (text.rfind("lin:", 0) == 0) return lineartimes(parsecount(text.substr(4), text), until);
    if (text.rfind("log:", 0) == 0) return logtimes(parsecount(text.substr(4), text), until);
    std::vector<double> times;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::string item =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const double t = parseduration(item);
        const std::string place =
            "output time " + std::to_string(times.size() + 1) + " (" + trimmed(item) + ")";
        if (t > until * (1 + 1e-12))
            throw Eerror(place + " lies beyond the end of the run, " + durationtext(until));
        if (!times.empty() && t <= times.back())
            throw Eerror(place + " is not later than the time before it; give the times in "
                                 "increasing order");
        times.push_back(std::min(t, until));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return times;
}

} // namespace velmora

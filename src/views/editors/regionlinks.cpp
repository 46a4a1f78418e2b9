#include "views/editors/regionlinks.h"

#include <cstdint>

namespace velmora {

namespace {

bool unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

// The base letter of a Latin-1 letter U+00C0..U+00FF, lower case; 0 for
// the signs that are no letters (multiplication and division).
const char* latinbase(std::uint32_t code) {
    static const char* const table[64] = {
        "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",
        "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "ss",
        "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",
        "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "y"};
    return code >= 0xC0 && code <= 0xFF ? table[code - 0xC0] : nullptr;
}

// Decodes the UTF-8 sequence at text[at]; length gets its byte count (1 for
// a byte that starts no valid sequence, which is then taken as it is).
std::uint32_t decode(const std::string& text, std::size_t at, std::size_t& length) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = byte(at);
    length = 1;
    int more = 0;
    std::uint32_t code = c;
    if (c >= 0xC2 && c <= 0xDF) {
        more = 1;
        code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        more = 2;
        code = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        more = 3;
        code = c & 0x07;
    }
    if (more > 0 && at + static_cast<std::size_t>(more) >= text.size()) return c;
    for (int k = 1; k <= more; ++k) {
        const unsigned char next = byte(at + static_cast<std::size_t>(k));
        if ((next & 0xC0) != 0x80) return c;
        code = (code << 6) | (next & 0x3F);
    }
    length = static_cast<std::size_t>(more) + 1;
    return code;
}

} // namespace

std::string percentencoded(const std::string& text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (unreserved(c)) {
            out += ch;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string locateaddress(const std::string& regionname) {
    return "https://www.openstreetmap.org/search?query=" + percentencoded(regionname);
}

std::string factbookname(const std::string& regionname) {
    std::string name;
    bool dash = false; // a separator is due before the next letter
    for (std::size_t at = 0; at < regionname.size();) {
        std::size_t length = 1;
        const std::uint32_t code = decode(regionname, at, length);
        const std::string bytes = regionname.substr(at, length);
        at += length;
        std::string letters;
        if (code < 0x80) {
            const char c = static_cast<char>(code);
            if (c >= 'A' && c <= 'Z')
                letters = static_cast<char>(c - 'A' + 'a');
            else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
                letters = c;
            else if (c == ' ' || c == '-' || c == '_' || c == '/') {
                dash = !name.empty();
                continue;
            } else {
                continue; // apostrophes, commas, dots, brackets
            }
        } else if (const char* base = latinbase(code)) {
            letters = base;
            if (letters.empty()) continue;
        } else {
            letters = bytes;
        }
        if (dash) name += '-';
        dash = false;
        name += letters;
    }
    return percentencoded(name);
}

std::string factsaddress(const std::string& regionname) {
    return "https://www.cia.gov/the-world-factbook/countries/" + factbookname(regionname) + "/";
}

} // namespace velmora

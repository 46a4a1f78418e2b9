#pragma once
// The web addresses of the environment editor's "Region info": a map
// search for a region and the world factbook's page of a country, both
// built from the region's name as the grid shows it.
#include <string>

namespace velmora {

// Every byte of the UTF-8 text but the unreserved letters, digits and
// "-._~" as %XX (upper-case hex).
std::string percentencoded(const std::string& text);

// The map search page for the name.
std::string locateaddress(const std::string& regionname);

// The factbook's page name for a country: lower case, accented Latin
// letters without their accents, blanks and dashes as one '-', other
// punctuation dropped ("Côte d'Ivoire" -> "cote-divoire",
// "Korea, South" -> "korea-south"); letters outside Latin are kept and
// percent-encoded.
std::string factbookname(const std::string& regionname);
std::string factsaddress(const std::string& regionname);

} // namespace velmora

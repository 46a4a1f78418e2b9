#include "guiworld.h"

namespace velmora::testing {

const std::vector<Tguisubstance>& guisubstances() {
    static const std::vector<Tguisubstance> list = {{"Nitrobenzene", "nitrobenzene", "0.123"},
                                                    {"nitrotoluene", "Organic", "0.137"},
                                                    {"Benzene", "Organic", "0.078"},
                                                    {"NItrogen dioxide", "gas", "0.046"},
                                                    {"Cadmium", "metal", "0.112"},
                                                    {"Methane", "gas", "0.016"},
                                                    {"Aniline", "aniline", "0.093"},
                                                    {"Badstuff", "Organic", "abc"}};
    return list;
}

namespace {

void writesubstances(const std::string& path) {
    Tsheetspec sheet{"VELMORA", {}};
    const std::vector<std::string> headers = {"CAS",
                                              "substype",
                                              "name",
                                              "MOLW",
                                              "TEMPmelt",
                                              "VP_TEMPtest",
                                              "SOL",
                                              "Kow",
                                              "DT50bio_freshwater_TEMPtest",
                                              "DT50bio_seawater_TEMPtest",
                                              "DT50bio_soil_TEMPtest",
                                              "DT50aerbio_sed_TEMPtest",
                                              "DT50aerbio_seased_TEMPtest",
                                              "FREEION5seawater",
                                              "FREEION25seawater",
                                              "BCF_fish",
                                              "BCFsoil_leafcrops",
                                              "BCF_rootcrops",
                                              "BCF_meat",
                                              "EFFECT_aquatox",
                                              "EFFECT_seatox",
                                              "EFFECT_terrtox",
                                              "EFFECThum_noncarc",
                                              "EFFECThum_carc"};
    sheet.set(1, 1, "substances");
    for (std::size_t k = 0; k < headers.size(); ++k)
        sheet.set(2, 3 + static_cast<std::uint32_t>(k), headers[k]);
    std::uint32_t row = 4;
    for (const Tguisubstance& s : guisubstances()) {
        const std::vector<std::string> values = {"1-2-3", s.type, s.name, s.MOLW, "279",  "20",
                                                 "15",    "70",   "1e6",  "1e6",  "1e6",  "1e6",
                                                 "1e6",   "0.5",  "0.5",  "1",    "1",    "1",
                                                 "1",     "1e-3", "1e-3", "1e-3", "1e-6", "1e-6"};
        for (std::size_t k = 0; k < values.size(); ++k)
            sheet.set(row, 3 + static_cast<std::uint32_t>(k), values[k]);
        ++row;
    }
    writeworkbook(path, {sheet});
}

} // namespace

Tguiworld::Tguiworld(const Tsmallworld& world, bool substances) {
    world.writeparameters(dir.file("ENVDATA2part1.xlsx"));
    world.writeborders(dir.file("ENVDATA2part2.xlsx"));
    if (substances) writesubstances(dir.file("substances.xlsx"));
}

} // namespace velmora::testing

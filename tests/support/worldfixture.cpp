#include "worldfixture.h"

namespace velmora::testing {

Tworldfixture::Tworldfixture(const Tsmallworld& world) : ws(ui, dir.path().string()) {
    world.writeparameters(ws.settings.ParametersFile);
    world.writeborders(ws.settings.BordersFile);
    ws.readenvironment();
    ws.compartments.define();
    ws.regcomps.build();
    ws.sub.newsubstance();
    ws.sub.settypedefaults();
}

void Tworldfixture::organic() {
    Tsub& s = ws.sub;
    s.newsubstance();
    s.name.set("test organic", stImported);
    s.substype.value = "organic (unclassified)";
    s.substype.status = stImported;
    s.MOLW.set(0.1f, stImported);
    s.TEMPmelt.set(300, stImported);
    s.VP_TEMPtest.set(10, stImported);
    s.SOL.set(1, stImported);
    s.Kow.set(1000, stImported);
    s.DT50bio_freshwater_TEMPtest.set(1e6f, stImported);
    s.DT50bio_seawater_TEMPtest.set(1e6f, stImported);
    s.DT50bio_soil_TEMPtest.set(1e6f, stImported);
    s.DT50aerbio_sed_TEMPtest.set(1e6f, stImported);
    s.DT50aerbio_seased_TEMPtest.set(1e6f, stImported);
    s.settypedefaults();
}

void Tworldfixture::metal() {
    Tsub& s = ws.sub;
    s.newsubstance();
    s.name.set("test metal", stImported);
    s.substype.value = "metal";
    s.substype.status = stImported;
    s.MOLW.set(0.2f, stImported);
    s.FREEION5seawater.set(0.1f, stImported);
    s.FREEION25seawater.set(0.2f, stImported);
    s.BCF_fish.set(1, stImported);
    s.BCFsoil_leafcrops.set(2, stImported);
    s.BCFair_leafcrops.set(2.5f, stImported);
    s.BCF_rootcrops.set(3, stImported);
    s.BCF_meat.set(4, stImported);
    s.BCF_milk.set(4.5f, stImported);
    s.settypedefaults();
}

void Tworldfixture::gas() {
    Tsub& s = ws.sub;
    s.newsubstance();
    s.name.set("test gas", stImported);
    s.substype.value = "gas";
    s.substype.status = stImported;
    s.MOLW.set(0.05f, stImported);
    s.settypedefaults();
}

} // namespace velmora::testing

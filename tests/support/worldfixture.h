#pragma once
// A workspace over a small world written by the test: regions read, the
// environment imported, compartments defined and the regcomps numbered, with
// a substance set up in code. Stage tests then set the earlier results they
// read and run the stage under test.
#include <string>

#include "app/workspace.h"
#include "smallworld.h"
#include "testsupport.h"

namespace velmora::testing {

class Tworldfixture {
public:
    explicit Tworldfixture(const Tsmallworld& world = Tsmallworld::standard());

    Ttempdir dir;
    Trecorderui ui;
    Tworkspace ws;
    Tmodel& m() { return ws.model; }

    // A complete organic substance ("organic (unclassified)"): MOLW 0.1,
    // TEMPmelt 300 K, VP_TEMPtest 10 Pa, SOL 1 mol/m3, Kow 1000, the three
    // biodegradation half-lives 1e6 s; then the type defaults.
    void organic();
    // A complete metal: MOLW 0.2, FREEION 0.1 and 0.2, BCFs 1..4.
    void metal();
    // A gas: MOLW 0.05; then the type defaults.
    void gas();
};

} // namespace velmora::testing

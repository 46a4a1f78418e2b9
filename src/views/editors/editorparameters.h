#pragma once
// Which parameters each editor tab shows. The environment's come from its
// catalogue, where every parameter carries its tab; the substance's and
// the emission's are listed here.
#include <string>
#include <variant>
#include <vector>

#include "model/environment.h"
#include "views/editors/editorgrids.h"

namespace velmora {

class Tworkspace;

// A substance tab: its scalar parameters ("&No") and per-region ones ("&Yes").
struct Tsubstancetab {
    const char* caption;
    std::vector<const char*> scalars;
    std::vector<const char*> regional;
};
// The six grid tabs of the substance editor, in order ("Check" follows).
const std::vector<Tsubstancetab>& substancetabs();

// The environment editor's grid tabs, in order ("Check" follows).
const std::vector<Tenvgroup>& environmenttabs();

// The "&Variable" list of "Borders and flows", in order.
std::vector<Tnumparss*> borderparameters(Tenv& env);

// Appends the column of one parameter of any kind: per-region parameters
// when regional is set, scalars otherwise; the other kinds add nothing.
template <typename Variant>
void addfiltered(Tstringtable& table, const Variant& parameter, const Tworkspace& ws,
                 const Tviewfilter& view, bool regional) {
    std::visit(
        [&](auto* p) {
            if (regional) {
                if constexpr (requires { AddFilteredColumn(table, *p, ws, view); })
                    AddFilteredColumn(table, *p, ws, view);
            } else {
                if constexpr (requires { AddFilteredScalarColumn(table, *p, ws, view); })
                    AddFilteredScalarColumn(table, *p, ws, view);
            }
        },
        parameter);
}

} // namespace velmora

#include "views/editors/editemissionform.h"

#include "app/workspace.h"
#include "toolkit/grid.h"
#include "views/resultsgrid.h"

namespace velmora {

TEditEmissionForm::TEditEmissionForm(Tworkspace& ws, const Tprograminfo& program, QWidget* parent)
    : TEditorForm(ws, program, parent) {
    setObjectName(QStringLiteral("EditEmissionForm"));
    addgridtab(QStringLiteral("Emissions"));
    build(QStringLiteral("Edit emission"), Teditorstart());
}

void TEditEmissionForm::FormShow() {
    Tstringtable table;
    if (regionalized()) {
        ShowRegionRows(table, Tgridcontext{ws_});
        const Tviewfilter v = view();
        for (const Tnumpars* p : ws_.emi.parameters())
            AddFilteredColumn(table, *p, ws_, v);
    } else {
        ShowAllRow(table);
    }
    showtable(activegrid(), std::move(table));
}

void TEditEmissionForm::editvalue(const std::string& name, std::uint32_t region) {
    ws_.emi.edit(name, region);
}

} // namespace velmora

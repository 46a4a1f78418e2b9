#include "views/editors/editsubstanceform.h"

#include <QPushButton>
#include <QTabWidget>

#include "app/workspace.h"
#include "toolkit/grid.h"
#include "views/editors/editorparameters.h"
#include "views/resultsgrid.h"
#include "views/substancetypeform.h"

namespace velmora {

namespace {

Teditorstart substancestart() {
    Teditorstart start;
    start.view.unknown = false;
    start.regionalized = false;
    return start;
}

} // namespace

TEditSubstanceForm::TEditSubstanceForm(Tworkspace& ws, const Tprograminfo& program, QWidget* parent)
    : TEditorForm(ws, program, parent), typedialog(std::make_unique<Tqtsubstancetypedialog>(this)) {
    setObjectName(QStringLiteral("EditSubstanceForm"));
    for (const Tsubstancetab& tab : substancetabs())
        addgridtab(QLatin1String(tab.caption));
    addchecktab();
    build(QStringLiteral("Edit substance"), substancestart());
}

TEditSubstanceForm::~TEditSubstanceForm() = default;

void TEditSubstanceForm::FormShow() {
    const Trefresh refresh(*this);
    if (!refresh) return;

    const int k = PageControl->currentIndex();
    const auto& tabs = substancetabs();
    if (checkactive()) {
        std::vector<std::string> lines;
        ws_.sub.check(lines, true, true);
        showlines(lines);
    } else if (k >= 0 && k < static_cast<int>(tabs.size())) {
        const Tsubstancetab& tab = tabs[static_cast<std::size_t>(k)];
        const bool yes = regionalized();
        const Tviewfilter v = view();
        Tstringtable table;
        if (yes)
            ShowRegionRows(table, Tgridcontext{ws_});
        else
            ShowAllRow(table);
        for (const char* name : yes ? tab.regional : tab.scalars)
            if (const Tsubentry* e = ws_.sub.find(name))
                addfiltered(table, e->parameter, ws_, v, yes);
        showtable(activegrid(), std::move(table));
    }
}

void TEditSubstanceForm::editvalue(const std::string& name, std::uint32_t region) {
    ws_.sub.edit(name, region, typedialog.get());
}

} // namespace velmora

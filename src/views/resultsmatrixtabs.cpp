#include "views/resultsmatrixtabs.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/workspace.h"
#include "toolkit/grid.h"
#include "toolkit/matrixchart.h"
#include "toolkit/errorhandler.h"

namespace velmora {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// "&Variable" with its list and "&Chart ..." above the grid.
QComboBox* variablerow(QWidget* page, QVBoxLayout* layout, QPushButton*& chart) {
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("&Variable"), page);
    auto* list = new QComboBox(page);
    list->setMinimumContentsLength(32);
    list->setMaxVisibleItems(20);
    label->setBuddy(list);
    chart = new QPushButton(QStringLiteral("&Chart ..."), page);
    row->addWidget(label);
    row->addWidget(list);
    row->addWidget(chart);
    row->addStretch(1);
    layout->addLayout(row);
    return list;
}

template <typename P> QString item(const P& p) {
    return qs(heading(p.name(), p.unit()));
}

} // namespace

// ---- Borders and flows -----------------------------------------------------

TBordersTab::TBordersTab(Tworkspace& ws, const Tprograminfo& program, std::function<void()> refresh,
                         QWidget* parent)
    : Tresultstab(QStringLiteral("Borders and flows"), std::move(refresh), parent), ws_(ws),
      program_(program) {
    auto* layout = new QVBoxLayout(this);
    BordersComboBox = variablerow(this, layout, BordersButton);
    BordersComboBox->setObjectName(QStringLiteral("BordersComboBox"));
    BordersButton->setObjectName(QStringLiteral("BordersButton"));
    BordersStringGrid = new Tgrid(this);
    BordersStringGrid->setObjectName(QStringLiteral("BordersStringGrid"));
    layout->addWidget(BordersStringGrid, 1);

    Tresults& r = ws.results;
    items_.push_back(&r.BORDERWINDSPEED);
    if (ws.settings.DistancesDisplay == 2) items_.push_back(&r.DISTANCE);
    if (ws.settings.NBordersDisplay == 2) items_.push_back(&r.NBORDERS);
    for (const Tnumparss* p :
         {&r.ADV_air_air, &r.ADV_river_river, &r.ADV_groundwater_groundwater,
          &r.ADV_seawater_seawater, &r.ADV_river_seawater, &r.ADV_groundwater_seawater})
        items_.push_back(p);
    for (const Tnumparss* p : items_)
        BordersComboBox->addItem(item(*p));
    BordersComboBox->setCurrentIndex(0);
    connect(BordersComboBox, &QComboBox::currentIndexChanged, this, guarded(this, [this] { requestrefresh(); }));
    connect(BordersButton, &QPushButton::clicked, this, guarded(this, [this] { BordersButtonClick(); }));
}

const Tnumparss* TBordersTab::selected() const {
    const int k = BordersComboBox->currentIndex();
    return k >= 0 && k < static_cast<int>(items_.size()) ? items_[static_cast<std::size_t>(k)]
                                                         : nullptr;
}

Tanalyze TBordersTab::update(const Tresultsstate& state) {
    const Tnumparss* p = selected();
    if (state.regionalized == Tregionalized::no || !p) {
        Tstringtable table;
        ShowAllRow(table);
        FinishGrid(BordersStringGrid, std::move(table));
        return {};
    }
    FinishGrid(BordersStringGrid, ShowPairMatrix(*p, ws_), true);
    return {true, false};
}

void TBordersTab::clear() {
    BordersStringGrid->settable(Tstringtable());
}

void TBordersTab::BordersButtonClick() {
    if (const Tnumparss* p = selected()) matrixchart(p->values, p->name(), program_, this);
}

// ---- Equations -------------------------------------------------------------

TEquationsTab::TEquationsTab(Tworkspace& ws, const Tprograminfo& program,
                             std::function<void()> refresh, QWidget* parent)
    : Tresultstab(QStringLiteral("Equations"), std::move(refresh), parent), ws_(ws),
      program_(program) {
    auto* layout = new QVBoxLayout(this);
    EquationsComboBox = variablerow(this, layout, EquationsButton);
    EquationsComboBox->setObjectName(QStringLiteral("EquationsComboBox"));
    EquationsButton->setObjectName(QStringLiteral("EquationsButton"));
    EquationsStringGrid = new Tgrid(this);
    EquationsStringGrid->setObjectName(QStringLiteral("EquationsStringGrid"));
    layout->addWidget(EquationsStringGrid, 1);

    Tregcomps& rcs = ws.regcomps;
    EquationsComboBox->addItem(QStringLiteral("meaning"));
    EquationsComboBox->addItem(item(rcs.AREA));
    EquationsComboBox->addItem(item(rcs.V));
    EquationsComboBox->addItem(item(rcs.DIFF));
    EquationsComboBox->addItem(item(rcs.ADV));
    EquationsComboBox->addItem(item(rcs.kdeg));
    EquationsComboBox->addItem(item(rcs.ADV_outside));
    if (ws.settings.FactorsMode) {
        EquationsComboBox->addItem(item(rcs.Abig));
        EquationsComboBox->addItem(item(rcs.Abiginverse));
    } else {
        EquationsComboBox->addItem(item(rcs.EMIS));
        EquationsComboBox->addItem(item(rcs.Abig));
        EquationsComboBox->addItem(item(rcs.CONC));
        if (ws.settings.WithRestime) {
            EquationsComboBox->addItem(item(rcs.MASS));
            EquationsComboBox->addItem(item(rcs.RESTIME));
            EquationsComboBox->addItem(item(rcs.EMISprime));
        }
    }
    EquationsComboBox->setCurrentIndex(0);
    connect(EquationsComboBox, &QComboBox::currentIndexChanged, this, guarded(this, [this] { requestrefresh(); }));
    connect(EquationsButton, &QPushButton::clicked, this, guarded(this, [this] { EquationsButtonClick(); }));
}

const Tnumparss* TEquationsTab::selectedmatrix() const {
    const std::string name = itemname(EquationsComboBox->currentText().toStdString());
    Tregcomps& rcs = ws_.regcomps;
    for (const Tnumparss* p : {&rcs.DIFF, &rcs.ADV, &rcs.Abig, &rcs.Abiginverse})
        if (p->name() == name) return p;
    return nullptr;
}

const Tnumpars* TEquationsTab::selectedvector() const {
    // The whole name before " (" decides: the item of ADV_outside is neither
    // ADV nor V.
    const std::string name = itemname(EquationsComboBox->currentText().toStdString());
    Tregcomps& rcs = ws_.regcomps;
    for (const Tnumpars* p : {&rcs.AREA, &rcs.V, &rcs.kdeg, &rcs.ADV_outside, &rcs.EMIS, &rcs.CONC,
                              &rcs.MASS, &rcs.RESTIME, &rcs.EMISprime})
        if (p->name() == name) return p;
    return nullptr;
}

Tanalyze TEquationsTab::update(const Tresultsstate& state) {
    EquationsButton->setEnabled(false);
    if (state.regionalized == Tregionalized::no) {
        Tstringtable table;
        ShowAllRow(table);
        FinishGrid(EquationsStringGrid, std::move(table));
        return {};
    }
    Tregcomps& rcs = ws_.regcomps;
    if (const Tnumparss* m = selectedmatrix()) {
        FinishGrid(EquationsStringGrid, ShowRegcompMatrix(*m, ws_), true);
        EquationsButton->setEnabled(true);
    } else if (const Tnumpars* v = selectedvector()) {
        // The solution vectors belong to the emission; EMIS is the emission.
        const bool solution =
            v == &rcs.CONC || v == &rcs.MASS || v == &rcs.RESTIME || v == &rcs.EMISprime;
        const bool stale = state.staleall || (solution && state.stale);
        FinishGrid(EquationsStringGrid, ShowRegcompColumn(*v, ws_, stale), true, true);
    } else {
        FinishGrid(EquationsStringGrid, ShowRegcompMeaning(ws_), true, true);
    }
    return {true, false};
}

void TEquationsTab::clear() {
    EquationsStringGrid->settable(Tstringtable());
}

void TEquationsTab::EquationsButtonClick() {
    if (const Tnumparss* m = selectedmatrix()) matrixchart(m->values, m->name(), program_, this);
}

} // namespace velmora

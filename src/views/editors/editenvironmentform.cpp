#include "views/editors/editenvironmentform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/workspace.h"
#include "toolkit/grid.h"
#include "toolkit/matrixchart.h"
#include "views/editors/editorparameters.h"
#include "views/editors/regionlinks.h"
#include "views/resultsgrid.h"
#include "views/worldmapform.h"

namespace velmora {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

TEditEnvironmentForm::TEditEnvironmentForm(Tworkspace& ws, const Tprograminfo& program,
                                           QWidget* parent)
    : TEditorForm(ws, program, parent) {
    setObjectName(QStringLiteral("EditEnvironmentForm"));
    pairs_ = borderparameters(ws.env);
    for (Tenvgroup group : environmenttabs()) {
        if (group == Tenvgroup::Borders)
            createborderstab();
        else
            addgridtab(qs(envgroupname(group)));
    }
    createchecktab();
    Teditorstart start;
    build(QStringLiteral("Edit environment"), start, createregioninfo());
    // "Facts" follows the current row of "General", by mouse or keys.
    connect(grid(QStringLiteral("General"))->selectionModel(), &QItemSelectionModel::currentChanged,
            this, [this] { handle([this] { FormClick(); }); });
}

void TEditEnvironmentForm::createborderstab() {
    auto* page = new QWidget(PageControl);
    auto* layout = new QVBoxLayout(page);
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("&Variable"), page);
    BordersComboBox = new QComboBox(page);
    BordersComboBox->setObjectName(QStringLiteral("BordersComboBox"));
    BordersComboBox->setMinimumContentsLength(32);
    label->setBuddy(BordersComboBox);
    BordersButton = new QPushButton(QStringLiteral("&Chart ..."), page);
    BordersButton->setObjectName(QStringLiteral("BordersButton"));
    row->addWidget(label);
    row->addWidget(BordersComboBox);
    row->addWidget(BordersButton);
    row->addStretch(1);
    layout->addLayout(row);
    auto* g = new Tgrid(page);
    layout->addWidget(g, 1);
    addgridtab(QStringLiteral("Borders and flows"), page, g);
    for (const Tnumparss* p : pairs_)
        BordersComboBox->addItem(qs(heading(p->name(), p->unit())));
    BordersComboBox->setCurrentIndex(0);
    connect(BordersComboBox, &QComboBox::currentIndexChanged, this,
            [this] { handle([this] { FormShow(); }); });
    connect(BordersButton, &QPushButton::clicked, this,
            [this] { handle([this] { BordersButtonClick(); }); });
}

void TEditEnvironmentForm::createchecktab() {
    auto* page = new QWidget(PageControl);
    auto* layout = new QVBoxLayout(page);
    CheckGroupBox = new QGroupBox(QStringLiteral("Check"), page);
    auto* row = new QHBoxLayout(CheckGroupBox);
    UnusedCheckBox = new QCheckBox(QStringLiteral("Unused"), CheckGroupBox);
    UnusedCheckBox->setObjectName(QStringLiteral("UnusedCheckBox"));
    NegativeCheckBox = new QCheckBox(QStringLiteral("Negative"), CheckGroupBox);
    NegativeCheckBox->setObjectName(QStringLiteral("NegativeCheckBox"));
    NegativeCheckBox->setChecked(true);
    row->addWidget(UnusedCheckBox);
    row->addWidget(NegativeCheckBox);
    row->addStretch(1);
    layout->addWidget(CheckGroupBox);
    addchecktab(page, layout);
    for (QCheckBox* b : {UnusedCheckBox, NegativeCheckBox})
        connect(b, &QCheckBox::toggled, this, [this] { handle([this] { FormShow(); }); });
}

QWidget* TEditEnvironmentForm::createregioninfo() {
    RegionInfoGroupBox = new QGroupBox(QStringLiteral("Region info"), this);
    auto* layout = new QVBoxLayout(RegionInfoGroupBox);
    const auto button = [this, layout](const char* caption, const char* name) {
        auto* b = new QPushButton(QLatin1String(caption), RegionInfoGroupBox);
        b->setObjectName(QLatin1String(name));
        layout->addWidget(b);
        return b;
    };
    LocateButton = button("Locate", "LocateButton");
    FactsButton = button("Facts", "FactsButton");
    WorldMapButton = button("World map", "WorldMapButton");
    connect(LocateButton, &QPushButton::clicked, this,
            [this] { handle([this] { LocateButtonClick(); }); });
    connect(FactsButton, &QPushButton::clicked, this,
            [this] { handle([this] { FactsButtonClick(); }); });
    connect(WorldMapButton, &QPushButton::clicked, this,
            [this] { handle([this] { WorldMapButtonClick(); }); });
    return RegionInfoGroupBox;
}

Tnumparss* TEditEnvironmentForm::selectedpair() const {
    const int k = BordersComboBox->currentIndex();
    return k >= 0 && k < static_cast<int>(pairs_.size()) ? pairs_[static_cast<std::size_t>(k)]
                                                         : nullptr;
}

void TEditEnvironmentForm::FormShow() {
    const Trefresh refresh(*this);
    if (!refresh) return;

    regioninfo_ = false;
    const int k = PageControl->currentIndex();
    const Tviewfilter v = view();
    const bool yes = regionalized();
    const auto& tabs = environmenttabs();
    if (checkactive()) {
        std::vector<std::string> lines;
        ws_.env.check(lines, UnusedCheckBox->isChecked(), NegativeCheckBox->isChecked());
        showlines(lines);
    } else if (k >= 0 && k < static_cast<int>(tabs.size())) {
        const Tenvgroup group = tabs[static_cast<std::size_t>(k)];
        Tgrid* g = activegrid();
        if (group == Tenvgroup::Borders) {
            // Under "&No" the matrix last built stays.
            if (const Tnumparss* p = selectedpair(); yes && p) {
                FinishGrid(g, ShowFilteredPairMatrix(*p, ws_, v), true);
                fitregioncolumn(g);
            }
        } else {
            Tstringtable table;
            if (yes)
                ShowRegionRows(table, Tgridcontext{ws_});
            else
                ShowAllRow(table);
            for (const Tenventry& e : ws_.env.catalogue())
                if (e.group == group) addfiltered(table, e.parameter, ws_, v, yes);
            showtable(g, std::move(table));
            regioninfo_ = yes && group == Tenvgroup::General;
        }
    }
    FormClick();
}

void TEditEnvironmentForm::FormClick() {
    EditCellButton->setEnabled(false);
    EditColumnButton->setEnabled(false);
    const int k = PageControl->currentIndex();
    const auto& tabs = environmenttabs();
    if (k >= 0 && k < static_cast<int>(tabs.size()) &&
        tabs[static_cast<std::size_t>(k)] != Tenvgroup::Borders) {
        // Pair values are edited by no name, so "Borders and flows" has
        // nothing for either button.
        const Tcelltable& shown = activegrid()->table();
        const bool general = tabs[static_cast<std::size_t>(k)] == Tenvgroup::General;
        EditCellButton->setEnabled(general ? shown.rows() > 1 : shown.cols() > 1);
        EditColumnButton->setEnabled(EditCellButton->isEnabled() && regionalized());
    }
    LocateButton->setEnabled(regioninfo_);
    WorldMapButton->setEnabled(regioninfo_);
    // The factbook has pages for countries only.
    const std::uint32_t i = regioninfo_ ? ws_.regions.find(currentregion()) : 0;
    FactsButton->setEnabled(regioninfo_ && i > 0 && ws_.regions.island(i));
}

std::string TEditEnvironmentForm::currentregion() const {
    const Tgrid* g = grid(QStringLiteral("General"));
    const int r = g->row();
    return r >= 1 && r < g->table().rows() ? g->table().cell(0, r) : std::string();
}

void TEditEnvironmentForm::editvalue(const std::string& name, std::uint32_t region) {
    ws_.env.edit(name, region);
}

void TEditEnvironmentForm::BordersButtonClick() {
    if (const Tnumparss* p = selectedpair()) matrixchart(p->values, p->name(), program_, this);
}

void TEditEnvironmentForm::openaddress(const std::string& url) {
    if (!ws_.ui.openaddress(url)) ws_.ui.warn("The address " + url + " could not be opened");
}

void TEditEnvironmentForm::LocateButtonClick() {
    const std::string name = currentregion();
    if (!name.empty()) openaddress(locateaddress(name));
}

void TEditEnvironmentForm::FactsButtonClick() {
    const std::string name = currentregion();
    if (!name.empty()) openaddress(factsaddress(name));
}

void TEditEnvironmentForm::WorldMapButtonClick() {
    ShowRegionOnMap(program_, ws_.regions, currentregion(), this);
}

} // namespace velmora

#include "views/resultsfactortabs.h"

#include <QComboBox>
#include <array>
#include <utility>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/workspace.h"
#include "toolkit/grid.h"
#include "toolkit/matrixchart.h"
#include "views/allfactorsform.h"
#include "toolkit/errorhandler.h"

namespace velmora {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QComboBox* variablerow(QWidget* page, QVBoxLayout* layout, QPushButton* button) {
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("&Variable"), page);
    auto* list = new QComboBox(page);
    list->setMinimumContentsLength(24);
    label->setBuddy(list);
    row->addWidget(label);
    row->addWidget(list);
    row->addWidget(button);
    row->addStretch(1);
    layout->addLayout(row);
    return list;
}

// Each factor matrix relates two of the model's quantities; its unit is
// theirs divided, in the units the catalogues give them: concentrations
// (kg chem*m^-3), emission rates (kg chem*s^-1), doses (kg chem*kg^-1
// BW*d^-1) and risk ratios (-, summed over the population for EFhum).
const std::array<std::pair<const char*, const char*>, 7> factormatrixunits = {{
    {"FF", "s*m^-3"},                // concentration per emission rate
    {"XF1", "-"},                    // medium concentration per regcomp concentration
    {"XF2", "m^3*kg^-1 BW*d^-1"},   // dose per medium concentration
    {"XF", "m^3*kg^-1 BW*d^-1"},    // dose per regcomp concentration
    {"XF*FF", "s*kg^-1 BW*d^-1"},   // dose per emission rate
    {"EFeco", "m^3*kg^-1"},          // risk ratio per concentration
    {"EFhum", "kg BW*d*kg^-1"},      // population risk ratio per dose
}};

const std::array<const char*, 7> toxnames = {"river", "lake",       "saltlake", "seawater",
                                             "soil",  "humnoncarc", "humcarc"};

// The seven characterisation factors of an item starting with "CFpot" or "CFact".
std::vector<const Tnumpar*> factorscalars(const Tworkspace& ws, const std::string& item) {
    std::vector<const Tnumpar*> scalars;
    const std::string prefix = item.rfind("CFpot", 0) == 0   ? "CFtoxpot_"
                               : item.rfind("CFact", 0) == 0 ? "CFtoxact_"
                                                             : "";
    if (prefix.empty()) return scalars;
    for (const char* tox : toxnames)
        if (const Tresultentry* e = ws.results.find(prefix + tox))
            if (auto* p = std::get_if<Tnumpar*>(&e->parameter)) scalars.push_back(*p);
    return scalars;
}

} // namespace

// ---- Factors ---------------------------------------------------------------

TFactorsTab::TFactorsTab(Tworkspace& ws, const Tprograminfo& program, std::function<void()> refresh,
                         QWidget* parent)
    : Tresultstab(QStringLiteral("Factors"), std::move(refresh), parent), ws_(ws),
      program_(program) {
    auto* layout = new QVBoxLayout(this);
    FactorsButton = new QPushButton(QStringLiteral("&Chart ..."), this);
    FactorsButton->setObjectName(QStringLiteral("FactorsButton"));
    FactorsComboBox = variablerow(this, layout, FactorsButton);
    FactorsComboBox->setObjectName(QStringLiteral("FactorsComboBox"));
    NoteLabel = new QLabel(this);
    NoteLabel->setObjectName(QStringLiteral("FactorsNoteLabel"));
    NoteLabel->setWordWrap(true);
    NoteLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    NoteLabel->hide();
    layout->addWidget(NoteLabel);
    FactorsStringGrid = new Tgrid(this);
    FactorsStringGrid->setObjectName(QStringLiteral("FactorsStringGrid"));
    layout->addWidget(FactorsStringGrid, 1);
    if (ws.settings.FactorsMode) {
        for (const auto& [name, unit] : factormatrixunits)
            FactorsComboBox->addItem(qs(heading(name, unit)));
    } else {
        FactorsComboBox->addItem(qs("CFpot (" + ws.results.CFtoxpot_river.unit() + ")"));
        FactorsComboBox->addItem(qs("CFact (" + ws.results.CFtoxact_river.unit() + ")"));
    }
    FactorsComboBox->setCurrentIndex(0);
    connect(FactorsComboBox, &QComboBox::currentIndexChanged, this, guarded(this, [this] { requestrefresh(); }));
    connect(FactorsButton, &QPushButton::clicked, this, guarded(this, [this] { FactorsButtonClick(); }));
}

const Tnummatrix* TFactorsTab::selectedmatrix() const {
    if (!ws_.settings.FactorsMode) return nullptr;
    const std::string name = itemname(FactorsComboBox->currentText().toStdString());
    Tregcomps& rcs = ws_.regcomps;
    const std::pair<const char*, const Tnummatrix*> matrices[] = {
        {"FF", &rcs.FF},      {"XF1", &rcs.XF1},     {"XF2", &rcs.XF2},    {"XF", &rcs.XF},
        {"XF*FF", &rcs.XFFF}, {"EFeco", &rcs.EFeco}, {"EFhum", &rcs.EFhum}};
    for (const auto& [n, m] : matrices)
        if (name == n) return m;
    return nullptr;
}

Tanalyze TFactorsTab::update(const Tresultsstate& state) {
    Tstringtable table;
    NoteLabel->hide();
    FactorsStringGrid->show();
    FactorsButton->setEnabled(false);
    if (state.regionalized == Tregionalized::no) {
        ShowAllRow(table);
        const Tgridcontext g = state.grid(true);
        if (!ws_.settings.FactorsMode)
            for (const Tnumpar* p :
                 factorscalars(ws_, FactorsComboBox->currentText().toStdString()))
                AddScalarColumn(table, *p, g);
        FinishGrid(FactorsStringGrid, std::move(table));
        return {};
    }
    if (!ws_.settings.FactorsMode) {
        // A list of region names with nothing beside them would invite
        // statistics of nothing.
        clear();
        NoteLabel->setText(QStringLiteral(
            "The fate, exposure and effect factors are computed in Factors mode (File > Settings "
            "...). The characterisation factors of this calculation are shown under "
            "Regionalized \"No\"."));
        NoteLabel->show();
        FactorsStringGrid->hide();
        return {};
    }
    const Tnummatrix* m = selectedmatrix();
    if (m && m->rows() > 0 && m->cols() > 0 && !state.staleall) {
        FinishGrid(FactorsStringGrid, ShowFactorMatrix(*m, ws_), true);
        FactorsButton->setEnabled(m != &ws_.regcomps.EFeco && m != &ws_.regcomps.EFhum);
        return {true, true};
    }
    // Factors that were never calculated (a singular matrix, say): nothing
    // to chart or analyse.
    clear();
    NoteLabel->setText(
        QStringLiteral("The factor matrices are empty: no calculation of factors has succeeded."));
    NoteLabel->show();
    FactorsStringGrid->hide();
    return {};
}

void TFactorsTab::clear() {
    FactorsStringGrid->settable(Tstringtable());
}

void TFactorsTab::FactorsButtonClick() {
    const Tnummatrix* m = selectedmatrix();
    if (!m || m == &ws_.regcomps.EFeco || m == &ws_.regcomps.EFhum) return;
    // Factors that were never calculated (a singular matrix) have no chart.
    if (m->rows() == 0 || m->cols() == 0) return;
    matrixchart(*m, itemname(FactorsComboBox->currentText().toStdString()), program_, this);
}

// ---- All factors -----------------------------------------------------------

TAllFactorsTab::TAllFactorsTab(Tworkspace& ws, std::function<void()> refresh, QWidget* parent)
    : Tresultstab(QStringLiteral("All factors"), std::move(refresh), parent), ws_(ws) {
    auto* layout = new QVBoxLayout(this);
    AllFactorsButton = new QPushButton(QStringLiteral("Start ..."), this);
    AllFactorsButton->setObjectName(QStringLiteral("AllFactorsButton"));
    AllFactorsComboBox = variablerow(this, layout, AllFactorsButton);
    AllFactorsComboBox->setObjectName(QStringLiteral("AllFactorsComboBox"));
    AllFactorsStringGrid = new Tgrid(this);
    AllFactorsStringGrid->setObjectName(QStringLiteral("AllFactorsStringGrid"));
    layout->addWidget(AllFactorsStringGrid, 1);
    AllFactorsComboBox->addItem(qs("CFpot (" + ws.results.CFtoxpot_river.unit() + ")"));
    AllFactorsComboBox->addItem(qs("CFact (" + ws.results.CFtoxact_river.unit() + ")"));
    AllFactorsComboBox->setCurrentIndex(0);
    connect(AllFactorsComboBox, &QComboBox::currentIndexChanged, this,
            guarded(this, [this] { requestrefresh(); }));
    connect(AllFactorsButton, &QPushButton::clicked, this, guarded(this, [this] { AllFactorsButtonClick(); }));
}

std::string TAllFactorsTab::modelkey() const {
    const Tworkspace& ws = ws_;
    return ws.sub.name.value + '\n' + ws.ref.substance + '\n' + std::to_string(ws.ref.region) +
           '\n' + std::to_string(ws.ref.compartment) + '\n' + ws.settings.ParametersFile + '\n' +
           ws.settings.BordersFile;
}

bool TAllFactorsTab::potential() const {
    return AllFactorsComboBox->currentText().startsWith(QStringLiteral("CFpot"));
}

Tanalyze TAllFactorsTab::update(const Tresultsstate& state) {
    rowregcomps_.clear();
    oecdonly_ = state.OECDOnly();
    // Factors of another substance, reference or environment are not these.
    if (!factors_.empty() && factorskey_ != modelkey()) factors_.clear();
    Tstringtable table;
    if (state.regionalized == Tregionalized::no) {
        ShowRegionRows(table, Tgridcontext{ws_, false, false});
        FinishGrid(AllFactorsStringGrid, std::move(table));
        AllFactorsButton->setEnabled(false);
        return {};
    }
    const std::vector<const Tnumpar*> scalars =
        factorscalars(ws_, AllFactorsComboBox->currentText().toStdString());
    const bool pot = potential();
    table.setsize(10, 1);
    table.setcell(0, 0, "Regcomp");
    table.setcell(1, 0, "Region");
    table.setcell(2, 0, "Compartment");
    for (std::size_t k = 0; k < scalars.size(); ++k)
        table.setcell(static_cast<int>(k) + 3, 0, heading(scalars[k]->name(), scalars[k]->unit()));
    const Tregcomps& rcs = ws_.regcomps;
    int r = 0;
    for (std::uint32_t i = 1; i <= rcs.n; ++i) {
        const std::uint32_t c = rcs.compartmentof(i);
        if (c == lakesed || c == saltlakesed || c == groundwater || c == seased) continue;
        if (state.OECDOnly() && !oecdmember(ws_, rcs.regionof(i))) continue;
        // The stored volume decides, read without marking it used.
        if (i > rcs.V.count() || !rcs.V.isknown(i) || !(rcs.V.value(i) > 0)) continue;
        ++r;
        rowregcomps_.push_back(i);
        table.setcell(0, r, rcs.regcompname(i));
        table.setcell(1, r, rcs.regionname(i));
        table.setcell(2, r, rcs.compartmentname(i));
        const auto found = factors_.find(i);
        if (found == factors_.end()) continue;
        const Tallfactorsrow& row = found->second;
        for (int k = 0; k < 7; ++k)
            if (pot ? row.potknown[k] : row.actknown[k]) {
                const float x = pot ? row.pot[k] : row.act[k];
                table.setcell(k + 3, r, celltextshort(ws_.settings, x, 'D'),
                              celltextfull(ws_.settings, x, 'D'));
            }
    }
    table.setsize(10, r + 1);
    // Each heading is read whole: seven columns of "CFtoxpot_" could not be
    // told apart at the 64 pixels a column starts with.
    FinishGrid(AllFactorsStringGrid, std::make_shared<const Tstringtable>(std::move(table)), true,
               false);
    AllFactorsButton->setEnabled(true);
    // The values of a run can be analysed; the empty grid cannot.
    return {!factors_.empty(), false};
}

bool TAllFactorsTab::storedvalue(int c, int r, float& x) const {
    if (c < 3 || c > 9 || r < 1 || r > static_cast<int>(rowregcomps_.size())) return false;
    const auto found = factors_.find(rowregcomps_[static_cast<std::size_t>(r) - 1]);
    if (found == factors_.end()) return false;
    const Tallfactorsrow& row = found->second;
    const int k = c - 3;
    const bool pot = potential();
    if (!(pot ? row.potknown[k] : row.actknown[k])) return false;
    x = pot ? row.pot[k] : row.act[k];
    return true;
}

void TAllFactorsTab::clear() {
    AllFactorsStringGrid->settable(Tstringtable());
}

void TAllFactorsTab::AllFactorsButtonClick() {
    bool started = false;
    {
        TAllFactorsForm form(ws_, this);
        form.OECDOnly = oecdonly_;
        if (beforedialog) beforedialog(form);
        if (form.exec() == QDialog::Accepted) {
            started = true;
            const Tallfactorsselection selection = form.selection();
            // The run puts the display settings and the inverse store back
            // itself, also when it throws.
            std::unique_ptr<Tprogress> progress = ws_.ui.progress();
            factors_.clear();
            try {
                const Tallfactorsrun run = runallfactors(ws_.model, selection, *progress);
                for (const Tallfactorsrow& row : run.rows)
                    if (row.computed) factors_.emplace(row.regcomp, row);
            } catch (const std::exception& error) {
                ws_.ui.warn(std::string("The all-factors run failed: ") + error.what());
            }
            factorskey_ = modelkey();
        }
    }
    ws_.ui.playsound("Velmora.wav");
    // The emission moved and the results are those of the last box: the
    // whole window shows that, and this grid the factors.
    if (started) requestrefresh();
}

} // namespace velmora

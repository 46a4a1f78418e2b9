#include "views/modelenvironmentform.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/workspace.h"
#include "numeric/utilities.h"
#include "toolkit/forms.h"
#include "toolkit/grid.h"
#include "toolkit/outputform.h"
#include "toolkit/smallforms.h"
#include "toolkit/errorhandler.h"
#include "views/columnstatistics.h"
#include "views/opensubstanceform.h"
#include "views/resultsanalysistabs.h"
#include "views/resultsfactortabs.h"
#include "views/resultsmatrixtabs.h"
#include "views/resultsregionaltabs.h"
#include "views/setemissionform.h"
#include "views/worldmapform.h"

namespace velmora {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

std::string filename(const std::string& path) {
    return QFileInfo(qs(path)).fileName().toStdString();
}

std::string regionname(const Tworkspace& ws, std::int64_t r) {
    return r >= 1 && r <= ws.regions.count ? ws.regions.name(static_cast<std::uint32_t>(r))
                                           : ws.settings.UnknownText;
}

std::string compartmentname(const Tworkspace& ws, std::int64_t c) {
    return c >= 1 && c <= ws.compartments.count
               ? ws.compartments.name(static_cast<std::uint32_t>(c))
               : ws.settings.UnknownText;
}

// The tabs that column statistics and the map act on.
bool analysable(const QString& caption) {
    return caption != QLatin1String("Balance") && caption != QLatin1String("Distribution") &&
           caption != QLatin1String("Dose") && caption != QLatin1String("Check");
}

} // namespace

std::vector<std::string> printheader(const Tworkspace& ws, bool allfactorsactive) {
    std::vector<std::string> lines;
    lines.push_back("Environment = " + filename(ws.settings.ParametersFile) + "; " +
                    filename(ws.settings.BordersFile));
    lines.push_back("Substance = " + ws.sub.name.value);
    // Without a reference there is no regcomp to name.
    lines.push_back("Reference = " +
                    (ws.ref.held() ? ws.ref.substance + "; " + regionname(ws, ws.ref.region) + "_" +
                                         compartmentname(ws, ws.ref.compartment)
                                   : std::string("-")));
    // In Factors mode no emission is calculated.
    if (!allfactorsactive && !ws.settings.FactorsMode)
        lines.push_back("Emission = " + regionname(ws, ws.emi.region) + "_" +
                        compartmentname(ws, ws.emi.compartment));
    return lines;
}

TModelEnvironmentForm::TModelEnvironmentForm(Tworkspace& ws, const Tprograminfo& program,
                                             QWidget* parent)
    : QDialog(parent), ws_(ws), program_(program) {
    FormCreate();
}

TModelEnvironmentForm::~TModelEnvironmentForm() = default;

void TModelEnvironmentForm::addtab(Tresultstab* tab) {
    tabs_.push_back(tab);
    PageControl->addTab(tab, tab->caption());
    if (Tgrid* grid = tab->grid())
        connect(grid, &Tgrid::celldoubleclicked, this,
                guarded(this, [this](int c, int r) { StringGridDblClick(c, r); }));
}

void TModelEnvironmentForm::FormCreate() {
    setObjectName(QStringLiteral("ModelEnvironmentForm"));
    setWindowTitle(qs("Results - " + filename(ws_.settings.ParametersFile) + "; " +
                      filename(ws_.settings.BordersFile)));
    auto* layout = new QHBoxLayout(this);
    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    layout->addWidget(PageControl, 1);
    layout->addWidget(createpanel());

    const auto refresh = [this] { FormClick(); };
    for (Tregionalkind kind :
         {Tregionalkind::environment, Tregionalkind::dimensional, Tregionalkind::distributional,
          Tregionalkind::substance, Tregionalkind::intermedia})
        addtab(makeregionaltab(kind, ws_).release());
    addtab(BordersTab = new TBordersTab(ws_, program_, refresh));
    addtab(EquationsTab = new TEquationsTab(ws_, program_, refresh));
    addtab(makeregionaltab(Tregionalkind::concentrations, ws_).release());
    addtab(BalanceTab = new TBalanceTab(ws_, refresh));
    addtab(DistributionTab = new TBreakdownTab(ws_, false, refresh));
    addtab(DoseTab = new TBreakdownTab(ws_, true, refresh));
    addtab(makeregionaltab(Tregionalkind::effect, ws_).release());
    addtab(FactorsTab = new TFactorsTab(ws_, program_, refresh));
    addtab(AllFactorsTab = new TAllFactorsTab(ws_, refresh));
    addtab(CheckTab = new TCheckTab(ws_, refresh));
    const bool factors = ws_.settings.FactorsMode;
    PageControl->setTabVisible(PageControl->indexOf(AllFactorsTab), !factors);
    EmissionGroupBox->setVisible(!factors);
    PageControl->setCurrentIndex(0);
    connect(PageControl, &QTabWidget::currentChanged, this, guarded(this, [this] { FormClick(); }));

    // The design size becomes the minimum: the panel's groups need its height.
    resize(1000, 720);
    formsetup(this, 1);
    setWindowState(windowState() | Qt::WindowMaximized);
}

QWidget* TModelEnvironmentForm::createpanel() {
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    const auto button = [panel](const QString& caption, const char* name) {
        auto* b = new QPushButton(caption, panel);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    const auto label = [panel](const char* name) {
        auto* l = new QLabel(panel);
        l->setObjectName(QLatin1String(name));
        l->setMinimumWidth(160);
        return l;
    };

    auto* analyze = new QGroupBox(QStringLiteral("Analyze"), panel);
    auto* a = new QVBoxLayout(analyze);
    a->addWidget(AnalyzeValuesButton = button(QStringLiteral("&Column"), "AnalyzeValuesButton"));
    a->addWidget(WorldMapButton = button(QStringLiteral("&World map"), "WorldMapButton"));
    column->addWidget(analyze);

    EmissionGroupBox = new QGroupBox(QStringLiteral("Emission"), panel);
    auto* e = new QVBoxLayout(EmissionGroupBox);
    e->addWidget(EmissionRegionLabel = label("EmissionRegionLabel"));
    e->addWidget(EmissionCompartmentLabel = label("EmissionCompartmentLabel"));
    e->addWidget(SetEmissionButton = button(QStringLiteral("&Set ..."), "SetEmissionButton"));
    e->addWidget(NextEmissionButton = button(QStringLiteral("Ne&xt"), "NextEmissionButton"));
    e->addWidget(PreviousEmissionButton =
                     button(QStringLiteral("Pre&vious"), "PreviousEmissionButton"));
    column->addWidget(EmissionGroupBox);

    auto* substance = new QGroupBox(QStringLiteral("Substance"), panel);
    auto* s = new QVBoxLayout(substance);
    s->addWidget(SubstanceLabel = label("SubstanceLabel"));
    s->addWidget(OpenSubstanceButton = button(QStringLiteral("&Open ..."), "OpenSubstanceButton"));
    column->addWidget(substance);

    auto* reference = new QGroupBox(QStringLiteral("Reference"), panel);
    auto* r = new QVBoxLayout(reference);
    r->addWidget(ReferenceSubstanceLabel = label("ReferenceSubstanceLabel"));
    r->addWidget(ReferenceRegionLabel = label("ReferenceRegionLabel"));
    r->addWidget(ReferenceCompartmentLabel = label("ReferenceCompartmentLabel"));
    r->addWidget(TakePresentButton = button(QStringLiteral("&Take present"), "TakePresentButton"));
    column->addWidget(reference);

    auto* regionalizedbox = new QGroupBox(QStringLiteral("Regionalized"), panel);
    auto* g = new QVBoxLayout(regionalizedbox);
    RegionalizedGroup = new QButtonGroup(this);
    FullRadioButton = new QRadioButton(QStringLiteral("&Full"), regionalizedbox);
    OECDRadioButton = new QRadioButton(QStringLiteral("&OECD"), regionalizedbox);
    NoRadioButton = new QRadioButton(QStringLiteral("&No"), regionalizedbox);
    int id = 0;
    for (QRadioButton* radio : {FullRadioButton, OECDRadioButton, NoRadioButton}) {
        RegionalizedGroup->addButton(radio, id++);
        g->addWidget(radio);
    }
    FullRadioButton->setChecked(true);
    column->addWidget(regionalizedbox);

    // Says when the values shown belong to no calculation of what the
    // labels name, so that nobody reads old numbers under new labels.
    StaleLabel = label("StaleLabel");
    StaleLabel->setWordWrap(true);
    StaleLabel->setMaximumWidth(180);
    StaleLabel->setStyleSheet(QStringLiteral("color: #b00000"));
    StaleLabel->setVisible(false);
    column->addWidget(StaleLabel);
    column->addStretch(1);

    PrintButton = new QPushButton(panel);
    standardbutton(PrintButton, 3);
    PrintButton->setText(QStringLiteral("Print"));
    PrintButton->setObjectName(QStringLiteral("PrintButton"));
    CloseButton = new QPushButton(panel);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    standardbutton(CloseButton, 2);
    column->addWidget(PrintButton);
    column->addWidget(CloseButton);

    const auto onclick = [this](QAbstractButton* b, void (TModelEnvironmentForm::*handler)()) {
        connect(b, &QAbstractButton::clicked, this, guarded(this, [this, handler] { (this->*handler)(); }));
    };
    onclick(AnalyzeValuesButton, &TModelEnvironmentForm::AnalyzeValuesButtonClick);
    onclick(WorldMapButton, &TModelEnvironmentForm::WorldMapButtonClick);
    onclick(SetEmissionButton, &TModelEnvironmentForm::SetEmissionButtonClick);
    onclick(NextEmissionButton, &TModelEnvironmentForm::NextEmissionButtonClick);
    onclick(PreviousEmissionButton, &TModelEnvironmentForm::PreviousEmissionButtonClick);
    onclick(OpenSubstanceButton, &TModelEnvironmentForm::OpenSubstanceButtonClick);
    onclick(TakePresentButton, &TModelEnvironmentForm::TakePresentButtonClick);
    onclick(PrintButton, &TModelEnvironmentForm::PrintButtonClick);
    connect(RegionalizedGroup, &QButtonGroup::idClicked, this,
            guarded(this, [this] { FormClick(); }));
    return panel;
}

void TModelEnvironmentForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) reporterrors(this, [this] { FormClick(); });
}

Tregionalized TModelEnvironmentForm::regionalized() const {
    if (OECDRadioButton->isChecked()) return Tregionalized::oecd;
    if (NoRadioButton->isChecked()) return Tregionalized::no;
    return Tregionalized::full;
}

Tresultsstate TModelEnvironmentForm::state() const {
    // A factors calculation solves no emission: concentrations, exposure
    // and effects still held are those of an earlier one.
    const bool factors = ws_.settings.FactorsMode;
    return Tresultsstate{ws_, ws_.ui, program_, regionalized(), stale_ || factors, staleall_};
}

Tresultstab* TModelEnvironmentForm::activetab() const {
    return static_cast<Tresultstab*>(PageControl->currentWidget());
}

Tresultstab* TModelEnvironmentForm::tab(const QString& caption) const {
    for (Tresultstab* t : tabs_)
        if (t->caption() == caption) return t;
    return nullptr;
}

int TModelEnvironmentForm::tabcount() const {
    return static_cast<int>(tabs_.size());
}

void TModelEnvironmentForm::setactivetab(const QString& caption) {
    if (Tresultstab* t = tab(caption)) PageControl->setCurrentWidget(t);
}

void TModelEnvironmentForm::FormClick() {
    // A list that changes while its tab rebuilds must not rebuild it again.
    if (refreshing_) return;
    refreshing_ = true;
    AnalyzeValuesButton->setEnabled(false);
    WorldMapButton->setEnabled(false);
    EmissionRegionLabel->setText(qs(regionname(ws_, ws_.emi.region)));
    EmissionCompartmentLabel->setText(qs(compartmentname(ws_, ws_.emi.compartment)));
    SubstanceLabel->setText(qs(ws_.sub.name.value));
    if (ws_.ref.held()) {
        ReferenceSubstanceLabel->setText(qs("Substance: " + ws_.ref.substance));
        ReferenceRegionLabel->setText(qs("Region: " + regionname(ws_, ws_.ref.region)));
        ReferenceCompartmentLabel->setText(
            qs("Compartment: " + compartmentname(ws_, ws_.ref.compartment)));
    } else {
        ReferenceSubstanceLabel->setText(QStringLiteral("Substance: -"));
        ReferenceRegionLabel->setText(QStringLiteral("Region: -"));
        ReferenceCompartmentLabel->setText(QStringLiteral("Compartment: -"));
    }
    const QString reason =
        !stalereason_.isEmpty() || !ws_.settings.FactorsMode
            ? stalereason_
            : QStringLiteral("Factors mode: no emission is calculated, so concentrations, "
                             "exposure and effects are unknown here.");
    StaleLabel->setText(reason);
    StaleLabel->setVisible(!reason.isEmpty());
    try {
        if (Tresultstab* t = activetab()) {
            const Tanalyze analyze = t->update(state());
            AnalyzeValuesButton->setEnabled(analyze.column && analysable(t->caption()));
            WorldMapButton->setEnabled(analyze.map);
        }
    } catch (...) {
        refreshing_ = false;
        throw;
    }
    refreshing_ = false;
}

bool TModelEnvironmentForm::solved() const {
    const Tregcomps& rcs = ws_.regcomps;
    if (ws_.settings.FactorsMode) return rcs.Abiginverse.count() > 0;
    for (std::uint32_t k = 1; k <= rcs.n && k <= rcs.CONC.count(); ++k)
        if (rcs.exists(k)) return rcs.CONC.isknown(k);
    return false;
}

void TModelEnvironmentForm::recalculate() {
    stale_ = staleall_ = false;
    stalereason_.clear();
    try {
        ws_.calculate();
        if (!solved()) {
            // The solve has warned; exposure and effects still hold the
            // values of the previous emission.
            stale_ = true;
            stalereason_ = QStringLiteral(
                "The calculation failed (singular matrix): concentrations, exposure and effects "
                "are unknown.");
        }
    } catch (const std::exception& error) {
        // A stage stopped part way: nothing shown can be trusted to belong
        // together.
        staleall_ = stale_ = true;
        stalereason_ = qs(std::string("The calculation failed: ") + error.what() +
                          ". The results are unknown.");
        ws_.ui.warn(stalereason_.toStdString());
    }
    FormClick();
}

void TModelEnvironmentForm::SetEmissionButtonClick() {
    TSetEmissionForm form(ws_.regions, ws_.compartments, this);
    form.region = ws_.emi.region;
    form.compartment = ws_.emi.compartment;
    if (form.exec() == QDialog::Accepted) {
        ws_.emi.region = form.region;
        ws_.emi.compartment = form.compartment;
    }
    const auto r = static_cast<std::uint32_t>(ws_.emi.region);
    const auto c = static_cast<std::uint32_t>(ws_.emi.compartment);
    if (!ws_.emi.set(r, c)) {
        const std::string refusal = ws_.emi.refusal(r, c);
        if (!refusal.empty()) ws_.ui.warn(refusal);
    }
    recalculate();
}

void TModelEnvironmentForm::NextEmissionButtonClick() {
    ws_.emi.next();
    recalculate();
}

void TModelEnvironmentForm::PreviousEmissionButtonClick() {
    ws_.emi.previous();
    recalculate();
}

void TModelEnvironmentForm::OpenSubstanceButtonClick() {
    {
        TOpenSubstanceForm form(ws_, this);
        form.RecalculateCheckBox->setChecked(false);
        form.RecalculateCheckBox->setEnabled(false);
        form.exec();
    }
    ws_.sub.settypedefaults();
    ws_.sub.testcomplete();
    if (!ws_.sub.present) {
        // A calculation would warn about every missing value; one warning
        // says it all, and nothing shown belongs to this substance.
        stale_ = staleall_ = true;
        stalereason_ = qs("Substance " + ws_.sub.name.value +
                          " is incomplete: the results are not calculated.");
        ws_.ui.warn(stalereason_.toStdString());
        FormClick();
        return;
    }
    recalculate();
}

void TModelEnvironmentForm::TakePresentButtonClick() {
    ws_.takereference();
    recalculate();
}

std::vector<std::string> TModelEnvironmentForm::currentcolumnstatistics() const {
    Tresultstab* t = activetab();
    Tgrid* grid = t ? t->grid() : nullptr;
    if (!grid) return {};
    const int c = std::max(grid->col(), 1);
    return columnstatistics(
        grid->table(), c, [t, c](int r, float& x) { return t->storedvalue(c, r, x); },
        ws_.settings);
}

void TModelEnvironmentForm::AnalyzeValuesButtonClick() {
    Tresultstab* t = activetab();
    Tgrid* grid = t ? t->grid() : nullptr;
    if (!grid) return;
    // Statistics need a spread: a column of names or a single value has
    // none, which is no error of the program's but worth a plain word.
    const int c = std::max(grid->col(), 1);
    int numbers = 0;
    for (int r = 1; r < grid->table().rows() && numbers < 2; ++r) {
        float x = 0;
        if (t->storedvalue(c, r, x)) ++numbers;
    }
    if (numbers < 2) {
        ws_.ui.warn("Column statistics need at least two numbers: the column \"" +
                    grid->table().cell(c, 0) + "\" holds " + (numbers == 0 ? "none." : "only one."));
        return;
    }
    const std::vector<std::string> lines = currentcolumnstatistics();
    if (lines.empty()) return;
    TMemoForm form(program_, this);
    for (const std::string& line : lines)
        form.addline(qs(line));
    form.exec();
}

void TModelEnvironmentForm::WorldMapButtonClick() {
    Tresultstab* t = activetab();
    Tgrid* grid = t ? t->grid() : nullptr;
    if (!grid) return;
    const int c = std::max(grid->col(), 1);
    std::vector<std::string> rownames, cells;
    for (int r = 1; r < grid->table().rows(); ++r) {
        rownames.push_back(grid->table().cell(0, r));
        float x = 0;
        // The map sizes its marks from full values, not rounded texts.
        cells.push_back(t->storedvalue(c, r, x) ? shortesttext(x) : grid->table().cell(c, r));
    }
    ShowColumnOnMap(program_, ws_.regions, rownames, cells, this);
}

void TModelEnvironmentForm::PrintButtonClick() {
    Tresultstab* tab = activetab();
    const bool allfactors = tab == AllFactorsTab;
    TOutputForm output(program_, false, this);
    output.special = {ws_.settings.InfText, ws_.settings.UnknownText, ws_.settings.HiddenText};
    if (output.exec() != QDialog::Accepted) return;
    for (const std::string& line : printheader(ws_, allfactors))
        output.writeline(line);
    output.writeblank();
    // Tabs of bars and the check list print their header only.
    Tgrid* grid = tab ? tab->grid() : nullptr;
    if (grid && !output.writegrid(grid->table())) return;
    output.deliverorreport();
}

void TModelEnvironmentForm::StringGridDblClick(int c, int r) {
    Tresultstab* t = activetab();
    Tgrid* grid = t ? t->grid() : nullptr;
    if (!grid || r != 0) return;
    if (c == 0) {
        std::unique_ptr<Tprogress> progress = ws_.ui.progress();
        progress->setmaintext("Displaying data");
        FormClick();
        return;
    }
    Tspecialtexts special;
    special.inf = ws_.settings.InfText;
    special.unknown = ws_.settings.UnknownText;
    special.hidden = ws_.settings.HiddenText;
    sortgrid(grid, c, sortnumeric, ws_.ui, special);
}

} // namespace velmora

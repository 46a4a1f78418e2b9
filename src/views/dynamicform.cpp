#include "views/dynamicform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <variant>

#include "app/workspace.h"
#include "dynamic/stateexposure.h"
#include "dynamic/timetext.h"
#include "numeric/errors.h"
#include "numeric/utilities.h"
#include "toolkit/forms.h"
#include "toolkit/geoform.h"
#include "toolkit/grid.h"
#include "toolkit/outputform.h"
#include "toolkit/plot.h"
#include "toolkit/smallforms.h"
#include "views/dialogsupport.h"
#include "views/modelenvironmentform.h"
#include "views/timechart.h"
#include "views/worldmapform.h"

namespace velmora {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

std::string ss(const QString& s) {
    return s.toStdString();
}

enum : int { colregion, colcompartment, colfrom, colto, colrate, colrateend, columns };
enum : int { showworld, showregions, showboxes };

// A cell editor that offers a list of names and completes what is typed.
class Tchoicedelegate : public QStyledItemDelegate {
public:
    Tchoicedelegate(QStringList choices, QObject* parent)
        : QStyledItemDelegate(parent), choices_(std::move(choices)) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* box = new QComboBox(parent);
        box->setEditable(true);
        box->addItems(choices_);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->completer()->setCaseSensitivity(Qt::CaseInsensitive);
        box->completer()->setFilterMode(Qt::MatchContains);
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<QComboBox*>(editor)->setCurrentText(index.data().toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        model->setData(index, static_cast<QComboBox*>(editor)->currentText());
    }

private:
    QStringList choices_;
};

QString timetext(double t) {
    return qs(durationtext(t));
}

QString whentext(double t) {
    return t >= 0 ? timetext(t) : QStringLiteral("-");
}

} // namespace

TDynamicForm::TDynamicForm(Tworkspace& ws, const Tprograminfo& program, QWidget* parent)
    : TBaseForm(program, parent), ws_(ws) {
    FormCreate();
}

TDynamicForm::~TDynamicForm() = default;

void TDynamicForm::FormCreate() {
    setObjectName(QStringLiteral("DynamicForm"));
    setWindowTitle(QStringLiteral("Dynamic - ") + qs(ws_.sub.name.value));
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(createsetup());
    splitter->addWidget(createresults());
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({420, 760});

    contents()->addWidget(splitter, 1);
    // Return in a field starts the run; closing takes a click or Escape.
    CloseButton->setDefault(false);
    StartButton->setDefault(true);
    resize(1180, 720);
    formsetup(this, 1);
    showresults();
}

QWidget* TDynamicForm::createsetup() {
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);

    EmissionsGroupBox = new QGroupBox(QStringLiteral("Emissions (kg/s)"), panel);
    EmissionsGroupBox->setObjectName(QStringLiteral("EmissionsGroupBox"));
    auto* group = new QVBoxLayout(EmissionsGroupBox);
    EmissionsTable = new QTableWidget(0, columns, EmissionsGroupBox);
    EmissionsTable->setObjectName(QStringLiteral("EmissionsTable"));
    EmissionsTable->setHorizontalHeaderLabels(
        {QStringLiteral("Region"), QStringLiteral("Compartment"), QStringLiteral("From"),
         QStringLiteral("To"), QStringLiteral("Rate"), QStringLiteral("End rate")});
    EmissionsTable->setToolTip(
        QStringLiteral("Each row emits into one box from its start to its end (empty: to the end "
                       "of the run), at a rate that runs linearly to the rate at its end (empty: "
                       "constant). Times take a unit: s, h, d or y, as in 10y."));
    QStringList regions, compartments;
    for (std::uint32_t r = 1; r <= ws_.regions.count; ++r)
        regions << qs(ws_.regions.name(r));
    for (std::uint32_t c = 1; c <= ws_.compartments.count; ++c)
        if (ws_.emi.parameterof(c)) compartments << qs(ws_.compartments.name(c));
    EmissionsTable->setItemDelegateForColumn(colregion, new Tchoicedelegate(regions, this));
    EmissionsTable->setItemDelegateForColumn(colcompartment,
                                             new Tchoicedelegate(compartments, this));
    EmissionsTable->horizontalHeader()->setSectionResizeMode(colregion, QHeaderView::Stretch);
    for (int c : {colcompartment, colfrom, colto, colrate, colrateend})
        EmissionsTable->setColumnWidth(
            c, std::max(c == colcompartment ? 90 : 50,
                        EmissionsTable->horizontalHeader()->sectionSizeHint(c)));
    EmissionsTable->setMinimumWidth(400);
    group->addWidget(EmissionsTable, 1);
    auto* rowbuttons = new QHBoxLayout;
    AddButton = new QPushButton(QStringLiteral("&Add"), EmissionsGroupBox);
    RemoveButton = new QPushButton(QStringLiteral("&Remove"), EmissionsGroupBox);
    LoadButton = new QPushButton(QStringLiteral("&Load ..."), EmissionsGroupBox);
    AddButton->setObjectName(QStringLiteral("AddButton"));
    RemoveButton->setObjectName(QStringLiteral("RemoveButton"));
    LoadButton->setObjectName(QStringLiteral("LoadButton"));
    LoadButton->setToolTip(QStringLiteral(
        "Read the rows from a tab-separated file: region, compartment, from, to, rate, rate_end"));
    for (QPushButton* b : {AddButton, RemoveButton, LoadButton}) {
        b->setAutoDefault(false);
        rowbuttons->addWidget(b);
    }
    rowbuttons->addStretch(1);
    group->addLayout(rowbuttons);
    layout->addWidget(EmissionsGroupBox, 1);

    auto* form = new QFormLayout;
    StartComboBox = new QComboBox(panel);
    StartComboBox->setObjectName(QStringLiteral("StartComboBox"));
    StartComboBox->addItem(QStringLiteral("An empty world"));
    StartComboBox->addItem(QStringLiteral("The steady state of the present emission (") +
                           qs(ws_.regcomps.regcompname(ws_.emi.regcomp())) + ")");
    UntilEdit = new QLineEdit(QStringLiteral("100y"), panel);
    UntilEdit->setObjectName(QStringLiteral("UntilEdit"));
    TimesEdit = new QLineEdit(QStringLiteral("lin:100"), panel);
    TimesEdit->setObjectName(QStringLiteral("TimesEdit"));
    TimesEdit->setToolTip(QStringLiteral(
        "Times separated by commas (1y,10y,100y), lin:N for N evenly spaced times or log:N for "
        "N evenly spaced in log time"));
    ToleranceEdit = new QLineEdit(QStringLiteral("1e-4"), panel);
    ToleranceEdit->setObjectName(QStringLiteral("ToleranceEdit"));
    ToleranceEdit->setToolTip(QStringLiteral("Relative error of the masses"));
    form->addRow(QStringLiteral("Start &from"), StartComboBox);
    form->addRow(QStringLiteral("&Until"), UntilEdit);
    form->addRow(QStringLiteral("&Output times"), TimesEdit);
    form->addRow(QStringLiteral("&Tolerance"), ToleranceEdit);
    layout->addLayout(form);

    auto* startrow = new QHBoxLayout;
    StartButton = new QPushButton(QStringLiteral("&Start"), panel);
    StartButton->setObjectName(QStringLiteral("StartButton"));
    StartButton->setDefault(true);
    StatusLabel = new QLabel(panel);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    StatusLabel->setWordWrap(true);
    startrow->addWidget(StartButton);
    startrow->addWidget(StatusLabel, 1);
    layout->addLayout(startrow);

    const Tsettings& s = ws_.settings;
    const std::uint32_t box = ws_.emi.regcomp();
    addrow(qs(ws_.regcomps.regionname(box)), qs(ws_.regcomps.compartmentname(box)),
           QStringLiteral("0"), QString(), qs(shortesttext(s.EmissionAmount)), QString());

    connect(AddButton, &QPushButton::clicked, this, [this] { AddButtonClick(); });
    connect(RemoveButton, &QPushButton::clicked, this, [this] { RemoveButtonClick(); });
    connect(LoadButton, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, QStringLiteral("Emission scenario"), QString(),
            QStringLiteral("Tab-separated files (*.tsv *.txt);;All files (*)"));
        if (!path.isEmpty()) loadscenario(path);
    });
    connect(StartButton, &QPushButton::clicked, this, [this] { StartButtonClick(); });
    return panel;
}

QWidget* TDynamicForm::createresults() {
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    PageControl = new QTabWidget(panel);
    PageControl->setObjectName(QStringLiteral("PageControl"));

    auto* plot = new QWidget(PageControl);
    auto* plotlayout = new QHBoxLayout(plot);
    auto* choose = new QVBoxLayout;
    ShowComboBox = new QComboBox(plot);
    ShowComboBox->setObjectName(QStringLiteral("ShowComboBox"));
    ShowComboBox->addItems({QStringLiteral("World and compartments"), QStringLiteral("Regions"),
                            QStringLiteral("Boxes")});
    SeriesListBox = new QListWidget(plot);
    SeriesListBox->setObjectName(QStringLiteral("SeriesListBox"));
    SeriesListBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    SeriesListBox->setMaximumWidth(200);
    QuantityComboBox = new QComboBox(plot);
    QuantityComboBox->setObjectName(QStringLiteral("QuantityComboBox"));
    QuantityComboBox->addItems(
        {QStringLiteral("Mass (kg)"), QStringLiteral("Concentration (kg*m^-3)")});
    LogTimeCheckBox = new QCheckBox(QStringLiteral("&Logarithmic time axis"), plot);
    LogTimeCheckBox->setObjectName(QStringLiteral("LogTimeCheckBox"));
    LogValueCheckBox = new QCheckBox(QStringLiteral("Logarithmic &values"), plot);
    LogValueCheckBox->setObjectName(QStringLiteral("LogValueCheckBox"));
    choose->addWidget(ShowComboBox);
    choose->addWidget(SeriesListBox, 1);
    choose->addWidget(QuantityComboBox);
    choose->addWidget(LogTimeCheckBox);
    choose->addWidget(LogValueCheckBox);
    plotlayout->addLayout(choose);
    Chart = new Tchartview(plot);
    Chart->setObjectName(QStringLiteral("Chart"));
    plotlayout->addWidget(Chart, 1);
    PageControl->addTab(plot, QStringLiteral("Plot"));

    BalanceGrid = new Tgrid(PageControl);
    BalanceGrid->setObjectName(QStringLiteral("BalanceGrid"));
    PageControl->addTab(BalanceGrid, QStringLiteral("Mass balance"));
    TimesGrid = new Tgrid(PageControl);
    TimesGrid->setObjectName(QStringLiteral("TimesGrid"));
    PageControl->addTab(TimesGrid, QStringLiteral("Approach and decline"));
    layout->addWidget(PageControl, 1);

    auto* maprow = new QHBoxLayout;
    auto* maplabel = new QLabel(QStringLiteral("&Map"), panel);
    MapResultComboBox = new QComboBox(panel);
    MapResultComboBox->setObjectName(QStringLiteral("MapResultComboBox"));
    maplabel->setBuddy(MapResultComboBox);
    MapResultComboBox->addItem(QStringLiteral("Mass (kg)"));
    for (const std::string& name : stateresultnames(ws_.model, true))
        MapResultComboBox->addItem(qs(name + " (" + ws_.results.find(name)->unit() + ")"),
                                   qs(name));
    MapTimeComboBox = new QComboBox(panel);
    MapTimeComboBox->setObjectName(QStringLiteral("MapTimeComboBox"));
    MapTimeComboBox->setMinimumContentsLength(10);
    WorldMapButton = new QPushButton(QStringLiteral("&World map"), panel);
    WorldMapButton->setObjectName(QStringLiteral("WorldMapButton"));
    WorldMapButton->setAutoDefault(false);
    maprow->addWidget(maplabel);
    maprow->addWidget(MapResultComboBox, 1);
    maprow->addWidget(new QLabel(QStringLiteral("at"), panel));
    maprow->addWidget(MapTimeComboBox);
    maprow->addWidget(WorldMapButton);
    layout->addLayout(maprow);

    connect(ShowComboBox, &QComboBox::currentIndexChanged, this, [this] { ShowComboBoxChange(); });
    connect(SeriesListBox, &QListWidget::itemSelectionChanged, this, [this] { refreshchart(); });
    connect(QuantityComboBox, &QComboBox::currentIndexChanged, this, [this] { refreshchart(); });
    connect(LogTimeCheckBox, &QCheckBox::toggled, this, [this] { refreshchart(); });
    connect(LogValueCheckBox, &QCheckBox::toggled, this, [this] { refreshchart(); });
    connect(WorldMapButton, &QPushButton::clicked, this,
            [this] { reporterrors(this, [this] { worldmap()->exec(); }); });
    ShowComboBoxChange();
    return panel;
}

void TDynamicForm::addrow(const QString& region, const QString& compartment, const QString& from,
                          const QString& to, const QString& rate, const QString& rateend) {
    const int row = EmissionsTable->rowCount();
    EmissionsTable->insertRow(row);
    const QString cells[columns] = {region, compartment, from, to, rate, rateend};
    for (int c = 0; c < columns; ++c)
        EmissionsTable->setItem(row, c, new QTableWidgetItem(cells[c]));
}

void TDynamicForm::AddButtonClick() {
    // A new row starts as a copy of the current one, a step in a scenario
    // usually changes one thing.
    const int current = EmissionsTable->currentRow();
    if (current < 0) {
        addrow(QString(), QString(), QStringLiteral("0"), QString(), QStringLiteral("1"),
               QString());
    } else {
        QString cells[columns];
        for (int c = 0; c < columns; ++c)
            cells[c] = EmissionsTable->item(current, c) ? EmissionsTable->item(current, c)->text()
                                                        : QString();
        addrow(cells[0], cells[1], cells[2], cells[3], cells[4], cells[5]);
    }
    EmissionsTable->setCurrentCell(EmissionsTable->rowCount() - 1, colfrom);
}

void TDynamicForm::RemoveButtonClick() {
    const int current = EmissionsTable->currentRow();
    if (current >= 0) EmissionsTable->removeRow(current);
}

bool TDynamicForm::loadscenario(const QString& path) {
    return reporterrors(this, [&] {
        const std::vector<Tscenariorow> rows = readscenariofile(ss(path));
        EmissionsTable->setRowCount(0);
        for (const Tscenariorow& r : rows)
            addrow(qs(r.region), qs(r.compartment), qs(r.from), qs(r.to), qs(r.rate),
                   qs(r.rateend));
    });
}

Tdynamicsettings TDynamicForm::settings() const {
    Tdynamicsettings s;
    try {
        s.until = parseduration(ss(UntilEdit->text()));
    } catch (const Eerror& e) {
        throw Eerror(std::string("Until: ") + e.what());
    }
    if (s.until <= 0) throw Eerror("Until: the run needs a length above 0");
    try {
        s.times = parseoutputtimes(ss(TimesEdit->text()), s.until);
    } catch (const Eerror& e) {
        throw Eerror(std::string("Output times: ") + e.what());
    }
    try {
        s.tolerance = static_cast<double>(strtonum(ss(ToleranceEdit->text().trimmed())));
    } catch (const Eerror&) {
        throw Eerror("Tolerance: \"" + ss(ToleranceEdit->text()) + "\" is no number");
    }
    std::vector<Tscenariorow> rows;
    for (int r = 0; r < EmissionsTable->rowCount(); ++r) {
        auto cell = [&](int c) {
            const QTableWidgetItem* item = EmissionsTable->item(r, c);
            return item ? ss(item->text()) : std::string();
        };
        Tscenariorow row{cell(colregion),
                         cell(colcompartment),
                         cell(colfrom),
                         cell(colto),
                         cell(colrate),
                         cell(colrateend),
                         "row " + std::to_string(r + 1)};
        bool empty = true;
        for (int c = 0; c < columns; ++c)
            empty = empty && QString::fromStdString(cell(c)).trimmed().isEmpty();
        if (!empty) rows.push_back(row);
    }
    s.emissions = parsescenario(ws_.model, rows, s.until);
    if (StartComboBox->currentIndex() == 1)
        s.startfrom.push_back({ws_.emi.regcomp(), ws_.settings.EmissionAmount});
    return s;
}

bool TDynamicForm::StartButtonClick() {
    return reporterrors(this, [this] {
        const Tdynamicsettings s = settings();
        std::unique_ptr<Tprogress> progress = ws_.ui.progress();
        progress->setmaintext("Dynamic solution");
        progress->showcancel();
        progress->startbar(100);
        int percent = 0;
        Tdynamiccallbacks callbacks;
        callbacks.progress = [&](double t, double until) {
            const int reached = static_cast<int>(100 * t / until);
            if (reached <= percent) return;
            for (; percent < reached; ++percent)
                progress->stepbar();
            progress->setsubtext(durationtext(t));
        };
        callbacks.cancelled = [&] { return progress->cancelled(); };
        Tdynamicresult r = rundynamic(ws_.model, s, callbacks);
        progress.reset();
        result_ = std::move(r);
        hasresult_ = true;
        showresults();
    });
}

void TDynamicForm::showresults() {
    compartmenttotals_.clear();
    regiontotals_.clear();
    for (const Tdynamicoutput& o : result_.outputs) {
        compartmenttotals_.push_back(compartmenttotals(ws_.model, o.mass));
        regiontotals_.push_back(regiontotals(ws_.model, o.mass));
    }
    MapTimeComboBox->clear();
    for (const Tdynamicoutput& o : result_.outputs)
        MapTimeComboBox->addItem(timetext(o.time));
    if (MapTimeComboBox->count() > 0)
        MapTimeComboBox->setCurrentIndex(MapTimeComboBox->count() - 1);
    WorldMapButton->setEnabled(!result_.outputs.empty());
    if (!hasresult_) {
        StatusLabel->setText(QStringLiteral("Press Start to run the scenario."));
    } else {
        double worst = 0;
        for (const Tdynamicoutput& o : result_.outputs)
            worst = std::max(worst, o.relativeimbalance());
        const QString reached = result_.outputs.empty() ? QStringLiteral("none")
                                                        : timetext(result_.outputs.back().time);
        StatusLabel->setText((result_.cancelled
                                  ? QStringLiteral("Cancelled; kept %1 output times, to %2. ")
                                        .arg(result_.outputs.size())
                                        .arg(reached)
                                  : QStringLiteral("%1 output times, to %2. ")
                                        .arg(result_.outputs.size())
                                        .arg(reached)) +
                             QStringLiteral("%1 steps in %2 s; mass balance within %3.")
                                 .arg(result_.stats.steps)
                                 .arg(result_.seconds, 0, 'f', 2)
                                 .arg(worst, 0, 'g', 2));
    }
    fillbalance();
    filltimes();
    refreshchart();
}

void TDynamicForm::ShowComboBoxChange() {
    SeriesListBox->blockSignals(true);
    SeriesListBox->clear();
    boxes_.clear();
    switch (ShowComboBox->currentIndex()) {
    case showworld:
        SeriesListBox->addItem(QStringLiteral("World"));
        for (std::uint32_t c = 1; c <= ws_.compartments.count; ++c)
            SeriesListBox->addItem(qs(ws_.compartments.name(c)));
        break;
    case showregions:
        for (std::uint32_t r = 1; r <= ws_.regions.count; ++r)
            SeriesListBox->addItem(qs(ws_.regions.name(r)));
        break;
    default:
        for (std::uint32_t k = 1; k <= ws_.regcomps.n; ++k)
            if (ws_.regcomps.exists(k)) {
                boxes_.push_back(k);
                SeriesListBox->addItem(qs(ws_.regcomps.regcompname(k)));
            }
        break;
    }
    if (SeriesListBox->count() > 0) SeriesListBox->item(0)->setSelected(true);
    SeriesListBox->blockSignals(false);
    // A concentration belongs to one box; totals have only a mass.
    const bool boxes = ShowComboBox->currentIndex() == showboxes;
    QuantityComboBox->setEnabled(boxes);
    if (!boxes) QuantityComboBox->setCurrentIndex(0);
    refreshchart();
}

QString TDynamicForm::seriesname(int item) const {
    return SeriesListBox->item(item)->text();
}

std::vector<double> TDynamicForm::seriesvalues(int item) const {
    std::vector<double> v;
    const int show = ShowComboBox->currentIndex();
    const bool concentration = show == showboxes && QuantityComboBox->currentIndex() == 1;
    for (std::size_t i = 0; i < result_.outputs.size(); ++i) {
        const Tdynamicoutput& o = result_.outputs[i];
        if (show == showworld)
            v.push_back(item == 0 ? o.present : compartmenttotals_[i][std::size_t(item)]);
        else if (show == showregions)
            v.push_back(regiontotals_[i][std::size_t(item) + 1]);
        else {
            const std::uint32_t k = boxes_[std::size_t(item)];
            const double volume = ws_.regcomps.V.value(k);
            v.push_back(concentration ? (volume > 0 ? o.mass[k - 1] / volume : 0.0)
                                      : o.mass[k - 1]);
        }
    }
    return v;
}

void TDynamicForm::refreshchart() {
    Ttimechart c;
    const bool concentration =
        ShowComboBox->currentIndex() == showboxes && QuantityComboBox->currentIndex() == 1;
    c.unit =
        concentration ? QStringLiteral("Concentration (kg*m^-3)") : QStringLiteral("Mass (kg)");
    c.title = qs(ws_.sub.name.value) + (result_.cancelled ? QStringLiteral(" (cancelled)") : "");
    c.logtime = LogTimeCheckBox->isChecked();
    c.logvalue = LogValueCheckBox->isChecked();
    for (const Tdynamicoutput& o : result_.outputs)
        c.times.push_back(o.time);
    for (int k = 0; k < SeriesListBox->count(); ++k)
        if (SeriesListBox->item(k)->isSelected())
            c.series.push_back({seriesname(k), seriesvalues(k)});
    Chart->setchart(std::move(c));
}

void TDynamicForm::fillbalance() {
    Tstringtable t(9 + int(ncompartments), int(result_.outputs.size()) + 1);
    const char* heads[] = {"Time",         "Time (s)",       "Initial (kg)",
                           "Emitted (kg)", "Present (kg)",   "Degraded (kg)",
                           "Removed (kg)", "Imbalance (kg)", "Relative imbalance (-)"};
    for (int c = 0; c < 9; ++c)
        t.setcell(c, 0, heads[c]);
    for (std::uint32_t c = 1; c <= ncompartments; ++c)
        t.setcell(8 + int(c), 0, ws_.compartments.name(c) + " (kg)");
    const unsigned digits = ws_.settings.Digits;
    auto number = [digits](double x) { return numtostr(extended(x), digits); };
    for (std::size_t i = 0; i < result_.outputs.size(); ++i) {
        const Tdynamicoutput& o = result_.outputs[i];
        const int r = int(i) + 1;
        const double values[] = {
            o.time,           o.initial,     o.ledger.emitted,     o.present, o.ledger.degraded,
            o.ledger.removed, o.imbalance(), o.relativeimbalance()};
        t.setcell(0, r, durationtext(o.time));
        for (int c = 0; c < 8; ++c)
            t.setcell(1 + c, r, number(values[c]));
        for (std::uint32_t c = 1; c <= ncompartments; ++c)
            t.setcell(8 + int(c), r, number(compartmenttotals_[i][c]));
    }
    BalanceGrid->settable(std::move(t));
    gridlayout(BalanceGrid, 1);
}

void TDynamicForm::filltimes() {
    const Tdynamicderived& d = result_.derived;
    Tstringtable t(10, int(d.series.size()) + 1);
    const char* heads[] = {"Name", "Group",   "Start (kg)", "Steady state (kg)",   "50 %", "90 %",
                           "95 %", "Peak at", "Peak (kg)",  "Half-time of decline"};
    for (int c = 0; c < 10; ++c)
        t.setcell(c, 0, heads[c]);
    const char* groups[] = {"World", "Compartment", "Region", "Box"};
    const unsigned digits = ws_.settings.Digits;
    auto number = [digits](double x) { return numtostr(extended(x), digits); };
    for (std::size_t i = 0; i < d.series.size(); ++i) {
        const Tseriesderived& s = d.series[i];
        const int r = int(i) + 1;
        t.setcell(0, r, velmora::seriesname(ws_.model, s));
        t.setcell(1, r, groups[int(s.group)]);
        t.setcell(2, r, number(s.start));
        t.setcell(3, r, d.approachknown ? number(s.target) : std::string("-"));
        for (int j = 0; j < 3; ++j)
            t.setcell(4 + j, r, ss(whentext(s.approach[j])));
        t.setcell(7, r, durationtext(s.peaktime));
        t.setcell(8, r, number(s.peakmass));
        t.setcell(9, r, ss(whentext(s.halftime)));
    }
    TimesGrid->settable(std::move(t));
    gridlayout(TimesGrid, 1);
}

std::unique_ptr<TGeoForm> TDynamicForm::worldmap() {
    const int at = MapTimeComboBox->currentIndex();
    if (at < 0 || std::size_t(at) >= result_.outputs.size())
        throw Eerror("There are no results to show yet; press Start first.");
    const Tdynamicoutput& o = result_.outputs[std::size_t(at)];
    std::vector<std::string> rownames, cells;
    for (std::uint32_t r = 1; r <= ws_.regions.count; ++r)
        rownames.push_back(ws_.regions.name(r));
    const QString name = MapResultComboBox->currentData().toString();
    if (name.isEmpty()) {
        for (std::uint32_t r = 1; r <= ws_.regions.count; ++r)
            cells.push_back(shortesttext(regiontotals_[std::size_t(at)][r]));
    } else {
        withstate(ws_.model, o.mass, [&] {
            const Tnumpars& p = *std::get<Tnumpars*>(ws_.results.find(ss(name))->parameter);
            for (std::uint32_t r = 1; r <= ws_.regions.count; ++r) {
                const char status = p.status(r);
                cells.push_back(status == stHidden || status == stUnknown
                                    ? std::string("-")
                                    : shortesttext(p.value(r)));
            }
        });
    }
    auto form = std::make_unique<TGeoForm>(program_, this);
    const Tmapcolumn column = columnplaces(ws_.regions, rownames, cells, form->digits);
    for (const Tgeoplace& p : column.places)
        form->addplace(p.latitude, p.longitude, p.size, p.colour);
    form->setlegend(MapResultComboBox->currentText() + QStringLiteral(" at ") + timetext(o.time) +
                    QStringLiteral(": ") + column.legend);
    return form;
}

void TDynamicForm::PrintButtonClick() {
    reporterrors(this, [this] { print(); });
}

void TDynamicForm::print() {
    const bool picture = PageControl->currentIndex() == 0;
    TOutputForm output(program_, picture, this);
    output.special = {ws_.settings.InfText, ws_.settings.UnknownText, ws_.settings.HiddenText};
    if (output.exec() != QDialog::Accepted) return;
    if (picture) {
        // Drawn through an image control, which keeps the strokes: an SVG
        // file or the printer gets the chart as vectors.
        Timage image(nullptr, QSize(900, 560));
        QImage blank(QSize(900, 560), QImage::Format_RGB32);
        blank.fill(Qt::white);
        image.setpicture(std::move(blank));
        const Ttimechart& chart = Chart->chart();
        image.paint([&chart](QPainter& p) { paintchart(p, QRect(0, 0, 900, 560), chart); });
        output.writepicture(image);
    } else {
        for (const std::string& line : printheader(ws_, true))
            output.writeline(line);
        output.writeline("Dynamic = " + ss(StatusLabel->text()));
        output.writeblank();
        Tgrid* grid = PageControl->currentIndex() == 1 ? BalanceGrid : TimesGrid;
        if (!output.writegrid(grid->table())) return;
    }
    output.deliverorreport();
}

} // namespace velmora

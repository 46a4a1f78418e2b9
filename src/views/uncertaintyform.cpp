#include "views/uncertaintyform.h"

#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <charconv>
#include <cmath>

#include "app/workspace.h"
#include "numeric/utilities.h"
#include "toolkit/forms.h"
#include "toolkit/grid.h"
#include "toolkit/outputform.h"
#include "toolkit/plot.h"
#include "uncertainty/uncertaintysheet.h"
#include "uncertainty/uncertaintytables.h"
#include "views/dialogsupport.h"
#include "views/uncertaininputform.h"
#include "views/uncertaintycharts.h"

namespace velmora {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QPushButton* namedbutton(QWidget* parent, const QString& caption, const char* name) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

// A table with its heading row fixed, and its first column when asked.
Tstringtable gridtable(const Ttable& t, bool fixedcolumn) {
    const int cols = t.empty() ? 0 : static_cast<int>(t.front().size());
    Tstringtable table(cols, static_cast<int>(t.size()));
    for (int r = 0; r < static_cast<int>(t.size()); ++r)
        for (int c = 0; c < cols && c < static_cast<int>(t[r].size()); ++c)
            table.setcell(c, r, t[r][c]);
    table.setfixed(fixedcolumn ? 1 : 0, 1);
    return table;
}

// The settings' rows numbered from 1 in a first column, as errors count them.
Ttable numbered(Ttable t) {
    for (std::size_t r = 0; r < t.size(); ++r)
        t[r].insert(t[r].begin(), r == 0 ? std::string("#") : std::to_string(r));
    return t;
}

void showtable(Tgrid* grid, const Ttable& t, bool fixedcolumn) {
    grid->settable(gridtable(t, fixedcolumn));
    gridlayout(grid, 1 | (fixedcolumn ? 0 : 4));
}

// The data row of a grid that is current, 0-based; -1 when none.
int currentdatarow(const Tgrid* grid, std::size_t count) {
    const int r = grid->row() - 1;
    return r >= 0 && r < static_cast<int>(count) ? r : -1;
}

} // namespace

TUncertaintyForm::TUncertaintyForm(Tworkspace& ws, const Tprograminfo& program,
                                   Tuncertaintysettings& settings, QWidget* parent)
    : QDialog(parent), ws_(ws), program_(program), settings_(settings) {
    if (settings_.inputs.empty()) settings_.inputs = defaultinputs(ws_.model);
    FormCreate();
    ShowInputs();
    ShowRunFields();
    ShowResults();
    PageControl->setCurrentIndex(0);
    StatusLabel->setText(QStringLiteral("Start runs the draws."));
}

TUncertaintyForm::~TUncertaintyForm() = default;

void TUncertaintyForm::FormCreate() {
    setObjectName(QStringLiteral("UncertaintyForm"));
    setWindowTitle(QStringLiteral("Uncertainty - ") + qs(ws_.sub.name.value) +
                   QStringLiteral(" emitted to ") +
                   qs(ws_.regcomps.regcompname(ws_.emi.regcomp())));

    // Left: what is uncertain and how the run goes.
    auto* inputs = new QGroupBox(QStringLiteral("Inputs"), this);
    InputsGrid = new Tgrid(inputs);
    InputsGrid->setObjectName(QStringLiteral("InputsGrid"));
    AddButton = namedbutton(inputs, QStringLiteral("&Add ..."), "AddButton");
    EditButton = namedbutton(inputs, QStringLiteral("&Edit ..."), "EditButton");
    RemoveButton = namedbutton(inputs, QStringLiteral("Re&move"), "RemoveButton");
    DefaultsButton = namedbutton(inputs, QStringLiteral("De&faults"), "DefaultsButton");
    LoadButton = namedbutton(inputs, QStringLiteral("&Load ..."), "LoadButton");
    SaveButton = namedbutton(inputs, QStringLiteral("Sa&ve ..."), "SaveButton");
    auto* inputbuttons = new QHBoxLayout;
    for (QPushButton* b :
         {AddButton, EditButton, RemoveButton, DefaultsButton, LoadButton, SaveButton})
        inputbuttons->addWidget(b);
    inputbuttons->addStretch(1);
    auto* inputslayout = new QVBoxLayout(inputs);
    inputslayout->addWidget(InputsGrid, 3);
    inputslayout->addLayout(inputbuttons);

    auto* correlations = new QGroupBox(QStringLiteral("Rank correlations"), this);
    CorrelationsGrid = new Tgrid(correlations);
    CorrelationsGrid->setObjectName(QStringLiteral("CorrelationsGrid"));
    AddCorrelationButton =
        namedbutton(correlations, QStringLiteral("Add pa&ir ..."), "AddCorrelationButton");
    RemoveCorrelationButton =
        namedbutton(correlations, QStringLiteral("Remove &pair"), "RemoveCorrelationButton");
    auto* correlationbuttons = new QHBoxLayout;
    correlationbuttons->addWidget(AddCorrelationButton);
    correlationbuttons->addWidget(RemoveCorrelationButton);
    correlationbuttons->addStretch(1);
    auto* correlationslayout = new QVBoxLayout(correlations);
    correlationslayout->addWidget(CorrelationsGrid, 1);
    correlationslayout->addLayout(correlationbuttons);

    auto* run = new QGroupBox(QStringLiteral("Run"), this);
    DrawsSpinBox = new QSpinBox(run);
    DrawsSpinBox->setObjectName(QStringLiteral("DrawsSpinBox"));
    DrawsSpinBox->setRange(0, 1000000);
    SeedEdit = new QLineEdit(run);
    SeedEdit->setObjectName(QStringLiteral("SeedEdit"));
    ResultsEdit = new QLineEdit(run);
    ResultsEdit->setObjectName(QStringLiteral("ResultsEdit"));
    ResultsEdit->setToolTip(
        QStringLiteral("default, or a list such as CONC, iFtot, RESTIMEtot, C_air[Netherlands], "
                       "CONC[Netherlands_air]"));
    StartButton = namedbutton(run, QStringLiteral("&Start"), "StartButton");
    StatusLabel = new QLabel(run);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    StatusLabel->setWordWrap(true);
    auto* runlayout = new QGridLayout(run);
    auto field = [&](int row, const QString& caption, QWidget* w) {
        auto* label = new QLabel(caption, run);
        label->setBuddy(w);
        runlayout->addWidget(label, row, 0);
        runlayout->addWidget(w, row, 1);
    };
    field(0, QStringLiteral("D&raws"), DrawsSpinBox);
    field(1, QStringLiteral("See&d"), SeedEdit);
    field(2, QStringLiteral("Res&ults"), ResultsEdit);
    runlayout->addWidget(StartButton, 0, 2);
    runlayout->addWidget(StatusLabel, 3, 0, 1, 3);
    runlayout->setColumnStretch(1, 1);

    auto* left = new QWidget(this);
    auto* leftlayout = new QVBoxLayout(left);
    leftlayout->setContentsMargins(0, 0, 0, 0);
    leftlayout->addWidget(inputs, 3);
    leftlayout->addWidget(correlations, 1);
    leftlayout->addWidget(run);

    // Right: what came out.
    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PercentilesGrid = new Tgrid(PageControl);
    PercentilesGrid->setObjectName(QStringLiteral("PercentilesGrid"));
    PageControl->addTab(PercentilesGrid, QStringLiteral("Percentiles"));
    ContributionsGrid = new Tgrid(PageControl);
    ContributionsGrid->setObjectName(QStringLiteral("ContributionsGrid"));
    PageControl->addTab(ContributionsGrid, QStringLiteral("Contributions"));
    auto* chart = new QWidget(PageControl);
    ResultComboBox = new QComboBox(chart);
    ResultComboBox->setObjectName(QStringLiteral("ResultComboBox"));
    ResultComboBox->setMaxVisibleItems(25);
    ResultComboBox->setMinimumContentsLength(30);
    HistogramButton = new QRadioButton(QStringLiteral("&Histogram"), chart);
    HistogramButton->setObjectName(QStringLiteral("HistogramButton"));
    CumulativeButton = new QRadioButton(QStringLiteral("&Cumulative"), chart);
    CumulativeButton->setObjectName(QStringLiteral("CumulativeButton"));
    ContributionButton = new QRadioButton(QStringLiteral("C&ontributions"), chart);
    ContributionButton->setObjectName(QStringLiteral("ContributionButton"));
    HistogramButton->setChecked(true);
    ChartImage = new Timage(chart, QSize(560, 380));
    ChartImage->setObjectName(QStringLiteral("ChartImage"));
    ChartImage->setstretch(false);
    auto* chartrow = new QHBoxLayout;
    chartrow->addWidget(ResultComboBox, 1);
    for (QRadioButton* b : {HistogramButton, CumulativeButton, ContributionButton})
        chartrow->addWidget(b);
    auto* chartlayout = new QVBoxLayout(chart);
    chartlayout->addLayout(chartrow);
    chartlayout->addWidget(ChartImage, 1);
    PageControl->addTab(chart, QStringLiteral("Chart"));

    auto* splitter = new QSplitter(this);
    splitter->addWidget(left);
    splitter->addWidget(PageControl);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);

    PrintButton = new QPushButton(this);
    standardbutton(PrintButton, 3);
    PrintButton->setText(QStringLiteral("Print"));
    PrintButton->setObjectName(QStringLiteral("PrintButton"));
    PrintButton->setAutoDefault(false);
    CloseButton = new QPushButton(this);
    standardbutton(CloseButton, 2);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(PrintButton);
    buttons->addWidget(CloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);

    auto guarded = [this](void (TUncertaintyForm::*handler)()) {
        return [this, handler] { reporterrors(this, [&] { (this->*handler)(); }); };
    };
    connect(AddButton, &QPushButton::clicked, this, guarded(&TUncertaintyForm::AddButtonClick));
    connect(EditButton, &QPushButton::clicked, this, guarded(&TUncertaintyForm::EditButtonClick));
    connect(RemoveButton, &QPushButton::clicked, this,
            guarded(&TUncertaintyForm::RemoveButtonClick));
    connect(DefaultsButton, &QPushButton::clicked, this,
            guarded(&TUncertaintyForm::DefaultsButtonClick));
    connect(LoadButton, &QPushButton::clicked, this, guarded(&TUncertaintyForm::LoadButtonClick));
    connect(SaveButton, &QPushButton::clicked, this, guarded(&TUncertaintyForm::SaveButtonClick));
    connect(AddCorrelationButton, &QPushButton::clicked, this,
            guarded(&TUncertaintyForm::AddCorrelationButtonClick));
    connect(RemoveCorrelationButton, &QPushButton::clicked, this,
            guarded(&TUncertaintyForm::RemoveCorrelationButtonClick));
    connect(StartButton, &QPushButton::clicked, this, guarded(&TUncertaintyForm::StartButtonClick));
    connect(PrintButton, &QPushButton::clicked, this, guarded(&TUncertaintyForm::PrintButtonClick));
    connect(InputsGrid, &Tgrid::celldoubleclicked, this, [this](int, int r) {
        if (r > 0) reporterrors(this, [&] { EditButtonClick(); });
    });
    connect(PercentilesGrid, &Tgrid::celldoubleclicked, this, [this](int, int r) {
        if (r <= 0 || r > ResultComboBox->count()) return;
        ResultComboBox->setCurrentIndex(r - 1);
        PageControl->setCurrentIndex(2);
    });
    connect(ResultComboBox, &QComboBox::currentIndexChanged, this, [this] { ChartChange(); });
    for (QRadioButton* b : {HistogramButton, CumulativeButton, ContributionButton})
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on) ChartChange();
        });
    ChartImage->installEventFilter(this);
    resize(1180, 720);
    formsetup(this, 1);
}

bool TUncertaintyForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ChartImage && event->type() == QEvent::Resize) ChartChange();
    return QDialog::eventFilter(watched, event);
}

std::string TUncertaintyForm::format(double x) const {
    if (!std::isfinite(x)) return ws_.settings.UnknownText;
    return generalformat(x, std::max<unsigned>(1, ws_.settings.Digits));
}

void TUncertaintyForm::ShowInputs() {
    const auto exact = [](double x) { return shortesttext(x); };
    showtable(InputsGrid, numbered(inputtable(settings_, exact)), true);
    showtable(CorrelationsGrid, numbered(correlationtable(settings_, exact)), true);
    EditButton->setEnabled(!settings_.inputs.empty());
    RemoveButton->setEnabled(!settings_.inputs.empty());
    RemoveCorrelationButton->setEnabled(!settings_.correlations.empty());
    AddCorrelationButton->setEnabled(settings_.inputs.size() >= 2);
}

void TUncertaintyForm::ShowRunFields() {
    DrawsSpinBox->setValue(static_cast<int>(std::min<std::size_t>(settings_.draws, 1000000)));
    SeedEdit->setText(QString::number(settings_.seed));
    std::string results;
    for (const std::string& spec : settings_.results)
        results += (results.empty() ? "" : ", ") + spec;
    ResultsEdit->setText(qs(results.empty() ? std::string(defaultresultsname) : results));
}

bool TUncertaintyForm::TakeRunFields() {
    settings_.draws = static_cast<std::size_t>(DrawsSpinBox->value());
    const std::string seed = SeedEdit->text().trimmed().toStdString();
    std::uint64_t x = 0;
    auto [end, ec] = std::from_chars(seed.data(), seed.data() + seed.size(), x);
    if (ec != std::errc() || end != seed.data() + seed.size()) {
        ws_.ui.warn("Seed: '" + seed + "' is not a whole number of 0 or more");
        SeedEdit->setFocus();
        return false;
    }
    settings_.seed = x;
    settings_.results = splitresultlist(ResultsEdit->text().toStdString());
    if (settings_.results.size() == 1 && settings_.results[0] == defaultresultsname)
        settings_.results.clear();
    return true;
}

void TUncertaintyForm::ShowResults() {
    const bool shown = run_ != nullptr;
    for (int k = 0; k < PageControl->count(); ++k)
        PageControl->setTabEnabled(k, shown);
    PrintButton->setEnabled(shown);
    if (!shown) {
        PercentilesGrid->settable(Tstringtable());
        ContributionsGrid->settable(Tstringtable());
        const QSignalBlocker quiet(ResultComboBox);
        ResultComboBox->clear();
        ChartImage->picture().fill(Qt::white);
        ChartImage->update();
        return;
    }
    const auto format = [this](double x) { return this->format(x); };
    showtable(PercentilesGrid, summarytable(*run_, format), true);
    showtable(ContributionsGrid, contributiontable(*run_, format), true);
    {
        const QSignalBlocker quiet(ResultComboBox);
        ResultComboBox->clear();
        for (const Tresultuncertainty& r : run_->results)
            ResultComboBox->addItem(qs(r.item.name));
    }
    ResultComboBox->setCurrentIndex(0);
    ChartChange();
}

void TUncertaintyForm::ChartChange() {
    const int k = ResultComboBox->currentIndex();
    if (!run_ || k < 0 || k >= static_cast<int>(run_->results.size())) return;
    const Tresultuncertainty& r = run_->results[static_cast<std::size_t>(k)];
    const QSize size = ChartImage->size().expandedTo(QSize(320, 240));
    ChartImage->setpicture(QImage(size, QImage::Format_RGB32));
    const QString title = qs(r.item.name);
    // Through the image control, which keeps the strokes for SVG and the printer.
    if (ContributionButton->isChecked()) {
        ChartImage->paint([&](QPainter& p) {
            drawcontributions(p, size, run_->inputs, r.contributions,
                              QStringLiteral("Contribution to the variance of ") + title);
        });
    } else {
        const std::span<const float> values = run_->valuesof(static_cast<std::size_t>(k));
        ChartImage->paint([&](QPainter& p) {
            drawdistribution(p, size, values, r.deterministic, title, qs(r.item.unit),
                             CumulativeButton->isChecked());
        });
    }
}

// ---- the inputs -------------------------------------------------------------------

void TUncertaintyForm::AddButtonClick() {
    Tuncertaininput start;
    start.distribution = {Tdistributionkind::lognormal, 1, 2, 0, {}, {}};
    const int row = currentdatarow(InputsGrid, settings_.inputs.size());
    if (row >= 0) start.parameter = settings_.inputs[static_cast<std::size_t>(row)].parameter;
    TUncertainInputForm form(ws_.model, start, this);
    if (form.exec() != QDialog::Accepted) return;
    settings_.inputs.push_back(form.input());
    ShowInputs();
    InputsGrid->setcurrentcell(1, static_cast<int>(settings_.inputs.size()));
}

void TUncertaintyForm::EditButtonClick() {
    const int row = currentdatarow(InputsGrid, settings_.inputs.size());
    if (row < 0) return;
    Tuncertaininput& in = settings_.inputs[static_cast<std::size_t>(row)];
    TUncertainInputForm form(ws_.model, in, this);
    if (form.exec() != QDialog::Accepted) return;
    const std::string oldkey = in.key();
    in = form.input();
    // Correlations follow their input to its new name.
    for (Tinputcorrelation& c : settings_.correlations) {
        if (c.first == oldkey) c.first = in.key();
        if (c.second == oldkey) c.second = in.key();
    }
    ShowInputs();
    InputsGrid->setcurrentcell(1, row + 1);
}

void TUncertaintyForm::RemoveButtonClick() {
    const int row = currentdatarow(InputsGrid, settings_.inputs.size());
    if (row < 0) return;
    const std::string key = settings_.inputs[static_cast<std::size_t>(row)].key();
    settings_.inputs.erase(settings_.inputs.begin() + row);
    std::erase_if(settings_.correlations,
                  [&](const Tinputcorrelation& c) { return c.first == key || c.second == key; });
    ShowInputs();
}

void TUncertaintyForm::DefaultsButtonClick() {
    settings_.inputs = defaultinputs(ws_.model);
    settings_.correlations.clear();
    ShowInputs();
}

void TUncertaintyForm::AddCorrelationButtonClick() {
    std::vector<std::string> keys;
    for (const Tuncertaininput& in : settings_.inputs)
        keys.push_back(in.key());
    TRankCorrelationForm form(keys, this);
    if (form.exec() != QDialog::Accepted) return;
    std::vector<Tinputcorrelation> correlations = settings_.correlations;
    correlations.push_back(form.correlation());
    try {
        checkinputs(ws_.model, settings_.inputs, correlations, true);
    } catch (const Euncertaintysetting& e) {
        ws_.ui.warn(e.what());
        return;
    }
    settings_.correlations = correlations;
    ShowInputs();
}

void TUncertaintyForm::RemoveCorrelationButtonClick() {
    const int row = currentdatarow(CorrelationsGrid, settings_.correlations.size());
    if (row < 0) return;
    settings_.correlations.erase(settings_.correlations.begin() + row);
    ShowInputs();
}

void TUncertaintyForm::LoadButtonClick() {
    const QString file =
        loadfilename
            ? loadfilename()
            : QFileDialog::getOpenFileName(this, QStringLiteral("Load uncertainty settings"),
                                           QString(), QStringLiteral("Workbooks (*.xlsx)"));
    if (file.isEmpty()) return;
    Tuncertaintyworkbook book = readuncertaintyworkbook(file.toStdString());
    // A workbook without a run sheet leaves the run fields as they are.
    if (!book.hasdraws) book.settings.draws = settings_.draws;
    if (!book.hasseed) book.settings.seed = settings_.seed;
    if (!book.hasresults) book.settings.results = settings_.results;
    try {
        checkinputs(ws_.model, book.settings.inputs, book.settings.correlations);
    } catch (const Euncertaintysetting& e) {
        // Loaded anyway, so the row can be mended here; the problem is told.
        ws_.ui.warn(book.where(e));
    }
    settings_ = book.settings;
    ShowInputs();
    ShowRunFields();
}

void TUncertaintyForm::SaveButtonClick() {
    if (!TakeRunFields()) return;
    const QString file =
        savefilename
            ? savefilename()
            : QFileDialog::getSaveFileName(this, QStringLiteral("Save uncertainty settings"),
                                           QStringLiteral("uncertainty.xlsx"),
                                           QStringLiteral("Workbooks (*.xlsx)"));
    if (file.isEmpty()) return;
    writeuncertaintyworkbook(file.toStdString(), settings_);
}

// ---- the run ------------------------------------------------------------------------

void TUncertaintyForm::StartButtonClick() {
    if (!TakeRunFields()) return;
    try {
        checksettings(ws_.model, settings_);
    } catch (const Euncertaintysetting& e) {
        ws_.ui.warn(e.what());
        if (e.table == "inputs") InputsGrid->setcurrentcell(1, static_cast<int>(e.row));
        if (e.table == "correlations") CorrelationsGrid->setcurrentcell(1, static_cast<int>(e.row));
        if (e.table == "run") DrawsSpinBox->setFocus();
        return;
    }
    // Nothing of an earlier run stays on show while this one goes.
    run_.reset();
    ShowResults();
    StatusLabel->clear();
    std::unique_ptr<Tprogress> progress = ws_.ui.progress();
    progress->setmaintext("Uncertainty");
    progress->setsubtext("Copying the model");
    progress->showcancel();
    progress->startbar(static_cast<std::int64_t>(settings_.draws));
    std::size_t stepped = 0;
    Tuncertaintycallbacks callbacks;
    callbacks.progress = [&](std::size_t done, std::size_t total) {
        if (done > 0)
            progress->setsubtext("Draw " + std::to_string(done) + " of " + std::to_string(total));
        for (; stepped < done; ++stepped)
            progress->stepbar();
    };
    callbacks.cancelled = [&] { return progress->cancelled(); };
    auto run = std::make_unique<Tuncertaintyrun>(rununcertainty(ws_.model, settings_, callbacks));
    progress.reset();
    if (run->cancelled) {
        StatusLabel->setText(
            QStringLiteral("Cancelled after %1 s: no results.").arg(run->seconds, 0, 'f', 1));
        return;
    }
    run_ = std::move(run);
    StatusLabel->setText(QStringLiteral("%1 draws (%2 failed) of %3 inputs, %4 results: %5 s on "
                                        "%6 threads.")
                             .arg(run_->draws)
                             .arg(run_->failedcount)
                             .arg(run_->inputs.size())
                             .arg(run_->results.size())
                             .arg(run_->seconds, 0, 'f', 1)
                             .arg(run_->threads));
    ShowResults();
    if (!run_->warnings.empty()) {
        std::string text = "The draws' calculations warned:";
        std::size_t shown = 0;
        for (const auto& [warning, count] : run_->warnings) {
            if (++shown > 10) break;
            text += "\n" + warning + " (" + std::to_string(count) + " times)";
        }
        ws_.ui.warn(text);
    }
}

void TUncertaintyForm::PrintButtonClick() {
    if (!run_) return;
    const bool chart = PageControl->currentIndex() == 2;
    TOutputForm output(program_, chart, this);
    output.special = {ws_.settings.InfText, ws_.settings.UnknownText, ws_.settings.HiddenText};
    if (output.exec() != QDialog::Accepted) return;
    if (chart) {
        output.writepicture(*ChartImage);
    } else {
        output.writeline("Substance = " + ws_.sub.name.value);
        output.writeline("Emission = " + ws_.regcomps.regcompname(ws_.emi.regcomp()));
        output.writeline("Draws = " + std::to_string(run_->draws) +
                         "; seed = " + std::to_string(settings_.seed) +
                         "; failed = " + std::to_string(run_->failedcount));
        output.writeblank();
        Tgrid* grid = PageControl->currentIndex() == 0 ? PercentilesGrid : ContributionsGrid;
        if (!output.writegrid(grid->table())) return;
    }
    output.deliverorreport();
}

} // namespace velmora

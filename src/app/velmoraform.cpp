#include "app/velmoraform.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QStatusBar>

#include "model/regions.h"
#include "toolkit/aboutform.h"
#include "toolkit/desktop.h"
#include "toolkit/forms.h"
#include "toolkit/qtuiservice.h"
#include "toolkit/smallforms.h"
#include "toolkit/sheets/excelfile.h"
#include "views/aggregationform.h"
#include "views/dialogsupport.h"
#include "views/dynamicform.h"
#include "views/editors/editemissionform.h"
#include "views/editors/editenvironmentform.h"
#include "views/editors/editsubstanceform.h"
#include "views/modelenvironmentform.h"
#include "views/openenvironmentform.h"
#include "views/opensubstanceform.h"
#include "views/setemissionform.h"
#include "views/settingsform.h"
#include "views/substancetypeform.h"
#include "views/uncertaintyform.h"
#include "views/worldmapform.h"

namespace velmora {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// Message and progress windows belong to whichever window is active when they
// appear: over an open dialog that is the dialog. A progress window owned by
// the main window would sit behind the dialog's modality, its Cancel out of
// reach.
std::unique_ptr<Tqtuiservice> makeui() {
    return std::make_unique<Tqtuiservice>(Tprograminfo::current(), nullptr);
}

} // namespace

TVelmoraForm::TVelmoraForm(QWidget* parent) : QMainWindow(parent) {
    FormCreate(QCoreApplication::applicationDirPath().toStdString());
}

TVelmoraForm::TVelmoraForm(const std::string& programdirectory, Tuiservice* ui, QWidget* parent)
    : QMainWindow(parent) {
    if (!ui) ownui_ = makeui();
    ws_ = std::make_unique<Tworkspace>(ui ? *ui : *ownui_, programdirectory);
    FormCreate(programdirectory);
}

TVelmoraForm::~TVelmoraForm() = default;

void TVelmoraForm::FormCreate(const std::string& programdirectory) {
    setWindowTitle(QStringLiteral("Velmora"));
    openfile = runprogram;
    resize(870, 500);
    clientarea_ = new QWidget(this);
    clientarea_->installEventFilter(this);
    setCentralWidget(clientarea_);
    createmenus();
    createstatusbar();
    formsetup(this, 0);
    if (!ws_) {
        ownui_ = makeui();
        ws_ = std::make_unique<Tworkspace>(*ownui_, programdirectory);
    }
    // A start-up that fails half-way (a workbook cell that is not a number,
    // say) still opens the window, showing what is there; the error box has
    // told the user why the rest is missing.
    reporterrors(this, [this] { initializeworkspace(); });
    reporterrors(this, [this] { FormClick(); });
}

void TVelmoraForm::initializeworkspace() {
    if (!ws_->initialize() && ws_->env.cancelled) tellcancelled();
}

void TVelmoraForm::tellcancelled() {
    ws_->ui.warn("The environment import was cancelled: there is no environment. Read one with "
                 "Environment > Open ... (File1 and File2 ticked) or File > Aggregation level ....");
}

bool TVelmoraForm::reinitialize(const Tsettings& before) {
    auto fresh = std::make_unique<Tworkspace>(ws_->ui, ws_->programdirectory);
    fresh->settings = ws_->settings;
    fresh->startsubstance = ws_->startsubstance;
    const bool read = fresh->initialize();
    const bool cancelled = fresh->env.cancelled;
    if (read || !ws_->env.present) {
        // Nothing worth keeping: the new workspace at least matches the settings.
        ws_ = std::move(fresh);
        if (!read && cancelled) tellcancelled();
        return true;
    }
    fresh.reset();
    ws_->settings = before;
    ws_->ui.warn(std::string(cancelled ? "Re-initialisation cancelled"
                                       : "The re-initialisation did not complete") +
                 ": the environment, substance, emission and results of before are kept "
                 "(aggregation level " +
                 std::to_string(before.AggregationLevel) + ").");
    return false;
}

void TVelmoraForm::createmenus() {
    auto item = [this](QMenu* menu, const QString& caption, const QKeySequence& shortcut,
                       std::function<void()> action, bool refresh = true) {
        QAction* a = menu->addAction(caption);
        if (!shortcut.isEmpty()) a->setShortcut(shortcut);
        connect(a, &QAction::triggered, this, [this, action, refresh] { run(action, refresh); });
        return a;
    };
    const QKeySequence none;

    FileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    AggregationItem = item(FileMenu, QStringLiteral("Aggregation level ..."), Qt::Key_F5,
                           [this] { AggregationItemClick(); });
    SettingsItem = item(FileMenu, QStringLiteral("&Settings ..."), Qt::Key_F7,
                        [this] { SettingsItemClick(); });
    ExitItem = item(
        FileMenu, QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_X), [this] { close(); },
        false);

    EnvironmentMenu = menuBar()->addMenu(QStringLiteral("&Environment"));
    OpenEnvironmentItem = item(EnvironmentMenu, QStringLiteral("&Open ..."), none,
                               [this] { OpenEnvironmentItemClick(); });
    EditEnvironmentItem = item(EnvironmentMenu, QStringLiteral("Edit ..."), Qt::Key_F10,
                               [this] { EditEnvironmentItemClick(); });

    SubstanceMenu = menuBar()->addMenu(QStringLiteral("&Substance"));
    NewSubstanceItem =
        item(SubstanceMenu, QStringLiteral("&New ..."), none, [this] { NewSubstanceItemClick(); });
    OpenSubstanceItem =
        item(SubstanceMenu, QStringLiteral("&Open ..."), QKeySequence(Qt::CTRL | Qt::Key_O),
             [this] { OpenSubstanceItemClick(); });
    EditSubstanceItem = item(SubstanceMenu, QStringLiteral("&Edit ..."), Qt::Key_F2,
                             [this] { EditSubstanceItemClick(); });

    EmissionMenu = menuBar()->addMenu(QStringLiteral("E&mission"));
    NewEmissionItem =
        item(EmissionMenu, QStringLiteral("&New"), none, [this] { ws_->emi.clear(); });
    SetEmissionItem = item(EmissionMenu, QStringLiteral("&Set ..."), Qt::Key_F3,
                           [this] { SetEmissionItemClick(); });
    FirstEmissionItem = item(EmissionMenu, QStringLiteral("&First"),
                             QKeySequence(Qt::CTRL | Qt::Key_1), [this] { ws_->emi.first(); });
    NextEmissionItem = item(EmissionMenu, QStringLiteral("&Next"),
                            QKeySequence(Qt::CTRL | Qt::Key_2), [this] { ws_->emi.next(); });
    NextRegionItem = item(EmissionMenu, QStringLiteral("Next region"),
                          QKeySequence(Qt::CTRL | Qt::Key_3), [this] { ws_->emi.nextregion(); });
    PreviousRegionItem =
        item(EmissionMenu, QStringLiteral("Previous region"), QKeySequence(Qt::CTRL | Qt::Key_7),
             [this] { ws_->emi.previousregion(); });
    PreviousEmissionItem =
        item(EmissionMenu, QStringLiteral("&Previous"), QKeySequence(Qt::CTRL | Qt::Key_8),
             [this] { ws_->emi.previous(); });
    LastEmissionItem = item(EmissionMenu, QStringLiteral("&Last"),
                            QKeySequence(Qt::CTRL | Qt::Key_9), [this] { ws_->emi.last(); });
    EditEmissionItem = item(EmissionMenu, QStringLiteral("&Edit ..."), none,
                            [this] { EditEmissionItemClick(); });

    ResultsMenu = menuBar()->addMenu(QStringLiteral("&Results"));
    BoxesItem = item(ResultsMenu, QStringLiteral("Boxes"), none,
                     [this] { ResultsItemClick(QStringLiteral("Environment characteristics")); });
    RCRItem = item(ResultsMenu, QStringLiteral("&RCR"), Qt::Key_F9,
                   [this] { ResultsItemClick(QStringLiteral("Effect")); });
    DynamicItem =
        item(ResultsMenu, QStringLiteral("&Dynamic ..."), none, [this] { DynamicItemClick(); });
    UncertaintyItem = item(ResultsMenu, QStringLiteral("&Uncertainty ..."), none,
                           [this] { UncertaintyItemClick(); });

    HelpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    ManualItem = item(
        HelpMenu, QStringLiteral("&Manual"), Qt::Key_F1,
        [this] { openhelpfile(QStringLiteral("The VELMORA program - A short manual.pdf"), false); },
        false);
    InformationItem = item(
        HelpMenu, QStringLiteral("&Information"), none,
        [this] { openhelpfile(QStringLiteral("readme.txt"), true); }, false);
    AboutItem = item(
        HelpMenu, QStringLiteral("&About"), none,
        [this] {
            Tprograminfo info = program();
            info.identify(buildwebpage());
            about(info, ws_->settings.Digits, this);
        },
        false);
}

void TVelmoraForm::createstatusbar() {
    const int widths[4] = {150, 200, 200, 200};
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        label->setMinimumWidth(widths[i]);
        // The first three keep their width; the last takes what is left.
        if (i < 3) label->setMaximumWidth(widths[i]);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        statusBar()->addWidget(label, i < 3 ? 0 : 1);
        panels_[static_cast<std::size_t>(i)] = label;
    }
    statusBar()->setSizeGripEnabled(true);
}

QString TVelmoraForm::paneltext(int panel) const {
    return panels_.at(static_cast<std::size_t>(panel - 1))->text();
}

void TVelmoraForm::setpanel(int panel, const QString& text) {
    QLabel* label = panels_.at(static_cast<std::size_t>(panel - 1));
    label->setText(text);
    // A long regcomp name may not fit its panel; the tip shows all of it.
    label->setToolTip(text);
}

void TVelmoraForm::run(const std::function<void()>& action, bool refresh) {
    reporterrors(this, [&] {
        action();
        if (refresh) FormClick();
    });
}

QString TVelmoraForm::regcomptext(std::uint32_t region, std::uint32_t compartment) const {
    const Tworkspace& ws = *ws_;
    if (region < 1 || region > ws.regions.count || compartment < 1 ||
        compartment > ws.compartments.count)
        return qs(ws.settings.UnknownText);
    return qs(ws.regions.name(region) + "_" + ws.compartments.name(compartment));
}

void TVelmoraForm::FormClick() {
    Tworkspace& ws = *ws_;
    const bool env = ws.env.present;
    EditEnvironmentItem->setEnabled(env);
    SubstanceMenu->menuAction()->setEnabled(env);
    EmissionMenu->menuAction()->setEnabled(env);
    EmissionMenu->menuAction()->setVisible(!ws.settings.FactorsMode);

    ws.sub.testcomplete();
    ResultsMenu->menuAction()->setEnabled(env && ws.sub.present);
    // Draws follow one emission's concentrations; Factors mode has none.
    UncertaintyItem->setEnabled(!ws.settings.FactorsMode);

    setpanel(1, QStringLiteral("Environment: ?"));
    if (env) {
        const std::uint32_t k = ws.emi.regcomp();
        FirstEmissionItem->setEnabled(k > 1);
        PreviousEmissionItem->setEnabled(k > 1);
        NextEmissionItem->setEnabled(k < ws.regcomps.n);
        LastEmissionItem->setEnabled(k < ws.regcomps.n);
        setpanel(1, QStringLiteral("Environment: OK"));
    }

    if (ws.sub.present)
        setpanel(2, QStringLiteral("Substance: ") + qs(ws.sub.name.get()));
    else
        setpanel(2, QStringLiteral("Substance: ?"));

    // In Factors mode there is no single emission: the panel keeps its last text.
    if (!ws.settings.FactorsMode) {
        if (env)
            setpanel(3, QStringLiteral("Emission: ") +
                            regcomptext(static_cast<std::uint32_t>(ws.emi.region),
                                        static_cast<std::uint32_t>(ws.emi.compartment)));
        else
            setpanel(3, QStringLiteral("Emission: ?"));
    }

    if (ws.ref.held())
        setpanel(4, QStringLiteral("Reference: ") + qs(ws.ref.substance) + QStringLiteral("; ") +
                        regcomptext(static_cast<std::uint32_t>(ws.ref.region), ws.ref.compartment));
    else
        setpanel(4, QStringLiteral("Reference: ?"));
}

void TVelmoraForm::Initialize() {
    reinitialize(ws_->settings);
    FormClick();
}

void TVelmoraForm::closeEvent(QCloseEvent* event) {
    ws_->close();
    QMainWindow::closeEvent(event);
}

bool TVelmoraForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == clientarea_) {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            run([] {});
            return true;
        }
        // The double click opens the world map; it is no second click that
        // refreshes.
        if (event->type() == QEvent::MouseButtonDblClick &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            run(
                [this] {
                    TWorldMapForm form(program(), ws_->regions, this);
                    form.exec();
                },
                false);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

Tprograminfo TVelmoraForm::program() const {
    return Tprograminfo(
        QDir(qs(ws_->programdirectory)).filePath(qs(Tprograminfo::current().name())).toStdString());
}

void TVelmoraForm::openhelpfile(const QString& name, bool text) {
    const QString path = findbesideprogram(name, program());
    if (path.isEmpty()) {
        ws_->ui.warn("The file \"" + name.toStdString() +
                     "\" is neither beside the program nor in the working directory.");
        return;
    }
    if (openfile(path)) return;
    const std::string shown = QDir::toNativeSeparators(path).toStdString();
    if (!text) {
        ws_->ui.warn("The desktop has no application to open \"" + shown +
                     "\". Open that file with a PDF reader.");
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        ws_->ui.warn("The file \"" + shown + "\" cannot be read: " +
                     file.errorString().toStdString());
        return;
    }
    TMemoForm form(program(), this);
    form.setObjectName(QStringLiteral("HelpTextForm"));
    form.setWindowTitle(qs(program().caption(name.toStdString())));
    form.Memo->setPlainText(QString::fromUtf8(file.readAll()));
    form.WrapCheckBox->click();
    form.resize(760, 640);
    form.exec();
}

void TVelmoraForm::AggregationItemClick() {
    const Tsettings before = ws_->settings;
    {
        TAggregationForm form(ws_->settings, ws_->regions, this);
        form.checkchoice = [this](std::uint8_t level, const std::string& group) {
            TExcelFile workbook(ws_->ui, ws_->settings.ParametersFile);
            // A workbook that cannot be opened is told of by the import.
            return workbook.isopen() ? aggregationproblem(workbook, level, group) : std::string();
        };
        form.exec();
    }
    // Whichever button closed the dialog, the world is read again.
    if (!reinitialize(before)) return;
    const std::uint8_t level = ws_->settings.AggregationLevel;
    // The group region is the last land region of the list just read.
    if ((level == 1 || level == 3) && ws_->regions.nland > 0) ws_->emi.set(ws_->regions.nland, air);
}

void TVelmoraForm::SettingsItemClick() {
    TSettingsForm form(*ws_, this);
    form.run();
}

void TVelmoraForm::OpenEnvironmentItemClick() {
    TOpenEnvironmentForm form(*ws_, this);
    form.run();
}

void TVelmoraForm::NewSubstanceItemClick() {
    TSubstanceTypeForm form(this);
    form.preset({-1, 0});
    if (form.exec() != QDialog::Accepted) return;
    ws_->sub.newsubstance();
    // The class list only matters to an edit of the type: a new organic
    // substance starts unclassified.
    ws_->sub.substype.value = Tsub::typetext(form.choice(), false);
}

void TVelmoraForm::OpenSubstanceItemClick() {
    TOpenSubstanceForm form(*ws_, this);
    form.RecalculateCheckBox->setChecked(true);
    form.RecalculateCheckBox->setEnabled(true);
    form.exec();
}

void TVelmoraForm::EditEnvironmentItemClick() {
    TEditEnvironmentForm form(*ws_, program(), this);
    form.exec();
}

void TVelmoraForm::EditSubstanceItemClick() {
    ws_->sub.settypedefaults();
    TEditSubstanceForm form(*ws_, program(), this);
    form.exec();
}

void TVelmoraForm::EditEmissionItemClick() {
    TEditEmissionForm form(*ws_, program(), this);
    form.exec();
}

void TVelmoraForm::SetEmissionItemClick() {
    TSetEmissionForm form(ws_->regions, ws_->compartments, this);
    form.region = ws_->emi.region;
    form.compartment = ws_->emi.compartment;
    if (form.exec() != QDialog::Accepted) return;
    ws_->emi.region = form.region;
    ws_->emi.compartment = form.compartment;
    // Any regcomp may be chosen; one that cannot receive an emission gets
    // none, which the user is told rather than left to find every
    // concentration 0.
    const auto r = static_cast<std::uint32_t>(form.region);
    const auto c = static_cast<std::uint32_t>(form.compartment);
    if (!ws_->emi.set(r, c)) {
        const std::string refusal = ws_->emi.refusal(r, c);
        if (!refusal.empty()) ws_->ui.warn(refusal);
    }
}

void TVelmoraForm::UncertaintyItemClick() {
    ws_->sub.settypedefaults();
    // Inputs of another substance (or world) would name what this one lacks.
    if (uncertaintysettingsfor_ != ws_->sub.name.value) {
        uncertaintysettings_.inputs.clear();
        uncertaintysettings_.correlations.clear();
    }
    uncertaintysettingsfor_ = ws_->sub.name.value;
    TUncertaintyForm form(*ws_, program(), uncertaintysettings_, this);
    form.exec();
}

void TVelmoraForm::ResultsItemClick(const QString& tab) {
    ws_->sub.settypedefaults();
    ws_->calculate();
    TModelEnvironmentForm form(*ws_, program(), this);
    form.setactivetab(tab);
    form.exec();
}

// The dynamic solution runs on the calculation's system matrix, so the
// window opens on fresh results, as the results window does.
void TVelmoraForm::DynamicItemClick() {
    ws_->sub.settypedefaults();
    if (!ws_->calculate()) return;
    TDynamicForm form(*ws_, program(), this);
    form.exec();
}

} // namespace velmora

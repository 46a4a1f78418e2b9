#include "views/resultsanalysistabs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/workspace.h"
#include "toolkit/controls.h"
#include "toolkit/grid.h"

namespace velmora {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

// ---- Balance ---------------------------------------------------------------

TBalanceTab::TBalanceTab(Tworkspace& ws, std::function<void()> refresh, QWidget* parent)
    : Tresultstab(QStringLiteral("Balance"), std::move(refresh), parent) {
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("&Regcomp"), this);
    BalanceComboBox = new QComboBox(this);
    BalanceComboBox->setObjectName(QStringLiteral("BalanceComboBox"));
    BalanceComboBox->setMaxVisibleItems(20);
    label->setBuddy(BalanceComboBox);
    NetFlowsCheckBox = new QCheckBox(QStringLiteral("Net flows"), this);
    NetFlowsCheckBox->setObjectName(QStringLiteral("NetFlowsCheckBox"));
    row->addWidget(label);
    row->addWidget(BalanceComboBox);
    row->addWidget(NetFlowsCheckBox);
    row->addStretch(1);
    layout->addLayout(row);
    BalanceStringGrid = new Tgrid(this);
    BalanceStringGrid->setObjectName(QStringLiteral("BalanceStringGrid"));
    layout->addWidget(BalanceStringGrid, 1);
    QStringList names;
    for (std::uint32_t k = 1; k <= ws.regcomps.n; ++k)
        names << qs(ws.regcomps.regcompname(k));
    BalanceComboBox->addItems(names);
    BalanceComboBox->setCurrentIndex(static_cast<int>(ws.emi.regcomp()) - 1);
    connect(BalanceComboBox, &QComboBox::currentIndexChanged, this, [this] { requestrefresh(); });
    connect(NetFlowsCheckBox, &QCheckBox::toggled, this, [this] { requestrefresh(); });
}

Tanalyze TBalanceTab::update(const Tresultsstate& state) {
    // "&No" leaves the balance as it was; its table comes with the balance view.
    if (state.regionalized == Tregionalized::no) return {};
    clear();
    return {};
}

void TBalanceTab::clear() {
    BalanceStringGrid->settable(Tstringtable());
}

// ---- Distribution and Dose -------------------------------------------------

TBreakdownTab::TBreakdownTab(Tworkspace& ws, bool dose, std::function<void()> refresh,
                             QWidget* parent)
    : Tresultstab(dose ? QStringLiteral("Dose") : QStringLiteral("Distribution"),
                  std::move(refresh), parent) {
    const QString prefix = dose ? QStringLiteral("Dose") : QStringLiteral("Distribution");
    auto* layout = new QVBoxLayout(this);
    ComboBox = new QComboBox(this);
    ComboBox->setObjectName(prefix + QStringLiteral("ComboBox"));
    ComboBox->setMaxVisibleItems(20);
    auto* top = new QHBoxLayout;
    top->addWidget(ComboBox);
    top->addStretch(1);
    layout->addLayout(top);
    auto* buttons = new QHBoxLayout;
    std::vector<std::string> captions;
    if (dose) {
        for (std::uint32_t j = 1; j <= nroutes; ++j)
            captions.push_back(Tregcomps::routename(j));
    } else {
        for (std::uint32_t c = 1; c <= ws.compartments.count; ++c)
            captions.push_back(ws.compartments.name(c));
    }
    for (const std::string& caption : captions) {
        auto* button = new QPushButton(qs(caption), this);
        button->setMinimumHeight(120);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        Buttons.push_back(button);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons, 1);
    auto* indicators = new QGroupBox(QStringLiteral("Indicators"), this);
    auto* ilayout = new QHBoxLayout(indicators);
    IndicatorsGroup = new QButtonGroup(this);
    int id = 0;
    for (const char* item : {"None", "Each compartment = 100%", "Region = 100%", "World = 100%"}) {
        auto* radio = new QRadioButton(QString::fromLatin1(item), indicators);
        IndicatorsGroup->addButton(radio, id++);
        ilayout->addWidget(radio);
    }
    IndicatorsGroup->button(1)->setChecked(true);
    layout->addWidget(indicators);
    multilinebuttons(this);

    // The lists start on the emission region; the Dose list holds only land
    // regions, so an emission at sea starts it on "World".
    const std::uint32_t emissionregion = static_cast<std::uint32_t>(ws.emi.region);
    QStringList names;
    if (dose) {
        for (std::uint32_t i = 1; i <= ws.regions.nland; ++i)
            names << qs(ws.regions.name(i));
        names << QStringLiteral("World");
        ComboBox->addItems(names);
        ComboBox->setCurrentIndex(ws.regions.island(emissionregion)
                                      ? static_cast<int>(emissionregion) - 1
                                      : static_cast<int>(ws.regions.nland));
    } else {
        for (std::uint32_t i = 1; i <= ws.regions.count; ++i)
            names << qs(ws.regions.name(i));
        names << QStringLiteral("World") << QStringLiteral("Countries") << QStringLiteral("Seas");
        ComboBox->addItems(names);
        ComboBox->setCurrentIndex(static_cast<int>(emissionregion) - 1);
    }
    connect(ComboBox, &QComboBox::currentIndexChanged, this, [this] { requestrefresh(); });
    connect(IndicatorsGroup, &QButtonGroup::idClicked, this, [this] { requestrefresh(); });
}

Tanalyze TBreakdownTab::update(const Tresultsstate&) {
    // The bars and explanations come with the distribution views.
    return {};
}

void TBreakdownTab::clear() {}

// ---- Check -----------------------------------------------------------------

TCheckTab::TCheckTab(Tworkspace& ws, std::function<void()> refresh, QWidget* parent)
    : Tresultstab(QStringLiteral("Check"), std::move(refresh), parent), ws_(ws) {
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    UnusedCheckBox = new QCheckBox(QStringLiteral("Unused"), this);
    UnusedCheckBox->setObjectName(QStringLiteral("UnusedCheckBox"));
    NegativeCheckBox = new QCheckBox(QStringLiteral("Negative"), this);
    NegativeCheckBox->setObjectName(QStringLiteral("NegativeCheckBox"));
    NegativeCheckBox->setChecked(true);
    row->addWidget(UnusedCheckBox);
    row->addWidget(NegativeCheckBox);
    row->addStretch(1);
    layout->addLayout(row);
    CheckMemo = new QPlainTextEdit(this);
    CheckMemo->setObjectName(QStringLiteral("CheckMemo"));
    CheckMemo->setReadOnly(true);
    CheckMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(CheckMemo, 1);
    connect(UnusedCheckBox, &QCheckBox::toggled, this, [this] { requestrefresh(); });
    connect(NegativeCheckBox, &QCheckBox::toggled, this, [this] { requestrefresh(); });
}

Tanalyze TCheckTab::update(const Tresultsstate&) {
    std::vector<std::string> lines;
    ws_.results.check(lines, UnusedCheckBox->isChecked(), NegativeCheckBox->isChecked(),
                      ws_.regcomps.MSR);
    QStringList text;
    text.reserve(static_cast<int>(lines.size()));
    for (const std::string& line : lines)
        text << qs(line);
    CheckMemo->setPlainText(text.join(QLatin1Char('\n')));
    return {};
}

void TCheckTab::clear() {
    CheckMemo->clear();
}

} // namespace velmora

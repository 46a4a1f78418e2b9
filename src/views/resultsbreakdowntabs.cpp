#include "views/resultsbreakdowntabs.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "app/workspace.h"
#include "compute/analysis.h"
#include "toolkit/smallforms.h"
#include "toolkit/errorhandler.h"

namespace velmora {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

struct Tbuttonlook {
    const char* name; // object name after "Distribution" or "Dose"
    QColor colour;    // bar colour; invalid: the style's own
};

// The Distribution buttons, in the order of distributioncompartments.
const Tbuttonlook compartmentlooks[] = {{"Air", QColor(166, 202, 240)},
                                        {"River", QColor(0, 255, 255)},
                                        {"Lake", QColor(0, 128, 128)},
                                        {"Saltlake", QColor(128, 128, 128)},
                                        {"Nat", QColor(0, 128, 0)},
                                        {"Agr", QColor(0, 255, 0)},
                                        {"Urb", QColor(128, 0, 0)},
                                        {"Lakesed", QColor(255, 255, 255)},
                                        {"Saltlakesed", QColor(255, 255, 255)},
                                        {"Groundwater", QColor(192, 192, 192)},
                                        {"Seawater", QColor(0, 0, 128)},
                                        {"Seased", QColor(255, 255, 255)}};

// The Dose buttons, in the order of doseroutes.
const char* const routelooks[] = {"Air",     "Drw",  "Leafcrops", "Rootcrops", "Freshwaterfish",
                                  "Seafish", "Meat", "Dairy"};

// A button holding its caption above a vertical bar; both let the clicks
// through to the button.
QPushButton* barbutton(QWidget* parent, const QString& objectname, QLabel*& caption,
                       QProgressBar*& bar, const QColor& colour) {
    auto* button = new QPushButton(parent);
    button->setObjectName(objectname);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto* layout = new QVBoxLayout(button);
    layout->setContentsMargins(3, 6, 3, 8);
    layout->setSpacing(6);
    caption = new QLabel(button);
    caption->setObjectName(QStringLiteral("MultilineCaption"));
    caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    caption->setWordWrap(true);
    caption->setTextFormat(Qt::PlainText);
    caption->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(caption);
    bar = new QProgressBar(button);
    bar->setOrientation(Qt::Vertical);
    bar->setRange(0, 100);
    bar->setTextVisible(false);
    bar->setFixedWidth(22);
    bar->setMinimumHeight(60);
    bar->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    bar->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette palette = bar->palette();
    // The bar lies on the button's face; white sediment bars still show
    // against it by their frame.
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    if (colour.isValid()) palette.setColor(QPalette::Highlight, colour);
    bar->setPalette(palette);
    bar->hide();
    layout->addWidget(bar, 1, Qt::AlignHCenter);
    // Without a bar the caption stays at the top.
    layout->addStretch(0);
    return button;
}

} // namespace

QString explanationnote(const Tresultsstate& state) {
    const std::string note = noconcentrations(state.ws.model);
    if (!note.empty()) return qs(note);
    if (state.stale)
        return QStringLiteral("The results do not belong to the emission and substance shown.");
    return {};
}

TBreakdownTab::TBreakdownTab(Tworkspace& ws, bool dose, std::function<void()> refresh,
                             QWidget* parent)
    : Tresultstab(dose ? QStringLiteral("Dose") : QStringLiteral("Distribution"),
                  std::move(refresh), parent),
      ws_(ws), dose_(dose), program_(Tprograminfo::current()) {
    const QString prefix = dose ? QStringLiteral("Dose") : QStringLiteral("Distribution");
    auto* layout = new QVBoxLayout(this);
    ComboBox = new QComboBox(this);
    ComboBox->setObjectName(prefix + QStringLiteral("ComboBox"));
    ComboBox->setMaxVisibleItems(20);
    ComboBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* top = new QHBoxLayout;
    top->addWidget(ComboBox);
    top->addStretch(1);
    layout->addLayout(top);
    NoteLabel = new QLabel(this);
    NoteLabel->setObjectName(prefix + QStringLiteral("NoteLabel"));
    NoteLabel->setWordWrap(true);
    NoteLabel->hide();
    layout->addWidget(NoteLabel);

    // A window too narrow for every caption scrolls the buttons sideways
    // rather than cutting the captions.
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    buttonrow_ = new QWidget(scroll);
    auto* buttons = new QHBoxLayout(buttonrow_);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(4);
    const std::size_t count = dose ? doseroutes.size() : distributioncompartments.size();
    for (std::size_t b = 0; b < count; ++b) {
        QLabel* caption = nullptr;
        QProgressBar* bar = nullptr;
        const QString name = prefix +
                             QLatin1String(dose ? routelooks[b] : compartmentlooks[b].name) +
                             QStringLiteral("Button");
        QPushButton* button =
            barbutton(buttonrow_, name, caption, bar, dose ? QColor() : compartmentlooks[b].colour);
        items_.push_back(dose ? doseroutes[b] : distributioncompartments[b]);
        caption->setText(
            qs(dose ? Tregcomps::routename(items_.back()) : ws.compartments.name(items_.back())));
        Buttons.push_back(button);
        Captions.push_back(caption);
        Bars.push_back(bar);
        // Equal stretch: equal widths wherever the captions allow.
        buttons->addWidget(button, 1);
        connect(button, &QPushButton::clicked, this,
                guarded(this, [this, b] { ButtonClick(static_cast<int>(b)); }));
    }
    scroll->setWidget(buttonrow_);
    buttonrow_->installEventFilter(this);
    layout->addWidget(scroll, 1);

    auto* indicators = new QGroupBox(QStringLiteral("Indicators"), this);
    indicators->setObjectName(prefix + QStringLiteral("RadioGroup"));
    auto* ilayout = new QHBoxLayout(indicators);
    IndicatorsGroup = new QButtonGroup(this);
    int id = 0;
    for (const char* item : {"None", "Each compartment = 100%", "Region = 100%", "World = 100%"}) {
        auto* radio = new QRadioButton(QString::fromLatin1(item), indicators);
        IndicatorsGroup->addButton(radio, id++);
        ilayout->addWidget(radio);
    }
    ilayout->addStretch(1);
    IndicatorsGroup->button(1)->setChecked(true);
    layout->addWidget(indicators);

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
    connect(ComboBox, &QComboBox::currentIndexChanged, this, guarded(this, [this] { requestrefresh(); }));
    connect(IndicatorsGroup, &QButtonGroup::idClicked, this, guarded(this, [this] { requestrefresh(); }));
}

std::uint32_t TBreakdownTab::selected() const {
    return static_cast<std::uint32_t>(ComboBox->currentIndex() + 1);
}

Tindicator TBreakdownTab::indicator() const {
    switch (IndicatorsGroup->checkedId()) {
    case 0:
        return Tindicator::none;
    case 2:
        return Tindicator::region;
    case 3:
        return Tindicator::world;
    default:
        return Tindicator::eachcompartment;
    }
}

void TBreakdownTab::shownote(const QString& note) {
    NoteLabel->setText(note);
    NoteLabel->setVisible(!note.isEmpty());
    for (QPushButton* button : Buttons)
        button->setEnabled(note.isEmpty());
}

Tanalyze TBreakdownTab::update(const Tresultsstate& state) {
    program_ = state.program;
    // "&No" leaves the tab as it was.
    if (state.regionalized == Tregionalized::no) return {};
    const QString note = explanationnote(state);
    if (!note.isEmpty()) {
        clear();
        shownote(note);
        return {};
    }
    shownote(QString());
    const std::uint32_t s = selected();
    const std::vector<Tbreakdownbutton> view =
        dose_ ? doseview(ws_.model, s, indicator()) : distributionview(ws_.model, s, indicator());
    for (std::size_t b = 0; b < view.size() && b < Buttons.size(); ++b) {
        const Tbreakdownbutton& v = view[b];
        QStringList lines;
        for (const std::string& line : v.caption)
            lines << qs(line);
        Captions[b]->setText(lines.join(QLatin1Char('\n')));
        Buttons[b]->setVisible(v.visible);
        Bars[b]->setValue(v.position);
        Bars[b]->setVisible(v.barvisible);
    }
    fitcaptions();
    return {};
}

bool TBreakdownTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buttonrow_ && event->type() == QEvent::Resize)
        reporterrors(this, [this] { fitcaptions(); });
    return Tresultstab::eventFilter(watched, event);
}

void TBreakdownTab::fitcaptions() {
    if (fitting_) return;
    fitting_ = true;
    // A name may wrap between its words; a value line stays whole.
    const int margins = 3 + 3 + 4;
    for (std::size_t b = 0; b < Captions.size(); ++b) {
        const QFontMetrics metrics = Captions[b]->fontMetrics();
        const QStringList lines = Captions[b]->text().split(QLatin1Char('\n'));
        int widest = 0;
        for (const QString& word : lines.value(0).split(QLatin1Char(' ')))
            widest = std::max(widest, metrics.horizontalAdvance(word));
        for (qsizetype k = 1; k < lines.size(); ++k)
            widest = std::max(widest, metrics.horizontalAdvance(lines[k]));
        Buttons[b]->setMinimumWidth(widest + margins);
    }
    buttonrow_->layout()->activate();
    int height = 0;
    for (std::size_t b = 0; b < Captions.size(); ++b) {
        if (Buttons[b]->isHidden()) continue;
        const int width = std::max(Buttons[b]->width(), Buttons[b]->minimumWidth()) - margins + 4;
        const QRect shape = Captions[b]->fontMetrics().boundingRect(
            QRect(0, 0, width, 10000), Qt::AlignHCenter | Qt::TextWordWrap, Captions[b]->text());
        height = std::max(height, shape.height());
    }
    for (QLabel* caption : Captions)
        caption->setFixedHeight(height);
    fitting_ = false;
}

void TBreakdownTab::clear() {
    for (std::size_t b = 0; b < Buttons.size(); ++b) {
        Captions[b]->setText(
            qs(dose_ ? Tregcomps::routename(items_[b]) : ws_.compartments.name(items_[b])));
        Bars[b]->setValue(0);
        Bars[b]->hide();
    }
    fitcaptions();
}

std::vector<std::string> TBreakdownTab::breakdown(int b) {
    if (b < 0 || static_cast<std::size_t>(b) >= items_.size()) return {};
    if (!noconcentrations(ws_.model).empty()) return {};
    const std::uint32_t k = items_[static_cast<std::size_t>(b)];
    return dose_ ? routebreakdown(ws_.model, selected(), k)
                 : compartmentbreakdown(ws_.model, selected(), k);
}

void TBreakdownTab::ButtonClick(int b) {
    const std::vector<std::string> lines = breakdown(b);
    // "World", "Countries" and "Seas" have no one box to break down.
    if (lines.empty()) return;
    TMemoForm form(program_, this);
    for (const std::string& line : lines)
        form.addline(qs(line));
    form.exec();
}

} // namespace velmora

#include "toolkit/geoform.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <array>

#include "numeric/utilities.h"
#include "toolkit/outputform.h"
#include "toolkit/plot.h"
#include "toolkit/errorhandler.h"

namespace velmora {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

const std::array<QColor, 6> linecolours = {
    QColor(),          QColor(0, 0, 0),     QColor(0, 0, 255),
    QColor(255, 0, 0), QColor(255, 255, 0), QColor(0, 128, 0)};
const std::array<QColor, 4> backgrounds = {QColor(255, 255, 255), QColor(192, 220, 192),
                                           QColor(166, 202, 240), QColor(255, 251, 240)};

struct Tregionview {
    const char* name;
    float south, north, west, east;
};
const std::array<Tregionview, 7> regionviews = {{{"World", -90, 90, -180, 200},
                                                 {"Africa", -38, 38, -17, 52},
                                                 {"Asia", -10, 82, 35, 191},
                                                 {"Australia", -48, -10, 112, 185},
                                                 {"Europe", 34, 72, -25, 45},
                                                 {"North America", 5, 82, -180, -13},
                                                 {"South America", -57, 12, -81, -35}}};

QComboBox* addlist(QWidget* parent, QGridLayout* grid, int row, const QString& label,
                   const QString& name, const QStringList& entries) {
    auto* caption = new QLabel(label, parent);
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->addItems(entries);
    caption->setBuddy(list);
    grid->addWidget(caption, row, 0);
    grid->addWidget(list, row, 1);
    return list;
}

} // namespace

std::string geodatadirectory(const Tprograminfo& program) {
    const QString beside =
        QFileInfo(qs(program.programfile())).absoluteDir().filePath(QStringLiteral("maps"));
    const QString working = QDir::current().filePath(QStringLiteral("maps"));
    for (const QString& dir : {beside, working})
        if (QFileInfo::exists(QDir(dir).filePath(QStringLiteral("africa-cil.txt"))))
            return (dir + QLatin1Char('/')).toStdString();
    return (beside + QLatin1Char('/')).toStdString();
}

int geolinecolourindex(QColor colour) {
    for (int i = 1; i < static_cast<int>(linecolours.size()); ++i)
        if (linecolours[static_cast<std::size_t>(i)] == colour) return i;
    return 0;
}

QColor geolinecolour(int index) {
    if (index < 1 || index >= static_cast<int>(linecolours.size())) return QColor();
    return linecolours[static_cast<std::size_t>(index)];
}

int geobackgroundindex(QColor colour) {
    for (int i = 0; i < static_cast<int>(backgrounds.size()); ++i)
        if (backgrounds[static_cast<std::size_t>(i)] == colour) return i;
    return -1;
}

QColor geobackground(int index) {
    if (index < 0 || index >= static_cast<int>(backgrounds.size())) return QColor();
    return backgrounds[static_cast<std::size_t>(index)];
}

// ---- the options window ---------------------------------------------------------

TGeoFormOptions::TGeoFormOptions(const Tprograminfo& program, QWidget* parent)
    : TBaseForm(program, parent) {
    setWindowTitle(qs(program_.caption("Geo - options")));
    const QStringList colours = {QStringLiteral("None"),   QStringLiteral("Black"),
                                 QStringLiteral("Blue"),   QStringLiteral("Red"),
                                 QStringLiteral("Yellow"), QStringLiteral("Green")};
    const QStringList every = {QStringLiteral("At every 15"), QStringLiteral("At every 10"),
                               QStringLiteral("At every 5"), QStringLiteral("At every 2"),
                               QStringLiteral("At every 1")};
    auto group = [this](const QString& title) {
        auto* box = new QGroupBox(title, this);
        auto* grid = new QGridLayout(box);
        contents()->addWidget(box);
        return std::pair{box, grid};
    };
    auto [appearance, a] = group(QStringLiteral("Appearance"));
    ProjectionComboBox = addlist(appearance, a, 0, QStringLiteral("Projection"),
                                 QStringLiteral("ProjectionComboBox"),
                                 {QStringLiteral("Mercator"), QStringLiteral("Robinson")});
    QualityComboBox =
        addlist(appearance, a, 1, QStringLiteral("Quality"), QStringLiteral("QualityComboBox"),
                {QStringLiteral("High quality"), QStringLiteral("Medium quality"),
                 QStringLiteral("Low quality")});
    auto [lines, l] = group(QStringLiteral("Lines"));
    ParallelsComboBox =
        addlist(lines, l, 0, QStringLiteral("Parallels"), QStringLiteral("ParallelsComboBox"),
                QStringList{QStringLiteral("None"), QStringLiteral("Equator")} + every);
    MeridiansComboBox =
        addlist(lines, l, 1, QStringLiteral("Meridians"), QStringLiteral("MeridiansComboBox"),
                QStringList{QStringLiteral("None"), QStringLiteral("Greenwich")} + every);
    auto [colour, c] = group(QStringLiteral("Color"));
    BackgroundComboBox =
        addlist(colour, c, 0, QStringLiteral("Background"), QStringLiteral("BackgroundComboBox"),
                {QStringLiteral("White"), QStringLiteral("Money green"), QStringLiteral("Sky blue"),
                 QStringLiteral("Cream")});
    ShoresComboBox =
        addlist(colour, c, 1, QStringLiteral("Shores"), QStringLiteral("ShoresComboBox"), colours);
    BordersComboBox = addlist(colour, c, 2, QStringLiteral("Borders"),
                              QStringLiteral("BordersComboBox"), colours);
    RiversComboBox =
        addlist(colour, c, 3, QStringLiteral("Rivers"), QStringLiteral("RiversComboBox"), colours);
    NavigationCheckBox = new QCheckBox(QStringLiteral("Show navigation buttons"), this);
    NavigationCheckBox->setObjectName(QStringLiteral("NavigationCheckBox"));
    contents()->addWidget(NavigationCheckBox);
    contents()->addStretch(1);
    finishlayout();
}

// ---- the map window -------------------------------------------------------------

TGeoForm::TGeoForm(const Tprograminfo& program, const std::string& directory, QWidget* parent)
    : TBaseForm(program, parent) {
    build(directory);
}

TGeoForm::TGeoForm(const Tprograminfo& program, QWidget* parent) : TBaseForm(program, parent) {
    build(geodatadirectory(program));
}

void TGeoForm::build(const std::string& directory) {
    setWindowTitle(qs(program_.caption("Geo")));
    // The data first: a file that does not read ends the creation before
    // anything is shown.
    map.loaddata(directory, 1, true, true);

    Image = new Timage(this, QSize(1200, 600));
    Image->setObjectName(QStringLiteral("Image"));
    Image->setFixedSize(1200, 600);
    Image->setpicture(QImage(1200, 600, QImage::Format_RGB32));
    Image->setCursor(Qt::CrossCursor);
    Image->setMouseTracking(true);
    Image->installEventFilter(this);
    contents()->addWidget(Image);
    map.bindimage(&Image->picture());
    map.strokes = &Image->strokes();
    initialsouth = map.south;
    initialnorth = map.north;
    initialwest = map.west;
    initialeast = map.east;

    auto* row = new QHBoxLayout;
    OptionsButton = new QPushButton(QStringLiteral("&Options ..."), this);
    OptionsButton->setObjectName(QStringLiteral("OptionsButton"));
    row->addWidget(OptionsButton, 0, Qt::AlignTop);

    ZoomGroup = new QGroupBox(QStringLiteral("Zoom"), this);
    ZoomGroup->setObjectName(QStringLiteral("ZoomGroup"));
    auto* zoom = new QVBoxLayout(ZoomGroup);
    ZoomTrackBar = new QSlider(Qt::Horizontal, ZoomGroup);
    ZoomTrackBar->setObjectName(QStringLiteral("ZoomTrackBar"));
    ZoomTrackBar->setRange(0, 10);
    ZoomTrackBar->setSingleStep(1);
    ZoomTrackBar->setPageStep(1);
    ZoomTrackBar->setTickPosition(QSlider::TicksBothSides);
    ZoomTrackBar->setValue(0);
    zoom->addWidget(ZoomTrackBar);
    ZoomComboBox = new QComboBox(ZoomGroup);
    ZoomComboBox->setObjectName(QStringLiteral("ZoomComboBox"));
    for (const auto& view : regionviews)
        ZoomComboBox->addItem(QString::fromLatin1(view.name));
    ZoomComboBox->setCurrentIndex(0);
    zoom->addWidget(ZoomComboBox);
    row->addWidget(ZoomGroup, 0, Qt::AlignTop);

    ShiftGroup = new QGroupBox(QStringLiteral("Shift map"), this);
    ShiftGroup->setObjectName(QStringLiteral("ShiftGroup"));
    auto* compass = new QGridLayout(ShiftGroup);
    compass->setSpacing(2);
    auto button = [this](const QString& text, QPushButton*& field) {
        field = new QPushButton(text, ShiftGroup);
        field->setObjectName(text + QStringLiteral("Button"));
        field->setFixedSize(17, 17);
        field->setAutoDefault(false);
        return field;
    };
    compass->addWidget(button(QStringLiteral("N"), NButton), 0, 1);
    compass->addWidget(button(QStringLiteral("W"), WButton), 1, 0);
    compass->addWidget(button(QStringLiteral("E"), EButton), 1, 2);
    compass->addWidget(button(QStringLiteral("S"), SButton), 2, 1);
    row->addWidget(ShiftGroup, 0, Qt::AlignTop);

    ScaleComboBox = new QComboBox(this);
    ScaleComboBox->setObjectName(QStringLiteral("ScaleComboBox"));
    ScaleComboBox->addItems({QStringLiteral("Linear circle sizes"),
                             QStringLiteral("Logarithmic circle sizes")});
    ScaleComboBox->setToolTip(QStringLiteral(
        "How circle sizes follow the values: in proportion, or by orders of magnitude"));
    ScaleComboBox->hide();
    row->addWidget(ScaleComboBox, 0, Qt::AlignTop);
    row->addStretch(0);
    contents()->addLayout(row);
    ZoomGroup->setVisible(shownavigation);
    ShiftGroup->setVisible(shownavigation);

    connect(OptionsButton, &QPushButton::clicked, this, guarded(this, [this] { OptionsButtonClick(); }));
    connect(ZoomTrackBar, &QSlider::valueChanged, this,
            guarded(this, [this](int position) { ZoomTrackBarChange(position); }));
    connect(ZoomComboBox, qOverload<int>(&QComboBox::activated), this,
            guarded(this, [this](int index) { ZoomComboBoxChange(index); }));
    connect(NButton, &QPushButton::clicked, this, guarded(this, [this] { shift(1, 0); }));
    connect(SButton, &QPushButton::clicked, this, guarded(this, [this] { shift(-1, 0); }));
    connect(WButton, &QPushButton::clicked, this, guarded(this, [this] { shift(0, -1); }));
    connect(EButton, &QPushButton::clicked, this, guarded(this, [this] { shift(0, 1); }));
    connect(ScaleComboBox, &QComboBox::activated, this, guarded(this, [this](int index) {
                if (!rescale_) return;
                rescale_(index == 1);
                redraw();
            }));
    finishlayout();
}

void TGeoForm::addplace(float latitude, float longitude, int size, QColor colour) {
    if (size < 1) return;
    Tgeoplace place;
    place.latitude = latitude;
    place.longitude = longitude;
    place.size = static_cast<std::uint8_t>(size & 0xff);
    place.colour = colour;
    places_.push_back(place);
}

void TGeoForm::setlegend(const QString& text, std::vector<Tlegendsample> samples, QColor colour) {
    legend_ = text;
    samples_ = std::move(samples);
    legendcolour_ = colour;
}

void TGeoForm::setrescale(std::function<void(bool)> rescale, bool logarithmic) {
    rescale_ = std::move(rescale);
    ScaleComboBox->setCurrentIndex(logarithmic ? 1 : 0);
    ScaleComboBox->setVisible(static_cast<bool>(rescale_));
}

void TGeoForm::drawlegend() {
    if (legend_.isEmpty()) return;
    const QFont font = Image->font();
    const QFontMetrics metrics(font);
    const QSize picture = Image->picture().size();
    const int margin = 6;
    const int textwidth = std::min(440, picture.width() / 2);
    const QRect text = metrics.boundingRect(QRect(0, 0, textwidth, 10 * picture.height()),
                                            Qt::TextWordWrap, legend_);
    int largest = 0, samplewidth = 0;
    for (const Tlegendsample& s : samples_) {
        largest = std::max(largest, s.size);
        samplewidth += 2 * s.size + margin + metrics.horizontalAdvance(s.label) + 2 * margin;
    }
    const int sampleheight = samples_.empty() ? 0 : std::max(2 * largest, metrics.height()) + margin;
    const int width = std::max(text.width(), samplewidth) + 2 * margin;
    const int height = text.height() + sampleheight + 2 * margin;
    const QRect box(8, picture.height() - height - 8, width, height);
    Image->paint([&](QPainter& painter) {
        painter.setPen(Qt::black);
        painter.setBrush(Qt::white);
        painter.drawRect(box);
        painter.setFont(font);
        painter.drawText(QRect(box.left() + margin, box.top() + margin, textwidth, text.height()),
                         Qt::TextWordWrap, legend_);
        int x = box.left() + margin;
        const int y = box.top() + margin + text.height() + sampleheight / 2;
        for (const Tlegendsample& s : samples_) {
            painter.setPen(legendcolour_);
            painter.setBrush(legendcolour_);
            painter.drawEllipse(QRect(x, y - s.size, 2 * s.size, 2 * s.size));
            x += 2 * s.size + margin;
            painter.setPen(Qt::black);
            painter.drawText(QPoint(x, y + metrics.ascent() / 2), s.label);
            x += metrics.horizontalAdvance(s.label) + 2 * margin;
        }
    });
}

void TGeoForm::setregion(const QString& name) {
    for (const auto& view : regionviews) {
        if (name == QString::fromLatin1(view.name)) {
            map.south = view.south;
            map.north = view.north;
            map.west = view.west;
            map.east = view.east;
            return;
        }
    }
}

void TGeoForm::redraw() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Image->clearstrokes();
    map.drawmap(showshores, showborders, showrivers);
    ZoomGroup->setVisible(shownavigation);
    ShiftGroup->setVisible(shownavigation);
    if (map.parallelschoice == 1) map.parallel(0);
    static constexpr float steps[] = {15, 10, 5, 2, 1};
    if (map.parallelschoice >= 2 && map.parallelschoice <= 6)
        map.parallels(steps[map.parallelschoice - 2]);
    if (map.meridianschoice == 1) map.meridian(0);
    if (map.meridianschoice >= 2 && map.meridianschoice <= 6)
        map.meridians(steps[map.meridianschoice - 2]);
    for (const Tgeoplace& place : places_)
        map.drawcircle({place.latitude, place.longitude}, place.size, place.colour);
    drawlegend();
    Image->update();
    QApplication::restoreOverrideCursor();
}

void TGeoForm::clearregion() {
    ZoomComboBox->setCurrentIndex(-1);
}

void TGeoForm::ZoomTrackBarChange(int position) {
    if (position > zoomposition) {
        const float height = map.north - map.south;
        const float width = map.east - map.west;
        map.south += height / 4;
        map.north -= height / 4;
        map.west += width / 4;
        map.east -= width / 4;
    } else if (position < zoomposition) {
        const float height = map.north - map.south;
        const float width = map.east - map.west;
        map.south = std::max(map.south - 2 * height, initialsouth);
        map.north = std::min(map.north + 2 * height, initialnorth);
        map.west = std::max(map.west - 2 * width, initialwest);
        map.east = std::min(map.east + 2 * width, initialeast);
    }
    zoomposition = position;
    clearregion();
    redraw();
}

void TGeoForm::ZoomComboBoxChange(int index) {
    if (index < 0) return;
    setregion(ZoomComboBox->itemText(index));
    redraw();
}

void TGeoForm::shift(int north, int east) {
    const float height = (map.north - map.south) / 2;
    const float width = (map.east - map.west) / 2;
    map.south += static_cast<float>(north) * height;
    map.north += static_cast<float>(north) * height;
    map.west += static_cast<float>(east) * width;
    map.east += static_cast<float>(east) * width;
    clearregion();
    redraw();
}

void TGeoForm::ImageEndDrag() {
    map.south -= 25;
    map.north -= 25;
    map.west += 25;
    map.east += 25;
    clearregion();
    redraw();
}

void TGeoForm::ImageMouseMove(int x, int y) {
    const Tgeopoint p = map.pointat(x, y);
    setWindowTitle(QStringLiteral("[") + qs(numtostr(p.latitude, digits)) + QStringLiteral(", ") +
                   qs(numtostr(p.longitude, digits)) + QStringLiteral("]"));
}

bool TGeoForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Image) {
        if (event->type() == QEvent::MouseMove) {
            const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint();
            reporterrors(this, [this, p] { ImageMouseMove(p.x(), p.y()); });
        } else if (event->type() == QEvent::MouseButtonRelease &&
                   static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            reporterrors(this, [this] { ImageEndDrag(); });
            return true;
        }
    }
    return TBaseForm::eventFilter(watched, event);
}

void TGeoForm::OptionsButtonClick() {
    TGeoFormOptions options(program_, this);
    options.ProjectionComboBox->setCurrentIndex(map.projection);
    options.QualityComboBox->setCurrentIndex(map.quality);
    options.BackgroundComboBox->setCurrentIndex(geobackgroundindex(map.backgroundcolor));
    options.ShoresComboBox->setCurrentIndex(showshores ? geolinecolourindex(map.shorecolor) : 0);
    options.BordersComboBox->setCurrentIndex(showborders ? geolinecolourindex(map.bordercolor) : 0);
    options.RiversComboBox->setCurrentIndex(showrivers ? geolinecolourindex(map.rivercolor) : 0);
    options.ParallelsComboBox->setCurrentIndex(map.parallelschoice);
    options.MeridiansComboBox->setCurrentIndex(map.meridianschoice);
    options.NavigationCheckBox->setChecked(shownavigation);
    if (execoptions)
        execoptions(options);
    else
        options.exec();
    // However the window was closed, what it shows is taken.
    map.projection = std::max(0, options.ProjectionComboBox->currentIndex());
    map.quality = std::max(0, options.QualityComboBox->currentIndex());
    const int background = options.BackgroundComboBox->currentIndex();
    if (background >= 0) map.backgroundcolor = geobackground(background);
    auto take = [](QComboBox* list, QColor& colour, bool& shown) {
        const int index = list->currentIndex();
        shown = index >= 1;
        if (shown) colour = geolinecolour(index);
    };
    take(options.ShoresComboBox, map.shorecolor, showshores);
    take(options.BordersComboBox, map.bordercolor, showborders);
    take(options.RiversComboBox, map.rivercolor, showrivers);
    map.parallelschoice = std::max(0, options.ParallelsComboBox->currentIndex());
    map.meridianschoice = std::max(0, options.MeridiansComboBox->currentIndex());
    shownavigation = options.NavigationCheckBox->isChecked();
    redraw();
}

void TGeoForm::PrintButtonClick() {
    TOutputForm output(program_, true, this);
    if (output.exec() != QDialog::Accepted) return;
    output.writepicture(*Image);
    output.deliverorreport();
}

void TGeoForm::showEvent(QShowEvent* event) {
    TBaseForm::showEvent(event);
    reporterrors(this, [this] { redraw(); });
}

} // namespace velmora

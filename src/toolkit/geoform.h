#pragma once
// The geographic map window: coasts and borders from the continent line
// files, zoom, shift, projection and colours, the position under the mouse
// in the caption, and places given by the caller as filled circles. Shown
// modally by whoever creates it.
#include <QColor>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/geomap.h"
#include "toolkit/smallforms.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QSlider;

namespace velmora {

class Timage;

struct Tgeoplace {
    float latitude = 0;
    float longitude = 0;
    std::uint8_t shape = 1; // 1: circle
    std::uint8_t size = 0;  // pixels
    QColor colour;
};

// The folder of the line files: "maps" beside the program when it holds
// them, else "maps" in the working directory when that does, else the one
// beside the program (whose absence the loading then names). Ends in a
// separator.
std::string geodatadirectory(const Tprograminfo& program);

// Index of colour among the "Shores", "Borders" and "Rivers" entries 1..5;
// 0 ("None") when it is none of them.
int geolinecolourindex(QColor colour);
QColor geolinecolour(int index);
// Index of colour among the "Background" entries; -1 when none matches.
int geobackgroundindex(QColor colour);
QColor geobackground(int index);

class TGeoFormOptions : public TBaseForm {
    Q_OBJECT
public:
    explicit TGeoFormOptions(const Tprograminfo& program, QWidget* parent = nullptr);

    QComboBox* ProjectionComboBox = nullptr;
    QComboBox* QualityComboBox = nullptr;
    QComboBox* ParallelsComboBox = nullptr;
    QComboBox* MeridiansComboBox = nullptr;
    QComboBox* BackgroundComboBox = nullptr;
    QComboBox* ShoresComboBox = nullptr;
    QComboBox* BordersComboBox = nullptr;
    QComboBox* RiversComboBox = nullptr;
    QCheckBox* NavigationCheckBox = nullptr;
};

class TGeoForm : public TBaseForm {
    Q_OBJECT
public:
    // Reads the line files of directory (rank 1, rivers and borders). A file
    // that cannot be read raises, and no window is made.
    TGeoForm(const Tprograminfo& program, const std::string& directory, QWidget* parent = nullptr);
    // The same from geodatadirectory(program).
    explicit TGeoForm(const Tprograminfo& program, QWidget* parent = nullptr);

    // A size below 1 is ignored; a larger one is kept as a byte.
    void addplace(float latitude, float longitude, int size, QColor colour);
    const std::vector<Tgeoplace>& places() const { return places_; }
    void clearplaces() { places_.clear(); }
    // The legend drawn in the map's lower left corner, so that it goes
    // wherever the picture goes: a text explaining the marks and sample
    // circles (size in pixels, the value they stand for) in colour. An
    // empty text draws none.
    struct Tlegendsample {
        int size = 0;
        QString label;
    };
    void setlegend(const QString& text, std::vector<Tlegendsample> samples = {},
                   QColor colour = QColor(255, 0, 0));
    const QString& legend() const { return legend_; }
    // For a map of values: rebuilds the places and the legend with linear
    // (false) or logarithmic (true) circle sizes. Setting it shows the
    // "Circle sizes" list, which calls it.
    void setrescale(std::function<void(bool logarithmic)> rescale, bool logarithmic);
    void setregion(const QString& name);
    void redraw();

    Tgeomap map;
    // Which kinds are drawn. Rivers are read but start hidden; choosing a
    // colour for them in the options shows them, "None" hides a kind.
    bool showshores = true;
    bool showborders = true;
    bool showrivers = false;
    bool shownavigation = false;
    // Significant digits of the position in the caption.
    unsigned digits = 3;
    int zoomposition = 0;
    float initialsouth = 0, initialnorth = 0, initialwest = 0, initialeast = 0;

    Timage* Image = nullptr;
    QPushButton* OptionsButton = nullptr;
    QGroupBox* ZoomGroup = nullptr;
    QSlider* ZoomTrackBar = nullptr;
    QComboBox* ZoomComboBox = nullptr;
    QGroupBox* ShiftGroup = nullptr;
    QPushButton* NButton = nullptr;
    QPushButton* SButton = nullptr;
    QPushButton* WButton = nullptr;
    QPushButton* EButton = nullptr;
    QComboBox* ScaleComboBox = nullptr;

    // The window's actions, public so that callers and tests can drive them
    // as the controls do.
    void OptionsButtonClick();
    // Runs the options window's exec through execoptions (a test replaces
    // it to answer the window).
    std::function<void(TGeoFormOptions&)> execoptions;
    void ZoomTrackBarChange(int position);
    void ZoomComboBoxChange(int index);
    void shift(int north, int east);
    void ImageEndDrag();
    void ImageMouseMove(int x, int y);

protected:
    void PrintButtonClick() override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build(const std::string& directory);
    void clearregion();
    void drawlegend();

    std::vector<Tgeoplace> places_;
    QString legend_;
    std::vector<Tlegendsample> samples_;
    QColor legendcolour_;
    std::function<void(bool)> rescale_;
};

} // namespace velmora

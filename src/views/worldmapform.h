#pragma once
// The world map window, opened by a double click on the main window: a fixed
// world picture with place marks, parallels and meridians, and the longitude
// under the mouse in the caption. Also the two ways the results window and
// the environment editor put regions on the geographic map (geoform.h).
#include <QColor>
#include <QDialog>
#include <QPoint>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/geoform.h"
#include "toolkit/programinfo.h"

class QCheckBox;
class QPushButton;

namespace velmora {

class Tregions;
class Timage;

// The picture's geometry: longitudes -172..176 on the equator, scaled by
// Robinson's parallel length, and latitudes 80..-80, linear.
struct Tworldmapgeometry {
    int west = -172;
    int east = 176;
    int north = 80;
    int south = -80;
    int width = 1084;
    int height = 558;

    QPoint pixel(float latitude, float longitude) const;
    // The longitude of pixel column x as on the equator.
    float longitudeat(int x) const;
};

class TWorldMapForm : public QDialog {
    Q_OBJECT
public:
    // The picture "worldmap.png" is read from the map folder beside the
    // program (geodatadirectory); a missing picture raises and no window is
    // made. regions must outlive the window.
    TWorldMapForm(const Tprograminfo& program, const Tregions& regions, QWidget* parent = nullptr);

    Tworldmapgeometry geometry;
    Timage* Image1 = nullptr;
    QCheckBox* EquatorCheckBox = nullptr;
    QCheckBox* TropicsCheckBox = nullptr;
    QCheckBox* PolarCirclesCheckBox = nullptr;
    QCheckBox* TenDegreesCheckBox = nullptr;
    QCheckBox* GreenwichCheckBox = nullptr;
    QCheckBox* FifteenDegreesCheckBox = nullptr;
    QCheckBox* WithNamesCheckBox = nullptr;
    QPushButton* CloseButton = nullptr;

    // Draws the marks and every checked line over the picture as it is.
    void FormShow();
    void Image1MouseMove(int x);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void mark(float latitude, float longitude, QColor colour, const QString& name);
    void line(float lat1, float lon1, float lat2, float lon2, QColor colour);

    const Tregions& regions_;
};

// What a column of per-region values puts on the geographic map.
struct Tmapcolumn {
    std::vector<Tgeoplace> places; // sizes 1..10 (0-sized ones are left out)
    QString legend;
    // Circles of the legend: their size and the value they stand for.
    std::vector<TGeoForm::Tlegendsample> samples;
    bool logarithmic = false;
    int values = 0;  // cells that held a finite number on a known region
    int skipped = 0; // cells that did not (text, hidden, unknown, infinite)
};

// How circle sizes follow the values.
enum class Tmapscale {
    automatic,   // logarithmic when the positive values span more than three orders of magnitude
    linear,      // size round(10 (x - smallest) / (largest - smallest)): the smallest get none
    logarithmic, // size 1 + round(9 log(x / smallest) / log(largest / smallest)) for
                 // x > 0, smallest the smallest positive value; 0 and below get none
};

// The marks of a grid column: rownames are the texts of column 0, cells the
// texts of the column, row by row. A cell is marked at every region of that
// name with a red circle sized by the scale. A column with one value
// throughout marks every such region alike (size 5); one without any finite
// number marks nothing. The legend says which case and which scale it is.
Tmapcolumn columnplaces(const Tregions& regions, const std::vector<std::string>& rownames,
                        const std::vector<std::string>& cells, unsigned digits = 3,
                        Tmapscale scale = Tmapscale::automatic);

// The geographic map with the column's marks and legend, ready to show.
std::unique_ptr<TGeoForm> columnmap(const Tprograminfo& program, const Tregions& regions,
                                    const std::vector<std::string>& rownames,
                                    const std::vector<std::string>& cells,
                                    QWidget* parent = nullptr);
// The geographic map with one red mark of size 8 at the named region, none
// when the name is not a region's; ready to show.
std::unique_ptr<TGeoForm> regionmap(const Tprograminfo& program, const Tregions& regions,
                                    const std::string& name, QWidget* parent = nullptr);

// The results window's "&World map": columnmap, shown modally.
void ShowColumnOnMap(const Tprograminfo& program, const Tregions& regions,
                     const std::vector<std::string>& rownames,
                     const std::vector<std::string>& cells, QWidget* parent = nullptr);

// The environment editor's "World map": regionmap, shown modally.
void ShowRegionOnMap(const Tprograminfo& program, const Tregions& regions, const std::string& name,
                     QWidget* parent = nullptr);

} // namespace velmora

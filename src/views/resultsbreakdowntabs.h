#pragma once
// "Distribution" (twelve compartment buttons) and "Dose" (eight route
// buttons): a list of regions, one button per compartment or route with a
// vertical bar for its share of the chosen whole, and "Indicators". A
// button press opens the breakdown of its value in a text window.
#include <cstdint>
#include <vector>

#include "views/resultstab.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace velmora {

enum class Tindicator;

// Why the Balance, Distribution and Dose tabs show nothing: no
// concentrations to explain (reading such results would warn once per
// value), or results that belong to another emission or substance than
// the labels; empty when they can show the results.
QString explanationnote(const Tresultsstate& state);

class TBreakdownTab : public Tresultstab {
public:
    // dose: the Dose tab, else the Distribution tab.
    TBreakdownTab(Tworkspace& ws, bool dose, std::function<void()> refresh,
                  QWidget* parent = nullptr);
    Tanalyze update(const Tresultsstate& state) override;
    void clear() override;

    // The selected item s: list position + 1.
    std::uint32_t selected() const;
    Tindicator indicator() const;
    // The texts of the window button b would open; empty when it opens none.
    std::vector<std::string> breakdown(int b);

    QComboBox* ComboBox = nullptr;
    // In processing order (compartments or routes of items()).
    std::vector<QPushButton*> Buttons;
    std::vector<QLabel*> Captions;
    std::vector<QProgressBar*> Bars;
    QButtonGroup* IndicatorsGroup = nullptr;
    // Why nothing is shown (no concentrations to explain); hidden otherwise.
    QLabel* NoteLabel = nullptr;
    const std::vector<std::uint32_t>& items() const { return items_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ButtonClick(int b);
    void shownote(const QString& note);
    // Every caption keeps its longest word whole and all are as high as the
    // highest, so the bars below them start level.
    void fitcaptions();

    Tworkspace& ws_;
    bool dose_;
    std::vector<std::uint32_t> items_;
    Tprograminfo program_;
    QWidget* buttonrow_ = nullptr;
    bool fitting_ = false;
};

} // namespace velmora

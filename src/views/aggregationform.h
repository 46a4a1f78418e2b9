#pragma once
// The dialog that chooses how the region list is aggregated: a level (which
// grouping) and the group whose members become one emission region. It only
// stores the choice; the opener re-initialises the workspace afterwards.
#include <QDialog>
#include <array>
#include <functional>
#include <string>

#include "model/regions.h"
#include "model/settings.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace velmora {

class TAggregationForm : public QDialog {
    Q_OBJECT
public:
    // The group lists come from regions as they were read last.
    TAggregationForm(Tsettings& settings, const Tregions& regions, QWidget* parent = nullptr);

    // Stores the level and the group into the settings, then closes with OK;
    // a choice that checkchoice finds a problem with is refused in the error
    // box, and the dialog stays open with the settings unchanged.
    void accept() override;

    // Why the workbook cannot build an aggregation (level, group); an empty
    // text when it can. Without it every choice is taken.
    std::function<std::string(std::uint8_t, const std::string&)> checkchoice;

    QGroupBox* GroupBox = nullptr;
    QGroupBox* LevelRadioGroup = nullptr;
    QButtonGroup* LevelButtons = nullptr;
    std::array<QRadioButton*, 16> LevelRadioButtons{};
    QLabel* RegionLabel = nullptr;
    QComboBox* RegionComboBox = nullptr;
    QPushButton* CancelButton = nullptr;
    QPushButton* OKButton = nullptr;

    // The level whose radio item is selected, -1 when none is.
    int level() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void LevelRadioGroupClick();

    Tsettings& settings_;
    const Tregions& regions_;
};

} // namespace velmora

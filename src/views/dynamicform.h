#pragma once
// The "Dynamic" window: an emission scenario in time, its run from an empty
// world or the steady state of the present emission, and what came of it:
// plots of the world, compartments, regions or boxes in time, the mass
// balance at each output time, the times to approach the steady state and
// to decline after the emission stops, and any region result at any output
// time on the world map. Everything it shows goes to the output system.
#include <memory>
#include <vector>

#include "dynamic/dynamic.h"
#include "toolkit/smallforms.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;
class QTabWidget;

namespace velmora {

class TGeoForm;
class Tchartview;
class Tgrid;
class Tworkspace;

class TDynamicForm : public TBaseForm {
    Q_OBJECT
public:
    // The workspace must be calculated (the menu does that first).
    TDynamicForm(Tworkspace& ws, const Tprograminfo& program, QWidget* parent = nullptr);
    ~TDynamicForm() override;

    QGroupBox* EmissionsGroupBox = nullptr;
    QTableWidget* EmissionsTable = nullptr;
    QPushButton* AddButton = nullptr;
    QPushButton* RemoveButton = nullptr;
    QPushButton* LoadButton = nullptr;
    QComboBox* StartComboBox = nullptr;
    QLineEdit* UntilEdit = nullptr;
    QLineEdit* TimesEdit = nullptr;
    QLineEdit* ToleranceEdit = nullptr;
    QPushButton* StartButton = nullptr;
    QLabel* StatusLabel = nullptr;
    QTabWidget* PageControl = nullptr;
    QComboBox* ShowComboBox = nullptr;
    QListWidget* SeriesListBox = nullptr;
    QComboBox* QuantityComboBox = nullptr;
    QCheckBox* LogTimeCheckBox = nullptr;
    QCheckBox* LogValueCheckBox = nullptr;
    Tchartview* Chart = nullptr;
    Tgrid* BalanceGrid = nullptr;
    Tgrid* TimesGrid = nullptr;
    QComboBox* MapResultComboBox = nullptr;
    QComboBox* MapTimeComboBox = nullptr;
    QPushButton* WorldMapButton = nullptr;

    // The window's actions, public so tests can drive them as the controls do.
    void AddButtonClick();
    void RemoveButtonClick();
    // Fills the table from a scenario file; false (after the error box) when
    // it cannot be read.
    bool loadscenario(const QString& path);
    // Runs the scenario under a progress window with Cancel; false (after
    // the error box naming the row or time) when it could not run. A
    // cancelled run keeps the output times it completed.
    bool StartButtonClick();
    void ShowComboBoxChange();
    void refreshchart();
    // The map of the chosen result at the chosen time, ready to show.
    std::unique_ptr<TGeoForm> worldmap();
    // The plot as a picture, or the active table, to the output system.
    void PrintButtonClick() override;

    // The settings the controls give; raises Eerror naming the row, column
    // or field that is wrong.
    Tdynamicsettings settings() const;
    const Tdynamicresult& result() const { return result_; }

private:
    void FormCreate();
    void print();
    QWidget* createsetup();
    QWidget* createresults();
    void addrow(const QString& region, const QString& compartment, const QString& from,
                const QString& to, const QString& rate, const QString& rateend);
    void showresults();
    void fillbalance();
    void filltimes();
    std::vector<double> seriesvalues(int item) const;
    QString seriesname(int item) const;

    Tworkspace& ws_;
    Tdynamicresult result_;
    bool hasresult_ = false;
    // Totals per output time, made once per run.
    std::vector<std::vector<double>> compartmenttotals_, regiontotals_;
    std::vector<std::uint32_t> boxes_; // the boxes the list offers, in list order
};

} // namespace velmora

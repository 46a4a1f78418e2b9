#pragma once
// The results window: fifteen tabs over one calculation, with the emission,
// substance and reference at hand on the right. Every tab reads the
// workspace when it is refreshed; the window keeps no results of its own.
#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/programinfo.h"
#include "views/resultstab.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace velmora {

class TBalanceTab;
class TBordersTab;
class TBreakdownTab;
class TCheckTab;
class TEquationsTab;
class TFactorsTab;
class TAllFactorsTab;
class Tregionaltab;

// The header lines Print writes before the active tab's grid.
std::vector<std::string> printheader(const Tworkspace& ws, bool allfactorsactive);

class TModelEnvironmentForm : public QDialog {
    Q_OBJECT
public:
    TModelEnvironmentForm(Tworkspace& ws, const Tprograminfo& program, QWidget* parent = nullptr);
    ~TModelEnvironmentForm() override;

    // The refresh: labels, then the active tab rebuilt.
    void FormClick();
    // Shows the tab with this caption (and refreshes through the tab change).
    void setactivetab(const QString& caption);
    Tresultstab* activetab() const;
    Tresultstab* tab(const QString& caption) const;
    int tabcount() const;

    // The buttons' handlers, for the window's tests as much as its buttons.
    void SetEmissionButtonClick();
    void NextEmissionButtonClick();
    void PreviousEmissionButtonClick();
    void OpenSubstanceButtonClick();
    void TakePresentButtonClick();
    void AnalyzeValuesButtonClick();
    void WorldMapButtonClick();
    void PrintButtonClick();
    // A double click on cell (c, r) of the active tab's grid.
    void StringGridDblClick(int c, int r);
    // The column statistics lines of the active grid's current column.
    std::vector<std::string> currentcolumnstatistics() const;

    // Why the values shown are not those of the labels; empty when they are.
    QString stalereason() const { return stalereason_; }

    QTabWidget* PageControl = nullptr;
    QPushButton* AnalyzeValuesButton = nullptr;
    QPushButton* WorldMapButton = nullptr;
    QGroupBox* EmissionGroupBox = nullptr;
    QLabel* EmissionRegionLabel = nullptr;
    QLabel* EmissionCompartmentLabel = nullptr;
    QPushButton* SetEmissionButton = nullptr;
    QPushButton* NextEmissionButton = nullptr;
    QPushButton* PreviousEmissionButton = nullptr;
    QLabel* SubstanceLabel = nullptr;
    QPushButton* OpenSubstanceButton = nullptr;
    QLabel* ReferenceSubstanceLabel = nullptr;
    QLabel* ReferenceRegionLabel = nullptr;
    QLabel* ReferenceCompartmentLabel = nullptr;
    QPushButton* TakePresentButton = nullptr;
    QButtonGroup* RegionalizedGroup = nullptr;
    QRadioButton* FullRadioButton = nullptr;
    QRadioButton* OECDRadioButton = nullptr;
    QRadioButton* NoRadioButton = nullptr;
    QLabel* StaleLabel = nullptr;
    QPushButton* PrintButton = nullptr;
    QPushButton* CloseButton = nullptr;

    TBordersTab* BordersTab = nullptr;
    TEquationsTab* EquationsTab = nullptr;
    TBalanceTab* BalanceTab = nullptr;
    TBreakdownTab* DistributionTab = nullptr;
    TBreakdownTab* DoseTab = nullptr;
    TFactorsTab* FactorsTab = nullptr;
    TAllFactorsTab* AllFactorsTab = nullptr;
    TCheckTab* CheckTab = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    QWidget* createpanel();
    void addtab(Tresultstab* tab);
    Tresultsstate state() const;
    Tregionalized regionalized() const;
    // Recalculates for the emission and substance now set and refreshes;
    // a calculation that fails or throws leaves the dependent values marked.
    void recalculate();
    // True when the last solve gave concentrations for this emission.
    bool solved() const;

    Tworkspace& ws_;
    Tprograminfo program_;
    std::vector<Tresultstab*> tabs_;
    QString stalereason_;
    bool stale_ = false;
    bool staleall_ = false;
    bool refreshing_ = false;
};

} // namespace velmora

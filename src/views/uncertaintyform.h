#pragma once
// The "Uncertainty" window (Results > Uncertainty ...): the uncertain inputs
// and their rank correlations as grids with Add, Edit, Remove, Defaults,
// Load and Save, the number of draws, the seed and the results to follow;
// Start runs the draws under a progress window with Cancel, then the
// percentiles and the contributions to variance show in grids and one
// result's draws as a histogram or cumulative curve, or its contributions as
// bars. Print sends the tab shown through the output window.
#include <QDialog>
#include <memory>

#include "toolkit/programinfo.h"
#include "uncertainty/uncertainty.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace velmora {

class Tgrid;
class Timage;
class Tworkspace;

class TUncertaintyForm : public QDialog {
    Q_OBJECT
public:
    // settings: the inputs the window starts with and keeps its changes in
    // (the main window holds them between openings); empty inputs start
    // from the substance's defaults.
    TUncertaintyForm(Tworkspace& ws, const Tprograminfo& program, Tuncertaintysettings& settings,
                     QWidget* parent = nullptr);
    ~TUncertaintyForm() override;

    // What the last Start gave; null before, and after a cancelled run.
    const Tuncertaintyrun* lastrun() const { return run_.get(); }

    Tgrid* InputsGrid = nullptr;
    QPushButton* AddButton = nullptr;
    QPushButton* EditButton = nullptr;
    QPushButton* RemoveButton = nullptr;
    QPushButton* DefaultsButton = nullptr;
    QPushButton* LoadButton = nullptr;
    QPushButton* SaveButton = nullptr;
    Tgrid* CorrelationsGrid = nullptr;
    QPushButton* AddCorrelationButton = nullptr;
    QPushButton* RemoveCorrelationButton = nullptr;
    QSpinBox* DrawsSpinBox = nullptr;
    QLineEdit* SeedEdit = nullptr;
    QLineEdit* ResultsEdit = nullptr;
    QPushButton* StartButton = nullptr;
    QLabel* StatusLabel = nullptr;
    QTabWidget* PageControl = nullptr;
    Tgrid* PercentilesGrid = nullptr;
    Tgrid* ContributionsGrid = nullptr;
    QComboBox* ResultComboBox = nullptr;
    QRadioButton* HistogramButton = nullptr;
    QRadioButton* CumulativeButton = nullptr;
    QRadioButton* ContributionButton = nullptr;
    Timage* ChartImage = nullptr;
    QPushButton* PrintButton = nullptr;
    QPushButton* CloseButton = nullptr;

    // The file dialogs of Load and Save; tests answer them.
    std::function<QString()> loadfilename;
    std::function<QString()> savefilename;

    void AddButtonClick();
    void EditButtonClick();
    void RemoveButtonClick();
    void DefaultsButtonClick();
    void LoadButtonClick();
    void SaveButtonClick();
    void AddCorrelationButtonClick();
    void RemoveCorrelationButtonClick();
    void StartButtonClick();
    void PrintButtonClick();
    // Draws the chart of the result chosen, as the radio buttons say.
    void ChartChange();

protected:
    // The chart is drawn at the size it is shown at.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    // The grids of the inputs and correlations from settings_.
    void ShowInputs();
    void ShowResults();
    // Takes draws, seed and results from the fields; false (after a
    // warning) when the seed is not a number.
    bool TakeRunFields();
    void ShowRunFields();
    std::string format(double x) const;

    Tworkspace& ws_;
    Tprograminfo program_;
    Tuncertaintysettings& settings_;
    std::unique_ptr<Tuncertaintyrun> run_;
};

} // namespace velmora

#pragma once
// The "All factors" dialog: which emission regions and compartments an
// all-factors run computes, and whether it reuses one inverted system
// matrix. It only chooses; the results window runs the calculation.
#include <QDialog>

#include "compute/allfactors.h"

class QCheckBox;
class QGroupBox;
class QListWidget;
class QPushButton;

namespace velmora {

class Tworkspace;

class TAllFactorsForm : public QDialog {
    Q_OBJECT
public:
    // selectionfile: the regions file "Select from file" reads, looked for
    // when the dialog is created.
    TAllFactorsForm(Tworkspace& ws, QWidget* parent = nullptr,
                    const QString& selectionfile = QStringLiteral("selection_of_countries.txt"));

    // Set by the opener before the dialog is shown: "Regionalized" is "&OECD".
    bool OECDOnly = false;
    // What is checked now, with the inversion switch and OECDOnly.
    Tallfactorsselection selection() const;

    QGroupBox* RegionsGroupBox = nullptr;
    QListWidget* RegionsCheckListBox = nullptr;
    QPushButton* SelectAllRegionsButton = nullptr;
    QPushButton* UnselectAllRegionsButton = nullptr;
    QPushButton* SelectRegionsFromFileButton = nullptr;
    QGroupBox* CompartmentsGroupBox = nullptr;
    QListWidget* CompartmentsCheckListBox = nullptr;
    QPushButton* SelectAllCompartmentsButton = nullptr;
    QPushButton* UnselectAllCompartmentsButton = nullptr;
    QCheckBox* InversionCheckBox = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

    void SelectAllRegionsButtonClick();
    void UnselectAllRegionsButtonClick();
    void SelectAllCompartmentsButtonClick();
    void UnselectAllCompartmentsButtonClick();
    void SelectRegionsFromFileButtonClick();
    // Updates both group captions with the checked and total counts.
    void CheckListBoxClickCheck();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();

    Tworkspace& ws_;
    QString selectionfile_;
};

} // namespace velmora

#pragma once
// The dialog that picks the emitting region and compartment. Any pair can be
// chosen, sediments included: the opener decides what an emission there means.
#include <QDialog>

#include "model/regions.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace velmora {

class TSetEmissionForm : public QDialog {
    Q_OBJECT
public:
    TSetEmissionForm(const Tregions& regions, const Tcompartments& compartments,
                     QWidget* parent = nullptr);

    // Preset by the opener before showing; the choice after OK. Numbers
    // count from 1.
    int region = 1;
    int compartment = 1;

    // Stores the chosen positions, then closes with OK.
    void accept() override;

    QLabel* RegionLabel = nullptr;
    QComboBox* RegionComboBox = nullptr;
    QLabel* CompartmentLabel = nullptr;
    QComboBox* CompartmentComboBox = nullptr;
    QPushButton* CancelButton = nullptr;
    QPushButton* OKButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
};

} // namespace velmora

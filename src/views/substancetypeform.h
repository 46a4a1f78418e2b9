#pragma once
// The dialog that asks for a substance type: metal, organic (with its class,
// which changes the Koc estimate) or gas.
#include <QDialog>
#include <array>

#include "model/substance.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace velmora {

class TSubstanceTypeForm : public QDialog {
    Q_OBJECT
public:
    explicit TSubstanceTypeForm(QWidget* parent = nullptr);

    // Selects the type (none for -1) and the class entry (none for -1).
    void preset(const Tsubstancetypechoice& choice);
    // What is selected now.
    Tsubstancetypechoice choice() const;

    QGroupBox* TypeRadioGroup = nullptr;
    QButtonGroup* TypeButtons = nullptr;
    QRadioButton* MetalRadioButton = nullptr;
    QRadioButton* OrganicRadioButton = nullptr;
    QRadioButton* GasRadioButton = nullptr;
    QComboBox* ClassComboBox = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // OK needs a type; a class only means something for an organic substance.
    void TypeRadioGroupClick();
};

// The dialog as the substance's edit asks for it.
class Tqtsubstancetypedialog : public Tsubstancetypedialog {
public:
    explicit Tqtsubstancetypedialog(QWidget* parent = nullptr) : parent_(parent) {}
    bool run(Tsubstancetypechoice& choice) override;

private:
    QWidget* parent_;
};

} // namespace velmora

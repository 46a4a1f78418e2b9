#pragma once
// The dialog that shows and edits the workspace's settings and its reference.
// Its one button closes it and takes the edits over; nothing is recalculated.
#include <QString>

#include "views/dialogsupport.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace velmora {

class Tworkspace;

class TSettingsForm : public TGuardedDialog {
    Q_OBJECT
public:
    explicit TSettingsForm(Tworkspace& ws, QWidget* parent = nullptr);

    // Closing, by the button, Escape or the window frame, takes the edits
    // over. An entry that is not a number stops the taking-over there; the
    // dialog still closes and run() raises the conversion error.
    void reject() override;

    // The date shown beside a workbook's path: its last modification, or
    // "-" for a file that is not there.
    static QString filedate(const QString& path);

    QSpinBox* DigitsSpinEdit = nullptr;
    QLineEdit* EmissionEdit = nullptr;
    QLabel* EmissionUnitLabel = nullptr;
    QLineEdit* InfValueEdit = nullptr;
    QLineEdit* InfTextEdit = nullptr;
    QLineEdit* UnknownTextEdit = nullptr;
    QLineEdit* HiddenTextEdit = nullptr;
    QLineEdit* ParametersFileEdit = nullptr;
    QLabel* ParametersDateLabel = nullptr;
    QLineEdit* BordersFileEdit = nullptr;
    QLabel* BordersDateLabel = nullptr;
    QLineEdit* SubstancesFileEdit = nullptr;
    QLabel* SubstancesDateLabel = nullptr;
    QGroupBox* CalculationsRadioGroup = nullptr;
    QButtonGroup* CalculationsButtons = nullptr;
    QCheckBox* WithRestimeCheckBox = nullptr;
    QGroupBox* NBordersRadioGroup = nullptr;
    QButtonGroup* NBordersButtons = nullptr;
    QGroupBox* DistancesRadioGroup = nullptr;
    QButtonGroup* DistancesButtons = nullptr;
    QLabel* ReferenceSubstanceLabel = nullptr;
    QLabel* ReferenceRegionLabel = nullptr;
    QLabel* ReferenceCompartmentLabel = nullptr;
    QPushButton* ClearButton = nullptr;
    QPushButton* TakePresentButton = nullptr;
    QPushButton* CloseButton = nullptr;

private:
    // Shows the workspace: settings, file dates, reference.
    void showworkspace();
    // The reference group alone: Clear and Take present change nothing else,
    // and the user's pending edits stay in the other fields.
    void showreference();
    void takeover();
    void ClearButtonClick();
    void TakePresentButtonClick();

    Tworkspace& ws_;
    // The number texts as shown, so that an untouched entry keeps the exact
    // value rather than its rounded display.
    QString shownemission_;
    QString showninfvalue_;
    bool closing_ = false;
};

} // namespace velmora

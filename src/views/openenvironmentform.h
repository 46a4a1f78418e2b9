#pragma once
// The dialog that re-imports the environment from one or both workbooks. The
// region list stays that of the last initialisation; only parameter values
// are read again.
#include <array>

#include "views/dialogsupport.h"

class QCheckBox;
class QFileDialog;
class QLineEdit;
class QPushButton;

namespace velmora {

class Tworkspace;

class TOpenEnvironmentForm : public TGuardedDialog {
    Q_OBJECT
public:
    explicit TOpenEnvironmentForm(Tworkspace& ws, QWidget* parent = nullptr);

    // Takes the chosen files over and imports; the dialog then closes with
    // OK. An import error closes it too and is raised again by run().
    void accept() override;

    QCheckBox* File1CheckBox = nullptr;
    QLineEdit* File1Edit = nullptr;
    QPushButton* Browse1Button = nullptr;
    QCheckBox* File2CheckBox = nullptr;
    QLineEdit* File2Edit = nullptr;
    QPushButton* Browse2Button = nullptr;
    QPushButton* CancelButton = nullptr;
    QPushButton* OKButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void CheckBoxClick();
    void BrowseButtonClick(QLineEdit* field);
    void import();

    Tworkspace& ws_;
};

} // namespace velmora

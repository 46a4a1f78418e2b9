#pragma once
// The dialog that edits one value of a parameter: it shows what the value is
// and where it came from, and asks for a new value or for "unknown". It reads
// the request and writes only the answer fields, and only on OK; turning the
// answer into a value is the parameter's business.
#include <QDialog>

#include "numeric/uiservice.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velmora {

class TEditParameterForm : public QDialog {
    Q_OBJECT
public:
    TEditParameterForm(Teditrequest& request, QWidget* parent = nullptr);

    // Fills the answer fields of the request, then closes with OK.
    void accept() override;

    QLabel* ParameterLabel = nullptr;
    QLabel* RegionLabel = nullptr;
    QLabel* UnitLabel = nullptr;
    QLabel* StatusLabel = nullptr;
    QGroupBox* ValueRadioGroup = nullptr;
    QRadioButton* KnownRadioButton = nullptr;
    QRadioButton* UnknownRadioButton = nullptr;
    QLineEdit* ValueEdit = nullptr;
    QComboBox* ValueComboBox = nullptr;
    QPushButton* CancelButton = nullptr;
    QPushButton* OKButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void ValueRadioGroupClick();
    // The entry that is in use: the list for booleans, the line otherwise.
    QWidget* valueentry() const;

    Teditrequest& request_;
};

} // namespace velmora

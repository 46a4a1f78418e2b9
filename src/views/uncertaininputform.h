#pragma once
// The dialogs of the Uncertainty window that make one row of its tables: an
// uncertain input (parameter, region, distribution, scale, values, bounds)
// and a rank correlation between two inputs. OK checks the row against the
// model and keeps the dialog open, telling what is wrong, until it passes.
#include <QDialog>

#include "compute/model.h"
#include "uncertainty/uncertaininputs.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora {

class TUncertainInputForm : public QDialog {
    Q_OBJECT
public:
    TUncertainInputForm(Tmodel& model, const Tuncertaininput& start, QWidget* parent = nullptr);

    // The input as the fields give it; raises Euncertaintysetting (row 1)
    // naming the field of a number that is not one.
    Tuncertaininput input() const;

    QComboBox* ParameterComboBox = nullptr;
    QComboBox* RegionComboBox = nullptr;
    QComboBox* DistributionComboBox = nullptr;
    QComboBox* ScaleComboBox = nullptr;
    QLabel* ValueLabels[5] = {};
    QLineEdit* ValueEdits[5] = {}; // value 1..3, lower and upper bound
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

    // Checks the input; on a problem warns through the model's interface
    // and stays open.
    void OKButtonClick();

private:
    void DistributionChange();
    Tmodel& model_;
};

class TRankCorrelationForm : public QDialog {
    Q_OBJECT
public:
    TRankCorrelationForm(const std::vector<std::string>& inputs, QWidget* parent = nullptr);

    Tinputcorrelation correlation() const;

    QComboBox* FirstComboBox = nullptr;
    QComboBox* SecondComboBox = nullptr;
    QLineEdit* CorrelationEdit = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
};

} // namespace velmora

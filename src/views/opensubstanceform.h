#pragma once
// The dialog that lists the substances of the substances workbook, finds them
// by the beginning of their name and imports the chosen one, optionally
// recalculating the results.
#include <QDialog>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace velmora {

class Tworkspace;

class TOpenSubstanceForm : public QDialog {
    Q_OBJECT
public:
    explicit TOpenSubstanceForm(Tworkspace& ws, QWidget* parent = nullptr);

    // Imports the selected substance (and recalculates when asked), then
    // closes with OK. When that fails the error box tells why and the dialog
    // stays open for another choice.
    void accept() override;

    QLabel* FileLabel = nullptr;
    QLineEdit* FileEdit = nullptr;
    QLabel* TypeLabel = nullptr;
    QComboBox* TypeComboBox = nullptr;
    QLabel* SubstanceLabel = nullptr;
    QListWidget* SubstanceListBox = nullptr;
    QLabel* SearchLabel = nullptr;
    QLineEdit* SearchEdit = nullptr;
    QCheckBox* RecalculateCheckBox = nullptr;
    QPushButton* CancelButton = nullptr;
    QPushButton* OKButton = nullptr;

private:
    void FileEditChange();
    void TypeComboBoxChange();
    void SearchEditChange();
    void SubstanceListBoxSelect();
    // Shows names in the list with the counts in the caption, first selected.
    void list(const std::vector<std::string>& names);

    Tworkspace& ws_;
    // Every name of the current sheet, rows 4 to the last, in sheet order.
    std::vector<std::string> names_;
};

} // namespace velmora

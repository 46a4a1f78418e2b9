#pragma once
// What the three data editors share: a page control of grids on the left
// and, on the right, "Edit" with "Cell ..." and "Column ...", the six
// "View" boxes, "Regionalized", room for an editor's own group, "Print"
// and "Close". Edits go through the model object's edit by name, which
// asks the user through the edit-parameter dialog; the editor only finds
// the name and the region of the cell and shows the result.
#include <QDialog>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/programinfo.h"
#include "views/editors/editorgrids.h"

class QCheckBox;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QVBoxLayout;

namespace velmora {

class Tgrid;
class Tworkspace;

// How an editor opens.
struct Teditorstart {
    Tviewfilter view;
    bool regionalized = true;
};

class TEditorForm : public QDialog {
    Q_OBJECT
public:
    TEditorForm(Tworkspace& ws, const Tprograminfo& program, QWidget* parent = nullptr);

    // The refresh: the active tab rebuilt from the model, then the buttons.
    virtual void FormShow() = 0;
    // The button states after a refresh or a click on the window.
    virtual void FormClick() {}

    void EditCellButtonClick();
    void EditColumnButtonClick();
    // A double click on cell (c, r) of the active grid.
    void StringGridDblClick(int c, int r);
    void PrintButtonClick();

    Tviewfilter view() const;
    bool regionalized() const;
    // The grid of the active tab; null on a tab without one.
    Tgrid* activegrid() const;
    // The grid of the tab with this caption; null when there is none.
    Tgrid* grid(const QString& caption) const;
    // Makes the tab with this caption the active one (which refreshes).
    void setactivetab(const QString& caption);
    QString activecaption() const;

    QTabWidget* PageControl = nullptr;
    QPushButton* EditCellButton = nullptr;
    QPushButton* EditColumnButton = nullptr;
    QCheckBox* FixedCheckBox = nullptr;
    QCheckBox* DefaultCheckBox = nullptr;
    QCheckBox* ImportedCheckBox = nullptr;
    QCheckBox* EditedCheckBox = nullptr;
    QCheckBox* HiddenCheckBox = nullptr;
    QCheckBox* UnknownCheckBox = nullptr;
    QGroupBox* RegionalizedRadioGroup = nullptr;
    QRadioButton* YesRadioButton = nullptr;
    QRadioButton* NoRadioButton = nullptr;
    QPlainTextEdit* CheckMemo = nullptr;
    QPushButton* PrintButton = nullptr;
    QPushButton* CloseButton = nullptr;

protected:
    // Lays the window out: the panel with the start states (and extra, the
    // editor's own group, above Print), the design size, maximised.
    void build(const QString& caption, const Teditorstart& start, QWidget* extra = nullptr);
    // A tab whose page is a grid, or whose page holds grid (already laid out).
    Tgrid* addgridtab(const QString& caption, QWidget* page = nullptr, Tgrid* grid = nullptr);
    // The "Check" tab: page holds the memo (made here when null).
    void addchecktab(QWidget* page = nullptr, QVBoxLayout* layout = nullptr);
    bool checkactive() const;
    // Puts the lines into the check memo.
    void showlines(const std::vector<std::string>& lines);

    // Edits the parameter of the editor's model object; region 0 is "All".
    virtual void editvalue(const std::string& name, std::uint32_t region) = 0;
    // Double clicks: whether the grids take them at all, how a heading
    // click sorts, and whether a click on a region name edits.
    virtual bool doubleclicks() const { return true; }
    virtual int sortflags() const { return 1; }
    virtual bool editsonregioncolumn() const { return false; }

    // Runs a handler; an error it raises ends it in the error box.
    void handle(const std::function<void()>& handler);
    // Widens column 0 to the region names it shows.
    static void fitregioncolumn(Tgrid* grid);
    // Rebuilds grid from table, keeping the current cell where it was.
    void showtable(Tgrid* grid, Tstringtable table);
    // Held while a refresh runs: a list or box that changes during a
    // refresh must not start another one. False when one runs already.
    class Trefresh {
    public:
        explicit Trefresh(TEditorForm& form) : flag_(form.refreshing_), first_(!flag_) {
            flag_ = true;
        }
        ~Trefresh() {
            if (first_) flag_ = false;
        }
        explicit operator bool() const { return first_; }

    private:
        bool& flag_;
        bool first_;
    };
    bool refreshing_ = false;

    void showEvent(QShowEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    Tworkspace& ws_;
    Tprograminfo program_;

private:
    QWidget* createpanel(const Teditorstart& start, QWidget* extra);
    // Cell and Column: edits the current cell's parameter for region (the
    // row's region when regional is set, else "All"), then refreshes with
    // the cell on the same region.
    void editcurrent(bool column);
    std::vector<Tgrid*> grids_; // by tab, null for a tab without a grid
};

} // namespace velmora

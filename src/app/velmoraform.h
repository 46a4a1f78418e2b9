#pragma once
// The main window: menus that start every action on the workspace and a
// status bar telling what is present. It owns the workspace; every other
// window is opened from here, modally, and refreshes it when done.
#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/workspace.h"
#include "toolkit/programinfo.h"

class QAction;
class QLabel;
class QMenu;

namespace velmora {

class Tqtuiservice;

class TVelmoraForm : public QMainWindow {
    Q_OBJECT
public:
    // The program's window: workbooks beside the program file, messages in
    // windows.
    explicit TVelmoraForm(QWidget* parent = nullptr);
    // Workbooks in programdirectory; messages through ui when given (it must
    // outlive the form), else in windows.
    TVelmoraForm(const std::string& programdirectory, Tuiservice* ui, QWidget* parent = nullptr);
    ~TVelmoraForm() override;

    Tworkspace& workspace() { return *ws_; }

    // The refresh: menu enabling and the four status panels.
    void FormClick();
    // Re-initialises the workspace and refreshes.
    void Initialize();

    // The text of status panel 1..4.
    QString paneltext(int panel) const;

    QMenu* FileMenu = nullptr;
    QAction* AggregationItem = nullptr;
    QAction* SettingsItem = nullptr;
    QAction* ExitItem = nullptr;
    QMenu* EnvironmentMenu = nullptr;
    QAction* OpenEnvironmentItem = nullptr;
    QAction* EditEnvironmentItem = nullptr;
    QMenu* SubstanceMenu = nullptr;
    QAction* NewSubstanceItem = nullptr;
    QAction* OpenSubstanceItem = nullptr;
    QAction* EditSubstanceItem = nullptr;
    QMenu* EmissionMenu = nullptr;
    QAction* NewEmissionItem = nullptr;
    QAction* SetEmissionItem = nullptr;
    QAction* FirstEmissionItem = nullptr;
    QAction* NextEmissionItem = nullptr;
    QAction* NextRegionItem = nullptr;
    QAction* PreviousRegionItem = nullptr;
    QAction* PreviousEmissionItem = nullptr;
    QAction* LastEmissionItem = nullptr;
    QAction* EditEmissionItem = nullptr;
    QMenu* ResultsMenu = nullptr;
    QAction* BoxesItem = nullptr;
    QAction* RCRItem = nullptr;
    QAction* DynamicItem = nullptr;
    QMenu* HelpMenu = nullptr;
    QAction* ManualItem = nullptr;
    QAction* InformationItem = nullptr;
    QAction* AboutItem = nullptr;

protected:
    // FormClose: the substances workbook is let go with the window.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate(const std::string& programdirectory);
    // The workspace's initialisation, calculating only when every workbook
    // is there (see the comment inside).
    void initializeworkspace();
    void createmenus();
    void createstatusbar();
    // Runs an action; an error it raises ends it in the error box, without
    // the refresh that otherwise follows when refresh is set.
    void run(const std::function<void()>& action, bool refresh = true);
    void setpanel(int panel, const QString& text);
    // The name of a regcomp for the status bar; UnknownText when the world
    // has no such regcomp.
    QString regcomptext(std::uint32_t region, std::uint32_t compartment) const;

    void AggregationItemClick();
    void SettingsItemClick();
    void OpenEnvironmentItemClick();
    void NewSubstanceItemClick();
    void OpenSubstanceItemClick();
    void EditEnvironmentItemClick();
    void EditSubstanceItemClick();
    void EditEmissionItemClick();
    void SetEmissionItemClick();
    void ResultsItemClick(const QString& tab);
    void DynamicItemClick();
    // The program as its windows name it: this window's program directory
    // and the running program's name.
    Tprograminfo program() const;
    // Opens a help file with the desktop's default application, from beside
    // the program or else the working directory; a file that is missing or
    // cannot be opened is named in a warning.
    void openhelpfile(const QString& name);

    std::unique_ptr<Tqtuiservice> ownui_;
    std::unique_ptr<Tworkspace> ws_;
    QWidget* clientarea_ = nullptr;
    std::array<QLabel*, 4> panels_{};
};

} // namespace velmora

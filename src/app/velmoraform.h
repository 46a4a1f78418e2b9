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
#include "uncertainty/uncertainty.h"

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
    // Re-initialises the workspace and refreshes (see reinitialize).
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
    QAction* UncertaintyItem = nullptr;
    QMenu* HelpMenu = nullptr;
    QAction* ManualItem = nullptr;
    QAction* InformationItem = nullptr;
    QAction* AboutItem = nullptr;

    // Hands a file to the desktop's default application; false when that
    // failed. The desktop's own unless replaced, as tests do.
    std::function<bool(const QString&)> openfile;

protected:
    // FormClose: the substances workbook is let go with the window.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate(const std::string& programdirectory);
    // The start-up's initialisation; without an environment it says why
    // and how to get one.
    void initializeworkspace();
    // Re-initialisation, all or nothing: a new workspace is read under the
    // settings now in force and replaces the old one only when it got an
    // environment. Otherwise (Cancel, a workbook that cannot be read) the
    // old one stays, with before as its settings, and the user is told;
    // false then.
    bool reinitialize(const Tsettings& before);
    // Tells that the environment import was cancelled and how to get one.
    void tellcancelled();
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
    void UncertaintyItemClick();
    // The program as its windows name it: this window's program directory
    // and the running program's name.
    Tprograminfo program() const;
    // Opens a help file with the desktop's default application, from beside
    // the program or else the working directory. A missing file is named in
    // a warning. When the desktop cannot open it, a text file is shown in
    // the program's own text window, and any other file is named with its
    // full path so that the user can open it some other way.
    void openhelpfile(const QString& name, bool text);

    std::unique_ptr<Tqtuiservice> ownui_;
    std::unique_ptr<Tworkspace> ws_;
    // The Uncertainty window's inputs, kept from one opening to the next.
    Tuncertaintysettings uncertaintysettings_;
    std::string uncertaintysettingsfor_; // the substance they were made for
    QWidget* clientarea_ = nullptr;
    std::array<QLabel*, 4> panels_{};
};

} // namespace velmora

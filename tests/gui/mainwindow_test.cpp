// The main window over a small world written by the test: start-up, the
// refresh's enabling rules and panel texts, shortcuts and the menu actions.
// The small world has two countries (Aland, Bland) and one sea (Asea), so
// the start-up emission goes to the last land region, Bland, and the last
// regcomp is number 36.
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <QPlainTextEdit>
#include <tuple>
#include <gtest/gtest.h>

#include "app/velmoraform.h"
#include "guisupport.h"
#include "guiworld.h"
#include "app/workspace.h"
#include "toolkit/smallforms.h"
#include "views/aggregationform.h"
#include "views/modelenvironmentform.h"
#include "views/openenvironmentform.h"
#include "views/opensubstanceform.h"
#include "views/setemissionform.h"
#include "views/settingsform.h"
#include "views/substancetypeform.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

std::string panel(const TVelmoraForm& form, int k) {
    return form.paneltext(k).toStdString();
}

bool menuenabled(QMenu* menu) {
    return menu->menuAction()->isEnabled();
}

// Runs action on the modal window of type T once it shows; another window
// fails the test and is closed so that the test goes on.
template <typename T> void whenform(std::function<void(T*)> action) {
    whenmodal([action](QWidget* w) {
        T* form = qobject_cast<T*>(w);
        if (!form) {
            ADD_FAILURE() << "unexpected modal window " << w->metaObject()->className();
            w->close();
            return;
        }
        action(form);
    });
}

// Closes the next message box, keeping its object name and text.
void whenbox(std::string& name, std::string& text) {
    whenform<QMessageBox>([&name, &text](QMessageBox* box) {
        name = box->objectName().toStdString();
        text = box->text().toStdString();
        box->accept();
    });
}

class MainWindow : public ::testing::Test {
protected:
    Tguiworld world;
    Trecorderui ui;
    std::unique_ptr<TVelmoraForm> form;
    void SetUp() override { form = std::make_unique<TVelmoraForm>(world.path(), &ui); }
    Tworkspace& ws() { return form->workspace(); }
};

} // namespace

TEST_F(MainWindow, NormalStartShowsEverythingPresent) {
    EXPECT_TRUE(ui.warnings.empty()) << ui.warnings.front();
    EXPECT_EQ(form->windowTitle().toStdString(), "Velmora");
    EXPECT_EQ(panel(*form, 1), "Environment: OK");
    EXPECT_EQ(panel(*form, 2), "Substance: Nitrobenzene");
    EXPECT_EQ(panel(*form, 3), "Emission: Bland_air");
    EXPECT_EQ(panel(*form, 4), "Reference: Nitrobenzene; Bland_air");
    EXPECT_TRUE(form->EditEnvironmentItem->isEnabled());
    EXPECT_TRUE(menuenabled(form->SubstanceMenu));
    EXPECT_TRUE(menuenabled(form->EmissionMenu));
    EXPECT_TRUE(form->EmissionMenu->menuAction()->isVisible());
    EXPECT_TRUE(menuenabled(form->ResultsMenu));
    // Regcomp 13 of 36: every move is possible.
    EXPECT_EQ(ws().emi.regcomp(), 13u);
    EXPECT_TRUE(form->FirstEmissionItem->isEnabled());
    EXPECT_TRUE(form->PreviousEmissionItem->isEnabled());
    EXPECT_TRUE(form->NextEmissionItem->isEnabled());
    EXPECT_TRUE(form->LastEmissionItem->isEnabled());
    EXPECT_FLOAT_EQ(ws().emi.to_air.values.getvalue(2), 1.0);
    EXPECT_EQ(ws().emi.to_air.status(2), stDefault);
}

TEST_F(MainWindow, DesignSizeIsTheMinimumAndTheWindowStartsMaximized) {
    EXPECT_EQ(form->minimumSize(), QSize(870, 500));
    EXPECT_TRUE(form->windowState() & Qt::WindowMaximized);
}

TEST_F(MainWindow, StatusPanelsHaveTheirWidths) {
    const int widths[4] = {150, 200, 200, 200};
    for (int k = 1; k <= 4; ++k) {
        QWidget* p = form->findChild<QWidget*>(QStringLiteral("Panel%1").arg(k));
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->minimumWidth(), widths[k - 1]);
        if (k < 4) {
            EXPECT_EQ(p->maximumWidth(), widths[k - 1]);
        }
    }
}

TEST_F(MainWindow, MenusHoldEveryItemWithCaptionAndShortcut) {
    struct Titem {
        QAction* action;
        const char* caption;
        QKeySequence shortcut;
    };
    const QKeySequence none;
    const std::vector<Titem> items = {
        {form->AggregationItem, "Aggregation level ...", QKeySequence(Qt::Key_F5)},
        {form->SettingsItem, "&Settings ...", QKeySequence(Qt::Key_F7)},
        {form->ExitItem, "E&xit", QKeySequence(Qt::CTRL | Qt::Key_X)},
        {form->OpenEnvironmentItem, "&Open ...", none},
        {form->EditEnvironmentItem, "Edit ...", QKeySequence(Qt::Key_F10)},
        {form->NewSubstanceItem, "&New ...", none},
        {form->OpenSubstanceItem, "&Open ...", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {form->EditSubstanceItem, "&Edit ...", QKeySequence(Qt::Key_F2)},
        {form->NewEmissionItem, "&New", none},
        {form->SetEmissionItem, "&Set ...", QKeySequence(Qt::Key_F3)},
        {form->FirstEmissionItem, "&First", QKeySequence(Qt::CTRL | Qt::Key_1)},
        {form->NextEmissionItem, "&Next", QKeySequence(Qt::CTRL | Qt::Key_2)},
        {form->NextRegionItem, "Next region", QKeySequence(Qt::CTRL | Qt::Key_3)},
        {form->PreviousRegionItem, "Previous region", QKeySequence(Qt::CTRL | Qt::Key_7)},
        {form->PreviousEmissionItem, "&Previous", QKeySequence(Qt::CTRL | Qt::Key_8)},
        {form->LastEmissionItem, "&Last", QKeySequence(Qt::CTRL | Qt::Key_9)},
        {form->EditEmissionItem, "&Edit ...", none},
        {form->BoxesItem, "Boxes", none},
        {form->RCRItem, "&RCR", QKeySequence(Qt::Key_F9)},
        {form->DynamicItem, "&Dynamic ...", none},
        {form->UncertaintyItem, "&Uncertainty ...", none},
        {form->ManualItem, "&Manual", QKeySequence(Qt::Key_F1)},
        {form->InformationItem, "&Information", none},
        {form->AboutItem, "&About", none}};
    for (const Titem& i : items) {
        EXPECT_EQ(i.action->text().toStdString(), i.caption);
        EXPECT_EQ(i.action->shortcut(), i.shortcut) << i.caption;
    }
    // The menus in order, each with its items in order and nothing else.
    const std::vector<std::pair<QMenu*, std::vector<const char*>>> menus = {
        {form->FileMenu, {"Aggregation level ...", "&Settings ...", "E&xit"}},
        {form->EnvironmentMenu, {"&Open ...", "Edit ..."}},
        {form->SubstanceMenu, {"&New ...", "&Open ...", "&Edit ..."}},
        {form->EmissionMenu,
         {"&New", "&Set ...", "&First", "&Next", "Next region", "Previous region", "&Previous",
          "&Last", "&Edit ..."}},
        {form->ResultsMenu, {"Boxes", "&RCR", "&Dynamic ...", "&Uncertainty ..."}},
        {form->HelpMenu, {"&Manual", "&Information", "&About"}}};
    const QList<QAction*> bar = form->menuBar()->actions();
    ASSERT_EQ(bar.size(), 6);
    const char* titles[6] = {"&File",     "&Environment", "&Substance",
                             "E&mission", "&Results",     "&Help"};
    for (int m = 0; m < 6; ++m) {
        EXPECT_EQ(bar[m]->text().toStdString(), titles[m]);
        EXPECT_EQ(bar[m], menus[static_cast<std::size_t>(m)].first->menuAction());
        const QList<QAction*> actions = menus[static_cast<std::size_t>(m)].first->actions();
        const auto& expected = menus[static_cast<std::size_t>(m)].second;
        ASSERT_EQ(actions.size(), static_cast<qsizetype>(expected.size())) << titles[m];
        for (std::size_t k = 0; k < expected.size(); ++k)
            EXPECT_EQ(actions[static_cast<qsizetype>(k)]->text().toStdString(), expected[k]);
    }
}

TEST_F(MainWindow, ShortcutsRunTheEmissionMoves) {
    ASSERT_TRUE(showactive(form.get()));
    auto key = [this](Qt::Key k) { QTest::keyClick(form.get(), k, Qt::ControlModifier); };
    key(Qt::Key_1);
    EXPECT_EQ(panel(*form, 3), "Emission: Aland_air");
    EXPECT_FALSE(form->FirstEmissionItem->isEnabled());
    EXPECT_FALSE(form->PreviousEmissionItem->isEnabled());
    key(Qt::Key_3);
    EXPECT_EQ(panel(*form, 3), "Emission: Bland_air");
    key(Qt::Key_3);
    EXPECT_EQ(panel(*form, 3), "Emission: Asea_air");
    key(Qt::Key_7);
    EXPECT_EQ(panel(*form, 3), "Emission: Bland_air");
    key(Qt::Key_2);
    EXPECT_EQ(panel(*form, 3), "Emission: Bland_natural soil");
    key(Qt::Key_8);
    EXPECT_EQ(panel(*form, 3), "Emission: Bland_air");
    // The last regcomp that can receive an emission: Asea's sea water, 35.
    key(Qt::Key_9);
    EXPECT_EQ(panel(*form, 3), "Emission: Asea_sea water");
    EXPECT_EQ(ws().emi.regcomp(), 35u);
    EXPECT_TRUE(form->NextEmissionItem->isEnabled());
}

TEST_F(MainWindow, NewEmissionGoesToTheFirstRegcompAndDisablesFirstAndPrevious) {
    form->NewEmissionItem->trigger();
    EXPECT_EQ(panel(*form, 3), "Emission: Aland_air");
    EXPECT_FALSE(form->FirstEmissionItem->isEnabled());
    EXPECT_FALSE(form->PreviousEmissionItem->isEnabled());
    EXPECT_TRUE(form->NextEmissionItem->isEnabled());
    EXPECT_TRUE(form->LastEmissionItem->isEnabled());
    // Every emission value is unknown after New.
    EXPECT_EQ(ws().emi.to_air.status(2), stUnknown);
}

TEST_F(MainWindow, SetEmissionAcceptsASedimentAndDisablesNextAndLastAtTheLastRegcomp) {
    int presetregion = -1, presetcompartment = -1;
    whenform<TSetEmissionForm>([&](TSetEmissionForm* f) {
        presetregion = f->RegionComboBox->currentIndex();
        presetcompartment = f->CompartmentComboBox->currentIndex();
        f->RegionComboBox->setCurrentIndex(2);
        f->CompartmentComboBox->setCurrentIndex(11);
        f->OKButton->click();
    });
    form->SetEmissionItem->trigger();
    EXPECT_EQ(presetregion, 1); // Bland
    EXPECT_EQ(presetcompartment, 0);
    EXPECT_EQ(panel(*form, 3), "Emission: Asea_sea sediment");
    EXPECT_EQ(ws().emi.regcomp(), 36u);
    EXPECT_FALSE(form->NextEmissionItem->isEnabled());
    EXPECT_FALSE(form->LastEmissionItem->isEnabled());
    EXPECT_TRUE(form->FirstEmissionItem->isEnabled());
    for (Tnumpars* p : ws().emi.parameters())
        for (std::uint32_t r = 1; r <= 3; ++r)
            EXPECT_EQ(p->values.getvalue(r), 0.0) << p->name();
    // Taken, but not silently: every concentration will be 0.
    ASSERT_EQ(ui.warnings.size(), 1u);
    EXPECT_EQ(ui.warnings[0], "No emission can go to Asea_sea sediment: sediments and "
                              "groundwater receive none. Nothing is emitted, and every "
                              "concentration is 0.");
}

// A compartment the region lacks, as the command line refuses it.
TEST_F(MainWindow, SetEmissionIntoACompartmentTheRegionLacksWarns) {
    for (const auto& [region, compartment, expected] :
         std::vector<std::tuple<int, int, std::string>>{
             {0, 10, "No emission can go to Aland_sea water: Aland has no sea water. Nothing is "
                     "emitted, and every concentration is 0."},
             {2, 1, "No emission can go to Asea_natural soil: Asea has no natural soil. Nothing "
                    "is emitted, and every concentration is 0."},
             {2, 0, ""}}) {
        ui.reset();
        whenform<TSetEmissionForm>([region = region, compartment = compartment](TSetEmissionForm* f) {
            f->RegionComboBox->setCurrentIndex(region);
            f->CompartmentComboBox->setCurrentIndex(compartment);
            f->OKButton->click();
        });
        form->SetEmissionItem->trigger();
        if (expected.empty()) {
            EXPECT_TRUE(ui.warnings.empty()) << ui.warnings.front();
        } else {
            ASSERT_EQ(ui.warnings.size(), 1u);
            EXPECT_EQ(ui.warnings[0], expected);
        }
    }
}

TEST_F(MainWindow, SetEmissionCancelChangesNothing) {
    whenform<TSetEmissionForm>([](TSetEmissionForm* f) {
        f->RegionComboBox->setCurrentIndex(0);
        f->CancelButton->click();
    });
    form->SetEmissionItem->trigger();
    EXPECT_EQ(panel(*form, 3), "Emission: Bland_air");
    EXPECT_EQ(ws().emi.region, 2);
}

TEST_F(MainWindow, FactorsModeFromSettingsHidesTheEmissionMenuAndKeepsItsPanel) {
    whenform<TSettingsForm>([](TSettingsForm* f) {
        f->CalculationsButtons->button(1)->click();
        f->CloseButton->click();
    });
    form->SettingsItem->trigger();
    EXPECT_TRUE(ws().settings.FactorsMode);
    EXPECT_FALSE(form->EmissionMenu->menuAction()->isVisible());
    EXPECT_EQ(panel(*form, 3), "Emission: Bland_air");
    // A hidden menu's shortcuts are dead as well.
    ASSERT_TRUE(showactive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(ws().emi.region, 2);
    // The panel keeps its text even when the emission moves meanwhile.
    ws().emi.first();
    form->FormClick();
    EXPECT_EQ(panel(*form, 3), "Emission: Bland_air");
}

TEST_F(MainWindow, NewGasSubstanceIsIncompleteUntilItsMolarMassIsKnown) {
    whenform<TSubstanceTypeForm>([](TSubstanceTypeForm* f) {
        // Nothing preset: OK waits for a type.
        EXPECT_EQ(f->TypeButtons->checkedId(), -1);
        EXPECT_FALSE(f->OKButton->isEnabled());
        f->GasRadioButton->click();
        f->OKButton->click();
    });
    form->NewSubstanceItem->trigger();
    EXPECT_EQ(ws().sub.name.value, "new substance");
    EXPECT_EQ(ws().sub.substype.value, "gas");
    EXPECT_EQ(ws().sub.substype.status, stDefault);
    EXPECT_TRUE(ws().sub.MOLW.isunknown());
    EXPECT_EQ(panel(*form, 2), "Substance: ?");
    EXPECT_FALSE(menuenabled(form->ResultsMenu));
    ws().sub.MOLW.set(0.03f, stEdited);
    form->FormClick();
    EXPECT_EQ(panel(*form, 2), "Substance: new substance");
    EXPECT_TRUE(menuenabled(form->ResultsMenu));
}

TEST_F(MainWindow, NewOrganicSubstanceStartsUnclassifiedWhateverTheClass) {
    whenform<TSubstanceTypeForm>([](TSubstanceTypeForm* f) {
        f->OrganicRadioButton->click();
        f->ClassComboBox->setCurrentIndex(5); // "aniline"
        f->OKButton->click();
    });
    form->NewSubstanceItem->trigger();
    EXPECT_EQ(ws().sub.substype.value, "organic (unclassified)");
}

TEST_F(MainWindow, NewSubstanceCancelKeepsTheSubstance) {
    whenform<TSubstanceTypeForm>([](TSubstanceTypeForm* f) { f->CancelButton->click(); });
    form->NewSubstanceItem->trigger();
    EXPECT_EQ(ws().sub.name.value, "Nitrobenzene");
}

TEST_F(MainWindow, OpenSubstanceImportsAndRecalculates) {
    bool checked = false, enabled = false;
    whenform<TOpenSubstanceForm>([&](TOpenSubstanceForm* f) {
        checked = f->RecalculateCheckBox->isChecked();
        enabled = f->RecalculateCheckBox->isEnabled();
        f->SearchEdit->setText(QStringLiteral("cad"));
        f->OKButton->click();
    });
    ui.reset();
    form->OpenSubstanceItem->trigger();
    EXPECT_TRUE(checked);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(panel(*form, 2), "Substance: Cadmium");
    EXPECT_EQ(ws().sub.substype.value, "metal");
    auto has = [&](const std::string& t) {
        return std::find(ui.progresstexts.begin(), ui.progresstexts.end(), t) !=
               ui.progresstexts.end();
    };
    EXPECT_TRUE(has("Importing Cadmium"));
    EXPECT_TRUE(has("Calculating results"));
    EXPECT_EQ(ui.openprogress, 0);
}

TEST_F(MainWindow, OpenEnvironmentWithTheSecondWorkbookOnly) {
    whenform<TOpenEnvironmentForm>([](TOpenEnvironmentForm* f) {
        f->File1CheckBox->click();
        f->File2CheckBox->click();
        f->OKButton->click();
    });
    ui.reset();
    form->OpenEnvironmentItem->trigger();
    const std::vector<std::string> expected = {"Clearing old settings", "Opening file",
                                               "Importing 2nd set of parameters"};
    ASSERT_GE(ui.progresstexts.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(ui.progresstexts.begin(), ui.progresstexts.begin() + 3),
              expected);
    EXPECT_TRUE(ws().env.present);
    EXPECT_TRUE(ws().env.changed);
    EXPECT_EQ(panel(*form, 1), "Environment: OK");
}

TEST_F(MainWindow, AggregationIntoAContinentMovesTheEmissionToItsGroupRegion) {
    whenform<TAggregationForm>([](TAggregationForm* f) {
        f->LevelRadioButtons[1]->click();
        EXPECT_EQ(f->RegionComboBox->count(), 1);
        EXPECT_EQ(f->RegionComboBox->currentText().toStdString(), "Europa");
        f->OKButton->click();
    });
    form->AggregationItem->trigger();
    EXPECT_EQ(ws().settings.AggregationLevel, 1);
    EXPECT_EQ(ws().settings.AggregationGroup, "Europa");
    // Both countries are in Europa: the group row is the one land region.
    ASSERT_EQ(ws().regions.count, 2u);
    EXPECT_EQ(ws().regions.name(1), "Europa");
    EXPECT_EQ(ws().emi.region, 1);
    EXPECT_EQ(ws().emi.compartment, 1);
    EXPECT_EQ(panel(*form, 3), "Emission: Europa_air");
    EXPECT_EQ(panel(*form, 4), "Reference: Nitrobenzene; Europa_air");
}

// The settings must never name an aggregation the workbook did not build.
TEST_F(MainWindow, AnAggregationTheWorkbookCannotBuildIsRefusedInTheDialog) {
    std::string name, text;
    bool stillopen = false;
    whenform<TAggregationForm>([&](TAggregationForm* f) {
        f->LevelRadioButtons[15]->click();
        whenbox(name, text);
        f->OKButton->click();
        stillopen = f->isVisible();
        f->CancelButton->click();
    });
    form->AggregationItem->trigger();
    EXPECT_EQ(name, "ErrorBox");
    EXPECT_NE(text.find("The regions cannot be aggregated: aggregation level 15"),
              std::string::npos)
        << text;
    EXPECT_TRUE(stillopen);
    EXPECT_EQ(ws().settings.AggregationLevel, 0);
    EXPECT_EQ(ws().regions.count, 3u);
}

TEST_F(MainWindow, AggregationCancelStillReinitialises) {
    ws().sub.name.set("edited", stEdited);
    ws().emi.first();
    whenform<TAggregationForm>([](TAggregationForm* f) {
        f->LevelRadioButtons[3]->click();
        f->CancelButton->click();
    });
    form->AggregationItem->trigger();
    EXPECT_EQ(ws().settings.AggregationLevel, 0);
    EXPECT_EQ(ws().sub.name.value, "Nitrobenzene");
    EXPECT_EQ(panel(*form, 3), "Emission: Bland_air");
}

TEST_F(MainWindow, AnErrorEndsTheActionInTheErrorBoxWithoutRefresh) {
    // Set behind the window's back: only a refresh would hide the menu.
    ws().settings.FactorsMode = true;
    std::string name, text;
    whenform<TSettingsForm>([&](TSettingsForm* f) {
        f->DigitsSpinEdit->setValue(6);
        f->EmissionEdit->setText(QStringLiteral("abc"));
        whenbox(name, text);
        f->CloseButton->click();
    });
    form->SettingsItem->trigger();
    EXPECT_EQ(name, "ErrorBox");
    EXPECT_EQ(text, "'abc' is not a valid num value");
    EXPECT_EQ(ws().settings.Digits, 6);
    EXPECT_FLOAT_EQ(ws().settings.EmissionAmount, 1.0f);
    EXPECT_TRUE(form->EmissionMenu->menuAction()->isVisible());
    // The next click on the window refreshes.
    QTest::mouseClick(form->centralWidget(), Qt::LeftButton);
    EXPECT_FALSE(form->EmissionMenu->menuAction()->isVisible());
}

TEST_F(MainWindow, AClickOnTheWindowRefreshes) {
    ws().emi.set(3, seawater);
    EXPECT_EQ(panel(*form, 3), "Emission: Bland_air");
    QTest::mouseClick(form->centralWidget(), Qt::LeftButton);
    EXPECT_EQ(panel(*form, 3), "Emission: Asea_sea water");
}

TEST_F(MainWindow, DoubleClickOpensTheWorldMapWithoutARefresh) {
    // The map files the build installs beside the programs.
    std::filesystem::create_directory_symlink(velmora::testing::bindir() + "/maps",
                                              std::filesystem::path(world.path()) / "maps");
    ws().emi.set(3, seawater); // a refresh would show it
    QString opened;
    velmora::testing::whenmodal([&opened](QWidget* modal) {
        opened = QString::fromLatin1(modal->metaObject()->className());
        modal->close();
    });
    QTest::mouseDClick(form->centralWidget(), Qt::LeftButton);
    EXPECT_EQ(opened, "velmora::TWorldMapForm");
    EXPECT_EQ(panel(*form, 3), "Emission: Bland_air");
}

TEST_F(MainWindow, BoxesAndRCRCalculateBeforeOpeningTheResults) {
    QString opened;
    whenmodal([&opened](QWidget* modal) {
        opened = QString::fromLatin1(modal->metaObject()->className());
        modal->close();
    });
    ui.reset();
    form->BoxesItem->trigger();
    EXPECT_EQ(opened, "velmora::TModelEnvironmentForm");
    EXPECT_NE(std::find(ui.progresstexts.begin(), ui.progresstexts.end(), "Calculating results"),
              ui.progresstexts.end());
}

TEST_F(MainWindow, EditItemsOpenTheEditorsModallyFreeThemAndRefresh) {
    const std::vector<std::tuple<QAction*, QString, QString>> items = {
        {form->EditEnvironmentItem, "velmora::TEditEnvironmentForm", "Edit environment"},
        {form->EditSubstanceItem, "velmora::TEditSubstanceForm", "Edit substance"},
        {form->EditEmissionItem, "velmora::TEditEmissionForm", "Edit emission"}};
    for (const auto& [action, type, caption] : items) {
        ws().emi.set(3, seawater); // the refresh after the editor shows it
        QString opened, title;
        bool modal = false;
        whenmodal([&](QWidget* w) {
            opened = QString::fromLatin1(w->metaObject()->className());
            title = w->windowTitle();
            modal = w->isModal();
            w->close();
        });
        action->trigger();
        EXPECT_EQ(opened, type);
        EXPECT_EQ(title, caption);
        EXPECT_TRUE(modal);
        EXPECT_TRUE(form->findChildren<QDialog*>().isEmpty()) << "the editor was not freed";
        EXPECT_EQ(panel(*form, 3), "Emission: Asea_sea water");
        ws().emi.set(2, air);
        form->FormClick();
    }
}

// Opens the results with F9's action and closes them; true when the
// calculation behind them gave concentrations.
bool resultsopen(TVelmoraForm& form) {
    bool opened = false;
    whenmodal([&opened](QWidget* modal) {
        opened = qobject_cast<TModelEnvironmentForm*>(modal) != nullptr;
        modal->close();
    });
    form.RCRItem->trigger();
    const Tregcomps& rcs = form.workspace().regcomps;
    return opened && rcs.n > 0 && rcs.CONC.count() == rcs.n && rcs.CONC.isknown(2 * 12 + 1);
}

// Environment > Open through its dialog, with File2 ticked or not.
void openenvironment(TVelmoraForm& form, bool file2) {
    whenform<TOpenEnvironmentForm>([file2](TOpenEnvironmentForm* f) {
        f->File1CheckBox->setChecked(true);
        f->File2CheckBox->setChecked(file2);
        f->OKButton->click();
    });
    form.OpenEnvironmentItem->trigger();
}

// Cancel during a re-initialisation, Environment > Open with File2, F9:
// the program used to end in "free(): invalid size".
TEST_F(MainWindow, CancelDuringReinitialisationKeepsTheWorldOfBefore) {
    ws().sub.name.set("edited", stEdited);
    ws().emi.set(3, seawater);
    ui.reset();
    ui.polls = 0;
    ui.cancelafterpolls = 0;
    form->Initialize();
    ui.cancelafterpolls = -1;
    EXPECT_EQ(panel(*form, 1), "Environment: OK");
    EXPECT_EQ(panel(*form, 2), "Substance: edited");
    EXPECT_EQ(panel(*form, 3), "Emission: Asea_sea water");
    EXPECT_TRUE(menuenabled(form->ResultsMenu));
    ASSERT_FALSE(ui.warnings.empty());
    EXPECT_NE(ui.warnings.back().find("cancelled"), std::string::npos) << ui.warnings.back();
    openenvironment(*form, true);
    EXPECT_TRUE(resultsopen(*form));
}

// The same after a start that was cancelled, so that there is no world of
// before: the first workbook alone, then both, then F9 ended in a
// segmentation fault. The dialog now offers File2 when the borders are missing.
TEST(TVelmoraForm, AnEnvironmentOpenedAfterACancelledStartCalculates) {
    Tguiworld world;
    Trecorderui ui;
    ui.cancelafterpolls = 0;
    TVelmoraForm form(world.path(), &ui);
    ui.cancelafterpolls = -1;
    EXPECT_EQ(panel(form, 1), "Environment: ?");
    ASSERT_FALSE(ui.warnings.empty());
    EXPECT_NE(ui.warnings.back().find("Environment > Open"), std::string::npos)
        << ui.warnings.back();
    bool file2 = false;
    whenform<TOpenEnvironmentForm>([&file2](TOpenEnvironmentForm* f) {
        file2 = f->File2CheckBox->isChecked();
        f->CancelButton->click();
    });
    form.OpenEnvironmentItem->trigger();
    EXPECT_TRUE(file2);
    openenvironment(form, false);
    EXPECT_EQ(panel(form, 1), "Environment: ?");
    openenvironment(form, true);
    EXPECT_EQ(panel(form, 1), "Environment: OK");
    // No substance was read: open one, then F9.
    form.workspace().opensubstance("Nitrobenzene");
    form.workspace().emi.set(3, air);
    form.FormClick();
    EXPECT_TRUE(resultsopen(form));
}

// A desktop without a default application for the help files: readme.txt
// is shown in the program's own text window, and the manual is named with
// its full path so that it can be opened some other way.
TEST_F(MainWindow, HelpFilesTheDesktopCannotOpen) {
    std::ofstream(world.dir.file("readme.txt")) << "Velmora\n\nWhere the files are\n";
    const std::string manual = world.dir.file("The VELMORA program - A short manual.pdf");
    std::ofstream(manual) << "%PDF-1.4\n";
    QStringList asked;
    form->openfile = [&asked](const QString& path) {
        asked << path;
        return false;
    };
    QString title, text;
    whenmodal([&](QWidget* w) {
        title = w->windowTitle();
        if (auto* memo = qobject_cast<TMemoForm*>(w)) text = memo->Memo->toPlainText();
        w->close();
    });
    form->InformationItem->trigger();
    EXPECT_TRUE(title.endsWith(QStringLiteral(" - readme.txt"))) << title.toStdString();
    EXPECT_EQ(text, QStringLiteral("Velmora\n\nWhere the files are\n"));
    EXPECT_TRUE(ui.warnings.empty());
    form->ManualItem->trigger();
    ASSERT_EQ(ui.warnings.size(), 1u);
    EXPECT_NE(ui.warnings[0].find(manual), std::string::npos) << ui.warnings[0];
    EXPECT_EQ(asked.size(), 2);
}

TEST_F(MainWindow, ClosingLetsTheSubstancesWorkbookGo) {
    ASSERT_TRUE(ws().SubstancesWorkbook);
    form->show();
    form->ExitItem->trigger();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(ws().SubstancesWorkbook);
}

TEST_F(MainWindow, Snapshot) {
    form->showNormal();
    form->resize(870, 500);
    EXPECT_FALSE(snapshot(form.get(), QStringLiteral("mainwindow")).isEmpty());
    form->EmissionMenu->popup(form->mapToGlobal(QPoint(200, 20)));
    EXPECT_FALSE(snapshot(form->EmissionMenu, QStringLiteral("mainwindow-emissionmenu")).isEmpty());
    form->EmissionMenu->hide();
}

TEST(TVelmoraForm, StartWithoutWorkbooksOpensTheWindowWithNothingPresent) {
    Ttempdir empty;
    Trecorderui ui;
    TVelmoraForm form(empty.path().string(), &ui);
    ASSERT_EQ(ui.warnings.size(), 1u);
    EXPECT_NE(ui.warnings[0].find("ENVDATA2part1.xlsx"), std::string::npos) << ui.warnings[0];
    EXPECT_EQ(panel(form, 1), "Environment: ?");
    EXPECT_EQ(panel(form, 2), "Substance: ?");
    EXPECT_EQ(panel(form, 3), "Emission: ?");
    EXPECT_EQ(panel(form, 4), "Reference: ?");
    EXPECT_FALSE(form.EditEnvironmentItem->isEnabled());
    EXPECT_FALSE(menuenabled(form.SubstanceMenu));
    EXPECT_FALSE(menuenabled(form.EmissionMenu));
    EXPECT_FALSE(menuenabled(form.ResultsMenu));
    EXPECT_TRUE(menuenabled(form.FileMenu));
    EXPECT_TRUE(menuenabled(form.EnvironmentMenu));
    EXPECT_TRUE(form.OpenEnvironmentItem->isEnabled());
    // A disabled menu's shortcuts are dead: Ctrl+1 would move the emission.
    ASSERT_TRUE(showactive(&form));
    form.workspace().emi.region = 5;
    QTest::keyClick(&form, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(form.workspace().emi.region, 5);
    // Closing with no substances workbook open raises nothing.
    EXPECT_TRUE(form.close());
}

TEST(TVelmoraForm, StartWithoutWorkbooksShowsTheWarningInAWindow) {
    Ttempdir empty;
    std::string name, text;
    whenform<QMessageBox>([&](QMessageBox* box) {
        name = box->objectName().toStdString();
        text = box->text().toStdString();
        box->accept();
    });
    TVelmoraForm form(empty.path().string(), nullptr);
    EXPECT_EQ(name, "WarningBox");
    EXPECT_NE(text.find("ENVDATA2part1.xlsx"), std::string::npos) << text;
    EXPECT_EQ(panel(form, 1), "Environment: ?");
}

TEST(TVelmoraForm, StartWithoutTheSubstancesWorkbookCalculatesNothing) {
    Tguiworld world(Tsmallworld::standard(), false);
    Trecorderui ui;
    TVelmoraForm form(world.path(), &ui);
    ASSERT_EQ(ui.warnings.size(), 1u);
    EXPECT_NE(ui.warnings[0].find("substances.xlsx"), std::string::npos) << ui.warnings[0];
    EXPECT_EQ(form.workspace().sub.name.value, "new substance");
    EXPECT_EQ(panel(form, 1), "Environment: OK");
    EXPECT_EQ(panel(form, 2), "Substance: ?");
    // No start-up emission and no calculation, so no reference either.
    EXPECT_EQ(panel(form, 3), "Emission: Aland_air");
    EXPECT_EQ(form.workspace().emi.to_air.status(2), stUnknown);
    EXPECT_EQ(panel(form, 4), "Reference: ?");
    EXPECT_FALSE(menuenabled(form.ResultsMenu));
    EXPECT_TRUE(menuenabled(form.SubstanceMenu));
}

TEST(TVelmoraForm, StartWithoutTheBordersWorkbookHasNoEnvironment) {
    Tguiworld world;
    std::filesystem::remove(world.dir.file("ENVDATA2part2.xlsx"));
    Trecorderui ui;
    TVelmoraForm form(world.path(), &ui);
    // One warning about the workbook, none per region pair.
    ASSERT_EQ(ui.warnings.size(), 1u) << ui.warnings.back();
    EXPECT_NE(ui.warnings[0].find("ENVDATA2part2.xlsx"), std::string::npos) << ui.warnings[0];
    EXPECT_EQ(panel(form, 1), "Environment: ?");
    EXPECT_EQ(panel(form, 3), "Emission: ?");
    EXPECT_EQ(panel(form, 4), "Reference: ?");
    EXPECT_FALSE(menuenabled(form.SubstanceMenu));
    EXPECT_FALSE(menuenabled(form.EmissionMenu));
    EXPECT_FALSE(menuenabled(form.ResultsMenu));
    // With the workbook back, re-initialising gives the full start.
    Tsmallworld::standard().writeborders(world.dir.file("ENVDATA2part2.xlsx"));
    form.Initialize();
    EXPECT_EQ(panel(form, 1), "Environment: OK");
    EXPECT_EQ(panel(form, 4), "Reference: Nitrobenzene; Bland_air");
}

TEST(TVelmoraForm, TwoWindowsKeepTheirOwnWorkspaces) {
    Tguiworld world1, world2;
    Trecorderui ui1, ui2;
    TVelmoraForm a(world1.path(), &ui1);
    TVelmoraForm b(world2.path(), &ui2);
    EXPECT_NE(&a.workspace(), &b.workspace());
    a.NewEmissionItem->trigger();
    EXPECT_EQ(panel(a, 3), "Emission: Aland_air");
    EXPECT_EQ(panel(b, 3), "Emission: Bland_air");
}

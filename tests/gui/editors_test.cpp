// The three data editors over the small world (countries Aland and Bland,
// the sea Asea): what the View boxes show of each status, the start states,
// edits through the grids with the dialog's answers scripted, refused
// edits, edits after a sort, the Region info addresses, and pictures of the
// windows on the default world.
#include <QApplication>
#include <QHeaderView>
#include <QTest>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "app/workspace.h"
#include "guisupport.h"
#include "guiworld.h"
#include "numeric/utilities.h"
#include "support/testsupport.h"
#include "toolkit/grid.h"
#include "toolkit/outputform.h"
#include "toolkit/qtuiservice.h"
#include "views/editors/editemissionform.h"
#include "views/editors/editenvironmentform.h"
#include "views/editors/editorgrids.h"
#include "views/editparameterform.h"
#include "views/editors/editsubstanceform.h"
#include "views/editors/regionlinks.h"
#include "views/resultsgrid.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

const Tprograminfo program("Velmora");

class Editors : public ::testing::Test {
protected:
    Tguiworld world;
    Trecorderui ui;
    Tworkspace ws{ui, world.path()};
    void SetUp() override {
        ws.initialize();
        ASSERT_TRUE(ws.env.present);
        ws.settings.HiddenText = "-";
        ws.settings.UnknownText = "?";
        ui.reset();
    }
    void answer(bool known, const std::string& text) {
        ui.editanswers.push_back({true, known, text});
    }

    // The column of grid whose heading names parameter; -1 when none.
    static int column(const Tgrid* grid, const std::string& parameter) {
        const Tcelltable& t = grid->table();
        for (int c = 0; c < t.cols(); ++c)
            if (headingparameter(t.cell(c, 0)) == parameter) return c;
        return -1;
    }
    static int row(const Tgrid* grid, const std::string& region) {
        const Tcelltable& t = grid->table();
        for (int r = 1; r < t.rows(); ++r)
            if (t.cell(0, r) == region) return r;
        return -1;
    }
    static std::string cell(const Tgrid* grid, const std::string& parameter,
                            const std::string& region) {
        return grid->table().cell(column(grid, parameter), row(grid, region));
    }
    // Opens the environment editor on a tab.
    std::unique_ptr<TEditEnvironmentForm> environment(const QString& tab) {
        auto form = std::make_unique<TEditEnvironmentForm>(ws, program);
        form->show();
        form->setactivetab(tab);
        return form;
    }
};

} // namespace

TEST_F(Editors, EachViewBoxShowsOrMasksItsStatus) {
    auto form = environment(QStringLiteral("Climatic parameters"));
    Tgrid* grid = form->activegrid();
    ASSERT_EQ(form->activecaption(), "Climatic parameters");
    struct Tcase {
        char status;
        QCheckBox* box;
        std::string unchecked; // what the cell shows with the box unchecked
    };
    const std::vector<Tcase> cases = {
        {'F', form->FixedCheckBox, "-"},    {'D', form->DefaultCheckBox, "-"},
        {'I', form->ImportedCheckBox, "-"}, {'E', form->EditedCheckBox, "-"},
        {'H', form->HiddenCheckBox, "-"},   {'U', form->UnknownCheckBox, "-"}};
    for (const Tcase& c : cases) {
        ws.env.TEMP.set(1, 12.5f, c.status);
        for (bool checked : {true, false}) {
            c.box->setChecked(checked); // refreshes when it changes
            form->FormShow();
            std::string expected = checked ? "12.5" : c.unchecked;
            if (c.status == 'U' && checked) expected = "?"; // masked, but as unknown
            EXPECT_EQ(cell(grid, "TEMP", "Aland"), expected)
                << c.status << (checked ? " checked" : " unchecked");
        }
        c.box->setChecked(c.status != 'H');
    }
    // A hidden value shown on request is its number; a letter that is no
    // status is always masked.
    ws.env.TEMP.set(1, 0.0f, '?');
    ws.env.TEMP.useds.setvalue(1, false);
    form->HiddenCheckBox->setChecked(true);
    EXPECT_EQ(cell(grid, "TEMP", "Aland"), "-");
    EXPECT_EQ(ws.env.TEMP.useds.getvalue(1), false) << "showing must not mark a value used";
    EXPECT_TRUE(ui.warnings.empty());
}

TEST_F(Editors, StartStatesOfTheThreeEditors) {
    TEditEnvironmentForm env(ws, program);
    TEditSubstanceForm sub(ws, program);
    TEditEmissionForm emi(ws, program);
    EXPECT_EQ(env.PageControl->count(), 10);
    EXPECT_EQ(sub.PageControl->count(), 7);
    EXPECT_EQ(emi.PageControl->count(), 1);
    for (TEditorForm* f : std::vector<TEditorForm*>{&env, &sub, &emi}) {
        EXPECT_EQ(f->PageControl->currentIndex(), 0);
        EXPECT_TRUE(f->FixedCheckBox->isChecked());
        EXPECT_TRUE(f->DefaultCheckBox->isChecked());
        EXPECT_TRUE(f->ImportedCheckBox->isChecked());
        EXPECT_TRUE(f->EditedCheckBox->isChecked());
        EXPECT_FALSE(f->HiddenCheckBox->isChecked());
        EXPECT_TRUE(f->windowState() & Qt::WindowMaximized);
    }
    EXPECT_TRUE(env.UnknownCheckBox->isChecked());
    EXPECT_TRUE(emi.UnknownCheckBox->isChecked());
    EXPECT_FALSE(sub.UnknownCheckBox->isChecked());
    EXPECT_TRUE(env.YesRadioButton->isChecked());
    EXPECT_TRUE(emi.YesRadioButton->isChecked());
    EXPECT_TRUE(sub.NoRadioButton->isChecked());
    EXPECT_EQ(sub.PageControl->tabText(0), "General properties");
    EXPECT_EQ(emi.PageControl->tabText(0), "Emissions");
    EXPECT_FALSE(env.UnusedCheckBox->isChecked());
    EXPECT_TRUE(env.NegativeCheckBox->isChecked());
    EXPECT_EQ(env.BordersComboBox->count(), 6);
    EXPECT_EQ(env.BordersComboBox->itemText(0), "BORDERLENGTH (m)");
}

TEST_F(Editors, SubstanceEditorMasksUnknownValuesUntilUnknownIsChecked) {
    ws.sub.Kow.setunknown();
    TEditSubstanceForm form(ws, program);
    form.show();
    form.setactivetab(QStringLiteral("Physico-chemical parameters"));
    const Tgrid* grid = form.activegrid();
    ASSERT_EQ(grid->table().rows(), 2); // the row "All"
    EXPECT_EQ(cell(grid, "Kow", "All"), "-");
    EXPECT_EQ(grid->table().cell(column(grid, "CHARGE"), 0), "CHARGE (-)");
    form.UnknownCheckBox->setChecked(true);
    EXPECT_EQ(cell(grid, "Kow", "All"), "?");
    EXPECT_NE(cell(grid, "MOLW", "All"), "?");
    // "&Yes" shows the regions, and only "Effect parameters" has columns.
    form.YesRadioButton->setChecked(true);
    EXPECT_EQ(grid->table().cols(), 1);
    EXPECT_EQ(grid->table().rows(), static_cast<int>(ws.regions.count) + 1);
    form.setactivetab(QStringLiteral("Effect parameters"));
    EXPECT_EQ(form.activegrid()->table().cols(), 20);
}

TEST_F(Editors, OKOnAnUnchangedImportedValueMakesItEditedAndKeepsItExactly) {
    auto form = environment(QStringLiteral("Climatic parameters"));
    Tgrid* grid = form->activegrid();
    const float x = std::nextafter(17.3f, 100.0f); // more digits than the dialog shows
    ws.env.TEMP.set(2, x, 'I');
    form->FormShow();
    grid->setcurrentcell(column(grid, "TEMP"), row(grid, "Bland"));
    answer(true, generalformat(x, 7)); // what the dialog shows, sent back unchanged
    form->EditCellButtonClick();
    ASSERT_EQ(ui.editrequests.size(), 1u);
    EXPECT_EQ(ui.editrequests[0].regionlabel, "Bland");
    EXPECT_EQ(ui.editrequests[0].statusword, "Imported");
    EXPECT_EQ(ws.env.TEMP.status(2), 'E');
    EXPECT_EQ(ws.env.TEMP.value(2), x);
    EXPECT_TRUE(ws.env.changed);
    form->EditedCheckBox->setChecked(false);
    EXPECT_EQ(cell(grid, "TEMP", "Bland"), "-");
}

TEST_F(Editors, FixedLatitudeIsRefusedForOneRegionAndForAll) {
    auto form = environment(QStringLiteral("General"));
    Tgrid* grid = form->activegrid();
    ASSERT_EQ(ws.env.latitude.status(1), 'F');
    const float before = ws.env.latitude.value(1);
    grid->setcurrentcell(column(grid, "latitude"), row(grid, "Aland"));
    answer(true, "45");
    form->EditCellButtonClick();
    EXPECT_EQ(ui.warnings, std::vector<std::string>{"latitude[Aland] is non-editable"});
    ASSERT_TRUE(form->EditColumnButton->isEnabled());
    form->EditColumnButtonClick();
    ASSERT_EQ(ui.warnings.size(), 2u);
    EXPECT_EQ(ui.warnings[1], "latitude is non-editable");
    EXPECT_TRUE(ui.editrequests.empty());
    EXPECT_EQ(ws.env.latitude.value(1), before);
    EXPECT_FALSE(ws.env.changed);
}

TEST_F(Editors, AnEditAfterASortReachesTheRegionOfTheRowShown) {
    auto form = environment(QStringLiteral("Climatic parameters"));
    Tgrid* grid = form->activegrid();
    ws.env.TEMP.set(1, 30.0f, 'I');
    ws.env.TEMP.set(2, 10.0f, 'I');
    ws.env.TEMP.set(3, 20.0f, 'I');
    form->FormShow();
    const int c = column(grid, "TEMP");
    form->StringGridDblClick(c, 0); // sorts by the column
    EXPECT_EQ(grid->table().cell(c, 0), "TEMP (K) (v)");
    ASSERT_EQ(grid->table().cell(0, 1), "Bland");
    EXPECT_EQ(grid->table().cell(0, 3), "Aland");
    answer(true, "15");
    form->StringGridDblClick(c, 1); // a data cell: edits it
    ASSERT_EQ(ui.editrequests.size(), 1u);
    EXPECT_EQ(ui.editrequests[0].regionlabel, "Bland");
    EXPECT_EQ(ws.env.TEMP.value(2), 15.0f);
    EXPECT_EQ(ws.env.TEMP.value(1), 30.0f);
    // The refresh restores region order; the cell stays on the region edited.
    EXPECT_EQ(grid->table().cell(0, 1), "Aland");
    EXPECT_EQ(grid->table().cell(0, grid->row()), "Bland");
    EXPECT_EQ(grid->col(), c);
    // A double click on a region name edits nothing.
    form->StringGridDblClick(0, 1);
    EXPECT_EQ(ui.editrequests.size(), 1u);
}

TEST_F(Editors, AnEditMarksTheEnvironmentChangedSoTheNextCalculationUsesIt) {
    ws.calculate();
    const std::uint32_t k = ws.emi.regcomp();
    const float before = ws.regcomps.CONC.value(k);
    ASSERT_GT(before, 0.0f);
    auto form = environment(QStringLiteral("Dimensional parameters"));
    form->NoRadioButton->setChecked(true);
    Tgrid* grid = form->activegrid();
    const int c = column(grid, "HEIGHT_air");
    ASSERT_GT(c, 0);
    grid->setcurrentcell(c, 1);
    answer(true, shortesttext(ws.env.HEIGHT_air.value * 2));
    form->EditCellButtonClick();
    EXPECT_EQ(ui.editrequests.at(0).regionlabel, "All");
    EXPECT_TRUE(ws.env.changed);
    EXPECT_EQ(ws.env.HEIGHT_air.status, 'E');
    ws.calculate();
    const float after = ws.regcomps.CONC.value(k);
    // Twice the air column dilutes the emission region's air.
    EXPECT_LT(after, 0.9f * before);
}

TEST_F(Editors, ColumnAnsweredUnknownMakesTheColumnUnknownNotTheMean) {
    auto form = environment(QStringLiteral("Climatic parameters"));
    Tgrid* grid = form->activegrid();
    ws.env.TEMP.set(1, 30.0f, 'I');
    ws.env.TEMP.set(2, 10.0f, 'I');
    form->FormShow();
    grid->setcurrentcell(column(grid, "TEMP"), 1);
    answer(false, "");
    form->EditColumnButtonClick();
    ASSERT_EQ(ui.editrequests.size(), 1u);
    EXPECT_EQ(ui.editrequests[0].regionlabel, "All");
    EXPECT_TRUE(ws.env.TEMP.isunknown(1));
    EXPECT_EQ(ws.env.TEMP.value(1), 30.0f);
    EXPECT_EQ(ws.env.TEMP.value(2), 10.0f);
    EXPECT_EQ(cell(grid, "TEMP", "Bland"), "?");
}

TEST_F(Editors, ButtonStatesFollowTabAndRegionalisation) {
    auto form = environment(QStringLiteral("General"));
    EXPECT_TRUE(form->EditCellButton->isEnabled());
    EXPECT_TRUE(form->EditColumnButton->isEnabled());
    EXPECT_TRUE(form->LocateButton->isEnabled());
    form->NoRadioButton->setChecked(true);
    EXPECT_EQ(form->activegrid()->table().rows(), 2);
    EXPECT_TRUE(form->EditCellButton->isEnabled());
    EXPECT_FALSE(form->EditColumnButton->isEnabled());
    EXPECT_FALSE(form->LocateButton->isEnabled());
    form->EditCellButtonClick(); // the row "All" of "General": nothing to edit
    EXPECT_TRUE(ui.editrequests.empty());
    form->setactivetab(QStringLiteral("Climatic parameters"));
    EXPECT_FALSE(form->EditCellButton->isEnabled());
    form->YesRadioButton->setChecked(true);
    form->setactivetab(QStringLiteral("Borders and flows"));
    EXPECT_FALSE(form->EditCellButton->isEnabled());
    EXPECT_FALSE(form->EditColumnButton->isEnabled());
    form->setactivetab(QStringLiteral("Check"));
    EXPECT_FALSE(form->EditCellButton->isEnabled());
    EXPECT_FALSE(form->FactsButton->isEnabled());
}

TEST_F(Editors, BordersShowTheChosenPairMatrixAndKeepItUnderNo) {
    auto form = environment(QStringLiteral("Borders and flows"));
    const Tcelltable& t = form->activegrid()->table();
    const int n = static_cast<int>(ws.regions.count);
    ASSERT_EQ(t.rows(), n + 1);
    ASSERT_EQ(t.cols(), n + 1);
    EXPECT_EQ(t.cell(0, 0), "Region");
    EXPECT_EQ(t.cell(2, 0), "Bland");
    EXPECT_EQ(t.cell(2, 1), celltextlong(ws.settings, ws.env.BORDERLENGTH.value(1, 2),
                                         ws.env.BORDERLENGTH.status(1, 2)));
    form->BordersComboBox->setCurrentIndex(3); // FLOW_seawater_seawater
    const std::string flow = form->activegrid()->table().cell(1, 1);
    EXPECT_EQ(flow,
              filteredreal(ws.settings, form->view(), ws.env.FLOW_seawater_seawater.value(1, 1),
                           ws.env.FLOW_seawater_seawater.status(1, 1), true));
    form->NoRadioButton->setChecked(true);
    form->BordersComboBox->setCurrentIndex(0);
    EXPECT_EQ(form->activegrid()->table().cols(), n + 1);
    EXPECT_EQ(form->activegrid()->table().cell(1, 1), flow);
}

TEST_F(Editors, CheckTabListsTheEnvironmentCheck) {
    auto form = environment(QStringLiteral("Check"));
    std::vector<std::string> lines;
    ws.env.check(lines, false, true);
    EXPECT_EQ(form->CheckMemo->toPlainText().toStdString().empty(), lines.empty());
    form->UnusedCheckBox->setChecked(true);
    EXPECT_NE(form->CheckMemo->toPlainText().indexOf(QStringLiteral(" not used")), -1);
}

TEST_F(Editors, RegionInfoHandsTheRowsAddressesToTheBrowserAndFactsSkipsSeas) {
    auto form = environment(QStringLiteral("General"));
    Tgrid* grid = form->activegrid();
    grid->setcurrentcell(1, row(grid, "Bland"));
    form->FormClick();
    ASSERT_TRUE(form->FactsButton->isEnabled());
    form->LocateButtonClick();
    form->FactsButtonClick();
    EXPECT_EQ(ui.addresses, (std::vector<std::string>{
                                "https://www.openstreetmap.org/search?query=Bland",
                                "https://www.cia.gov/the-world-factbook/countries/bland/"}));
    grid->setcurrentcell(1, row(grid, "Asea")); // moving the cell is enough
    EXPECT_FALSE(form->FactsButton->isEnabled());
    EXPECT_TRUE(form->LocateButton->isEnabled());
    ui.addressesopen = false;
    form->LocateButtonClick();
    ASSERT_EQ(ui.warnings.size(), 1u);
    EXPECT_NE(ui.warnings[0].find("openstreetmap.org/search?query=Asea"), std::string::npos);
}

TEST(RegionLinks, AddressesOfANameWithAccentsAndPunctuation) {
    const std::string name = "C\xC3\xB4te d'Ivoire";
    EXPECT_EQ(locateaddress(name),
              "https://www.openstreetmap.org/search?query=C%C3%B4te%20d%27Ivoire");
    EXPECT_EQ(factsaddress(name), "https://www.cia.gov/the-world-factbook/countries/cote-divoire/");
    EXPECT_EQ(factbookname("Korea, South"), "korea-south");
    EXPECT_EQ(factbookname("Bosnia and Herzegovina"), "bosnia-and-herzegovina");
    EXPECT_EQ(factbookname("Guinea-Bissau"), "guinea-bissau");
    EXPECT_EQ(factbookname("S\xC3\xA3o Tom\xC3\xA9 & Pr\xC3\xADncipe"), "sao-tome-principe");
    // Letters outside Latin stay, encoded.
    EXPECT_EQ(factbookname("\xCE\x91"), "%CE%91");
}

TEST_F(Editors, EmissionEditorEditsARegionsEmissionAndShowsOnlyAllUnderNo) {
    TEditEmissionForm form(ws, program);
    form.show();
    Tgrid* grid = form.activegrid();
    ASSERT_EQ(grid->table().cols(), 9);
    EXPECT_EQ(grid->table().cell(1, 0), "to_air (kg*s^-1)");
    grid->setcurrentcell(column(grid, "to_river"), row(grid, "Aland"));
    answer(true, "0.25");
    form.EditCellButtonClick();
    EXPECT_EQ(ws.emi.to_river.value(1), 0.25f);
    EXPECT_EQ(cell(grid, "to_river", "Aland"), "0.25");
    form.NoRadioButton->setChecked(true);
    EXPECT_EQ(grid->table().cols(), 1);
    EXPECT_EQ(grid->table().cell(0, 1), "All");
    form.EditCellButtonClick();
    form.EditColumnButtonClick();
    EXPECT_EQ(ui.editrequests.size(), 1u);
}

// Pictures of the editors on the default world, for a look by eye.
TEST(EditorPictures, DefaultWorld) {
    Trecorderui ui;
    Tworkspace ws(ui, bindir());
    ws.initialize(false);
    ASSERT_TRUE(ws.env.present);
    TEditEnvironmentForm env(ws, program);
    env.showNormal();
    env.resize(1100, 700);
    for (const char* tab : {"General", "Media characteristics", "Borders and flows", "Check"}) {
        env.setactivetab(QLatin1String(tab));
        const QString name = QStringLiteral("editor-environment-") +
                             QString::fromLatin1(tab).split(' ')[0].toLower();
        EXPECT_FALSE(snapshot(&env, name).isEmpty()) << tab;
    }
    TEditSubstanceForm sub(ws, program);
    sub.showNormal();
    sub.resize(1100, 700);
    sub.setactivetab(QStringLiteral("Disappearance rates"));
    EXPECT_FALSE(snapshot(&sub, QStringLiteral("editor-substance")).isEmpty());
    TEditEmissionForm emi(ws, program);
    emi.showNormal();
    emi.resize(1100, 700);
    EXPECT_FALSE(snapshot(&emi, QStringLiteral("editor-emission")).isEmpty());
}

// After "Cell ..." the region column of the body and its heading stay one
// column. The frozen column used to keep the width fitted to the region
// names while the heading and the data began where the column's first
// width (120 pixels) ended, covering TEMP and WINDSPEED on "Climatic
// parameters" until the editor was opened again. The default world's names
// are wider than that first width; the edit goes through the real dialog.
TEST(EditorGrids, AnEditKeepsTheRegionColumnInOnePiece) {
    Tqtuiservice ui(program);
    Tworkspace ws(ui, bindir());
    ws.initialize(false);
    ASSERT_TRUE(ws.env.present);
    TEditEnvironmentForm form(ws, program);
    form.show();
    form.setactivetab(QStringLiteral("Climatic parameters"));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    Tgrid* g = form.activegrid();
    ASSERT_GT(g->colwidth(0), 120);
    g->setcurrentcell(1, 2); // TEMP of the second region
    whenmodal([](QWidget* w) {
        auto* dialog = qobject_cast<TEditParameterForm*>(w);
        ASSERT_NE(dialog, nullptr) << w->metaObject()->className();
        dialog->ValueEdit->setText(QStringLiteral("12.5"));
        dialog->OKButton->click();
    });
    form.EditCellButton->click();
    QApplication::processEvents();
    EXPECT_EQ(g->table().cell(1, 2), "12.5");
    const QRect frozen = g->verticalHeader()->geometry();
    EXPECT_EQ(frozen.width(), g->colwidth(0));
    // The heading row and the data begin where the frozen column ends.
    EXPECT_EQ(g->horizontalHeader()->geometry().left(), frozen.right() + 1);
    EXPECT_EQ(g->viewport()->geometry().left(), frozen.right() + 1);
}

TEST_F(Editors, PrintWritesTheActiveGridWithoutHeaderOrTheCheckLines) {
    Ttempdir dir;
    const auto print = [&](TEditorForm& form, const std::string& name) {
        const QString file = QString::fromStdString(dir.file(name));
        whenmodal([&file](QWidget* w) {
            auto* output = qobject_cast<TOutputForm*>(w);
            ASSERT_NE(output, nullptr) << w->metaObject()->className();
            output->DestinationClick(destinationfile);
            output->FileEdit->setText(file);
            output->OKButton->click();
        });
        form.PrintButton->click();
        std::ifstream in(file.toStdString());
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    };
    TEditEmissionForm emi(ws, program);
    emi.show();
    std::vector<std::string> lines = print(emi, "emission.txt");
    ASSERT_EQ(lines.size(), ws.regions.count + 1);
    EXPECT_EQ(lines[0].rfind("Region\tto_air (kg*s^-1)\t", 0), 0u) << lines[0];
    EXPECT_EQ(lines[3].rfind("Asea\t", 0), 0u) << lines[3];

    ws.sub.MOLW.set(-1.0f, stEdited);
    TEditSubstanceForm sub(ws, program);
    sub.show();
    sub.setactivetab(QStringLiteral("Check"));
    std::vector<std::string> check;
    ws.sub.check(check, true, true);
    ASSERT_FALSE(check.empty());
    EXPECT_EQ(sub.CheckMemo->toPlainText().split('\n').size(), static_cast<int>(check.size()));
    lines = print(sub, "check.txt");
    EXPECT_EQ(lines, check);
}

TEST_F(Editors, ChartAndWorldMapOpenTheirWindows) {
    // The map files the build puts beside the programs.
    std::filesystem::create_directory_symlink(bindir() + "/maps",
                                              std::filesystem::path(world.path()) / "maps");
    auto form = environment(QStringLiteral("General"));
    QString opened;
    const auto closing = [&opened](QWidget* w) {
        opened = w->windowTitle();
        w->close();
    };
    Tgrid* grid = form->activegrid();
    grid->setcurrentcell(1, row(grid, "Asea"));
    form->FormClick();
    whenmodal(closing);
    form->WorldMapButton->click();
    EXPECT_FALSE(opened.isEmpty());
    EXPECT_TRUE(ui.warnings.empty());
    form->setactivetab(QStringLiteral("Borders and flows"));
    opened.clear();
    whenmodal(closing);
    form->BordersButton->click();
    EXPECT_EQ(opened, "Velmora - Matrix chart");
}

TEST_F(Editors, AnEntryThatIsNoNumberEndsInTheErrorBoxAndChangesNothing) {
    auto form = environment(QStringLiteral("Climatic parameters"));
    Tgrid* grid = form->activegrid();
    ws.env.changed = false;
    const float before = ws.env.TEMP.value(1);
    const char status = ws.env.TEMP.status(1);
    grid->setcurrentcell(column(grid, "TEMP"), row(grid, "Aland"));
    answer(true, "abc");
    QString text;
    whenmodal([&text](QWidget* w) {
        text = w->property("text").toString();
        w->close();
    });
    form->EditCellButton->click();
    EXPECT_EQ(text, "'abc' is not a valid num value");
    EXPECT_EQ(ws.env.TEMP.value(1), before);
    EXPECT_EQ(ws.env.TEMP.status(1), status);
    EXPECT_FALSE(ws.env.changed);
    EXPECT_TRUE(form->isVisible()) << "the editor stays open";
}

TEST(QtUiService, AnAddressTheDesktopCannotTakeIsNotOpened) {
    Tqtuiservice service(program);
    EXPECT_FALSE(service.openaddress(""));
    Tconsoleui console;
    EXPECT_FALSE(console.openaddress(locateaddress("Aland")));
}

// The "All factors" dialog and the run started from the results window's
// All factors tab on the small world (Aland an OECD member, Bland not, the
// sea Asea): what the dialog starts with and counts, that Cancel changes
// nothing, which boxes fill which rows, Cancel during the run, and the
// Factors tab's chart in Factors mode.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <fstream>
#include <gtest/gtest.h>

#include "app/workspace.h"
#include "guisupport.h"
#include "guiworld.h"
#include "toolkit/grid.h"
#include "views/allfactorsform.h"
#include "views/modelenvironmentform.h"
#include "views/resultsfactortabs.h"
#include "views/resultsgrid.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

const Tprograminfo program("Velmora");

class AllFactorsWindow : public ::testing::Test {
protected:
    Tguiworld world;
    Trecorderui ui;
    Tworkspace ws{ui, world.path()};
    std::unique_ptr<TModelEnvironmentForm> form;
    std::uint32_t aland = 0, bland = 0, asea = 0;

    void SetUp() override {
        ws.initialize();
        ASSERT_TRUE(ws.env.present && ws.sub.present);
        aland = ws.regions.find("Aland");
        bland = ws.regions.find("Bland");
        asea = ws.regions.find("Asea");
        ASSERT_TRUE(aland && bland && asea);
        form = std::make_unique<TModelEnvironmentForm>(ws, program);
        form->show();
        form->setactivetab(QStringLiteral("All factors"));
        ui.reset();
    }
    TAllFactorsTab* tab() const { return form->AllFactorsTab; }
    const Tcelltable& grid() const { return tab()->AllFactorsStringGrid->table(); }
    // Starts a run; answer gets the dialog before it is shown.
    void start(std::function<void(TAllFactorsForm&)> answer) {
        tab()->beforedialog = [answer](TAllFactorsForm& dialog) {
            whenmodal([&dialog, answer](QWidget*) { answer(dialog); });
        };
        tab()->AllFactorsButton->click();
    }
    // The boxes that get a row, in row order.
    std::vector<std::uint32_t> qualifying(bool oecd) {
        std::vector<std::uint32_t> boxes;
        for (std::uint32_t i = 1; i <= ws.regcomps.n; ++i)
            if (allfactorsqualifies(ws.model, i, oecd)) boxes.push_back(i);
        return boxes;
    }
    void check(QListWidget* list, std::uint32_t number, bool on) {
        list->item(static_cast<int>(number) - 1)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
};

} // namespace

TEST_F(AllFactorsWindow, DialogStartsWithTheDefaultsAndCountsWhatIsChecked) {
    Ttempdir dir;
    const std::string file = dir.file("selection_of_countries.txt");
    std::ofstream(file, std::ios::binary) << "Bland\r\nAsea \n";
    TAllFactorsForm dialog(ws, form.get(), QString::fromStdString(file));
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("All factors"));
    ASSERT_EQ(dialog.RegionsCheckListBox->count(), 3);
    EXPECT_EQ(dialog.RegionsCheckListBox->item(0)->text(), QStringLiteral("Aland"));
    EXPECT_EQ(dialog.RegionsGroupBox->title(), QStringLiteral("Regions (3/3)"));
    // Every compartment but natural soil and the three sediments.
    EXPECT_EQ(dialog.CompartmentsGroupBox->title(), QStringLiteral("Compartments (8/12)"));
    EXPECT_EQ(dialog.CompartmentsCheckListBox->item(nat - 1)->checkState(), Qt::Unchecked);
    EXPECT_EQ(dialog.CompartmentsCheckListBox->item(groundwater - 1)->checkState(), Qt::Checked);
    EXPECT_TRUE(dialog.InversionCheckBox->isChecked());
    snapshot(&dialog, QStringLiteral("allfactors-dialog"));

    check(dialog.RegionsCheckListBox, bland, false);
    EXPECT_EQ(dialog.RegionsGroupBox->title(), QStringLiteral("Regions (2/3)"));
    dialog.UnselectAllCompartmentsButton->click();
    EXPECT_EQ(dialog.CompartmentsGroupBox->title(), QStringLiteral("Compartments (0/12)"));
    dialog.SelectAllCompartmentsButton->click();
    EXPECT_EQ(dialog.CompartmentsGroupBox->title(), QStringLiteral("Compartments (12/12)"));
    // Whole lines only: "Asea " names no region; the Windows line end is no
    // part of "Bland".
    ASSERT_TRUE(dialog.SelectRegionsFromFileButton->isEnabled());
    dialog.SelectRegionsFromFileButton->click();
    EXPECT_EQ(dialog.RegionsGroupBox->title(), QStringLiteral("Regions (1/3)"));
    const Tallfactorsselection s = dialog.selection();
    EXPECT_TRUE(s.regions[bland]);
    EXPECT_FALSE(s.regions[aland] || s.regions[asea]);

    // Under OECD only the members start checked.
    TAllFactorsForm oecd(ws, form.get(), QString::fromStdString(dir.file("missing.txt")));
    oecd.OECDOnly = true;
    oecd.show();
    EXPECT_EQ(oecd.RegionsGroupBox->title(), QStringLiteral("Regions (1/3)"));
    EXPECT_FALSE(oecd.SelectRegionsFromFileButton->isEnabled());
}

TEST_F(AllFactorsWindow, CancelInTheDialogChangesNothingButTheSoundPlays) {
    ws.settings.NBordersDisplay = 1;
    ws.settings.DistancesDisplay = 2;
    const std::uint32_t emission = ws.emi.regcomp();
    const int rows = grid().rows();
    const int windows = ui.progresswindows;
    start([](TAllFactorsForm& dialog) {
        dialog.SelectAllCompartmentsButton->click();
        dialog.CancelButton->click();
    });
    EXPECT_EQ(ws.emi.regcomp(), emission);
    EXPECT_EQ(ws.settings.NBordersDisplay, 1);
    EXPECT_EQ(ws.settings.DistancesDisplay, 2);
    EXPECT_EQ(ui.progresswindows, windows);
    EXPECT_TRUE(tab()->factors().empty());
    ASSERT_EQ(grid().rows(), rows);
    for (int r = 1; r < rows; ++r)
        EXPECT_EQ(grid().cell(3, r), "");
    EXPECT_EQ(ui.sounds, std::vector<std::string>{"Velmora.wav"});
}

TEST_F(AllFactorsWindow, TheKthQualifyingBoxFillsRowKAndStaysAfterARefresh) {
    const int windows = ui.progresswindows;
    start([this](TAllFactorsForm& dialog) {
        check(dialog.CompartmentsCheckListBox, nat, true);
        check(dialog.RegionsCheckListBox, asea, false);
        dialog.OKButton->click();
    });
    // The calculations show in the run's window.
    EXPECT_EQ(ui.progresswindows, windows + 1);
    EXPECT_EQ(ui.sounds, std::vector<std::string>{"Velmora.wav"});
    EXPECT_TRUE(ui.warnings.empty());
    const std::vector<std::uint32_t> boxes = qualifying(false);
    ASSERT_EQ(grid().rows(), static_cast<int>(boxes.size()) + 1);
    EXPECT_EQ(grid().cell(3, 0).rfind("CFtoxpot_river", 0), 0u);
    bool natural = false;
    int known = 0;
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        const int r = static_cast<int>(k) + 1;
        const std::uint32_t box = boxes[k];
        EXPECT_EQ(grid().cell(0, r), ws.regcomps.regcompname(box));
        EXPECT_EQ(grid().cell(2, r), ws.regcomps.compartmentname(box));
        EXPECT_NE(ws.regcomps.compartmentof(box), groundwater);
        const bool chosen = ws.regcomps.regionof(box) != asea;
        ASSERT_EQ(tab()->factors().count(box), chosen ? 1u : 0u) << grid().cell(0, r);
        natural = natural || (chosen && ws.regcomps.compartmentof(box) == nat);
        for (int f = 0; f < 7; ++f) {
            if (!chosen || !tab()->factors().at(box).potknown[f]) {
                EXPECT_EQ(grid().cell(f + 3, r), "");
                continue;
            }
            // The run's own number behind the short text.
            const float value = tab()->factors().at(box).pot[f];
            EXPECT_EQ(grid().cell(f + 3, r), celltextshort(ws.settings, value, 'D'));
            float x = 0;
            ASSERT_TRUE(tab()->storedvalue(f + 3, r, x));
            EXPECT_EQ(x, value);
            ++known;
        }
    }
    EXPECT_TRUE(natural);
    EXPECT_GT(known, 0);
    EXPECT_TRUE(form->AnalyzeValuesButton->isEnabled());
    snapshot(form.get(), QStringLiteral("allfactors-tab-after-run"));

    // A plain refresh keeps them; the actual factors are there as well.
    std::vector<std::string> before;
    for (int r = 1; r < grid().rows(); ++r)
        for (int c = 3; c < 10; ++c)
            before.push_back(grid().cell(c, r));
    form->FormClick();
    std::size_t at = 0;
    for (int r = 1; r < grid().rows(); ++r)
        for (int c = 3; c < 10; ++c)
            ASSERT_EQ(grid().cell(c, r), before[at++]);
    tab()->AllFactorsComboBox->setCurrentIndex(1);
    EXPECT_EQ(grid().cell(3, 0).rfind("CFtoxact_river", 0), 0u);
    // A new reference makes them another model's factors.
    ws.takereference();
    form->FormClick();
    EXPECT_TRUE(tab()->factors().empty());
    for (int r = 1; r < grid().rows(); ++r)
        EXPECT_EQ(grid().cell(3, r), "");
}

TEST_F(AllFactorsWindow, UnderOecdOtherRegionsAreNeverComputedEvenWhenChecked) {
    form->OECDRadioButton->click();
    start([](TAllFactorsForm& dialog) {
        EXPECT_TRUE(dialog.OECDOnly);
        dialog.SelectAllRegionsButton->click();
        dialog.OKButton->click();
    });
    ASSERT_FALSE(tab()->factors().empty());
    for (const auto& [box, row] : tab()->factors())
        EXPECT_EQ(ws.regcomps.regionof(box), aland) << ws.regcomps.regcompname(box);
    EXPECT_EQ(grid().rows(), static_cast<int>(qualifying(true).size()) + 1);
}

TEST_F(AllFactorsWindow, CancelDuringTheRunPutsTheDisplaySettingsBack) {
    ws.settings.NBordersDisplay = 1;
    ws.settings.DistancesDisplay = 1;
    ui.polls = 0;
    ui.cancelafterpolls = 4;
    start([](TAllFactorsForm& dialog) {
        dialog.InversionCheckBox->setChecked(false);
        dialog.OKButton->click();
    });
    EXPECT_EQ(ws.settings.NBordersDisplay, 1);
    EXPECT_EQ(ws.settings.DistancesDisplay, 1);
    EXPECT_EQ(ws.regcomps.inversecache, nullptr);
    EXPECT_EQ(ui.sounds.size(), 1u);
    const std::size_t computed = tab()->factors().size();
    EXPECT_GT(computed, 0u);
    std::size_t chosen = 0;
    for (std::uint32_t box : qualifying(false))
        chosen += ws.regcomps.compartmentof(box) != nat;
    EXPECT_LT(computed, chosen);
}

TEST(FactorsChart, OnlyTheFourFactorMatricesAndTheirProductHaveOneChart) {
    Tguiworld world;
    Trecorderui ui;
    Tworkspace ws{ui, world.path()};
    ws.settings.FactorsMode = true;
    ws.initialize();
    ASSERT_TRUE(ws.calculate());
    TModelEnvironmentForm form(ws, program);
    form.show();
    form.setactivetab(QStringLiteral("Factors"));
    TFactorsTab* factors = form.FactorsTab;
    QComboBox* list = factors->FactorsComboBox;
    ASSERT_EQ(list->count(), 7);
    list->setCurrentIndex(1);
    EXPECT_EQ(factors->selectedmatrix(), &ws.regcomps.XF1);
    // Air breathed is the air of the region itself.
    const Tcelltable& shown = factors->FactorsStringGrid->table();
    EXPECT_EQ(shown.cell(0, 1), "Aland_air");
    EXPECT_EQ(shown.cell(1, 0), "Aland_air");
    EXPECT_EQ(shown.cell(1, 1), "1");
    snapshot(&form, QStringLiteral("factors-tab-xf1"));
    for (int k = 0; k < list->count(); ++k) {
        list->setCurrentIndex(k);
        const std::string item = list->currentText().toStdString();
        int charts = 0;
        QString title;
        if (k < 5) {
            whenmodal([&](QWidget* w) {
                ++charts;
                title = w->windowTitle();
                if (k == 4) snapshot(w, QStringLiteral("factors-chart-xfff"));
                w->close();
            });
        }
        factors->FactorsButton->click();
        EXPECT_EQ(charts, k < 5 ? 1 : 0) << item;
        if (k < 5) {
            EXPECT_EQ(title, QStringLiteral("Velmora - Matrix chart")) << item;
        }
    }
}

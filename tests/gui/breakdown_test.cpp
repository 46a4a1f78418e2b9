// The Balance, Distribution and Dose tabs of the results window on the
// default world: which buttons and bars show, their colours and captions,
// the windows a button opens, and the one note instead of a warning per
// value when the results hold no concentrations. Snapshots of the three
// tabs go to <temp>/velmora-gui/ for a look by eye.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "app/workspace.h"
#include "compute/analysis.h"
#include "guisupport.h"
#include "support/testsupport.h"
#include "toolkit/grid.h"
#include "toolkit/smallforms.h"
#include "views/modelenvironmentform.h"
#include "views/resultsanalysistabs.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

class Breakdown : public Tresultswindowtest {
protected:
    // The tabs explain a calculation in concentration mode, whatever mode
    // the settings were read in.
    void SetUp() override {
        ws->settings.FactorsMode = false;
        Tresultswindowtest::SetUp();
    }

    TBreakdownTab* open(const QString& caption, int item, int indicator) {
        TBreakdownTab* tab = caption == "Dose" ? form->DoseTab : form->DistributionTab;
        form->setactivetab(caption);
        tab->ComboBox->setCurrentIndex(item);
        tab->IndicatorsGroup->button(indicator)->click();
        form->FormClick();
        return tab;
    }
    // The window as the user sees it once pending layouts are done.
    QString look(const char* name) {
        QCoreApplication::processEvents();
        return snapshot(form.get(), QString::fromLatin1(name));
    }
    static std::vector<std::uint32_t> shownitems(const TBreakdownTab* tab) {
        std::vector<std::uint32_t> items;
        for (std::size_t b = 0; b < tab->Buttons.size(); ++b)
            if (!tab->Buttons[b]->isHidden()) items.push_back(tab->items()[b]);
        return items;
    }
    static int shownbars(const TBreakdownTab* tab) {
        int k = 0;
        for (std::size_t b = 0; b < tab->Bars.size(); ++b)
            k += !tab->Buttons[b]->isHidden() && !tab->Bars[b]->isHidden() ? 1 : 0;
        return k;
    }
    // A land region without lake water, when the world has one.
    std::uint32_t regionwithoutlake() const {
        for (std::uint32_t i = 1; i <= ws->regions.nland; ++i)
            if (!ws->regcomps.exists(Tregcomps::regcompnumber(i, lake))) return i;
        return 0;
    }
};

TEST_F(Breakdown, DistributionShowsTheUsedBoxesOfARegion) {
    const std::uint32_t region = static_cast<std::uint32_t>(ws->emi.region);
    TBreakdownTab* tab = open("Distribution", static_cast<int>(region) - 1, 1);
    for (std::size_t b = 0; b < tab->Buttons.size(); ++b) {
        const std::uint32_t x = Tregcomps::regcompnumber(region, tab->items()[b]);
        EXPECT_EQ(!tab->Buttons[b]->isHidden(), ws->regcomps.exists(x)) << b;
    }
    EXPECT_GT(shownbars(tab), 0);
    EXPECT_EQ(tab->Buttons[0]->objectName(), "DistributionAirButton");
    EXPECT_FALSE(look("distribution").isEmpty());

    if (const std::uint32_t dry = regionwithoutlake()) {
        open("Distribution", static_cast<int>(dry) - 1, 1);
        const auto items = shownitems(tab);
        EXPECT_EQ(std::find(items.begin(), items.end(), lake), items.end());
    }
    // "None": no bar, and every caption explains its box.
    open("Distribution", static_cast<int>(region) - 1, 0);
    EXPECT_EQ(shownbars(tab), 0);
    for (std::size_t b = 0; b < tab->Buttons.size(); ++b) {
        const QStringList lines = tab->Captions[b]->text().split('\n');
        ASSERT_EQ(lines.size(), 3);
        EXPECT_EQ(lines[0].toStdString(), ws->compartments.name(tab->items()[b]));
        EXPECT_TRUE(lines[1].startsWith("C = "));
        EXPECT_TRUE(lines[2].startsWith("m = ") && lines[2].endsWith(" kg"));
    }
    EXPECT_FALSE(look("distribution-none").isEmpty());
    EXPECT_TRUE(ui->warnings.empty());
}

TEST_F(Breakdown, SeasShowThreeColouredButtonsAndOpenNothing) {
    const int seas = static_cast<int>(ws->regions.count) + 2;
    TBreakdownTab* tab = open("Distribution", seas, 3);
    EXPECT_EQ(tab->ComboBox->currentText(), "Seas");
    EXPECT_EQ(shownitems(tab), (std::vector<std::uint32_t>{air, seawater, seased}));
    for (std::size_t b = 0; b < tab->Buttons.size(); ++b) {
        if (tab->Buttons[b]->isHidden()) continue;
        const QColor colour = tab->Bars[b]->palette().color(QPalette::Highlight);
        const std::uint32_t c = tab->items()[b];
        EXPECT_EQ(colour, c == air        ? QColor(166, 202, 240)
                          : c == seawater ? QColor(0, 0, 128)
                                          : QColor(255, 255, 255));
        EXPECT_GE(tab->Bars[b]->value(), 0);
        EXPECT_LE(tab->Bars[b]->value(), 100);
    }
    EXPECT_FALSE(look("distribution-seas").isEmpty());
    // No one box to break down: the press opens no window (a modal window
    // would block here).
    tab->Buttons[0]->click();
    EXPECT_TRUE(tab->breakdown(0).empty());
    // "Countries" hides only the sea boxes.
    open("Distribution", seas - 1, 1);
    EXPECT_EQ(shownitems(tab).size(), 10u);
}

TEST_F(Breakdown, AButtonOpensTheBreakdownOfItsBox) {
    const std::uint32_t region = static_cast<std::uint32_t>(ws->emi.region);
    TBreakdownTab* tab = open("Distribution", static_cast<int>(region) - 1, 1);
    QStringList lines;
    whenmodal([&lines](QWidget* w) {
        if (auto* memo = qobject_cast<TMemoForm*>(w)) lines = memo->lines();
        snapshot(w, QStringLiteral("distribution-breakdown"));
        w->close();
    });
    tab->Buttons[0]->click();
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0].toStdString(), "Region = " + ws->regions.name(region));
    EXPECT_EQ(lines[1].toStdString(), "Compartment = air");
    EXPECT_TRUE(lines[2].startsWith("MASS = ") && lines[2].endsWith(" kg chem"));
}

TEST_F(Breakdown, DoseBarsFollowTheirWholes) {
    const std::uint32_t region = static_cast<std::uint32_t>(ws->emi.region);
    ASSERT_TRUE(ws->regions.island(region));
    TBreakdownTab* tab = open("Dose", static_cast<int>(region) - 1, 2);
    ASSERT_EQ(tab->Buttons.size(), 8u);
    EXPECT_GT(shownbars(tab), 0);
    EXPECT_FALSE(look("dose").isEmpty());

    // A region without any dose has no whole to share: every bar hides.
    const float total = ws->results.DOSE_total.value(region);
    const char status = ws->results.DOSE_total.status(region);
    ws->results.DOSE_total.set(region, 0, stDefault);
    form->FormClick();
    EXPECT_EQ(shownbars(tab), 0);
    ws->results.DOSE_total.set(region, total, status);
    form->FormClick();
    EXPECT_GT(shownbars(tab), 0);

    // "World" under "None": intakes, no doses, no bars.
    open("Dose", static_cast<int>(ws->regions.nland), 0);
    EXPECT_EQ(tab->ComboBox->currentText(), "World");
    EXPECT_EQ(shownbars(tab), 0);
    for (QLabel* caption : tab->Captions) {
        EXPECT_FALSE(caption->text().contains("DOSE"));
        EXPECT_TRUE(caption->text().contains("INTAKE = "));
    }
    EXPECT_FALSE(look("dose-world-none").isEmpty());
}

TEST_F(Breakdown, BalanceShowsGrossThenNetAndAnEmptyBoxAsOneEmptyRow) {
    form->setactivetab("Balance");
    TBalanceTab* tab = form->BalanceTab;
    form->FormClick();
    const Tcelltable& table = tab->BalanceStringGrid->table();
    EXPECT_EQ(table.cols(), 6);
    EXPECT_EQ(table.cell(5, 0), "%");
    const Tbalance gross = grossbalance(ws->model, ws->emi.regcomp());
    EXPECT_EQ(table.rows(), static_cast<int>(gross.rows.size()) + 1);
    EXPECT_EQ(table.cell(1, table.rows() - 1), "residence time (s)");
    EXPECT_FALSE(look("balance").isEmpty());
    tab->NetFlowsCheckBox->click();
    EXPECT_EQ(tab->BalanceStringGrid->table().cols(), 3);
    EXPECT_FALSE(look("balance-net").isEmpty());
    // The sea water of a land region: no flow, no mass.
    tab->BalanceComboBox->setCurrentIndex(
        static_cast<int>(Tregcomps::regcompnumber(ws->emi.region, seawater)) - 1);
    EXPECT_EQ(tab->BalanceStringGrid->table().rows(), 2);
    EXPECT_EQ(tab->BalanceStringGrid->table().cell(0, 1), "");
    EXPECT_TRUE(ui->warnings.empty());
}

TEST_F(Breakdown, ResultsWithoutConcentrationsShowOneNoteAndNoWarnings) {
    // As after a singular system matrix.
    for (std::uint32_t k = 1; k <= ws->regcomps.n; ++k)
        ws->regcomps.CONC.set(k, 0, stUnknown);
    for (const QString& caption :
         {QStringLiteral("Balance"), QStringLiteral("Distribution"), QStringLiteral("Dose")}) {
        form->setactivetab(caption);
        form->FormClick();
    }
    EXPECT_TRUE(ui->warnings.empty());
    EXPECT_FALSE(form->BalanceTab->NoteLabel->isHidden());
    EXPECT_EQ(form->BalanceTab->BalanceStringGrid->table().rows(), 0);
    EXPECT_FALSE(form->DoseTab->NoteLabel->isHidden());
    EXPECT_EQ(shownbars(form->DoseTab), 0);
    EXPECT_FALSE(form->DoseTab->Buttons[0]->isEnabled());
}

} // namespace

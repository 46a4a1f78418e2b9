// The results window on the default world: the tabs' columns under each
// regionalisation, emission moves, the Check tab's stability, the number
// formats, a failed calculation and the heading double clicks.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <fstream>
#include <sstream>
#include <gtest/gtest.h>

#include "app/velmoraform.h"
#include "app/workspace.h"
#include "guisupport.h"
#include "guiworld.h"
#include "numeric/utilities.h"
#include "support/testsupport.h"
#include "toolkit/grid.h"
#include "toolkit/outputform.h"
#include "views/modelenvironmentform.h"
#include "views/opensubstanceform.h"
#include "views/resultsanalysistabs.h"
#include "views/resultsfactortabs.h"
#include "views/resultsmatrixtabs.h"
#include "views/resultsregionaltabs.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

const Tprograminfo program("Velmora");

class Results : public Tresultswindowtest {
protected:
    const Tcelltable& shown(const QString& caption) {
        form->setactivetab(caption);
        form->FormClick();
        return form->activetab()->grid()->table();
    }
    void regionalize(QRadioButton* button) { button->click(); }
    // The lines Print writes to a file from the tab, as shown or at full
    // precision.
    std::vector<std::string> printed(const QString& caption, bool full) {
        Ttempdir dir;
        const QString file = QString::fromStdString(dir.file("printed.txt"));
        form->setactivetab(caption);
        whenmodal([&file, full](QWidget* w) {
            auto* output = qobject_cast<TOutputForm*>(w);
            ASSERT_NE(output, nullptr) << w->metaObject()->className();
            output->fullprecision = full;
            output->DestinationClick(destinationfile);
            output->FileEdit->setText(file);
            output->OKButton->click();
        });
        form->PrintButton->click();
        std::ifstream in(file.toStdString());
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    int oecdcount() const {
        int k = 0;
        for (std::uint32_t i = 1; i <= ws->regions.count; ++i)
            k += oecdmember(*ws, i) ? 1 : 0;
        return k;
    }
};

struct Texpected {
    const char* caption;
    int full; // columns under "&Full" and "&OECD"
    int no;   // columns under "&No"
};

} // namespace

TEST_F(Results, FifteenTabsInOrderAndCaption) {
    EXPECT_EQ(form->tabcount(), 15);
    const char* captions[] = {"Environment characteristics",
                              "Dimensional parameters",
                              "Distributional parameters",
                              "Substance properties",
                              "Intermedia transfer parameters",
                              "Borders and flows",
                              "Equations",
                              "Concentrations",
                              "Balance",
                              "Distribution",
                              "Dose",
                              "Effect",
                              "Factors",
                              "All factors",
                              "Check"};
    for (int k = 0; k < 15; ++k)
        EXPECT_EQ(form->PageControl->tabText(k).toStdString(), captions[k]);
    EXPECT_EQ(form->windowTitle().toStdString(),
              "Results - ENVDATA2part1.xlsx; ENVDATA2part2.xlsx");
    EXPECT_TRUE(form->FullRadioButton->isChecked());
    EXPECT_EQ(form->EmissionRegionLabel->text().toStdString(),
              ws->regions.name(ws->startupregion()));
    EXPECT_EQ(form->EmissionCompartmentLabel->text().toStdString(), "air");
    EXPECT_EQ(form->SubstanceLabel->text().toStdString(), "Nitrobenzene");
}

TEST_F(Results, ColumnCountsUnderFullOecdAndNo) {
    const Texpected tabs[] = {{"Environment characteristics", 14, 4},
                              {"Dimensional parameters", 17, 1},
                              {"Distributional parameters", 35, 1},
                              {"Substance properties", 81, 22},
                              {"Intermedia transfer parameters", 49, 1},
                              {"Concentrations", 34, 18},
                              {"Effect", 22, 15}};
    const int members = oecdcount();
    ASSERT_GT(members, 20);
    ASSERT_LT(members, static_cast<int>(ws->regions.count));
    for (const Texpected& t : tabs) {
        SCOPED_TRACE(t.caption);
        regionalize(form->FullRadioButton);
        const Tcelltable& full = shown(t.caption);
        EXPECT_EQ(full.cols(), t.full);
        EXPECT_EQ(full.rows(), static_cast<int>(ws->regions.count) + 1);
        EXPECT_EQ(full.cell(0, 0), "Region");
        EXPECT_TRUE(form->AnalyzeValuesButton->isEnabled());
        regionalize(form->OECDRadioButton);
        const Tcelltable& oecd = shown(t.caption);
        EXPECT_EQ(oecd.cols(), t.full);
        EXPECT_EQ(oecd.rows(), members + 1);
        regionalize(form->NoRadioButton);
        const Tcelltable& no = shown(t.caption);
        EXPECT_EQ(no.cols(), t.no);
        EXPECT_EQ(no.rows(), 2);
        EXPECT_EQ(no.cell(0, 1), "All");
        EXPECT_FALSE(form->AnalyzeValuesButton->isEnabled());
        EXPECT_FALSE(form->WorldMapButton->isEnabled());
    }
    // The distance columns follow their settings.
    regionalize(form->FullRadioButton);
    ws->settings.DistancesDisplay = 1;
    ws->settings.NBordersDisplay = 2;
    EXPECT_EQ(shown("Concentrations").cols(), 36);
    EXPECT_EQ(shown("Effect").cols(), 24);
    ws->settings.DistancesDisplay = 0;
    ws->settings.NBordersDisplay = 0;
}

TEST_F(Results, OecdPercentColumnsSitOnTheirRegionsRows) {
    regionalize(form->OECDRadioButton);
    const Tcelltable& table = shown("Effect");
    const int column = 8; // RPICRtox_river, the first percent column
    ASSERT_EQ(table.cell(column, 0), "RPICRtox_river (" + ws->results.RPICRtox_river.unit() + ")");
    int checked = 0;
    for (int r = 1; r < table.rows(); ++r) {
        const std::uint32_t i = ws->regions.find(table.cell(0, r));
        ASSERT_GT(i, 0u) << table.cell(0, r);
        EXPECT_TRUE(oecdmember(*ws, i));
        const Tnumpars& p = ws->results.RPICRtox_river;
        EXPECT_EQ(table.cell(column, r), celltextpercent(ws->settings, p.value(i), p.status(i)))
            << table.cell(0, r);
        // The RCR columns of the same row belong to the same region.
        EXPECT_EQ(table.cell(1, r), celltextlong(ws->settings, ws->results.RCRtox_river.value(i),
                                                 ws->results.RCRtox_river.status(i)));
        ++checked;
    }
    EXPECT_GT(checked, 20);
}

TEST_F(Results, NextAtTheLastRegcompWrapsToTheFirst) {
    ws->emi.last();
    ws->calculate();
    form->setactivetab("Concentrations");
    form->FormClick();
    const std::uint32_t last = ws->emi.regcomp();
    EXPECT_EQ(ws->regions.island(static_cast<std::uint32_t>(ws->emi.region)), false);
    form->NextEmissionButton->click();
    EXPECT_LT(ws->emi.regcomp(), last);
    EXPECT_EQ(ws->emi.regcomp(), 1u);
    EXPECT_EQ(form->EmissionRegionLabel->text().toStdString(), ws->regions.name(1));
    EXPECT_EQ(form->EmissionCompartmentLabel->text().toStdString(), "air");
    EXPECT_TRUE(form->stalereason().isEmpty()) << form->stalereason().toStdString();
    // The concentrations shown are those of the new emission.
    const Tcelltable& table = form->activetab()->grid()->table();
    EXPECT_EQ(table.cell(1, 1),
              celltextlong(ws->settings, ws->results.C_air.value(1), ws->results.C_air.status(1)));
    form->PreviousEmissionButton->click();
    EXPECT_EQ(ws->emi.regcomp(), last);
}

TEST_F(Results, BrowsingEveryTabLeavesTheUnusedLinesAlone) {
    form->setactivetab("Check");
    form->CheckTab->UnusedCheckBox->setChecked(true);
    const QString before = form->CheckTab->CheckMemo->toPlainText();
    ASSERT_TRUE(before.contains(QStringLiteral(" not used")));
    ASSERT_TRUE(before.contains(QStringLiteral("MSR = ")));
    for (QRadioButton* mode : {form->FullRadioButton, form->OECDRadioButton, form->NoRadioButton}) {
        regionalize(mode);
        for (int k = 0; k < form->tabcount(); ++k) {
            form->PageControl->setCurrentIndex(k);
            for (QComboBox* list : form->PageControl->currentWidget()->findChildren<QComboBox*>())
                for (int item = 0; item < list->count() && item < 12; ++item)
                    list->setCurrentIndex(item);
        }
    }
    regionalize(form->FullRadioButton);
    form->setactivetab("Check");
    EXPECT_EQ(form->CheckTab->CheckMemo->toPlainText(), before);
    EXPECT_TRUE(ui->warnings.empty()) << ui->warnings.front();
}

TEST_F(Results, TenDigitsForRegionsSevenForScalars) {
    ws->settings.Digits = 10;
    const Tcelltable& regional = shown("Dimensional parameters");
    // V_air of the first region: a large volume, no exponent needed.
    const std::string text = regional.cell(5, 1);
    int digits = 0;
    for (char ch : text.substr(0, text.find_first_of("eE")))
        digits += std::isdigit(static_cast<unsigned char>(ch)) ? 1 : 0;
    EXPECT_EQ(digits, 10) << text;
    regionalize(form->NoRadioButton);
    const Tcelltable& scalars = shown("Substance properties");
    int longest = 0;
    for (int c = 1; c < scalars.cols(); ++c) {
        const std::string s = scalars.cell(c, 1);
        int d = 0;
        bool leading = true;
        for (char ch : s.substr(0, s.find_first_of("eE"))) {
            if (!std::isdigit(static_cast<unsigned char>(ch))) continue;
            if (leading && ch == '0') continue;
            leading = false;
            ++d;
        }
        longest = std::max(longest, d);
    }
    EXPECT_EQ(longest, 7);
}

TEST_F(Results, AnEmissionAtSeaStartsTheDoseListOnWorld) {
    const std::uint32_t sea = ws->regions.nland + 1;
    ws->emi.set(sea, air);
    ws->calculate();
    TModelEnvironmentForm atsea(*ws, program);
    EXPECT_EQ(atsea.DoseTab->ComboBox->currentText().toStdString(), "World");
    EXPECT_EQ(atsea.DistributionTab->ComboBox->currentText().toStdString(), ws->regions.name(sea));
    EXPECT_EQ(atsea.BalanceTab->BalanceComboBox->currentText().toStdString(),
              ws->regcomps.regcompname(ws->emi.regcomp()));
    atsea.show();
    atsea.setactivetab("Concentrations");
    const Tcelltable& table = atsea.activetab()->grid()->table();
    const int row = static_cast<int>(sea);
    EXPECT_EQ(table.cell(0, row), ws->regions.name(sea));
    // A sea region has no soil: its soil concentration is hidden.
    EXPECT_EQ(table.cell(2, row), ws->settings.HiddenText);
    EXPECT_NE(table.cell(1, row), ws->settings.UnknownText);
}

TEST_F(Results, AnIncompleteSubstanceWarnsOnceAndShowsNoOldValues) {
    const std::string name = ws->sub.name.value;
    const float molw = ws->sub.MOLW.value;
    const char status = ws->sub.MOLW.status;
    ws->sub.MOLW.setunknown();
    form->setactivetab("Concentrations");
    whenmodal([](QWidget* w) { w->close(); });
    form->OpenSubstanceButton->click();
    EXPECT_EQ(ui->warnings.size(), 1u);
    EXPECT_FALSE(form->stalereason().isEmpty());
    const Tcelltable& table = form->activetab()->grid()->table();
    EXPECT_EQ(table.cell(1, 1), ws->settings.UnknownText);
    EXPECT_EQ(shown("Environment characteristics").cell(1, 1), ws->settings.UnknownText);
    ws->sub.MOLW.set(molw, status);
    ws->sub.testcomplete();
    // Moving on calculates again and the values come back.
    form->NextEmissionButton->click();
    EXPECT_TRUE(form->stalereason().isEmpty());
    EXPECT_NE(shown("Concentrations").cell(1, 1), ws->settings.UnknownText);
    (void)name;
}

TEST_F(Results, HeadingDoubleClicksSortAndRestore) {
    const Tcelltable& table = shown("Dimensional parameters");
    form->StringGridDblClick(5, 0); // V_air
    std::vector<float> values;
    bool special = false;
    for (int r = 1; r < table.rows(); ++r) {
        const std::string s = table.cell(5, r);
        if (s == ws->settings.UnknownText || s == ws->settings.HiddenText) {
            special = true;
            continue;
        }
        // Unknown and hidden go last.
        EXPECT_FALSE(special) << "value after a special text in row " << r;
        values.push_back(std::stof(s));
    }
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    EXPECT_NE(table.cell(5, 0).find(" (v)"), std::string::npos);
    form->StringGridDblClick(0, 0);
    EXPECT_EQ(form->activetab()->grid()->table().cell(0, 1), ws->regions.name(1));
}

TEST_F(Results, EquationsItemsNameTheirWholeParameter) {
    form->setactivetab("Equations");
    QComboBox* list = form->EquationsTab->EquationsComboBox;
    EXPECT_EQ(list->itemText(0).toStdString(), "meaning");
    const Tcelltable& meaning = form->activetab()->grid()->table();
    EXPECT_EQ(meaning.cols(), 5);
    EXPECT_EQ(meaning.cell(4, 0), "Used");
    list->setCurrentIndex(list->findText(QStringLiteral("ADV_outside"), Qt::MatchStartsWith));
    const Tcelltable& column = form->activetab()->grid()->table();
    EXPECT_EQ(column.cols(), 2);
    EXPECT_EQ(column.cell(1, 0), "ADV_outside");
    EXPECT_EQ(column.rows(), static_cast<int>(ws->regcomps.n) + 1);
    EXPECT_FALSE(form->EquationsTab->EquationsButton->isEnabled());
    list->setCurrentIndex(list->findText(QStringLiteral("Abig ("), Qt::MatchStartsWith));
    const Tcelltable& matrix = form->activetab()->grid()->table();
    EXPECT_EQ(matrix.cols(), static_cast<int>(ws->regcomps.n) + 1);
    EXPECT_EQ(matrix.cell(0, 1), ws->regcomps.regcompname(1));
    EXPECT_TRUE(form->EquationsTab->EquationsButton->isEnabled());
}

TEST_F(Results, ColumnStatisticsOnStoredValues) {
    form->setactivetab("Dimensional parameters");
    form->activetab()->grid()->setcurrentcell(5, 1);
    const std::vector<std::string> lines = form->currentcolumnstatistics();
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], "Parameter =  V_air (" + ws->results.V_air.unit() + ")");
    EXPECT_EQ(lines[1], "N = " + std::to_string(ws->regions.count));
}

// "Column" on a column without numbers used to let "Invalid argument"
// through the event loop: the results window vanished and the next F9
// crashed. It says so now and the window stays.
TEST_F(Results, ColumnStatisticsWithoutNumbersSaySoAndKeepTheWindow) {
    form->setactivetab("Equations");
    form->activetab()->grid()->setcurrentcell(1, 1); // "Region" of "meaning"
    ASSERT_TRUE(form->AnalyzeValuesButton->isEnabled());
    form->AnalyzeValuesButton->click();
    ASSERT_EQ(ui->warnings.size(), 1u);
    EXPECT_EQ(ui->warnings[0],
              "Column statistics need at least two numbers: the column \"Region\" holds none.");
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(QApplication::topLevelWidgets().contains(form.get()));
}

// In Concentration mode the Factors tab has no factors to analyse.
TEST_F(Results, FactorsInConcentrationModeSayWhereTheyAreComputed) {
    form->setactivetab("Factors");
    EXPECT_FALSE(form->AnalyzeValuesButton->isEnabled());
    EXPECT_FALSE(form->WorldMapButton->isEnabled());
    EXPECT_FALSE(form->FactorsTab->FactorsButton->isEnabled());
    EXPECT_TRUE(form->FactorsTab->NoteLabel->isVisibleTo(form.get()));
    EXPECT_NE(form->FactorsTab->NoteLabel->text().indexOf(QStringLiteral("Factors mode")), -1);
}

// Seven headings that all begin "CFtoxpot_" must be read whole, with room
// for the sort mark.
TEST_F(Results, AllFactorsHeadingsAreReadWhole) {
    form->setactivetab("All factors");
    Tgrid* grid = form->AllFactorsTab->AllFactorsStringGrid;
    const QFontMetrics metrics = grid->fontMetrics();
    for (int c = 3; c <= 9; ++c) {
        const QString heading = QString::fromStdString(grid->table().cell(c, 0));
        ASSERT_TRUE(heading.startsWith(QStringLiteral("CFtoxpot_"))) << heading.toStdString();
        EXPECT_GE(grid->colwidth(c), metrics.horizontalAdvance(heading + QStringLiteral(" (v)")))
            << heading.toStdString();
    }
    // The region names head the columns of a pair matrix the same way.
    form->setactivetab("Borders and flows");
    Tgrid* pairs = form->BordersTab->grid();
    const int column = static_cast<int>(ws->regions.find("Bosnia and Herzegovina"));
    ASSERT_GT(column, 0);
    EXPECT_GE(pairs->colwidth(column),
              metrics.horizontalAdvance(QStringLiteral("Bosnia and Herzegovina (v)")));
}

TEST_F(Results, PrintWritesTheHeaderAndTheActiveGridToAFile) {
    const std::vector<std::string> lines = printed("Dimensional parameters", false);
    ASSERT_GT(lines.size(), 5u + ws->regions.count - 1);
    EXPECT_EQ(lines[0], "Environment = ENVDATA2part1.xlsx; ENVDATA2part2.xlsx");
    EXPECT_EQ(lines[3], "Emission = " + ws->regcomps.regcompname(ws->emi.regcomp()));
    EXPECT_EQ(lines[5].rfind("Region\t", 0), 0u) << lines[5];
    EXPECT_EQ(lines[6].rfind(ws->regions.name(1) + "\t", 0), 0u) << lines[6];
}

// "Full precision" in the output options writes the stored values, not the
// three digits the window shows.
TEST_F(Results, PrintWithFullPrecisionWritesTheStoredValues) {
    const std::vector<std::string> lines = printed("Dimensional parameters", true);
    ASSERT_GT(lines.size(), 6u);
    // Row 6 is region 1; V_air is the fifth value column.
    std::vector<std::string> cells;
    std::istringstream row(lines[6]);
    for (std::string cell; std::getline(row, cell, '\t');)
        cells.push_back(cell);
    ASSERT_GT(cells.size(), 5u);
    const float vair = ws->results.V_air.value(1);
    EXPECT_EQ(cells[5], numtostr(static_cast<extended>(vair), 9));
    EXPECT_EQ(static_cast<float>(std::stod(cells[5])), vair) << "nine digits give the float back";
    EXPECT_NE(cells[5], form->activetab()->grid()->table().cell(5, 1));
}

TEST_F(Results, PrintHeaderLines) {
    std::vector<std::string> lines = printheader(*ws, false);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Environment = ENVDATA2part1.xlsx; ENVDATA2part2.xlsx");
    EXPECT_EQ(lines[1], "Substance = Nitrobenzene");
    EXPECT_EQ(lines[3], "Emission = " + ws->regcomps.regcompname(ws->emi.regcomp()));
    EXPECT_EQ(printheader(*ws, true).size(), 3u);
    const Tref saved = ws->ref;
    ws->ref.clear();
    EXPECT_EQ(printheader(*ws, false)[2], "Reference = -");
    ws->ref = saved;
    ws->settings.FactorsMode = true;
    EXPECT_EQ(printheader(*ws, false).size(), 3u);
    ws->settings.FactorsMode = false;
}

TEST_F(Results, EveryTabRendered) {
    for (int k = 0; k < form->tabcount(); ++k) {
        form->PageControl->setCurrentIndex(k);
        const QString name = QStringLiteral("results-%1").arg(k, 2, 10, QLatin1Char('0'));
        EXPECT_FALSE(snapshot(form.get(), name).isEmpty()) << name.toStdString();
    }
}

TEST_F(Results, BordersListFollowsTheDisplaySettings) {
    EXPECT_EQ(form->BordersTab->BordersComboBox->count(), 7);
    ws->settings.DistancesDisplay = 2;
    ws->settings.NBordersDisplay = 1;
    TModelEnvironmentForm other(*ws, program);
    QComboBox* list = other.BordersTab->BordersComboBox;
    ASSERT_EQ(list->count(), 8);
    EXPECT_EQ(itemname(list->itemText(0).toStdString()), "BORDERWINDSPEED");
    EXPECT_EQ(itemname(list->itemText(1).toStdString()), "DISTANCE");
    EXPECT_EQ(itemname(list->itemText(2).toStdString()), "ADV_air_air");
    list->setCurrentIndex(1);
    EXPECT_EQ(other.BordersTab->selected(), &ws->results.DISTANCE);
    ws->settings.DistancesDisplay = 0;
    ws->settings.NBordersDisplay = 0;
    form->setactivetab("Borders and flows");
    const Tcelltable& table = form->activetab()->grid()->table();
    EXPECT_EQ(table.cols(), static_cast<int>(ws->regions.count) + 1);
    EXPECT_EQ(table.cell(0, 2), ws->regions.name(2));
    EXPECT_EQ(table.cell(2, 0), ws->regions.name(2));
    EXPECT_TRUE(form->AnalyzeValuesButton->isEnabled());
    EXPECT_FALSE(form->WorldMapButton->isEnabled());
}

TEST_F(Results, FactorsModeHidesTheEmissionAndAllFactors) {
    ws->settings.FactorsMode = true;
    TModelEnvironmentForm factors(*ws, program);
    ws->settings.FactorsMode = false;
    EXPECT_TRUE(factors.EmissionGroupBox->isHidden());
    EXPECT_FALSE(
        factors.PageControl->isTabVisible(factors.PageControl->indexOf(factors.AllFactorsTab)));
    QComboBox* equations = factors.EquationsTab->EquationsComboBox;
    EXPECT_EQ(itemname(equations->itemText(equations->count() - 1).toStdString()), "Abig^-1");
    // The factor matrices with their units.
    QComboBox* matrices = factors.FactorsTab->FactorsComboBox;
    ASSERT_EQ(matrices->count(), 7);
    EXPECT_EQ(matrices->itemText(0).toStdString(), "FF (s*m^-3)");
    EXPECT_EQ(matrices->itemText(4).toStdString(), "XF*FF (s*kg^-1 BW*d^-1)");
    for (int k = 0; k < matrices->count(); ++k)
        EXPECT_EQ(matrices->itemText(k).indexOf(QStringLiteral("?")), -1);
    // Concentration-mode effects are no results of Factors mode.
    ws->settings.FactorsMode = true;
    factors.setactivetab("Effect");
    factors.FormClick();
    EXPECT_EQ(factors.activetab()->grid()->table().cell(1, 1), ws->settings.UnknownText);
    EXPECT_TRUE(factors.StaleLabel->text().contains(QStringLiteral("Factors mode")));
    ws->settings.FactorsMode = false;
    EXPECT_TRUE(form->EmissionGroupBox->isVisibleTo(form.get()));
}

TEST(ResultsMenu, BoxesAndRcrOpenTheWindowOnTheirTab) {
    Tguiworld world;
    Trecorderui ui;
    TVelmoraForm main(world.path(), &ui);
    std::string opened;
    whenmodal([&opened](QWidget* w) {
        auto* results = qobject_cast<TModelEnvironmentForm*>(w);
        if (results) opened = results->activetab()->caption().toStdString();
        w->close();
    });
    main.BoxesItem->trigger();
    EXPECT_EQ(opened, "Environment characteristics");
    whenmodal([&opened](QWidget* w) {
        auto* results = qobject_cast<TModelEnvironmentForm*>(w);
        if (results) opened = results->activetab()->caption().toStdString();
        w->close();
    });
    main.RCRItem->trigger();
    EXPECT_EQ(opened, "Effect");
}

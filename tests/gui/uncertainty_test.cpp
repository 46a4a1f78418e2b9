// The Uncertainty window on the small world: it starts from the substance's
// defaults, the input dialog refuses a bad row naming its field, Start fills
// the percentiles, contributions and chart, Cancel keeps the inputs and shows
// nothing, a bad setting names its row and column, Load and Save keep the
// settings, and the main window opens it from the Results menu.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <gtest/gtest.h>

#include "app/velmoraform.h"
#include "app/workspace.h"
#include "guisupport.h"
#include "guiworld.h"
#include "support/testsupport.h"
#include "toolkit/grid.h"
#include "toolkit/outputform.h"
#include "toolkit/plot.h"
#include "views/uncertaininputform.h"
#include "views/uncertaintyform.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

const Tprograminfo program("Velmora");

// Pixels of a picture that are neither white nor black: the bars and curves.
int colouredpixels(const QImage& picture) {
    int n = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = picture.pixel(x, y);
            if (qRed(p) != qGreen(p) || qGreen(p) != qBlue(p)) ++n;
        }
    return n;
}

class UncertaintyWindow : public ::testing::Test {
protected:
    Tguiworld world;
    Trecorderui ui;
    Tworkspace ws{ui, world.path()};
    Tuncertaintysettings settings;
    std::unique_ptr<TUncertaintyForm> form;

    void SetUp() override {
        ws.initialize();
        ASSERT_TRUE(ws.env.present && ws.sub.present);
        form = std::make_unique<TUncertaintyForm>(ws, program, settings);
        form->show();
        ui.reset();
    }
    std::string cell(Tgrid* grid, int c, int r) { return grid->table().cell(c, r); }
};

} // namespace

TEST_F(UncertaintyWindow, StartsFromTheDefaultsAndShowsARun) {
    ASSERT_FALSE(settings.inputs.empty());
    EXPECT_EQ(form->InputsGrid->table().rows(), static_cast<int>(settings.inputs.size()) + 1);
    EXPECT_EQ(cell(form->InputsGrid, 1, 0), "parameter");
    EXPECT_EQ(cell(form->InputsGrid, 1, 1), settings.inputs[0].parameter);
    EXPECT_FALSE(form->PageControl->isTabEnabled(0)) << "nothing to show before a run";
    form->DrawsSpinBox->setValue(40);
    form->SeedEdit->setText(QStringLiteral("5"));
    form->ResultsEdit->setText(QStringLiteral("iFtot, CONC[Aland_air]"));
    form->StartButton->click();
    ASSERT_NE(form->lastrun(), nullptr) << (ui.warnings.empty() ? "" : ui.warnings[0]);
    EXPECT_TRUE(form->PageControl->isTabEnabled(0));
    EXPECT_EQ(cell(form->PercentilesGrid, 0, 1), "iFtot");
    EXPECT_EQ(cell(form->PercentilesGrid, 0, 2), "CONC[Aland_air]");
    EXPECT_EQ(cell(form->PercentilesGrid, 3, 2), "40");
    EXPECT_EQ(cell(form->ContributionsGrid, 1, 0), settings.inputs[0].key());
    EXPECT_NE(form->StatusLabel->text().indexOf(QStringLiteral("40 draws (0 failed)")), -1)
        << form->StatusLabel->text().toStdString();
    EXPECT_EQ(settings.draws, 40u);
    EXPECT_EQ(settings.seed, 5u);
    form->PageControl->setCurrentIndex(2);
    form->ResultComboBox->setCurrentIndex(1);
    const int histogram = colouredpixels(form->ChartImage->picture());
    EXPECT_GT(histogram, 500);
    form->CumulativeButton->setChecked(true);
    EXPECT_GT(colouredpixels(form->ChartImage->picture()), 100);
    EXPECT_NE(colouredpixels(form->ChartImage->picture()), histogram);
    form->ContributionButton->setChecked(true);
    EXPECT_GT(colouredpixels(form->ChartImage->picture()), 500);
    snapshot(form.get(), QStringLiteral("uncertainty"));
    // Written as SVG, the chart is a drawing: its bars and title, not pixels.
    Ttempdir dir;
    const QString file = QString::fromStdString(dir.file("contributions.svg"));
    whenmodal([&file](QWidget* w) {
        auto* output = qobject_cast<TOutputForm*>(w);
        ASSERT_NE(output, nullptr) << w->metaObject()->className();
        output->DestinationClick(destinationfile);
        output->style = picturesvg;
        output->FileEdit->setText(file);
        output->OKButton->click();
    });
    form->PrintButton->click();
    QFile svg(file);
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(svg.readAll());
    EXPECT_FALSE(text.contains(QStringLiteral("<image"))) << "pixels, not a drawing";
    EXPECT_TRUE(text.contains(QStringLiteral("Contribution to the variance of CONC[Aland_air]")));
}

TEST_F(UncertaintyWindow, BadSettingsNameTheirRowAndColumnAndCancelShowsNothing) {
    settings.inputs[1].distribution.second = 0.5; // a GSD below 1
    form->DrawsSpinBox->setValue(10);
    form->StartButton->click();
    ASSERT_EQ(ui.warnings.size(), 1u);
    EXPECT_EQ(ui.warnings[0].rfind("Row 2 of the inputs, column \"value 2\"", 0), 0u)
        << ui.warnings[0];
    EXPECT_EQ(form->InputsGrid->row(), 2);
    EXPECT_EQ(form->lastrun(), nullptr);
    settings.inputs[1].distribution.second = 2;
    form->DrawsSpinBox->setValue(0);
    ui.reset();
    form->StartButton->click();
    ASSERT_EQ(ui.warnings.size(), 1u);
    EXPECT_NE(ui.warnings[0].find("draws"), std::string::npos) << ui.warnings[0];
    // Cancel in the progress window: the inputs stay, no result shows.
    const std::size_t inputs = settings.inputs.size();
    form->DrawsSpinBox->setValue(100000);
    ui.reset();
    ui.cancelafterpolls = 2;
    form->StartButton->click();
    EXPECT_EQ(form->lastrun(), nullptr);
    EXPECT_EQ(settings.inputs.size(), inputs);
    EXPECT_FALSE(form->PageControl->isTabEnabled(0));
    EXPECT_TRUE(form->StatusLabel->text().startsWith(QStringLiteral("Cancelled")));
}

TEST_F(UncertaintyWindow, InputDialogRefusesARowNamingItsField) {
    Tuncertaininput start;
    start.parameter = "TEMP";
    start.distribution = {Tdistributionkind::normal, 1, 0.02, 0, {}, {}};
    TUncertainInputForm dialog(ws.model, start, form.get());
    dialog.RegionComboBox->setCurrentText(QStringLiteral("Bland"));
    dialog.ValueEdits[4]->setText(QStringLiteral("0.5"));
    dialog.ValueEdits[3]->setText(QStringLiteral("0.9"));
    dialog.OKButtonClick();
    ASSERT_EQ(ui.warnings.size(), 1u);
    EXPECT_EQ(ui.warnings[0], "upper bound: the upper bound must be above the lower bound");
    EXPECT_EQ(dialog.result(), 0);
    dialog.ValueEdits[4]->setText(QStringLiteral("1.1"));
    dialog.DistributionComboBox->setCurrentIndex(3);
    EXPECT_TRUE(dialog.ValueEdits[2]->isVisibleTo(&dialog));
    dialog.ValueEdits[1]->setText(QStringLiteral("1"));
    dialog.ValueEdits[2]->setText(QStringLiteral("1.05"));
    dialog.ValueEdits[0]->setText(QStringLiteral("0.95"));
    dialog.OKButtonClick();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    Tuncertaininput in = dialog.input();
    EXPECT_EQ(in.key(), "TEMP[Bland]");
    EXPECT_EQ(in.distribution.kind, Tdistributionkind::triangular);
    EXPECT_EQ(in.distribution.upper, 1.1);
}

TEST_F(UncertaintyWindow, SaveAndLoadKeepTheSettings) {
    Ttempdir dir;
    const QString file = QString::fromStdString(dir.file("u.xlsx"));
    form->savefilename = [&] { return file; };
    form->loadfilename = [&] { return file; };
    form->DrawsSpinBox->setValue(321);
    form->SeedEdit->setText(QStringLiteral("77"));
    form->SaveButton->click();
    const Tuncertaintysettings saved = settings;
    form->InputsGrid->setcurrentcell(1, 1);
    form->RemoveButton->click();
    form->DrawsSpinBox->setValue(5);
    EXPECT_EQ(settings.inputs.size(), saved.inputs.size() - 1);
    form->LoadButton->click();
    EXPECT_TRUE(ui.warnings.empty()) << ui.warnings[0];
    EXPECT_EQ(settings.inputs.size(), saved.inputs.size());
    EXPECT_EQ(settings.inputs[0].key(), saved.inputs[0].key());
    EXPECT_EQ(form->DrawsSpinBox->value(), 321);
    EXPECT_EQ(form->SeedEdit->text(), QStringLiteral("77"));
}

TEST(UncertaintyMenu, ResultsMenuOpensTheWindow) {
    Tguiworld world;
    Trecorderui ui;
    TVelmoraForm main(world.path(), &ui);
    main.show();
    ASSERT_TRUE(main.UncertaintyItem->isEnabled());
    bool opened = false;
    whenmodal([&](QWidget* w) {
        opened = w->objectName() == QStringLiteral("UncertaintyForm");
        w->close();
    });
    main.UncertaintyItem->trigger();
    EXPECT_TRUE(opened);
}

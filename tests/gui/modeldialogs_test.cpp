// The dialogs of the model: Aggregation level, Set emission, Substance type,
// Open substance, Open environment and Settings, each over a workspace of
// the small world (Aland, Bland, Asea).
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

#include "app/workspace.h"
#include "guisupport.h"
#include "guiworld.h"
#include "numeric/errors.h"
#include "views/aggregationform.h"
#include "views/openenvironmentform.h"
#include "views/opensubstanceform.h"
#include "views/setemissionform.h"
#include "views/settingsform.h"
#include "views/substancetypeform.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

std::string text(const QWidget* w) {
    if (auto* l = qobject_cast<const QLabel*>(w)) return l->text().toStdString();
    if (auto* e = qobject_cast<const QLineEdit*>(w)) return e->text().toStdString();
    return {};
}

std::vector<std::string> items(const QComboBox* list) {
    std::vector<std::string> r;
    for (int i = 0; i < list->count(); ++i)
        r.push_back(list->itemText(i).toStdString());
    return r;
}

std::vector<std::string> items(const QListWidget* list) {
    std::vector<std::string> r;
    for (int i = 0; i < list->count(); ++i)
        r.push_back(list->item(i)->text().toStdString());
    return r;
}

// A workspace initialised from the small world's directory, as at start-up.
class Dialogs : public ::testing::Test {
protected:
    Tguiworld world;
    Trecorderui ui;
    Tworkspace ws{ui, world.path()};
    void SetUp() override { ws.initialize(); }
    bool hasprogress(const std::string& t) const {
        return std::find(ui.progresstexts.begin(), ui.progresstexts.end(), t) !=
               ui.progresstexts.end();
    }
};

} // namespace

// Aggregation level

TEST_F(Dialogs, AggregationShowsTheLevelsInFourColumnsDownwards) {
    TAggregationForm form(ws.settings, ws.regions);
    EXPECT_EQ(form.windowTitle().toStdString(), "Aggregation level");
    EXPECT_EQ(form.GroupBox->title().toStdString(), "Aggregation of emission regions");
    EXPECT_EQ(form.LevelRadioGroup->title().toStdString(), "Aggregation level");
    const char* names[16] = {"Separate countries/seas",
                             "Continents",
                             "Oceans",
                             "UNDP regions",
                             "GLO",
                             "Near East",
                             "Middle East",
                             "UCTE",
                             "CENTREL",
                             "NORDEL",
                             "IIASA-POP world regions",
                             "OECD",
                             "EU27",
                             "EU27+3",
                             "Land/sea",
                             "World"};
    form.show();
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(form.LevelRadioButtons[static_cast<std::size_t>(k)]->text().toStdString(),
                  names[k]);
    // Item 1 below item 0, item 4 to the right of item 0 in the next column.
    auto pos = [&](int k) { return form.LevelRadioButtons[static_cast<std::size_t>(k)]->pos(); };
    EXPECT_EQ(pos(1).x(), pos(0).x());
    EXPECT_GT(pos(1).y(), pos(0).y());
    EXPECT_EQ(pos(4).y(), pos(0).y());
    EXPECT_GT(pos(4).x(), pos(3).x());
    EXPECT_EQ(pos(12).y(), pos(0).y());
    EXPECT_EQ(pos(15).x(), pos(12).x());
    EXPECT_EQ(form.RegionLabel->text().toStdString(), "Emission region");
    EXPECT_FALSE(snapshot(&form, QStringLiteral("aggregation")).isEmpty());
}

TEST_F(Dialogs, AggregationFillsTheListPerLevelAndEnablesItForAChoice) {
    TAggregationForm form(ws.settings, ws.regions);
    form.show();
    // Level 0 at start: nothing to choose.
    EXPECT_TRUE(form.LevelRadioButtons[0]->isChecked());
    EXPECT_EQ(form.RegionComboBox->count(), 0);
    EXPECT_FALSE(form.RegionComboBox->isEnabled());
    EXPECT_FALSE(form.RegionLabel->isEnabled());
    // UNDP regions: two distinct values, first selected, list enabled.
    form.LevelRadioButtons[3]->click();
    EXPECT_EQ(items(form.RegionComboBox), (std::vector<std::string>{"U1", "U2"}));
    EXPECT_EQ(form.RegionComboBox->currentIndex(), 0);
    EXPECT_TRUE(form.RegionComboBox->isEnabled());
    EXPECT_TRUE(form.RegionLabel->isEnabled());
    // Continents: both countries in Europa, one value, nothing to choose.
    form.LevelRadioButtons[1]->click();
    EXPECT_EQ(items(form.RegionComboBox), (std::vector<std::string>{"Europa"}));
    EXPECT_FALSE(form.RegionComboBox->isEnabled());
    // Oceans: the sea's ocean.
    form.LevelRadioButtons[2]->click();
    EXPECT_EQ(items(form.RegionComboBox), (std::vector<std::string>{"Oceanus"}));
    // Near East: empty for every country.
    form.LevelRadioButtons[5]->click();
    EXPECT_EQ(form.RegionComboBox->count(), 0);
    EXPECT_FALSE(form.RegionComboBox->isEnabled());
    form.LevelRadioButtons[14]->click();
    EXPECT_EQ(items(form.RegionComboBox), (std::vector<std::string>{"Land", "Sea"}));
    form.LevelRadioButtons[15]->click();
    EXPECT_EQ(form.RegionComboBox->count(), 0);
}

TEST_F(Dialogs, AggregationShowsTheSettingAndOKStoresTheChoice) {
    ws.settings.AggregationLevel = 3;
    ws.settings.AggregationGroup = "U2";
    TAggregationForm form(ws.settings, ws.regions);
    form.show();
    EXPECT_TRUE(form.LevelRadioButtons[3]->isChecked());
    EXPECT_EQ(form.RegionComboBox->currentText().toStdString(), "U2");
    form.LevelRadioButtons[14]->click();
    form.RegionComboBox->setCurrentIndex(1);
    form.OKButton->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(ws.settings.AggregationLevel, 14);
    EXPECT_EQ(ws.settings.AggregationGroup, "Sea");
}

TEST_F(Dialogs, AggregationOKWithoutAChangeKeepsAGroupItsListDoesNotOffer) {
    // A world of land only: its own level lists "Sea" alone, since the sea
    // regions were left out.
    ws.settings.AggregationLevel = 14;
    ws.settings.AggregationGroup = "Land";
    ws.initialize();
    TAggregationForm form(ws.settings, ws.regions);
    form.show();
    EXPECT_EQ(form.RegionComboBox->currentText().toStdString(), "Land");
    form.OKButton->click();
    EXPECT_EQ(ws.settings.AggregationLevel, 14);
    EXPECT_EQ(ws.settings.AggregationGroup, "Land");
}

TEST_F(Dialogs, AggregationCancelStoresNothing) {
    TAggregationForm form(ws.settings, ws.regions);
    form.show();
    form.LevelRadioButtons[3]->click();
    form.CancelButton->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(ws.settings.AggregationLevel, 0);
    EXPECT_EQ(ws.settings.AggregationGroup, "");
}

// Set emission

TEST_F(Dialogs, SetEmissionListsRegionsAndCompartmentsAndSelectsThePreset) {
    TSetEmissionForm form(ws.regions, ws.compartments);
    EXPECT_EQ(form.windowTitle().toStdString(), "Set emission");
    EXPECT_EQ(form.RegionLabel->text().toStdString(), "&Region");
    EXPECT_EQ(form.CompartmentLabel->text().toStdString(), "&Compartment");
    EXPECT_EQ(items(form.RegionComboBox), (std::vector<std::string>{"Aland", "Bland", "Asea"}));
    ASSERT_EQ(form.CompartmentComboBox->count(), 12);
    EXPECT_EQ(form.CompartmentComboBox->itemText(4).toStdString(), "river water");
    EXPECT_EQ(form.RegionComboBox->maxVisibleItems(), 20);
    EXPECT_EQ(form.CompartmentComboBox->maxVisibleItems(), 20);
    EXPECT_FALSE(form.RegionComboBox->isEditable());
    EXPECT_EQ(form.RegionComboBox->currentIndex(), 0);
    form.region = 2;
    form.compartment = 5;
    form.show();
    EXPECT_EQ(form.RegionComboBox->currentIndex(), 1);
    EXPECT_EQ(form.CompartmentComboBox->currentIndex(), 4);
    EXPECT_FALSE(snapshot(&form, QStringLiteral("setemission")).isEmpty());
    form.RegionComboBox->setCurrentIndex(2);
    form.CompartmentComboBox->setCurrentIndex(10);
    form.OKButton->click();
    EXPECT_EQ(form.region, 3);
    EXPECT_EQ(form.compartment, 11);
}

TEST_F(Dialogs, SetEmissionCancelKeepsThePreset) {
    TSetEmissionForm form(ws.regions, ws.compartments);
    form.region = 2;
    form.compartment = 1;
    form.show();
    form.RegionComboBox->setCurrentIndex(0);
    form.CancelButton->click();
    EXPECT_EQ(form.region, 2);
    EXPECT_EQ(form.compartment, 1);
}

// Substance type

TEST_F(Dialogs, SubstanceTypeEnablesOKForATypeAndTheClassForOrganic) {
    TSubstanceTypeForm form;
    EXPECT_EQ(form.windowTitle().toStdString(), "Substance type");
    EXPECT_EQ(form.TypeRadioGroup->title().toStdString(), "Type");
    EXPECT_EQ(form.MetalRadioButton->text().toStdString(), "&Metal (inorganic)");
    EXPECT_EQ(form.OrganicRadioButton->text().toStdString(), "&Organic");
    EXPECT_EQ(form.GasRadioButton->text().toStdString(), "&Gas");
    ASSERT_EQ(form.ClassComboBox->count(), 18);
    EXPECT_EQ(form.ClassComboBox->itemText(0).toStdString(), "Organic (unclassified)");
    EXPECT_EQ(form.ClassComboBox->itemText(9).toStdString(), "nitrobenzene");
    EXPECT_EQ(form.ClassComboBox->itemText(17).toStdString(), "uracil");
    EXPECT_EQ(form.ClassComboBox->currentIndex(), 0);
    form.show();
    EXPECT_FALSE(form.OKButton->isEnabled());
    EXPECT_FALSE(form.ClassComboBox->isEnabled());
    form.MetalRadioButton->click();
    EXPECT_TRUE(form.OKButton->isEnabled());
    EXPECT_FALSE(form.ClassComboBox->isEnabled());
    form.OrganicRadioButton->click();
    EXPECT_TRUE(form.ClassComboBox->isEnabled());
    EXPECT_FALSE(snapshot(&form, QStringLiteral("substancetype")).isEmpty());
    form.GasRadioButton->click();
    EXPECT_FALSE(form.ClassComboBox->isEnabled());
}

TEST_F(Dialogs, SubstanceTypePresetForAMetalSelectsNoClass) {
    TSubstanceTypeForm form;
    form.preset({0, -1});
    form.show();
    EXPECT_TRUE(form.MetalRadioButton->isChecked());
    EXPECT_EQ(form.ClassComboBox->currentIndex(), -1);
    // Back to nothing selected.
    form.preset({-1, 0});
    EXPECT_EQ(form.TypeButtons->checkedId(), -1);
    EXPECT_FALSE(form.OKButton->isEnabled());
}

TEST_F(Dialogs, SubstanceEditOfTheTypeGoesThroughTheDialog) {
    // Nitrobenzene of class "nitrobenzene": the dialog opens on Organic with
    // that class; the user turns it into an aniline.
    Tqtsubstancetypedialog dialog;
    int presettype = -2, presetclass = -2;
    whenmodal([&](QWidget* w) {
        auto* f = qobject_cast<TSubstanceTypeForm*>(w);
        if (!f) {
            w->close();
            return;
        }
        presettype = f->TypeButtons->checkedId();
        presetclass = f->ClassComboBox->currentIndex();
        f->ClassComboBox->setCurrentIndex(5);
        f->OKButton->click();
    });
    ws.sub.edit("substype", 0, &dialog);
    EXPECT_EQ(presettype, 1);
    EXPECT_EQ(presetclass, 9);
    EXPECT_EQ(ws.sub.substype.value, "aniline");
    EXPECT_TRUE(ws.sub.changed);
    // Cancel leaves the type.
    whenmodal([](QWidget* w) {
        if (auto* f = qobject_cast<TSubstanceTypeForm*>(w)) {
            f->MetalRadioButton->click();
            f->CancelButton->click();
        } else {
            w->close();
        }
    });
    ws.sub.edit("substype", 0, &dialog);
    EXPECT_EQ(ws.sub.substype.value, "aniline");
}

// Open substance

TEST_F(Dialogs, OpenSubstanceListsTheSheetWithCountsInTheCaption) {
    ui.reset();
    TOpenSubstanceForm form(ws);
    EXPECT_EQ(text(form.FileEdit), ws.settings.SubstancesFile);
    EXPECT_EQ(items(form.TypeComboBox), (std::vector<std::string>{"VELMORA"}));
    std::vector<std::string> names;
    for (const auto& s : guisubstances())
        names.push_back(s.name);
    EXPECT_EQ(items(form.SubstanceListBox), names);
    EXPECT_EQ(form.windowTitle().toStdString(), "Open substance (8/8)");
    EXPECT_EQ(form.SubstanceListBox->currentRow(), 0);
    EXPECT_TRUE(form.RecalculateCheckBox->isChecked());
    EXPECT_EQ(form.RecalculateCheckBox->text().toStdString(), "Recalculate results");
    EXPECT_TRUE(hasprogress("Opening " + ws.settings.SubstancesFile));
    EXPECT_EQ(ui.openprogress, 0);
    EXPECT_EQ(form.FileLabel->text().toStdString(), "&File");
    EXPECT_EQ(form.TypeLabel->text().toStdString(), "&Type");
    EXPECT_EQ(form.SubstanceLabel->text().toStdString(), "S&ubstance");
    EXPECT_EQ(form.SearchLabel->text().toStdString(), "&Search");
}

TEST_F(Dialogs, OpenSubstanceSearchesTheBeginningOfTheNameInEitherCase) {
    TOpenSubstanceForm form(ws);
    form.show();
    ui.reset();
    form.SearchEdit->setText(QStringLiteral("nI"));
    EXPECT_EQ(items(form.SubstanceListBox),
              (std::vector<std::string>{"Nitrobenzene", "nitrotoluene", "NItrogen dioxide"}));
    EXPECT_EQ(form.windowTitle().toStdString(), "Open substance (3/8)");
    EXPECT_EQ(form.SubstanceListBox->currentRow(), 0);
    EXPECT_TRUE(hasprogress("Searching nI"));
    EXPECT_EQ(ui.openprogress, 0);
    // "ene" stands inside names only: nothing.
    form.SearchEdit->setText(QStringLiteral("ene"));
    EXPECT_EQ(form.windowTitle().toStdString(), "Open substance (0/8)");
    EXPECT_EQ(form.SubstanceListBox->currentRow(), -1);
    EXPECT_FALSE(form.OKButton->isEnabled());
    form.SearchEdit->setText(QStringLiteral("a"));
    EXPECT_EQ(items(form.SubstanceListBox), (std::vector<std::string>{"Aniline"}));
    EXPECT_TRUE(form.OKButton->isEnabled());
    form.SearchEdit->clear();
    EXPECT_EQ(form.windowTitle().toStdString(), "Open substance (8/8)");
    form.SearchEdit->setText(QStringLiteral("Nitro"));
    EXPECT_FALSE(snapshot(&form, QStringLiteral("opensubstance")).isEmpty());
}

TEST_F(Dialogs, OpenSubstanceDoubleClickImportsWithoutRecalculating) {
    TOpenSubstanceForm form(ws);
    form.RecalculateCheckBox->setChecked(false);
    form.show();
    form.SearchEdit->setText(QStringLiteral("meth"));
    ui.reset();
    QListWidgetItem* item = form.SubstanceListBox->item(0);
    ASSERT_NE(item, nullptr);
    const QRect r = form.SubstanceListBox->visualItemRect(item);
    // A double click as the window system delivers it: a click, then the second press.
    QTest::mouseClick(form.SubstanceListBox->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(form.SubstanceListBox->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(ws.sub.name.value, "Methane");
    EXPECT_EQ(ws.sub.substype.value, "gas");
    EXPECT_TRUE(ws.sub.changed);
    EXPECT_TRUE(hasprogress("Importing Methane"));
    EXPECT_FALSE(hasprogress("Calculating results"));
}

TEST_F(Dialogs, OpenSubstanceFailedImportStaysOpenAfterTheErrorBox) {
    TOpenSubstanceForm form(ws);
    form.show();
    form.SearchEdit->setText(QStringLiteral("bad"));
    std::string name, message;
    whenmodal([&](QWidget* w) {
        name = w->objectName().toStdString();
        if (auto* box = qobject_cast<QMessageBox*>(w)) message = box->text().toStdString();
        w->close();
    });
    form.OKButton->click();
    EXPECT_EQ(name, "ErrorBox");
    // The message says where the bad value is.
    EXPECT_EQ(message, "substances.xlsx sheet \"VELMORA\" cell F11 (MOLW, Badstuff): 'abc' is not "
                       "a valid num value");
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(ui.openprogress, 0);
}

TEST(OpenSubstanceForm, WithoutAWorkbookTheListIsEmptyAndOKDisabled) {
    Ttempdir empty;
    Trecorderui ui;
    Tworkspace ws(ui, empty.path().string());
    TOpenSubstanceForm form(ws);
    ASSERT_EQ(ui.warnings.size(), 1u);
    EXPECT_NE(ui.warnings[0].find("substances.xlsx"), std::string::npos);
    EXPECT_EQ(form.SubstanceListBox->count(), 0);
    EXPECT_EQ(form.windowTitle().toStdString(), "Open substance (0/0)");
    EXPECT_FALSE(form.OKButton->isEnabled());
    // Naming a workbook that exists opens it, since none is open yet.
    Tguiworld world;
    form.FileEdit->setText(QString::fromStdString(world.dir.file("substances.xlsx")));
    form.FileEdit->setModified(true);
    emit form.FileEdit->editingFinished();
    ASSERT_TRUE(ws.SubstancesWorkbook);
    EXPECT_EQ(form.windowTitle().toStdString(), "Open substance (8/8)");
    EXPECT_TRUE(form.OKButton->isEnabled());
}

// Open environment

TEST_F(Dialogs, OpenEnvironmentShowsTheFilesWithOnlyTheFirstChecked) {
    TOpenEnvironmentForm form(ws);
    form.show();
    EXPECT_EQ(form.windowTitle().toStdString(), "Open environment");
    EXPECT_EQ(form.File1CheckBox->text().toStdString(), "File1");
    EXPECT_EQ(form.File2CheckBox->text().toStdString(), "File2");
    EXPECT_EQ(form.Browse1Button->text().toStdString(), "Browse ...");
    EXPECT_EQ(text(form.File1Edit), ws.settings.ParametersFile);
    EXPECT_EQ(text(form.File2Edit), ws.settings.BordersFile);
    EXPECT_TRUE(form.File1CheckBox->isChecked());
    EXPECT_FALSE(form.File2CheckBox->isChecked());
    EXPECT_TRUE(form.File1Edit->isEnabled());
    EXPECT_FALSE(form.File2Edit->isEnabled());
    EXPECT_FALSE(snapshot(&form, QStringLiteral("openenvironment")).isEmpty());
    form.File2CheckBox->click();
    EXPECT_TRUE(form.File2Edit->isEnabled());
    form.File1CheckBox->click();
    EXPECT_FALSE(form.File1Edit->isEnabled());
    EXPECT_FALSE(form.Browse1Button->isEnabled());
}

TEST_F(Dialogs, OpenEnvironmentBrowseOffersExcelFiles) {
    TOpenEnvironmentForm form(ws);
    form.show();
    QStringList filters;
    whenmodal([&](QWidget* w) {
        if (auto* d = qobject_cast<QFileDialog*>(w)) {
            filters = d->nameFilters();
            d->selectFile(QString::fromStdString(ws.settings.BordersFile));
            QMetaObject::invokeMethod(d, "accept");
        } else {
            w->close();
        }
    });
    form.Browse1Button->click();
    EXPECT_EQ(filters, QStringList{QStringLiteral("Excel files (*.xlsx *.xls)")});
    EXPECT_EQ(QFileInfo(form.File1Edit->text()).fileName().toStdString(), "ENVDATA2part2.xlsx");
}

TEST_F(Dialogs, OpenEnvironmentOKTakesTheCheckedFileOverAndImports) {
    const std::string other = world.dir.file("other.xlsx");
    const std::string borders = ws.settings.BordersFile;
    Tsmallworld w = Tsmallworld::standard();
    w.countries[0].values["TEMP"] = "25";
    w.writeparameters(other);
    TOpenEnvironmentForm form(ws);
    form.show();
    form.File1Edit->setText(QString::fromStdString(other));
    form.File2Edit->setText(QStringLiteral("ignored.xlsx")); // unchecked: not taken
    ui.reset();
    form.OKButton->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(ws.settings.ParametersFile, other);
    EXPECT_EQ(ws.settings.BordersFile, borders);
    // 25 degrees Celsius in Aland's row of the new workbook.
    EXPECT_FLOAT_EQ(static_cast<float>(ws.env.TEMP.values.getvalue(1)), 298.0f);
    EXPECT_TRUE(ws.env.present);
    ASSERT_GE(ui.progresstexts.size(), 3u);
    EXPECT_EQ(ui.progresstexts[0], "Clearing old settings");
    EXPECT_EQ(ui.progresstexts[1], "Opening file");
    EXPECT_EQ(ui.progresstexts[2], "Importing 1st set of parameters");
    EXPECT_FALSE(hasprogress("Importing 2nd set of parameters"));
}

TEST_F(Dialogs, OpenEnvironmentImportErrorClosesTheDialogAndReachesTheCaller) {
    const std::string bad = world.dir.file("bad.xlsx");
    Tsmallworld w = Tsmallworld::standard();
    w.countries[1].values["BW"] = "heavy";
    w.writeparameters(bad);
    TOpenEnvironmentForm form(ws);
    whenmodal([&](QWidget* d) {
        if (d != &form) {
            d->close();
            return;
        }
        form.File1Edit->setText(QString::fromStdString(bad));
        form.OKButton->click();
    });
    try {
        form.run();
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
        std::string m = e.what();
        EXPECT_EQ(m.rfind("bad.xlsx sheet \"countryparameters\" cell ", 0), 0u) << m;
        EXPECT_NE(m.find("(BW, Bland): 'heavy' is not a valid num value"), std::string::npos) << m;
    }
    EXPECT_FALSE(form.isVisible());
    // All or nothing: the environment and the settings are those of before.
    EXPECT_TRUE(ws.env.present);
    EXPECT_NE(ws.settings.ParametersFile, bad);
}

// Settings

TEST_F(Dialogs, SettingsShowTheWorkspace) {
    ws.settings.Digits = 4;
    ws.settings.EmissionAmount = 2.5f;
    ws.settings.NBordersDisplay = 2;
    ws.settings.DistancesDisplay = 1;
    ws.settings.WithRestime = true;
    ws.settings.BordersFile = world.dir.file("missing.xlsx");
    TSettingsForm form(ws);
    EXPECT_EQ(form.windowTitle().toStdString(), "Settings");
    EXPECT_EQ(form.DigitsSpinEdit->value(), 4);
    EXPECT_EQ(form.DigitsSpinEdit->minimum(), 1);
    EXPECT_EQ(form.DigitsSpinEdit->maximum(), 10);
    EXPECT_EQ(text(form.EmissionEdit), "2.5");
    EXPECT_EQ(text(form.EmissionUnitLabel), "kg*s^-1");
    EXPECT_EQ(text(form.InfValueEdit), "1E20");
    EXPECT_EQ(text(form.InfTextEdit), "inf");
    EXPECT_EQ(text(form.UnknownTextEdit), "?");
    EXPECT_EQ(text(form.HiddenTextEdit), "-");
    EXPECT_EQ(text(form.ParametersFileEdit), ws.settings.ParametersFile);
    EXPECT_EQ(text(form.SubstancesFileEdit), ws.settings.SubstancesFile);
    // A date for the file there, a dash for the one missing.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                    .match(form.ParametersDateLabel->text())
                    .hasMatch())
        << text(form.ParametersDateLabel);
    EXPECT_EQ(text(form.BordersDateLabel), "-");
    EXPECT_EQ(form.CalculationsButtons->checkedId(), 0);
    EXPECT_EQ(form.CalculationsButtons->button(1)->text().toStdString(), "Factors");
    EXPECT_TRUE(form.WithRestimeCheckBox->isChecked());
    EXPECT_EQ(form.NBordersButtons->checkedId(), 2);
    EXPECT_EQ(form.DistancesButtons->checkedId(), 1);
    EXPECT_EQ(form.DistancesButtons->button(1)->text().toStdString(), "For emitting region");
    EXPECT_EQ(text(form.ReferenceSubstanceLabel), "Substance: Nitrobenzene");
    EXPECT_EQ(text(form.ReferenceRegionLabel), "Region: Bland");
    EXPECT_EQ(text(form.ReferenceCompartmentLabel), "Compartment: air");
    EXPECT_TRUE(form.ClearButton->isEnabled());
    EXPECT_EQ(form.CloseButton->text().toStdString(), "Close");
    form.show();
    EXPECT_FALSE(snapshot(&form, QStringLiteral("settings")).isEmpty());
    // The date follows a path as it is typed.
    form.BordersFileEdit->setText(QString::fromStdString(ws.settings.ParametersFile));
    EXPECT_EQ(text(form.BordersDateLabel), text(form.ParametersDateLabel));
}

TEST_F(Dialogs, SettingsClearAndTakePresentTheReference) {
    TSettingsForm form(ws);
    form.show();
    form.DigitsSpinEdit->setValue(7); // a pending edit survives both buttons
    form.ClearButton->click();
    EXPECT_FALSE(ws.ref.held());
    EXPECT_EQ(text(form.ReferenceSubstanceLabel), "Substance: -");
    EXPECT_EQ(text(form.ReferenceRegionLabel), "Region: -");
    EXPECT_EQ(text(form.ReferenceCompartmentLabel), "Compartment: -");
    EXPECT_FALSE(form.ClearButton->isEnabled());
    ws.emi.set(1, air);
    // The start-up calculation left the impact scores known.
    ASSERT_TRUE(form.TakePresentButton->isEnabled());
    form.TakePresentButton->click();
    EXPECT_TRUE(ws.ref.held());
    EXPECT_EQ(text(form.ReferenceSubstanceLabel), "Substance: Nitrobenzene");
    EXPECT_EQ(text(form.ReferenceRegionLabel), "Region: Aland");
    EXPECT_TRUE(form.ClearButton->isEnabled());
    EXPECT_EQ(form.DigitsSpinEdit->value(), 7);
}

TEST_F(Dialogs, SettingsTakePresentNeedsAKnownReferenceResult) {
    ws.results.clear();
    TSettingsForm form(ws);
    EXPECT_FALSE(form.TakePresentButton->isEnabled());
}

TEST_F(Dialogs, SettingsCloseTakesEveryEditOver) {
    TSettingsForm form(ws);
    form.show();
    form.DigitsSpinEdit->setValue(5);
    form.EmissionEdit->setText(QStringLiteral("2"));
    form.InfValueEdit->setText(QStringLiteral("1e30"));
    form.InfTextEdit->setText(QStringLiteral("oo"));
    form.UnknownTextEdit->setText(QStringLiteral("??"));
    form.HiddenTextEdit->setText(QStringLiteral("--"));
    form.ParametersFileEdit->setText(QStringLiteral("p.xlsx"));
    form.BordersFileEdit->setText(QStringLiteral("b.xlsx"));
    form.SubstancesFileEdit->setText(QStringLiteral("s.xlsx"));
    form.CalculationsButtons->button(1)->click();
    form.WithRestimeCheckBox->setChecked(true);
    form.NBordersButtons->button(1)->click();
    form.DistancesButtons->button(2)->click();
    form.CloseButton->click();
    EXPECT_FALSE(form.isVisible());
    const Tsettings& s = ws.settings;
    EXPECT_EQ(s.Digits, 5);
    EXPECT_FLOAT_EQ(s.EmissionAmount, 2.0f);
    EXPECT_FLOAT_EQ(s.InfValue, 1e30f);
    EXPECT_EQ(s.InfText, "oo");
    EXPECT_EQ(s.UnknownText, "??");
    EXPECT_EQ(s.HiddenText, "--");
    EXPECT_EQ(s.ParametersFile, "p.xlsx");
    EXPECT_EQ(s.BordersFile, "b.xlsx");
    EXPECT_EQ(s.SubstancesFile, "s.xlsx");
    EXPECT_TRUE(s.FactorsMode);
    EXPECT_TRUE(s.WithRestime);
    EXPECT_EQ(s.NBordersDisplay, 1);
    EXPECT_EQ(s.DistancesDisplay, 2);
    // The emission already stored keeps its amount; the next one gets 2.
    EXPECT_FLOAT_EQ(static_cast<float>(ws.emi.to_air.values.getvalue(2)), 1.0f);
    ws.emi.set(1, air);
    EXPECT_FLOAT_EQ(static_cast<float>(ws.emi.to_air.values.getvalue(1)), 2.0f);
}

TEST_F(Dialogs, SettingsStopAtTheFirstEntryThatIsNotANumber) {
    TSettingsForm form(ws);
    whenmodal([&](QWidget* d) {
        if (d != &form) {
            d->close();
            return;
        }
        form.DigitsSpinEdit->setValue(2);
        form.EmissionEdit->setText(QStringLiteral("3"));
        form.InfValueEdit->setText(QStringLiteral("1,5"));
        form.InfTextEdit->setText(QStringLiteral("oo"));
        form.CalculationsButtons->button(1)->click();
        form.CloseButton->click();
    });
    try {
        form.run();
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'1,5' is not a valid num value");
    }
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(ws.settings.Digits, 2);
    EXPECT_FLOAT_EQ(ws.settings.EmissionAmount, 3.0f);
    EXPECT_FLOAT_EQ(ws.settings.InfValue, 1e20f);
    EXPECT_EQ(ws.settings.InfText, "inf");
    EXPECT_FALSE(ws.settings.FactorsMode);
}

TEST_F(Dialogs, SettingsKeepAnUntouchedNumberExactly) {
    ws.settings.EmissionAmount = 1.23456f;
    TSettingsForm form(ws);
    EXPECT_EQ(text(form.EmissionEdit), "1.23");
    form.show();
    form.CloseButton->click();
    EXPECT_FLOAT_EQ(ws.settings.EmissionAmount, 1.23456f);
    // Typed in, the shown text is what counts.
    TSettingsForm again(ws);
    again.show();
    again.EmissionEdit->setText(QStringLiteral("1.234"));
    again.CloseButton->click();
    EXPECT_FLOAT_EQ(ws.settings.EmissionAmount, 1.234f);
}

TEST(SettingsForm, DateOfAMissingFileIsADash) {
    EXPECT_EQ(TSettingsForm::filedate(QStringLiteral("/no/such/file.xlsx")).toStdString(), "-");
    EXPECT_EQ(TSettingsForm::filedate(QString()).toStdString(), "-");
}

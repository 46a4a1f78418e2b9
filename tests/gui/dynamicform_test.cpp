// The "Dynamic" window on the default world: a run fills the plot, the mass
// balance and the approach table; Cancel keeps the complete output times; a
// bad row ends in the error box naming it; the map shows a result at a time
// and the plot prints as a picture.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <gtest/gtest.h>

#include "app/workspace.h"
#include "dynamic/timetext.h"
#include "guisupport.h"
#include "support/testsupport.h"
#include "toolkit/geoform.h"
#include "toolkit/grid.h"
#include "toolkit/outputform.h"
#include "views/dynamicform.h"
#include "views/timechart.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

const Tprograminfo program(std::string(VELMORA_BIN_DIR) + "/Velmora");

class DynamicForm : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ui = new Trecorderui;
        ws = new Tworkspace(*ui, bindir());
        ws->initialize();
    }
    static void TearDownTestSuite() {
        delete ws;
        delete ui;
    }
    void SetUp() override {
        ASSERT_TRUE(ws->env.present);
        ui->reset();
        ui->cancelafterpolls = -1;
        form = std::make_unique<TDynamicForm>(*ws, program);
        form->show();
        form->UntilEdit->setText(QStringLiteral("20y"));
        form->TimesEdit->setText(QStringLiteral("lin:10"));
    }
    void TearDown() override { form.reset(); }

    static Trecorderui* ui;
    static Tworkspace* ws;
    std::unique_ptr<TDynamicForm> form;
};

Trecorderui* DynamicForm::ui = nullptr;
Tworkspace* DynamicForm::ws = nullptr;

} // namespace

TEST_F(DynamicForm, ARunFillsThePlotTheBalanceAndTheTimes) {
    // The first row is the present emission, constant to the end.
    ASSERT_EQ(form->EmissionsTable->rowCount(), 1);
    EXPECT_EQ(form->EmissionsTable->item(0, 0)->text().toStdString(),
              ws->regions.name(ws->regcomps.regionof(ws->emi.regcomp())));
    ASSERT_TRUE(form->StartButtonClick());
    EXPECT_EQ(form->result().outputs.size(), 10u);
    EXPECT_EQ(form->BalanceGrid->table().rows(), 11);
    EXPECT_EQ(form->BalanceGrid->table().cell(0, 10), "20 y");
    EXPECT_EQ(form->TimesGrid->table().cell(0, 1), "World");
    EXPECT_NE(form->TimesGrid->table().cell(4, 1), "-"); // 50 % of the steady state
    ASSERT_EQ(form->Chart->chart().series.size(), 1u);
    EXPECT_EQ(form->Chart->chart().series[0].name, QStringLiteral("World"));
    EXPECT_EQ(form->Chart->chart().series[0].values.back(), form->result().outputs.back().present);
    EXPECT_EQ(form->MapTimeComboBox->count(), 10);

    // Two boxes as concentrations, on a logarithmic time axis.
    form->ShowComboBox->setCurrentIndex(2);
    EXPECT_TRUE(form->QuantityComboBox->isEnabled());
    form->QuantityComboBox->setCurrentIndex(1);
    form->SeriesListBox->item(1)->setSelected(true);
    form->LogTimeCheckBox->setChecked(true);
    ASSERT_EQ(form->Chart->chart().series.size(), 2u);
    EXPECT_TRUE(form->Chart->chart().logtime);
    EXPECT_EQ(form->Chart->chart().unit, QStringLiteral("Concentration (kg*m^-3)"));
    form->resize(1180, 720);
    EXPECT_FALSE(snapshot(form.get(), QStringLiteral("dynamic-plot")).isEmpty());
    form->PageControl->setCurrentIndex(2);
    EXPECT_FALSE(snapshot(form.get(), QStringLiteral("dynamic-times")).isEmpty());
}

TEST_F(DynamicForm, CancelKeepsTheCompleteOutputTimes) {
    ui->cancelafterpolls = ui->polls + 40;
    ASSERT_TRUE(form->StartButtonClick());
    EXPECT_TRUE(form->result().cancelled);
    const std::size_t kept = form->result().outputs.size();
    EXPECT_LT(kept, 10u);
    EXPECT_EQ(form->BalanceGrid->table().rows(), int(kept) + 1);
    EXPECT_TRUE(form->StatusLabel->text().startsWith(QStringLiteral("Cancelled; kept ")))
        << form->StatusLabel->text().toStdString();
}

TEST_F(DynamicForm, ABadRowEndsInTheErrorBoxNamingIt) {
    form->EmissionsTable->setCurrentCell(0, 0);
    form->AddButtonClick();
    form->EmissionsTable->item(1, 2)->setText(QStringLiteral("5y"));
    form->EmissionsTable->item(1, 3)->setText(QStringLiteral("2y"));
    QString message;
    whenmodal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        message = box->text();
        box->accept();
    });
    EXPECT_FALSE(form->StartButtonClick());
    EXPECT_EQ(message.toStdString(), "row 2, column to: the piece ends before it starts");
    EXPECT_TRUE(form->result().outputs.empty());
}

TEST_F(DynamicForm, TheMapShowsAResultAtATimeAndThePlotPrints) {
    ASSERT_TRUE(form->StartButtonClick());
    form->MapResultComboBox->setCurrentIndex(form->MapResultComboBox->findData("C_air"));
    ASSERT_GT(form->MapResultComboBox->currentIndex(), 0);
    form->MapTimeComboBox->setCurrentIndex(4);
    std::unique_ptr<TGeoForm> map = form->worldmap();
    EXPECT_FALSE(map->places().empty());

    Ttempdir dir;
    form->PageControl->setCurrentIndex(0);
    const auto print = [&dir, this](const std::string& name, int style) {
        const QString file = QString::fromStdString(dir.file(name));
        whenmodal([&file, style](QWidget* w) {
            auto* output = qobject_cast<TOutputForm*>(w);
            ASSERT_NE(output, nullptr);
            output->DestinationClick(destinationfile);
            output->style = style;
            output->FileEdit->setText(file);
            output->OKButton->click();
        });
        form->PrintButtonClick();
        return file;
    };
    QImage printed(print("plot.png", picturepng));
    EXPECT_EQ(printed.size(), QSize(900, 560));
    // As SVG the plot is a drawing: its lines and title, not an embedded image.
    QFile svg(print("plot.svg", picturesvg));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(svg.readAll());
    EXPECT_FALSE(text.contains(QStringLiteral("<image"))) << "pixels, not a drawing";
    EXPECT_GT(text.count(QStringLiteral("<polyline")) + text.count(QStringLiteral("<path")), 3);
    EXPECT_TRUE(text.contains(form->Chart->chart().title.toHtmlEscaped()));
}

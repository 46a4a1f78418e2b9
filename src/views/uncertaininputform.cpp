#include "views/uncertaininputform.h"

#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "numeric/utilities.h"
#include "toolkit/forms.h"

namespace velmora {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

std::string text(const QLineEdit* edit) {
    return edit->text().trimmed().toStdString();
}

QString numbertext(double x) {
    return qs(shortesttext(x));
}

// The buttons under a dialog's fields.
void addbuttons(QDialog* dialog, QVBoxLayout* layout, QPushButton*& ok, QPushButton*& cancel) {
    cancel = new QPushButton(dialog);
    ok = new QPushButton(dialog);
    standardbutton(cancel, 1);
    standardbutton(ok, 0);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(cancel);
    row->addWidget(ok);
    layout->addLayout(row);
}

} // namespace

TUncertainInputForm::TUncertainInputForm(Tmodel& model, const Tuncertaininput& start,
                                         QWidget* parent)
    : QDialog(parent), model_(model) {
    setObjectName(QStringLiteral("UncertainInputForm"));
    setWindowTitle(QStringLiteral("Uncertain input"));
    auto* grid = new QGridLayout;
    auto field = [&](int row, const QString& caption, QWidget* w) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(w);
        grid->addWidget(label, row, 0);
        grid->addWidget(w, row, 1);
        return label;
    };
    ParameterComboBox = new QComboBox(this);
    ParameterComboBox->setObjectName(QStringLiteral("ParameterComboBox"));
    ParameterComboBox->setEditable(true);
    ParameterComboBox->setMaxVisibleItems(20);
    for (const Tsubentry& e : model.sub.catalogue())
        if (std::holds_alternative<Tnumpar*>(e.parameter) ||
            std::holds_alternative<Tnumpars*>(e.parameter))
            ParameterComboBox->addItem(qs(e.name()));
    for (const Tenventry& e : model.env.catalogue())
        if (std::holds_alternative<Tnumpar*>(e.parameter) ||
            std::holds_alternative<Tnumpars*>(e.parameter))
            ParameterComboBox->addItem(qs(e.name()));
    ParameterComboBox->completer()->setCaseSensitivity(Qt::CaseSensitive);
    ParameterComboBox->setCurrentText(qs(start.parameter));
    field(0, QStringLiteral("&Parameter"), ParameterComboBox);

    RegionComboBox = new QComboBox(this);
    RegionComboBox->setObjectName(QStringLiteral("RegionComboBox"));
    RegionComboBox->setMaxVisibleItems(20);
    RegionComboBox->addItem(QString::fromLatin1(allregions));
    for (std::uint32_t r = 1; r <= model.regions.count; ++r)
        RegionComboBox->addItem(qs(model.regions.name(r)));
    const int region = RegionComboBox->findText(qs(start.region));
    RegionComboBox->setCurrentIndex(region >= 0 ? region : 0);
    field(1, QStringLiteral("&Region"), RegionComboBox);

    DistributionComboBox = new QComboBox(this);
    DistributionComboBox->setObjectName(QStringLiteral("DistributionComboBox"));
    for (auto kind : {Tdistributionkind::lognormal, Tdistributionkind::normal,
                      Tdistributionkind::uniform, Tdistributionkind::triangular})
        DistributionComboBox->addItem(qs(distributionname(kind)));
    DistributionComboBox->setCurrentIndex(static_cast<int>(start.distribution.kind));
    field(2, QStringLiteral("&Distribution"), DistributionComboBox);

    ScaleComboBox = new QComboBox(this);
    ScaleComboBox->setObjectName(QStringLiteral("ScaleComboBox"));
    ScaleComboBox->addItem(qs(scalename(Tinputscale::factor)));
    ScaleComboBox->addItem(qs(scalename(Tinputscale::value)));
    ScaleComboBox->setCurrentIndex(start.scale == Tinputscale::factor ? 0 : 1);
    ScaleComboBox->setToolTip(QStringLiteral("factor: the distribution multiplies the value the "
                                             "parameter holds; value: it is the value"));
    field(3, QStringLiteral("&Scale"), ScaleComboBox);

    const Tdistribution& d = start.distribution;
    const std::optional<double> starts[5] = {d.first, d.second, d.third, d.lower, d.upper};
    for (int k = 0; k < 5; ++k) {
        ValueEdits[k] = new QLineEdit(this);
        ValueEdits[k]->setObjectName(QStringLiteral("ValueEdit%1").arg(k + 1));
        if (starts[k]) ValueEdits[k]->setText(numbertext(*starts[k]));
        ValueLabels[k] = field(4 + k, QString(), ValueEdits[k]);
    }
    ValueLabels[3]->setText(QStringLiteral("&Lower bound"));
    ValueLabels[4]->setText(QStringLiteral("&Upper bound"));
    for (int k = 3; k < 5; ++k)
        ValueEdits[k]->setPlaceholderText(QStringLiteral("none"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    addbuttons(this, layout, OKButton, CancelButton);
    OKButton->setAutoDefault(false);
    disconnect(OKButton, nullptr, this, nullptr);
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
    connect(DistributionComboBox, &QComboBox::currentIndexChanged, this,
            [this] { DistributionChange(); });
    DistributionChange();
    formsetup(this, 2);
}

void TUncertainInputForm::DistributionChange() {
    static const char* const captions[4][3] = {{"&Median", "&GSD", ""},
                                               {"&Mean", "&SD", ""},
                                               {"Mi&nimum", "Ma&ximum", ""},
                                               {"Mi&nimum", "M&ode", "Ma&ximum"}};
    const int kind = std::max(0, DistributionComboBox->currentIndex());
    for (int k = 0; k < 3; ++k)
        ValueLabels[k]->setText(QString::fromLatin1(captions[kind][k]));
    const bool triangular = kind == static_cast<int>(Tdistributionkind::triangular);
    ValueLabels[2]->setVisible(triangular);
    ValueEdits[2]->setVisible(triangular);
}

Tuncertaininput TUncertainInputForm::input() const {
    Tuncertaininput in;
    in.parameter = ParameterComboBox->currentText().trimmed().toStdString();
    in.region = RegionComboBox->currentText().toStdString();
    in.distribution.kind = static_cast<Tdistributionkind>(DistributionComboBox->currentIndex());
    in.scale = ScaleComboBox->currentIndex() == 0 ? Tinputscale::factor : Tinputscale::value;
    const bool triangular = in.distribution.kind == Tdistributionkind::triangular;
    std::optional<double> values[5];
    for (int k = 0; k < 5; ++k) {
        const std::string t = text(ValueEdits[k]);
        const bool needed = k < 2 || (k == 2 && triangular);
        if (t.empty()) {
            if (needed)
                throw Euncertaintysetting("inputs", 1, valuecolumn(k + 1),
                                          "a number is needed here");
            continue;
        }
        if (k == 2 && !triangular) continue;
        try {
            values[k] = static_cast<double>(strtonum(t));
        } catch (const EConvertError&) {
            throw Euncertaintysetting("inputs", 1, valuecolumn(k + 1),
                                      "'" + t + "' is not a number");
        }
    }
    in.distribution.first = *values[0];
    in.distribution.second = *values[1];
    in.distribution.third = values[2].value_or(0);
    in.distribution.lower = values[3];
    in.distribution.upper = values[4];
    return in;
}

void TUncertainInputForm::OKButtonClick() {
    try {
        checkinputs(model_, {input()}, {});
        accept();
    } catch (const Euncertaintysetting& e) {
        model_.ui().warn(e.column + ": " + e.problem);
        QWidget* focus = ParameterComboBox;
        if (e.column == Tinputcolumns::region) focus = RegionComboBox;
        for (int k = 0; k < 5; ++k)
            if (e.column == valuecolumn(k + 1)) focus = ValueEdits[k];
        focus->setFocus();
    }
}

// ---- rank correlation ---------------------------------------------------------------

TRankCorrelationForm::TRankCorrelationForm(const std::vector<std::string>& inputs, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("RankCorrelationForm"));
    setWindowTitle(QStringLiteral("Rank correlation"));
    auto* grid = new QGridLayout;
    FirstComboBox = new QComboBox(this);
    SecondComboBox = new QComboBox(this);
    for (const std::string& key : inputs) {
        FirstComboBox->addItem(qs(key));
        SecondComboBox->addItem(qs(key));
    }
    if (SecondComboBox->count() > 1) SecondComboBox->setCurrentIndex(1);
    CorrelationEdit = new QLineEdit(QStringLiteral("0.5"), this);
    const QString captions[] = {QStringLiteral("Input &1"), QStringLiteral("Input &2"),
                                QStringLiteral("Rank &correlation")};
    QWidget* fields[] = {FirstComboBox, SecondComboBox, CorrelationEdit};
    for (int k = 0; k < 3; ++k) {
        auto* label = new QLabel(captions[k], this);
        label->setBuddy(fields[k]);
        grid->addWidget(label, k, 0);
        grid->addWidget(fields[k], k, 1);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    addbuttons(this, layout, OKButton, CancelButton);
    formsetup(this, 2);
}

Tinputcorrelation TRankCorrelationForm::correlation() const {
    Tinputcorrelation c;
    c.first = FirstComboBox->currentText().toStdString();
    c.second = SecondComboBox->currentText().toStdString();
    const std::string t = text(CorrelationEdit);
    try {
        c.rankcorrelation = static_cast<double>(strtonum(t));
    } catch (const EConvertError&) {
        throw Euncertaintysetting("correlations", 1, Tinputcolumns::rankcorrelation,
                                  "'" + t + "' is not a number");
    }
    return c;
}

} // namespace velmora

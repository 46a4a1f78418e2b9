#include "views/resultsanalysistabs.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "app/workspace.h"
#include "compute/analysis.h"
#include "toolkit/grid.h"
#include "views/resultsgrid.h"
#include "toolkit/errorhandler.h"

namespace velmora {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

// ---- Balance ---------------------------------------------------------------

TBalanceTab::TBalanceTab(Tworkspace& ws, std::function<void()> refresh, QWidget* parent)
    : Tresultstab(QStringLiteral("Balance"), std::move(refresh), parent), ws_(ws) {
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("&Regcomp"), this);
    BalanceComboBox = new QComboBox(this);
    BalanceComboBox->setObjectName(QStringLiteral("BalanceComboBox"));
    BalanceComboBox->setMaxVisibleItems(20);
    label->setBuddy(BalanceComboBox);
    NetFlowsCheckBox = new QCheckBox(QStringLiteral("Net flows"), this);
    NetFlowsCheckBox->setObjectName(QStringLiteral("NetFlowsCheckBox"));
    row->addWidget(label);
    row->addWidget(BalanceComboBox);
    row->addWidget(NetFlowsCheckBox);
    row->addStretch(1);
    layout->addLayout(row);
    NoteLabel = new QLabel(this);
    NoteLabel->setObjectName(QStringLiteral("BalanceNoteLabel"));
    NoteLabel->setWordWrap(true);
    NoteLabel->hide();
    layout->addWidget(NoteLabel);
    BalanceStringGrid = new Tgrid(this);
    BalanceStringGrid->setObjectName(QStringLiteral("BalanceStringGrid"));
    BalanceStringGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    layout->addWidget(BalanceStringGrid, 1);
    QStringList names;
    for (std::uint32_t k = 1; k <= ws.regcomps.n; ++k)
        names << qs(ws.regcomps.regcompname(k));
    BalanceComboBox->addItems(names);
    BalanceComboBox->setCurrentIndex(static_cast<int>(ws.emi.regcomp()) - 1);
    connect(BalanceComboBox, &QComboBox::currentIndexChanged, this, guarded(this, [this] { requestrefresh(); }));
    connect(NetFlowsCheckBox, &QCheckBox::toggled, this, guarded(this, [this] { requestrefresh(); }));
}

Tanalyze TBalanceTab::update(const Tresultsstate& state) {
    // "&No" leaves the balance as it was.
    if (state.regionalized == Tregionalized::no) return {};
    const QString note = explanationnote(state);
    NoteLabel->setText(note);
    NoteLabel->setVisible(!note.isEmpty());
    if (!note.isEmpty()) {
        clear();
        return {};
    }
    const std::uint32_t a = static_cast<std::uint32_t>(BalanceComboBox->currentIndex() + 1);
    const Tbalance balance =
        NetFlowsCheckBox->isChecked() ? netbalance(ws_.model, a) : grossbalance(ws_.model, a);
    const auto rows = balance.cells();
    // The headings, the rows, and one empty row when there is none.
    Tstringtable table(static_cast<int>(balance.headings.size()),
                       std::max(2, static_cast<int>(rows.size()) + 1));
    for (std::size_t c = 0; c < balance.headings.size(); ++c)
        table.setcell(static_cast<int>(c), 0, balance.headings[c]);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            table.setcell(static_cast<int>(c), static_cast<int>(r + 1), rows[r][c]);
    FinishGrid(BalanceStringGrid, std::make_shared<const Tstringtable>(std::move(table)), false,
               true);
    return {};
}

void TBalanceTab::clear() {
    BalanceStringGrid->settable(Tstringtable());
}

// ---- Check -----------------------------------------------------------------

TCheckTab::TCheckTab(Tworkspace& ws, std::function<void()> refresh, QWidget* parent)
    : Tresultstab(QStringLiteral("Check"), std::move(refresh), parent), ws_(ws) {
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    UnusedCheckBox = new QCheckBox(QStringLiteral("Unused"), this);
    UnusedCheckBox->setObjectName(QStringLiteral("UnusedCheckBox"));
    NegativeCheckBox = new QCheckBox(QStringLiteral("Negative"), this);
    NegativeCheckBox->setObjectName(QStringLiteral("NegativeCheckBox"));
    NegativeCheckBox->setChecked(true);
    row->addWidget(UnusedCheckBox);
    row->addWidget(NegativeCheckBox);
    row->addStretch(1);
    layout->addLayout(row);
    CheckMemo = new QPlainTextEdit(this);
    CheckMemo->setObjectName(QStringLiteral("CheckMemo"));
    CheckMemo->setReadOnly(true);
    CheckMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(CheckMemo, 1);
    connect(UnusedCheckBox, &QCheckBox::toggled, this, guarded(this, [this] { requestrefresh(); }));
    connect(NegativeCheckBox, &QCheckBox::toggled, this, guarded(this, [this] { requestrefresh(); }));
}

Tanalyze TCheckTab::update(const Tresultsstate&) {
    std::vector<std::string> lines;
    ws_.results.check(lines, UnusedCheckBox->isChecked(), NegativeCheckBox->isChecked(),
                      ws_.regcomps.MSR);
    QStringList text;
    text.reserve(static_cast<int>(lines.size()));
    for (const std::string& line : lines)
        text << qs(line);
    CheckMemo->setPlainText(text.join(QLatin1Char('\n')));
    return {};
}

void TCheckTab::clear() {
    CheckMemo->clear();
}

} // namespace velmora

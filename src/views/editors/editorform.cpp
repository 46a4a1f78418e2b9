#include "views/editors/editorform.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStringList>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/workspace.h"
#include "toolkit/forms.h"
#include "toolkit/grid.h"
#include "toolkit/outputform.h"
#include "views/dialogsupport.h"
#include "views/resultsgrid.h"

namespace velmora {

TEditorForm::TEditorForm(Tworkspace& ws, const Tprograminfo& program, QWidget* parent)
    : QDialog(parent), ws_(ws), program_(program) {
    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
}

void TEditorForm::build(const QString& caption, const Teditorstart& start, QWidget* extra) {
    setWindowTitle(caption);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(PageControl, 1);
    layout->addWidget(createpanel(start, extra));
    PageControl->setCurrentIndex(0);
    connect(PageControl, &QTabWidget::currentChanged, this,
            [this] { handle([this] { FormShow(); }); });
    resize(900, 600);
    formsetup(this, 1);
    setWindowState(windowState() | Qt::WindowMaximized);
}

QWidget* TEditorForm::createpanel(const Teditorstart& start, QWidget* extra) {
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);

    auto* edit = new QGroupBox(QStringLiteral("Edit"), panel);
    auto* e = new QVBoxLayout(edit);
    EditCellButton = new QPushButton(QStringLiteral("Cell ..."), edit);
    EditCellButton->setObjectName(QStringLiteral("EditCellButton"));
    EditColumnButton = new QPushButton(QStringLiteral("Column ..."), edit);
    EditColumnButton->setObjectName(QStringLiteral("EditColumnButton"));
    e->addWidget(EditCellButton);
    e->addWidget(EditColumnButton);
    column->addWidget(edit);

    auto* viewbox = new QGroupBox(QStringLiteral("View"), panel);
    auto* v = new QVBoxLayout(viewbox);
    const auto box = [viewbox, v](const char* caption, const char* name, bool checked) {
        auto* b = new QCheckBox(QLatin1String(caption), viewbox);
        b->setObjectName(QLatin1String(name));
        b->setChecked(checked);
        v->addWidget(b);
        return b;
    };
    FixedCheckBox = box("Fixed", "FixedCheckBox", start.view.fixed);
    DefaultCheckBox = box("Default", "DefaultCheckBox", start.view.defaults);
    ImportedCheckBox = box("Imported", "ImportedCheckBox", start.view.imported);
    EditedCheckBox = box("Edited", "EditedCheckBox", start.view.edited);
    HiddenCheckBox = box("Hidden", "HiddenCheckBox", start.view.hidden);
    UnknownCheckBox = box("Unknown", "UnknownCheckBox", start.view.unknown);
    column->addWidget(viewbox);

    RegionalizedRadioGroup = new QGroupBox(QStringLiteral("Regionalized"), panel);
    RegionalizedRadioGroup->setObjectName(QStringLiteral("RegionalizedRadioGroup"));
    auto* g = new QVBoxLayout(RegionalizedRadioGroup);
    YesRadioButton = new QRadioButton(QStringLiteral("&Yes"), RegionalizedRadioGroup);
    YesRadioButton->setObjectName(QStringLiteral("YesRadioButton"));
    NoRadioButton = new QRadioButton(QStringLiteral("&No"), RegionalizedRadioGroup);
    NoRadioButton->setObjectName(QStringLiteral("NoRadioButton"));
    (start.regionalized ? YesRadioButton : NoRadioButton)->setChecked(true);
    g->addWidget(YesRadioButton);
    g->addWidget(NoRadioButton);
    column->addWidget(RegionalizedRadioGroup);

    if (extra) column->addWidget(extra);
    column->addStretch(1);

    PrintButton = new QPushButton(panel);
    standardbutton(PrintButton, 3);
    PrintButton->setText(QStringLiteral("Print"));
    PrintButton->setObjectName(QStringLiteral("PrintButton"));
    CloseButton = new QPushButton(panel);
    standardbutton(CloseButton, 2);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    column->addWidget(PrintButton);
    column->addWidget(CloseButton);

    const auto refresh = [this] { handle([this] { FormShow(); }); };
    for (QCheckBox* b : {FixedCheckBox, DefaultCheckBox, ImportedCheckBox, EditedCheckBox,
                         HiddenCheckBox, UnknownCheckBox})
        connect(b, &QCheckBox::toggled, this, refresh);
    // One of the two toggles on every change; "&Yes" always does.
    connect(YesRadioButton, &QRadioButton::toggled, this, refresh);
    connect(EditCellButton, &QPushButton::clicked, this,
            [this] { handle([this] { EditCellButtonClick(); }); });
    connect(EditColumnButton, &QPushButton::clicked, this,
            [this] { handle([this] { EditColumnButtonClick(); }); });
    connect(PrintButton, &QPushButton::clicked, this,
            [this] { handle([this] { PrintButtonClick(); }); });
    return panel;
}

Tgrid* TEditorForm::addgridtab(const QString& caption, QWidget* page, Tgrid* grid) {
    if (!grid) {
        grid = new Tgrid(PageControl);
        page = grid;
    }
    grid->setObjectName(QStringLiteral("StringGrid%1").arg(PageControl->count() + 1));
    PageControl->addTab(page, caption);
    grids_.push_back(grid);
    if (doubleclicks())
        connect(grid, &Tgrid::celldoubleclicked, this,
                [this](int c, int r) { handle([this, c, r] { StringGridDblClick(c, r); }); });
    return grid;
}

void TEditorForm::addchecktab(QWidget* page, QVBoxLayout* layout) {
    if (!page) {
        page = new QWidget(PageControl);
        layout = new QVBoxLayout(page);
    }
    CheckMemo = new QPlainTextEdit(page);
    CheckMemo->setObjectName(QStringLiteral("CheckMemo"));
    CheckMemo->setReadOnly(true);
    CheckMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(CheckMemo, 1);
    PageControl->addTab(page, QStringLiteral("Check"));
    grids_.push_back(nullptr);
}

bool TEditorForm::checkactive() const {
    return PageControl->currentIndex() == PageControl->count() - 1 && CheckMemo;
}

void TEditorForm::showlines(const std::vector<std::string>& lines) {
    QStringList text;
    text.reserve(static_cast<int>(lines.size()));
    for (const std::string& line : lines)
        text << QString::fromStdString(line);
    CheckMemo->setPlainText(text.join(QLatin1Char('\n')));
}

void TEditorForm::handle(const std::function<void()>& handler) {
    reporterrors(this, handler);
}

void TEditorForm::fitregioncolumn(Tgrid* grid) {
    // Region names such as "Bosnia and Herzegovina" are what a user reads
    // the rows by; they are fitted whole, the longest within reason.
    const Tcelltable& shown = grid->table();
    const QFontMetrics metrics = grid->fontMetrics();
    int width = 64;
    for (int r = 0; r < shown.rows() && width < 240; ++r)
        width = std::max(width,
                         metrics.horizontalAdvance(QString::fromStdString(shown.cell(0, r))) + 8);
    grid->setcolwidth(0, std::min(width, 240));
}

void TEditorForm::showtable(Tgrid* grid, Tstringtable table) {
    const int c = grid->col(), r = grid->row();
    FinishGrid(grid, std::move(table));
    fitregioncolumn(grid);
    const Tcelltable& shown = grid->table();
    const int fc = shown.fixedcols(), fr = shown.fixedrows();
    // A fresh window starts on the first value; a refresh stays where it was.
    if (shown.cols() > fc && shown.rows() > fr)
        grid->setcurrentcell(std::clamp(c, fc, shown.cols() - 1),
                             std::clamp(r, fr, shown.rows() - 1));
}

Tviewfilter TEditorForm::view() const {
    Tviewfilter v;
    v.fixed = FixedCheckBox->isChecked();
    v.defaults = DefaultCheckBox->isChecked();
    v.imported = ImportedCheckBox->isChecked();
    v.edited = EditedCheckBox->isChecked();
    v.hidden = HiddenCheckBox->isChecked();
    v.unknown = UnknownCheckBox->isChecked();
    return v;
}

bool TEditorForm::regionalized() const {
    return YesRadioButton->isChecked();
}

Tgrid* TEditorForm::activegrid() const {
    const int k = PageControl->currentIndex();
    return k >= 0 && k < static_cast<int>(grids_.size()) ? grids_[static_cast<std::size_t>(k)]
                                                         : nullptr;
}

Tgrid* TEditorForm::grid(const QString& caption) const {
    for (int k = 0; k < PageControl->count(); ++k)
        if (PageControl->tabText(k) == caption && k < static_cast<int>(grids_.size()))
            return grids_[static_cast<std::size_t>(k)];
    return nullptr;
}

void TEditorForm::setactivetab(const QString& caption) {
    for (int k = 0; k < PageControl->count(); ++k)
        if (PageControl->tabText(k) == caption) PageControl->setCurrentIndex(k);
}

QString TEditorForm::activecaption() const {
    return PageControl->tabText(PageControl->currentIndex());
}

void TEditorForm::editcurrent(bool column) {
    Tgrid* g = activegrid();
    if (!g || (column && !regionalized())) {
        FormShow();
        return;
    }
    const int c = g->col(), r = g->row();
    const Tcelltable& shown = g->table();
    const std::string name = c >= 0 ? headingparameter(shown.columnheading(c)) : std::string();
    // The region is the one named in the row as shown, so a sorted grid
    // edits the region the user sees.
    const std::string regionname = r >= 1 ? shown.cell(0, r) : std::string();
    std::uint32_t region = 0;
    if (regionalized() && !column) region = ws_.regions.find(regionname);
    if (!name.empty() && (column || !regionalized() || region > 0)) editvalue(name, region);
    FormShow();
    // The refresh puts the regions back in order; the cell follows its region.
    if (c < 0 || r < 0) return;
    int row = r;
    const Tcelltable& now = g->table();
    for (int k = now.fixedrows(); regionalized() && k < now.rows(); ++k)
        if (now.cell(0, k) == regionname) {
            row = k;
            break;
        }
    if (c < now.cols() && row < now.rows()) g->setcurrentcell(c, row);
}

void TEditorForm::EditCellButtonClick() {
    editcurrent(false);
}

void TEditorForm::EditColumnButtonClick() {
    editcurrent(true);
}

void TEditorForm::StringGridDblClick(int c, int r) {
    Tgrid* g = activegrid();
    if (!g) return;
    if (r == 0 && c == 0) {
        std::unique_ptr<Tprogress> progress = ws_.ui.progress();
        progress->setmaintext("Displaying data");
        FormShow();
    } else if (r == 0) {
        const Tsettings& s = ws_.settings;
        sortgrid(g, c, sortflags(), ws_.ui, Tspecialtexts{s.InfText, s.UnknownText, s.HiddenText});
    } else if (c > 0 || editsonregioncolumn()) {
        g->setcurrentcell(c, r);
        EditCellButtonClick();
    }
}

void TEditorForm::PrintButtonClick() {
    TOutputForm output(program_, false, this);
    const Tsettings& s = ws_.settings;
    output.special = {s.InfText, s.UnknownText, s.HiddenText};
    if (output.exec() != QDialog::Accepted) return;
    if (checkactive()) {
        output.writememo(CheckMemo->toPlainText().split(QLatin1Char('\n')));
    } else if (Tgrid* g = activegrid()) {
        if (!output.writegrid(g->table())) return;
    }
    output.deliverorreport();
}

void TEditorForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) handle([this] { FormShow(); });
}

void TEditorForm::mouseReleaseEvent(QMouseEvent* event) {
    QDialog::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) handle([this] { FormClick(); });
}

} // namespace velmora

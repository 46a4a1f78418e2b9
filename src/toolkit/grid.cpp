#include "toolkit/grid.h"

#include <cstdlib>

#include <QAbstractButton>
#include <QCursor>
#include <QEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

#include "numeric/errors.h"
#include "numeric/uiservice.h"
#include "toolkit/errorhandler.h"

namespace velmora {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

const std::string ascendingmarker = " (v)";
const std::string descendingmarker = " (^)";

bool endswith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The desktop has no menu colour of its own here; the alternate base is
// what this platform's item views stripe with. Several styles make it all
// but equal to the window colour, which leaves a long table without visible
// stripes to follow a row by; it is then darkened to a light grey.
QColor menucolour(const QPalette& palette) {
    const QColor base = palette.color(QPalette::Base);
    const QColor alternate = palette.color(QPalette::AlternateBase);
    if (std::abs(alternate.lightness() - base.lightness()) >= 10) return alternate;
    return base.lightness() > 128 ? base.darker(105) : base.lighter(125);
}

// The light blue of an inactive title bar's gradient: selected cells read as
// marked without the glare of the selection colour over a whole column.
const QColor gradientinactivecaption(215, 228, 242);

} // namespace

// ---- the model -----------------------------------------------------------------

Tgridmodel::Tgridmodel(QObject* parent)
    : QAbstractTableModel(parent), source_(std::make_shared<Tstringtable>()) {}

void Tgridmodel::settable(std::shared_ptr<const Tcelltable> table) {
    beginResetModel();
    source_ = table ? std::move(table) : std::make_shared<Tstringtable>();
    fixedcols_ = std::clamp(source_->fixedcols(), 0, 1);
    fixedrows_ = std::clamp(source_->fixedrows(), 0, 1);
    roworder_.clear();
    colorder_.clear();
    markers_ = false;
    markedcol_ = -1;
    endResetModel();
}

void Tgridmodel::setfixed(int fixedcols, int fixedrows) {
    beginResetModel();
    fixedcols_ = std::clamp(fixedcols, 0, 1);
    fixedrows_ = std::clamp(fixedrows, 0, 1);
    endResetModel();
}

int Tgridmodel::sourcerow(int r) const {
    return roworder_.empty() ? r : roworder_[static_cast<std::size_t>(r)];
}

int Tgridmodel::sourcecol(int c) const {
    return colorder_.empty() ? c : colorder_[static_cast<std::size_t>(c)];
}

std::string Tgridmodel::cell(int c, int r) const {
    if (c < 0 || r < 0 || c >= cols() || r >= rows()) return {};
    const int sc = sourcecol(c);
    std::string text = source_->cell(sc, sourcerow(r));
    if (markers_ && r == 0 && fixedrows_ == 1) {
        if (endswith(text, ascendingmarker) || endswith(text, descendingmarker))
            text.resize(text.size() - ascendingmarker.size());
        if (sc == markedcol_) text += markdescending_ ? descendingmarker : ascendingmarker;
    }
    return text;
}

std::string Tgridmodel::fullcell(int c, int r) const {
    // Headings carry the sort marker as shown.
    if (r < fixedrows_ || c < 0 || c >= cols() || r >= rows()) return cell(c, r);
    return source_->fullcell(sourcecol(c), sourcerow(r));
}

void Tgridmodel::reorder(std::vector<int>& shown, int count, int fixed,
                         const std::vector<int>& order) {
    if (shown.empty()) {
        shown.resize(static_cast<std::size_t>(count));
        for (int k = 0; k < count; ++k)
            shown[static_cast<std::size_t>(k)] = k;
    }
    const std::vector<int> before = shown;
    for (std::size_t k = 0; k < order.size(); ++k)
        shown[static_cast<std::size_t>(fixed) + k] = before[static_cast<std::size_t>(order[k])];
}

void Tgridmodel::reorderrows(const std::vector<int>& order) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    reorder(roworder_, rows(), fixedrows_, order);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    if (fixedcols_ > 0) emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
}

void Tgridmodel::reordercols(const std::vector<int>& order) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::HorizontalSortHint);
    reorder(colorder_, cols(), fixedcols_, order);
    emit layoutChanged({}, QAbstractItemModel::HorizontalSortHint);
    if (fixedrows_ > 0) emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void Tgridmodel::markcolumn(int c, bool descending) {
    markers_ = true;
    markedcol_ = sourcecol(c);
    markdescending_ = descending;
    emit headerDataChanged(Qt::Horizontal, 0, std::max(columnCount() - 1, 0));
}

int Tgridmodel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(rows() - fixedrows_, 0);
}

int Tgridmodel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(cols() - fixedcols_, 0);
}

QVariant Tgridmodel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return qs(cell(index.column() + fixedcols_, index.row() + fixedrows_));
}

QVariant Tgridmodel::headerData(int section, Qt::Orientation orientation, int role) const {
    // Headings are often wider than their column (a parameter name with its
    // unit in 64 pixels); the tooltip shows them whole.
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    if (orientation == Qt::Horizontal)
        return fixedrows_ > 0 ? QVariant(qs(cell(section + fixedcols_, 0))) : QVariant();
    return fixedcols_ > 0 ? QVariant(qs(cell(0, section + fixedrows_))) : QVariant();
}

// ---- drawing -------------------------------------------------------------------

namespace {

class Tgriddelegate : public QStyledItemDelegate {
public:
    explicit Tgriddelegate(Tgrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const Tcelltable& table = grid_->table();
        const bool selected =
            (option.state & (QStyle::State_Selected | QStyle::State_HasFocus)) != 0;
        griddrawcell(grid_, *painter, index.column() + table.fixedcols(),
                     index.row() + table.fixedrows(), option.rect, selected);
    }

private:
    Tgrid* grid_;
};

// The fixed row or column: heading cells drawn like every other cell.
class Tgridheader : public QHeaderView {
public:
    Tgridheader(Qt::Orientation orientation, Tgrid* grid)
        : QHeaderView(orientation, grid), grid_(grid) {}

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        const Tcelltable& table = grid_->table();
        painter->save();
        if (orientation() == Qt::Horizontal)
            griddrawcell(grid_, *painter, logicalIndex + table.fixedcols(), 0, rect, false);
        else
            griddrawcell(grid_, *painter, 0, logicalIndex + table.fixedrows(), rect, false);
        painter->restore();
    }

private:
    Tgrid* grid_;
};

} // namespace

void griddrawcell(Tgrid* grid, QPainter& painter, int c, int r, const QRect& rect,
                  bool selected) {
    const Tcelltable& table = grid->table();
    const QPalette& palette = grid->palette();
    const bool fixed = c < table.fixedcols() || r < table.fixedrows();
    QColor back;
    if (fixed)
        back = palette.color(QPalette::Button);
    else if (selected)
        back = gradientinactivecaption;
    else
        back = r % 2 == 0 ? palette.color(QPalette::Base) : menucolour(palette);
    painter.fillRect(rect, back);
    painter.setPen(palette.color(QPalette::Mid));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.setPen(Qt::black);
    painter.setFont(grid->font());
    const QRect textrect = rect.adjusted(2, 2, -1, -1);
    QString text = qs(table.cell(c, r));
    // Control characters (the first row of the character picker, a tab in
    // an imported text) would show as the font's box for a missing glyph.
    text.removeIf([](QChar ch) { return !ch.isPrint() && ch != QChar::Nbsp; });
    painter.drawText(textrect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

// ---- the grid ------------------------------------------------------------------

Tgrid::Tgrid(QWidget* parent) : QTableView(parent), model_(new Tgridmodel(this)) {
    setHorizontalHeader(new Tgridheader(Qt::Horizontal, this));
    setVerticalHeader(new Tgridheader(Qt::Vertical, this));
    setModel(model_);
    setItemDelegate(new Tgriddelegate(this));
    setShowGrid(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    // Clicking a heading does nothing in the program's grids; a double click
    // is for the window to act on (celldoubleclicked).
    horizontalHeader()->setSectionsClickable(false);
    verticalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // Equal row heights keep a table of thousands of rows cheap to lay out.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setdefaultcolwidth(64);
    setdefaultrowheight(fontMetrics().height() + 6);
    if (QWidget* button = corner()) button->installEventFilter(this);

    connect(this, &QAbstractItemView::clicked, this, guarded(this, [this](const QModelIndex& index) {
        emit cellclicked(index.column() + model_->fixedcols(), index.row() + model_->fixedrows());
    }));
    connect(this, &QAbstractItemView::doubleClicked, this, guarded(this, [this](const QModelIndex& index) {
        emit celldoubleclicked(index.column() + model_->fixedcols(),
                               index.row() + model_->fixedrows());
    }));
    connect(horizontalHeader(), &QHeaderView::sectionDoubleClicked, this, guarded(this, [this](int section) {
        if (section >= 0) emit celldoubleclicked(section + model_->fixedcols(), 0);
    }));
    connect(verticalHeader(), &QHeaderView::sectionDoubleClicked, this, guarded(this, [this](int section) {
        if (section >= 0) emit celldoubleclicked(0, section + model_->fixedrows());
    }));
    updateheaders();
}

QWidget* Tgrid::corner() const {
    return findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
}

void Tgrid::updateheaders() {
    horizontalHeader()->setVisible(model_->fixedrows() > 0);
    verticalHeader()->setVisible(model_->fixedcols() > 0);
    verticalHeader()->setFixedWidth(col0width_);
    horizontalHeader()->setFixedHeight(defaultrowheight());
    // The view places its headers, the corner and the data only when it
    // lays itself out; a heading column that changed width in between
    // would cover the first data columns while the corner kept the old width.
    updateGeometries();
}

void Tgrid::settable(std::shared_ptr<const Tcelltable> table) {
    model_->settable(std::move(table));
    updateheaders();
}

void Tgrid::settable(Tstringtable table) {
    settable(std::make_shared<const Tstringtable>(std::move(table)));
}

void Tgrid::setfixed(int fixedcols, int fixedrows) {
    // A column keeps its width when it changes between heading and data.
    std::vector<int> widths(static_cast<std::size_t>(std::max(model_->cols(), 0)));
    for (int c = 0; c < model_->cols(); ++c)
        widths[static_cast<std::size_t>(c)] = colwidth(c);
    model_->setfixed(fixedcols, fixedrows);
    updateheaders();
    for (int c = 0; c < model_->cols(); ++c)
        setcolwidth(c, widths[static_cast<std::size_t>(c)]);
}

int Tgrid::colwidth(int c) const {
    if (c < model_->fixedcols()) return col0width_;
    return columnWidth(c - model_->fixedcols());
}

void Tgrid::setcolwidth(int c, int width) {
    if (c < 0 || c >= model_->cols()) return;
    if (c < model_->fixedcols()) {
        col0width_ = width;
        updateheaders();
    } else {
        setColumnWidth(c - model_->fixedcols(), width);
    }
}

int Tgrid::defaultrowheight() const {
    return verticalHeader()->defaultSectionSize();
}

void Tgrid::setdefaultrowheight(int height) {
    verticalHeader()->setDefaultSectionSize(height);
    horizontalHeader()->setFixedHeight(height);
}

void Tgrid::setdefaultcolwidth(int width) {
    horizontalHeader()->setDefaultSectionSize(width);
}

int Tgrid::col() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.column() + model_->fixedcols() : -1;
}

int Tgrid::row() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() + model_->fixedrows() : -1;
}

void Tgrid::setcurrentcell(int c, int r) {
    setCurrentIndex(model_->index(r - model_->fixedrows(), c - model_->fixedcols()));
}

bool Tgrid::cellat(QPoint point, int& c, int& r) const {
    c = r = -1;
    const int fc = model_->fixedcols(), fr = model_->fixedrows();
    QHeaderView* top = horizontalHeader();
    QHeaderView* left = verticalHeader();
    if (fc > 0 && fr > 0 && corner() && corner()->geometry().contains(point)) {
        c = r = 0;
    } else if (top->isVisible() && top->geometry().contains(point)) {
        const int section = top->logicalIndexAt(point - top->geometry().topLeft());
        if (section >= 0) {
            c = section + fc;
            r = 0;
        }
    } else if (left->isVisible() && left->geometry().contains(point)) {
        const int section = left->logicalIndexAt(point - left->geometry().topLeft());
        if (section >= 0) {
            c = 0;
            r = section + fr;
        }
    } else if (viewport()->geometry().contains(point)) {
        const QModelIndex index = indexAt(point - viewport()->geometry().topLeft());
        if (index.isValid()) {
            c = index.column() + fc;
            r = index.row() + fr;
        }
    }
    return c >= 0;
}

QRect Tgrid::cellrect(int c, int r) const {
    const int fc = model_->fixedcols(), fr = model_->fixedrows();
    if (c < 0 || r < 0 || c >= model_->cols() || r >= model_->rows()) return {};
    if (c < fc && r < fr) return corner() ? corner()->geometry() : QRect();
    QHeaderView* top = horizontalHeader();
    QHeaderView* left = verticalHeader();
    if (r < fr) {
        const int dc = c - fc;
        return QRect(top->geometry().left() + top->sectionViewportPosition(dc),
                     top->geometry().top(), top->sectionSize(dc), top->height());
    }
    if (c < fc) {
        const int dr = r - fr;
        return QRect(left->geometry().left(), left->geometry().top() + left->sectionViewportPosition(dr),
                     left->width(), left->sectionSize(dr));
    }
    const QRect rect = visualRect(model_->index(r - fr, c - fc));
    return rect.isValid() ? rect.translated(viewport()->geometry().topLeft()) : QRect();
}

bool Tgrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == corner()) {
        switch (event->type()) {
        case QEvent::Paint: {
            QPainter painter(corner());
            griddrawcell(this, painter, 0, 0, corner()->rect(), false);
            return true;
        }
        case QEvent::MouseButtonDblClick:
            emit celldoubleclicked(0, 0);
            return true;
        // The corner selects nothing: the program's corner cell is a heading.
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
            return true;
        default:
            break;
        }
    }
    return QTableView::eventFilter(watched, event);
}

// ---- helpers -------------------------------------------------------------------

void gridlayout(Tgrid* grid, int flags) {
    const Tcelltable& table = grid->table();
    const int cols = table.cols(), rows = table.rows();
    int fixedcols = (flags & 4) ? 0 : 1;
    int fixedrows = (flags & 2) ? 0 : 1;
    bool enabled = true;
    if (rows == 1 && cols == 1 && !(flags & 6)) {
        enabled = false;
        fixedcols = fixedrows = 0;
    }
    if (rows <= 1) fixedrows = 0;
    if (cols <= 1) fixedcols = 0;
    grid->setfixed(fixedcols, fixedrows);
    grid->setEnabled(enabled);
    grid->viewport()->setBackgroundRole(enabled ? QPalette::Base : QPalette::Button);
    if (!(flags & 1)) return;
    // Measuring every text of a regcomp matrix would take seconds; so large
    // a table is sized by its first thousand rows.
    const long long cells = static_cast<long long>(rows) * cols;
    const int measured = cells > 2'000'000 ? std::min(rows, 1000) : rows;
    const QFontMetrics metrics = grid->fontMetrics();
    for (int c = 0; c < cols; ++c) {
        int width = 0;
        for (int r = 0; r < measured && width < 250; ++r)
            width = std::max(width, metrics.horizontalAdvance(qs(table.cell(c, r))) + 4);
        grid->setcolwidth(c, std::min(width, 250));
    }
}

int mouserow(Tgrid* grid) {
    int c, r;
    grid->cellat(grid->mapFromGlobal(QCursor::pos()), c, r);
    return r;
}

int mousecol(Tgrid* grid) {
    int c, r;
    grid->cellat(grid->mapFromGlobal(QCursor::pos()), c, r);
    return c;
}

void sortgrid(Tgrid* grid, int index, int flags, Tuiservice& ui, const Tspecialtexts& special) {
    Tgridmodel& model = grid->gridmodel();
    const bool bycolumns = (flags & sortcolumns) != 0;
    if (index < 0 || index >= (bycolumns ? model.rows() : model.cols())) throw ERangeError();
    std::unique_ptr<Tprogress> progress = ui.progress();
    progress->setmaintext("Sorting rows");
    progress->showcancel();
    const int data = bycolumns ? model.cols() - model.fixedcols() : model.rows() - model.fixedrows();
    progress->startbar(std::max(data, 0));
    const std::vector<int> order = sortorder(model, index, flags, special, *progress);
    if (bycolumns) {
        model.reordercols(order);
    } else {
        model.reorderrows(order);
        if (model.fixedrows() == 1) model.markcolumn(index, (flags & sortdescending) != 0);
    }
}

} // namespace velmora

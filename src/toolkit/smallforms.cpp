#include "toolkit/smallforms.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

#include "toolkit/forms.h"
#include "toolkit/outputform.h"
#include "toolkit/plot.h"
#include "toolkit/errorhandler.h"

namespace velmora {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

// ---- base window ----------------------------------------------------------------

TBaseForm::TBaseForm(const Tprograminfo& program, QWidget* parent)
    : QDialog(parent), program_(program) {
    setWindowTitle(qs(program_.caption("Form")));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->setSpacing(8);
    contents_ = new QVBoxLayout;
    contents_->setContentsMargins(0, 0, 0, 0);
    outer->addLayout(contents_, 1);
    buttonrow_ = new QHBoxLayout;
    buttonrow_->setContentsMargins(0, 0, 0, 0);
    buttonrow_->addStretch(1);
    PrintButton = new QPushButton(this);
    PrintButton->setObjectName(QStringLiteral("PrintButton"));
    standardbutton(PrintButton, 3);
    CloseButton = new QPushButton(this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    standardbutton(CloseButton, 2);
    CloseButton->setDefault(true);
    buttonrow_->addWidget(PrintButton);
    buttonrow_->addWidget(CloseButton);
    outer->addLayout(buttonrow_);
    connect(PrintButton, &QPushButton::clicked, this, guarded(this, [this] { PrintButtonClick(); }));
    resize(424, 475);
}

void TBaseForm::finishlayout() {
    resize(layout()->sizeHint());
    // A hidden window is not laid out again by itself; a plot drawn before
    // the window shows takes its picture size from the contents now.
    layout()->invalidate();
    layout()->activate();
    formsetup(this, 1);
}

void TBaseForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CloseButton->setFocus();
}

// ---- text window ----------------------------------------------------------------

TMemoForm::TMemoForm(const Tprograminfo& program, QWidget* parent) : TBaseForm(program, parent) {
    setWindowTitle(qs(program_.caption("Memo")));
    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setReadOnly(true);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo->setMinimumSize(400, 400);
    contents()->addWidget(Memo);
    WrapCheckBox = new QCheckBox(QStringLiteral("&Wrap lines"), this);
    WrapCheckBox->setObjectName(QStringLiteral("WrapCheckBox"));
    buttonrow()->insertWidget(0, WrapCheckBox);
    connect(WrapCheckBox, &QCheckBox::clicked, this, guarded(this, [this] { WrapCheckBoxClick(); }));
    finishlayout();
}

void TMemoForm::addline(const QString& text) {
    Memo->appendPlainText(text);
}

QStringList TMemoForm::lines() const {
    QStringList result = Memo->toPlainText().split(QLatin1Char('\n'));
    if (Memo->document()->isEmpty()) result.clear();
    return result;
}

void TMemoForm::WrapCheckBoxClick() {
    const bool wrap = WrapCheckBox->isChecked();
    // The line at the top stays at the top, at the left edge: rewrapping
    // otherwise leaves the view wherever the old line breaks put it.
    const int top = Memo->cursorForPosition(QPoint(0, 0)).blockNumber();
    Memo->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    // Unwrapped, long lines need the horizontal bar, even though the window
    // opened without it.
    Memo->setHorizontalScrollBarPolicy(wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setTextCursor(QTextCursor(Memo->document()->findBlockByNumber(top)));
    Memo->verticalScrollBar()->setValue(top);
    Memo->horizontalScrollBar()->setValue(0);
}

void TMemoForm::PrintButtonClick() {
    TOutputForm output(program_, false, this);
    if (output.exec() != QDialog::Accepted) return;
    output.writememo(lines());
    output.deliverorreport();
}

// ---- picture window -------------------------------------------------------------

TPlotForm::TPlotForm(const Tprograminfo& program, QWidget* parent) : TBaseForm(program, parent) {
    setWindowTitle(qs(program_.caption("Plot")));
    Image = new Timage(this, QSize(400, 400));
    Image->setObjectName(QStringLiteral("Image"));
    contents()->addWidget(Image);
    finishlayout();
}

void TPlotForm::PrintButtonClick() {
    TOutputForm output(program_, true, this);
    if (output.exec() != QDialog::Accepted) return;
    output.writepicture(*Image);
    output.deliverorreport();
}

} // namespace velmora

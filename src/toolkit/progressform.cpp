#include "toolkit/progressform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "toolkit/forms.h"
#include "toolkit/errorhandler.h"

namespace velmora {

namespace {

// The window keeps its size while parts of it come and go, so the task's
// first texts do not make it jump.
void keepplace(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

QLabel* textlabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setMinimumWidth(360);
    label->setMinimumHeight(label->fontMetrics().height());
    label->setTextFormat(Qt::PlainText);
    label->hide();
    keepplace(label);
    return label;
}

} // namespace

TProgressForm::TProgressForm(QWidget* owner, const Tprograminfo& program)
    : QWidget(owner ? owner->window() : QApplication::activeWindow(),
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                  Qt::WindowCloseButtonHint),
      programname_(QString::fromStdString(program.name())) {
    if (const QCursor* cursor = QGuiApplication::overrideCursor()) savedcursor_ = *cursor;
    setObjectName(QStringLiteral("ProgressForm"));
    // While a task lets events through, the rest of the program must not
    // start a second action on the objects the task is working on.
    setWindowModality(Qt::ApplicationModal);
    setCursor(Qt::WaitCursor);

    mainlabel_ = textlabel(this);
    sublabel_ = textlabel(this);

    cancelbutton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelbutton_->setToolTip(QStringLiteral("Cancel the operation"));
    cancelbutton_->setAutoDefault(false);
    cancelbutton_->hide();
    keepplace(cancelbutton_);
    escapebutton(cancelbutton_);
    connect(cancelbutton_, &QPushButton::clicked, this, guarded(this, [this] {
        cancelflag_ = true;
        cancelbutton_->setCursor(Qt::WaitCursor);
    }));

    abortbutton_ = new QPushButton(QStringLiteral("Abort"), this);
    abortbutton_->setToolTip(QStringLiteral("Close this screen when an error has occurred"));
    abortbutton_->setAutoDefault(false);
    abortbutton_->hide();
    connect(abortbutton_, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancelbutton_);
    buttons->addWidget(abortbutton_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(8);
    layout->addWidget(mainlabel_);
    layout->addWidget(sublabel_);
    layout->addWidget(makebar(bar1_));
    layout->addWidget(makebar(bar2_));
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    showtitle();
    centreonowner(this);

    timer_ = new QTimer(this);
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, guarded(this, [this] { tick(); }));
    timer_->start();
}

TProgressForm::~TProgressForm() {
    finish();
}

QWidget* TProgressForm::makebar(Tbar& bar) {
    bar.bar = new QProgressBar(this);
    bar.bar->setTextVisible(false);
    bar.bar->setRange(0, 1);
    bar.bar->setValue(0);
    bar.bar->setMinimumWidth(360);
    bar.bar->hide();
    keepplace(bar.bar);
    // The percentage sits on the bar itself, centred, and lets the bar show
    // through.
    bar.label = new QLabel(bar.bar);
    bar.label->setAlignment(Qt::AlignCenter);
    bar.label->setAttribute(Qt::WA_TransparentForMouseEvents);
    bar.label->setAutoFillBackground(false);
    QPalette palette = bar.label->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    bar.label->setPalette(palette);
    auto* overlay = new QHBoxLayout(bar.bar);
    overlay->setContentsMargins(0, 0, 0, 0);
    overlay->addWidget(bar.label);
    return bar.bar;
}

void TProgressForm::processevents() {
    QCoreApplication::processEvents();
}

void TProgressForm::showtitle() {
    if (finished_) return;
    static const char* const dots[4] = {"", " .", " ..", " ..."};
    QString title = programname_;
    if (percent_ >= 0)
        title += QStringLiteral(" [") + QString::number(percent_) + QStringLiteral("%]");
    title += QLatin1String(dots[dots_]);
    if (windowTitle() != title) setWindowTitle(title);
}

void TProgressForm::tick() {
    dots_ = ticks_;
    ticks_ = (ticks_ + 1) % 4;
    showtitle();
}

void TProgressForm::setmaintext(const QString& text) {
    mainlabel_->setText(text);
    mainlabel_->show();
    processevents();
}

void TProgressForm::setsubtext(const QString& text) {
    sublabel_->setText(text);
    sublabel_->show();
    processevents();
}

void TProgressForm::showcancel() {
    cancelflag_ = false;
    cancelbutton_->unsetCursor();
    cancelbutton_->show();
}

bool TProgressForm::cancelled() {
    processevents();
    return cancelflag_;
}

void TProgressForm::start(Tbar& bar, std::int64_t n) {
    bar.n = n;
    bar.counter = 0;
    bar.position = 0;
    // A range of 0..0 would turn the bar into a busy indicator; a task with
    // nothing to do gets an empty bar instead.
    bar.bar->setRange(0, static_cast<int>(std::clamp<std::int64_t>(n, 1, 100)));
    bar.bar->setValue(0);
    bar.label->setText(n > 0 ? QStringLiteral("0%") : QString());
    bar.bar->show();
    bar.label->show();
}

int TProgressForm::step(Tbar& bar) {
    ++bar.counter;
    // With more than 100 steps the bar catches up with the share of work
    // done, one position per call at most, so it moves at most 100 times.
    const bool advance = bar.n <= 100 || bar.position < bar.counter * 100 / bar.n;
    if (!advance) return -1;
    // A bar stepped beyond its count stays full.
    if (bar.position < bar.bar->maximum()) bar.bar->setValue(++bar.position);
    if (bar.n <= 0) return -1;
    // Ties go to the even neighbour, as in all of the program's rounding.
    const int percent = static_cast<int>(
        std::nearbyint(static_cast<double>(bar.counter) * 100.0 / static_cast<double>(bar.n)));
    bar.label->setText(QString::number(percent) + QLatin1Char('%'));
    return percent;
}

void TProgressForm::startbar(std::int64_t n) {
    start(bar1_, n);
}

void TProgressForm::stepbar() {
    const int percent = step(bar1_);
    if (percent >= 0 && !finished_) {
        percent_ = percent;
        showtitle();
    }
    processevents();
}

void TProgressForm::startbar2(std::int64_t n) {
    start(bar2_, n);
}

void TProgressForm::stepbar2() {
    step(bar2_);
    processevents();
}

void TProgressForm::hidebar2() {
    bar2_.bar->hide();
    bar2_.label->hide();
}

void TProgressForm::closeEvent(QCloseEvent* event) {
    finish();
    event->accept();
}

void TProgressForm::finish() {
    if (finished_) return;
    finished_ = true;
    timer_->stop();
    // Take off whatever override cursors were stacked since creation, back to
    // the one found then (or none).
    for (int guard = 0; guard < 64; ++guard) {
        const QCursor* current = QGuiApplication::overrideCursor();
        if (!current || (savedcursor_ && current->shape() == savedcursor_->shape())) break;
        QGuiApplication::restoreOverrideCursor();
    }
    if (savedcursor_ && !QGuiApplication::overrideCursor())
        QGuiApplication::setOverrideCursor(*savedcursor_);
    if (QWidget* owner = parentWidget()) {
        owner->window()->raise();
        owner->window()->activateWindow();
    }
}

} // namespace velmora

#include "toolkit/busywindow.h"

#include <QWidget>

#include "toolkit/progressform.h"

namespace velmora {

Tbusywindow::Tbusywindow(const Tprograminfo& program, QWidget* owner)
    : program_(program), owner_(owner) {}

Tbusywindow::~Tbusywindow() {
    hidebusy();
}

void Tbusywindow::showbusy(const QString& text) {
    hidebusy();
    form_ = std::make_unique<TProgressForm>(owner_.data(), program_);
    form_->show();
    form_->setmaintext(text);
}

void Tbusywindow::hidebusy() {
    if (!form_) return;
    form_->close();
    form_.reset();
}

} // namespace velmora

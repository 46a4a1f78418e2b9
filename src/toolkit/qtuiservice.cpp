#include "toolkit/qtuiservice.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>
#include <QMessageBox>

#include "toolkit/desktop.h"
#include "toolkit/progressform.h"
#include "views/editparameterform.h"

namespace velmora {

namespace {

// A progress window as model code sees it. The window may go before the
// wrapper (closed with its owner); the calls then do nothing.
class Tqtprogress : public Tprogress {
public:
    explicit Tqtprogress(TProgressForm* form) : form_(form) {}
    ~Tqtprogress() override { delete form_.data(); }

    void setmaintext(const std::string& text) override {
        if (form_) form_->setmaintext(QString::fromStdString(text));
    }
    void setsubtext(const std::string& text) override {
        if (form_) form_->setsubtext(QString::fromStdString(text));
    }
    void showcancel() override {
        if (form_) form_->showcancel();
    }
    bool cancelled() override { return form_ ? form_->cancelled() : false; }
    void startbar(std::int64_t n) override {
        if (form_) form_->startbar(n);
    }
    void stepbar() override {
        if (form_) form_->stepbar();
    }
    void startbar2(std::int64_t n) override {
        if (form_) form_->startbar2(n);
    }
    void stepbar2() override {
        if (form_) form_->stepbar2();
    }
    void hidebar2() override {
        if (form_) form_->hidebar2();
    }

private:
    QPointer<TProgressForm> form_;
};

} // namespace

Tqtuiservice::Tqtuiservice(Tprograminfo program, QWidget* owner)
    : program_(std::move(program)), owner_(owner) {}

QWidget* Tqtuiservice::owner() const {
    if (owner_) return owner_.data();
    return QApplication::activeWindow();
}

void Tqtuiservice::warn(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(program_.name()),
                    QString::fromStdString(text), QMessageBox::Ok, owner());
    box.setObjectName(QStringLiteral("WarningBox"));
    box.exec();
}

std::unique_ptr<Tprogress> Tqtuiservice::progress() {
    auto* form = new TProgressForm(owner(), program_);
    form->show();
    // Paint it now: the task that asked for it may run a while before it
    // lets events through.
    QCoreApplication::processEvents();
    return std::make_unique<Tqtprogress>(form);
}

bool Tqtuiservice::openaddress(const std::string& url) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool opened =
        QDesktopServices::openUrl(QUrl(QString::fromStdString(url), QUrl::StrictMode));
    QApplication::restoreOverrideCursor();
    return opened;
}

bool Tqtuiservice::editparameter(Teditrequest& request) {
    TEditParameterForm form(request, owner());
    return form.exec() == QDialog::Accepted;
}

bool Tqtuiservice::stoprequested() {
    if (stopflag_) return true;
    return stopfunction_ ? stopfunction_() : false;
}

void Tqtuiservice::playsound(const std::string& file) {
    playsoundfile(findbesideprogram(QString::fromStdString(file), program_));
}

} // namespace velmora

#include "numeric/uiservice.h"

#include <iostream>

namespace velmora {

namespace {

class Trecorderprogress : public Tprogress {
public:
    explicit Trecorderprogress(Trecorderui& owner) : owner_(owner) {
        ++owner_.progresswindows;
        ++owner_.openprogress;
    }
    ~Trecorderprogress() override { --owner_.openprogress; }
    void setmaintext(const std::string& text) override { owner_.progresstexts.push_back(text); }
    void setsubtext(const std::string& text) override { owner_.progresstexts.push_back(text); }
    void showcancel() override { cancelpressed_ = false; }
    bool cancelled() override {
        ++owner_.polls;
        if (owner_.cancelafterpolls >= 0 && owner_.polls > owner_.cancelafterpolls)
            cancelpressed_ = true;
        return cancelpressed_;
    }
    void startbar(std::int64_t) override {}
    void stepbar() override {}
    void startbar2(std::int64_t) override {}
    void stepbar2() override {}
    void hidebar2() override {}

private:
    Trecorderui& owner_;
    bool cancelpressed_ = false;
};

class Tconsoleprogress : public Tprogress {
public:
    Tconsoleprogress(std::ostream& err, bool verbose) : err_(err), verbose_(verbose) {}
    void setmaintext(const std::string& text) override {
        if (verbose_) err_ << text << '\n';
    }
    void setsubtext(const std::string& text) override {
        if (verbose_) err_ << "  " << text << '\n';
    }
    void showcancel() override {}
    bool cancelled() override { return false; }
    void startbar(std::int64_t) override {}
    void stepbar() override {}
    void startbar2(std::int64_t) override {}
    void stepbar2() override {}
    void hidebar2() override {}

private:
    std::ostream& err_;
    bool verbose_;
};

} // namespace

std::unique_ptr<Tprogress> Trecorderui::progress() {
    return std::make_unique<Trecorderprogress>(*this);
}

bool Trecorderui::editparameter(Teditrequest& request) {
    editrequests.push_back(request);
    if (editanswers.empty()) return false;
    Tanswer answer = editanswers.front();
    editanswers.erase(editanswers.begin());
    request.answerknown = answer.known;
    request.answertext = answer.text;
    return answer.ok;
}

Tconsoleui::Tconsoleui(bool verbose) : err_(&std::cerr), verbose_(verbose) {}

void Tconsoleui::warn(const std::string& text) {
    ++warnings_;
    *err_ << "Warning: " << text << '\n';
}

std::unique_ptr<Tprogress> Tconsoleui::progress() {
    return std::make_unique<Tconsoleprogress>(*err_, verbose_);
}

} // namespace velmora

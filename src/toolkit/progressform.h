#pragma once
// The small window every long task shows. The task runs on the user-interface
// thread and drives the window through a few calls; the calls that report
// progress, and the cancel poll, let pending window events through so that
// the window repaints and its Cancel button can be pressed while the work
// goes on.
//
// How far the task has come shows in the window's caption ("Velmora [40%]"),
// where a user glancing at the desktop sees it; the captions of the other
// windows stay as they are.
#include <QCursor>
#include <QWidget>
#include <cstdint>
#include <optional>

#include "toolkit/programinfo.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace velmora {

class TProgressForm : public QWidget {
    Q_OBJECT
public:
    // The form is a tool window of owner's window (nullptr: of the active
    // window) and is centred on it when shown.
    TProgressForm(QWidget* owner, const Tprograminfo& program);
    ~TProgressForm() override;

    void setmaintext(const QString& text);
    void setsubtext(const QString& text);
    // Clears an earlier press and shows "Cancel".
    void showcancel();
    // Lets pending events through, then tells whether "Cancel" was pressed
    // since the last showcancel.
    bool cancelled();
    void startbar(std::int64_t n);
    void stepbar();
    void startbar2(std::int64_t n);
    void stepbar2();
    void hidebar2();

    // For tests and the windows built on this one.
    QLabel* mainlabel() const { return mainlabel_; }
    QLabel* sublabel() const { return sublabel_; }
    QPushButton* cancelbutton() const { return cancelbutton_; }
    QPushButton* abortbutton() const { return abortbutton_; }
    QProgressBar* bar(int which) const { return which == 2 ? bar2_.bar : bar1_.bar; }
    QLabel* barlabel(int which) const { return which == 2 ? bar2_.label : bar1_.label; }
    // Advances the "busy" dots of the caption as the one-second timer does.
    void tick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct Tbar {
        QProgressBar* bar = nullptr;
        QLabel* label = nullptr;
        std::int64_t n = 0;       // requested steps
        std::int64_t counter = 0; // steps taken
        int position = 0;         // where the bar stands
    };
    // Returns the percentage shown when the bar moved, else -1.
    int step(Tbar& bar);
    void start(Tbar& bar, std::int64_t n);
    QWidget* makebar(Tbar& bar);
    void processevents();
    // Puts back what the form changed outside itself; runs once.
    void finish();
    // The caption: program name, the percentage of bar 1 once it moved, the dots.
    void showtitle();

    QString programname_;
    int percent_ = -1;
    std::optional<QCursor> savedcursor_;
    QLabel* mainlabel_ = nullptr;
    QLabel* sublabel_ = nullptr;
    QPushButton* cancelbutton_ = nullptr;
    QPushButton* abortbutton_ = nullptr;
    Tbar bar1_;
    Tbar bar2_;
    QTimer* timer_ = nullptr;
    int ticks_ = 0;
    int dots_ = 0;
    bool cancelflag_ = false;
    bool finished_ = false;
};

} // namespace velmora

#include "toolkit/controls.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace velmora {

void linklabel(QLabel* label) {
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    label->setCursor(Qt::PointingHandCursor);
    label->setToolTip(QStringLiteral("Open link in default browser"));
}

namespace {

// A push button draws its caption on one line; the wrapped caption is a
// label laid over the button, and the button is kept tall enough for it.
class Tmultiline : public QObject {
public:
    Tmultiline(QPushButton* button, QLabel* caption) : QObject(button), button_(button), caption_(caption) {
        setObjectName(QStringLiteral("velmora_multiline"));
        button->installEventFilter(this);
        fit();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == button_ && (event->type() == QEvent::Resize || event->type() == QEvent::FontChange))
            fit();
        return false;
    }

private:
    void fit() {
        const QMargins margins = button_->layout()->contentsMargins();
        const int width = button_->width() - margins.left() - margins.right();
        if (width <= 0) return;
        const int height = caption_->heightForWidth(width) + margins.top() + margins.bottom();
        if (height > button_->minimumHeight()) button_->setMinimumHeight(height);
    }

    QPushButton* button_;
    QLabel* caption_;
};

} // namespace

void multilinebuttons(QWidget* page) {
    for (QPushButton* button : page->findChildren<QPushButton*>()) {
        if (button->findChild<Tmultiline*>(QStringLiteral("velmora_multiline"), Qt::FindDirectChildrenOnly))
            continue;
        const QString text = button->text();
        // The access key of the caption stays with the button.
        button->setShortcut(QKeySequence::mnemonic(text));
        button->setText(QString());
        auto* caption = new QLabel(text, button);
        caption->setObjectName(QStringLiteral("MultilineCaption"));
        caption->setWordWrap(true);
        caption->setAlignment(Qt::AlignCenter);
        caption->setTextFormat(Qt::PlainText);
        caption->setAttribute(Qt::WA_TransparentForMouseEvents);
        // The label shows "&" as typed; the access key is underlined nowhere,
        // as on a button whose window has not been reached by keyboard yet.
        caption->setText(QString(text).replace(QStringLiteral("&&"), QStringLiteral("\x01"))
                             .remove(QLatin1Char('&'))
                             .replace(QLatin1Char('\x01'), QLatin1Char('&')));
        auto* layout = new QHBoxLayout(button);
        layout->setContentsMargins(4, 2, 4, 2);
        layout->addWidget(caption);
        new Tmultiline(button, caption);
    }
}

} // namespace velmora

#include "toolkit/forms.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLayout>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

#include "numeric/errors.h"
#include "toolkit/charpicker.h"
#include "toolkit/errorhandler.h"

namespace velmora {

namespace {

// The window a form is centred on; nullptr when there is none.
QWidget* ownerwindow(QWidget* form) {
    // An owner not yet on the screen (the main window while it is being
    // built) gives no place to centre on.
    if (QWidget* parent = form->parentWidget())
        if (parent->window()->isVisible()) return parent->window();
    QWidget* active = QApplication::activeWindow();
    if (active && active != form) return active;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top != form && top->isVisible() && qobject_cast<QMainWindow*>(top)) return top;
    return nullptr;
}

void centre(QWidget* form) {
    QRect target;
    if (QWidget* owner = ownerwindow(form)) {
        target = owner->frameGeometry();
    } else if (QScreen* screen = form->screen()) {
        target = screen->availableGeometry();
    } else {
        return;
    }
    QRect frame(QPoint(0, 0), form->frameSize());
    frame.moveCenter(target.center());
    form->move(frame.topLeft());
}

// Centres its form when the form is about to be shown, so the position
// follows the owner's place at that moment and the form's final size.
class Tcentrer : public QObject {
public:
    explicit Tcentrer(QWidget* form) : QObject(form), form_(form) {
        setObjectName(QStringLiteral("velmora_centrer"));
        form->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == form_ && event->type() == QEvent::Show && !event->spontaneous())
            centre(form_);
        return false;
    }

private:
    QWidget* form_;
};

Qt::WindowType windowtype(const QWidget* form) {
    Qt::WindowType type = form->windowType();
    if (type == Qt::Dialog || type == Qt::Tool || type == Qt::Window) return type;
    return Qt::Window;
}

// Replaces what an earlier standardbutton call attached, so a button set up
// twice does not act twice.
QObject* freshaction(QPushButton* button) {
    const QString name = QStringLiteral("velmora_standardaction");
    delete button->findChild<QObject*>(name, Qt::FindDirectChildrenOnly);
    auto* action = new QObject(button);
    action->setObjectName(name);
    return action;
}

// What a button with a modal result does: set the dialog's result and close.
void closewindow(QPushButton* button, bool accept) {
    QWidget* window = button->window();
    if (window == button) return;
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
        if (accept)
            dialog->accept();
        else
            dialog->reject();
    } else {
        window->close();
    }
}

} // namespace

void centreonowner(QWidget* form) {
    if (form->findChild<Tcentrer*>(QStringLiteral("velmora_centrer"), Qt::FindDirectChildrenOnly))
        return;
    new Tcentrer(form);
}

void formsetup(QWidget* form, int kind) {
    const Qt::WindowFlags frame = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                  Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    switch (kind) {
    case 0:
        form->setWindowFlags(windowtype(form));
        form->setMinimumSize(form->size());
        form->setWindowState(form->windowState() | Qt::WindowMaximized);
        break;
    case 1:
        form->setWindowFlags(windowtype(form) | frame | Qt::WindowMaximizeButtonHint);
        form->setMinimumSize(form->size());
        centreonowner(form);
        break;
    case 2:
        form->setWindowFlags(Qt::Dialog | frame);
        if (QLayout* layout = form->layout())
            layout->setSizeConstraint(QLayout::SetFixedSize);
        else
            form->setFixedSize(form->size());
        centreonowner(form);
        break;
    default:
        throw EInvalidArgument();
    }
}

void escapebutton(QPushButton* button) {
    const QString name = QStringLiteral("velmora_escape");
    if (button->findChild<QShortcut*>(name, Qt::FindDirectChildrenOnly)) return;
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_Escape), button);
    shortcut->setObjectName(name);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, button, guarded(button, [button] {
        if (button->isVisible() && button->isEnabled()) button->click();
    }));
}

void standardbutton(QPushButton* button, int kind) {
    switch (kind) {
    case 0: {
        button->setText(QStringLiteral("OK"));
        button->setToolTip(QStringLiteral("Accept and close the window"));
        button->setDefault(true);
        QObject* action = freshaction(button);
        QObject::connect(button, &QPushButton::clicked, action,
                         guarded(button, [button] { closewindow(button, true); }));
        break;
    }
    case 1:
    case 2: {
        button->setText(kind == 1 ? QStringLiteral("Cancel") : QStringLiteral("Close"));
        button->setToolTip(kind == 1 ? QStringLiteral("Discard and close the window")
                                     : QStringLiteral("Close the window"));
        escapebutton(button);
        QObject* action = freshaction(button);
        QObject::connect(button, &QPushButton::clicked, action,
                         guarded(button, [button] { closewindow(button, false); }));
        break;
    }
    case 3:
        button->setText(QStringLiteral("Print ..."));
        button->setToolTip(QStringLiteral("Open print dialog"));
        break;
    case 4:
        foreigncharbutton(button);
        break;
    case 5:
        button->setText(QStringLiteral("Details"));
        button->setToolTip(
            QStringLiteral("Toggle between showing more and less information and controls"));
        break;
    case 6:
        button->setText(QStringLiteral("v More"));
        button->setToolTip(QStringLiteral("Show more information and controls"));
        break;
    case 7:
        button->setText(QStringLiteral("^ Less"));
        button->setToolTip(QStringLiteral("Show less information and controls"));
        break;
    default:
        throw EInvalidArgument();
    }
}

} // namespace velmora

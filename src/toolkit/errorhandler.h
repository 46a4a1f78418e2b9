#pragma once
// The program's error handler. An error a handler raises ends the user's
// action in the error box; it must never travel through the window
// framework's event loop, which does not unwind its own frames cleanly and
// leaves the program to crash at some later, unrelated action. So every
// slot and event handler of the program runs its body through reporterrors,
// usually by connecting a guarded() function.
#include <QString>
#include <functional>
#include <type_traits>
#include <utility>

class QWidget;

namespace velmora {

// The box a failed action ends with: error icon, the message, one OK button,
// the program's name as caption.
void errorbox(QWidget* parent, const QString& message);

// Runs body; an error it raises is shown in the error box instead. False
// when body failed.
bool reporterrors(QWidget* parent, const std::function<void()>& body);

// A slot for connect() that runs handler through reporterrors, with parent
// owning the error box: with the signal's arguments when it takes them,
// else without.
template <typename F> auto guarded(QWidget* parent, F handler) {
    return [parent, handler = std::move(handler)](auto&&... args) -> void {
        reporterrors(parent, [&] {
            if constexpr (std::is_invocable_v<const F&, decltype(args)...>)
                handler(std::forward<decltype(args)>(args)...);
            else
                handler();
        });
    };
}

} // namespace velmora

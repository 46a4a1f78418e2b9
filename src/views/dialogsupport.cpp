#include "views/dialogsupport.h"

#include <utility>

namespace velmora {

int TGuardedDialog::run() {
    error_ = nullptr;
    int result = exec();
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
    return result;
}

bool TGuardedDialog::guard(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (...) {
        error_ = std::current_exception();
    }
    // The base class's reject: a derived one may be what failed.
    QDialog::reject();
    return false;
}

} // namespace velmora

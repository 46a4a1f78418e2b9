#pragma once
// Exception classes of the toolkit and of the run-time checks. Each carries
// only its message, which is what the user sees in the error box.
#include <stdexcept>
#include <string>

namespace velmora {

class Eerror : public std::runtime_error {
public:
    explicit Eerror(const std::string& message) : std::runtime_error(message) {}
};

class ERangeError : public Eerror {
public:
    ERangeError() : Eerror("Range check error") {}
};

class EInvalidArgument : public Eerror {
public:
    explicit EInvalidArgument(const std::string& message = "Invalid argument") : Eerror(message) {}
};

class EConvertError : public Eerror {
public:
    explicit EConvertError(const std::string& message) : Eerror(message) {}
};

class EInvalidOp : public Eerror {
public:
    EInvalidOp() : Eerror("Could not evaluate operation") {}
};

class ESparseFull : public Eerror {
public:
    ESparseFull() : Eerror("Sparse matrix full") {}
};

class EMethodNotAvailable : public Eerror {
public:
    EMethodNotAvailable() : Eerror("Method not available") {}
};

class ENotExecuted : public Eerror {
public:
    explicit ENotExecuted(const std::string& message) : Eerror(message) {}
};

class EFileError : public Eerror {
public:
    explicit EFileError(const std::string& message = "Error accessing a file") : Eerror(message) {}
};

// Raised by the cancel polling of long tasks that must unwind rather than
// stop quietly (none of the model tasks do; a front end may use it).
class ECancelled : public Eerror {
public:
    ECancelled() : Eerror("Operation cancelled") {}
};

} // namespace velmora

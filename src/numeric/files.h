#pragma once
// Input files read only when they are what they claim to be: a regular file.
// A FIFO blocks an open for ever, /dev/zero reads without end and a folder
// reads as nothing; each is refused at once with its name.
#include <cstdint>
#include <string>

namespace velmora {

// A read-only descriptor of path, which must be a regular file. Raises
// EFileError "Cannot read <what> <path>: <reason>" otherwise. The caller
// closes it.
int openregularfile(const std::string& path, const std::string& what);

// The whole file, refused (EFileError naming it) when it is not a regular
// file or holds more than maxbytes.
std::string readregularfile(const std::string& path, const std::string& what,
                            std::uint64_t maxbytes);

// Raises as openregularfile does, opening nothing that could block.
void requireregularfile(const std::string& path, const std::string& what);

// A text as a message quotes it: at most limit bytes (cut at a character
// boundary), the rest told as its size, so that a 10 MB cell or argument
// does not fill the screen.
std::string messagetext(const std::string& text, std::size_t limit = 80);

} // namespace velmora

#pragma once
// SHA-256 of a file, so that a result can name the exact workbooks it was
// computed from.
#include <string>

namespace velmora {

// Lower-case hexadecimal SHA-256 of the file's bytes; empty when the file
// cannot be read.
std::string filesha256(const std::string& path);
// Of a byte string (for tests and small texts).
std::string sha256(const std::string& bytes);

} // namespace velmora

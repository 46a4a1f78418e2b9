#pragma once
// Helpers shared by the tests.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace velmora::testing {

// A fresh directory under the system's temporary directory, removed with the object.
class Ttempdir {
public:
    Ttempdir();
    ~Ttempdir();
    Ttempdir(const Ttempdir&) = delete;
    Ttempdir& operator=(const Ttempdir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// A sheet to write: cells by one-based row and column, as texts (plain
// numbers become number cells).
struct Tsheetspec {
    std::string name;
    std::vector<std::vector<std::string>> rows; // rows[r-1][c-1]
    void set(std::uint32_t r, std::uint32_t c, const std::string& text);
};

void writeworkbook(const std::string& path, const std::vector<Tsheetspec>& sheets);

// The directory that holds the built programs and default workbooks.
std::string bindir();

} // namespace velmora::testing

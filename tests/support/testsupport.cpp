#include "testsupport.h"

#include <atomic>
#include <cstdlib>
#include <random>

#include "toolkit/sheets/workbookwriter.h"

namespace velmora::testing {

Ttempdir::Ttempdir() {
    static std::atomic<int> counter{0};
    std::random_device rd;
    auto base = std::filesystem::temp_directory_path();
    for (;;) {
        path_ = base / ("velmora-test-" + std::to_string(rd()) + "-" + std::to_string(counter++));
        if (std::filesystem::create_directory(path_)) break;
    }
}

Ttempdir::~Ttempdir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void Tsheetspec::set(std::uint32_t r, std::uint32_t c, const std::string& text) {
    if (rows.size() < r) rows.resize(r);
    if (rows[r - 1].size() < c) rows[r - 1].resize(c);
    rows[r - 1][c - 1] = text;
}

void writeworkbook(const std::string& path, const std::vector<Tsheetspec>& sheets) {
    Tworkbookwriter writer(path);
    for (const auto& sheet : sheets) {
        writer.addsheet(sheet.name);
        for (std::size_t r = 0; r < sheet.rows.size(); ++r)
            for (std::size_t c = 0; c < sheet.rows[r].size(); ++c)
                writer.cell(static_cast<std::uint32_t>(r + 1), static_cast<std::uint32_t>(c + 1),
                            sheet.rows[r][c]);
    }
    writer.close();
}

std::string bindir() {
    if (const char* env = std::getenv("VELMORA_BIN_DIR")) return env;
    return VELMORA_BIN_DIR;
}

} // namespace velmora::testing

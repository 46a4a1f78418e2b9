#pragma once
// Writes a zip package part by part, so that tests can make workbooks with
// exactly the damage they need.
#include <gtest/gtest.h>
#include <zip.h>

#include <map>
#include <string>

namespace velmora::testing {

// Part name -> bytes.
using Tparts = std::map<std::string, std::string>;

inline void writezip(const std::string& path, const Tparts& parts) {
    int error = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(z, nullptr) << error;
    for (const auto& [name, data] : parts) {
        zip_source_t* s = zip_source_buffer(z, data.data(), data.size(), 0);
        ASSERT_NE(s, nullptr);
        ASSERT_GE(zip_file_add(z, name.c_str(), s, ZIP_FL_ENC_UTF_8), 0);
    }
    ASSERT_EQ(zip_close(z), 0);
}

} // namespace velmora::testing

#include "common/float_record_file.hpp"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "common/run_stop.hpp"
#include "support/temp_folder.hpp"

namespace {

TEST(FloatRecordFile, WritesLittleEndianFloatsAcrossBlocksAndReadsThemBack) {
    tests::TempFolder folder;
    common::FloatRecordFile file("points.tmp");
    // More than one block of 65536 floats, in records of five.
    constexpr int kRecords = 30000;
    for (int k = 0; k < kRecords; ++k) {
        const auto value = static_cast<float>(k);
        file.append({value, -value});
        const std::array<float, 3> channels{0.5f, 1.0E-32f, value * 0.25f};
        file.append(channels);
    }
    file.rewind();
    std::array<float, 5> record{};
    for (int k = 0; k < kRecords; ++k) {
        ASSERT_TRUE(file.read(record)) << k;
        EXPECT_EQ(record[0], static_cast<float>(k));
        EXPECT_EQ(record[4], static_cast<float>(k) * 0.25f);
    }
    EXPECT_FALSE(file.read(record));  // the end
    file.close();

    const std::string bytes = tests::readFileBytes("points.tmp");
    ASSERT_EQ(bytes.size(), std::size_t{kRecords} * 5 * 4);
    // Record 1 starts with x = 1.0: bits 3F800000, least significant byte first.
    EXPECT_EQ(bytes.substr(20, 4), std::string("\x00\x00\x80\x3F", 4));
}

TEST(FloatRecordFile, AFileThatCannotBeMadeStopsTheRun) {
    tests::TempFolder folder;
    std::filesystem::create_directory("taken");  // a folder stands where the file must go
    EXPECT_THROW(common::FloatRecordFile("taken"), common::RunStop);
}

}  // namespace

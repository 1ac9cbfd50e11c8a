#pragma once
// A fresh folder per test for the file formats, a recording host, and small file helpers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/RecordingHost.h"

class FileFixture : public ::testing::Test {
protected:
    std::filesystem::path dir;
    TRecordingHost host;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = std::filesystem::temp_directory_path() /
              ("planora-files-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string Path(const std::string& leaf) const { return (dir / leaf).string(); }
    // A folder, made, whose path is at least length bytes long.
    std::string DeepFolder(std::size_t length) const {
        std::string deep = dir.string();
        while (deep.size() < length) deep += "/" + std::string(200, 'd');
        std::filesystem::create_directories(deep);
        return deep;
    }

    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void Write(const std::string& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(dir)) out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
};

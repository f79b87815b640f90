#pragma once
// A fresh folder for one test's files, removed afterwards; tests never touch the real home.
#include "profile/TextConvert.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

namespace q9::test {

class TempFolder {
public:
    TempFolder()
    {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "q9_" + std::to_string(getpid()) + "_";
        name += info ? std::string(info->test_suite_name()) + "_" + info->name() : "test";
        for (char& c : name)
            if (c == '/')
                c = '_';
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    // A file's path as the profile layer takes it.
    std::wstring wide(const std::string& name) const { return FromFsPath(path_ / name); }

    void write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
    }
    std::string read(const std::string& name) const
    {
        std::ifstream in(path_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }

private:
    std::filesystem::path path_;
};

} // namespace q9::test

#pragma once
// A GoogleTest fixture with a folder of its own for the files a test writes, gone after it.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

class TTempFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Each test runs in a process of its own, so the process id keeps folders apart.
        dir_ = std::filesystem::temp_directory_path() /
               ("mirelo-test-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // Writes the text, byte for byte, to a file of this name in the folder; returns its path.
    std::string Write(const std::string& name, const std::string& text)
    {
        const auto path = dir_ / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    std::filesystem::path dir_;
};

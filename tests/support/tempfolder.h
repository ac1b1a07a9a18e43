#pragma once
// A fresh folder for each test, removed afterwards even when a test took
// away its write permission.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace velmora::testsupport {

class TempFolderTest : public ::testing::Test {
  protected:
    explicit TempFolderTest(std::string prefix) : m_prefix(std::move(prefix)) {}
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                (m_prefix + "-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::permissions(m_dir, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_dir, ec);
    }
    static std::string Slurp(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::filesystem::path m_dir;

  private:
    std::string m_prefix;
};

}  // namespace velmora::testsupport

#pragma once
// A fresh folder for one test, removed afterwards even when the test took
// away its write permission. enter() makes it the working directory until
// the folder goes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

namespace velmora::testkit {

namespace fs = std::filesystem;

inline std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Writes bytes to a file, creating its folders.
inline void WriteFile(const fs::path& p, const std::string& bytes) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

class TempFolder {
  public:
    explicit TempFolder(const std::string& tag = "test") {
        static std::atomic<int> made{0};
        m_dir = fs::temp_directory_path() / ("velmora-" + tag + "-" + std::to_string(::getpid()) +
                                             "-" + std::to_string(made++));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    ~TempFolder() {
        std::error_code ec;
        if (!m_previous.empty()) fs::current_path(m_previous, ec);
        fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_dir, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    TempFolder& enter() {
        if (m_previous.empty()) m_previous = fs::current_path();
        fs::current_path(m_dir);
        return *this;
    }
    [[nodiscard]] const fs::path& path() const { return m_dir; }
    [[nodiscard]] fs::path operator/(const fs::path& relative) const { return m_dir / relative; }
    // Writes a file below the folder and returns its full path.
    fs::path write(const fs::path& relative, const std::string& bytes) const {
        WriteFile(m_dir / relative, bytes);
        return m_dir / relative;
    }

  private:
    fs::path m_dir;
    fs::path m_previous;
};

// A TempFolder that is the working directory for its lifetime.
class WorkFolder : public TempFolder {
  public:
    explicit WorkFolder(const std::string& tag = "work") : TempFolder(tag) { enter(); }
};

// A test fixture owning a TempFolder; m_dir is its path.
class TempFolderTest : public ::testing::Test {
  protected:
    explicit TempFolderTest(const std::string& tag = "test")
        : m_folder(tag), m_dir(m_folder.path()) {}
    static std::string Slurp(const fs::path& p) { return testkit::Slurp(p); }
    TempFolder m_folder;
    fs::path m_dir;
};

}  // namespace velmora::testkit

#pragma once
// The shipped texts of one language loaded into the catalogue for the
// lifetime of the object, so a test reads what the user reads. The catalogue
// is emptied again afterwards for the tests that follow.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "shell/textcatalog.h"

namespace velmora::testkit {

class ShippedCatalog {
  public:
    explicit ShippedCatalog(unsigned language = 1) {
        namespace fs = std::filesystem;
        const char* source = std::getenv("VELMORA_SOURCE_DIR");
        m_previous = fs::current_path();
        m_dir = fs::temp_directory_path() / ("velmora-texts-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        fs::copy(fs::path(source ? source : ".") / "data" / "data_language",
                 m_dir / "data_language", fs::copy_options::recursive);
        fs::current_path(m_dir);
        shell::TextCatalog::instance().resetForTest();
        shell::TextCatalog::instance().load(language);
        fs::current_path(m_previous);
    }
    ~ShippedCatalog() {
        shell::TextCatalog::instance().resetForTest();
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    ShippedCatalog(const ShippedCatalog&) = delete;
    ShippedCatalog& operator=(const ShippedCatalog&) = delete;

  private:
    std::filesystem::path m_previous;
    std::filesystem::path m_dir;
};

}  // namespace velmora::testkit

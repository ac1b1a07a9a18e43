#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "journal/journal.h"

namespace velmora::journal {
namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

std::filesystem::path DefaultJournalPath() {
    if (auto chosen = Environment("VELMORA_JOURNAL"); !chosen.empty()) return chosen;
    std::filesystem::path data = Environment("XDG_DATA_HOME");
    if (data.empty() || data.is_relative()) {
        std::string home = Environment("HOME");
        if (home.empty()) {
            if (const passwd* user = ::getpwuid(::getuid())) home = user->pw_dir;
        }
        data = std::filesystem::path(home) / ".local" / "share";
    }
    return data / "velmora-tool" / "journal.sqlite";
}

Origin ThisOrigin(const std::string& programAndVersion) {
    Origin origin;
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) == 0) origin.host = host;
    if (const passwd* user = ::getpwuid(::getuid())) origin.user = user->pw_name;
    if (origin.user.empty()) origin.user = Environment("USER");
    origin.program = programAndVersion;
    return origin;
}

}  // namespace velmora::journal

#include "pages/common/templatepath.h"

#include <system_error>

namespace velmora::pages {

namespace fs = std::filesystem;

fs::path ExecutableFolder() {
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return executable.parent_path();
}

fs::path FindTemplateFile(std::string_view name, const fs::path& programFolder) {
    if (programFolder.empty() || name.empty()) return {};
    const fs::path candidates[] = {
        programFolder / name,
        programFolder / ".." / "share" / "velmora-tool" / name,
    };
    for (const fs::path& candidate : candidates) {
        std::error_code error;
        if (fs::is_regular_file(candidate, error)) return candidate.lexically_normal();
    }
    return {};
}

fs::path FindTemplateFile(std::string_view name) {
    return FindTemplateFile(name, ExecutableFolder());
}

}  // namespace velmora::pages

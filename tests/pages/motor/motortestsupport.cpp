#include "motortestsupport.h"

#include "shell/textcatalog.h"

namespace velmora::pages::test {

void EnsureApp() {
    static bool done = false;
    if (done) return;
    done = true;
    std::filesystem::current_path(SourceDir() / "data");
    shell::TextCatalog::instance().load(1);
}

}  // namespace velmora::pages::test

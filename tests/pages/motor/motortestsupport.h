#pragma once
// What the motor page tests share besides the test kit: the English texts.
#include <QWidget>
#include <filesystem>

#include "shell/textcatalog.h"
#include "tests/support/findchild.h"
#include "tests/support/testkit.h"

namespace velmora::pages::test {

using testkit::Describe;
using testkit::FindChild;
using testkit::TakePollModes;
using testkit::TakeRequests;

inline std::filesystem::path SourceDir() {
    return VELMORA_SOURCE_DIR;
}

// Loads language 1 from the data folder once, which stays the working
// directory.
inline void EnsureApp() {
    static bool done = false;
    if (done) return;
    done = true;
    std::filesystem::current_path(SourceDir() / "data");
    shell::TextCatalog::instance().load(1);
}

}  // namespace velmora::pages::test

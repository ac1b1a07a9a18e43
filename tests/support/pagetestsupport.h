#pragma once
// What the page tests share besides the test kit: a catalogue whose texts
// are the keys' own names, and group replies stored in the drive image.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "model/drivedata.h"
#include "model/grouplayout.h"
#include "model/linkeddrive.h"
#include "shell/textcatalog.h"
#include "tests/support/owndrive.h"
#include "tests/support/testkit.h"
#include "tests/support/waitfor.h"

namespace velmora::pagetest {

namespace fs = std::filesystem;

using link::PollMode;
using testkit::PollModes;
using testkit::Slurp;
using testkit::TakePollModes;
using testkit::TakeRequests;
using testkit::TempFolder;
using testkit::WaitFor;
using testkit::WriteFile;

// Loads a catalogue in which the text of every key is its name ("typem09ac"
// shows as "typem09ac"), so a test reads the chosen key off the widget.
inline void LoadKeyNameCatalog() {
    TempFolder folder;
    std::map<std::string, std::string> sections;
    for (int i = 0; i < shell::TextCatalog::keyCount(); ++i) {
        const std::string key(shell::TextCatalog::keyName(i));
        sections[std::string(shell::TextCatalog::sectionOf(i))] += key + "=" + key + "\n";
    }
    std::string text;
    for (const auto& [section, lines] : sections) text += "[" + section + "]\n" + lines;
    folder.write("data_language/language_01.ini", text);
    folder.enter();
    shell::TextCatalog::instance().resetForTest();
    shell::TextCatalog::instance().load(1);
}

using testkit::StoreGroup;
using testkit::StoreGroupValues;

}  // namespace velmora::pagetest

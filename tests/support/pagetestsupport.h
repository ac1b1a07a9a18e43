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
#include "tests/support/testkit.h"

namespace velmora::pagetest {

namespace fs = std::filesystem;

using testkit::Slurp;
using testkit::TakePollModes;
using testkit::TakeRequests;
using testkit::TempFolder;
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

// Stores a group reply as the drive would send it: data bytes as given.
inline void StoreGroup(model::DriveData& data, int code, std::vector<std::uint8_t> bytes) {
    link::Telegram reply;
    reply.command = code;
    reply.length = static_cast<std::uint8_t>(bytes.size());
    reply.data = std::move(bytes);
    data.StoreReply(reply);
}

// A group reply of the right length with the listed parameter values, the
// other fields 0.
inline void StoreGroupValues(model::DriveData& data, int code,
                             const std::map<int, std::uint32_t>& values) {
    const model::GroupLayout* group = model::FindGroup(code);
    std::vector<std::uint8_t> bytes(group->length, 0);
    for (const model::FieldLayout& field : group->fields) {
        const auto it = values.find(field.parameter);
        if (it == values.end()) continue;
        std::uint32_t value = it->second;
        for (int i = field.bits / 8 - 1; i >= 0; --i) {
            bytes[field.offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value);
            value >>= 8;
        }
    }
    StoreGroup(data, code, std::move(bytes));
}

inline void ResetDriveAndQueues(model::LinkedDrive& drive) {
    drive.data.Reset();
    drive.link.flushAllQueues();
}

}  // namespace velmora::pagetest

#pragma once
// What the page tests share: one offscreen application, a catalogue whose
// texts are the keys' own names, a prompter that answers from the test, and
// direct access to the queues the pages post into.
#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#include "link/linkapi.h"
#include "link/queues.h"
#include "model/drivedata.h"
#include "model/grouplayout.h"
#include "shell/prompter.h"
#include "shell/textcatalog.h"

namespace velmora::pagetest {

namespace fs = std::filesystem;

inline void EnsureApplication() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "page-test";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

// A fresh folder under the system's temporary folder, removed with the object.
class TempFolder {
  public:
    TempFolder() {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        m_path = fs::temp_directory_path() /
                 ("velmora-pagetest-" + std::to_string(::getpid()) + "-" + std::to_string(stamp));
        fs::create_directories(m_path);
    }
    ~TempFolder() {
        std::error_code error;
        fs::remove_all(m_path, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    [[nodiscard]] const fs::path& path() const { return m_path; }

  private:
    fs::path m_path;
};

inline void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

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
    fs::create_directories(folder.path() / "data_language");
    WriteBytes(folder.path() / "data_language" / "language_01.ini", text);
    const fs::path previous = fs::current_path();
    fs::current_path(folder.path());
    shell::TextCatalog::instance().resetForTest();
    shell::TextCatalog::instance().load(1);
    fs::current_path(previous);
}

class FakePrompter : public shell::Prompter {
  public:
    void inform(QWidget*, const QString& text) override { informed.push_back(text); }
    bool confirm(QWidget*, const QString& text) override {
        questions.push_back(text);
        return confirmAnswer;
    }
    QString chooseOpenFile(QWidget*, const shell::FileChoice& choice) override {
        openChoices.push_back(choice);
        return openAnswer;
    }
    QString chooseSaveFile(QWidget*, const shell::FileChoice& choice) override {
        saveChoices.push_back(choice);
        return saveAnswer;
    }
    void fileError(QWidget*, const QString& path, const QString&) override {
        fileErrors.push_back(path);
    }
    void restartProgram(const QString&, const QStringList&) override {}

    bool confirmAnswer = false;
    QString openAnswer;
    QString saveAnswer;
    std::vector<QString> informed;
    std::vector<QString> questions;
    std::vector<shell::FileChoice> openChoices;
    std::vector<shell::FileChoice> saveChoices;
    std::vector<QString> fileErrors;
};

// Everything the page queued for the drive since the last call, oldest first.
inline std::vector<link::Telegram> TakeRequests() {
    std::vector<link::Telegram> requests;
    link::Telegram request;
    while (link::TheTelegramQueues().Fetch(link::kRequestSlot, request,
                                           std::chrono::milliseconds(0)) == 0)
        requests.push_back(std::move(request));
    return requests;
}

inline std::vector<int> TakePollModes() {
    std::vector<int> modes;
    std::int32_t mode = 0;
    while (link::ThePollModeQueue().Fetch(0, mode, std::chrono::milliseconds(0)) == 0)
        modes.push_back(mode);
    return modes;
}

// Stores a group reply as the drive would send it: data bytes as given.
inline void StoreGroup(int code, std::vector<std::uint8_t> bytes) {
    link::Telegram reply;
    reply.command = code;
    reply.length = static_cast<std::uint8_t>(bytes.size());
    reply.data = std::move(bytes);
    model::DriveData::instance().StoreReply(reply);
}

// A group reply of the right length with the listed parameter values, the
// other fields 0.
inline void StoreGroupValues(int code, const std::map<int, std::uint32_t>& values) {
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
    StoreGroup(code, std::move(bytes));
}

inline void ResetDriveAndQueues() {
    model::DriveData::instance().Reset();
    link::FlushAllQueues();
}

}  // namespace velmora::pagetest

#pragma once
// What the motor page tests share: one QApplication, the English texts, a
// prompter that answers from a script, and the requests the page queued.
#include <QString>
#include <QWidget>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "link/messages.h"
#include "link/telegram.h"
#include "shell/prompter.h"

namespace velmora::pages::test {

// The repository (for the data folder): a definition in the test binaries,
// or the environment where a build passes it that way.
inline std::filesystem::path SourceDir() {
#ifdef VELMORA_SOURCE_DIR
    return VELMORA_SOURCE_DIR;
#else
    const char* dir = std::getenv("VELMORA_SOURCE_DIR");
    return dir ? dir : "";
#endif
}

// Creates the application once and loads language 1 from the data folder.
void EnsureApp(const std::filesystem::path& sourceDir);
inline void EnsureApp() {
    EnsureApp(SourceDir());
}

// Everything queued for the encoder since the last call (and the poll modes).
std::vector<link::Telegram> TakeRequests();
std::vector<int> TakePollModes();
void ClearQueues();

// "cmd:b0 b1 ..." for readable failures.
std::string Describe(const link::Telegram& t);
std::vector<std::string> Describe(const std::vector<link::Telegram>& ts);

class ScriptedPrompter final : public shell::Prompter {
  public:
    ScriptedPrompter() { shell::setPrompter(this); }
    ~ScriptedPrompter() override { shell::setPrompter(nullptr); }

    void inform(QWidget*, const QString& text) override { shown.push_back("inform:" + text); }
    bool acknowledge(QWidget* parent, const QString& text) override {
        inform(parent, text);
        if (acknowledgements.empty()) return true;
        const bool answer = acknowledgements.front();
        acknowledgements.pop_front();
        return answer;
    }
    bool confirm(QWidget*, const QString& text) override {
        shown.push_back("confirm:" + text);
        if (answers.empty()) return true;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QString chooseOpenFile(QWidget*, const shell::FileChoice& choice) override {
        choices.push_back(choice);
        return openPath;
    }
    QString chooseSaveFile(QWidget*, const shell::FileChoice& choice) override {
        choices.push_back(choice);
        return savePath;
    }
    void fileError(QWidget*, const QString& path, const QString&) override {
        shown.push_back("fileError:" + path);
    }
    void restartProgram(const QString&, const QStringList&) override {}

    std::deque<bool> answers;  // confirmations, OK when empty
    std::deque<bool> acknowledgements;  // info popups closed with OK, OK when empty
    QString openPath;
    QString savePath;
    std::vector<QString> shown;
    std::vector<shell::FileChoice> choices;
};

class FrameLog final : public link::MessageTarget {
  public:
    void postMessage(unsigned message, std::uintptr_t wParam) override {
        posted.emplace_back(message, wParam);
    }
    [[nodiscard]] bool isAlive() const override { return true; }
    std::vector<std::pair<unsigned, std::uintptr_t>> posted;
};

template <typename W>
W* Find(QWidget* root, const char* name) {
    return root->findChild<W*>(QLatin1String(name));
}

}  // namespace velmora::pages::test

#pragma once
// What page tests share: a prompter that answers from a script, a frame that
// records posted messages, and the requests a page queued for the drive.
#include <unistd.h>

#include <QString>
#include <QStringList>
#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "link/messages.h"
#include "link/queues.h"
#include "link/telegram.h"
#include "shell/prompter.h"

namespace velmora::testkit {

class ScriptedPrompter : public shell::Prompter {
  public:
    ScriptedPrompter() { shell::setPrompter(this); }
    ~ScriptedPrompter() override { shell::setPrompter(nullptr); }

    void inform(QWidget*, const QString& text) override { informed.push_back(text); }
    bool confirm(QWidget*, const QString& text) override {
        confirmed.push_back(text);
        if (confirmAnswers.empty()) return true;
        bool answer = confirmAnswers.front();
        confirmAnswers.pop_front();
        return answer;
    }
    QString chooseOpenFile(QWidget*, const shell::FileChoice& choice) override {
        fileTitles.push_back(choice.title);
        return next();
    }
    QString chooseSaveFile(QWidget*, const shell::FileChoice& choice) override {
        fileTitles.push_back(choice.title);
        return next();
    }
    void fileError(QWidget*, const QString& path, const QString& reason) override {
        fileErrors.push_back(path + ": " + reason);
    }
    void restartProgram(const QString&, const QStringList&) override { ++restarts; }

    std::deque<bool> confirmAnswers;
    std::deque<QString> fileAnswers;
    QStringList informed, confirmed, fileErrors, fileTitles;
    int restarts = 0;
    // Runs while a file dialog would be open (a real one may move the
    // working directory).
    std::function<void()> whileChoosing;

  private:
    QString next() {
        if (whileChoosing) whileChoosing();
        if (fileAnswers.empty()) return {};
        QString path = fileAnswers.front();
        fileAnswers.pop_front();
        return path;
    }
};

class RecordingFrame : public link::MessageTarget {
  public:
    void postMessage(unsigned message, std::uintptr_t wParam) override {
        std::lock_guard lock(m_mutex);
        messages.emplace_back(message, wParam);
    }
    [[nodiscard]] bool isAlive() const override { return true; }
    std::vector<std::pair<unsigned, std::uintptr_t>> messages;

  private:
    std::mutex m_mutex;
};

// Every request waiting in the request queue, oldest first (the queue is emptied).
inline std::vector<link::Telegram> TakeRequests() {
    std::vector<link::Telegram> out;
    link::Telegram t;
    while (link::TheTelegramQueues().Fetch(link::kRequestSlot, t, std::chrono::milliseconds(0)) ==
           link::queue_result::kOk)
        out.push_back(std::move(t));
    return out;
}

inline std::vector<int> Commands(const std::vector<link::Telegram>& requests) {
    std::vector<int> codes;
    for (const auto& t : requests) codes.push_back(t.command);
    return codes;
}

// A fresh folder that becomes the working directory for the test's lifetime.
class ScopedWorkDir {
  public:
    explicit ScopedWorkDir(const std::string& tag) {
        m_old = std::filesystem::current_path();
        m_dir = std::filesystem::temp_directory_path() /
                ("velmora-" + tag + "-" + std::to_string(::getpid()));
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        std::filesystem::current_path(m_dir);
    }
    ~ScopedWorkDir() {
        std::filesystem::current_path(m_old);
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    [[nodiscard]] const std::filesystem::path& path() const { return m_dir; }

  private:
    std::filesystem::path m_old, m_dir;
};

}  // namespace velmora::testkit

#pragma once
// Shared by the widget tests: the application object, a temporary working
// directory (the texts, help files and config.ini are found through it) and a
// message target that records what windows post.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <mutex>
#include <utility>
#include <vector>

#include "link/messages.h"

namespace velmora::shell::testing {

void ensureApplication();

// Makes a fresh temporary directory the working directory for one test.
class WorkDir {
  public:
    WorkDir();
    ~WorkDir();
    // Writes bytes to a path relative to the directory, creating folders.
    void write(const QString& relativePath, const QByteArray& bytes) const;
    [[nodiscard]] QString path(const QString& relativePath) const;

  private:
    QTemporaryDir m_dir;
    QString m_previous;
};

class RecordingTarget : public link::MessageTarget {
  public:
    void postMessage(unsigned message, std::uintptr_t wParam) override;
    [[nodiscard]] bool isAlive() const override { return true; }
    [[nodiscard]] std::vector<std::pair<unsigned, std::uintptr_t>> messages() const;

  private:
    mutable std::mutex m_mutex;
    std::vector<std::pair<unsigned, std::uintptr_t>> m_messages;
};

// Each test starts with an empty catalogue in an empty working directory.
class WidgetTest : public ::testing::Test {
  protected:
    WidgetTest();
    ~WidgetTest() override;
    WorkDir m_work;
};

}  // namespace velmora::shell::testing

#pragma once
// Shared by the widget tests: each test starts with an empty catalogue in a
// fresh working folder (the texts, help files and config.ini are found
// through it).
#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>

#include "shell/textcatalog.h"
#include "tests/support/testkit.h"

namespace velmora::shell::testing {

class WidgetTest : public ::testing::Test {
  protected:
    WidgetTest() { TextCatalog::instance().resetForTest(); }
    ~WidgetTest() override { TextCatalog::instance().resetForTest(); }
    // Writes bytes to a path relative to the folder, creating folders.
    void write(const QString& relativePath, const QByteArray& bytes) const {
        m_work.write(relativePath.toStdString(), bytes.toStdString());
    }
    [[nodiscard]] QString path(const QString& relativePath) const {
        return QString::fromStdString((m_work / relativePath.toStdString()).string());
    }
    testkit::WorkFolder m_work{"widgets"};
};

}  // namespace velmora::shell::testing

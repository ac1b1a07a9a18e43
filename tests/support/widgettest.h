#pragma once
// Shared by the widget tests: each test starts with an empty catalogue in a
// fresh working folder (the texts, help files and config.ini are found
// through it).
#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>
#include <QPushButton>
#include <QString>
#include <QTimer>

#include "shell/textcatalog.h"
#include "tests/support/findchild.h"
#include "tests/support/testkit.h"

namespace velmora::testkit {

class WidgetTest : public ::testing::Test {
  protected:
    WidgetTest() { shell::TextCatalog::instance().resetForTest(); }
    ~WidgetTest() override { shell::TextCatalog::instance().resetForTest(); }
    // Writes bytes to a path relative to the folder, creating folders.
    void write(const QString& relativePath, const QByteArray& bytes) const {
        m_work.write(relativePath.toStdString(), bytes.toStdString());
    }
    [[nodiscard]] QString path(const QString& relativePath) const {
        return QString::fromStdString((m_work / relativePath.toStdString()).string());
    }
    // Presses a button of the next modal dialog once it is shown.
    static void pressLater(const char* button) {
        QTimer::singleShot(0, [button] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            if (auto* pressed = FindChild<QPushButton>(dialog, button)) pressed->click();
        });
    }
    WorkFolder m_work{"widgets"};
};

}  // namespace velmora::testkit

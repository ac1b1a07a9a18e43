#include "widgettestsupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "shell/textcatalog.h"

namespace velmora::shell::testing {

void ensureApplication() {
    if (QApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "shell_widgets_tests";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
}

WorkDir::WorkDir() : m_previous(QDir::currentPath()) {
    EXPECT_TRUE(m_dir.isValid());
    QDir::setCurrent(m_dir.path());
}

WorkDir::~WorkDir() {
    QDir::setCurrent(m_previous);
}

void WorkDir::write(const QString& relativePath, const QByteArray& bytes) const {
    const QString full = path(relativePath);
    QDir().mkpath(QFileInfo(full).path());
    QFile file(full);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << full.toStdString();
    file.write(bytes);
}

QString WorkDir::path(const QString& relativePath) const {
    return m_dir.filePath(relativePath);
}

void RecordingTarget::postMessage(unsigned message, std::uintptr_t wParam) {
    std::lock_guard lock(m_mutex);
    m_messages.emplace_back(message, wParam);
}

std::vector<std::pair<unsigned, std::uintptr_t>> RecordingTarget::messages() const {
    std::lock_guard lock(m_mutex);
    return m_messages;
}

WidgetTest::WidgetTest() {
    ensureApplication();
    TextCatalog::instance().resetForTest();
}

WidgetTest::~WidgetTest() {
    TextCatalog::instance().resetForTest();
}

}  // namespace velmora::shell::testing

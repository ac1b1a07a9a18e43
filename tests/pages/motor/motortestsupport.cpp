#include "motortestsupport.h"

#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "link/queues.h"
#include "shell/textcatalog.h"

namespace velmora::pages::test {

void EnsureApp(const std::filesystem::path& sourceDir) {
    static int argc = 1;
    static char name[] = "motor_test";
    static char* argv[] = {name, nullptr};
    static bool done = false;
    if (done) return;
    done = true;
    // GUI test binaries bring their own application; the others get one here.
    if (!QCoreApplication::instance()) new QApplication(argc, argv);
    if (!sourceDir.empty()) std::filesystem::current_path(sourceDir / "data");
    shell::TextCatalog::instance().load(1);
}

std::vector<link::Telegram> TakeRequests() {
    std::vector<link::Telegram> out;
    link::Telegram t;
    while (link::TheTelegramQueues().Fetch(link::kRequestSlot, t, std::chrono::milliseconds(0)) ==
           link::queue_result::kOk) {
        out.push_back(std::move(t));
    }
    return out;
}

std::vector<int> TakePollModes() {
    std::vector<int> out;
    std::int32_t mode = 0;
    while (link::ThePollModeQueue().Fetch(0, mode, std::chrono::milliseconds(0)) ==
           link::queue_result::kOk) {
        out.push_back(mode);
    }
    return out;
}

void ClearQueues() {
    link::FlushAllQueues();
}

std::string Describe(const link::Telegram& t) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02X", static_cast<unsigned>(t.command));
    std::string s = buffer;
    s += ":";
    for (std::size_t i = 0; i < t.data.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, i ? " %02X" : "%02X", t.data[i]);
        s += buffer;
    }
    return s;
}

std::vector<std::string> Describe(const std::vector<link::Telegram>& ts) {
    std::vector<std::string> out;
    for (const auto& t : ts) out.push_back(Describe(t));
    return out;
}

}  // namespace velmora::pages::test

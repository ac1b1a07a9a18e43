#pragma once
// Waiting in GoogleTest tests for what a test then checks. Qt's QTRY_* macros
// report a time-out only to QTest and simply return, so a test using them
// passes although its condition never held; these fail the GoogleTest test
// instead. Built with Qt, the window thread's events are processed while
// waiting; the Qt-free tests (link, simulator, command line) sleep briefly
// between looks instead.
#include <gtest/gtest.h>

#include <chrono>
#if __has_include(<QCoreApplication>)
#include <QCoreApplication>
#define VELMORA_WAIT_PROCESSES_EVENTS 1
#else
#include <thread>
#endif

namespace velmora::testkit {

// Looks at condition() until it holds or timeoutMs passed.
template <typename Condition>
[[nodiscard]] bool WaitFor(Condition condition, int timeoutMs = 5000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
#ifdef VELMORA_WAIT_PROCESSES_EVENTS
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
#else
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
#endif
    }
    return true;
}

}  // namespace velmora::testkit

#define VELMORA_TRY_VERIFY_WITH_TIMEOUT(condition, timeoutMs)                                   \
    ASSERT_TRUE(                                                                                \
        ::velmora::testkit::WaitFor([&] { return static_cast<bool>(condition); }, (timeoutMs))) \
        << "timed out waiting for " #condition
#define VELMORA_TRY_VERIFY(condition) VELMORA_TRY_VERIFY_WITH_TIMEOUT(condition, 5000)

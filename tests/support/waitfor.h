#pragma once
// Waiting for the window thread in GoogleTest tests. Qt's QTRY_* macros report
// a time-out only to QTest and simply return, so a test using them passes
// although its condition never held; these fail the GoogleTest test instead.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

namespace velmora::testkit {

// Processes events until condition() holds or timeoutMs passed.
template <typename Condition>
[[nodiscard]] bool WaitFor(Condition condition, int timeoutMs = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

}  // namespace velmora::testkit

#define VELMORA_TRY_VERIFY_WITH_TIMEOUT(condition, timeoutMs)                                   \
    ASSERT_TRUE(                                                                                \
        ::velmora::testkit::WaitFor([&] { return static_cast<bool>(condition); }, (timeoutMs))) \
        << "timed out waiting for " #condition
#define VELMORA_TRY_VERIFY(condition) VELMORA_TRY_VERIFY_WITH_TIMEOUT(condition, 5000)

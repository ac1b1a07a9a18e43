#pragma once
// Whole operations the drive's history keeps that no single request shows:
// a run-in program and a firmware transfer. Pages and their dialogs tell the
// window they post to, when it keeps a history; tests and tools pass none.
#include <QString>

#include "shell/frametarget.h"

namespace velmora::shell {

class OperationLog {
  public:
    virtual ~OperationLog() = default;
    virtual void runInStarted(const QString& program) = 0;
    // finished: the program ran to its end; else it was stopped.
    virtual void runInEnded(bool finished) = 0;
    // The transfer of these files ended; done: the drive took all of it.
    virtual void firmwareTransferred(const QStringList& files, bool done) = 0;
};

// The log of the window `frame` is (a page's frame(), a channel's target);
// nullptr when it keeps none.
[[nodiscard]] inline OperationLog* OperationLogOf(FrameTarget* frame) {
    return dynamic_cast<OperationLog*>(frame);
}

}  // namespace velmora::shell

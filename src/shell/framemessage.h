#pragma once
// What pages, their dialogs and panels, and the drive journal's writer tell
// the main window: one struct per window message, its payload typed. Each
// keeps its WM_ name and number (the link's own are in link/messagetarget.h;
// 0x8003 is no longer posted). Qt-free, so the trend's rules see the same.
#include <variant>

namespace velmora::shell {

inline constexpr unsigned WM_TECHPAGE_VISIBILITY = 0x8000;
inline constexpr unsigned WM_SHOW_SPECIFICPROG = 0x8001;
inline constexpr unsigned WM_MOTOR_MODEL_CHOSEN = 0x8004;
inline constexpr unsigned WM_MEMORY_SLOT_CHOSEN = 0x8005;
inline constexpr unsigned WM_TAB_LOCK = 0x8006;
inline constexpr unsigned WM_RUNIN_ACTIVE = 0x800A;
inline constexpr unsigned WM_LINK_FLUSH = 0x800B;
inline constexpr unsigned WM_LINK_SUSPEND = 0x800C;
inline constexpr unsigned WM_JOURNAL_FAILED = 0x800E;

// Add (shown) or remove the technician page.
struct TechPageVisibility {
    static constexpr unsigned kId = WM_TECHPAGE_VISIBILITY;
    bool shown = false;
    bool operator==(const TechPageVisibility&) const = default;
};

// Open the actuator and sensor test on the specific-programming page.
struct ShowSpecificProg {
    static constexpr unsigned kId = WM_SHOW_SPECIFICPROG;
    bool operator==(const ShowSpecificProg&) const = default;
};

// A motor model was loaded; the control page shows its name.
struct MotorModelChosen {
    static constexpr unsigned kId = WM_MOTOR_MODEL_CHOSEN;
    int model = 0;  // index in the motor model list
    bool operator==(const MotorModelChosen&) const = default;
};

// A memory slot was loaded; the control page shows its name.
struct MemorySlotChosen {
    static constexpr unsigned kId = WM_MEMORY_SLOT_CHOSEN;
    int slot = 0;  // 0..31
    bool operator==(const MemorySlotChosen&) const = default;
};

// A test view holds the drive in test operation: no tab change meanwhile.
struct TabLock {
    static constexpr unsigned kId = WM_TAB_LOCK;
    bool locked = false;
    bool operator==(const TabLock&) const = default;
};

// A run-in program started or stopped, or a running one entered a step.
struct RunInActive {
    static constexpr unsigned kId = WM_RUNIN_ACTIVE;
    bool active = false;
    int step = 0;  // the step entered; 0 when the program just started or stopped
    bool operator==(const RunInActive&) const = default;
};

// Empty the frame and request queues before a firmware transfer.
struct LinkFlush {
    static constexpr unsigned kId = WM_LINK_FLUSH;
    bool operator==(const LinkFlush&) const = default;
};

// Suspend the link supervision during a firmware transfer, or resume it.
struct LinkSuspend {
    static constexpr unsigned kId = WM_LINK_SUSPEND;
    bool suspend = false;
    bool operator==(const LinkSuspend&) const = default;
};

// The drive journal cannot be written (posted from its writer thread).
struct JournalFailed {
    static constexpr unsigned kId = WM_JOURNAL_FAILED;
    bool operator==(const JournalFailed&) const = default;
};

using FrameMessage =
    std::variant<TechPageVisibility, ShowSpecificProg, MotorModelChosen, MemorySlotChosen, TabLock,
                 RunInActive, LinkFlush, LinkSuspend, JournalFailed>;

[[nodiscard]] constexpr unsigned IdOf(const FrameMessage& message) {
    return std::visit([](const auto& m) { return m.kId; }, message);
}

// One handler per message for std::visit.
template <typename... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
template <typename... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

}  // namespace velmora::shell

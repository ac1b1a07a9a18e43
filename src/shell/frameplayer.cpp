#include "shell/frameplayer.h"

#include <condition_variable>
#include <mutex>

namespace velmora::shell {

// Shared by the window thread and the player's thread, so a thread that
// outlives stop() never touches freed memory.
struct FramePlayer::Control {
    std::mutex mutex;
    std::condition_variable changed;
    bool stopping = false;
    bool finished = false;
    Sink sink;
};

FramePlayer::~FramePlayer() {
    stop();
}

void FramePlayer::start(std::vector<std::optional<int>> waitsMs, Sink sink) {
    if (running() || waitsMs.empty() || !sink) return;
    m_control = std::make_shared<Control>();
    m_control->sink = std::move(sink);
    m_thread = std::thread(&FramePlayer::run, m_control, std::move(waitsMs));
}

bool FramePlayer::stop(std::chrono::milliseconds timeout) {
    if (!m_thread.joinable()) return true;
    bool ended = false;
    {
        std::unique_lock lock(m_control->mutex);
        m_control->stopping = true;
        m_control->sink = nullptr;
        m_control->changed.notify_all();
        ended = m_control->changed.wait_for(lock, timeout, [&] { return m_control->finished; });
    }
    if (ended) {
        m_thread.join();
    } else {
        m_thread.detach();
    }
    m_control.reset();
    return ended;
}

void FramePlayer::run(std::shared_ptr<Control> control, std::vector<std::optional<int>> waitsMs) {
    const auto post = [&](PlayStep::Kind kind, int frame) {
        std::lock_guard lock(control->mutex);
        if (control->stopping) return false;
        control->sink(PlayStep{kind, frame});
        return true;
    };
    // true when stopped while waiting
    const auto wait = [&](std::optional<int> ms) {
        std::unique_lock lock(control->mutex);
        const auto stopping = [&] { return control->stopping; };
        if (ms) {
            control->changed.wait_for(lock, std::chrono::milliseconds(*ms), stopping);
        } else {
            control->changed.wait(lock, stopping);
        }
        return control->stopping;
    };

    const int frames = static_cast<int>(waitsMs.size());
    bool going = post(PlayStep::DisposeCurrent, 0);
    while (going) {
        for (int i = 0; going && i < frames; ++i) {
            going = post(PlayStep::Draw, i) && !wait(waitsMs[static_cast<std::size_t>(i)]) &&
                    post(PlayStep::DisposeCurrent, i);
        }
        going = going && post(PlayStep::Clear, 0);
    }
    std::lock_guard lock(control->mutex);
    control->finished = true;
    control->changed.notify_all();
}

}  // namespace velmora::shell

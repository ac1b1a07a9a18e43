#pragma once
// The timing thread of an animation. It never draws: it tells a sink which
// step comes next (draw frame i, undo the shown frame, clear the picture) and
// the window thread does the drawing. Qt-free so the timing can be checked
// under the thread sanitizer.
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace velmora::shell {

struct PlayStep {
    enum Kind {
        DisposeCurrent,  // apply the disposal method of the frame shown last
        Draw,            // draw frame `frame`
        Clear,           // after the last frame: fill the picture with the background
    };
    Kind kind = Draw;
    int frame = 0;
};

class FramePlayer {
  public:
    // Runs on the player's thread under its lock; must not block. It is never
    // called again once stop() has begun.
    using Sink = std::function<void(PlayStep)>;

    FramePlayer() = default;
    FramePlayer(const FramePlayer&) = delete;
    FramePlayer& operator=(const FramePlayer&) = delete;
    ~FramePlayer();

    // Starts the thread over frames shown for waitsMs[i] milliseconds each
    // (nothing: until stopped), round and round. Ignored while running or
    // without frames.
    void start(std::vector<std::optional<int>> waitsMs, Sink sink);
    // Stops the sink at once and waits up to timeout for the thread. A thread
    // that does not end in time is left to finish on its own; it owns all it
    // still uses. true when the thread ended in time (or none ran).
    bool stop(std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));
    [[nodiscard]] bool running() const { return m_thread.joinable(); }

  private:
    struct Control;
    static void run(std::shared_ptr<Control> control, std::vector<std::optional<int>> waitsMs);

    std::shared_ptr<Control> m_control;
    std::thread m_thread;
};

}  // namespace velmora::shell

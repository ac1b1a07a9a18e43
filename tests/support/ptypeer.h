#pragma once
// The far end of a pseudo-terminal pair, playing the drive in link tests: it
// reads the tool's frames with the real decoder and answers from a script.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "link/codec.h"
#include "link/telegram.h"

namespace velmora::link::test {

using Bytes = std::vector<std::uint8_t>;

// One pseudo-terminal; the test holds the controlling (master) side.
class PtyPair {
  public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    [[nodiscard]] const std::string& devicePath() const { return m_path; }
    [[nodiscard]] int masterFd() const { return m_master; }
    [[nodiscard]] bool valid() const { return m_master >= 0; }
    bool write(const Bytes& bytes);
    // Closes both ends: the device disappears for whoever has it open.
    void hangUp();

  private:
    int m_master = -1;
    int m_slave = -1;  // kept open so the master never sees a hang-up itself
    std::string m_path;
};

// Reads the master side byte by byte for the decoder.
class MasterByteSource final : public ByteSource {
  public:
    explicit MasterByteSource(int fd) : m_fd(fd) {}
    std::optional<std::uint8_t> nextByte(std::chrono::milliseconds wait) override;

  private:
    int m_fd;
};

[[nodiscard]] Bytes Encode(int command, Bytes data);

// A drive on a pty that answers requests through `answer` (nullopt: silent)
// and records every request it decoded.
class ScriptedDrive {
  public:
    using Answer = std::function<std::optional<Bytes>(const Telegram& request)>;
    struct Request {
        int command;
        Bytes data;
        std::chrono::steady_clock::time_point at;
    };

    explicit ScriptedDrive(Answer answer);
    ~ScriptedDrive();

    [[nodiscard]] std::string devicePath() const;
    // Closes the line; the tool sees the device vanish.
    void hangUp();
    // A new pty; `linkPath` (a symbolic link) is pointed at it.
    void comeBack(const std::string& linkPath);
    void setSilent(bool silent) { m_silent = silent; }
    // Writes bytes of the drive's own accord (unasked replies, noise).
    bool send(const Bytes& bytes);

    [[nodiscard]] std::vector<Request> requests() const;
    void clearRequests();
    // Waits until `predicate` holds for the recorded requests.
    bool waitFor(const std::function<bool(const std::vector<Request>&)>& predicate,
                 std::chrono::milliseconds timeout) const;

    // The standard answers: 0x81 to a link check, a status reply to a read
    // of 0x60, a short group reply to other reads.
    static std::optional<Bytes> StandardAnswer(const Telegram& request);

  private:
    void serve();

    Answer m_answer;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_silent{false};
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_hangUp = false;
    std::unique_ptr<PtyPair> m_pty;
    std::unique_ptr<PtyPair> m_next;
    std::vector<Request> m_requests;
    std::thread m_thread;
};

}  // namespace velmora::link::test

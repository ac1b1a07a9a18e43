#pragma once
// The project's own link threads connected to the simulated drive on a
// pseudo-terminal, with the test thread playing the main window: it takes
// the posted messages and fetches the replies they announce.
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/firstcompleteread.h"
#include "model/linkeddrive.h"
#include "sim/driveserver.h"
#include "tests/support/messagerecorder.h"

namespace velmora::e2e {

using namespace std::chrono_literals;

// Link pauses cut down so a test sees several supervision cycles per second.
[[nodiscard]] link::LinkTimings FastTimings();

class DriveLinkHarness {
  public:
    // ptyLink: the simulator's pseudo-terminal behind this symbolic link,
    // which the link opens (it survives the simulator's replug).
    explicit DriveLinkHarness(sim::ServerOptions options = {},
                              const link::LinkTimings& timings = FastTimings(),
                              const std::string& ptyLink = {});
    ~DriveLinkHarness();
    DriveLinkHarness(const DriveLinkHarness&) = delete;
    DriveLinkHarness& operator=(const DriveLinkHarness&) = delete;

    // Handles messages as the main window would until done() holds; false
    // when `timeout` passed first.
    bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 5s);
    // Starts the first complete read and waits for it.
    bool readAllGroups(std::chrono::milliseconds timeout = 5s);
    // Handles messages until none came for `quiet`.
    void settle(std::chrono::milliseconds quiet = 150ms, std::chrono::milliseconds timeout = 3s);
    // Reads a group and waits until its reply has been stored.
    bool readGroup(int code, std::chrono::milliseconds timeout = 3s);
    // Sends a request and waits for the single reply with that code.
    std::optional<link::Telegram> ask(link::Telegram request, int replyCode,
                                      std::chrono::milliseconds timeout = 3s);

    sim::DriveServer server;
    std::string device;
    model::LinkedDrive drive;
    link::DriveLink& link = drive.link;
    model::DriveData& data = drive.data;
    bool allGroupsRead = false;
    std::optional<std::array<std::uint8_t, 4>> status;  // the latest status reply
    std::optional<int> linkState;                       // the latest link state
    std::vector<link::Telegram> replies;                // single replies not yet taken
    std::vector<int> groupReplies;                      // codes of stored group replies

  private:
    void handle(unsigned message, std::uintptr_t wParam);

    testkit::MessageRecorder m_log;
    model::FirstCompleteRead m_firstRead;
};

}  // namespace velmora::e2e

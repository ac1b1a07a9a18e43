#pragma once
// The two phases of a firmware update as pure logic: loader blocks sent at
// the tool's pace, then firmware blocks answered on the drive's requests.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "link/pollmode.h"
#include "link/telegram.h"

namespace velmora::model {

inline constexpr int kLoaderBlockBytes = 251;  // 4-byte header + 251 = 255
inline constexpr int kFirmwareBlockBytes = 248;

// Polling modes of a download: nothing during the loader, block requests
// while waiting for the drive, nothing while an answer is being prepared.
inline constexpr int kPollNothing = static_cast<int>(link::PollMode::FirmwareQuiet);
inline constexpr int kPollBlockRequest = static_cast<int>(link::PollMode::FirmwareBlockRequest);
inline constexpr int kPollPreparing = static_cast<int>(link::PollMode::FirmwarePreparing);

// The pauses of the exchange in milliseconds. They keep the drive's pace;
// tests shorten them.
struct FirmwareTimings {
    int loaderTick = 500;        // between loader blocks
    int afterLoaderBlock = 200;  // before the next tick is armed
    int afterLoaderDone = 1000;  // before the drive is asked for blocks
    int beforeFirmwareBlock = 100;
    int beforeFirmwareDone = 200;
};

class LoaderPhase {
  public:
    // Every download numbers its loader blocks from 0.
    void begin(std::vector<std::uint8_t> loader);
    [[nodiscard]] bool finished() const { return m_position >= m_loader.size(); }
    // The next LoaderBlock; nullopt once every byte was sent.
    [[nodiscard]] std::optional<link::Telegram> nextBlock();
    [[nodiscard]] int total() const { return static_cast<int>(m_loader.size()); }
    [[nodiscard]] int sent() const { return static_cast<int>(m_position); }
    void release();

  private:
    std::vector<std::uint8_t> m_loader;
    std::size_t m_position = 0;
    std::uint16_t m_blockNumber = 0;
};

struct FirmwareAnswer {
    // nullopt: the request lies at or beyond the end of the file, which ends
    // the transfer instead of sending an empty or negative block.
    std::optional<link::Telegram> block;
    bool lastBlock = false;   // this block holds the end of the file
    int progress = 0;         // position of the firmware progress bar
    int progressMaximum = 0;  // file length / 248
};

// The answer to a block request for block k of the update file.
[[nodiscard]] FirmwareAnswer AnswerBlockRequest(std::span<const std::uint8_t> update,
                                                std::uint16_t k);

}  // namespace velmora::model

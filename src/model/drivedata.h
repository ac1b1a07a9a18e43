#pragma once
// An image of a drive's parameters and live values: the one the window or
// velmora-cli keeps of the connected drive, or a file's. Used on one thread
// only (the link threads never touch it).
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <utility>

#include "link/telegram.h"
#include "model/drivegate.h"

namespace velmora::model {

// A word of the image the drive has not sent yet.
inline constexpr std::uint32_t kUnreadWord = 0xFFFFFFFFu;

class DriveData {
  public:
    // An image that reaches no drive (a file's values) until useGate.
    DriveData();
    // The image of the drive behind `outlet` (a LinkOutlet), which must
    // outlive it: reads, writes and replies go through it.
    explicit DriveData(RequestOutlet& outlet);
    // A copy writes through the gate its source was given with useGate, or,
    // when the source used its own, through a new gate of its own on the
    // same outlet.
    DriveData(const DriveData& other);
    DriveData& operator=(const DriveData& other);
    ~DriveData();

    // The guarded way to the drive: every write and action of this image.
    [[nodiscard]] DriveGate& gate() { return *m_gate; }
    [[nodiscard]] const DriveGate& gate() const { return *m_gate; }
    // Writes of this image go through another image's gate from now on: a
    // file's values laid over a read, judged by what the drive last said.
    // The gate must outlive this image (and its copies, which share it).
    void useGate(DriveGate& gate) { m_gate = &gate; }

    // direction 1 reads a group (0x50..0x5A, 0x5F); direction 0 writes group
    // 0x10..0x18 through the gate, which checks the working values, copies
    // them into the image and sends. nullopt when sent (reads: always).
    GateResult RequestGroup(int direction, int code);
    // The image afterwards equals the working values (what a write sends).
    void CopyWorkingToImage();
    [[nodiscard]] std::span<const std::uint32_t, 156> ImageWords() const {
        return std::span<const std::uint32_t, 156>(m_words.data() + 156, 156);
    }
    // Fetch one reply from the reply queue and store it.
    void StoreGroupReply();
    // Store one already fetched reply (the part of StoreGroupReply after the fetch).
    void StoreReply(const link::Telegram& reply);
    // Called with the code of every group reply stored, after storing it (the
    // live trend samples the operating values this way). One observer; an
    // empty function removes it.
    void SetStoreObserver(std::function<void(int code)> observer) {
        m_storeObserver = std::move(observer);
    }
    // Called with every group reply stored, as received (the window's journal
    // keeps its own record of what the drive said). One listener, not copied
    // with the image; an empty function removes it.
    void SetReplyListener(std::function<void(const link::Telegram&)> listener) {
        m_replyListener = std::move(listener);
    }
    // The code of the group reply stored last; 0 before the first.
    [[nodiscard]] int LastStoredGroup() const { return m_lastStored; }
    void RequestMissingGroups();
    [[nodiscard]] int GroupsIncomplete() const;
    // For 0x50..0x5A the received flag; for 0x5F whether one was ever stored
    // (it has no flag and takes no part in GroupsIncomplete).
    [[nodiscard]] bool GroupReceived(int code) const;
    void TakeImage();

    [[nodiscard]] std::uint32_t GetChoice(int parameter) const;
    void SetChoice(int parameter, std::uint32_t listIndex);
    [[nodiscard]] float GetReal(int parameter) const;
    void SetReal(int parameter, float value);
    void ToDisplaySpeed(std::uint32_t& speed) const;
    void FromDisplaySpeed(std::uint32_t& speed) const;
    [[nodiscard]] int GetMotorSel(int selector) const;
    void SetMotorSel(int selector, int value);

    // Raw words; a parameter outside 1..155 reads 0 and writes nothing.
    [[nodiscard]] std::uint32_t Working(int parameter) const;
    void SetWorking(int parameter, std::uint32_t value);
    [[nodiscard]] std::uint32_t Image(int parameter) const;
    void SetImage(int parameter, std::uint32_t value);

    // Back to the start state (tests, and a fresh connection in tools).
    void Reset();

  private:
    std::array<std::uint32_t, 312> m_words{};  // 0..155 working, 156..311 image
    std::array<bool, 11> m_received{};         // groups 0x50..0x5A
    bool m_errorGroupStored = false;           // 0x5F
    std::array<int, 2> m_motorSel{2, 2};
    std::function<void(int)> m_storeObserver;
    std::function<void(const link::Telegram&)> m_replyListener;
    int m_lastStored = 0;
    std::unique_ptr<DriveGate> m_ownGate;
    DriveGate* m_gate;
};

}  // namespace velmora::model

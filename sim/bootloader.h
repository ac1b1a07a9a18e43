#pragma once
// The drive's boot loader: takes the loader image in blocks, then, running
// the loader, asks for the firmware image block by block.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace velmora::sim {

enum class LoaderPhase {
    Normal,  // the firmware runs; loader blocks may arrive
    ReceivingLoader,
    Firmware,  // the loader runs and asks for firmware blocks
};

[[nodiscard]] const char* LoaderPhaseName(LoaderPhase phase);

class BootLoader {
  public:
    void loaderBlock(std::uint16_t block, std::span<const std::uint8_t> bytes);
    // The loader starts; true when the phase changed.
    bool loaderDone();
    // The number of the firmware block wanted next; nothing outside the loader.
    [[nodiscard]] std::optional<std::uint16_t> wantedBlock() const;
    void firmwareBlock(std::uint16_t block, std::span<const std::uint8_t> bytes);
    // Back to normal operation; true when the loader was running.
    bool firmwareDone();

    [[nodiscard]] LoaderPhase phase() const { return m_phase; }
    [[nodiscard]] const std::vector<std::uint8_t>& loaderImage() const { return m_loader; }
    [[nodiscard]] const std::vector<std::uint8_t>& firmwareImage() const { return m_firmware; }
    // Every block arrived in sequence, without gaps or conflicting repeats.
    [[nodiscard]] bool inOrder() const { return m_inOrder; }
    // FirmwareDone came after an in-order transfer whose blocks were all full
    // except the last.
    [[nodiscard]] bool complete() const { return m_complete; }
    // "firmware 4096 bytes complete in-order" and the like.
    [[nodiscard]] std::string summary() const;

  private:
    LoaderPhase m_phase = LoaderPhase::Normal;
    std::vector<std::uint8_t> m_loader;
    std::vector<std::uint8_t> m_firmware;
    std::vector<std::uint32_t> m_blockStarts;  // offset of each firmware block received
    std::uint16_t m_nextLoaderBlock = 0;
    std::uint16_t m_wanted = 0;
    std::size_t m_fullBlock = 0;  // size of the first firmware block
    bool m_shortBlockSeen = false;
    bool m_inOrder = true;
    bool m_complete = false;
    bool m_everFinished = false;
};

}  // namespace velmora::sim

#include "sim/bootloader.h"

#include <algorithm>

namespace velmora::sim {

const char* LoaderPhaseName(LoaderPhase phase) {
    switch (phase) {
        case LoaderPhase::Normal:
            return "normal";
        case LoaderPhase::ReceivingLoader:
            return "receiving-loader";
        case LoaderPhase::Firmware:
            return "loader-running";
    }
    return "normal";
}

void BootLoader::loaderBlock(std::uint16_t block, std::span<const std::uint8_t> bytes) {
    if (m_phase == LoaderPhase::Firmware) return;  // the loader ignores its own image
    if (m_phase == LoaderPhase::Normal) {
        // A new update; the tool may continue the block numbering of an
        // earlier one, so the first block's number is taken as it comes.
        m_phase = LoaderPhase::ReceivingLoader;
        m_loader.clear();
        m_firmware.clear();
        m_blockStarts.clear();
        m_nextLoaderBlock = block;
        m_inOrder = true;
        m_complete = false;
    }
    if (block != m_nextLoaderBlock) {
        m_inOrder = false;
        return;
    }
    m_loader.insert(m_loader.end(), bytes.begin(), bytes.end());
    ++m_nextLoaderBlock;
}

bool BootLoader::loaderDone() {
    if (m_phase != LoaderPhase::ReceivingLoader || m_loader.empty()) return false;
    m_phase = LoaderPhase::Firmware;
    m_wanted = 0;
    m_fullBlock = 0;
    m_shortBlockSeen = false;
    return true;
}

std::optional<std::uint16_t> BootLoader::wantedBlock() const {
    if (m_phase != LoaderPhase::Firmware) return std::nullopt;
    return m_wanted;
}

void BootLoader::firmwareBlock(std::uint16_t block, std::span<const std::uint8_t> bytes) {
    if (m_phase != LoaderPhase::Firmware) return;
    if (block < m_wanted) {
        // A block answered twice must carry the same bytes again.
        const std::size_t start = m_blockStarts[block];
        const std::size_t end =
            block + 1u < m_blockStarts.size() ? m_blockStarts[block + 1u] : m_firmware.size();
        if (end - start != bytes.size() ||
            !std::equal(bytes.begin(), bytes.end(), m_firmware.begin() + start))
            m_inOrder = false;
        return;
    }
    if (block > m_wanted || m_wanted == 0xFFFF) {
        m_inOrder = false;
        return;
    }
    if (m_fullBlock == 0) m_fullBlock = bytes.size();
    if (m_shortBlockSeen) m_inOrder = false;  // data after a short (last) block
    if (bytes.size() < m_fullBlock || bytes.empty()) m_shortBlockSeen = true;
    m_blockStarts.push_back(static_cast<std::uint32_t>(m_firmware.size()));
    m_firmware.insert(m_firmware.end(), bytes.begin(), bytes.end());
    ++m_wanted;
}

bool BootLoader::firmwareDone() {
    if (m_phase != LoaderPhase::Firmware) return false;
    m_phase = LoaderPhase::Normal;
    m_complete = m_inOrder && !m_firmware.empty();
    m_everFinished = true;
    return true;
}

std::string BootLoader::summary() const {
    std::string text = "loader ";
    text += LoaderPhaseName(m_phase);
    if (m_phase == LoaderPhase::Normal && !m_everFinished && m_loader.empty())
        return text + " firmware none";
    text += " firmware " + std::to_string(m_firmware.size()) + " bytes";
    if (m_phase != LoaderPhase::Normal) return text + " receiving";
    text += m_complete ? " complete" : " incomplete";
    text += m_inOrder ? " in-order" : " out-of-order";
    return text;
}

}  // namespace velmora::sim

#include "model/firmwaretransfer.h"

#include <algorithm>

#include "model/commands.h"

namespace velmora::model {

void LoaderPhase::begin(std::vector<std::uint8_t> loader) {
    m_loader = std::move(loader);
    m_position = 0;
    m_blockNumber = 0;
}

std::optional<link::Telegram> LoaderPhase::nextBlock() {
    if (finished()) return std::nullopt;
    const std::size_t n = std::min<std::size_t>(kLoaderBlockBytes, m_loader.size() - m_position);
    auto block = model::BuildLoaderBlock(
        m_blockNumber++, std::span<const std::uint8_t>(m_loader).subspan(m_position, n));
    m_position += n;
    return block;
}

void LoaderPhase::release() {
    m_loader.clear();
    m_loader.shrink_to_fit();
    m_position = 0;
}

FirmwareAnswer AnswerBlockRequest(std::span<const std::uint8_t> update, std::uint16_t k) {
    FirmwareAnswer answer;
    const std::size_t length = update.size();
    answer.progressMaximum = static_cast<int>(length / kFirmwareBlockBytes);
    const std::size_t offset = std::size_t{k} * kFirmwareBlockBytes;
    if (offset >= length) {
        answer.progress = answer.progressMaximum;
        return answer;
    }
    const std::size_t n = std::min<std::size_t>(kFirmwareBlockBytes, length - offset);
    answer.progress = k;
    if (offset + n >= length) {
        answer.lastBlock = true;
        answer.progress = answer.progressMaximum;
    }
    answer.block = model::BuildFirmwareBlock(k, update.subspan(offset, n));
    return answer;
}

}  // namespace velmora::model

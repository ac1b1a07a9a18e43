#include "sim/linefaults.h"

#include <algorithm>
#include <cstdio>

#include "link/codec.h"

namespace velmora::sim {
namespace {

double clampProbability(double p) {
    if (!(p > 0)) return 0;  // also NaN
    return std::min(p, 1.0);
}

}  // namespace

LineFaults::LineFaults(std::uint32_t seed) : m_random(seed) {}

void LineFaults::setNoise(double probability) {
    m_noise = clampProbability(probability);
}
void LineFaults::setDrop(double probability) {
    m_drop = clampProbability(probability);
}

void LineFaults::clear() {
    m_noise = 0;
    m_drop = 0;
    m_uppercase = false;
    m_unpluggedUntil = {};
}

bool LineFaults::chance(double probability) {
    if (probability <= 0) return false;
    return std::uniform_real_distribution<double>(0.0, 1.0)(m_random) < probability;
}

std::optional<std::uint8_t> LineFaults::receive(std::uint8_t byte) {
    if (chance(m_drop)) return std::nullopt;
    if (chance(m_noise)) return static_cast<std::uint8_t>(m_random());
    return byte;
}

std::vector<std::uint8_t> LineFaults::transmit(std::vector<std::uint8_t> frame) {
    if (m_uppercase) frame = UppercaseFrame(frame);
    if (m_noise <= 0 && m_drop <= 0) return frame;
    std::vector<std::uint8_t> out;
    out.reserve(frame.size());
    for (std::uint8_t byte : frame) {
        if (chance(m_drop)) continue;
        out.push_back(chance(m_noise) ? static_cast<std::uint8_t>(m_random()) : byte);
    }
    return out;
}

std::vector<std::uint8_t> UppercaseFrame(std::span<const std::uint8_t> frame) {
    std::vector<std::uint8_t> out(frame.begin(), frame.end());
    if (out.size() < 10 || out.front() != link::kFrameStart || out.back() != link::kFrameEnd)
        return out;
    const std::size_t checksumAt = out.size() - 3;
    for (std::size_t i = 1; i < checksumAt; ++i)
        if (out[i] >= 'a' && out[i] <= 'f') out[i] = static_cast<std::uint8_t>(out[i] - 'a' + 'A');
    const std::uint8_t sum = link::FrameChecksum(std::span(out).subspan(1, checksumAt - 1));
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", sum);
    out[checksumAt] = static_cast<std::uint8_t>(digits[0]);
    out[checksumAt + 1] = static_cast<std::uint8_t>(digits[1]);
    return out;
}

}  // namespace velmora::sim

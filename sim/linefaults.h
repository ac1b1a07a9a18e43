#pragma once
// Faults of the serial line between tool and drive, injected on purpose:
// garbled and lost bytes, a pulled cable, upper-case hex digits.
#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <span>
#include <vector>

namespace velmora::sim {

class LineFaults {
  public:
    using Clock = std::chrono::steady_clock;

    explicit LineFaults(std::uint32_t seed = std::random_device{}());

    // Probabilities 0..1 per byte, in both directions; other values are clamped.
    void setNoise(double probability);
    void setDrop(double probability);
    void setUppercase(bool on) { m_uppercase = on; }
    void unplugUntil(Clock::time_point until) { m_unpluggedUntil = until; }
    void clear();

    [[nodiscard]] double noise() const { return m_noise; }
    [[nodiscard]] double drop() const { return m_drop; }
    [[nodiscard]] bool uppercase() const { return m_uppercase; }
    [[nodiscard]] bool unplugged(Clock::time_point now) const { return now < m_unpluggedUntil; }

    // A byte as it reaches the drive: nothing when lost, another value when
    // garbled.
    [[nodiscard]] std::optional<std::uint8_t> receive(std::uint8_t byte);
    // An encoded frame as it reaches the tool.
    [[nodiscard]] std::vector<std::uint8_t> transmit(std::vector<std::uint8_t> frame);

  private:
    [[nodiscard]] bool chance(double probability);

    std::mt19937 m_random;
    double m_noise = 0;
    double m_drop = 0;
    bool m_uppercase = false;
    Clock::time_point m_unpluggedUntil{};
};

// The same frame with upper-case hex digits and the checksum summed over
// them, as a peer that writes upper case must send it. Anything that is not a
// well-formed frame comes back unchanged.
[[nodiscard]] std::vector<std::uint8_t> UppercaseFrame(std::span<const std::uint8_t> frame);

}  // namespace velmora::sim

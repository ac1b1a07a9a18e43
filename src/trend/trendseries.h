#pragma once
// The six operating values the trend plots and records, as one table, and
// one sample of them taken from the drive image. Qt-free.
#include <array>
#include <cstdint>
#include <span>

namespace velmora::model {
class DriveData;
}

namespace velmora::trend {

enum class UnitKind { Speed, Current, Voltage, Power };

struct SeriesInfo {
    const char* labelKey;  // catalogue key of the value's name
    int parameter;         // where group 0x59 carries it
    UnitKind unit;
    int decimals;          // as the operating-values page prints it
    std::uint32_t colour;  // 0xRRGGBB
};

inline constexpr std::size_t kSeriesCount = 6;
inline constexpr int kOperatingValuesGroup = 0x59;

// Actual speed, set speed, output current, output voltage, supply voltage,
// output power: plot, legend and CSV columns follow this order.
[[nodiscard]] std::span<const SeriesInfo, kSeriesCount> AllSeries();
// Catalogue key of a unit; the speed's depends on the display unit.
[[nodiscard]] const char* UnitKey(UnitKind unit, bool rpm);

struct TrendSample {
    std::int64_t timeMs = 0;  // milliseconds since 1970 (UTC)
    // Speeds in Hz whatever the display unit, so one recording or plot never
    // mixes units when the user switches p8 while it runs.
    std::array<float, kSeriesCount> values{};
    // The line breaks before this sample: samples were missing or the link was lost.
    bool gapBefore = false;
};

// Longer than a few poll cycles without a sample: no line is drawn across.
inline constexpr std::int64_t kLongestSampleGapMs = 3000;
// Whether a sample at timeMs continues the line of the one at previousMs.
[[nodiscard]] bool StartsNewLine(std::int64_t previousMs, std::int64_t timeMs, bool linkLost);

// The image as the latest reply left it (the pages' working values may hold
// an edit in progress).
[[nodiscard]] TrendSample SampleFromImage(const model::DriveData& data, std::int64_t timeMs);
// Speed shown in rpm: the operating-values page multiplies by 60 unless p8 is 1 (Hz).
[[nodiscard]] bool SpeedInRpm(const model::DriveData& data);
// A sample's value in the unit it is shown and recorded in.
[[nodiscard]] double DisplayValue(const TrendSample& sample, std::size_t series, bool rpm);

}  // namespace velmora::trend

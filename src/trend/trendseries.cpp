#include "trend/trendseries.h"

#include "model/drivedata.h"
#include "model/grouplayout.h"
#include "model/parameters.h"

namespace velmora::trend {

namespace {

// Colours of the Okabe-Ito set, which stay apart for the common colour-vision
// deficiencies; its yellow is left out, being too pale on white.
constexpr std::array<SeriesInfo, kSeriesCount> kSeries{{
    {"p14", 14, UnitKind::Speed, 0, 0x0072B2},    // blue
    {"p10", 10, UnitKind::Speed, 0, 0xE69F00},    // orange
    {"p18", 18, UnitKind::Current, 2, 0x009E73},  // bluish green
    {"p15", 15, UnitKind::Voltage, 2, 0xCC79A7},  // reddish purple
    {"p16", 16, UnitKind::Voltage, 2, 0x56B4E9},  // sky blue
    {"p19", 19, UnitKind::Power, 2, 0x000000},    // black
}};

}  // namespace

std::span<const SeriesInfo, kSeriesCount> AllSeries() {
    return kSeries;
}

const char* UnitKey(UnitKind unit, bool rpm) {
    switch (unit) {
        case UnitKind::Speed:
            return rpm ? "rpm" : "hz";
        case UnitKind::Current:
            return "ampereac";
        case UnitKind::Voltage:
            return "voltac";
        case UnitKind::Power:
            break;
    }
    return "watt";
}

TrendSample SampleFromImage(const model::DriveData& data, std::int64_t timeMs) {
    TrendSample sample;
    sample.timeMs = timeMs;
    for (std::size_t i = 0; i < kSeriesCount; ++i) {
        const int parameter = kSeries[i].parameter;
        sample.values[i] = static_cast<float>(static_cast<double>(data.Image(parameter)) /
                                              model::ScaleFactor(parameter));
    }
    return sample;
}

bool StartsNewLine(std::int64_t previousMs, std::int64_t timeMs, bool linkLost) {
    return linkLost || timeMs - previousMs > kLongestSampleGapMs;
}

bool SpeedInRpm(const model::DriveData& data) {
    return data.Image(model::param::kSpeedUnit) != 1;
}

double DisplayValue(const TrendSample& sample, std::size_t series, bool rpm) {
    if (series >= kSeriesCount) return 0.0;
    const double value = sample.values[series];
    return kSeries[series].unit == UnitKind::Speed && rpm ? value * 60.0 : value;
}

}  // namespace velmora::trend

#include "pages/remote/remotepolicy.h"

#include <algorithm>
#include <cmath>

#include "model/parameters.h"

namespace velmora::pages {

namespace param = model::param;

namespace {

constexpr const char* kLockedOrRemote[] = {"locked", "remotecontrol"};
constexpr const char* kP129[] = {"up129", "ip129"};
constexpr const char* kP110[] = {"off", "stop", "startstop"};
constexpr const char* kP111[] = {"off", "ccwrot", "reset", "run", "motorcodeb4"};
constexpr const char* kP112[] = {"off", "ccwrot", "reset", "motorcodeb0"};
constexpr const char* kP113[] = {"off", "ccwrot", "reset", "motorcodeb1"};
constexpr const char* kP114[] = {"off", "ccwrot", "reset", "motorcodeb2", "fixfreqb0"};
constexpr const char* kP115[] = {"off", "ccwrot", "reset", "motorcodeb3", "fixfreqb1"};
constexpr const char* kRelay[] = {
    "off",           "stateoperation", "statewarning", "statefailure", "stateoverload",
    "nratedreached", "warningcurrent", "motortemp",    "motorstands",  "motorruns"};

constexpr RemoteList kLists[] = {
    {142, kLockedOrRemote, false},
    {102, kLockedOrRemote, true},
    {129, kP129, true},
    {110, kP110, true},
    {111, kP111, true},
    {112, kP112, true},
    {113, kP113, true},
    {114, kP114, true},
    {115, kP115, true},
    {120, kRelay, false},
    {121, kRelay, false},
};

// Parameter 125 in hundredths of an ampere.
constexpr long kCurrentLow = 40;
constexpr long kCurrentHigh = 1200;

long hundredths(float amperes) {
    if (!std::isfinite(amperes)) return kCurrentLow;
    return std::lround(std::clamp(amperes, -1.0e6f, 1.0e6f) * 100.0f);
}

}  // namespace

std::span<const RemoteList> RemoteLists() {
    return kLists;
}

SpeedRange RemoteSpeedRange(int parameter, std::uint32_t speedMin, std::uint32_t speedMax) {
    if (parameter == param::kSpeedAtMinSetPoint) return {speedMin, speedMax > 0 ? speedMax - 1 : 0};
    return {speedMin, speedMax};
}

std::uint32_t ClampRemoteSpeed(int parameter, std::uint32_t v, std::uint32_t speedMin,
                               std::uint32_t speedMax) {
    const SpeedRange range = RemoteSpeedRange(parameter, speedMin, speedMax);
    return std::min(std::max(v, range.low), range.high);
}

std::uint32_t StepRemoteSpeed(int parameter, std::uint32_t v, int delta, std::uint32_t speedMin,
                              std::uint32_t speedMax) {
    // Signed: a step down from 0 must land on the minimum, not wrap to the top.
    std::int64_t n = static_cast<std::int64_t>(v) + (delta > 0 ? 1 : -1);
    n = std::clamp<std::int64_t>(n, 0, UINT32_MAX);
    return ClampRemoteSpeed(parameter, static_cast<std::uint32_t>(n), speedMin, speedMax);
}

float ClampRelayCurrent(float amperes) {
    return static_cast<float>(std::clamp(hundredths(amperes), kCurrentLow, kCurrentHigh)) / 100.0f;
}

float StepRelayCurrent(float amperes, int delta) {
    const long n = hundredths(amperes) + (delta > 0 ? 1 : -1);
    return static_cast<float>(std::clamp(n, kCurrentLow, kCurrentHigh)) / 100.0f;
}

Speed137Mode ModeOf137(std::uint32_t p137, std::uint32_t speedMin) {
    if (p137 == 0) return Speed137Mode::Off;
    if (p137 == speedMin) return Speed137Mode::MinimumSpeed;
    return Speed137Mode::Chosen;
}

}  // namespace velmora::pages

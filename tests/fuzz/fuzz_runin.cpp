// Arbitrary run-in program files: at most 99 steps, and a program runs to its
// end without reading outside its table.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/runinprogram.h"
#include "model/runinsequencer.h"

using namespace velmora::model;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto steps = ParseRunInSteps(std::string(reinterpret_cast<const char*>(data), size));
    if (steps.size() > kMaxRunInSteps) std::abort();
    // Keep the clock short: minutes from a file can reach 2^32.
    for (auto& step : steps) step.minutes %= 3;
    RunInSequencer sequencer;
    sequencer.load(steps);
    sequencer.start();
    for (int tick = 0; tick < 2000; ++tick) {
        if (sequencer.tick() == RunInSequencer::Tick::Finished) break;
        sequencer.takeCommands();
    }
    sequencer.stop();
    return 0;
}

// Arbitrary files through the GIF block walker and the single-frame cutter:
// every range it reports lies inside the file.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "shell/gifwalker.h"

namespace gif = velmora::shell::gif;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    (void)gif::isGif(bytes);
    const auto walked = gif::walk(bytes);
    if (!walked) return 0;
    for (const auto& frame : walked->frames) {
        const auto single = gif::singleFrame(bytes, *walked, frame);
        (void)single;
        (void)gif::frameWaitMs(frame.delay);
    }
    return 0;
}

// libFuzzer entry: walks any bytes as a GIF, cuts every frame out and walks
// the cut-out again; also looks the bytes up as a text key.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "shell/gifwalker.h"
#include "shell/textkeys.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora::shell;
    const std::span<const std::uint8_t> bytes(data, size);
    if (const auto walked = gif::walk(bytes)) {
        for (const auto& frame : walked->frames) {
            const auto single = gif::singleFrame(bytes, *walked, frame);
            const auto inner = gif::walk(single);
            if (!inner || inner->frames.size() != 1) __builtin_trap();
        }
    }
    const int ordinal =
        textkeys::ordinalOf(std::string_view(reinterpret_cast<const char*>(data), size));
    if (ordinal >= 0 && textkeys::sectionOf(ordinal).empty()) __builtin_trap();
    return 0;
}

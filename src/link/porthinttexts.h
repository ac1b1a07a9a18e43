#pragma once
// The hints for a serial device the user can make usable: one table for the
// command line and the window. The window shows the language file's text of
// the key (section "porthint") and falls back to the English given here.
#include <array>
#include <string>
#include <string_view>

#include "link/seriallink_api.h"

namespace velmora::link {

struct PortHintText {
    std::string_view key;
    // "%1" stands for the device, "%2" for the group that may use it.
    std::string_view english;
};

inline constexpr std::string_view kPortHintSection = "porthint";

inline constexpr std::array<PortHintText, 3> kPortHints{{
    {"portpermissiongroup",
     "%1 cannot be opened: only members of group %2 may use it. Run 'sudo usermod -aG %2 $USER', "
     "then log out and in again."},
    {"portpermission",
     "%1 cannot be opened: this user may not use it. Ask the administrator for read and write "
     "access to it."},
    {"portbusy", "%1 is in use by another program. Close that program and try again."},
}};

// The hint for a failure, nullptr when the user cannot fix it this way.
[[nodiscard]] const PortHintText* PortHintFor(const OpenFailure& failure);

// text with "%1" and "%2" replaced by the failure's device and group.
[[nodiscard]] std::string FillPortHint(std::string_view text, const OpenFailure& failure);

}  // namespace velmora::link

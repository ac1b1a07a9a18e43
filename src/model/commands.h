#pragma once
// Builders for every request and parsers for every reply the drive knows.
// Builders return a filled telegram (address 1, code, length, data); parsers
// check code and exact length, copy the fields out, release the telegram's
// data whether or not the check passed, and return 0 on a match, 1 otherwise.
#include <array>
#include <cstdint>
#include <span>

#include "link/telegram.h"

namespace velmora::model {

using link::Telegram;

namespace code {
inline constexpr int WriteGroup50 = 0x10;  // .. WriteGroup58 = 0x18
inline constexpr int WriteEepromWord = 0x19;
inline constexpr int WriteCalibration = 0x1A;
inline constexpr int TestOperationValues = 0x1B;
inline constexpr int WriteSerialNumber = 0x1C;
inline constexpr int LoaderBlock = 0x1D;
inline constexpr int FirmwareBlock = 0x1E;
inline constexpr int SensorStateReply = 0x5B;
inline constexpr int EepromWordReply = 0x5C;
inline constexpr int CalibrationReply = 0x5D;
inline constexpr int InverterValuesReply = 0x5E;
inline constexpr int StatusReply = 0x60;
inline constexpr int BlockRequestReply = 0x61;
inline constexpr int SlotState = 0x62;
inline constexpr int LinkCheck = 0x80;
inline constexpr int LinkCheckReply = 0x81;
inline constexpr int StartMotor = 0xA0;
inline constexpr int StopMotor = 0xA1;
inline constexpr int ResetDrive = 0xA2;
inline constexpr int LoadMemorySlot = 0xA3;
inline constexpr int DeleteMemorySlot = 0xA4;
inline constexpr int SaveMemorySlot = 0xA5;
inline constexpr int LoadFactorySettings = 0xA6;
inline constexpr int LoadMakerSet = 0xA7;
inline constexpr int ActuatorTest = 0xA8;
inline constexpr int ResetEeprom = 0xA9;
inline constexpr int EnterTestOperation = 0xAA;
inline constexpr int LeaveTestOperation = 0xAB;
inline constexpr int LoaderDone = 0xAC;
inline constexpr int FirmwareDone = 0xAD;
inline constexpr int ReadGroup = 0xCF;
}  // namespace code

// --- requests ---
[[nodiscard]] Telegram BuildReadGroup(int replyCode);               // length 1
[[nodiscard]] Telegram BuildReadEepromWord(std::uint16_t address);  // 0xCF 0x5C addr, length 3
[[nodiscard]] Telegram BuildReadSlotState(std::uint8_t slot);       // 0xCF 0x62 slot, length 2
[[nodiscard]] Telegram BuildWriteEepromWord(std::uint16_t address, std::uint32_t value);
[[nodiscard]] Telegram BuildWriteCalibration(const std::array<std::uint32_t, 9>& values);
[[nodiscard]] Telegram BuildTestOperationValues(std::uint16_t v0, std::uint16_t v1,
                                                std::uint16_t v2);
[[nodiscard]] Telegram BuildWriteSerialNumber(std::uint32_t serial);
// n = bytes.size() must be 1..251; otherwise the telegram has command -1 and
// DriveLink::sendRequest and EncodeTelegram refuse it.
[[nodiscard]] Telegram BuildLoaderBlock(std::uint16_t block, std::span<const std::uint8_t> bytes);
[[nodiscard]] Telegram BuildFirmwareBlock(std::uint16_t block, std::span<const std::uint8_t> bytes);
// Actions without data (0x80, 0xA0-0xA2, 0xA6, 0xAA-0xAD) and with one byte
// (0xA3-0xA5, 0xA7-0xA9); a code used with the wrong form gives command -1.
[[nodiscard]] Telegram BuildAction(int actionCode);
[[nodiscard]] Telegram BuildAction(int actionCode, std::uint8_t argument);
// A write telegram for group code (0x50..0x58) from 155 image words
// (image[p] is parameter p; image[0] unused); command -1 for any other code.
[[nodiscard]] Telegram BuildWriteGroup(int groupCode, std::span<const std::uint32_t, 156> image);

// --- replies ---
struct SensorState {
    std::uint8_t flags0 = 0;  // six flags, bits 0..5
    std::uint8_t flags1 = 0;  // four flags, bits 0..3
    std::array<std::uint16_t, 4> values{};
};
int ParseSensorState(Telegram& reply, SensorState& out);
int ParseEepromWord(Telegram& reply, std::uint32_t& out);
int ParseCalibration(Telegram& reply, std::array<std::uint32_t, 9>& out);
int ParseInverterValues(Telegram& reply, std::array<std::uint16_t, 10>& out);
int ParseStatus(Telegram& reply, std::array<std::uint8_t, 4>& out);
int ParseBlockRequest(Telegram& reply, std::uint16_t& block);
int ParseSlotState(Telegram& reply, std::uint8_t& state);
int ParseLinkCheckReply(Telegram& reply);
// A parameter-group reply (0x50..0x5A, 0x5F): values[p] for each field p.
int ParseGroup(Telegram& reply, std::array<std::uint32_t, 156>& values);

// Big-endian helpers shared by builders, parsers and the simulated drive.
[[nodiscard]] std::uint32_t ReadBigEndian(std::span<const std::uint8_t> bytes, int offset,
                                          int bits);
void WriteBigEndian(std::span<std::uint8_t> bytes, int offset, int bits, std::uint32_t value);

}  // namespace velmora::model

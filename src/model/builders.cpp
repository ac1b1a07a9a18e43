#include <algorithm>
#include <array>

#include "model/commands.h"
#include "model/grouplayout.h"

namespace velmora::model {

namespace {

constexpr std::size_t kMaxBlockBytes = 251;  // four header bytes + n must fit the length byte

Telegram Make(int command, std::size_t length) {
    Telegram telegram;
    telegram.command = command;
    telegram.length = static_cast<std::uint8_t>(length);
    telegram.data.assign(length, 0);
    return telegram;
}

// What the encoder refuses: a telegram that must never reach the drive.
Telegram Refused() {
    Telegram telegram;
    telegram.command = -1;
    return telegram;
}

constexpr std::array kPlainActions = {
    code::LinkCheck,          code::StartMotor,          code::StopMotor,
    code::ResetDrive,         code::LoadFactorySettings, code::EnterTestOperation,
    code::LeaveTestOperation, code::LoaderDone,          code::FirmwareDone};
constexpr std::array kActionsWithArgument = {code::LoadMemorySlot, code::DeleteMemorySlot,
                                             code::SaveMemorySlot, code::LoadMakerSet,
                                             code::ActuatorTest,   code::ResetEeprom};

bool IsOneOf(std::span<const int> codes, int value) {
    return std::find(codes.begin(), codes.end(), value) != codes.end();
}

Telegram Block(int command, std::uint16_t block, std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > kMaxBlockBytes) return Refused();
    Telegram telegram = Make(command, bytes.size() + 4);
    WriteBigEndian(telegram.data, 0, 16, block);
    WriteBigEndian(telegram.data, 2, 16, static_cast<std::uint32_t>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), telegram.data.begin() + 4);
    return telegram;
}

}  // namespace

Telegram BuildReadGroup(int replyCode) {
    if (replyCode < 0 || replyCode > 0xFF) return Refused();
    Telegram telegram = Make(code::ReadGroup, 1);
    telegram.data[0] = static_cast<std::uint8_t>(replyCode);
    return telegram;
}

Telegram BuildReadEepromWord(std::uint16_t address) {
    Telegram telegram = Make(code::ReadGroup, 3);
    telegram.data[0] = code::EepromWordReply;
    WriteBigEndian(telegram.data, 1, 16, address);
    return telegram;
}

Telegram BuildReadSlotState(std::uint8_t slot) {
    Telegram telegram = Make(code::ReadGroup, 2);
    telegram.data[0] = code::SlotState;
    telegram.data[1] = slot;
    return telegram;
}

Telegram BuildWriteEepromWord(std::uint16_t address, std::uint32_t value) {
    Telegram telegram = Make(code::WriteEepromWord, 6);
    WriteBigEndian(telegram.data, 0, 16, address);
    WriteBigEndian(telegram.data, 2, 32, value);
    return telegram;
}

Telegram BuildWriteCalibration(const std::array<std::uint32_t, 9>& values) {
    Telegram telegram = Make(code::WriteCalibration, 36);
    for (std::size_t i = 0; i < values.size(); ++i) {
        WriteBigEndian(telegram.data, static_cast<int>(4 * i), 32, values[i]);
    }
    return telegram;
}

Telegram BuildTestOperationValues(std::uint16_t v0, std::uint16_t v1, std::uint16_t v2) {
    Telegram telegram = Make(code::TestOperationValues, 6);
    WriteBigEndian(telegram.data, 0, 16, v0);
    WriteBigEndian(telegram.data, 2, 16, v1);
    WriteBigEndian(telegram.data, 4, 16, v2);
    return telegram;
}

Telegram BuildWriteSerialNumber(std::uint32_t serial) {
    Telegram telegram = Make(code::WriteSerialNumber, 4);
    WriteBigEndian(telegram.data, 0, 32, serial);
    return telegram;
}

Telegram BuildLoaderBlock(std::uint16_t block, std::span<const std::uint8_t> bytes) {
    return Block(code::LoaderBlock, block, bytes);
}

Telegram BuildFirmwareBlock(std::uint16_t block, std::span<const std::uint8_t> bytes) {
    return Block(code::FirmwareBlock, block, bytes);
}

Telegram BuildAction(int actionCode) {
    return IsOneOf(kPlainActions, actionCode) ? Make(actionCode, 0) : Refused();
}

Telegram BuildAction(int actionCode, std::uint8_t argument) {
    if (!IsOneOf(kActionsWithArgument, actionCode)) return Refused();
    Telegram telegram = Make(actionCode, 1);
    telegram.data[0] = argument;
    return telegram;
}

Telegram BuildWriteGroup(int groupCode, std::span<const std::uint32_t, 156> image) {
    const GroupLayout* group = FindGroup(groupCode);
    if (group == nullptr || group->writeCommand < 0) return Refused();
    Telegram telegram = Make(group->writeCommand, group->length);
    for (const FieldLayout& field : group->fields) {
        // Truncated to the field's width, as the drive expects.
        WriteBigEndian(telegram.data, field.offset, field.bits, image[field.parameter]);
    }
    return telegram;
}

}  // namespace velmora::model

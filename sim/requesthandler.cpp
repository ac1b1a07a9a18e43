#include "sim/requesthandler.h"

#include <span>

#include "model/commands.h"

namespace velmora::sim {
namespace {

namespace code = model::code;
using link::Telegram;

Telegram reply(int command, std::vector<std::uint8_t> data) {
    Telegram t;
    t.command = command;
    t.length = static_cast<std::uint8_t>(data.size());
    t.data = std::move(data);
    return t;
}

std::uint32_t be(std::span<const std::uint8_t> data, int offset, int bits) {
    return model::ReadBigEndian(data, offset, bits);
}

// LoaderBlock and FirmwareBlock: block number, count n, n bytes.
struct Block {
    std::uint16_t number;
    std::span<const std::uint8_t> bytes;
};

std::optional<Block> parseBlock(std::span<const std::uint8_t> data) {
    if (data.size() < 4) return std::nullopt;
    const auto count = be(data, 2, 16);
    if (data.size() != count + 4) return std::nullopt;
    return Block{static_cast<std::uint16_t>(be(data, 0, 16)), data.subspan(4)};
}

}  // namespace

std::optional<Telegram> RequestHandler::handle(const Telegram& request) {
    if (request.address != 1 || request.data.size() != request.length) return std::nullopt;
    if (m_drive.loader().phase() == LoaderPhase::Firmware) return inLoader(request);
    const int command = request.command;
    if (command == code::LinkCheck) {
        if (request.length != 0) return std::nullopt;
        return reply(code::LinkCheckReply, {});
    }
    if (command == code::ReadGroup) return read(request);
    if (command >= 0x10 && command <= 0x1E) {
        write(request);
        return std::nullopt;
    }
    if (command >= code::StartMotor && command <= code::FirmwareDone) action(request);
    return std::nullopt;
}

std::optional<Telegram> RequestHandler::read(const Telegram& request) {
    const auto& d = request.data;
    if (d.empty()) return std::nullopt;
    const int wanted = d[0];
    if (wanted == code::EepromWordReply) {
        if (d.size() != 3) return std::nullopt;
        const auto value = m_drive.memory().word(static_cast<int>(be(d, 1, 16)));
        if (!value) return std::nullopt;
        std::vector<std::uint8_t> data(4);
        model::WriteBigEndian(data, 0, 32, *value);
        return reply(code::EepromWordReply, std::move(data));
    }
    if (wanted == code::SlotState) {
        if (d.size() != 2) return std::nullopt;
        return reply(code::SlotState, {std::uint8_t(m_drive.memory().slotHoldsData(d[1]) ? 1 : 0)});
    }
    if (d.size() != 1) return std::nullopt;
    if (auto group = m_drive.groupData(wanted)) return reply(wanted, std::move(*group));
    switch (wanted) {
        case code::StatusReply: {
            const auto s = m_drive.status();
            return reply(code::StatusReply, {s.begin(), s.end()});
        }
        case code::SensorStateReply: {
            const auto s = m_drive.sensorState();
            return reply(code::SensorStateReply, {s.begin(), s.end()});
        }
        case code::CalibrationReply: {
            std::vector<std::uint8_t> data(36);
            for (int i = 0; i < 9; ++i)
                model::WriteBigEndian(data, 4 * i, 32, m_drive.memory().calibration[i]);
            return reply(code::CalibrationReply, std::move(data));
        }
        case code::InverterValuesReply: {
            std::vector<std::uint8_t> data(20);
            const auto values = m_drive.inverterValues();
            for (int i = 0; i < 10; ++i) model::WriteBigEndian(data, 2 * i, 16, values[i]);
            return reply(code::InverterValuesReply, std::move(data));
        }
        default:
            return std::nullopt;  // 0x61 outside the loader, unknown codes
    }
}

void RequestHandler::write(const Telegram& request) {
    const auto& d = request.data;
    switch (request.command) {
        case code::WriteEepromWord:
            if (d.size() == 6) m_drive.setMemoryWord(static_cast<int>(be(d, 0, 16)), be(d, 2, 32));
            return;
        case code::WriteCalibration:
            if (d.size() == 36) {
                std::array<std::uint32_t, 9> values{};
                for (int i = 0; i < 9; ++i) values[i] = be(d, 4 * i, 32);
                m_drive.setCalibration(values);
            }
            return;
        case code::TestOperationValues:
            if (d.size() == 6)
                m_drive.setTestValues({static_cast<std::uint16_t>(be(d, 0, 16)),
                                       static_cast<std::uint16_t>(be(d, 2, 16)),
                                       static_cast<std::uint16_t>(be(d, 4, 16))});
            return;
        case code::WriteSerialNumber:
            if (d.size() == 4) m_drive.setSerialNumber(be(d, 0, 32));
            return;
        case code::LoaderBlock:
            if (auto block = parseBlock(d))
                m_drive.loader().loaderBlock(block->number, block->bytes);
            return;
        case code::FirmwareBlock:
            return;  // only the loader takes firmware
        default:
            m_drive.writeGroup(request.command, d);
            return;
    }
}

void RequestHandler::action(const Telegram& request) {
    const auto& d = request.data;
    const int command = request.command;
    const bool noData = d.empty();
    const bool oneByte = d.size() == 1;
    switch (command) {
        case code::StartMotor:
            if (noData) m_drive.startMotor();
            break;
        case code::StopMotor:
            if (noData) m_drive.stopMotor();
            break;
        case code::ResetDrive:
            if (noData) m_drive.resetDrive();
            break;
        case code::LoadMemorySlot:
            if (oneByte) m_drive.loadSlot(d[0]);
            break;
        case code::DeleteMemorySlot:
            if (oneByte) m_drive.deleteSlot(d[0]);
            break;
        case code::SaveMemorySlot:
            if (oneByte) m_drive.saveSlot(d[0]);
            break;
        case code::LoadFactorySettings:
            if (noData) m_drive.loadFactorySettings();
            break;
        case code::LoadMakerSet:
            if (oneByte) m_drive.loadMakerSet(d[0]);
            break;
        case code::ActuatorTest:
            if (oneByte) m_drive.setOutputs(d[0]);
            break;
        case code::ResetEeprom:
            if (oneByte) m_drive.resetMemoryAreas(d[0]);
            break;
        case code::EnterTestOperation:
            if (noData) m_drive.enterTestOperation();
            break;
        case code::LeaveTestOperation:
            if (noData) m_drive.leaveTestOperation();
            break;
        case code::LoaderDone:
            if (noData) m_drive.startLoader();
            break;
        default:
            break;
    }
}

std::optional<Telegram> RequestHandler::inLoader(const Telegram& request) {
    const auto& d = request.data;
    switch (request.command) {
        case code::LinkCheck:
            if (d.empty()) return reply(code::LinkCheckReply, {});
            return std::nullopt;
        case code::ReadGroup:
            if (d.size() == 1 && d[0] == code::BlockRequestReply) {
                const auto wanted = m_drive.loader().wantedBlock();
                std::vector<std::uint8_t> data(2);
                model::WriteBigEndian(data, 0, 16, wanted.value_or(0));
                return reply(code::BlockRequestReply, std::move(data));
            }
            return std::nullopt;
        case code::FirmwareBlock:
            if (auto block = parseBlock(d))
                m_drive.loader().firmwareBlock(block->number, block->bytes);
            return std::nullopt;
        case code::FirmwareDone:
            if (d.empty()) m_drive.loader().firmwareDone();
            return std::nullopt;
        default:
            return std::nullopt;  // the loader knows nothing else
    }
}

}  // namespace velmora::sim

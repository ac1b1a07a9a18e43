#pragma once
// The whole simulated drive: memory, motor, boot loader, faults and the
// inputs and outputs, advanced in time by whoever owns it. Not thread-safe:
// the owner serialises every call.
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/bootloader.h"
#include "sim/drivememory.h"
#include "sim/motormodel.h"

namespace velmora::sim {

struct Fault {
    std::uint8_t faultClass = 0;  // 0 none, 1 and 2 popups, 3 general error
    std::uint8_t number = 0;
};

class DriveState {
  public:
    using Clock = std::chrono::steady_clock;

    // timeScale: operating time advances this much faster than real time.
    explicit DriveState(double timeScale = 1.0, DriveMemory memory = {});

    // Runs the motor up to now and publishes the live values (p10..p26).
    void advanceTo(Clock::time_point now);

    // The data of a parameter group reply (0x50..0x5A, 0x5F); nothing for
    // other codes.
    [[nodiscard]] std::optional<std::vector<std::uint8_t>> groupData(int code) const;
    // A write command 0x10..0x18 with the group's exact length stores every
    // field as sent; false (nothing stored) otherwise.
    bool writeGroup(int writeCommand, std::span<const std::uint8_t> data);

    void startMotor();
    void stopMotor();
    void resetDrive();
    void loadFactorySettings();
    bool loadMakerSet(int model);
    bool loadSlot(int slot);
    bool saveSlot(int slot);
    bool deleteSlot(int slot);
    void resetMemoryAreas(std::uint8_t bits);
    void setOutputs(std::uint8_t bits);
    // LoaderDone: the loader takes over and the motor stops at once.
    void startLoader();
    void enterTestOperation();
    void leaveTestOperation();
    void setTestValues(const TestOperationValues& values);
    bool setMemoryWord(int address, std::uint32_t value);
    void setCalibration(const std::array<std::uint32_t, 9>& values);
    void setSerialNumber(std::uint32_t serial);

    // Faults as the status reply reports them; class 2 and above switch the
    // motor off, class 3 also keeps the values of the moment in p151..p155.
    void injectFault(int faultClass, int number);
    void clearFault();

    [[nodiscard]] std::array<std::uint8_t, 4> status() const;
    [[nodiscard]] std::array<std::uint8_t, 10> sensorState() const;
    [[nodiscard]] std::array<std::uint16_t, 10> inverterValues() const;

    [[nodiscard]] const DriveMemory& memory() const { return m_memory; }
    [[nodiscard]] const MotorModel& motor() const { return m_motor; }
    [[nodiscard]] const BootLoader& loader() const { return m_loader; }
    BootLoader& loader() { return m_loader; }
    [[nodiscard]] Fault fault() const { return m_fault; }
    [[nodiscard]] std::uint8_t outputs() const { return m_outputs; }
    // Grows with every change of what the drive keeps when switched off
    // (the operating time aside, which changes continuously).
    [[nodiscard]] std::uint64_t revision() const { return m_revision; }

    // "set 1000 Hz actual 1000 Hz running yes fault 0 0 ...": one line.
    [[nodiscard]] std::string summary() const;

  private:
    void publishLive();
    void changed() { ++m_revision; }

    double m_timeScale;
    DriveMemory m_memory;
    MotorModel m_motor;
    BootLoader m_loader;
    Fault m_fault;
    std::uint8_t m_outputs = 0;
    std::optional<Clock::time_point> m_last;
    double m_runtimeCarryMs = 0;
    std::uint64_t m_revision = 0;
};

}  // namespace velmora::sim

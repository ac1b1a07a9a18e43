#pragma once
// The polling modes, by name. Their plans (what each asks the drive for) are
// in linkpolicy.cpp.
namespace velmora::link {

// What the polling thread asks for while a window is shown. velmora-cli's
// --poll takes the numbers, so scripts hold them: a new mode takes a free
// number and none is renumbered.
enum class PollMode : int {
    ControlPage = 0,
    ReportPage = 1,
    RemotePage = 2,
    MotorPage = 3,
    SpecificProgMenu = 4,
    ActuatorTest = 5,
    ParaStruct = 6,
    TechPage = 7,
    MemoryReset = 8,
    Memory = 9,
    Calibration = 10,
    InverterValues = 11,
    SerialNumber = 12,
    TestOperation = 13,
    FirmwareQuiet = 14,
    FirmwareBlockRequest = 15,
    FirmwarePreparing = 16,
    RunIn = 17,
    Initial = 19,  // status only, before any page asked
};

// Added to a mode's number while the trend samples on every page: the plan
// then also reads the operating values (group 0x59), except while a firmware
// transfer keeps the line quiet.
inline constexpr int kWithOperatingValues = 0x10000;

}  // namespace velmora::link

#pragma once
// The drive's parameter numbers that code uses by meaning (where each
// travels: grouplayout.cpp; how it is scaled and coded: DriveData). Rows of
// a page's or panel's own table keep their numbers there.
namespace velmora::model::param {

// Set-up of the speed (group 0x50).
inline constexpr int kSetSpeed = 1;       // set speed, Hz
inline constexpr int kControlSource = 7;  // operating mode: 0 PC application, 1 selective
inline constexpr int kSpeedUnit = 8;      // speed display: list 0 Hz, 1 rpm

// Operating values (group 0x59, read only).
inline constexpr int kSpeedSetPoint = 10;
inline constexpr int kPeakCurrent = 11;
inline constexpr int kRampFrequency = 12;  // ramp output frequency
inline constexpr int kOutputFrequency = 13;
inline constexpr int kActualSpeed = 14;  // Hz
inline constexpr int kOutputVoltage = 15;
inline constexpr int kSupplyVoltage = 16;
inline constexpr int kOutputCurrent = 18;
inline constexpr int kOutputPower = 19;
inline constexpr int kMemorySlot = 20;  // slot 1..32 last loaded, 0 none
inline constexpr int kOperatingHours = 25;
inline constexpr int kOperatingMinutes = 26;

// Fault counters and identity (group 0x5A, read only).
inline constexpr int kOvercurrentErrors = 30;  // first of the five fault counters
inline constexpr int kOtherErrors = 34;        // last of them
inline constexpr int kInverterType = 36;       // 7301 or 7302 (model/invertermodels.h)
inline constexpr int kFirmwareVersion = 37;    // real, two decimals
inline constexpr int kSerialNumber = 39;

// Limits (group 0x51).
inline constexpr int kMinSpeed = 41;  // minimum frequency: lower limit of the set speed
inline constexpr int kMaxSpeed = 42;  // maximum frequency: upper limit of the set speed
inline constexpr int kMaxCurrent = 44;
inline constexpr int kAccelerationTime = 46;
inline constexpr int kDecelerationTime = 47;
inline constexpr int kStoppingTime = 48;  // 0.3 s: brake with DC
inline constexpr int kStartUpTime = 51;   // 0.4 s: off

// V/f characteristic (group 0x52): voltage U0 at 0 Hz, then three points
// f1/U1 .. f3/U3, numbered in pairs from here.
inline constexpr int kVoltageU0 = 60;
inline constexpr int kFrequencyF1 = 61;
inline constexpr int kVoltageU1 = 62;
inline constexpr int kFrequencyF2 = 63;
inline constexpr int kVoltageU2 = 64;
inline constexpr int kFrequencyF3 = 65;
inline constexpr int kVoltageU3 = 66;

// Control parameters (group 0x53).
inline constexpr int kVoltageControl = 70;  // asynchronous motor: 1 I×R compensation
inline constexpr int kIrCompensation = 71;
inline constexpr int kVoltageRateTime = 83;  // voltage controller rate time, 0 none

// Motor (groups 0x54 and 0x55).
inline constexpr int kTemperatureSensor = 85;  // 0 none, 1 PTC, 2 KTY
inline constexpr int kMotorType = 90;  // 0 none, 1 asynchronous, 2 BLDC, 3 with sensor, 4 test
inline constexpr int kRatedFrequency = 91;
inline constexpr int kRatedVoltage = 92;
inline constexpr int kRatedCurrent = 93;
inline constexpr int kMagnetisingCurrent = 94;
inline constexpr int kPoles = 96;  // list index 0..3 for 2, 4, 6, 8 poles

// Remote control (groups 0x56, 0x57 and 0x58).
inline constexpr int kMotorSelection = 102;  // list 1: the motor data of a memory slot
inline constexpr int kFixedFrequency1 = 104;
inline constexpr int kFixedFrequency2 = 105;
inline constexpr int kFixedFrequency3 = 106;
inline constexpr int kRelayCurrent = 125;  // relay current threshold, A
inline constexpr int kSpeedAtMinSetPoint = 135;
inline constexpr int kSpeedAtMaxSetPoint = 136;
inline constexpr int kStopBelow = 137;       // stop below this speed; 0 off
inline constexpr int kStartSource = 140;     // start/stop command: PC application, remote
inline constexpr int kSetPointSource = 141;  // speed set-point: PC application, remote
inline constexpr int kBasicSettingsChange = 142;
inline constexpr int kRotationDirection = 146;  // clockwise, counter-clockwise, remote

// Values held at the last general fault (group 0x5F, read only).
inline constexpr int kHeldSpeedSetPoint = 151;
inline constexpr int kHeldOutputFrequency = 152;
inline constexpr int kHeldOutputVoltage = 153;
inline constexpr int kHeldSupplyVoltage = 154;
inline constexpr int kHeldOutputCurrent = 155;

}  // namespace velmora::model::param

#pragma once
// A plausible asynchronous spindle motor as the drive would report it.
#include <cstdint>
#include <initializer_list>
#include <utility>

#include "model/drivedata.h"

namespace velmora::pages::test {

using Values = std::initializer_list<std::pair<int, std::uint32_t>>;

// Raw words as they arrive in the group replies (scaled reals).
inline constexpr std::pair<int, std::uint32_t> kAsyncMotor[] = {
    {8, 1},     {36, 7302}, {37, 310}, {41, 50}, {42, 400},  {44, 1200}, {46, 50},   {47, 60},
    {48, 70},   {50, 0},    {51, 5},   {52, 20}, {53, 5},    {54, 300},  {55, 10},   {56, 100},
    {57, 50},   {58, 0},    {60, 500}, {61, 50}, {62, 2000}, {63, 200},  {64, 4000}, {65, 400},
    {66, 4500}, {70, 0},    {71, 10},  {72, 20}, {73, 100},  {77, 50},   {78, 100},  {79, 20},
    {80, 100},  {81, 100},  {82, 100}, {83, 10}, {84, 10},   {85, 0},    {86, 1000}, {90, 1},
    {91, 400},  {92, 4000}, {93, 800}, {94, 80}, {96, 2},    {104, 100}, {105, 200}, {106, 300},
};

// Sets image words and takes them into the working copy, as a group reply
// followed by a refresh would.
inline void SetImage(model::DriveData& data, Values values) {
    for (auto [p, v] : values) data.SetImage(p, v);
    data.TakeImage();
}

inline void LoadAsyncMotor(model::DriveData& data) {
    for (auto [p, v] : kAsyncMotor) data.SetImage(p, v);
    data.TakeImage();
}

}  // namespace velmora::pages::test

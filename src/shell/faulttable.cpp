#include "shell/faulttable.h"

#include <algorithm>
#include <array>

namespace velmora::shell {

namespace {

constexpr std::string_view kError = "errornumber";
constexpr std::string_view kWarning = "warningnumber";

constexpr std::array<FaultText, 29> kFaults = {{
    {1, kWarning, "error01"},  {2, kWarning, "error02"},  {3, kError, "error03"},
    {4, kError, "error04"},    {5, kError, "error05"},    {6, kError, "error06"},
    {10, kError, "error10"},   {11, kError, "error11"},   {12, kError, "error12"},
    {13, kError, "error13"},   {14, kError, "error14"},   {15, kError, "error15"},
    {16, kError, "error16"},   {17, kError, "error17"},   {18, kWarning, "error18"},
    {19, kWarning, "error19"}, {20, kWarning, "error20"}, {21, kWarning, "error21"},
    {24, kWarning, "error24"}, {25, kWarning, "error25"}, {26, kWarning, "error26"},
    {45, kWarning, "error45"}, {52, kError, "error52"},   {53, kError, "error53"},
    {54, kWarning, "error54"}, {57, kWarning, "error57"}, {58, kError, "error58"},
    {62, kWarning, "error62"}, {63, kWarning, "error63"},
}};

}  // namespace

std::span<const FaultText> faultTable() {
    return kFaults;
}

const FaultText* findFault(unsigned number) {
    const auto found = std::find_if(kFaults.begin(), kFaults.end(),
                                    [number](const FaultText& f) { return f.number == number; });
    return found == kFaults.end() ? nullptr : &*found;
}

}  // namespace velmora::shell

#include "model/drivedata.h"

#include <cmath>
#include <limits>
#include <span>

#include "model/commands.h"
#include "model/grouplayout.h"
#include "model/parameters.h"

namespace velmora::model {

namespace {

constexpr int kImageBase = 156;
constexpr int kFirstFlagged = code::Group50;
constexpr int kLastFlagged = code::Group5A;
constexpr int kErrorGroup = code::Group5F;

bool ValidParameter(int parameter) {
    return parameter >= 1 && parameter <= kParameterCount;
}
bool Flagged(int code) {
    return code >= kFirstFlagged && code <= kLastFlagged;
}

float Factor(int parameter) {
    switch (ScaleFactor(parameter)) {
        case 100:
            return 0.01f;
        case 10:
            return 0.1f;
        default:
            return 1.0f;
    }
}

}  // namespace

DriveData::DriveData() : DriveData(NoDrive()) {}

DriveData::DriveData(RequestOutlet& outlet)
    : m_ownGate(std::make_unique<DriveGate>(*this, outlet)), m_gate(m_ownGate.get()) {
    Reset();
}

DriveData::DriveData(const DriveData& other)
    : m_words(other.m_words),
      m_received(other.m_received),
      m_errorGroupStored(other.m_errorGroupStored),
      m_motorSel(other.m_motorSel),
      m_storeObserver(other.m_storeObserver),
      m_ownGate(std::make_unique<DriveGate>(*this, other.m_ownGate->outlet())),
      m_gate(other.m_gate == other.m_ownGate.get() ? m_ownGate.get() : other.m_gate) {}

DriveData& DriveData::operator=(const DriveData& other) {
    if (this == &other) return *this;
    m_words = other.m_words;
    m_received = other.m_received;
    m_errorGroupStored = other.m_errorGroupStored;
    m_motorSel = other.m_motorSel;
    m_storeObserver = other.m_storeObserver;
    m_gate = other.m_gate == other.m_ownGate.get() ? m_ownGate.get() : other.m_gate;
    return *this;
}

DriveData::~DriveData() = default;

void DriveData::Reset() {
    std::fill(m_words.begin(), m_words.begin() + kImageBase, kUnreadWord);
    std::fill(m_words.begin() + kImageBase, m_words.end(), 0u);
    m_received.fill(false);
    m_errorGroupStored = false;
    m_motorSel = {2, 2};
}

GateResult DriveData::RequestGroup(int direction, int code) {
    if (direction == 1) {
        if (Flagged(code) || code == kErrorGroup) return m_gate->send(BuildReadGroup(code));
        return std::nullopt;
    }
    if (direction != 0) return std::nullopt;
    return m_gate->writeGroupOf(*this, code);
}

void DriveData::CopyWorkingToImage() {
    std::copy(m_words.begin() + 1, m_words.begin() + kImageBase, m_words.begin() + kImageBase + 1);
}

void DriveData::StoreGroupReply() {
    link::Telegram reply;
    if (m_gate->outlet().fetchReply(reply) != 0) return;
    StoreReply(reply);
}

void DriveData::StoreReply(const link::Telegram& reply) {
    const GroupLayout* group = FindGroup(reply.command);
    if (group == nullptr) return;
    link::Telegram copy = reply;
    std::array<std::uint32_t, 156> values{};
    if (ParseGroup(copy, values) != 0) return;
    for (const FieldLayout& field : group->fields) {
        m_words[kImageBase + field.parameter] = values[field.parameter];
    }
    if (Flagged(group->code)) {
        m_received[group->code - kFirstFlagged] = true;
    } else {
        m_errorGroupStored = true;
    }
    m_lastStored = group->code;
    if (m_storeObserver) m_storeObserver(group->code);
    if (m_replyListener) m_replyListener(reply);
}

void DriveData::RequestMissingGroups() {
    for (int code = kFirstFlagged; code <= kLastFlagged; ++code) {
        if (!m_received[code - kFirstFlagged]) m_gate->send(BuildReadGroup(code));
    }
}

int DriveData::GroupsIncomplete() const {
    for (bool received : m_received) {
        if (!received) return 1;
    }
    return 0;
}

bool DriveData::GroupReceived(int code) const {
    if (code == kErrorGroup) return m_errorGroupStored;
    return Flagged(code) && m_received[code - kFirstFlagged];
}

void DriveData::TakeImage() {
    std::copy(m_words.begin() + kImageBase + 1, m_words.end(), m_words.begin() + 1);
}

std::uint32_t DriveData::GetChoice(int parameter) const {
    const std::uint32_t v = Working(parameter);
    // Unsigned arithmetic on purpose: an unread or out-of-list value gives an
    // index no list has, so the page leaves its text alone.
    switch (ChoiceCodingOf(parameter)) {
        case ChoiceCoding::PlusOne:
            return v - 1;
        case ChoiceCoding::Poles:
            return v / 2 - 1;
        case ChoiceCoding::Flag32:
            return v != 0 ? 1 : 0;
        case ChoiceCoding::Identity:
        case ChoiceCoding::None:
            break;
    }
    return v;
}

void DriveData::SetChoice(int parameter, std::uint32_t listIndex) {
    std::uint32_t stored = 0;
    switch (ChoiceCodingOf(parameter)) {
        case ChoiceCoding::Identity:
            stored = listIndex;
            break;
        case ChoiceCoding::PlusOne:
            stored = listIndex + 1;
            break;
        case ChoiceCoding::Poles:
            stored = 2 * listIndex + 2;
            break;
        case ChoiceCoding::Flag32:
            stored = listIndex != 0 ? 32 : 0;
            break;
        case ChoiceCoding::None:
            break;
    }
    SetWorking(parameter, stored);
}

float DriveData::GetReal(int parameter) const {
    if (!ValidParameter(parameter)) return 0.0f;
    // The 0.001 keeps e.g. 30 x 0.01 from printing as 0.29 with "%.2f".
    const float raw = static_cast<float>(static_cast<double>(Working(parameter)) + 0.001);
    return raw * Factor(parameter);
}

void DriveData::SetReal(int parameter, float value) {
    if (!ValidParameter(parameter)) return;
    // The product in single precision, as the pages' input was parsed, so that
    // a typed 1.005 becomes 101 and not 100.
    const float product = value * static_cast<float>(ScaleFactor(parameter));
    const double rounded = std::floor(static_cast<double>(product) + 0.5);
    // Converting a negative, too large or NaN real to unsigned is undefined.
    constexpr double kMax = std::numeric_limits<std::uint32_t>::max();
    std::uint32_t stored = 0;
    if (rounded >= kMax) {
        stored = std::numeric_limits<std::uint32_t>::max();
    } else if (rounded > 0) {
        stored = static_cast<std::uint32_t>(rounded);
    }
    SetWorking(parameter, stored);
}

void DriveData::ToDisplaySpeed(std::uint32_t& speed) const {
    if (Working(param::kSpeedUnit) != 1) speed *= 60;
}

void DriveData::FromDisplaySpeed(std::uint32_t& speed) const {
    if (Working(param::kSpeedUnit) != 1) speed /= 60;
}

int DriveData::GetMotorSel(int selector) const {
    return (selector == 0 || selector == 1) ? m_motorSel[selector] : 2;
}

void DriveData::SetMotorSel(int selector, int value) {
    if (selector == 0 || selector == 1) m_motorSel[selector] = value;
}

std::uint32_t DriveData::Working(int parameter) const {
    return ValidParameter(parameter) ? m_words[parameter] : 0;
}

void DriveData::SetWorking(int parameter, std::uint32_t value) {
    if (ValidParameter(parameter)) m_words[parameter] = value;
}

std::uint32_t DriveData::Image(int parameter) const {
    return ValidParameter(parameter) ? m_words[kImageBase + parameter] : 0;
}

void DriveData::SetImage(int parameter, std::uint32_t value) {
    if (ValidParameter(parameter)) m_words[kImageBase + parameter] = value;
}

}  // namespace velmora::model

#include "model/commands.h"
#include "model/grouplayout.h"

namespace velmora::model {

namespace {

// The data buffer goes whatever the outcome: a rejected reply must not keep
// its memory either.
class ReleaseData {
  public:
    explicit ReleaseData(Telegram& reply) : m_reply(reply) {}
    ~ReleaseData() {
        m_reply.data.clear();
        m_reply.data.shrink_to_fit();
    }
    ReleaseData(const ReleaseData&) = delete;
    ReleaseData& operator=(const ReleaseData&) = delete;

  private:
    Telegram& m_reply;
};

// The length byte and the buffer must both match: a telegram whose buffer is
// shorter than its length byte would otherwise be read past its end.
bool Matches(const Telegram& reply, int code, std::size_t length) {
    return reply.command == code && reply.length == length && reply.data.size() == length;
}

constexpr int kMatch = 0;
constexpr int kNoMatch = 1;

template <std::size_t N>
void ReadWords(const Telegram& reply, int bits, std::array<std::uint32_t, N>& out) {
    for (std::size_t i = 0; i < N; ++i) {
        out[i] = ReadBigEndian(reply.data, static_cast<int>(i) * bits / 8, bits);
    }
}

}  // namespace

int ParseSensorState(Telegram& reply, SensorState& out) {
    ReleaseData release(reply);
    if (!Matches(reply, code::SensorStateReply, 10)) return kNoMatch;
    out.flags0 = reply.data[0] & 0x3F;
    out.flags1 = reply.data[1] & 0x0F;
    for (std::size_t i = 0; i < out.values.size(); ++i) {
        out.values[i] =
            static_cast<std::uint16_t>(ReadBigEndian(reply.data, 2 + 2 * static_cast<int>(i), 16));
    }
    return kMatch;
}

int ParseEepromWord(Telegram& reply, std::uint32_t& out) {
    ReleaseData release(reply);
    if (!Matches(reply, code::EepromWordReply, 4)) return kNoMatch;
    out = ReadBigEndian(reply.data, 0, 32);
    return kMatch;
}

int ParseCalibration(Telegram& reply, std::array<std::uint32_t, 9>& out) {
    ReleaseData release(reply);
    if (!Matches(reply, code::CalibrationReply, 36)) return kNoMatch;
    ReadWords(reply, 32, out);
    return kMatch;
}

int ParseInverterValues(Telegram& reply, std::array<std::uint16_t, 10>& out) {
    ReleaseData release(reply);
    if (!Matches(reply, code::InverterValuesReply, 20)) return kNoMatch;
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<std::uint16_t>(ReadBigEndian(reply.data, 2 * static_cast<int>(i), 16));
    }
    return kMatch;
}

int ParseStatus(Telegram& reply, std::array<std::uint8_t, 4>& out) {
    ReleaseData release(reply);
    if (!Matches(reply, code::StatusReply, 4)) return kNoMatch;
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = reply.data[i];
    return kMatch;
}

int ParseBlockRequest(Telegram& reply, std::uint16_t& block) {
    ReleaseData release(reply);
    if (!Matches(reply, code::BlockRequestReply, 2)) return kNoMatch;
    block = static_cast<std::uint16_t>(ReadBigEndian(reply.data, 0, 16));
    return kMatch;
}

int ParseSlotState(Telegram& reply, std::uint8_t& state) {
    ReleaseData release(reply);
    if (!Matches(reply, code::SlotState, 1)) return kNoMatch;
    state = reply.data[0];
    return kMatch;
}

int ParseLinkCheckReply(Telegram& reply) {
    ReleaseData release(reply);
    return Matches(reply, code::LinkCheckReply, 0) ? kMatch : kNoMatch;
}

int ParseGroup(Telegram& reply, std::array<std::uint32_t, 156>& values) {
    ReleaseData release(reply);
    const GroupLayout* group = FindGroup(reply.command);
    if (group == nullptr || !Matches(reply, group->code, group->length)) return kNoMatch;
    for (const FieldLayout& field : group->fields) {
        values[field.parameter] = ReadBigEndian(reply.data, field.offset, field.bits);
    }
    return kMatch;
}

}  // namespace velmora::model

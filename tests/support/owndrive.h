#pragma once
// A test's own drive: the link and the image that writes through it, what
// the model left in the link's queues, and replies put where the link
// threads would put them. Fixtures derive from it; its members come first.
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "model/grouplayout.h"
#include "model/linkeddrive.h"
#include "tests/support/linkqueues.h"

namespace velmora::testkit {

// Stores a group reply as the drive would send it: data bytes as given.
inline void StoreGroup(model::DriveData& data, int code, std::vector<std::uint8_t> bytes) {
    link::Telegram reply;
    reply.command = code;
    reply.length = static_cast<std::uint8_t>(bytes.size());
    reply.data = std::move(bytes);
    data.StoreReply(reply);
}

// A group reply of the right length with the listed parameter values, the
// other fields 0.
inline void StoreGroupValues(model::DriveData& data, int code,
                             const std::map<int, std::uint32_t>& values) {
    const model::GroupLayout* group = model::FindGroup(code);
    std::vector<std::uint8_t> bytes(group->length, 0);
    for (const model::FieldLayout& field : group->fields) {
        const auto it = values.find(field.parameter);
        if (it == values.end()) continue;
        std::uint32_t value = it->second;
        for (int i = field.bits / 8 - 1; i >= 0; --i) {
            bytes[field.offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value);
            value >>= 8;
        }
    }
    StoreGroup(data, code, std::move(bytes));
}

class OwnDrive {
  protected:
    std::optional<link::Telegram> TakeRequest() { return testkit::TakeRequest(m_drive.link); }
    std::vector<link::Telegram> TakeRequests() { return testkit::TakeRequests(m_drive.link); }
    std::vector<int> TakeReadRequests() { return testkit::TakeReadRequests(m_drive.link); }
    std::vector<int> TakePollModes() { return testkit::TakePollModes(m_drive.link); }
    void PostReply(int command, std::vector<std::uint8_t> data) {
        testkit::PostReply(m_drive.link, command, std::move(data));
    }
    void StoreGroup(int code, std::vector<std::uint8_t> bytes) {
        testkit::StoreGroup(m_drive.data, code, std::move(bytes));
    }
    void StoreGroupValues(int code, const std::map<int, std::uint32_t>& values) {
        testkit::StoreGroupValues(m_drive.data, code, values);
    }
    template <typename Page>
    bool DeliverReply(Page& page) {
        return testkit::DeliverReply(m_drive.link, page);
    }

    model::LinkedDrive m_drive;
};

}  // namespace velmora::testkit

#pragma once
// What a station publishes, as JSON: its status (retained, the latest
// only), one event per journal entry (QoS 1, with the entry's token as an id
// subscribers use to drop a message the broker delivered twice) and its
// run-in certificates (retained, one per drive serial).
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "faulttexts.h"
#include "journal/entry.h"
#include "journal/outbox.h"

namespace velmora::tools::mqtt {

struct StationStatus {
    std::string station;
    bool connected = false;  // the drive answers
    bool running = false;
    std::optional<std::uint32_t> serial;
    std::optional<std::uint32_t> inverterType;
    std::string firmware;
    std::optional<double> setHz, actualHz, outputCurrentA;
    int faultClass = 0;  // 0: no fault
    int faultNumber = 0;
    std::string faultText;
};

// The text of a message body: compact, and bad UTF-8 in a value becomes
// U+FFFD rather than an exception.
[[nodiscard]] std::string CompactJson(const nlohmann::json& json);
// Without "time": two bodies compare equal when nothing changed.
[[nodiscard]] nlohmann::json StatusBody(const StationStatus& status);
// What the broker says for a station that vanished without a word.
[[nodiscard]] nlohmann::json GoneStatusBody(const std::string& station);
[[nodiscard]] std::string StatusTopic(const std::string& station);

// nullopt for an entry a subscriber has no use for (none so far).
[[nodiscard]] std::optional<journal::OutboxMessage> EventMessage(const std::string& station,
                                                                 const journal::Entry& entry,
                                                                 const FaultTexts& faults);
// What became of an earlier event's request (a write read back, lost): kind
// "outcome", "entry" the event's id.
[[nodiscard]] std::optional<journal::OutboxMessage> OutcomeMessage(const std::string& station,
                                                                   std::int64_t token,
                                                                   const std::string& outcome);
[[nodiscard]] journal::OutboxMessage CertificateMessage(const std::string& station,
                                                        std::uint32_t serial,
                                                        const std::string& certificateText);

}  // namespace velmora::tools::mqtt

#pragma once
// velmora-cli line's picture of a production line: one row per station,
// made from the retained status and certificate messages of every station.
// A message that is no JSON object, or of a topic it does not know, changes
// nothing.
#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace velmora::tools::mqtt {

struct StationRow {
    std::string station;
    std::optional<std::uint32_t> serial;
    bool connected = false;
    bool running = false;
    std::optional<double> actualHz;
    std::string fault;              // "" none, else "class.number text"
    std::string certificateResult;  // PASS / FAIL of the last certificate
    std::string certificateTime;    // its end time
};

class LineView {
  public:
    // The station whose row changed, nullopt when none did.
    std::optional<std::string> take(const std::string& topic, const std::string& payload);
    [[nodiscard]] nlohmann::json rowJson(const std::string& station) const;
    // The table with a header, one line per station in name order.
    [[nodiscard]] std::string table() const;
    [[nodiscard]] std::size_t size() const { return m_rows.size(); }

  private:
    bool takeStatus(StationRow& row, const nlohmann::json& status);
    bool takeCertificate(StationRow& row, const nlohmann::json& certificate);
    std::map<std::string, StationRow> m_rows;
};

}  // namespace velmora::tools::mqtt

#pragma once
// Where a station publishes and who it is: the broker's address from an
// mqtt:// or mqtts:// URL, TLS, a user with a password that never stands on
// the command line, and the station's name. The command line wins over the
// [mqtt] section of config.ini (keys url, station, ca, user, password_file).
#include <optional>
#include <string>
#include <string_view>

#include "cli.h"
#include "platform/profile.h"

namespace velmora::tools::mqtt {

// What the command line gave; empty: not given.
struct MqttOptions {
    std::string url;           // --mqtt
    std::string station;       // --station
    std::string caFile;        // --mqtt-ca
    std::string user;          // --mqtt-user
    std::string passwordFile;  // --mqtt-password-file
};

struct MqttSettings {
    std::string host;
    int port = 1883;
    bool tls = false;
    std::string caFile;  // empty with TLS: the system's certificates
    std::string user;
    std::string password;
    std::string station;
};

struct BrokerAddress {
    std::string host;
    int port = 1883;
    bool tls = false;
};
// mqtt://host[:port] (1883) or mqtts://host[:port] (8883), nothing after the
// port but an optional "/"; nullopt with `error` set.
[[nodiscard]] std::optional<BrokerAddress> ParseMqttUrl(std::string_view url, std::string& error);

// A name that is one topic level: 1..64 characters, no '/', '+', '#', no
// control characters, no spaces.
[[nodiscard]] bool IsStationName(std::string_view name);

enum class StationNeed { Required, Unused };

// nullopt and no error: no broker given anywhere (nothing to publish).
// nullopt with `error`: a bad URL, station or password file. The password is
// the password file's first line, else, with a user, $VELMORA_MQTT_PASSWORD
// (`envPassword`).
[[nodiscard]] std::optional<MqttSettings> ResolveMqttSettings(const MqttOptions& given,
                                                              const platform::ProfileFile& config,
                                                              const char* envPassword,
                                                              StationNeed need, std::string& error);

// The broker as the command line and config.ini in the working folder give it
// (the password from the file or $VELMORA_MQTT_PASSWORD).
[[nodiscard]] std::optional<MqttSettings> BrokerOf(const Invocation& invocation, StationNeed need,
                                                   std::string& error);

// "velmora/<station>/<leaf>"
[[nodiscard]] std::string StationTopic(const std::string& station, const std::string& leaf);

}  // namespace velmora::tools::mqtt

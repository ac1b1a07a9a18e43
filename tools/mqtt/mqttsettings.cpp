#include "mqttsettings.h"

#include <charconv>
#include <cstdlib>
#include <fstream>

#include "platform/configfile.h"

namespace velmora::tools::mqtt {

std::optional<BrokerAddress> ParseMqttUrl(std::string_view url, std::string& error) {
    BrokerAddress address;
    std::string_view rest;
    if (url.starts_with("mqtt://")) {
        rest = url.substr(7);
    } else if (url.starts_with("mqtts://")) {
        rest = url.substr(8);
        address.tls = true;
        address.port = 8883;
    } else {
        error =
            "the broker URL must begin with mqtt:// or mqtts://, not \"" + std::string(url) + "\"";
        return std::nullopt;
    }
    if (rest.ends_with('/')) rest.remove_suffix(1);
    std::string_view host = rest;
    if (const auto colon = rest.rfind(':');
        colon != std::string_view::npos && rest.find(']', colon) == std::string_view::npos) {
        host = rest.substr(0, colon);
        const std::string_view digits = rest.substr(colon + 1);
        int port = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
        if (ec != std::errc{} || end != digits.data() + digits.size() || port < 1 || port > 65535) {
            error = "the broker URL has no port 1..65535 after the colon: " + std::string(url);
            return std::nullopt;
        }
        address.port = port;
    }
    if (host.starts_with('[') && host.ends_with(']')) host = host.substr(1, host.size() - 2);
    if (host.empty() || host.find_first_of("/@?# ") != std::string_view::npos) {
        error = "the broker URL names no host: " + std::string(url);
        return std::nullopt;
    }
    address.host = host;
    return address;
}

bool IsStationName(std::string_view name) {
    if (name.empty() || name.size() > 64) return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F || c == '/' || c == '+' || c == '#') return false;
    }
    return true;
}

std::optional<MqttSettings> ResolveMqttSettings(const MqttOptions& given,
                                                const platform::ProfileFile& config,
                                                const char* envPassword, StationNeed need,
                                                std::string& error) {
    const auto pick = [&](const std::string& option, std::string_view key) {
        return option.empty() ? config.getString("mqtt", key, "") : option;
    };
    const std::string url = pick(given.url, "url");
    if (url.empty()) return std::nullopt;
    const auto address = ParseMqttUrl(url, error);
    if (!address) return std::nullopt;
    MqttSettings settings;
    settings.host = address->host;
    settings.port = address->port;
    settings.tls = address->tls;
    settings.caFile = pick(given.caFile, "ca");
    settings.user = pick(given.user, "user");
    if (need == StationNeed::Required) {
        settings.station = pick(given.station, "station");
        if (settings.station.empty()) {
            error =
                "publishing needs a station name (--station NAME or station= in [mqtt] of "
                "config.ini)";
            return std::nullopt;
        }
        if (!IsStationName(settings.station)) {
            error = "a station name is one topic level without '/', '+', '#' or spaces, not \"" +
                    settings.station + "\"";
            return std::nullopt;
        }
    }
    if (!settings.caFile.empty() && !settings.tls) {
        error = "--mqtt-ca needs an mqtts:// URL";
        return std::nullopt;
    }
    if (!settings.caFile.empty() && !std::ifstream(settings.caFile)) {
        error = "cannot read the CA file " + settings.caFile;
        return std::nullopt;
    }
    const std::string passwordFile = pick(given.passwordFile, "password_file");
    if (!passwordFile.empty()) {
        std::ifstream in(passwordFile);
        if (!in || !std::getline(in, settings.password)) {
            error = "cannot read the password file " + passwordFile;
            return std::nullopt;
        }
        if (settings.password.ends_with('\r')) settings.password.pop_back();
        if (settings.user.empty()) {
            error = "a broker password needs a user (--mqtt-user)";
            return std::nullopt;
        }
    } else if (envPassword != nullptr && !settings.user.empty()) {
        // Without a user the environment's password is not this broker's.
        settings.password = envPassword;
    }
    return settings;
}

std::optional<MqttSettings> BrokerOf(const Invocation& invocation, StationNeed need,
                                     std::string& error) {
    const MqttOptions given{invocation.mqttUrl, invocation.station, invocation.mqttCa,
                            invocation.mqttUser, invocation.mqttPasswordFile};
    return ResolveMqttSettings(given, platform::ProfileFile::load(platform::ConfigFilePath()),
                               std::getenv("VELMORA_MQTT_PASSWORD"), need, error);
}

std::string StationTopic(const std::string& station, const std::string& leaf) {
    return "velmora/" + station + "/" + leaf;
}

}  // namespace velmora::tools::mqtt

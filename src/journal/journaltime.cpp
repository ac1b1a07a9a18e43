#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "journal/journal.h"

namespace velmora::journal {

std::int64_t NowUnixMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::string IsoTime(std::int64_t unixMs) {
    const std::time_t seconds = static_cast<std::time_t>(unixMs / 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    const int offset = static_cast<int>(local.tm_gmtoff / 60);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d",
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec, static_cast<int>(unixMs % 1000),
                  offset < 0 ? '-' : '+', std::abs(offset) / 60 % 100, std::abs(offset) % 60);
    return text;
}

std::optional<std::int64_t> ParseSince(const std::string& text) {
    std::tm when{};
    int used = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &when.tm_year, &when.tm_mon, &when.tm_mday,
                    &used) != 3 ||
        used != 10)
        return std::nullopt;
    std::string rest = text.substr(10);
    if (!rest.empty() && (rest[0] == 'T' || rest[0] == ' ')) {
        int hour = 0, minute = 0, second = 0, n = 0;
        if (std::sscanf(rest.c_str() + 1, "%2d:%2d%n", &hour, &minute, &n) != 2 || n != 5)
            return std::nullopt;
        rest = rest.substr(6);
        if (rest.size() >= 3 && rest[0] == ':') {
            if (std::sscanf(rest.c_str() + 1, "%2d%n", &second, &n) != 1 || n != 2)
                return std::nullopt;
            rest = rest.substr(3);
        }
        when.tm_hour = hour;
        when.tm_min = minute;
        when.tm_sec = second;
    }
    if (when.tm_mon < 1 || when.tm_mon > 12 || when.tm_mday < 1 || when.tm_mday > 31 ||
        when.tm_hour > 23 || when.tm_min > 59 || when.tm_sec > 60)
        return std::nullopt;
    when.tm_year -= 1900;
    when.tm_mon -= 1;
    std::time_t seconds = 0;
    if (rest.empty()) {
        when.tm_isdst = -1;
        seconds = std::mktime(&when);
    } else {
        int hours = 0, minutes = 0, n = 0;
        long offset = 0;
        if (rest == "Z") {
            offset = 0;
        } else if ((rest[0] == '+' || rest[0] == '-') &&
                   std::sscanf(rest.c_str() + 1, "%2d:%2d%n", &hours, &minutes, &n) == 2 &&
                   n == 5 && rest.size() == 6) {
            offset = (rest[0] == '-' ? -1 : 1) * (hours * 3600L + minutes * 60L);
        } else {
            return std::nullopt;
        }
        seconds = timegm(&when) - offset;
    }
    if (seconds == static_cast<std::time_t>(-1)) return std::nullopt;
    return static_cast<std::int64_t>(seconds) * 1000;
}

}  // namespace velmora::journal

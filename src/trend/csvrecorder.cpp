#include "trend/csvrecorder.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <ctime>

namespace velmora::trend {

namespace {

constexpr std::int64_t kFlushEveryMs = 1000;

// std::to_chars ignores the locale: a German desktop still gets "12.50".
void appendNumber(std::string& out, double value, int decimals) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec == std::errc()) out.append(buffer, result.ptr);
}

void appendTwo(std::string& out, long value) {
    out += static_cast<char>('0' + value / 10 % 10);
    out += static_cast<char>('0' + value % 10);
}

}  // namespace

CsvRecorder::~CsvRecorder() {
    close();
}

bool CsvRecorder::open(const std::string& path, const std::vector<std::string>& columns, bool rpm,
                       const Fields& about) {
    close();
    m_error.clear();
    m_path = path;
    m_rpm = rpm;
    m_lines = 0;
    m_file = std::fopen(path.c_str(), "w");
    if (m_file == nullptr) {
        m_error = std::strerror(errno);
        return false;
    }
    std::string header;
    for (const auto& [name, value] : about) {
        header += "# " + name + ": ";
        // A line break in a value would end the comment early.
        for (char c : value) header += c == '\n' || c == '\r' ? ' ' : c;
        header += '\n';
    }
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0) header += ',';
        header += CsvField(columns[i]);
    }
    header += '\n';
    m_pending = true;
    if (std::fputs(header.c_str(), m_file) == EOF) return fail(errno);
    return flush();
}

bool CsvRecorder::append(const TrendSample& sample, std::int64_t nowMs) {
    if (m_file == nullptr) return false;
    const std::string line = IsoTime(sample.timeMs) + CsvValues(sample, m_rpm) + '\n';
    if (std::fputs(line.c_str(), m_file) == EOF) return fail(errno);
    m_pending = true;
    ++m_lines;
    return flushIfDue(nowMs);
}

bool CsvRecorder::flush() {
    if (m_file == nullptr) return false;
    if (!m_pending) return true;
    if (std::fflush(m_file) == EOF) return fail(errno);
    m_pending = false;
    return true;
}

bool CsvRecorder::flushIfDue(std::int64_t nowMs) {
    if (m_file == nullptr) return false;
    if (nowMs - m_lastFlushMs < kFlushEveryMs && nowMs >= m_lastFlushMs) return true;
    m_lastFlushMs = nowMs;
    return flush();
}

void CsvRecorder::close() {
    if (m_file == nullptr) return;
    // A full disk may only show when the last lines are written out.
    const bool flushed = std::fflush(m_file) != EOF;
    const int error = errno;
    std::fclose(m_file);
    m_file = nullptr;
    if (!flushed && m_pending) m_error = std::strerror(error);
    m_pending = false;
}

bool CsvRecorder::fail(int error) {
    m_error = std::strerror(error != 0 ? error : EIO);
    std::fclose(m_file);
    m_file = nullptr;
    m_pending = false;
    return false;
}

std::string IsoTime(std::int64_t timeMs) {
    std::int64_t seconds = timeMs / 1000;
    std::int64_t millis = timeMs % 1000;
    if (millis < 0) {
        millis += 1000;
        --seconds;
    }
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    std::string out = text;
    out += '.';
    out += static_cast<char>('0' + millis / 100);
    appendTwo(out, static_cast<long>(millis));
    long offset = local.tm_gmtoff / 60;
    out += offset < 0 ? '-' : '+';
    if (offset < 0) offset = -offset;
    appendTwo(out, offset / 60);
    out += ':';
    appendTwo(out, offset % 60);
    return out;
}

std::string CsvValues(const TrendSample& sample, bool rpm) {
    std::string out;
    const auto series = AllSeries();
    for (std::size_t i = 0; i < kSeriesCount; ++i) {
        out += ',';
        appendNumber(out, DisplayValue(sample, i, rpm), series[i].decimals);
    }
    return out;
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

}  // namespace velmora::trend

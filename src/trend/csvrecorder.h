#pragma once
// Writes trend samples to a CSV file as they come: one line per sample, the
// time in ISO 8601 with milliseconds, '.' as the decimal point whatever the
// locale. Lines reach the file at the latest on the next flush, which the
// owner calls at least once a second, so a crash loses at most that second.
// A recording grows as it goes and must survive a crash, so it is written in
// place rather than through the atomic replace used for parameter files.
// Qt-free; window thread only.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "trend/trendseries.h"

namespace velmora::trend {

class CsvRecorder {
  public:
    CsvRecorder() = default;
    ~CsvRecorder();
    CsvRecorder(const CsvRecorder&) = delete;
    CsvRecorder& operator=(const CsvRecorder&) = delete;

    using Fields = std::vector<std::pair<std::string, std::string>>;
    // Creates (or empties) the file and writes the header: first `about`, one
    // "# name: value" comment line each (the drive and the program), which
    // readers told that '#' starts a comment skip, so the columns stay as they
    // are; then the columns given (UTF-8; the time's, then one per series with
    // its unit). Speeds are written in rpm when rpm is set, else in Hz, for
    // the whole recording. false with error() set when the file cannot be
    // created; a recording already open is closed first.
    bool open(const std::string& path, const std::vector<std::string>& columns, bool rpm,
              const Fields& about = {});
    // One line. false when writing failed: the file is then closed and
    // error() names the reason; later calls do nothing.
    bool append(const TrendSample& sample, std::int64_t nowMs);
    // Pushes buffered lines to the file when some wait; false on a write error
    // (the recording then stops as in append).
    bool flush();
    // Flushes when the last flush is a second old or more.
    bool flushIfDue(std::int64_t nowMs);
    void close();

    [[nodiscard]] bool recording() const { return m_file != nullptr; }
    [[nodiscard]] const std::string& path() const { return m_path; }
    [[nodiscard]] const std::string& error() const { return m_error; }
    [[nodiscard]] std::uint64_t lines() const { return m_lines; }

  private:
    bool fail(int error);

    std::FILE* m_file = nullptr;
    std::string m_path;
    std::string m_error;
    bool m_rpm = false;
    bool m_pending = false;
    std::int64_t m_lastFlushMs = 0;
    std::uint64_t m_lines = 0;
};

// "2026-03-01T14:05:09.042+01:00": local time with its offset from UTC.
[[nodiscard]] std::string IsoTime(std::int64_t timeMs);
// The values of one line after the time, each with a leading ','.
[[nodiscard]] std::string CsvValues(const TrendSample& sample, bool rpm);
// A header field, quoted when it holds a comma, a quote or a line break.
[[nodiscard]] std::string CsvField(std::string_view text);

}  // namespace velmora::trend

#pragma once
// What a saved file says about where it comes from: the drive's serial,
// type and firmware as last read, when the file was made and by which
// program. The PNG, CSV and parameter exports each carry it in their own way.
#include <QDateTime>
#include <QString>
#include <string>
#include <utility>
#include <vector>

namespace velmora::model {
class DriveData;
}

namespace velmora::shell {

struct FileIdentity {
    QString serial;    // empty while not read
    QString type;      // the type's name in the current language
    QString firmware;  // "1.23"
    QString date;      // ISO 8601 with the offset from UTC: "2026-12-09T03:10:00+01:00"
    QString tool;      // "velmora-tool 1.4.0"
};

// The program's name and version, as the application set them at start.
[[nodiscard]] QString ToolVersion();
[[nodiscard]] FileIdentity IdentityOf(const model::DriveData& data,
                                      const QDateTime& when = QDateTime::currentDateTime());
// Fixed English names with the values, for files other programs read:
// serial, type, firmware, date, tool.
[[nodiscard]] std::vector<std::pair<std::string, std::string>> IdentityFields(
    const FileIdentity& identity);

}  // namespace velmora::shell

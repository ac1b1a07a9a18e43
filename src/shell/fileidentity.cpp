#include "shell/fileidentity.h"

#include <QCoreApplication>
#include <cstdlib>

#include "model/drivedata.h"
#include "model/grouplayout.h"
#include "model/invertermodels.h"
#include "model/parameters.h"
#include "shell/textcatalog.h"

namespace velmora::shell {

namespace {

bool Read(const model::DriveData& data, int parameter) {
    const model::GroupLayout* group = model::GroupOfParameter(parameter);
    return group != nullptr && data.GroupReceived(group->code);
}

}  // namespace

QString ToolVersion() {
    const QString version = QCoreApplication::applicationVersion();
    const QString name = QCoreApplication::applicationName();
    return version.isEmpty() ? name : name + ' ' + version;
}

FileIdentity IdentityOf(const model::DriveData& data, const QDateTime& when) {
    namespace param = model::param;
    FileIdentity identity;
    if (Read(data, param::kSerialNumber))
        identity.serial = QString::number(data.Image(param::kSerialNumber));
    if (Read(data, param::kInverterType))
        identity.type = T(model::InverterTypeKey(data.Image(param::kInverterType)));
    if (Read(data, param::kFirmwareVersion)) {
        identity.firmware = QString::number(double(data.Image(param::kFirmwareVersion)) /
                                                model::ScaleFactor(param::kFirmwareVersion),
                                            'f', 2);
    }
    // With its offset, also in UTC ("+00:00", as the recorded samples), so a
    // file read in another time zone still tells the moment.
    const int offset = when.offsetFromUtc() / 60;
    identity.date = when.toString("yyyy-MM-ddTHH:mm:ss") + (offset < 0 ? '-' : '+') +
                    QString("%1:%2")
                        .arg(std::abs(offset) / 60, 2, 10, QChar('0'))
                        .arg(std::abs(offset) % 60, 2, 10, QChar('0'));
    identity.tool = ToolVersion();
    return identity;
}

std::vector<std::pair<std::string, std::string>> IdentityFields(const FileIdentity& identity) {
    return {{"serial", identity.serial.toStdString()},
            {"type", identity.type.toStdString()},
            {"firmware", identity.firmware.toStdString()},
            {"date", identity.date.toStdString()},
            {"tool", identity.tool.toStdString()}};
}

}  // namespace velmora::shell

#include "trend/entrytext.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <array>
#include <string_view>

#include "shell/textcatalog.h"
#include "trend/trendfeed.h"

namespace velmora::trend {

namespace {

using shell::T;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QJsonObject Detail(const journal::Entry& entry) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(entry.detail)).object();
}

// The direction's list texts by the value written; the raw value otherwise.
QString DirectionText(const std::string& value) {
    constexpr std::array<const char*, 3> kKeys{"cwrot", "ccwrot", "remotecontrol"};
    bool ok = false;
    const int index = Q(value).toInt(&ok);
    if (!ok || index < 0 || index >= static_cast<int>(kKeys.size())) return Q(value);
    return T(kKeys[static_cast<std::size_t>(index)]);
}

// What became of a request, when it did not reach the drive.
QString OutcomeSuffix(const std::string& outcome) {
    if (outcome == journal::outcome::kRefused) return " (" + T("trendjrefused") + ')';
    if (outcome == journal::outcome::kLost) return " (" + T("trendjlost") + ')';
    return {};
}

QString FaultOf(const journal::Entry& entry, bool described) {
    const QJsonObject detail = Detail(entry);
    const int faultClass = detail.value("class").toInt();
    const int number = detail.value("number").toInt();
    return described ? FaultText(faultClass, number) : FaultName(faultClass, number);
}

}  // namespace

QString EntryText(const journal::Entry& entry) {
    using journal::EntryKind;
    const QString suffix = OutcomeSuffix(entry.outcome);
    switch (entry.kind) {
        case EntryKind::Connection: {
            const QJsonObject detail = Detail(entry);
            QStringList about{Q(entry.port)};
            if (!detail.value("type").toString().isEmpty())
                about << detail.value("type").toString();
            if (!detail.value("firmware").toString().isEmpty())
                about << T("firmwareversion") + ' ' + detail.value("firmware").toString();
            about.removeAll(QString());
            return T("trendjconnected").arg(about.join(", "));
        }
        case EntryKind::Write:
            return T("trendjwrite").arg(Q(entry.parameter), Q(entry.oldValue), Q(entry.newValue)) +
                   suffix;
        case EntryKind::Direction:
            return T("trendjdirection")
                       .arg(DirectionText(entry.oldValue), DirectionText(entry.newValue)) +
                   suffix;
        case EntryKind::Action:
            return T("trendjaction").arg(Q(entry.parameter)) + suffix;
        case EntryKind::FaultRaised:
            return FaultOf(entry, true);
        case EntryKind::FaultCleared:
            return T("trendjfaultcleared").arg(FaultOf(entry, false));
        case EntryKind::Start:
            return T("trendjstart") + suffix;
        case EntryKind::Stop:
            return T("trendjstop") + suffix;
        case EntryKind::Reset:
            return T("trendjreset") + suffix;
        case EntryKind::RunInStart:
            return T("trendjruninstart").arg(Q(entry.parameter));
        case EntryKind::RunInEnd:
            return T("trendjruninend").arg(Q(entry.outcome));
        case EntryKind::Firmware:
            return T("trendjfirmware").arg(Q(entry.newValue), Q(entry.outcome));
        case EntryKind::Snapshot:
            // Kept before a write-back so it can be undone.
            return T("historykindsnapshot");
        case EntryKind::Restore:
            break;
    }
    return T("trendjrestore").arg(Q(entry.newValue), Q(entry.outcome));
}

}  // namespace velmora::trend

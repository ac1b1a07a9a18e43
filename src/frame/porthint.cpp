#include "frame/porthint.h"

namespace velmora::shell {

// The language files have no keys for these Linux-only hints, so they are
// given in English.
QString PortProblemText(const link::OpenFailure& failure) {
    const QString device = QString::fromStdString(failure.device);
    switch (failure.kind) {
        case link::OpenFailureKind::Permission: {
            const QString group = failure.group.empty() ? QStringLiteral("dialout")
                                                        : QString::fromStdString(failure.group);
            return QStringLiteral(
                       "%1 cannot be opened: this user may not use it.\n"
                       "Add yourself to the group %2:\n"
                       "    sudo usermod -aG %2 $USER\n"
                       "then log out and in again.")
                .arg(device, group);
        }
        case link::OpenFailureKind::Busy:
            return QStringLiteral(
                       "%1 is in use by another program.\n"
                       "Close that program; the connection is made again by itself.")
                .arg(device);
        default:
            return {};
    }
}

}  // namespace velmora::shell

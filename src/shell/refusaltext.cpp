#include "shell/refusaltext.h"

#include <QLocale>

#include "model/parameterrules.h"
#include "shell/textcatalog.h"

namespace velmora::shell {
namespace {

QString Number(double value) {
    return QLocale().toString(value, 'g', 10);
}

QString ValueText(const model::ValueRefusal& value) {
    const QString name = QStringLiteral("p%1").arg(value.parameter);
    if (value.unread) return T("gaterefusedunread").arg(name);
    return T("gaterefusedvalue")
        .arg(name, Number(value.value), Number(value.allowed.low), Number(value.allowed.high));
}

}  // namespace

QString RefusalText(const model::GateRefusal& refusal) {
    using Reason = model::GateRefusal::Reason;
    switch (refusal.reason) {
        case Reason::Value: {
            QStringList lines;
            for (const auto& value : refusal.values) lines << ValueText(value);
            return lines.join(QLatin1Char(' '));
        }
        case Reason::MotorTurning:
            return T("gaterefusedrunning");
        case Reason::StateUnknown:
            return T("gaterefusedunknown");
        case Reason::TransferHolds:
            return T("gaterefusedtransfer");
        case Reason::NoTransfer:
        case Reason::NotAGroup:
        case Reason::NotQueued:
            break;
    }
    return T("gaterefused");
}

}  // namespace velmora::shell

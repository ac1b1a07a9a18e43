#include "shell/faultclasslook.h"

#include <array>

#include "shell/faulttable.h"
#include "shell/textcatalog.h"

namespace velmora::shell {

namespace {

struct ClassEntry {
    unsigned faultClass;
    const char* nameKey;
    QRgb background;
    QRgb text;
};

// A warning lets the motor run on; classes 2 and 3 stop it, the general
// error (3) keeps the drive stopped until it is reset.
constexpr std::array<ClassEntry, 3> kClasses{{
    {1, "faultclass1", qRgb(255, 176, 0), qRgb(0, 0, 0)},
    {2, "faultclass2", qRgb(208, 0, 0), qRgb(255, 255, 255)},
    {3, "faultclass3", qRgb(112, 0, 64), qRgb(255, 255, 255)},
}};
constexpr QRgb kOtherBackground = qRgb(96, 96, 96);

}  // namespace

FaultClassLook faultClassLook(unsigned faultClass) {
    for (const ClassEntry& entry : kClasses) {
        if (entry.faultClass == faultClass)
            return {T(entry.nameKey), QColor(entry.background), QColor(entry.text)};
    }
    return {T("faultclassother").arg(faultClass), QColor(kOtherBackground), QColor(Qt::white)};
}

QString faultHeadline(unsigned faultClass, unsigned number) {
    const FaultText* fault = findFault(number);
    const QString name = fault ? T(fault->headlineKey) : faultClassLook(faultClass).name;
    return name + QLatin1Char(' ') + QString::number(number);
}

QString faultDescription(unsigned number) {
    const FaultText* fault = findFault(number);
    return fault ? T(fault->faultKey) : T("faultundescribed");
}

QString faultShortText(unsigned number) {
    const QString text = faultDescription(number);
    const qsizetype end = text.indexOf(QLatin1String(". "));
    return end < 0 ? text : text.left(end);
}

}  // namespace velmora::shell

#pragma once
// The model's number rules, also for the texts of the widgets.
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/numberparse.h"
#include "pages/common/stepedit.h"
#include "shell/noticeboard.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

// One overload set with the QString forms below.
using model::FormatFixed;
using model::ParseDouble;
using model::ParseReal;
using model::ParseUnsigned;

[[nodiscard]] inline std::uint32_t ParseUnsigned(const QString& text) {
    const std::string utf8 = text.toStdString();
    return ParseUnsigned(std::string_view(utf8));
}
[[nodiscard]] inline float ParseReal(const QString& text) {
    const std::string utf8 = text.toStdString();
    return ParseReal(std::string_view(utf8));
}

// The decimal separator of the interface language, accepted in typed
// numbers besides the point ('.' unless the catalogue says ',').
[[nodiscard]] inline char InterfaceDecimalSeparator() {
    return shell::T("decimalseparator") == QStringLiteral(",") ? ',' : '.';
}

// What the user typed in a number field; nullopt when the text is not a number.
[[nodiscard]] inline std::optional<std::uint32_t> TypedUnsigned(const QString& text) {
    const std::string utf8 = text.toStdString();
    return model::ParseUnsignedStrict(utf8);
}
[[nodiscard]] inline std::optional<double> TypedDouble(const QString& text) {
    const std::string utf8 = text.toStdString();
    return model::ParseDoubleStrict(utf8, InterfaceDecimalSeparator());
}
[[nodiscard]] inline std::optional<float> TypedReal(const QString& text) {
    const std::string utf8 = text.toStdString();
    return model::ParseRealStrict(utf8, InterfaceDecimalSeparator());
}

// Tells the user that the text of a field was not taken (the caller shows the
// field's last value again and sends nothing).
inline void RefuseTypedText(const QWidget* field, const QString& text) {
    shell::showNotice(field, shell::T("numberinvalid").arg(text.trimmed()));
}

// The whole number in a field whose text is its value. A text that is no
// number is refused: the field shows `last` again, the user is told, and
// nothing comes back to be sent.
[[nodiscard]] inline std::optional<std::uint32_t> AcceptUnsigned(StepEdit* field,
                                                                 std::uint32_t last) {
    const QString text = field->fieldText();
    const std::optional<std::uint32_t> value = TypedUnsigned(text);
    if (!value) {
        field->setFieldText(QString::number(last));
        RefuseTypedText(field, text);
    }
    return value;
}

// Tells the user that an action was refused because the motor turns.
inline void RefuseWhileRunning(const QWidget* from, const QString& action) {
    shell::showNotice(from, shell::T("refusedwhilerunning").arg(action));
}

[[nodiscard]] inline QString FixedText(double value, int decimals) {
    return QString::fromStdString(FormatFixed(value, decimals));
}
[[nodiscard]] inline QString UnsignedText(std::uint32_t value) {
    return QString::number(value);
}

}  // namespace velmora::pages

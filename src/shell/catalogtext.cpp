#include "shell/catalogtext.h"

#include "platform/profile.h"

namespace velmora::shell {

QString cutToCharacters(const QString& text, qsizetype maxCharacters) {
    qsizetype characters = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (characters == maxCharacters) return text.left(i);
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        }
        ++characters;
    }
    return text;
}

QString profileText(const platform::ProfileFile& file, std::string_view section,
                    std::string_view key, qsizetype maxCharacters) {
    const std::string value = file.getString(section, key, kFileError);
    return cutToCharacters(QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())),
                           maxCharacters);
}

}  // namespace velmora::shell

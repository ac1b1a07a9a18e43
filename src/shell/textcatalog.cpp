#include "shell/textcatalog.h"

#include <string>
#include <vector>

#include "platform/configfile.h"
#include "platform/profile.h"
#include "shell/catalogtext.h"
#include "shell/languagepaths.h"
#include "shell/textkeys.h"

namespace velmora::shell {

struct TextCatalog::State {
    std::vector<QString> entries;  // in the order of textkeys::allTexts()
    unsigned languageNumber = 0;
    bool loaded = false;  // never reset while the program runs
};

TextCatalog& TextCatalog::instance() {
    static State state;
    static TextCatalog catalog = [] {
        TextCatalog created;
        created.m_state = &state;
        return created;
    }();
    return catalog;
}

int TextCatalog::load(unsigned languageNumber) {
    // The animation follows the last number given, even when the texts stay.
    m_state->languageNumber = languageNumber;
    if (m_state->loaded) return 1;
    const auto file = platform::ProfileFile::load(languageFilePath(languageNumber));
    const auto texts = textkeys::allTexts();
    m_state->entries.clear();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const textkeys::TextKey& text = texts[i];
        QString value =
            profileText(file, text.section, text.key, textkeys::maxCharacters(static_cast<int>(i)));
        if (!text.english.empty() && value == QLatin1String(kFileError.data(), kFileError.size()))
            value =
                QString::fromUtf8(text.english.data(), static_cast<qsizetype>(text.english.size()));
        m_state->entries.push_back(value);
    }
    m_state->loaded = true;
    return 0;
}

int TextCatalog::text(int ordinal, QString& out) const {
    if (!m_state->loaded || ordinal < 0 || ordinal >= textkeys::kKeyCount) return 1;
    out = m_state->entries[static_cast<std::size_t>(ordinal)];
    return 0;
}

QString TextCatalog::text(std::string_view key) const {
    const int index = textkeys::indexOf(key);
    if (!m_state->loaded || index < 0)
        return QString::fromLatin1(kFileError.data(), static_cast<qsizetype>(kFileError.size()));
    return m_state->entries[static_cast<std::size_t>(index)];
}

void TextCatalog::animationPath(QString& out) const {
    out = QString::fromStdString(animationFilePath(m_state->languageNumber).string());
}

unsigned TextCatalog::languageNumber() const {
    return m_state->languageNumber;
}

int TextCatalog::ordinalOf(std::string_view key) {
    return textkeys::ordinalOf(key);
}

int TextCatalog::keyCount() {
    return textkeys::kKeyCount;
}

std::string_view TextCatalog::keyName(int ordinal) {
    return textkeys::keyName(ordinal);
}

std::string_view TextCatalog::sectionOf(int ordinal) {
    return textkeys::sectionOf(ordinal);
}

void TextCatalog::resetForTest() {
    *m_state = State{};
}

unsigned readLanguageNumber() {
    const long number =
        platform::ReadProfileInt(platform::ConfigFilePath(), "languagetype", "language", 1);
    // Like the platform's integer reader: a negative entry wraps around.
    return static_cast<unsigned>(number);
}

void writeLanguageNumber(unsigned n) {
    (void)platform::WriteProfileString(platform::ConfigFilePath(), "languagetype", "language",
                                       std::to_string(n & 0xFFu));
}

}  // namespace velmora::shell

namespace velmora::shell {

void loadCatalog() {
    TextCatalog::instance().load(readLanguageNumber());
}

}  // namespace velmora::shell

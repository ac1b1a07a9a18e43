#include "shell/textcatalog.h"

#include <array>
#include <string>
#include <vector>

#include "platform/configfile.h"
#include "platform/profile.h"
#include "shell/addedtexts.h"
#include "shell/catalogtext.h"
#include "shell/languagepaths.h"
#include "shell/textkeys.h"

namespace velmora::shell {

namespace {
// The language file's values are read into 128-character buffers.
constexpr qsizetype kMaxTextCharacters = 127;
// Added texts are whole sentences; they are not bound by the old buffers.
constexpr qsizetype kMaxAddedCharacters = 255;
}  // namespace

struct TextCatalog::State {
    std::array<QString, textkeys::kKeyCount> entries;
    std::vector<QString> added;  // in the order of AddedTexts()
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
    for (int i = 0; i < textkeys::kKeyCount; ++i) {
        m_state->entries[static_cast<std::size_t>(i)] =
            profileText(file, textkeys::sectionOf(i), textkeys::keyName(i), kMaxTextCharacters);
    }
    m_state->added.clear();
    for (const AddedText& added : AddedTexts()) {
        QString value = profileText(file, added.section, added.key, kMaxAddedCharacters);
        if (value == QLatin1String(kFileError.data(), kFileError.size()))
            value = QString::fromUtf8(added.english.data(), added.english.size());
        m_state->added.push_back(value);
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
    QString out = QString::fromLatin1(kFileError.data(), kFileError.size());
    if (text(ordinalOf(key), out) == 0 || !m_state->loaded) return out;
    const auto& added = AddedTexts();
    for (std::size_t i = 0; i < added.size() && i < m_state->added.size(); ++i)
        if (added[i].key == key) return m_state->added[i];
    return out;
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
    const long number = platform::ReadProfileInt(platform::ConfigFilePath(), "languagetype", "language", 1);
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

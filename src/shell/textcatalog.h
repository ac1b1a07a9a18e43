#pragma once
// Every visible text comes from the language file through this catalogue.
#include <QString>
#include <string_view>

namespace velmora::shell {

class TextCatalog {
  public:
    static TextCatalog& instance();

    // 0 when loaded by this call, 1 when it was already loaded.
    int load(unsigned languageNumber);
    // 0 and out set when the ordinal is in the catalogue, 1 otherwise.
    int text(int ordinal, QString& out) const;
    // Text of a key by name ("startbutton"); "FILE_ERROR" when unknown or missing.
    // An added text (textkeys.h) missing from the file gives its English wording.
    [[nodiscard]] QString text(std::string_view key) const;
    void animationPath(QString& out) const;
    [[nodiscard]] unsigned languageNumber() const;

    // Ordinal of a key name, -1 when it is not one of the keys.
    [[nodiscard]] static int ordinalOf(std::string_view key);
    [[nodiscard]] static int keyCount();
    [[nodiscard]] static std::string_view keyName(int ordinal);
    [[nodiscard]] static std::string_view sectionOf(int ordinal);

    // Tests: forget what was loaded.
    void resetForTest();

  private:
    TextCatalog() = default;
    struct State;
    State* m_state = nullptr;
};

// Shorthand used by every window: the text of a key.
inline QString T(std::string_view key) {
    return TextCatalog::instance().text(key);
}

unsigned readLanguageNumber();
void writeLanguageNumber(unsigned n);

}  // namespace velmora::shell

namespace velmora::shell {

// What every window does at its initialisation: load the catalogue of the
// language named in "config.ini" (only the first call reads the file).
void loadCatalog();

}  // namespace velmora::shell

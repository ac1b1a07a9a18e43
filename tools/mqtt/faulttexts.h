#pragma once
// The drive's fault texts as the window shows them: [errors] errorNN of the
// language file that config.ini's [languagetype] names, from data_language
// in the working folder, beside the program or in its share folder.
#include <string>

#include "platform/profile.h"

namespace velmora::tools::mqtt {

class FaultTexts {
  public:
    // Reads the language file once; a missing file gives no texts.
    FaultTexts();
    explicit FaultTexts(platform::ProfileFile language) : m_language(std::move(language)) {}
    // "" for no fault (0) and for a number without a text.
    [[nodiscard]] std::string text(int number) const;

  private:
    platform::ProfileFile m_language;
};

}  // namespace velmora::tools::mqtt

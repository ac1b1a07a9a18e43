#pragma once
// The three text sizes of one typeface every window uses.
#include <QFont>
#include <array>

class QWidget;

namespace velmora::shell {

class FontSet {
  public:
    FontSet();
    // Style 0 normal texts, 1 headings, 2 large labels. 0 when applied, 1 for
    // any other style (nothing changes then).
    int apply(QWidget* control, int style) const;
    [[nodiscard]] const QFont& font(int style) const;

  private:
    std::array<QFont, 3> m_fonts;
};

}  // namespace velmora::shell

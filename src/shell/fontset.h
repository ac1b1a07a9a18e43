#pragma once
// The three text sizes of one typeface every window uses.
#include <QFont>
#include <array>

class QWidget;

namespace velmora::shell {

class FontSet {
  public:
    enum Style { Normal = 0, Heading = 1, Large = 2 };

    FontSet();
    // 0 when applied, 1 for any other style (nothing changes then).
    int apply(QWidget* control, int style) const;
    [[nodiscard]] const QFont& font(int style) const;

  private:
    std::array<QFont, 3> m_fonts;
};

}  // namespace velmora::shell

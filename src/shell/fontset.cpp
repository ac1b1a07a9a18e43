#include "shell/fontset.h"

#include <QWidget>

namespace velmora::shell {

namespace {
// Point sizes in tenths of a point.
constexpr std::array<int, 3> kTenthsOfPoint = {97, 150, 200};
}  // namespace

FontSet::FontSet() {
    for (std::size_t i = 0; i < m_fonts.size(); ++i) {
        // Asked for by name; Qt falls back to the system's sans-serif face.
        m_fonts[i] = QFont(QStringLiteral("Arial Unicode MS"));
        m_fonts[i].setStyleHint(QFont::SansSerif);
        m_fonts[i].setPointSizeF(kTenthsOfPoint[i] / 10.0);
    }
}

int FontSet::apply(QWidget* control, int style) const {
    if (control == nullptr || style < 0 || style >= static_cast<int>(m_fonts.size())) return 1;
    control->setFont(m_fonts[static_cast<std::size_t>(style)]);
    control->update();
    return 0;
}

const QFont& FontSet::font(int style) const {
    const auto index = static_cast<std::size_t>(style) < m_fonts.size() ? style : 0;
    return m_fonts[static_cast<std::size_t>(index)];
}

}  // namespace velmora::shell

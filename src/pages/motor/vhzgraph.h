#pragma once
// The V/f characteristic drawn over the characteristic panel, at the panel's
// own 96-dpi coordinates scaled by the screen's logical resolution.
#include <QString>
#include <QWidget>
#include <array>
#include <functional>

#include "pages/motor/vhzgeometry.h"

namespace velmora::pages {

// What one paint shows: the values and the texts of the table's fields.
struct VHzPicture {
    VHzValues values;
    std::array<QString, 3> frequencyTexts;
    std::array<QString, 4> voltageTexts;
    QString frequencyCaption;  // empty: no caption
    QString voltageCaption;
};

class VHzGraph : public QWidget {
    Q_OBJECT
  public:
    explicit VHzGraph(QWidget* parent);
    // Asked on every paint, so the graph always follows the table.
    void setSource(std::function<VHzPicture()> source) { m_source = std::move(source); }

    // A 96-dpi coordinate on this screen.
    [[nodiscard]] int scaleX(int x) const;
    [[nodiscard]] int scaleY(int y) const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::function<VHzPicture()> m_source;
};

}  // namespace velmora::pages

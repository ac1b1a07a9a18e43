#pragma once
// A button drawn by the program itself: a coloured push button (start, stop,
// reset) or a signal lamp. It carries no caption of its own.
#include <QAbstractButton>
#include <QColor>
#include <array>
#include <optional>

namespace velmora::shell {

class RoundButton : public QAbstractButton {
    Q_OBJECT
  public:
    // Colour slots; 5..7 are accepted and change nothing on the rounded shape.
    enum Slot {
        Face = 0,          // not pressed; default: button face
        PressedFace = 1,   // default: button shadow
        Outline = 2,       // outer outline; default: button shadow
        PressedInner = 3,  // inner outline when pressed; default: dark shadow
        Inner = 4,         // inner outline when not pressed; default: highlight
    };
    static constexpr int kRoundedShape = 6;

    explicit RoundButton(QWidget* parent = nullptr);

    void setShape(int shape) { m_shape = shape; }
    [[nodiscard]] int shape() const { return m_shape; }
    // Slots outside 0..7 are ignored.
    void setColour(int slot, const QColor& colour);
    // The colour a slot draws with (its default from the palette when unset).
    [[nodiscard]] QColor colour(int slot) const;

    [[nodiscard]] QSize sizeHint() const override;

    // Faded towards the background: how a disabled button draws a colour.
    [[nodiscard]] static QColor faded(const QColor& colour, const QColor& background);
    // Where the focus frame is drawn.
    [[nodiscard]] QRect focusFrame() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    [[nodiscard]] bool drawnDimmed() const;

    int m_shape = kRoundedShape;
    std::array<std::optional<QColor>, 8> m_colours;
};

}  // namespace velmora::shell

#pragma once
// The picture an animation is composed on: draws frames at their place,
// clipped to the logical screen, and applies their disposal methods. Used on
// the window thread only.
#include <QColor>
#include <QImage>
#include <optional>
#include <span>
#include <vector>

#include "shell/frameplayer.h"
#include "shell/gifwalker.h"

namespace velmora::shell {

struct CanvasFrame {
    QImage picture;
    gif::Rect placement;
    gif::Rect visible;
    std::optional<int> delay;
    int disposal = 0;
};

class FrameCanvas {
  public:
    // Decodes the frames of a walked GIF; frames the loader rejects are left out.
    [[nodiscard]] static std::vector<CanvasFrame> decodeFrames(std::span<const std::uint8_t> data,
                                                               const gif::Walk& walked);

    // A picture of the size filled with `fill`; `background` is what
    // disposal method 2 and the end of a round paint. false when the picture
    // cannot be allocated.
    bool reset(QSize size, const QColor& fill, const QColor& background);
    void setFrames(std::vector<CanvasFrame> frames);
    void clear();

    // Applies one step of the player; returns the area that changed.
    QRect apply(PlayStep step);
    // Draws a whole picture at 0,0 (a file of one frame).
    QRect drawPicture(const QImage& picture);

    [[nodiscard]] const QImage& image() const { return m_image; }
    [[nodiscard]] const std::vector<CanvasFrame>& frames() const { return m_frames; }

  private:
    QRect drawFrame(int index);
    QRect disposeCurrent();

    std::vector<CanvasFrame> m_frames;
    QImage m_image;
    QImage m_saved;  // the area under a frame with disposal method 3
    QRect m_savedArea;
    QColor m_background;
    int m_current = -1;
};

}  // namespace velmora::shell

#pragma once
// A picture control that plays an animated GIF frame by frame. A player
// thread keeps the time; every drawing happens here on the window thread.
#include <QImage>
#include <QWidget>

#include "shell/framecanvas.h"
#include "shell/frameplayer.h"

namespace velmora::shell {

class AnimationView : public QWidget {
    Q_OBJECT
  public:
    explicit AnimationView(QWidget* parent = nullptr);
    ~AnimationView() override;  // stops the player thread first

    // 1 when the file was read and prepared, 0 when it cannot be read, holds
    // no frame, is too large or the picture loader rejects it.
    int load(const QString& path);
    // Starts an animation of two or more frames; draws a single picture once.
    void play();
    // The frame shown last stays visible.
    void stop();

    [[nodiscard]] bool isReady() const { return m_ready; }
    [[nodiscard]] bool isPlaying() const { return m_player.running(); }
    // Frames of the animation; 0 for a single picture.
    [[nodiscard]] int frameCount() const { return static_cast<int>(m_canvas.frames().size()); }
    [[nodiscard]] const QImage& picture() const { return m_canvas.image(); }
    [[nodiscard]] QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void release();
    void applyStep(unsigned generation, PlayStep step);

    FrameCanvas m_canvas;
    QImage m_single;
    bool m_ready = false;
    // Steps posted by a player that was stopped since carry an old generation.
    unsigned m_generation = 0;
    FramePlayer m_player;
};

}  // namespace velmora::shell

#include "shell/framecanvas.h"

#include <QByteArray>
#include <QPainter>

namespace velmora::shell {

namespace {
QRect toQRect(const gif::Rect& r) {
    return {r.left, r.top, r.width, r.height};
}
}  // namespace

std::vector<CanvasFrame> FrameCanvas::decodeFrames(std::span<const std::uint8_t> data,
                                                   const gif::Walk& walked) {
    std::vector<CanvasFrame> frames;
    for (const auto& found : walked.frames) {
        const auto single = gif::singleFrame(data, walked, found);
        QImage picture = QImage::fromData(QByteArray(reinterpret_cast<const char*>(single.data()),
                                                     static_cast<qsizetype>(single.size())),
                                          "GIF");
        if (picture.isNull()) continue;
        frames.push_back(
            {std::move(picture), found.placement, found.visible, found.delay, found.disposal});
    }
    return frames;
}

bool FrameCanvas::reset(QSize size, const QColor& fill, const QColor& background) {
    clear();
    m_image = QImage(size, QImage::Format_ARGB32_Premultiplied);
    if (m_image.isNull()) return false;
    m_image.fill(fill);
    m_background = background;
    return true;
}

void FrameCanvas::setFrames(std::vector<CanvasFrame> frames) {
    m_frames = std::move(frames);
    m_current = -1;
    m_saved = {};
}

void FrameCanvas::clear() {
    m_frames.clear();
    m_image = {};
    m_saved = {};
    m_current = -1;
}

QRect FrameCanvas::apply(PlayStep step) {
    if (m_image.isNull()) return {};
    switch (step.kind) {
        case PlayStep::Draw:
            return drawFrame(step.frame);
        case PlayStep::DisposeCurrent:
            return disposeCurrent();
        case PlayStep::Clear:
            m_image.fill(m_background);
            return m_image.rect();
    }
    return {};
}

QRect FrameCanvas::drawPicture(const QImage& picture) {
    if (m_image.isNull()) return {};
    QPainter painter(&m_image);
    painter.drawImage(QPoint(0, 0), picture);
    return m_image.rect();
}

QRect FrameCanvas::drawFrame(int index) {
    if (index < 0 || index >= static_cast<int>(m_frames.size())) return {};
    const CanvasFrame& frame = m_frames[static_cast<std::size_t>(index)];
    const QRect visible = toQRect(frame.visible) & m_image.rect();
    if (frame.disposal == 3) {
        m_saved = m_image.copy(visible);
        m_savedArea = visible;
    }
    // Only the part of the frame inside the logical screen is drawn.
    const QPoint origin(frame.placement.left, frame.placement.top);
    const QRect source = visible.translated(-origin) & frame.picture.rect();
    QPainter painter(&m_image);
    painter.drawImage(source.translated(origin), frame.picture, source);
    m_current = index;
    return visible;
}

QRect FrameCanvas::disposeCurrent() {
    if (m_current < 0 || m_current >= static_cast<int>(m_frames.size())) return {};
    const CanvasFrame& frame = m_frames[static_cast<std::size_t>(m_current)];
    const QRect area = toQRect(frame.visible) & m_image.rect();
    if (frame.disposal == 2) {
        QPainter painter(&m_image);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(area, m_background);
    } else if (frame.disposal == 3 && !m_saved.isNull()) {
        QPainter painter(&m_image);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(m_savedArea.topLeft(), m_saved);
        m_saved = {};
    }
    return area;
}

}  // namespace velmora::shell

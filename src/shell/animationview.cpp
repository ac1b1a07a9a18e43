#include "shell/animationview.h"

#include <QFile>
#include <QPaintEvent>
#include <QPainter>
#include <span>

namespace velmora::shell {

namespace {

// Larger files or pictures are refused like a failed allocation would be.
constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;
constexpr qint64 kMaxPixels = 4096 * 4096;

QRect toQRect(const gif::Rect& r) {
    return {r.left, r.top, r.width, r.height};
}

std::span<const std::uint8_t> bytesOf(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()),
            static_cast<std::size_t>(data.size())};
}

}  // namespace

AnimationView::AnimationView(QWidget* parent) : QWidget(parent) {}

AnimationView::~AnimationView() {
    stop();
}

void AnimationView::release() {
    stop();
    m_frames.clear();
    m_single = {};
    m_canvas = {};
    m_saved = {};
    m_current = -1;
    m_ready = false;
}

int AnimationView::load(const QString& path) {
    release();
    update();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes) return 0;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) return 0;

    QSize size;
    if (gif::isGif(bytesOf(data))) {
        const auto walked = gif::walk(bytesOf(data));
        if (!walked || walked->frames.empty()) return 0;
        if (walked->frames.size() >= 2) {
            if (!loadFrames(data, *walked)) return 0;
            size = QSize(walked->screenWidth, walked->screenHeight);
        } else {
            m_single = QImage::fromData(data, "GIF");
            size = m_single.size();
        }
    } else {
        m_single = QImage::fromData(data);
        size = m_single.size();
    }
    if (m_frames.empty() && m_single.isNull()) return 0;
    if (size.isEmpty() || qint64{size.width()} * size.height() > kMaxPixels) {
        release();
        return 0;
    }

    m_canvas = QImage(size, QImage::Format_ARGB32_Premultiplied);
    if (m_canvas.isNull()) {
        release();
        return 0;
    }
    m_background = palette().color(QPalette::Button);
    m_canvas.fill(palette().color(QPalette::Window));
    setFixedSize(size);
    m_ready = true;
    update();
    return 1;
}

bool AnimationView::loadFrames(const QByteArray& data, const gif::Walk& walked) {
    for (const auto& found : walked.frames) {
        const auto single = gif::singleFrame(bytesOf(data), walked, found);
        QImage picture = QImage::fromData(QByteArray(reinterpret_cast<const char*>(single.data()),
                                                     static_cast<qsizetype>(single.size())),
                                          "GIF");
        if (picture.isNull()) continue;  // a frame the loader rejects is left out
        m_frames.push_back(
            {std::move(picture), found.placement, found.visible, found.delay, found.disposal});
    }
    return !m_frames.empty();
}

void AnimationView::play() {
    if (!m_ready || isPlaying()) return;
    if (m_frames.empty()) {
        QPainter painter(&m_canvas);
        painter.drawImage(QPoint(0, 0), m_single);
        update();
        return;
    }
    std::vector<std::optional<int>> waits;
    waits.reserve(m_frames.size());
    for (const auto& frame : m_frames) waits.push_back(gif::frameWaitMs(frame.delay));
    const unsigned generation = m_generation;
    // The sink runs on the player's thread: it only posts the step here.
    m_player.start(std::move(waits), [this, generation](PlayStep step) {
        QMetaObject::invokeMethod(
            this, [this, generation, step] { applyStep(generation, step); }, Qt::QueuedConnection);
    });
}

void AnimationView::stop() {
    m_player.stop();
    ++m_generation;
}

void AnimationView::applyStep(unsigned generation, PlayStep step) {
    if (generation != m_generation || m_canvas.isNull()) return;
    switch (step.kind) {
        case PlayStep::Draw:
            drawFrame(step.frame);
            break;
        case PlayStep::DisposeCurrent:
            disposeCurrent();
            break;
        case PlayStep::Clear:
            m_canvas.fill(m_background);
            update();
            break;
    }
}

void AnimationView::drawFrame(int index) {
    if (index < 0 || index >= frameCount()) return;
    const Frame& frame = m_frames[static_cast<std::size_t>(index)];
    const QRect visible = toQRect(frame.visible) & m_canvas.rect();
    if (frame.disposal == 3) {
        m_saved = m_canvas.copy(visible);
        m_savedArea = visible;
    }
    // Only the part of the frame inside the logical screen is drawn.
    const QPoint origin(frame.placement.left, frame.placement.top);
    const QRect source = visible.translated(-origin) & frame.picture.rect();
    QPainter painter(&m_canvas);
    painter.drawImage(source.translated(origin), frame.picture, source);
    m_current = index;
    update(visible);
}

void AnimationView::disposeCurrent() {
    if (m_current < 0 || m_current >= frameCount()) return;
    const Frame& frame = m_frames[static_cast<std::size_t>(m_current)];
    const QRect area = toQRect(frame.visible) & m_canvas.rect();
    if (frame.disposal == 2) {
        QPainter painter(&m_canvas);
        painter.fillRect(area, m_background);
    } else if (frame.disposal == 3 && !m_saved.isNull()) {
        QPainter painter(&m_canvas);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(m_savedArea.topLeft(), m_saved);
        m_saved = {};
    }
    update(area);
}

QSize AnimationView::sizeHint() const {
    return m_canvas.isNull() ? QWidget::sizeHint() : m_canvas.size();
}

void AnimationView::paintEvent(QPaintEvent* event) {
    if (!m_ready) return;
    QPainter painter(this);
    const QRect area = event->rect() & m_canvas.rect();
    painter.drawImage(area, m_canvas, area);
}

}  // namespace velmora::shell

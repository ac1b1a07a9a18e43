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
    m_canvas.clear();
    m_single = {};
    m_ready = false;
}

int AnimationView::load(const QString& path) {
    release();
    update();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes) return 0;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) return 0;

    std::vector<CanvasFrame> frames;
    QSize size;
    if (gif::isGif(bytesOf(data))) {
        const auto walked = gif::walk(bytesOf(data));
        if (!walked || walked->frames.empty()) return 0;
        if (walked->frames.size() >= 2) {
            frames = FrameCanvas::decodeFrames(bytesOf(data), *walked);
            if (frames.empty()) return 0;
            size = QSize(walked->screenWidth, walked->screenHeight);
        } else {
            m_single = QImage::fromData(data, "GIF");
            size = m_single.size();
        }
    } else {
        m_single = QImage::fromData(data);
        size = m_single.size();
    }
    if (frames.empty() && m_single.isNull()) return 0;
    if (size.isEmpty() || qint64{size.width()} * size.height() > kMaxPixels ||
        !m_canvas.reset(size, palette().color(QPalette::Window),
                        palette().color(QPalette::Button))) {
        release();
        return 0;
    }
    m_canvas.setFrames(std::move(frames));
    setFixedSize(size);
    m_ready = true;
    update();
    return 1;
}

void AnimationView::play() {
    if (!m_ready || isPlaying()) return;
    if (frameCount() == 0) {
        update(m_canvas.drawPicture(m_single));
        return;
    }
    std::vector<std::optional<int>> waits;
    for (const auto& frame : m_canvas.frames()) waits.push_back(gif::frameWaitMs(frame.delay));
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
    if (generation == m_generation) update(m_canvas.apply(step));
}

QSize AnimationView::sizeHint() const {
    return m_canvas.image().isNull() ? QWidget::sizeHint() : m_canvas.image().size();
}

void AnimationView::paintEvent(QPaintEvent* event) {
    if (!m_ready) return;
    QPainter painter(this);
    const QRect area = event->rect() & m_canvas.image().rect();
    painter.drawImage(area, m_canvas.image(), area);
}

}  // namespace velmora::shell

#include "frame/noticestrip.h"

#include <QTimer>

namespace velmora::frame {

NoticeStrip::NoticeStrip(QWidget* parent) : QLabel(parent), m_timer(new QTimer(this)) {
    setObjectName("noticeStrip");
    setContentsMargins(8, 0, 8, 0);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setTextFormat(Qt::PlainText);
    m_timer->setSingleShot(true);
    m_timer->setInterval(kNoticeMilliseconds);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_notice.clear();
        showCurrent();
    });
}

void NoticeStrip::showNotice(const QString& text) {
    m_notice = text;
    m_timer->start();
    showCurrent();
}

void NoticeStrip::setStanding(const QString& text) {
    if (m_standing == text) return;
    m_standing = text;
    showCurrent();
}

bool NoticeStrip::noticeShown() const {
    return !m_notice.isEmpty();
}

void NoticeStrip::showCurrent() {
    const QString& shown = m_notice.isEmpty() ? m_standing : m_notice;
    setText(shown);
    // A long path is cut off in the strip; the whole text stays readable here.
    setToolTip(shown);
}

}  // namespace velmora::frame

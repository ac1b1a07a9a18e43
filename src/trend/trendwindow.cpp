#include "trend/trendwindow.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/profile.h"
#include "shell/prompter.h"
#include "shell/textcatalog.h"
#include "trend/trendfeed.h"

namespace velmora::trend {

namespace {

using shell::T;

constexpr int kSpanMinutes[] = {1, 5, 30};

// A redraw per pixel's worth of time at most, and never more often than four
// times a second: the 30-minute view moves one pixel in about two seconds.
int RedrawIntervalMs(std::int64_t spanMs) {
    return static_cast<int>(std::clamp<std::int64_t>(spanMs / 900, 250, 2000));
}

QString LogLine(const TrendEvent& event) {
    return QDateTime::fromMSecsSinceEpoch(event.timeMs).toString("yyyy-MM-dd HH:mm:ss.zzz") + "  " +
           EventText(event);
}

}  // namespace

TrendWindow::TrendWindow(TrendFeed& feed, QWidget* parent)
    : QWidget(parent, Qt::Window), m_feed(feed) {
    setObjectName("trendWindow");
    setWindowTitle(T("trendtitle"));
    buildControls();
    for (const TrendEvent& event : feed.core().events()) appendEvent(event);
    connect(&feed, &TrendFeed::eventAdded, this, &TrendWindow::appendEvent);
    connect(&feed, &TrendFeed::recordingChanged, this, &TrendWindow::showRecordingState);
    connect(&m_redrawTimer, &QTimer::timeout, this, &TrendWindow::redraw);
    showRecordingState(feed.recording());
    m_window.spanMs = m_rangeMs;
    m_window.endMs = feed.now();
    resize(1000, 640);
}

void TrendWindow::buildControls() {
    auto* top = new QHBoxLayout;
    const auto series = AllSeries();
    for (std::size_t i = 0; i < kSeriesCount; ++i) {
        m_switches[i] = new QCheckBox(T(series[i].labelKey), this);
        m_switches[i]->setObjectName(QString("trendShow%1").arg(i));
        m_switches[i]->setChecked(true);
        connect(m_switches[i], &QCheckBox::toggled, this,
                [this, i](bool on) { m_chart->setSeriesShown(i, on); });
        top->addWidget(m_switches[i]);
    }
    top->addStretch(1);
    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(T("trendspan"), this));
    m_span = new QComboBox(this);
    m_span->setObjectName("trendSpan");
    const char* spanKeys[] = {"trendminute1", "trendminutes5", "trendminutes30"};
    for (std::size_t i = 0; i < std::size(kSpanMinutes); ++i)
        m_span->addItem(T(spanKeys[i]), kSpanMinutes[i]);
    connect(m_span, &QComboBox::activated, this,
            [this](int index) { setRangeMinutes(m_span->itemData(index).toInt()); });
    controls->addWidget(m_span);
    m_pause = new QPushButton(T("trendpause"), this);
    m_pause->setObjectName("trendPause");
    m_pause->setCheckable(true);
    connect(m_pause, &QPushButton::toggled, this, &TrendWindow::setPaused);
    controls->addWidget(m_pause);
    m_record = new QPushButton(this);
    m_record->setObjectName("trendRecord");
    connect(m_record, &QPushButton::clicked, this, &TrendWindow::toggleRecording);
    controls->addWidget(m_record);
    m_export = new QPushButton(T("trendexport"), this);
    m_export->setObjectName("trendExport");
    connect(m_export, &QPushButton::clicked, this, &TrendWindow::exportImage);
    controls->addWidget(m_export);
    m_recordState = new QLabel(this);
    m_recordState->setObjectName("trendRecordState");
    controls->addWidget(m_recordState, 1);

    m_chart = new TrendChart(this);
    connect(m_chart, &TrendChart::zoomRequested, this, &TrendWindow::zoomTo);
    m_pointer = new QLabel(this);
    m_pointer->setObjectName("trendPointer");
    m_pointer->setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(m_chart, &TrendChart::pointerValues, m_pointer, &QLabel::setText);

    auto* plotPart = new QWidget(this);
    auto* plotLayout = new QVBoxLayout(plotPart);
    plotLayout->setContentsMargins(0, 0, 0, 0);
    plotLayout->addLayout(top);
    plotLayout->addLayout(controls);
    plotLayout->addWidget(m_chart, 1);
    plotLayout->addWidget(m_pointer);

    auto* logPart = new QWidget(this);
    auto* logLayout = new QVBoxLayout(logPart);
    logLayout->setContentsMargins(0, 0, 0, 0);
    logLayout->addWidget(new QLabel(T("trendevents"), this));
    m_log = new QPlainTextEdit(this);
    m_log->setObjectName("trendLog");
    m_log->setReadOnly(true);  // still selectable and copyable
    m_log->setMaximumBlockCount(static_cast<int>(kEventCapacity));
    logLayout->addWidget(m_log);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(plotPart);
    splitter->addWidget(logPart);
    splitter->setStretchFactor(0, 4);
    splitter->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);
}

void TrendWindow::redraw() {
    if (!m_paused) m_window.endMs = m_feed.now();
    m_chart->plot(m_feed.core(), m_window);
}

QString TrendWindow::logText() const {
    return m_log->toPlainText();
}

void TrendWindow::appendEvent(const TrendEvent& event) {
    m_log->appendPlainText(LogLine(event));
}

void TrendWindow::showRecordingState(bool recording) {
    m_record->setText(T(recording ? "trendstoprecord" : "trendrecord"));
    m_recordState->setText(recording ? T("trendrecording") + ' ' +
                                           QString::fromStdString(m_feed.core().recorder().path())
                                     : QString());
}

void TrendWindow::toggleRecording() {
    if (m_feed.recording()) {
        m_feed.stopRecording();
        return;
    }
    shell::FileChoice choice;
    choice.title = T("trendrecordtitle");
    choice.filter = T("trendcsvfiles");
    choice.defaultSuffix = "csv";
    choice.proposedName = QDateTime::currentDateTime().toString("'trend-'yyyyMMdd-HHmmss'.csv'");
    const QString path = shell::prompter().chooseSaveFile(this, choice);
    if (!path.isEmpty()) m_feed.startRecording(path);
}

void TrendWindow::exportImage() {
    shell::FileChoice choice;
    choice.title = T("trendexporttitle");
    choice.filter = T("trendpngfiles");
    choice.defaultSuffix = "png";
    choice.proposedName = QDateTime::currentDateTime().toString("'trend-'yyyyMMdd-HHmmss'.png'");
    const QString path = shell::prompter().chooseSaveFile(this, choice);
    if (path.isEmpty()) return;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    m_chart->grab().save(&buffer, "PNG");
    std::string error;
    if (!platform::WriteFileAtomically(path.toStdString(),
                                       std::string_view(bytes.constData(), bytes.size()), &error))
        shell::prompter().fileError(this, path, QString::fromStdString(error));
}

void TrendWindow::setPaused(bool paused) {
    m_paused = paused;
    if (m_pause->isChecked() != paused) m_pause->setChecked(paused);
    if (!paused) redraw();
}

void TrendWindow::setRangeMinutes(int minutes) {
    m_rangeMs = std::int64_t{minutes} * 60'000;
    const int index = m_span->findData(minutes);
    if (index >= 0 && m_span->currentIndex() != index) m_span->setCurrentIndex(index);
    m_window.spanMs = m_rangeMs;
    restartTimer();
    redraw();
}

void TrendWindow::zoomTo(std::int64_t spanMs, std::int64_t centreMs) {
    spanMs = std::clamp<std::int64_t>(spanMs, 1, m_rangeMs);
    if (m_paused) {
        // The time under the pointer stays where it is.
        const double share =
            std::clamp(double(centreMs - m_window.startMs()) / double(m_window.spanMs), 0.0, 1.0);
        const auto start = centreMs - static_cast<std::int64_t>(share * double(spanMs));
        m_window.endMs = start + spanMs;
    }
    m_window.spanMs = spanMs;
    restartTimer();
    redraw();
}

void TrendWindow::restartTimer() {
    m_redrawTimer.setInterval(RedrawIntervalMs(m_window.spanMs));
    if (isVisible()) m_redrawTimer.start();
}

void TrendWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    restartTimer();
    redraw();
}

void TrendWindow::hideEvent(QHideEvent* event) {
    m_redrawTimer.stop();
    QWidget::hideEvent(event);
}

}  // namespace velmora::trend

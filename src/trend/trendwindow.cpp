#include "trend/trendwindow.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/profile.h"
#include "shell/fileidentity.h"
#include "shell/prompter.h"
#include "shell/textcatalog.h"
#include "trend/entrytext.h"
#include "trend/journallog.h"
#include "trend/trendfeed.h"

namespace velmora::trend {

namespace {

using shell::T;

constexpr int kSpanMinutes[] = {1, 5, 30};
constexpr int kJournalReadMs = 2000;
constexpr int kLegendColumns = 3;

// A redraw per pixel's worth of time at most, and never more often than four
// times a second: the 30-minute view moves one pixel in about two seconds.
int RedrawIntervalMs(std::int64_t spanMs) {
    return static_cast<int>(std::clamp<std::int64_t>(spanMs / 900, 250, 2000));
}

QString LogTime(std::int64_t timeMs) {
    return QDateTime::fromMSecsSinceEpoch(timeMs).toString("yyyy-MM-dd HH:mm:ss.zzz") + "  ";
}

QColor SeriesColour(std::size_t series) {
    return QColor(QRgb(0xFF000000u | AllSeries()[series].colour));
}

QIcon Swatch(const QColor& colour) {
    QPixmap pixmap(14, 14);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

QString SeriesName(std::size_t series, bool rpm) {
    const SeriesInfo& info = AllSeries()[series];
    return QString("%1 [%2]").arg(T(info.labelKey), T(UnitKey(info.unit, rpm)));
}

QString IdentityLine(const shell::FileIdentity& identity) {
    auto known = [](const QString& text) { return text.isEmpty() ? QStringLiteral("?") : text; };
    return T("trendidentity")
        .arg(known(identity.serial), known(identity.type), known(identity.firmware), identity.date,
             identity.tool);
}

}  // namespace

TrendWindow::TrendWindow(TrendFeed& feed, JournalLog* journal, QWidget* parent)
    : QWidget(parent, Qt::Window), m_feed(feed), m_journal(journal) {
    setObjectName("trendWindow");
    setWindowTitle(T("trendtitle"));
    m_legendRpm = feed.core().rpm();
    buildControls();
    if (m_journal) {
        connect(m_journal, &JournalLog::cleared, this, &TrendWindow::showJournal);
        connect(m_journal, &JournalLog::added, this, &TrendWindow::appendEntries);
        m_journalTimer.setInterval(kJournalReadMs);
        connect(&m_journalTimer, &QTimer::timeout, this, &TrendWindow::readJournal);
    } else {
        // Without a journal the log holds what this session saw.
        for (const TrendEvent& event : feed.core().events()) appendEvent(event);
        connect(&feed, &TrendFeed::eventAdded, this, &TrendWindow::appendEvent);
    }
    connect(&feed, &TrendFeed::recordingChanged, this, &TrendWindow::showRecordingState);
    connect(&m_redrawTimer, &QTimer::timeout, this, &TrendWindow::redraw);
    showRecordingState(feed.recording());
    m_window.spanMs = m_rangeMs;
    m_window.endMs = feed.now();
    resize(1000, 640);
}

void TrendWindow::buildControls() {
    // The switches are the legend: each with its line's colour and unit.
    auto* top = new QGridLayout;
    for (std::size_t i = 0; i < kSeriesCount; ++i) {
        m_switches[i] = new QCheckBox(SeriesName(i, m_legendRpm), this);
        m_switches[i]->setObjectName(QString("trendShow%1").arg(i));
        m_switches[i]->setIcon(Swatch(SeriesColour(i)));
        m_switches[i]->setChecked(true);
        connect(m_switches[i], &QCheckBox::toggled, this,
                [this, i](bool on) { m_chart->setSeriesShown(i, on); });
        top->addWidget(m_switches[i], static_cast<int>(i) / kLegendColumns,
                       static_cast<int>(i) % kLegendColumns);
    }
    top->setColumnStretch(kLegendColumns, 1);
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
    // A long path is cut, not the window widened.
    m_recordState->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    controls->addWidget(m_recordState, 1);

    m_chart = new TrendChart(this);
    connect(m_chart, &TrendChart::zoomRequested, this, &TrendWindow::zoomTo);
    m_pointer = new QLabel(this);
    m_pointer->setObjectName("trendPointer");
    m_pointer->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Two lines kept free: the readout wraps instead of widening the window,
    // and the plot does not jump when it comes and goes.
    m_pointer->setWordWrap(true);
    m_pointer->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_pointer->setFixedHeight(2 * m_pointer->fontMetrics().lineSpacing() + 4);
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
    if (m_feed.core().rpm() != m_legendRpm) {
        m_legendRpm = m_feed.core().rpm();
        for (std::size_t i = 0; i < kSeriesCount; ++i)
            m_switches[i]->setText(SeriesName(i, m_legendRpm));
    }
    m_chart->plot(m_feed.core(), m_window);
}

void TrendWindow::readJournal() {
    m_journal->follow(DriveSerial(m_feed.data()));
    m_journal->refresh(m_feed.now());
}

void TrendWindow::showJournal() {
    m_log->clear();
    m_log->setPlaceholderText(m_journal->serial() ? QString() : T("trendnoserial"));
    appendEntries(0);
}

void TrendWindow::appendEntries(std::size_t first) {
    const auto& entries = m_journal->entries();
    for (std::size_t i = first; i < entries.size(); ++i)
        m_log->appendPlainText(LogTime(entries[i].unixMs) + EntryText(entries[i]));
}

QString TrendWindow::logText() const {
    return m_log->toPlainText();
}

void TrendWindow::appendEvent(const TrendEvent& event) {
    m_log->appendPlainText(LogTime(event.timeMs) + EventText(event));
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
    exportedImage(shell::IdentityOf(m_feed.data())).save(&buffer, "PNG");
    std::string error;
    if (!platform::WriteFileAtomically(path.toStdString(),
                                       std::string_view(bytes.constData(), bytes.size()), &error))
        shell::prompter().fileError(this, path, QString::fromStdString(error));
}

QImage TrendWindow::exportedImage(const shell::FileIdentity& identity) const {
    const QImage plot = m_chart->grab().toImage();
    const QFontMetrics metrics = fontMetrics();
    const int line = metrics.lineSpacing() + 4;
    const int rows = static_cast<int>(kSeriesCount + kLegendColumns - 1) / kLegendColumns;
    QImage image(plot.width(), plot.height() + (rows + 1) * line + 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.drawImage(0, 0, plot);
    painter.setFont(font());
    // The legend the window shows beside the plot, for the series shown.
    const int column = plot.width() / kLegendColumns;
    int shown = 0;
    for (std::size_t i = 0; i < kSeriesCount; ++i) {
        if (!m_chart->seriesShown(i)) continue;
        const int x = 8 + shown % kLegendColumns * column;
        const int y = plot.height() + shown / kLegendColumns * line;
        painter.fillRect(x, y + 4, 14, 14, SeriesColour(i));
        painter.setPen(Qt::black);
        painter.drawText(
            QRect(x + 20, y, column - 28, line), Qt::AlignVCenter,
            metrics.elidedText(SeriesName(i, m_legendRpm), Qt::ElideRight, column - 28));
        ++shown;
    }
    const QString about = IdentityLine(identity);
    painter.drawText(QRect(8, plot.height() + rows * line + 4, plot.width() - 16, line),
                     Qt::AlignVCenter,
                     metrics.elidedText(about, Qt::ElideMiddle, plot.width() - 16));
    painter.end();
    // Also as text chunks, for programs that read them; keys as PNG names them.
    image.setText(
        "Source",
        QString("%1 %2 %3").arg(identity.type, identity.serial, identity.firmware).simplified());
    image.setText("Serial", identity.serial);
    image.setText("Type", identity.type);
    image.setText("Firmware", identity.firmware);
    image.setText("Creation Time", identity.date);
    image.setText("Software", identity.tool);
    image.setText("Description", about);
    return image;
}

void TrendWindow::setPaused(bool paused) {
    m_paused = paused;
    m_pause->setText(T(paused ? "trendresume" : "trendpause"));
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
    m_feed.setWindowShown(true);
    restartTimer();
    redraw();
    if (m_journal) {
        showJournal();  // in the language chosen now
        readJournal();
        m_journalTimer.start();
    }
}

void TrendWindow::hideEvent(QHideEvent* event) {
    m_redrawTimer.stop();
    m_journalTimer.stop();
    m_feed.setWindowShown(false);
    QWidget::hideEvent(event);
}

}  // namespace velmora::trend

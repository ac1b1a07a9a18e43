#include "pages/specificprog/firmwareupdatedialog.h"

#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "link/pollmode.h"
#include "model/commands.h"
#include "pages/common/numbertext.h"
#include "pages/specificprog/firmwaretexts.h"
#include "shell/fontset.h"
#include "shell/framemessage.h"
#include "shell/operationlog.h"
#include "shell/prompter.h"
#include "shell/textcatalog.h"

namespace velmora::pages {
namespace {

// The whole file, or an error text with the system's reason.
bool readWhole(const QString& path, std::vector<std::uint8_t>& out, QString& error) {
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        error = path.isEmpty() ? QStringLiteral("No file chosen") : file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    out.assign(bytes.begin(), bytes.end());
    return true;
}

}  // namespace

FirmwareUpdateDialog::FirmwareUpdateDialog(model::DriveGate& gate, shell::FrameChannel frame,
                                           QWidget* parent)
    : QWidget(parent), m_gate(gate), m_frame(std::move(frame)) {
    setObjectName("firmwareUpdateDialog");
    auto* layout = new QVBoxLayout(this);
    m_heading = new QLabel(this);
    m_heading->setObjectName("firmwareHeading");
    layout->addWidget(m_heading);

    auto* grid = new QGridLayout;
    m_loaderLabel = new QLabel(this);
    m_loaderBox = new QLineEdit(this);
    m_loaderBox->setObjectName("loaderPathBox");
    m_loaderBox->setReadOnly(true);
    m_loaderChoose = new QPushButton(this);
    m_loaderChoose->setObjectName("loaderChooseButton");
    m_updateLabel = new QLabel(this);
    m_updateBox = new QLineEdit(this);
    m_updateBox->setObjectName("updatePathBox");
    m_updateBox->setReadOnly(true);
    m_updateChoose = new QPushButton(this);
    m_updateChoose->setObjectName("updateChooseButton");
    grid->addWidget(m_loaderLabel, 0, 0);
    grid->addWidget(m_loaderBox, 0, 1);
    grid->addWidget(m_loaderChoose, 0, 2);
    grid->addWidget(m_updateLabel, 1, 0);
    grid->addWidget(m_updateBox, 1, 1);
    grid->addWidget(m_updateChoose, 1, 2);
    layout->addLayout(grid);

    m_start = new QPushButton(this);
    m_start->setObjectName("programButton");
    layout->addWidget(m_start);
    m_loaderStatus = new QLabel(this);
    m_loaderProgress = new QProgressBar(this);
    m_loaderProgress->setObjectName("loaderProgress");
    m_firmwareStatus = new QLabel(this);
    m_firmwareProgress = new QProgressBar(this);
    m_firmwareProgress->setObjectName("firmwareProgress");
    for (QProgressBar* bar : {m_loaderProgress, m_firmwareProgress}) {
        bar->setRange(0, 1);
        bar->setValue(0);
    }
    layout->addWidget(m_loaderStatus);
    layout->addWidget(m_loaderProgress);
    layout->addWidget(m_firmwareStatus);
    layout->addWidget(m_firmwareProgress);
    m_outcome = new QLabel(this);
    m_outcome->setObjectName("lastDownloadLine");
    m_outcome->setWordWrap(true);
    layout->addWidget(m_outcome);
    layout->addStretch();

    connect(m_loaderChoose, &QPushButton::clicked, this, &FirmwareUpdateDialog::chooseLoader);
    connect(m_updateChoose, &QPushButton::clicked, this, &FirmwareUpdateDialog::chooseUpdate);
    connect(m_start, &QPushButton::clicked, this, &FirmwareUpdateDialog::startDownload);
    applyTexts();
}

void FirmwareUpdateDialog::applyTexts() {
    shell::FontSet fonts;
    fonts.apply(m_heading, shell::FontSet::Heading);
    for (QWidget* w : std::initializer_list<QWidget*>{
             m_loaderLabel, m_loaderBox, m_loaderChoose, m_updateLabel, m_updateBox, m_updateChoose,
             m_start, m_loaderStatus, m_firmwareStatus, m_outcome})
        fonts.apply(w, shell::FontSet::Normal);
    m_heading->setText(shell::T("flashupdate"));
    m_loaderLabel->setText(shell::T("loaderdata"));
    m_loaderChoose->setText(shell::T("searchbutton"));
    m_updateLabel->setText(shell::T("updatedata"));
    m_updateChoose->setText(shell::T("searchbutton"));
    m_start->setText(shell::T("programbutton"));
    m_loaderStatus->setText(shell::T("flashvelmoraloaderstatus"));
    m_firmwareStatus->setText(shell::T("flashfirmwarestatus"));
}

QString FirmwareUpdateDialog::choose(QLineEdit* box, const char* titleKey) {
    shell::FileChoice choice;
    choice.title = shell::T(titleKey);
    choice.filter = QStringLiteral("bin files (*.bin)");
    choice.defaultSuffix = QStringLiteral("bin");
    const QString path = shell::prompter().chooseOpenFile(this, choice);
    // A cancelled dialog leaves the path empty but the box as it was. The
    // working directory is left alone: config.ini and the data folders live there.
    if (!path.isEmpty()) box->setText(path);
    return path;
}

void FirmwareUpdateDialog::chooseLoader() {
    m_loaderPath.clear();
    m_loaderPath = choose(m_loaderBox, "chooseloaderfile");
}

void FirmwareUpdateDialog::chooseUpdate() {
    m_updatePath.clear();
    m_updatePath = choose(m_updateBox, "chooseupdatefile");
}

void FirmwareUpdateDialog::setPollMode(link::PollMode mode) {
    m_pollMode = mode;
    m_gate.setTransferPollMode(static_cast<int>(mode));
}

void FirmwareUpdateDialog::resumePolling() const {
    if (downloading()) m_gate.setTransferPollMode(static_cast<int>(m_pollMode));
}

// A status seen during a download comes from the drive's loader, which
// reports operation not allowed; the motor cannot turn then.
void FirmwareUpdateDialog::setMotorRunning(bool running) {
    if (downloading()) return;
    m_motorRunning = running;
    m_start->setEnabled(!downloading() && !running);
}

void FirmwareUpdateDialog::setBusy(bool busy) {
    m_start->setEnabled(!busy && !m_motorRunning);
    m_loaderChoose->setEnabled(!busy);
    m_updateChoose->setEnabled(!busy);
}

void FirmwareUpdateDialog::startDownload() {
    if (m_state != State::Idle) return;
    if (m_motorRunning) {
        RefuseWhileRunning(this, shell::T("flashupdate"));
        return;
    }
    std::vector<std::uint8_t> loader, update;
    QString error;
    if (!readWhole(m_loaderPath, loader, error)) {
        shell::prompter().fileError(this, m_loaderPath, error);
        return;
    }
    if (!readWhole(m_updatePath, update, error)) {
        shell::prompter().fileError(this, m_updatePath, error);
        return;
    }
    // An empty image would put the drive into its loader with nothing to
    // flash, or end the update at once as if it had succeeded.
    const QString& emptyPath = loader.empty() ? m_loaderPath : m_updatePath;
    if (loader.empty() || update.empty()) {
        shell::prompter().fileError(this, emptyPath, shell::T("emptyfile"));
        return;
    }
    if (!shell::prompter().confirm(
            this, FirmwareStartQuestion(m_loaderPath, loader.size(), m_updatePath, update.size())))
        return;
    // The drive is taken for the transfer: refused while its motor turns,
    // and until it ends no page changes the polling or sends anything else.
    if (m_gate.beginTransfer()) return;
    m_outcome->clear();
    m_frame.post(shell::LinkSuspend{true});
    m_loader.begin(std::move(loader));
    m_loaderProgress->setRange(0, std::max(1, m_loader.total()));
    m_loaderProgress->setValue(0);
    m_state = State::Loader;
    m_lastBlockSent = false;
    m_answering = false;
    m_pendingRequests.clear();
    setBusy(true);
    setPollMode(link::PollMode::FirmwareQuiet);
    QTimer::singleShot(m_timings.loaderTick, this, &FirmwareUpdateDialog::loaderTick);
    m_frame.post(shell::LinkFlush{});
}

void FirmwareUpdateDialog::loaderTick() {
    if (m_state != State::Loader) return;
    if (auto block = m_loader.nextBlock()) {
        m_loaderProgress->setValue(m_loader.sent());
        m_gate.send(std::move(*block));
        QTimer::singleShot(m_timings.afterLoaderBlock, this, [this] {
            QTimer::singleShot(m_timings.loaderTick, this, &FirmwareUpdateDialog::loaderTick);
        });
        return;
    }
    m_loaderProgress->setValue(m_loaderProgress->maximum());
    m_loader.release();
    m_gate.send(model::BuildAction(model::code::LoaderDone));
    QTimer::singleShot(m_timings.afterLoaderDone, this, [this] {
        m_state = State::Firmware;
        m_lastBlockSent = false;
        setPollMode(link::PollMode::FirmwareBlockRequest);
    });
}

void FirmwareUpdateDialog::blockRequest(link::Telegram reply) {
    std::uint16_t block = 0;
    if (model::ParseBlockRequest(reply, block) != 0 || m_state != State::Firmware) return;
    if (m_answering) {
        m_pendingRequests.push_back(block);
        return;
    }
    answerRequest(block);
}

void FirmwareUpdateDialog::answerRequest(std::uint16_t block) {
    m_answering = true;
    setPollMode(link::PollMode::FirmwarePreparing);
    if (m_lastBlockSent) {
        QTimer::singleShot(m_timings.beforeFirmwareDone, this, &FirmwareUpdateDialog::answerDone);
        return;
    }
    std::vector<std::uint8_t> update;
    QString error;
    if (!readWhole(m_updatePath, update, error)) {
        // No block is sent and polling stays off: the download ends here, and
        // with it the tab lock, so the user can choose the file and start again
        // (the drive's loader still waits for the same block).
        m_state = State::Idle;
        m_pendingRequests.clear();
        shell::prompter().fileError(this, m_updatePath, error);
        showOutcome(LastDownloadStopped(error));
        finishDownload(false);
        return;
    }
    FirmwareAnswer answer = AnswerBlockRequest(update, block);
    m_firmwareProgress->setRange(0, std::max(1, answer.progressMaximum));
    m_firmwareProgress->setValue(answer.progress);
    if (!answer.block) {
        // The drive wants more than the file holds while its end was never
        // sent: the file does not fit this drive. No FirmwareDone, so the
        // drive is not told that a partial image is complete.
        m_state = State::Idle;
        m_pendingRequests.clear();
        // The line stays when the popup is gone, as after any other stop.
        showOutcome(LastDownloadStopped(shell::T("firmwareincomplete")));
        shell::prompter().inform(this, shell::T("firmwareincomplete"));
        finishDownload(false);
        return;
    }
    if (answer.lastBlock) m_lastBlockSent = true;
    QTimer::singleShot(m_timings.beforeFirmwareBlock, this,
                       [this, telegram = std::move(*answer.block)]() mutable {
                           m_gate.send(std::move(telegram));
                           setPollMode(link::PollMode::FirmwareBlockRequest);
                           m_answering = false;
                           if (!m_pendingRequests.empty() && m_state == State::Firmware) {
                               const std::uint16_t next = m_pendingRequests.front();
                               m_pendingRequests.pop_front();
                               answerRequest(next);
                           }
                       });
}

void FirmwareUpdateDialog::answerDone() {
    m_gate.send(model::BuildAction(model::code::FirmwareDone));
    m_state = State::Idle;
    m_pendingRequests.clear();
    showOutcome(LastDownloadFinished());
    shell::prompter().inform(this, shell::T("firmwaredownloadfinished"));
    finishDownload(true);
}

void FirmwareUpdateDialog::showOutcome(const QString& line) {
    m_outcome->setText(line);
}

void FirmwareUpdateDialog::finishDownload(bool done) {
    m_gate.endTransfer();
    m_answering = false;
    m_frame.post(shell::LinkSuspend{false});
    if (auto* log = shell::OperationLogOf(m_frame.target()))
        log->firmwareTransferred({m_loaderPath, m_updatePath}, done);
    m_loaderProgress->setValue(0);
    m_firmwareProgress->setValue(0);
    setBusy(false);
}

}  // namespace velmora::pages

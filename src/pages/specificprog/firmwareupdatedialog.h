#pragma once
// The firmware update panel: choose a loader and an update file, send the
// loader at the tool's pace, then answer the drive's block requests.
#include <QString>
#include <QWidget>
#include <deque>

#include "link/pollmode.h"
#include "link/telegram.h"
#include "model/drivegate.h"
#include "model/firmwaretransfer.h"
#include "shell/framechannel.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace velmora::pages {

using model::AnswerBlockRequest;
using model::FirmwareAnswer;
using model::FirmwareTimings;
using model::LoaderPhase;

class FirmwareUpdateDialog : public QWidget {
    Q_OBJECT
  public:
    // frame receives WM_LINK_SUSPEND and WM_LINK_FLUSH.
    FirmwareUpdateDialog(model::DriveGate& gate, shell::FrameChannel frame,
                         QWidget* parent = nullptr);

    void setTimings(const FirmwareTimings& timings) { m_timings = timings; }
    void applyTexts();

    // A BlockRequestReply (0x61) taken from the reply queue by the page.
    void blockRequest(link::Telegram reply);

    [[nodiscard]] bool downloading() const { return m_state != State::Idle; }
    // The loader is through and the drive's block requests are answered.
    [[nodiscard]] bool awaitingBlockRequests() const { return m_state == State::Firmware; }
    // Posts the poll mode the running download needs again: showing the page
    // (also when a refused tab change returns to it) must not replace it.
    void resumePolling() const;
    [[nodiscard]] QString loaderPath() const { return m_loaderPath; }
    [[nodiscard]] QString updatePath() const { return m_updatePath; }

    // The drive reports the motor turning: its firmware is not replaced then,
    // so Program is greyed out and refused.
    void setMotorRunning(bool running);

    // Button actions (also what the buttons call).
    void chooseLoader();
    void chooseUpdate();
    void startDownload();

  private:
    enum class State { Idle, Loader, Firmware };
    void loaderTick();
    void answerRequest(std::uint16_t block);
    void answerDone();
    // done: the drive took the whole update (the history says so).
    void finishDownload(bool done);
    void setPollMode(link::PollMode mode);
    void setBusy(bool busy);
    QString choose(QLineEdit* box, const char* titleKey);
    void showOutcome(const QString& line);

    model::DriveGate& m_gate;  // holds the drive for the transfer while it runs
    shell::FrameChannel m_frame;
    FirmwareTimings m_timings;
    State m_state = State::Idle;
    link::PollMode m_pollMode = link::PollMode::FirmwareQuiet;
    LoaderPhase m_loader;
    QString m_loaderPath;
    QString m_updatePath;
    bool m_motorRunning = false;
    bool m_lastBlockSent = false;
    // A request that arrives while the previous answer waits for its pause
    // is answered after it, so blocks and FirmwareDone keep their order.
    bool m_answering = false;
    std::deque<std::uint16_t> m_pendingRequests;

    QLabel* m_heading = nullptr;
    QLabel* m_loaderLabel = nullptr;
    QLineEdit* m_loaderBox = nullptr;
    QPushButton* m_loaderChoose = nullptr;
    QLabel* m_updateLabel = nullptr;
    QLineEdit* m_updateBox = nullptr;
    QPushButton* m_updateChoose = nullptr;
    QPushButton* m_start = nullptr;
    QLabel* m_loaderStatus = nullptr;
    QProgressBar* m_loaderProgress = nullptr;
    QLabel* m_firmwareStatus = nullptr;
    QProgressBar* m_firmwareProgress = nullptr;
    QLabel* m_outcome = nullptr;  // how the last download ended
};

}  // namespace velmora::pages

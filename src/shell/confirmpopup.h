#pragma once
// A question with OK and Cancel, shown modally for one question.
#include <QDialog>

#include "shell/fontset.h"

class QLabel;
class QPushButton;

namespace velmora::shell {

class ConfirmPopup : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kOk = 1;
    static constexpr int kCancel = 2;

    explicit ConfirmPopup(QWidget* parent = nullptr);
    void setMessage(const QString& text);
    // Enter and the first focus go to Cancel: for a question whose OK
    // destroys or discards something.
    void makeCancelDefault();
    // Shows the popup modally: kOk or kCancel (also for Escape and the close box).
    int ask();

  public slots:
    void reject() override;

  private:
    FontSet m_fonts;
    QLabel* m_message;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

}  // namespace velmora::shell

#pragma once
// A question with more answers than OK and Cancel, one button each, shown
// modally for one question.
#include <QDialog>
#include <QStringList>

#include "shell/fontset.h"

class QLabel;

namespace velmora::shell {

class ChoicePopup : public QDialog {
    Q_OBJECT
  public:
    // Buttons left to right in the order of answers; Enter presses the one
    // of enterAnswer, Esc and the close box give escapeAnswer.
    ChoicePopup(const QStringList& answers, int enterAnswer, int escapeAnswer,
                QWidget* parent = nullptr);
    void setMessage(const QString& text);
    // Shows the popup modally: the index of the answer chosen.
    int ask();

  public slots:
    void reject() override;

  private:
    FontSet m_fonts;
    QLabel* m_message;
    int m_escapeAnswer;
};

}  // namespace velmora::shell

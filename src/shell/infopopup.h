#pragma once
// A message with one OK button, shown modally for one question.
#include <QDialog>

#include "shell/fontset.h"

class QLabel;

namespace velmora::shell {

class InfoPopup : public QDialog {
    Q_OBJECT
  public:
    explicit InfoPopup(QWidget* parent = nullptr);
    void setMessage(const QString& text);

  private:
    FontSet m_fonts;
    QLabel* m_message;
};

}  // namespace velmora::shell

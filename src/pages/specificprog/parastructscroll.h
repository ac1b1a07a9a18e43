#pragma once
// The scroll area of the parameter-structure view: one line step is a
// hundredth and one page step a tenth of the scroll range, whatever the
// window's size.
#include <QScrollArea>

namespace velmora::pages {

class ParaStructScroll : public QScrollArea {
    Q_OBJECT
  public:
    explicit ParaStructScroll(QWidget* parent = nullptr);
    bool eventFilter(QObject* watched, QEvent* event) override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    // QScrollArea sets its own steps whenever it lays out; these follow.
    void applySteps();
};

}  // namespace velmora::pages

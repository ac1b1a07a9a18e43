#pragma once
// The mouse wheel must not change a drive value on its way across a page:
// fields with arrows, sliders and choice lists take the wheel only while they
// have the keyboard focus. One filter on the application covers every page,
// panel and dialog, including controls made after it was installed.
#include <QObject>

namespace velmora::shell {

class WheelGuard : public QObject {
    Q_OBJECT
  public:
    // Installs the guard on the running application; later calls do nothing.
    static void installOnce();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    using QObject::QObject;
};

}  // namespace velmora::shell

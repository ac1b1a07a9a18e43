#include "shell/noticeboard.h"

#include <QDir>
#include <QWidget>

#include "shell/page.h"
#include "shell/textcatalog.h"

namespace velmora::shell {

void showNotice(const QWidget* from, const QString& text) {
    for (const QWidget* widget = from; widget != nullptr; widget = widget->parentWidget()) {
        if (const auto* page = qobject_cast<const Page*>(widget)) {
            if (auto* board = dynamic_cast<NoticeBoard*>(page->frame())) board->showNotice(text);
            return;
        }
    }
}

void showFileSaved(const QWidget* from, const QString& path) {
    showNotice(from, T("filesaved").arg(QDir::toNativeSeparators(path)));
}

}  // namespace velmora::shell

#include "pages/specificprog/firmwaretexts.h"

#include "shell/textcatalog.h"

namespace velmora::pages {

namespace {
QString fileLine(const char* labelKey, const QString& path, std::size_t bytes) {
    return shell::T("firmwarefileline").arg(shell::T(labelKey), path, QString::number(bytes));
}
}  // namespace

QString FirmwareStartQuestion(const QString& loaderPath, std::size_t loaderBytes,
                              const QString& updatePath, std::size_t updateBytes) {
    return shell::T("askfirmwarestart") + QLatin1Char('\n') +
           fileLine("loaderdata", loaderPath, loaderBytes) + QLatin1Char('\n') +
           fileLine("updatedata", updatePath, updateBytes);
}

QString LastDownloadFinished() {
    return shell::T("lastdownloadfinished");
}

QString LastDownloadStopped(const QString& reason) {
    return shell::T("lastdownloadstopped").arg(reason);
}

}  // namespace velmora::pages

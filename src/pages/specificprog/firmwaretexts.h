#pragma once
// What the firmware panel asks before a download and says after one.
#include <QString>
#include <cstddef>

namespace velmora::pages {

// Names both files with their sizes in bytes.
[[nodiscard]] QString FirmwareStartQuestion(const QString& loaderPath, std::size_t loaderBytes,
                                            const QString& updatePath, std::size_t updateBytes);
// The line kept on the panel until the next start: finished, or stopped and why.
[[nodiscard]] QString LastDownloadFinished();
[[nodiscard]] QString LastDownloadStopped(const QString& reason);

}  // namespace velmora::pages

#include "frame/porthint.h"

#include "link/porthinttexts.h"
#include "shell/textcatalog.h"

namespace velmora::frame {

using namespace velmora::shell;

// The link's hint table names the keys; the language file gives the words.
QString PortProblemText(const link::OpenFailure& failure) {
    const link::PortHintText* hint = link::PortHintFor(failure);
    if (!hint) return {};
    return QString::fromStdString(link::FillPortHint(T(hint->key).toStdString(), failure));
}

}  // namespace velmora::frame

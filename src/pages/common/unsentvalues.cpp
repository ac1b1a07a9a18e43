#include "pages/common/unsentvalues.h"

#include "model/drivedata.h"
#include "model/grouplayout.h"
#include "shell/prompter.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

bool HoldsUnsentValues(const model::DriveData& data, std::initializer_list<int> groupCodes) {
    for (int code : groupCodes) {
        const model::GroupLayout* group = model::FindGroup(code);
        if (group == nullptr) continue;
        for (const model::FieldLayout& field : group->fields) {
            if (data.Working(field.parameter) != data.Image(field.parameter)) return true;
        }
    }
    return false;
}

bool ConfirmLeavingUnsent(QWidget* page, const model::DriveData& data,
                          std::initializer_list<int> groupCodes) {
    if (!HoldsUnsentValues(data, groupCodes)) return true;
    return shell::prompter().confirm(page, shell::T("askdiscardchanges"),
                                     shell::EnterAnswer::Cancel);
}

}  // namespace velmora::pages

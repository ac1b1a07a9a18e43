#include "pages/motor/memoryslotactions.h"

#include "model/commands.h"
#include "shell/framemessage.h"
#include "shell/prompter.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

using shell::T;

MemorySlotActions::MemorySlotActions(QWidget* parent, model::DriveData& data,
                                     shell::FrameChannel frame, Hooks hooks)
    : m_parent(parent), m_frame(std::move(frame)), m_store(data, std::move(hooks)) {}

void MemorySlotActions::loadMakerSet(int model) {
    auto& prompter = shell::prompter();
    if (model < 0 || model >= kMotorModelCount) {
        prompter.inform(m_parent, T("choosemotortypepopup"));
        return;
    }
    if (!prompter.confirm(m_parent, T("overwritepopup"))) return;
    // Only the warning's OK goes on: Esc or the close box leave the drive's data.
    if (!prompter.acknowledge(m_parent, T("divergencypopup"))) return;
    m_frame.post(shell::MotorModelChosen{model});
    m_store.loadMakerSet(model);
}

void MemorySlotActions::loadSlot(int slot) {
    auto& prompter = shell::prompter();
    if (!validSlot(slot)) {
        prompter.inform(m_parent, T("choosemotorparapopup"));
        return;
    }
    if (!prompter.confirm(m_parent, T("overwritepopup"))) return;
    m_frame.post(shell::MemorySlotChosen{slot});
    m_store.loadSlot(slot + 1);
}

void MemorySlotActions::saveSlot(int slot) {
    auto& prompter = shell::prompter();
    if (!validSlot(slot)) {
        (void)prompter.confirm(m_parent, T("choosemotorparapopup"));
        return;
    }
    if (!prompter.confirm(m_parent, T("savepopup"))) return;
    // The slot receives exactly what the page shows.
    m_store.saveSlot(slot + 1);
}

void MemorySlotActions::deleteSlot(int slot) {
    auto& prompter = shell::prompter();
    if (!validSlot(slot)) {
        (void)prompter.confirm(m_parent, T("choosemotorparapopup"));
        return;
    }
    if (!prompter.confirm(m_parent, T("deletepopup"))) return;
    m_store.deleteSlot(slot + 1);
}

void MemorySlotActions::loadFactorySettings() {
    if (!shell::prompter().confirm(m_parent, T("overwritepopup"))) return;
    m_store.loadFactorySettings();
}

void MemorySlotActions::slotState(link::Telegram& reply) {
    if (!model::MotorStore::SlotHoldsData(reply)) {
        shell::prompter().inform(m_parent, T("erasedpopup"));
    }
}

}  // namespace velmora::pages

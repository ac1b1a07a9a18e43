#include "pages/motor/memoryslotactions.h"

#include "link/linkapi.h"
#include "model/commands.h"
#include "shell/prompter.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

using shell::T;

MemorySlotActions::MemorySlotActions(QWidget* parent, model::DriveData& data, Hooks hooks)
    : m_parent(parent), m_data(data), m_hooks(std::move(hooks)) {}

void MemorySlotActions::forgetFollowChoices() {
    // A loaded set decides anew whether p42 and p44 follow the rated values.
    m_data.SetMotorSel(0, 2);
    m_data.SetMotorSel(1, 2);
}

void MemorySlotActions::loadMakerSet(int model) {
    auto& prompter = shell::prompter();
    if (model < 0 || model >= kMotorModelCount) {
        prompter.inform(m_parent, T("choosemotortypepopup"));
        return;
    }
    if (!prompter.confirm(m_parent, T("overwritepopup"))) return;
    // Only the warning's OK goes on: Esc or the close box leave the drive's data.
    if (!prompter.acknowledge(m_parent, T("divergencypopup"))) return;
    if (m_hooks.postToFrame) {
        m_hooks.postToFrame(link::WM_MOTOR_MODEL_CHOSEN, static_cast<std::uintptr_t>(model));
    }
    link::SendRequest(
        model::BuildAction(model::code::LoadMakerSet, static_cast<std::uint8_t>(model)));
    if (m_hooks.readMotorGroups) m_hooks.readMotorGroups();
    forgetFollowChoices();
}

void MemorySlotActions::loadSlot(int slot) {
    auto& prompter = shell::prompter();
    if (!validSlot(slot)) {
        prompter.inform(m_parent, T("choosemotorparapopup"));
        return;
    }
    if (!prompter.confirm(m_parent, T("overwritepopup"))) return;
    if (m_hooks.postToFrame) {
        m_hooks.postToFrame(link::WM_MEMORY_SLOT_CHOSEN, static_cast<std::uintptr_t>(slot));
    }
    const auto number = static_cast<std::uint8_t>(slot + 1);
    link::SendRequest(model::BuildAction(model::code::LoadMemorySlot, number));
    link::SendRequest(model::BuildReadSlotState(number));
    if (m_hooks.readMotorGroups) m_hooks.readMotorGroups();
    forgetFollowChoices();
}

void MemorySlotActions::saveSlot(int slot) {
    auto& prompter = shell::prompter();
    if (!validSlot(slot)) {
        (void)prompter.confirm(m_parent, T("choosemotorparapopup"));
        return;
    }
    if (!prompter.confirm(m_parent, T("savepopup"))) return;
    // The slot receives exactly what the page shows.
    if (m_hooks.sendMotorGroups) m_hooks.sendMotorGroups();
    link::SendRequest(
        model::BuildAction(model::code::SaveMemorySlot, static_cast<std::uint8_t>(slot + 1)));
}

void MemorySlotActions::deleteSlot(int slot) {
    auto& prompter = shell::prompter();
    if (!validSlot(slot)) {
        (void)prompter.confirm(m_parent, T("choosemotorparapopup"));
        return;
    }
    if (!prompter.confirm(m_parent, T("deletepopup"))) return;
    link::SendRequest(
        model::BuildAction(model::code::DeleteMemorySlot, static_cast<std::uint8_t>(slot + 1)));
}

void MemorySlotActions::loadFactorySettings() {
    if (!shell::prompter().confirm(m_parent, T("overwritepopup"))) return;
    link::SendRequest(model::BuildAction(model::code::LoadFactorySettings));
    if (m_hooks.readMotorGroups) m_hooks.readMotorGroups();
    forgetFollowChoices();
}

void MemorySlotActions::slotState(link::Telegram& reply) {
    std::uint8_t state = 0;
    if (model::ParseSlotState(reply, state) != 0 || state != 1) {
        shell::prompter().inform(m_parent, T("erasedpopup"));
    }
}

}  // namespace velmora::pages

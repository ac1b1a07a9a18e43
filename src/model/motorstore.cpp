#include "model/motorstore.h"

#include "model/commands.h"

namespace velmora::model {

void SendMotorGroups(DriveData& data) {
    for (int code : kMotorWriteOrder) data.RequestGroup(0, code);
}

void ReadMotorGroups(DriveData& data) {
    for (int code : kMotorReadOrder) data.RequestGroup(1, code);
}

MotorStore::MotorStore(DriveData& data, Hooks hooks) : m_data(data), m_hooks(std::move(hooks)) {
    if (!m_hooks.sendMotorGroups) m_hooks.sendMotorGroups = [this] { SendMotorGroups(m_data); };
    if (!m_hooks.readMotorGroups) m_hooks.readMotorGroups = [this] { ReadMotorGroups(m_data); };
}

void MotorStore::forgetFollowChoices() {
    // A loaded set decides anew whether p42 and p44 follow the rated values.
    m_data.SetMotorSel(0, 2);
    m_data.SetMotorSel(1, 2);
}

bool MotorStore::loadMakerSet(int model) {
    if (!ValidModel(model)) return false;
    if (m_data.gate().send(BuildAction(code::LoadMakerSet, static_cast<std::uint8_t>(model))))
        return false;
    m_hooks.readMotorGroups();
    forgetFollowChoices();
    return true;
}

bool MotorStore::loadSlot(int slot) {
    if (!ValidSlot(slot)) return false;
    const auto number = static_cast<std::uint8_t>(slot);
    if (m_data.gate().send(BuildAction(code::LoadMemorySlot, number))) return false;
    m_data.gate().send(BuildReadSlotState(number));
    m_hooks.readMotorGroups();
    forgetFollowChoices();
    return true;
}

bool MotorStore::saveSlot(int slot) {
    if (!ValidSlot(slot)) return false;
    // The slot receives exactly what the working values hold.
    m_hooks.sendMotorGroups();
    return !m_data.gate().send(BuildAction(code::SaveMemorySlot, static_cast<std::uint8_t>(slot)));
}

bool MotorStore::deleteSlot(int slot) {
    if (!ValidSlot(slot)) return false;
    return !m_data.gate().send(
        BuildAction(code::DeleteMemorySlot, static_cast<std::uint8_t>(slot)));
}

void MotorStore::loadFactorySettings() {
    m_data.gate().send(BuildAction(code::LoadFactorySettings));
    m_hooks.readMotorGroups();
    forgetFollowChoices();
}

bool MotorStore::SlotHoldsData(link::Telegram& reply) {
    std::uint8_t state = 0;
    return ParseSlotState(reply, state) == 0 && state == 1;
}

}  // namespace velmora::model

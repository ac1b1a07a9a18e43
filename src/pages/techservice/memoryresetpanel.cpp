#include "pages/techservice/memoryresetpanel.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "link/pollmode.h"
#include "model/commands.h"
#include "pages/techservice/fieldrules.h"
#include "pages/techservice/techquestions.h"
#include "shell/prompter.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

namespace {}

MemoryResetPanel::MemoryResetPanel(model::DriveGate& gate, QWidget* parent)
    : TechPanel(gate, "reseteeprom", link::PollMode::MemoryReset, kNoRead, parent) {
    setObjectName(QStringLiteral("memoryResetPanel"));
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        const techservice::MemoryArea& area = techservice::kMemoryAreas[i];
        m_buttons[i] = new QPushButton(this);
        m_buttons[i]->setObjectName(QStringLiteral("reset_") + QLatin1String(area.key));
        fonts().apply(m_buttons[i], shell::FontSet::Normal);
        body()->addWidget(m_buttons[i]);
        // Each reset destroys data in the drive: asked first, naming the area.
        connect(m_buttons[i], &QPushButton::clicked, this, [this, &area] {
            if (shell::prompter().confirm(this, techservice::MemoryResetQuestion(area)))
                this->gate().send(model::BuildAction(model::code::ResetEeprom, area.bit));
        });
    }
}

void MemoryResetPanel::applyTexts() {
    TechPanel::applyTexts();
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        m_buttons[i]->setText(shell::T(techservice::kMemoryAreas[i].key));
}

}  // namespace velmora::pages

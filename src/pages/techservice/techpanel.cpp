#include "pages/techservice/techpanel.h"

#include <QLabel>
#include <QVBoxLayout>

#include "link/pollmode.h"
#include "model/commands.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

TechPanel::TechPanel(model::DriveGate& gate, const char* buttonKey, link::PollMode pollMode,
                     int readCode, QWidget* parent)
    : QWidget(parent),
      m_gate(gate),
      m_buttonKey(buttonKey),
      m_pollMode(pollMode),
      m_readCode(readCode) {
    auto* layout = new QVBoxLayout(this);
    m_heading = new QLabel(this);
    m_heading->setObjectName(QStringLiteral("panelHeading"));
    m_fonts.apply(m_heading, shell::FontSet::Heading);
    layout->addWidget(m_heading);
    m_body = new QVBoxLayout;
    layout->addLayout(m_body);
    layout->addStretch(1);
}

void TechPanel::applyTexts() {
    m_heading->setText(shell::T("techservice") + shell::T("delimiter") + shell::T(m_buttonKey));
}

void TechPanel::sendOpenRequests() const {
    m_gate.setPollMode(m_pollMode);
    if (m_readCode != kNoRead) m_gate.send(model::BuildReadGroup(m_readCode));
}

void TechPanel::opened() {
    m_open = true;
    sendOpenRequests();
}

void TechPanel::reopened() {
    sendOpenRequests();
}

void TechPanel::closed() {
    m_open = false;
    m_gate.setPollMode(link::PollMode::TechPage);
}

}  // namespace velmora::pages

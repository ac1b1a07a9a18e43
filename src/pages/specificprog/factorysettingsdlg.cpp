#include "pages/specificprog/factorysettingsdlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/commands.h"
#include "pages/common/numbertext.h"
#include "shell/fontset.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

CFactorySettingsDlg::CFactorySettingsDlg(model::DriveGate& gate, QWidget* parent)
    : QDialog(parent), m_gate(gate) {
    setObjectName("factorySettingsDialog");
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    m_message = new QLabel(this);
    m_message->setWordWrap(true);
    layout->addWidget(m_message);
    auto* buttons = new QHBoxLayout;
    m_ok = new QPushButton(this);
    m_ok->setObjectName("factoryOkButton");
    m_cancel = new QPushButton(this);
    m_cancel->setObjectName("factoryCancelButton");
    m_cancel->setDefault(true);  // Enter must not reset the drive
    m_ok->setAutoDefault(false);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &CFactorySettingsDlg::confirm);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    applyTexts();
}

void CFactorySettingsDlg::applyTexts() {
    shell::FontSet fonts;
    for (QWidget* w : std::initializer_list<QWidget*>{m_message, m_ok, m_cancel})
        fonts.apply(w, shell::FontSet::Normal);
    setWindowTitle(shell::T("factorysettings"));
    m_message->setText(shell::T("questionfactorysettings"));
    m_ok->setText(shell::T("okbutton"));
    m_cancel->setText(shell::T("cancelbutton"));
}

void CFactorySettingsDlg::setMotorRunning(bool running) {
    m_motorRunning = running;
    m_ok->setEnabled(!running);
}

void CFactorySettingsDlg::confirm() {
    if (m_motorRunning) {
        RefuseWhileRunning(this, shell::T("factorysettings"));
        reject();
        return;
    }
    m_gate.send(model::BuildAction(model::code::LoadFactorySettings));
    accept();
}

}  // namespace velmora::pages

#include "shell/faultpopup.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/faultclasslook.h"
#include "shell/textcatalog.h"

namespace velmora::shell {

FaultPopup::FaultPopup(QWidget* parent)
    : QDialog(parent), m_headline(new QLabel(this)), m_faultText(new QLabel(this)) {
    loadCatalog();
    m_headline->setObjectName("faultHeadline");
    m_headline->setAlignment(Qt::AlignCenter);
    m_faultText->setObjectName("faultText");
    m_faultText->setAlignment(Qt::AlignCenter);
    m_faultText->setWordWrap(true);
    m_faultText->setMinimumSize(270, 62);
    auto* ok = new QPushButton(T("okbutton"), this);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QWidget::hide);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(ok);
    buttonRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_headline);
    layout->addWidget(m_faultText, 1);
    layout->addLayout(buttonRow);
    for (QWidget* control : {static_cast<QWidget*>(m_headline), static_cast<QWidget*>(m_faultText),
                             static_cast<QWidget*>(ok)}) {
        m_fonts.apply(control, FontSet::Normal);
    }
}

void FaultPopup::setFault(unsigned number, unsigned faultClass) {
    m_headline->setText(faultHeadline(faultClass, number));
    m_faultText->setText(faultDescription(number));
}

QString FaultPopup::headline() const {
    return m_headline->text();
}

QString FaultPopup::faultText() const {
    return m_faultText->text();
}

}  // namespace velmora::shell

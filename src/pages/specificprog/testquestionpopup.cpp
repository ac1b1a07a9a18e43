#include "pages/specificprog/testquestionpopup.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/textcatalog.h"

namespace velmora::pages {

using namespace velmora::shell;

TestQuestionPopup::TestQuestionPopup(FrameChannel owner, QWidget* parent)
    : QDialog(parent), m_owner(std::move(owner)) {
    loadCatalog();
    auto* question = new QLabel(T("asktest"), this);
    question->setObjectName("questionText");
    question->setAlignment(Qt::AlignCenter);
    question->setWordWrap(true);
    question->setMinimumSize(262, 68);
    auto* ok = new QPushButton(T("okbutton"), this);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    auto* cancel = new QPushButton(T("cancelbutton"), this);
    cancel->setObjectName("cancelButton");
    connect(ok, &QPushButton::clicked, this, &TestQuestionPopup::confirmed);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(ok);
    buttonRow->addWidget(cancel);
    buttonRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(question, 1);
    layout->addLayout(buttonRow);
    for (QWidget* control : {static_cast<QWidget*>(question), static_cast<QWidget*>(ok),
                             static_cast<QWidget*>(cancel)}) {
        m_fonts.apply(control, FontSet::Normal);
    }
}

void TestQuestionPopup::confirmed() {
    m_owner.post(shell::ShowSpecificProg{});
    accept();
}

}  // namespace velmora::pages

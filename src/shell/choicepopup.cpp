#include "shell/choicepopup.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/textcatalog.h"

namespace velmora::shell {

ChoicePopup::ChoicePopup(const QStringList& answers, int enterAnswer, int escapeAnswer,
                         QWidget* parent)
    : QDialog(parent), m_message(new QLabel(this)), m_escapeAnswer(escapeAnswer) {
    loadCatalog();
    setWindowTitle(T("company"));
    m_message->setObjectName("messageText");
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);
    m_message->setMinimumSize(262, 68);
    m_fonts.apply(m_message, FontSet::Normal);
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (int i = 0; i < answers.size(); ++i) {
        auto* button = new QPushButton(answers[i], this);
        button->setObjectName(QStringLiteral("answer%1").arg(i));
        m_fonts.apply(button, FontSet::Normal);
        connect(button, &QPushButton::clicked, this, [this, i] { done(i); });
        row->addWidget(button);
        if (i == enterAnswer) {
            // A focused push button of a dialog becomes its default.
            button->setDefault(true);
            button->setFocus();
        }
    }
    row->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_message, 1);
    layout->addLayout(row);
}

void ChoicePopup::setMessage(const QString& text) {
    m_message->setText(text);
}

int ChoicePopup::ask() {
    return exec();
}

void ChoicePopup::reject() {
    done(m_escapeAnswer);
}

}  // namespace velmora::shell

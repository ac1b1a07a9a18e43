#include "pages/specificprog/parastructdlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <system_error>

#include "link/pollmode.h"
#include "model/drivedata.h"
#include "pages/specificprog/parastructscroll.h"
#include "platform/templatepath.h"
#include "shell/fileidentity.h"
#include "shell/fontset.h"
#include "shell/noticeboard.h"
#include "shell/prompter.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

using platform::FindTemplateFile;

namespace {

// The order in which the view asks for the groups when it opens.
constexpr int kGroupsToRead[] = {0x50, 0x59, 0x5A, 0x51, 0x52, 0x53, 0x54, 0x55, 0x57, 0x56, 0x58};

std::string Text(std::string_view key) {
    return shell::T(key).toStdString();
}

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

}  // namespace

CParaStructDlg::CParaStructDlg(model::DriveData& data, QWidget* parent)
    : QWidget(parent), m_data(data) {
    setObjectName("paraStructDialog");
    setFocusPolicy(Qt::StrongFocus);
    shell::FontSet fonts;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_save = new QPushButton(this);
    m_save->setObjectName("paraStructSaveButton");
    fonts.apply(m_save, shell::FontSet::Normal);
    layout->addWidget(m_save, 0, Qt::AlignLeft);

    m_scroll = new ParaStructScroll(this);
    auto* content = new QWidget;
    content->setObjectName("paraStructRows");
    auto* grid = new QGridLayout(content);
    const auto rows = model::ParaStructRows();
    m_rows.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const QString number = QString::number(rows[i].parameter);
        RowLabels labels{new QLabel(content), new QLabel(content), new QLabel(content)};
        labels.name->setObjectName(QStringLiteral("paraName") + number);
        labels.value->setObjectName(QStringLiteral("paraValue") + number);
        labels.unit->setObjectName(QStringLiteral("paraUnit") + number);
        labels.value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        for (QLabel* label : {labels.name, labels.value, labels.unit})
            fonts.apply(label, shell::FontSet::Normal);
        const int row = static_cast<int>(i);
        grid->addWidget(labels.name, row, 0);
        grid->addWidget(labels.value, row, 1);
        grid->addWidget(labels.unit, row, 2);
        m_rows.push_back(labels);
    }
    grid->setColumnStretch(0, 1);
    m_scroll->setWidget(content);
    m_scroll->setWidgetResizable(true);
    layout->addWidget(m_scroll, 1);

    connect(m_save, &QPushButton::clicked, this, &CParaStructDlg::save);
    applyTexts();
}

void CParaStructDlg::applyTexts() {
    m_save->setText(shell::T("savebutton"));
    const auto rows = model::ParaStructRows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        m_rows[i].name->setText(Q(Text(model::ParaStructNameKey(rows[i].parameter))));
        m_rows[i].unit->setText(rows[i].unitKey.empty() ? QString() : shell::T(rows[i].unitKey));
    }
}

void CParaStructDlg::refresh() {
    m_texts.refresh(m_data, Text);
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        m_rows[i].value->setText(Q(m_texts.valueText(i)));
}

// Only an explicit show or hide counts: the page's own tab changes show and
// hide the view with it, and the page's poll mode covers those.
void CParaStructDlg::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_open) return;
    m_open = true;
    m_data.gate().setPollMode(link::PollMode::ParaStruct);
    for (int code : kGroupsToRead) m_data.RequestGroup(1, code);
    setFocus();
}

void CParaStructDlg::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!m_open || !isHidden()) return;
    m_open = false;
    m_data.gate().setPollMode(link::PollMode::SpecificProgMenu);
}

std::filesystem::path CParaStructDlg::templatePath() const {
    const std::string_view name = model::kParaStructTemplate;
    return m_programFolder.empty() ? FindTemplateFile(name)
                                   : FindTemplateFile(name, m_programFolder);
}

void CParaStructDlg::save() {
    const std::filesystem::path templateFile = templatePath();
    if (templateFile.empty()) return;  // without the template nothing is offered
    shell::FileChoice choice;
    choice.title = shell::T("saveas");
    choice.filter = QStringLiteral("txt files (*.txt)");
    choice.defaultSuffix = QStringLiteral("txt");
    std::error_code ignored;
    const std::filesystem::path workDir = std::filesystem::current_path(ignored);
    const QString target = shell::prompter().chooseSaveFile(this, choice);
    // The dialog may move the working directory; config.ini and the language
    // files are found through it.
    if (!workDir.empty()) std::filesystem::current_path(workDir, ignored);
    if (target.isEmpty()) return;
    std::string reason;
    const auto about = shell::IdentityFields(shell::IdentityOf(m_data));
    const bool written = model::ExportParaStructure(templateFile, target.toStdString(), m_data,
                                                    m_texts, Text, &reason, about);
    refresh();
    // Unlike a silent failure, the user learns that the file was not written.
    if (!written)
        shell::prompter().fileError(this, target, QString::fromStdString(reason));
    else
        shell::showFileSaved(this, target);
}

}  // namespace velmora::pages

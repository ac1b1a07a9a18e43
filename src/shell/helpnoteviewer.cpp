#include "shell/helpnoteviewer.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <array>

#include "shell/languagepaths.h"
#include "shell/textcatalog.h"

namespace velmora::shell {

namespace {

struct KindFile {
    const char* fileName;
    const char* titleKey;
    bool note;  // a note file: the window says "Notes", not "Help"
};

constexpr std::array<KindFile, 10> kKinds = {{
    {"ControlPage.help", "controlpage", false},
    {"ControlPage.note", "errors", true},
    {"ReportPage.help", "operatingvalues", false},
    {"ReportPage.note", "errors", true},
    {"RemotePage.help", "remotecontrol", false},
    {"MotorPage.help", "motorparameters", false},
    {"VHzTable.help", "vhztable", false},
    {"CtrlPara.help", "ctrlpara", false},
    {"SpecificProg.help", "specificprog", false},
    {"ActSensTest.help", "actsenstest", false},
}};

bool knownKind(int kind) {
    return kind >= 0 && kind < static_cast<int>(kKinds.size());
}

}  // namespace

HelpNoteViewer::HelpNoteViewer(QWidget* parent)
    : QDialog(parent),
      m_heading(new QLabel(this)),
      m_description1(new QLabel(this)),
      m_description2(new QLabel(this)),
      m_title(new QLabel(this)),
      m_text(new QPlainTextEdit(this)) {
    loadCatalog();
    setObjectName("helpNoteViewer");
    auto* heading = m_heading;
    heading->setObjectName("helpHeading");
    auto* description1 = m_description1;
    description1->setObjectName("helpDescription1");
    description1->setWordWrap(true);
    auto* description2 = m_description2;
    description2->setObjectName("helpDescription2");
    description2->setWordWrap(true);
    showKindTexts(false);
    m_title->setObjectName("pageTitle");
    m_text->setObjectName("helpText");
    m_text->setReadOnly(true);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(description1);
    layout->addWidget(description2);
    layout->addWidget(m_title);
    layout->addWidget(m_text, 1);
    m_fonts.apply(heading, FontSet::Heading);
    m_fonts.apply(m_title, FontSet::Heading);
    for (QWidget* control : {static_cast<QWidget*>(description1),
                             static_cast<QWidget*>(description2), static_cast<QWidget*>(m_text)}) {
        m_fonts.apply(control, FontSet::Normal);
    }
    resize(565, 385);
}

int HelpNoteViewer::open(int kind) {
    if (!knownKind(kind)) return 1;
    show();
    raise();
    const KindFile& entry = kKinds[static_cast<std::size_t>(kind)];
    showKindTexts(entry.note);
    m_title->setText(T(entry.titleKey));
    // The language of the help files is the one in "config.ini".
    const auto path = languageFolderPath(readLanguageNumber()) / entry.fileName;
    QFile file(QString::fromStdString(path.string()));
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        if (file.error() == QFileDevice::NoError) {
            QString text = decodeUtf16Le(bytes);
            text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            m_text->setPlainText(text);
        }
    }
    return 0;
}

void HelpNoteViewer::showKindTexts(bool note) {
    m_heading->setText(T(note ? "notes" : "help"));
    m_description1->setText(T(note ? "notedescription1" : "helpdescription1"));
    m_description2->setText(T(note ? "notedescription2" : "helpdescription2"));
    setWindowTitle(m_heading->text());
}

QString HelpNoteViewer::fileName(int kind) {
    return knownKind(kind) ? QString::fromLatin1(kKinds[static_cast<std::size_t>(kind)].fileName)
                           : QString();
}

QString HelpNoteViewer::decodeUtf16Le(const QByteArray& bytes) {
    const qsizetype units = bytes.size() / 2;
    QString text(units, Qt::Uninitialized);
    for (qsizetype i = 0; i < units; ++i) {
        const auto low = static_cast<unsigned char>(bytes[2 * i]);
        const auto high = static_cast<unsigned char>(bytes[2 * i + 1]);
        text[i] = QChar(static_cast<char16_t>(low | (high << 8)));
    }
    return text;
}

}  // namespace velmora::shell

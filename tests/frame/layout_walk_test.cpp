// Every page and panel of the window in each shipped language: no visible
// text is cut off by its control, no two visible controls cover each other
// (German words are longer; a panel placed by hand can hide a button), and
// a wheel passing over the view changes nothing.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTabWidget>
#include <QTest>
#include <QTextDocument>
#include <fstream>

#include "shell/textcatalog.h"
#include "tests/support/drivestatus.h"
#include "tests/support/frametest.h"
#include "tests/support/wheel.h"

namespace velmora::frame::test {

using namespace velmora::shell;
namespace {

namespace fs = std::filesystem;

QString describe(const QWidget* w) {
    QString name = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                             : w->objectName();
    if (const QWidget* parent = w->parentWidget(); parent && !parent->objectName().isEmpty())
        name = parent->objectName() + "/" + name;
    return name;
}

QString rectText(const QRect& r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// Width the widget's own text needs beyond what it has; 0 when it fits.
int textShortfall(const QWidget* w) {
    const QFontMetrics fm = w->fontMetrics();
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
        const QString text = label->text();
        if (text.isEmpty() || Qt::mightBeRichText(text)) return 0;
        const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(),
                                                          -label->margin(), -label->margin());
        if (label->wordWrap()) {
            const QRect need = fm.boundingRect(QRect(0, 0, room.width(), 100000),
                                               Qt::TextWordWrap | label->alignment(), text);
            return std::max(need.height() - room.height(), need.width() - room.width());
        }
        int need = 0;
        const QStringList lines = text.split('\n');
        for (const QString& line : lines) need = std::max(need, fm.horizontalAdvance(line));
        return std::max(need - room.width(), fm.height() * int(lines.size()) - room.height());
    }
    if (const auto* box = qobject_cast<const QComboBox*>(w)) {
        if (box->currentText().isEmpty()) return 0;
        QStyleOptionComboBox option;
        option.initFrom(box);
        option.editable = box->isEditable();
        const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                         QStyle::SC_ComboBoxEditField, box);
        return fm.horizontalAdvance(box->currentText()) - field.width();
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(w)) {
        if (edit->text().isEmpty() || edit->echoMode() != QLineEdit::Normal) return 0;
        const QMargins margins = edit->textMargins();
        // QLineEdit keeps 2 pixels free on either side inside its frame.
        const int room = edit->contentsRect().width() - margins.left() - margins.right() - 4;
        return fm.horizontalAdvance(edit->text()) - room;
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
        if (group->title().isEmpty()) return 0;
        return fm.horizontalAdvance(group->title()) + 16 - group->width();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
        QString text = button->text();
        text.remove('&');
        if (text.isEmpty()) return 0;
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = text;
        QStyle::SubElement contents = QStyle::SE_PushButtonContents;
        if (qobject_cast<const QCheckBox*>(button)) contents = QStyle::SE_CheckBoxContents;
        if (qobject_cast<const QRadioButton*>(button)) contents = QStyle::SE_RadioButtonContents;
        const QRect room = button->style()->subElementRect(contents, &option, button);
        return fm.horizontalAdvance(text) - room.width();
    }
    return 0;
}

void collectProblems(const QWidget* root, QStringList& problems) {
    std::vector<const QWidget*> shown;
    for (const QObject* child : root->children()) {
        const auto* w = qobject_cast<const QWidget*>(child);
        if (!w || w->isWindow() || !w->isVisible()) continue;
        // A drawing layer over its panel takes no input and hides nothing.
        if (w->testAttribute(Qt::WA_TransparentForMouseEvents)) continue;
        shown.push_back(w);
        if (const int missing = textShortfall(w); missing > 0)
            problems << QStringLiteral("%1 cuts its text by %2 px").arg(describe(w)).arg(missing);
        collectProblems(w, problems);
    }
    // A plain box drawn around controls (a frame without children of its
    // own) holds them by design.
    const auto decorates = [](const QWidget* frame, const QWidget* inside) {
        return frame->metaObject() == &QFrame::staticMetaObject &&
               frame->findChildren<QWidget*>().isEmpty() &&
               frame->geometry().contains(inside->geometry());
    };
    for (std::size_t i = 0; i < shown.size(); ++i)
        for (std::size_t j = i + 1; j < shown.size(); ++j)
            if (shown[i]->geometry().intersects(shown[j]->geometry()) &&
                !decorates(shown[i], shown[j]) && !decorates(shown[j], shown[i]))
                problems << QStringLiteral("%1 and %2 overlap (%3 / %4)")
                                .arg(describe(shown[i]), describe(shown[j]),
                                     rectText(shown[i]->geometry()),
                                     rectText(shown[j]->geometry()));
}

class LayoutWalkTest : public ::testing::TestWithParam<unsigned>, public FrameDrive {
  protected:
    void SetUp() override {
        fs::remove_all(m_folder / "data_language");
        fs::copy(fs::path(VELMORA_SOURCE_DIR) / "data" / "data_language",
                 m_folder / "data_language", fs::copy_options::recursive);
        std::ofstream(m_folder / "config.ini") << "[languagetype]\nlanguage=" << GetParam() << "\n";
        TextCatalog::instance().resetForTest();
        FrameOptions options;
        options.startLink = false;
        m_frame = std::make_unique<CMainFrame>(m_drive.link, m_drive.data, options);
        m_frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_frame.get()));
        Deliver(*m_frame, link::WM_DRIVE_LINK_STATE, 1);
        testkit::DriveStands(m_drive.data);
        CompleteFirstRead(*m_frame);
    }
    void TearDown() override {
        m_frame.reset();
        TextCatalog::instance().resetForTest();
    }

    // Looks at the window as it is now; `where` names the view. Then a wheel
    // passes over every value control of the view, none with the focus: no
    // value may change and nothing may be sent.
    void check(const QString& where) {
        QCoreApplication::processEvents();
        QStringList problems;
        collectProblems(m_frame.get(), problems);
        (void)TakeRequests();
        for (QWidget* control : m_frame->findChildren<QWidget*>()) {
            if (!control->isVisible() || !control->isEnabled() || control->hasFocus()) continue;
            const QString before = valueOf(control);
            if (before.isNull()) continue;
            testkit::TurnWheel(control, 1);
            testkit::TurnWheel(control, -1);
            if (valueOf(control) != before) problems << describe(control) + " changed by the wheel";
        }
        if (!TakeRequests().empty()) problems << "the wheel sent requests";
        for (const QString& problem : problems) m_problems << where + ": " + problem;
    }
    static QString valueOf(const QWidget* w) {
        if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(w)) return spin->text();
        if (const auto* box = qobject_cast<const QComboBox*>(w))
            return QString::number(box->currentIndex());
        if (const auto* slider = qobject_cast<const QAbstractSlider*>(w);
            slider && !qobject_cast<const QScrollBar*>(w))
            return QString::number(slider->value());
        return {};
    }
    template <typename T>
    T* page() {
        T* found = m_frame->findChild<T*>();
        EXPECT_NE(found, nullptr);
        m_frame->sheet()->setCurrentWidget(found);
        return found;
    }

    FrameFolder m_folder;
    testkit::ScriptedPrompter m_prompter;
    std::unique_ptr<CMainFrame> m_frame;
    QStringList m_problems;
};

TEST_P(LayoutWalkTest, EveryTextFitsAndNothingCoversAnything) {
    page<pages::CControlPage>();
    check("control");
    page<pages::CReportPage>();
    check("report");
    page<pages::CRemotePage>();
    check("remote");

    auto* motor = page<pages::CMotorPage>();
    auto* types = motor->findChild<QComboBox*>("motorTypeList");
    for (int type = 0; type < types->count(); ++type) {
        types->setCurrentIndex(type);
        emit types->activated(type);
        const QString where = QStringLiteral("motor type %1").arg(type);
        check(where);
        for (const char* sub : {"vhzTableButton", "ctrlParaButton"}) {
            auto* button = motor->findChild<QPushButton*>(sub);
            if (!button->isVisible()) continue;
            button->click();
            check(where + " " + sub);
            motor->findChild<QPushButton*>("backButton")->click();
        }
    }

    page<pages::CRunInPage>();
    check("run-in");

    auto* special = page<pages::CSpecificProgPage>();
    check("specific programming");
    special->showActuatorTest();
    check("actuator test");
    special->backToMenu();
    special->showParaStruct();
    check("parameter structure");
    special->backToMenu();
    special->showFirmwareUpdate();
    check("firmware update");
    special->backToMenu();

    Deliver(*m_frame, TechPageVisibility{true});
    auto* tech = page<pages::CTechServicePage>();
    check("technician");
    for (int panel = 0; panel < pages::CTechServicePage::kPanelCount; ++panel) {
        tech->showPanel(panel);
        check(QStringLiteral("technician panel %1").arg(panel));
        tech->backToMenu();
    }
    EXPECT_TRUE(m_problems.isEmpty()) << m_problems.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(ShippedLanguages, LayoutWalkTest, ::testing::Values(1u, 2u),
                         [](const auto& info) {
                             return info.param == 1 ? std::string("English")
                                                    : std::string("German");
                         });

}  // namespace
}  // namespace velmora::frame::test

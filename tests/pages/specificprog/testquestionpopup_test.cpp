#include "pages/specificprog/testquestionpopup.h"

#include <QLabel>

#include "tests/support/framerecorder.h"
#include "tests/support/widgettest.h"

namespace velmora::pages {
namespace {

class TestQuestionTest : public testkit::WidgetTest {
  protected:
    TestQuestionTest() {
        write("data_language/language_01.ini",
              "[navi]\nokbutton=OK\ncancelbutton=Cancel\n[spec]\nasktest=Open the test?\n");
    }
};

// Catches the test question opening the test on Cancel or not telling the
// owner on OK.
TEST_F(TestQuestionTest, TellsItsOwnerOnlyOnOk) {
    testkit::FrameRecorder owner;
    TestQuestionPopup popup{shell::FrameChannel{&owner}};
    EXPECT_EQ(popup.findChild<QLabel*>("questionText")->text(), "Open the test?");
    pressLater("cancelButton");
    EXPECT_EQ(popup.exec(), QDialog::Rejected);
    EXPECT_TRUE(owner.messages().empty());
    pressLater("okButton");
    EXPECT_EQ(popup.exec(), QDialog::Accepted);
    ASSERT_EQ(owner.messages().size(), 1u);
    EXPECT_EQ(owner.messages()[0], shell::FrameMessage{shell::ShowSpecificProg{}});
}

}  // namespace
}  // namespace velmora::pages

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "shell/choicepopup.h"
#include "shell/confirmpopup.h"
#include "shell/faultpopup.h"
#include "shell/infopopup.h"
#include "tests/support/widgettest.h"

namespace velmora::shell {
namespace {

class PopupTest : public testkit::WidgetTest {
  protected:
    PopupTest() {
        write("data_language/language_01.ini",
              "[errors]\nerrornumber=Error\nwarningnumber=Warning\n"
              "error03=Overcurrent\nerror18=Motor hot\nerror63=Last one\n"
              "[navi]\nokbutton=OK\ncancelbutton=Cancel\n"
              "[spec]\nasktest=Open the test?\n"
              "[notices]\nfaultclass2=Stop\nfaultclass3=Severe\nfaultclassother=Class %1\n"
              "faultundescribed=Not described\n");
    }
};

// Catches the headline taken from the wrong key or without its number, and
// an unknown number (also past the 64 status flags) shown with the texts of
// the fault before it.
TEST_F(PopupTest, FaultPopupTexts) {
    FaultPopup popup;
    EXPECT_EQ(popup.headline(), "");
    popup.setFault(18);
    EXPECT_EQ(popup.headline(), "Warning 18");
    EXPECT_EQ(popup.faultText(), "Motor hot");
    popup.setFault(3);
    EXPECT_EQ(popup.findChild<QLabel*>("faultHeadline")->text(), "Error 3");
    EXPECT_EQ(popup.findChild<QLabel*>("faultText")->text(), "Overcurrent");
    for (unsigned unknown : {7u, 0u, 64u, 200u, 70000u}) {
        popup.setFault(3);
        popup.setFault(unknown, 2);
        EXPECT_EQ(popup.headline(), "Stop " + QString::number(unknown)) << unknown;
        EXPECT_EQ(popup.faultText(), "Not described") << unknown;
    }
    popup.setFault(7, 3);
    EXPECT_EQ(popup.headline(), "Severe 7");
    popup.setFault(7, 9);
    EXPECT_EQ(popup.headline(), "Class 9 7");
    popup.setFault(1);  // in the table, but its text is missing from the file
    EXPECT_EQ(popup.headline(), "Warning 1");
    EXPECT_EQ(popup.faultText(), "FILE_ERROR");
    EXPECT_EQ(popup.findChild<QPushButton*>("okButton")->text(), "OK");
    popup.show();
    popup.findChild<QPushButton*>("okButton")->click();
    EXPECT_FALSE(popup.isVisible());
}

// Catches OK and Cancel mapped to the wrong results, and Escape taken as OK.
TEST_F(PopupTest, ConfirmAndInformAnswer) {
    ConfirmPopup confirm;
    confirm.setMessage("Overwrite?");
    EXPECT_EQ(confirm.findChild<QLabel*>("messageText")->text(), "Overwrite?");
    pressLater("okButton");
    EXPECT_EQ(confirm.ask(), ConfirmPopup::kOk);
    pressLater("cancelButton");
    EXPECT_EQ(confirm.ask(), ConfirmPopup::kCancel);
    QTimer::singleShot(0,
                       [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape); });
    EXPECT_EQ(confirm.ask(), ConfirmPopup::kCancel);
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(confirm.ask(), ConfirmPopup::kCancel);

    InfoPopup info;
    info.setMessage("Saved.");
    EXPECT_EQ(info.findChild<QLabel*>("messageText")->text(), "Saved.");
    pressLater("okButton");
    EXPECT_EQ(info.exec(), QDialog::Accepted);
}

// Enter gives Cancel on a question that discards, and the named answer of a
// choice; Escape the choice's escape answer.
TEST_F(PopupTest, EnterGivesTheChosenDefault) {
    const auto keyLater = [](Qt::Key key) {
        QTimer::singleShot(0, [key] { QTest::keyClick(QApplication::activeModalWidget(), key); });
    };
    ConfirmPopup confirm;
    confirm.makeCancelDefault();
    keyLater(Qt::Key_Return);
    EXPECT_EQ(confirm.ask(), ConfirmPopup::kCancel);
    ChoicePopup choice({"Stop", "Leave", "Cancel"}, 1, 2);
    keyLater(Qt::Key_Return);
    EXPECT_EQ(choice.ask(), 1);
    keyLater(Qt::Key_Escape);
    EXPECT_EQ(choice.ask(), 2);
}

}  // namespace
}  // namespace velmora::shell

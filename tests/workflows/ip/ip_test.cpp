// The IP address procedure on a USB printer (on the kernel's USB stack): the
// method chosen from the printer's mode, the address and host name written
// and read back, the printer's refusals, and Back reading the printer again.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QRadioButton>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include "tests/workflows/message_texts.h"
#include "tests/workflows/usb_workflow_fixture.h"
#include "ui/ip_address_edit.h"
#include "workflows/ip/ip1_page.h"
#include "workflows/ip/ip2_page.h"
#include "workflows/ip/ip3_page.h"
#include "workflows/ip/ip4_page.h"

namespace {

using testing_support::MessageText;
using testing_support::ShownTexts;

constexpr int kMain = 102;
constexpr std::uint32_t Ip(unsigned a, unsigned b, unsigned c, unsigned d) {
    return (a << 24) | (b << 16) | (c << 8) | d;
}

class IpProcedure : public testing_support::UsbWorkflowTest {
protected:
    QWidget* Control(int templateId, int id) const {
        return sheet->GetPage(sheet->GetPageIndexByTemplate(templateId))->Item(id);
    }
    ui::IpAddressEdit* Address(int id) const {
        return qobject_cast<ui::IpAddressEdit*>(Control(kpm::ids::IDD_IP1, id));
    }
    QLineEdit* HostName() const {
        return qobject_cast<QLineEdit*>(Control(kpm::ids::IDD_IP4, kpm::ids::IDC_IP4_HOST_NAME));
    }
    void Choose(int radio) { Click(Control(kpm::ids::IDD_IP3, radio)); }
    bool IsChecked(int radio) const {
        return qobject_cast<QRadioButton*>(Control(kpm::ids::IDD_IP3, radio))->isChecked();
    }
    // Types "a.b.c.d" into the four fields of an address entry.
    void TypeAddress(int id, const QString& address) {
        const QStringList parts = address.split(u'.');
        for (int i = 0; i < 4; ++i) {
            QLineEdit* field = Address(id)->Field(i);
            QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(field, parts[i]);
        }
    }
    // Opens 307 on the printer's current mode, as the main page does.
    void OpenMethodPage() {
        ASSERT_EQ(sheet->ReadIpMode(), 0);
        Open(kpm::ids::IDD_IP3);
    }
    // From 307 on to 135 with a static address.
    void OpenAddressPage() {
        OpenMethodPage();
        Choose(kpm::ids::IDC_IP3_MANUAL);
        Next();
        ASSERT_EQ(Active(), kpm::ids::IDD_IP1) << ShownTexts(messages).join('|').toStdString();
    }
};

TEST_F(IpProcedure, StaticAddressFromTheMainPageAndBackFromTheLastPageReadsAgain) {
    StartSheet();
    ChooseTask(1005);

    // The printer takes its address automatically when new.
    ASSERT_EQ(Active(), kpm::ids::IDD_IP3) << ShownTexts(messages).join('|').toStdString();
    EXPECT_TRUE(IsChecked(kpm::ids::IDC_IP3_AUTOMATIC));
    EXPECT_FALSE(IsChecked(kpm::ids::IDC_IP3_MANUAL));
    EXPECT_TRUE(NextEnabled() && BackEnabled());

    Choose(kpm::ids::IDC_IP3_MANUAL);
    Next();
    ASSERT_EQ(Active(), kpm::ids::IDD_IP1);
    EXPECT_EQ(sim.state().ipMode, 0);  // written on leaving the method page
    EXPECT_EQ(Address(kpm::ids::IDC_IP1_ADDRESS)->Address(), Ip(192, 168, 0, 50));
    EXPECT_EQ(Address(kpm::ids::IDC_IP1_MASK)->Address(), Ip(255, 255, 255, 0));
    EXPECT_EQ(Address(kpm::ids::IDC_IP1_GATEWAY)->Address(), Ip(192, 168, 0, 1));

    TypeAddress(kpm::ids::IDC_IP1_ADDRESS, QStringLiteral("10.20.30.40"));
    TypeAddress(kpm::ids::IDC_IP1_MASK, QStringLiteral("255.255.0.0"));
    TypeAddress(kpm::ids::IDC_IP1_GATEWAY, QStringLiteral("10.20.0.1"));
    Next();
    ASSERT_EQ(Active(), kpm::ids::IDD_IP2) << ShownTexts(messages).join('|').toStdString();
    EXPECT_EQ(sim.state().ipAddress, Ip(10, 20, 30, 40));
    EXPECT_EQ(sim.state().subnetMask, Ip(255, 255, 0, 0));
    EXPECT_EQ(sim.state().gateway, Ip(10, 20, 0, 1));
    EXPECT_EQ(sheet->GetReturnPage(), kpm::ids::IDD_IP1);

    // Back shows what the printer holds now, not what was typed.
    sim.UpdateState([](kpm::sim::PrinterState& s) { s.gateway = Ip(10, 20, 0, 254); });
    Back();
    ASSERT_EQ(Active(), kpm::ids::IDD_IP1);
    EXPECT_EQ(Address(kpm::ids::IDC_IP1_ADDRESS)->Address(), Ip(10, 20, 30, 40));
    EXPECT_EQ(Address(kpm::ids::IDC_IP1_GATEWAY)->Address(), Ip(10, 20, 0, 254));

    Next();
    ASSERT_EQ(Active(), kpm::ids::IDD_IP2);
    Next();
    EXPECT_EQ(Active(), kMain);
    EXPECT_TRUE(messages.boxes.empty()) << ShownTexts(messages).join('|').toStdString();
}

TEST_F(IpProcedure, RefusedAddressesShowTheirOwnBoxesWithoutACode) {
    StartSheet();
    OpenAddressPage();
    struct Case {
        const char* address;
        const char* mask;
        const char* gateway;
        int text;  // 0: another code, through the error mapping
    };
    const Case cases[] = {
        {"192.168.0.50", "255.0.255.0", "192.168.0.1", 225},   // mask not contiguous
        {"192.168.0.0", "255.255.255.0", "192.168.0.1", 225},  // the network's own address
        {"192.168.0.50", "255.255.255.0", "10.0.0.1", 226},    // gateway outside the subnet
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        messages.boxes.clear();
        TypeAddress(kpm::ids::IDC_IP1_ADDRESS, QString::fromLatin1(c.address));
        TypeAddress(kpm::ids::IDC_IP1_MASK, QString::fromLatin1(c.mask));
        TypeAddress(kpm::ids::IDC_IP1_GATEWAY, QString::fromLatin1(c.gateway));
        Next();
        EXPECT_EQ(Active(), kpm::ids::IDD_IP1);
        EXPECT_EQ(ShownTexts(messages), QStringList{MessageText(c.text)});
        ASSERT_EQ(messages.boxes.size(), 1u);
        EXPECT_EQ(messages.boxes[0].caption, QString::fromLatin1(kInformationCaption));
        EXPECT_EQ(messages.boxes[0].icon, ui::MessageIcon::None);
    }
    EXPECT_EQ(sim.state().ipAddress, Ip(192, 168, 0, 50));

    // Any other refusal goes through the error mapping, with its code.
    messages.boxes.clear();
    sim.AddFault("status:7@65x1");
    TypeAddress(kpm::ids::IDC_IP1_ADDRESS, QStringLiteral("192.168.0.60"));
    TypeAddress(kpm::ids::IDC_IP1_GATEWAY, QStringLiteral("192.168.0.1"));
    Next();
    EXPECT_EQ(Active(), kpm::ids::IDD_IP1);
    EXPECT_EQ(ShownTexts(messages), QStringList{MessageText(389, 7)});
    // The same values go through once the printer takes them.
    Next();
    EXPECT_EQ(Active(), kpm::ids::IDD_IP2);
    EXPECT_EQ(sim.state().ipAddress, Ip(192, 168, 0, 60));
}

TEST_F(IpProcedure, HostNameTakesOnlyHostNameCharactersAndBackReadsItAgain) {
    StartSheet();
    OpenMethodPage();
    Next();  // the automatic mode the printer reported
    ASSERT_EQ(Active(), kpm::ids::IDD_IP4) << ShownTexts(messages).join('|').toStdString();
    EXPECT_EQ(HostName()->text(), QStringLiteral("KPM735-0142"));

    HostName()->clear();
    QTest::keyClicks(HostName(), QStringLiteral("my_p 1"));
    EXPECT_EQ(HostName()->text(), QStringLiteral("myp1"));
    QTest::keyClicks(HostName(), QStringLiteral("-a.B!"));
    QTest::sendKeyEvent(QTest::Click, HostName(), Qt::Key_Eacute, QStringLiteral("\u00e9"), {});
    EXPECT_EQ(HostName()->text(), QStringLiteral("myp1-a.B"));
    QApplication::clipboard()->setText(QStringLiteral("zz"));
    QTest::keyClick(HostName(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(HostName()->text(), QStringLiteral("myp1-a.B"));  // Ctrl+V is a typed character
    QTest::keyClick(HostName(), Qt::Key_Backspace);
    EXPECT_EQ(HostName()->text(), QStringLiteral("myp1-a."));
    QTest::keyClicks(HostName(), QStringLiteral("c"));

    Next();
    ASSERT_EQ(Active(), kpm::ids::IDD_IP2) << ShownTexts(messages).join('|').toStdString();
    EXPECT_EQ(sim.state().hostName, "myp1-a.c");
    EXPECT_EQ(sim.state().ipMode, 1);

    sim.UpdateState([](kpm::sim::PrinterState& s) { s.hostName = "renamed"; });
    Back();
    ASSERT_EQ(Active(), kpm::ids::IDD_IP4);
    EXPECT_EQ(HostName()->text(), QStringLiteral("renamed"));

    // A name the printer refuses is shown with its code; the page stays.
    HostName()->setText(QStringLiteral(".dot"));
    Next();
    EXPECT_EQ(Active(), kpm::ids::IDD_IP4);
    EXPECT_EQ(ShownTexts(messages), QStringList{MessageText(389, 7)});

    // Back from the host name reads the mode again.
    sim.UpdateState([](kpm::sim::PrinterState& s) { s.ipMode = 0; });
    Back();
    ASSERT_EQ(Active(), kpm::ids::IDD_IP3);
    EXPECT_TRUE(IsChecked(kpm::ids::IDC_IP3_MANUAL));
    EXPECT_EQ(sheet->GetReturnPage(), kpm::ids::IDD_IP4);
    Back();
    EXPECT_EQ(Active(), kMain);
}

TEST_F(IpProcedure, TheReadAfterTheModeDecidesAndFailuresKeepThePage) {
    StartSheet();
    OpenMethodPage();
    Choose(kpm::ids::IDC_IP3_MANUAL);
    // A refused mode is not reported by itself: the read that follows decides.
    sim.AddFault("status:7@76x1");
    Next();
    EXPECT_EQ(Active(), kpm::ids::IDD_IP1);
    EXPECT_TRUE(messages.boxes.empty()) << ShownTexts(messages).join('|').toStdString();

    sim.AddFault("status:6@77x1");
    Back();
    EXPECT_EQ(Active(), kpm::ids::IDD_IP1);
    EXPECT_EQ(ShownTexts(messages), QStringList{MessageText(388, 6)});
    Back();
    ASSERT_EQ(Active(), kpm::ids::IDD_IP3);

    messages.boxes.clear();
    Choose(kpm::ids::IDC_IP3_AUTOMATIC);
    sim.AddFault("status:1@75x1");
    Next();
    EXPECT_EQ(Active(), kpm::ids::IDD_IP3);
    EXPECT_EQ(ShownTexts(messages), QStringList{MessageText(164, 1)});
    EXPECT_EQ(sim.state().ipMode, 1);
}

TEST_F(IpProcedure, DemoModeWalksThroughWithoutAPrinter) {
    StartSheet(true);
    Open(kpm::ids::IDD_IP3);
    EXPECT_TRUE(IsChecked(kpm::ids::IDC_IP3_MANUAL));  // the initial state: a static address
    Next();
    ASSERT_EQ(Active(), kpm::ids::IDD_IP1);
    EXPECT_EQ(Address(kpm::ids::IDC_IP1_GATEWAY)->Address(), Ip(192, 168, 0, 254));
    Next();
    ASSERT_EQ(Active(), kpm::ids::IDD_IP2);
    Back();
    ASSERT_EQ(Active(), kpm::ids::IDD_IP1);
    Back();
    ASSERT_EQ(Active(), kpm::ids::IDD_IP3);
    Choose(kpm::ids::IDC_IP3_AUTOMATIC);
    Next();
    ASSERT_EQ(Active(), kpm::ids::IDD_IP4);
    EXPECT_EQ(HostName()->text(), QStringLiteral("ZEDora"));
    Next();
    ASSERT_EQ(Active(), kpm::ids::IDD_IP2);
    Next();
    EXPECT_EQ(Active(), kMain);
    EXPECT_TRUE(messages.boxes.empty());
    EXPECT_TRUE(sim.requests().empty());
}

TEST_F(IpProcedure, TabVisitsEveryAddressFieldOnceInOrder) {
    StartSheet(true);
    Open(kpm::ids::IDD_IP3);
    Next();
    ASSERT_EQ(Active(), kpm::ids::IDD_IP1);
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
    Address(kpm::ids::IDC_IP1_ADDRESS)->Field(0)->setFocus(Qt::TabFocusReason);
    for (int entry :
         {kpm::ids::IDC_IP1_ADDRESS, kpm::ids::IDC_IP1_MASK, kpm::ids::IDC_IP1_GATEWAY}) {
        for (int i = 0; i < 4; ++i) {
            ASSERT_EQ(QApplication::focusWidget(), Address(entry)->Field(i)) << entry << " " << i;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
    }
}

}  // namespace

// Initial settings after a head replacement, against the simulated printer:
// what step 2 accepts as a serial and writes, which V-rating it shows and
// writes, and how the done flags lead through both heads to the main page.
#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

#include "app/texts.h"
#include "tests/workflows/workflow_fixture.h"
#include "workflows/head/vrating2_page.h"

namespace {

using testing_support::WorkflowTest;

constexpr int kHeadPage = 228;
constexpr int kSerialPage = 229;
constexpr int kSerialField = 1259;
constexpr int kVRatingList = 1243;
constexpr std::uint16_t kSetVRating = 72;
constexpr std::uint16_t kSetHeadSerial = 136;

QString Text(int id) {
    QString text;
    LoadText(id, text);
    return text;
}

std::uint32_t U32(const std::vector<unsigned char>& data, std::size_t at) {
    return (std::uint32_t{data[at]} << 24) | (std::uint32_t{data[at + 1]} << 16) |
           (std::uint32_t{data[at + 2]} << 8) | data[at + 3];
}

class HeadTest : public WorkflowTest {
protected:
    // Step 1 with `head` chosen, then Next to step 2.
    void EnterStep2(int head) {
        Open(kHeadPage);
        sheet->GetActivePage()->CheckRadio(1135, 1136, head == 1 ? 1136 : 1135);
        ASSERT_TRUE(QTest::qWaitFor([this] { return NextEnabled(); }, 2000));
        Next();
        ASSERT_EQ(Active(), kSerialPage);
    }
    QLineEdit* SerialField() const { return Page()->ItemAs<QLineEdit>(kSerialField); }
    QComboBox* VRatingList() const { return Page()->ItemAs<QComboBox>(kVRatingList); }
    CVRating2Page* Page() const { return PageOf<CVRating2Page>(kSerialPage); }
    void Type(const QString& text) {
        SerialField()->selectAll();
        QTest::keyClick(SerialField(), Qt::Key_Backspace);
        // Full-width characters come from an input method, not from keys.
        for (const QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(SerialField(), c.toLatin1());
            } else {
                QInputMethodEvent input;
                input.setCommitString(QString(c));
                QCoreApplication::sendEvent(SerialField(), &input);
            }
        }
        EXPECT_TRUE(QTest::qWaitFor([this] { return NextEnabled(); }, 2000));
    }
};

TEST_F(HeadTest, SerialNumbersAreNormalisedAndCheckedPerHead) {
    struct Case {
        const char16_t* typed;
        int head;
        const char* written;  // nullptr: refused with [210]
    };
    const Case cases[] = {
        {u" gxa1234 ", 0, "GXA1234"}, {u"ＧＸＡ１２３４", 0, "GXA1234"}, {u"xab9876", 1, "XAB9876"},
        {u"GXA123", 0, nullptr},      {u"GX11234", 0, nullptr},          {u"XAA1234", 0, nullptr},
        {u"GXA1234", 1, nullptr},     {u"GXA12345", 0, nullptr},         {u"GXÀ1234", 0, nullptr},
    };
    StartSheet();
    for (const Case& c : cases) {
        const QString typed = QString::fromUtf16(c.typed);
        SCOPED_TRACE(typed.toStdString());
        messages.boxes.clear();
        sim.ClearRequests();
        EnterStep2(c.head);
        EXPECT_FALSE(NextEnabled()) << "Next before the serial was edited";
        Type(typed);
        ASSERT_TRUE(QTest::qWaitFor([this] { return NextEnabled(); }, 2000));
        Next();
        if (c.written == nullptr) {
            ASSERT_EQ(messages.boxes.size(), 1u);
            EXPECT_TRUE(messages.boxes[0].text.startsWith(Text(210)));
            EXPECT_EQ(Active(), kSerialPage);
            EXPECT_TRUE(SerialField()->hasFocus());
            EXPECT_EQ(SerialField()->selectedText(), SerialField()->text());
            EXPECT_TRUE(Sent(kSetHeadSerial).empty());
            EXPECT_EQ(sheet->m_bHeadSettingDone[static_cast<std::size_t>(c.head)], 0);
        } else {
            EXPECT_TRUE(messages.boxes.empty()) << messages.boxes[0].text.toStdString();
            const auto serials = Sent(kSetHeadSerial);
            ASSERT_EQ(serials.size(), 1u);
            EXPECT_EQ(U32(serials[0], 0), static_cast<std::uint32_t>(c.head));
            EXPECT_EQ(sim.state().heads[static_cast<std::size_t>(c.head)].serial, c.written);
            EXPECT_EQ(SerialField()->text(), typed) << "the field itself is left as typed";
        }
        sheet->ClearProgress();
    }
}

TEST_F(HeadTest, TheStoredVRatingIsPreselectedAndTheChosenOneWritten) {
    StartSheet();
    sim.UpdateState([](kpm::sim::PrinterState& s) { s.heads[0].vRating = 12; });
    struct Case {
        int index;
        std::uint32_t written;
    };
    for (const Case c : {Case{0, 17}, Case{16, 1}}) {
        sim.ClearRequests();
        EnterStep2(0);
        EXPECT_EQ(VRatingList()->currentText(), "12");
        VRatingList()->setCurrentIndex(c.index);
        Type(QStringLiteral("GXA1234"));
        Next();
        EXPECT_TRUE(messages.boxes.empty());
        const auto written = Sent(kSetVRating);
        ASSERT_EQ(written.size(), 1u);
        EXPECT_EQ(U32(written[0], 0), 0u);
        EXPECT_EQ(U32(written[0], 4), c.written);
        sim.UpdateState([](kpm::sim::PrinterState& s) { s.heads[0].vRating = 12; });
        sheet->ClearProgress();
    }

    // A V-rating outside 1..17 selects nothing, and Next then refuses
    // after the serial has gone to the printer.
    sim.UpdateState([](kpm::sim::PrinterState& s) { s.heads[1].vRating = 0; });
    sim.ClearRequests();
    EnterStep2(1);
    EXPECT_EQ(VRatingList()->currentIndex(), -1);
    Type(QStringLiteral("XAA1234"));
    Next();
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text.toStdString(),
              (Text(ErrorMessageTextId(-57)) + " (-57)").toStdString());
    EXPECT_EQ(Active(), kSerialPage);
    EXPECT_EQ(Sent(kSetHeadSerial).size(), 1u);
    EXPECT_TRUE(Sent(kSetVRating).empty());
    EXPECT_EQ(sheet->m_bHeadSettingDone[1], 0);
}

TEST_F(HeadTest, BothHeadsDoneEndOnTheMainPage) {
    StartSheet();
    Open(kHeadPage);
    auto* step1 = sheet->GetActivePage();
    EXPECT_TRUE(step1->IsItemChecked(1135));
    EXPECT_EQ(step1->ItemText(1153), Text(127));
    EXPECT_EQ(step1->ItemText(1154), Text(127));
    Next();
    Type(QStringLiteral("GXA1234"));
    Next();
    ASSERT_EQ(Active(), kHeadPage);
    EXPECT_TRUE(step1->IsItemChecked(1136)) << "the head still to be done";
    EXPECT_EQ(step1->ItemText(1153), Text(126));
    EXPECT_EQ(step1->ItemText(1154), Text(127));
    Next();
    EXPECT_EQ(Page()->ItemText(1156), Text(246));
    Type(QStringLiteral("XAA1234"));
    Next();
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, Text(257));
    EXPECT_EQ(Active(), kpm::ids::IDD_MAIN);
    EXPECT_EQ(sim.state().heads[1].serial, "XAA1234");
}

TEST_F(HeadTest, AReadFailureKeepsStep1) {
    StartSheet();
    sim.AddFault("status:6@28");
    Open(kHeadPage);
    Next();
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(Active(), kHeadPage);
}

TEST_F(HeadTest, BothProceduresStartFromTheMainPage) {
    StartSheet(true);
    auto* main = sheet->GetPage(0);
    for (const auto& [radio, first] : {std::pair{1141, kHeadPage}, std::pair{1006, 201}}) {
        sheet->SetActivePage(0);
        QTest::qWait(kSettleMs);
        main->ItemAs<QAbstractButton>(radio)->click();
        Next();
        EXPECT_EQ(Active(), first);
        Back();
        EXPECT_EQ(Active(), kpm::ids::IDD_MAIN);
    }
}

TEST_F(HeadTest, DemoModeOffersTheSampleSerial) {
    StartSheet(true);
    EnterStep2(1);
    EXPECT_TRUE(QTest::qWaitFor([this] { return NextEnabled(); }, 2000));
    EXPECT_EQ(SerialField()->text(), "XAA1234");
    EXPECT_EQ(VRatingList()->currentText(), "9") << "no data in demo mode";
    Next();
    EXPECT_EQ(Active(), kHeadPage);
    EXPECT_EQ(sheet->m_bHeadSettingDone[1], 1);
}

}  // namespace

#include "app/texts.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include "app/tovik_sheet.h"
#include "tests/app/app_fixture.h"

using testing_support::AppTest;

namespace {

QString TextOf(int id) {
    QString text;
    LoadText(id, text);
    return text;
}

}  // namespace

TEST_F(AppTest, ErrorBoxAppendsTheCode) {
    EXPECT_EQ(ShowMessage(104, 1005), 0);
    ASSERT_EQ(messages.boxes.size(), 1u);
    const auto& box = messages.boxes[0];
    EXPECT_TRUE(box.text.endsWith(
        QStringLiteral("Reboot your PC and attempt the operation again. (1005)")));
    EXPECT_EQ(box.caption, app->ApplicationTitle());
    EXPECT_EQ(box.icon, ui::MessageIcon::Exclamation);
    EXPECT_EQ(box.okText, QStringLiteral("OK"));

    ShowMessage(209, 0);  // code 0: nothing appended
    EXPECT_EQ(messages.boxes[1].text,
              QStringLiteral("KPMRuzeDiziririrod.exe has already started."));
    ShowMessage(105, -1);
    EXPECT_TRUE(messages.boxes[2].text.endsWith(QStringLiteral(". (-1)")));
}

TEST_F(AppTest, InformationAndStopBoxes) {
    QWidget owner;
    EXPECT_EQ(ShowInformation(312, &owner), 0);
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].caption, QStringLiteral("KPMRuze Diziririrod"));
    EXPECT_EQ(messages.boxes[0].icon, ui::MessageIcon::None);
    EXPECT_EQ(messages.boxes[0].owner, &owner);
    EXPECT_EQ(messages.boxes[0].text, QStringLiteral("Time has been set.\nReturn to Main screen."));

    EXPECT_EQ(ShowStopMessage(178, &owner), 0);
    EXPECT_EQ(messages.boxes[1].icon, ui::MessageIcon::Stop);
    EXPECT_TRUE(messages.boxes[1].text.startsWith(QStringLiteral("The X value is beyond")));
}

TEST_F(AppTest, MissingTextsShowNothingAndKeepTheTemplateText) {
    MakeApp(1049);  // Russian: no 391-393
    EXPECT_EQ(ShowMessage(391, 5), -100);
    EXPECT_EQ(ShowInformation(392, nullptr), -100);
    EXPECT_TRUE(messages.boxes.empty());

    MakeApp(1046);  // Portuguese (Brazil): no 323-330
    QLabel label(QStringLiteral("[3]"));
    EXPECT_EQ(SetControlText(&label, 325), -100);
    EXPECT_EQ(label.text(), QStringLiteral("[3]"));
    EXPECT_EQ(SetControlText(&label, 107), 0);
    EXPECT_NE(label.text(), QStringLiteral("[3]"));
    EXPECT_EQ(SetControlText(nullptr, 107), -101);
}

TEST_F(AppTest, MessagesComeInTheAppsLanguage) {
    MakeApp(1041);
    ShowMessage(104, 1006);
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, TextOf(104) + QStringLiteral(" (1006)"));
    QString english;
    app::StringTable(1033).Load(104, english);
    EXPECT_NE(TextOf(104), english);
    EXPECT_EQ(messages.boxes[0].okText, QStringLiteral("OK"));
}

TEST_F(AppTest, ErrorMappingOfTheSheet) {
    const std::pair<int, int> table[] = {
        {1, 164},    {14, 164},   {15, 164},   {16, 164},    {17, 164},   {18, 164},   {6, 388},
        {7, 389},    {12, 225},   {13, 226},   {19, 208},    {1001, 390}, {1002, 390}, {1003, 390},
        {1004, 390}, {1007, 390}, {1010, 390}, {1005, 104},  {1006, 104}, {1011, 104}, {1009, 387},
        {-223, 210}, {-210, 229}, {1000, 105}, {1008, 105},  {-1, 105},   {2, 105},    {20, 105},
        {-57, 105},  {-56, 105},  {1012, 105}, {65535, 105},
    };
    CTovikSheet sheet(messages);
    for (const auto& [code, textId] : table) {
        SCOPED_TRACE(code);
        messages.boxes.clear();
        sheet.ShowErrorMessage(code);
        ASSERT_EQ(messages.boxes.size(), 1u);
        EXPECT_EQ(messages.boxes[0].text, TextOf(textId) + QStringLiteral(" (%1)").arg(code));
        EXPECT_EQ(messages.boxes[0].icon, ui::MessageIcon::Exclamation);
        EXPECT_EQ(ErrorMessageTextId(code), textId);
    }
    messages.boxes.clear();
    EXPECT_EQ(sheet.ShowErrorMessage(0), 0);
    EXPECT_TRUE(messages.boxes.empty());
    EXPECT_EQ(ErrorMessageTextId(0), 0);
}

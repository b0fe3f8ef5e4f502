#include "app/string_table.h"

#include <QRegularExpression>
#include <QString>

#include <gtest/gtest.h>

#include <set>

using app::StringTable;

namespace {

constexpr std::uint16_t kLanguages[] = {1033, 2052, 1036, 1031, 3082, 1040,
                                        1041, 1042, 1046, 1049, 1055};

std::set<int> IdsOfTheTables() {
    std::set<int> ids;
    for (int id = 101; id <= 213; ++id)
        ids.insert(id);
    for (int id = 220; id <= 229; ++id)
        ids.insert(id);
    for (int id = 241; id <= 246; ++id)
        ids.insert(id);
    for (int id = 251; id <= 341; ++id)
        ids.insert(id);
    for (int id = 387; id <= 393; ++id)
        ids.insert(id);
    // The main page's line for a machine without a KPM printer.
    for (int id = 400; id <= 402; ++id)
        ids.insert(id);
    return ids;
}

std::set<int> ExpectedIds(std::uint16_t language) {
    std::set<int> ids = IdsOfTheTables();
    if (language != 1033 && language != 1041) {
        ids.erase(391);
        ids.erase(392);
        ids.erase(393);
    }
    if (language == 1046) {
        for (int id : {132, 144, 151, 266, 275, 282, 283, 284, 285, 287, 288, 289, 290,
                       291, 294, 297, 298, 304, 323, 324, 325, 326, 327, 328, 329, 330}) {
            ids.erase(id);
        }
    }
    return ids;
}

QString Text(const StringTable& table, int id) {
    QString text;
    table.Load(id, text);
    return text;
}

}  // namespace

TEST(StringTables, EveryLanguageHasExactlyItsIds) {
    ASSERT_EQ(app::AvailableStringTables().size(), 11u);
    for (std::uint16_t language : kLanguages) {
        SCOPED_TRACE(language);
        const StringTable table(language);
        std::set<int> present;
        for (int id = 0; id < 1024; ++id) {
            QString text = QStringLiteral("untouched");
            const int result = table.Load(id, text);
            if (result == 0) {
                present.insert(id);
                EXPECT_FALSE(text.isEmpty());
                EXPECT_LE(text.size(), 1023);
            } else {
                EXPECT_EQ(result, app::kNoText);
                EXPECT_EQ(text, QStringLiteral("untouched"));
            }
        }
        EXPECT_EQ(present, ExpectedIds(language));
        EXPECT_EQ(ExpectedIds(1033).size(), 230u);
    }
}

TEST(StringTables, EnglishTextsAreTheProductsOwn) {
    const StringTable en(1033);
    EXPECT_EQ(Text(en, 101), QStringLiteral("About KPMRuze Diziririrod(&A)..."));
    EXPECT_EQ(Text(en, 104),
              QStringLiteral("Communication Error.\nCheck Connection and try again.\nIf another "
                             "Communication Error occurs, the Printer needs to be restarted.  "
                             "Reboot your PC and attempt the operation again."));
    EXPECT_EQ(Text(en, 109),
              QStringLiteral("Select an item from the menu below and click \"Next\"."));
    EXPECT_EQ(Text(en, 116), QStringLiteral("Set an IP Adrress"));
    EXPECT_EQ(Text(en, 117), QStringLiteral("KPMRuze Diziririrod  Version 2.0.0"));
    EXPECT_EQ(
        Text(en, 154),
        QStringLiteral("\nA Log File was successfully created. Thanks for your cooperation."));
    EXPECT_EQ(Text(en, 200), QStringLiteral("Close"));
    EXPECT_EQ(Text(en, 201), QStringLiteral("Cancel"));
    EXPECT_EQ(Text(en, 209), QStringLiteral("KPMRuzeDiziririrod.exe has already started."));
    EXPECT_EQ(Text(en, 267),
              QStringLiteral("Print example : (FWD:\"+4\", RVS:\"-5\" is the smoothest)"));
    EXPECT_EQ(Text(en, 286), QStringLiteral("Confirm the print result and adjust the second "
                                            "(final) platen-rolling. "));
    EXPECT_EQ(Text(en, 311), QStringLiteral(" - Set to the above mentioned time."));
    EXPECT_EQ(Text(en, 323), QStringLiteral("[1]"));
    EXPECT_EQ(Text(en, 330), QStringLiteral("[8]"));
    EXPECT_EQ(Text(en, 334), QStringLiteral("Input a time range of \"0:00\" to \"23:59\"."));
    EXPECT_EQ(Text(en, 138).left(8), QStringLiteral("<Note>\nA"));
    EXPECT_TRUE(Text(en, 331).contains(QStringLiteral("\"23:59\". \nFor example")));
    EXPECT_TRUE(
        Text(en, 393).endsWith(QStringLiteral("(0.01inch),\nA value of -1 shortens the "
                                              "printed result by about 0.2mm (0.01inch).")));
}

TEST(StringTables, TranslationsKeepLineBreaksAndPanelTexts) {
    const StringTable en(1033);
    static const QString kPanelTexts[] = {
        QStringLiteral("\"FIRING CHK COLOR\""),
        QStringLiteral("\"FIRING CHK WHITE\""),
        QStringLiteral("\"ALIGN CHK\""),
        QStringLiteral("\"FEEDING PATTERN(1)\""),
        QStringLiteral("\"16inchLine\""),
        QStringLiteral("KPM pro Firmware Update Tool"),
        QStringLiteral("KPMRuzeDiziririrod.exe"),
        QStringLiteral("KPMRuze Diziririrod"),
        QStringLiteral("406.4mm"),
        QStringLiteral("\"0:00\""),
        QStringLiteral("\"23:59\""),
        QStringLiteral("(&A)"),
    };
    for (std::uint16_t language : kLanguages) {
        if (language == 1033) {
            continue;
        }
        SCOPED_TRACE(language);
        const StringTable table(language);
        int translated = 0;
        int compared = 0;
        for (int id : ExpectedIds(language)) {
            SCOPED_TRACE(id);
            const QString english = Text(en, id);
            const QString text = Text(table, id);
            EXPECT_EQ(text.count(QLatin1Char('\n')), english.count(QLatin1Char('\n')));
            EXPECT_EQ(text.startsWith(QLatin1Char('\n')), english.startsWith(QLatin1Char('\n')));
            for (const QString& fixed : kPanelTexts) {
                if (english.contains(fixed)) {
                    EXPECT_TRUE(text.contains(fixed)) << fixed.toStdString();
                }
            }
            if (english.size() > 12) {
                ++compared;
                translated += text != english ? 1 : 0;
            }
        }
        // Everything but names and a few technical labels is translated.
        EXPECT_GE(translated * 100, compared * 95) << translated << " of " << compared;
    }
}

TEST(LoadText, WalksTheBlocksAndTreatsDamageAsMissing) {
    // Block 7 holds ids 96..111: id 97 "Hi", id 98 empty, id 99 "x".
    static const char16_t good[] = {0, 2, u'H', u'i', 0, 1, u'x', 0, 0, 0,
                                    0, 0, 0,    0,    0, 0, 0,    0, 0};
    // A length running past the end of the block.
    static const char16_t damaged[] = {0, 9, u'H', u'i'};
    static const app::StringBlock blocks[] = {{7, good, std::size(good)}};
    static const app::StringBlock broken[] = {{7, damaged, std::size(damaged)}};
    static const app::StringTableResource tables[] = {{1033, blocks}, {1041, broken}};

    const StringTable table(1033, tables);
    QString text;
    EXPECT_EQ(table.Load(97, text), 0);
    EXPECT_EQ(text, QStringLiteral("Hi"));
    EXPECT_EQ(table.Load(99, text), 0);
    EXPECT_EQ(text, QStringLiteral("x"));
    EXPECT_EQ(table.Load(98, text), app::kNoText);
    EXPECT_EQ(table.Load(96, text), app::kNoText);
    EXPECT_EQ(table.Load(111, text), app::kNoText);
    EXPECT_EQ(table.Load(112, text), app::kNoText);  // no block 8
    EXPECT_EQ(table.Load(-1, text), app::kNoText);
    EXPECT_EQ(StringTable(1041, tables).Load(97, text), app::kNoText);
    // No other language is tried.
    EXPECT_EQ(StringTable(1049, tables).Load(97, text), app::kNoText);
}

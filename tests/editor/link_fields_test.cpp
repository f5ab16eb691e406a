// Link field data, tag sets, terms and title clean-up.
#include <gtest/gtest.h>

#include "editor/link_fields.h"

using namespace arbor;

TEST(LinkFields, KindsByPrefixIgnoringCase) {
    EXPECT_EQ(splitLinkData("TG_1012").kind, LinkKind::Tag);
    EXPECT_EQ(splitLinkData("tg_1012").target, "1012");
    EXPECT_EQ(splitLinkData("Tp_用語").kind, LinkKind::Term);
    EXPECT_EQ(splitLinkData("Tp_用語").target, "用語");
    EXPECT_EQ(splitLinkData("TP_用語").code, "TP");
    const LinkTarget object = splitLinkData("LK_OBJ\t<iframe src='x'>");
    EXPECT_EQ(object.kind, LinkKind::Object);
    EXPECT_EQ(object.target, "<iframe src='x'>");
    EXPECT_EQ(object.code, "LK");
    for (const char* link :
         {"https://example.jp/a?b=1", "/home/u/file.pdf", "TGX", "TG", "LK_OBJX"}) {
        EXPECT_EQ(splitLinkData(link).kind, LinkKind::Hyperlink) << link;
        EXPECT_EQ(splitLinkData(link).target, link);
        EXPECT_EQ(splitLinkData(link).code, "LK");
    }
    EXPECT_EQ(splitLinkData(tagData(1040)).target, "1040");
    EXPECT_EQ(splitLinkData(objectData("<script>")).target, "<script>");
}

TEST(LinkFields, TagSetInOrderOfFirstOccurrence) {
    EXPECT_EQ(tagSet({}), ".");
    EXPECT_EQ(tagSet({"TG_1012", "https://x", "TG_1040", "tg_1012", "TP_1012"}), ".1012.1040.");
    // A number that is the tail of another is still its own entry.
    EXPECT_EQ(tagSet({"TG_1012", "TG_12", "TG_101"}), ".1012.12.101.");
    EXPECT_EQ(tagSet({"TG_", "TG_ 7 "}), ".7.");
}

TEST(LinkFields, TitlesLoseWhatLabelsMustNotHold) {
    EXPECT_EQ(cleanTitle(R"(A & <B> 'c' "d")"), "ABcd");
    EXPECT_EQ(cleanTitle("第1章　はじめに"), "第1章　はじめに");  // the full-width blank is text
    EXPECT_EQ(cleanTitle(" &<>'\" "), "");
    EXPECT_EQ(cleanTitle("O'Reilly?"), "OReilly?");
}

TEST(LinkFields, TermsAreWideWithoutLinkBreakingCharacters) {
    EXPECT_EQ(cleanTerm("HTML"), "ＨＴＭＬ");
    EXPECT_EQ(cleanTerm("ＨＴＭＬ"), "ＨＴＭＬ");
    EXPECT_EQ(cleanTerm("C++ <入門>"), "Ｃ　入門");
    EXPECT_EQ(cleanTerm("データ"), "データ");  // voiced marks of kana stay
    EXPECT_EQ(cleanTerm("\"a\"/'b'"), "ａｂ");
}

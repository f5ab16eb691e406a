#include <gtest/gtest.h>

#include "app/text_cut.h"

namespace arbor {
namespace {

bool hasLoneSurrogate(const QString& s) {
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i].isHighSurrogate() && (i + 1 == s.size() || !s[i + 1].isLowSurrogate()))
            return true;
        if (s[i].isLowSurrogate() && (i == 0 || !s[i - 1].isHighSurrogate()))
            return true;
    }
    return false;
}

TEST(TextCut, CutsBetweenCharactersNeverInsideOne) {
    // An emoji straddling the 50th UTF-16 unit stays whole or goes whole.
    const QString emoji = QStringLiteral("😀");
    const QString title = QString(49, u'あ') + emoji + QStringLiteral("後");
    const QString cut = leftCharacters(title, 50);
    EXPECT_FALSE(hasLoneSurrogate(cut));
    EXPECT_EQ(cut, QString(49, u'あ') + emoji);

    // A base letter with a combining mark and a flag (two regional indicators) count as one.
    const QString ga = QStringLiteral("か\u3099");
    const QString flag = QStringLiteral("🇯🇵");
    EXPECT_EQ(leftCharacters(ga + flag + QStringLiteral("x"), 2), ga + flag);
    EXPECT_EQ(leftCharacters(flag + flag, 1), flag);
}

TEST(TextCut, ShortTextsAndLimits) {
    EXPECT_EQ(leftCharacters(QStringLiteral("短い"), 50), QStringLiteral("短い"));
    EXPECT_EQ(leftCharacters(QStringLiteral("abc"), 3), QStringLiteral("abc"));
    EXPECT_EQ(leftCharacters(QStringLiteral("abc"), 0), QString());
    EXPECT_EQ(leftCharacters(QString(), 5), QString());
    EXPECT_EQ(leftCharacters(QString(300, u'字'), 255).size(), 255);
}

}  // namespace
}  // namespace arbor

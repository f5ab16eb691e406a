// Source checks that guard against mistakes a compiler accepts silently.
//
// A Latin-1 string type reads the UTF-8 bytes of a Japanese literal as Latin-1, so a
// comparison with it is never true (a settings value "確認" then reads as something else).

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>

namespace {

QString sourceRoot() {
    QDir apData(QStringLiteral(ARBOR_TEST_APDATA));
    apData.cdUp();
    return apData.absolutePath();
}

// Reads the string and character literals that follow position pos (after the opening
// parenthesis), up to the closing parenthesis; true when one of them holds a non-ASCII byte.
bool literalsHoldNonAscii(const QByteArray& text, qsizetype pos) {
    int depth = 1;
    for (qsizetype i = pos; i < text.size() && depth > 0; ++i) {
        const char c = text[i];
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            --depth;
        } else if (c == '"' || c == '\'') {
            for (++i; i < text.size() && text[i] != c; ++i) {
                if (text[i] == '\\')
                    ++i;
                else if (static_cast<unsigned char>(text[i]) >= 0x80)
                    return true;
            }
        }
    }
    return false;
}

// Every place in one file's text where a Latin-1 type is given non-ASCII text, as line numbers.
QList<int> latin1Misuses(const QByteArray& text) {
    QList<int> lines;
    auto lineOf = [&](qsizetype at) { return int(text.left(at).count('\n')) + 1; };
    static const QRegularExpression call(
        QStringLiteral(R"(\bQLatin1(?:String|StringView|Char)\s*[({])"));
    static const QRegularExpression suffix(QStringLiteral(R"re("((?:[^"\\\n]|\\.)*)"_L1\b)re"));
    const QString source = QString::fromLatin1(text);  // byte offsets stay character offsets
    for (auto it = call.globalMatch(source); it.hasNext();) {
        const auto m = it.next();
        if (literalsHoldNonAscii(text, m.capturedEnd()))
            lines << lineOf(m.capturedStart());
    }
    for (auto it = suffix.globalMatch(source); it.hasNext();) {
        const auto m = it.next();
        const QByteArray body = text.mid(m.capturedStart(1), m.capturedLength(1));
        if (std::any_of(body.begin(), body.end(),
                        [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
            lines << lineOf(m.capturedStart());
    }
    return lines;
}

TEST(SourceCheck, DetectsLatin1TypesGivenNonAsciiText) {
    // The check itself must see each form, or a clean tree proves nothing.
    EXPECT_EQ(latin1Misuses("x == QLatin1String(\"確認\");"), QList<int>{1});
    EXPECT_EQ(latin1Misuses("a;\nQLatin1StringView(\"ok\" \"有効\")"), QList<int>{2});
    EXPECT_EQ(latin1Misuses("QLatin1Char('\xc3\xa9')"), QList<int>{1});
    EXPECT_EQ(latin1Misuses("auto s = \"表示\"_L1;"), QList<int>{1});
    EXPECT_EQ(latin1Misuses("QLatin1String{\"非表示\"}"), QList<int>{1});
    EXPECT_TRUE(latin1Misuses("QLatin1String(\"ok\") + QStringLiteral(\"確認\")").isEmpty());
    EXPECT_TRUE(latin1Misuses("QLatin1Char('\\'') == u'確'").isEmpty());
}

TEST(SourceCheck, NoLatin1TypeHoldsNonAsciiText) {
    const QString root = sourceRoot();
    int files = 0;
    QStringList found;
    for (const char* folder : {"src", "tests", "bench", "fuzz"}) {
        QDirIterator it(root + u'/' + QLatin1String(folder),
                        {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.endsWith(QLatin1String("/source_check_test.cpp")))
                continue;  // its own samples
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
            ++files;
            for (int line : latin1Misuses(file.readAll()))
                found << path.mid(root.size() + 1) + u':' + QString::number(line);
        }
    }
    EXPECT_GT(files, 100) << "the source tree was not found under " << root.toStdString();
    EXPECT_TRUE(found.isEmpty()) << "Latin-1 string types given non-ASCII text (use "
                                    "QStringLiteral or u\"...\"_s):\n"
                                 << found.join(u'\n').toStdString();
}

}  // namespace

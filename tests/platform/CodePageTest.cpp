#include "platform/CodePage.h"

#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

namespace sarn {
namespace {

struct EncodeCase {
    const char* name;
    QString text;
    QByteArray hex;
};

class ToAnsiTest : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(ToAnsiTest, GivesTheGbkBytes) {
    EXPECT_EQ(ToAnsi(GetParam().text).toHex(), GetParam().hex);
}

QString Lone(char16_t c) {
    return QString(QChar(c)) + QStringLiteral("x");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToAnsiTest,
    ::testing::Values(
        EncodeCase{"Ascii", QStringLiteral("abc=1"), "6162633d31"},
        EncodeCase{"Chinese", QStringLiteral("中文"), "d6d0cec4"},
        EncodeCase{"FullWidthPunctuation", QStringLiteral("。，"), "a1a3a3ac"},
        EncodeCase{"EuroAsCodePage936", QStringLiteral("€"), "80"},
        // Characters GBK cannot hold: one "?" each, a surrogate pair counting as one character.
        EncodeCase{"Emoji", QStringLiteral("a😀b"), "613f62"},
        EncodeCase{"Thai", QStringLiteral("\u0e01"), "3f"},
        EncodeCase{"LoneSurrogate", Lone(0xD800), "3f78"}, EncodeCase{"Empty", QString(), ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FromAnsiTest, InvalidBytesBecomeReplacementCharacters) {
    const QString r = QString(QChar::ReplacementCharacter);
    EXPECT_EQ(FromAnsi(QByteArray("\xd6\xd0\xce\xc4")), QStringLiteral("中文"));
    EXPECT_EQ(FromAnsi(QByteArray("\x81\x20z")), r + QStringLiteral(" z"));  // bad trail byte
    EXPECT_EQ(FromAnsi(QByteArray("ab\xd6")), QStringLiteral("ab") + r);     // cut at the end
    EXPECT_EQ(FromAnsi(QByteArray("\xff"
                                  "a")),
              r + QStringLiteral("a"));
    EXPECT_EQ(FromAnsi(QByteArray()), QString());
}

TEST(FromAnsiTest, EveryTwoByteSequenceDecodesAndSurvivesARoundTrip) {
    for (int lead = 0; lead < 256; ++lead) {
        for (int trail = 0; trail < 256; ++trail) {
            const char bytes[] = {static_cast<char>(lead), static_cast<char>(trail)};
            const QString text = FromAnsi(QByteArray(bytes, 2));
            ASSERT_FALSE(text.isEmpty());
            // What decoded cleanly encodes back to the same bytes.
            if (!text.contains(QChar::ReplacementCharacter) && text.size() == 1) {
                ASSERT_EQ(ToAnsi(text), QByteArray(bytes, 2)) << lead << " " << trail;
            }
        }
    }
}

}  // namespace
}  // namespace sarn

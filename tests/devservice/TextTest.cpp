#include "devservice/Text.h"

#include <gtest/gtest.h>

namespace sarndev {
namespace {

TEST(ServiceBase64, EncodesAndDecodesTheStandardVectors) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {"\xff\xfe\xfd", "//79"},
    };
    for (auto [plain, encoded] : cases) {
        EXPECT_EQ(Base64Encode(plain), encoded);
        EXPECT_EQ(Base64Length(std::string_view(plain).size()), std::string_view(encoded).size());
        EXPECT_EQ(Base64Decode(encoded), std::string(plain));
    }
}

TEST(ServiceBase64, RejectsWhatIsNotStrictBase64) {
    for (const char* bad : {"Zg=", "Zg=a", "Z===", "Zm9v\n", "Zm9-", "=Zm9", "Zg==Zm9v"}) {
        EXPECT_FALSE(Base64Decode(bad).has_value()) << bad;
    }
}

TEST(ServiceGbk, ConvertsChineseBothWaysAndMarksWhatItCannotHold) {
    EXPECT_EQ(Utf8ToGbk("张三abc"),
              "\xD5\xC5\xC8\xFD"
              "abc");
    EXPECT_EQ(GbkToUtf8("\xD5\xC5\xC8\xFD"
                        "abc"),
              "张三abc");
    EXPECT_EQ(Utf8ToGbk("a😀b"), "a?b");
    EXPECT_EQ(GbkToUtf8("a\xFF"), "a\xEF\xBF\xBD");
}

TEST(ServiceText, PercentDecodingLeavesMalformedEscapesAlone) {
    EXPECT_EQ(PercentDecode("a%20b%E5%BC%A0"), "a b\xE5\xBC\xA0");
    EXPECT_EQ(PercentDecode("50%+1%2"), "50%+1%2");
    EXPECT_EQ(PercentDecode("%zz%"), "%zz%");
}

// The same escape serves quoted attributes (the namespace taken from the Host header) and page
// text (a user's name), so a quote in either cannot end the attribute or inject markup.
TEST(ServiceText, MarkupEscapeIsSafeInTextAndInQuotedAttributes) {
    EXPECT_EQ(MarkupEscape("a<b>&\"c'\r\n"), "a&lt;b&gt;&amp;&quot;c&#39;&#xD;\n");
    EXPECT_EQ(MarkupEscape("张三"), "张三");
}

TEST(ServiceText, LineBreaksBecomeCrLf) {
    EXPECT_EQ(ToCrLf("a\nb\r\nc\rd\n"), "a\r\nb\r\nc\r\nd\r\n");
}

}  // namespace
}  // namespace sarndev

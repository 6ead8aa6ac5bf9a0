#include "push/MnemonicText.h"

#include <gtest/gtest.h>

namespace sarn {
namespace {

struct MnemonicCase {
    const char16_t* text;
    const char16_t* shown;
    QList<int> underlined;
};

class Mnemonic : public ::testing::TestWithParam<MnemonicCase> {};

TEST_P(Mnemonic, DrawsAmpersandsAsMnemonicsAndNothingElseSpecially) {
    const MnemonicCase& c = GetParam();
    const MnemonicText parsed = ParseMnemonic(QString::fromUtf16(c.text));
    EXPECT_EQ(parsed.shown, QString::fromUtf16(c.shown));
    EXPECT_EQ(parsed.underlined, c.underlined);
}

INSTANTIATE_TEST_SUITE_P(
    Labels, Mnemonic,
    ::testing::Values(MnemonicCase{u"plain", u"plain", {}}, MnemonicCase{u"&File", u"File", {0}},
                      MnemonicCase{u"Save &as", u"Save as", {5}}, MnemonicCase{u"A&&B", u"A&B", {}},
                      MnemonicCase{u"&&&x", u"&x", {1}}, MnemonicCase{u"end&", u"end", {}},
                      MnemonicCase{u"&资讯", u"资讯", {0}},
                      MnemonicCase{u"<b>bold</b> <a href=\"x\">&link</a> <img src=y>",
                                   u"<b>bold</b> <a href=\"x\">link</a> <img src=y>",
                                   {24}}));

}  // namespace
}  // namespace sarn

#include "core/Helpers.h"
#include "login/LoginRules.h"
#include "login/RegionTable.h"

#include <gtest/gtest.h>

namespace sarn {
namespace {

TEST(ConvertsToInteger, FollowsTheStandardConversion) {
    const struct {
        const char* text;
        bool converts;
    } cases[] = {
        {"12345", true},       {" 12345", true},      {"   7", true},        {"+12345", true},
        {"-12345", true},      {"$1aF2b", true},      {"x1A", true},         {"X1a", true},
        {"0x1f", true},        {"0X1F", true},        {"-$ff", true},        {"+0x10", true},
        {"", false},           {" ", false},          {"+", false},          {"$", false},
        {"0x", false},         {"12a45", false},      {"1234 ", false},      {"1-234", false},
        {"++1", false},        {"\t123", false},      {"$12g", false},       {"1.5", false},
        {"2147483647", true},  {"2147483648", false}, {"-2147483648", true}, {"$FFFFFFFF", true},
        {"$100000000", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ConvertsToInteger(c.text), c.converts) << '"' << c.text << '"';
    }
}

TEST(IsValidMobile, ElevenAnsiBytesBeginningWithOneInTwoIntegerHalves) {
    const struct {
        QString text;
        bool valid;
    } cases[] = {
        {QStringLiteral("13812345678"), true},
        {QStringLiteral("10000000000"), true},
        {QStringLiteral("23812345678"), false},   // first digit not 1
        {QStringLiteral("1381234567"), false},    // ten digits
        {QStringLiteral("138123456789"), false},  // twelve digits
        {QStringLiteral("1381234567a"), false},   // ten digits and a letter
        {QStringLiteral("13812 45678"), true},    // a blank as character 6
        {QStringLiteral("13812+45678"), true},    // a sign as character 6
        {QStringLiteral("13812-45678"), true},
        {QStringLiteral("13812$4a6fF"), true},  // "$" and five hexadecimal digits
        {QStringLiteral("138120x4a6f"), true},
        {QStringLiteral("1 812345678"), false},   // blanks only lead a piece
        {QStringLiteral(" 1381234567"), false},   // character 1 must be "1"
        {QStringLiteral("13812345汉"), false},    // eleven bytes, but no digits at the end
        {QStringLiteral("1381234567汉"), false},  // eleven characters, twelve bytes
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsValidMobile(c.text), c.valid) << c.text.toStdString();
    }
}

TEST(IsValidEmail, NeedsAnAtThatIsNotFirstAndTheFirstDotAfterIt) {
    const struct {
        const char16_t* text;
        bool valid;
    } cases[] = {
        {u"a@b.com", true},    {u"a@b.", true},    {u"ab@.c", true},
        {u"ab.com", false},    {u"@b.com", false}, {u"a@bcom", false},
        {u"a.b@c.com", false}, {u"", false},       {u"张@例子.中国", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsValidEmail(QString::fromUtf16(c.text)), c.valid)
            << QString::fromUtf16(c.text).toStdString();
    }
}

RegisterFields Complete() {
    return {QStringLiteral("alice"),       QStringLiteral("Secret"), QStringLiteral("Secret"),
            QStringLiteral("13812345678"), QStringLiteral("a@b.cn"), QStringLiteral("香港"),
            QStringLiteral("九龙")};
}

TEST(FirstRegisterProblem, ChecksInOrderAndStopsAtTheFirst) {
    using F = RegisterField;
    EXPECT_EQ(FirstRegisterProblem(RegisterFields{})->message, QStringLiteral("请输入用户名称"));
    EXPECT_FALSE(FirstRegisterProblem(Complete()).has_value());

    const struct {
        void (*spoil)(RegisterFields&);
        const char16_t* message;
        F focus;
    } cases[] = {
        {[](RegisterFields& f) { f.userName.clear(); }, u"请输入用户名称", F::UserName},
        {[](RegisterFields& f) { f.pwd.clear(); }, u"请输入密码", F::Pwd},
        {[](RegisterFields& f) { f.confirm.clear(); }, u"请再次输入密码", F::Confirm},
        {[](RegisterFields& f) { f.confirm = QStringLiteral("secret"); }, u"两次输入的密码不一致",
         F::Confirm},
        {[](RegisterFields& f) { f.mobile.clear(); }, u"请输入手机号码", F::Mobile},
        {[](RegisterFields& f) { f.mobile = QStringLiteral("2381234567"); },
         u"请输入有效的手机号码", F::Mobile},
        {[](RegisterFields& f) { f.email.clear(); }, u"请输入EMail", F::Email},
        {[](RegisterFields& f) { f.email = QStringLiteral("a.b@c"); }, u"请输入有效的EMail",
         F::Email},
        {[](RegisterFields& f) { f.prov.clear(); }, u"请选择省", F::Prov},
        {[](RegisterFields& f) { f.city.clear(); }, u"请选择市", F::City},
        // Two faults: the earlier check wins.
        {[](RegisterFields& f) { f.mobile.clear(), f.pwd.clear(); }, u"请输入密码", F::Pwd},
    };
    for (const auto& c : cases) {
        RegisterFields fields = Complete();
        c.spoil(fields);
        const auto problem = FirstRegisterProblem(fields);
        ASSERT_TRUE(problem.has_value());
        EXPECT_EQ(problem->message, QString::fromUtf16(c.message));
        EXPECT_EQ(problem->focus, c.focus);
    }
}

TEST(LoginRules, EmptyMeansZeroLengthAndTheResultTable) {
    EXPECT_EQ(FirstLoginProblem({}, {})->message, QStringLiteral("请输入用户名"));
    EXPECT_EQ(FirstLoginProblem(QStringLiteral("u"), {})->focus, LoginField::Password);
    EXPECT_FALSE(FirstLoginProblem(QStringLiteral("  "), QStringLiteral(" ")).has_value());

    EXPECT_EQ(LoginFailureMessage(-1), QStringLiteral("错误的用户名或密码"));
    EXPECT_EQ(LoginFailureMessage(0), QStringLiteral("与服务器的通信失败，请稍后再试"));
    EXPECT_TRUE(LoginFailureMessage(-2).isEmpty());
}

TEST(ReactToRegisterResult, PutsTheFieldTextInAsTyped) {
    RegisterFields fields = Complete();
    fields.userName = QStringLiteral("bob%1");
    EXPECT_EQ(ReactToRegisterResult(-1, fields).message,
              QStringLiteral("对不起，用户 bob%1 已经注册"));
    EXPECT_EQ(ReactToRegisterResult(-2, fields).message,
              QStringLiteral("对不起，移动电话 13812345678 已经注册"));
    EXPECT_EQ(ReactToRegisterResult(-3, fields).message,
              QStringLiteral("对不起，电子邮箱 a@b.cn 已经注册"));
    for (const qint32 success : {-4, 1, 250}) {
        EXPECT_TRUE(ReactToRegisterResult(success, fields).success);
        EXPECT_EQ(ReactToRegisterResult(success, fields).message,
                  QStringLiteral("恭喜，您注册成功"));
    }
    EXPECT_FALSE(ReactToRegisterResult(0, fields).success);
}

TEST(RegionTable, ThirtyFiveProvincesWithTheirCities) {
    const auto table = RegionTable();
    ASSERT_EQ(table.size(), 35u);
    int cities = 0;
    for (const RegionRow& row : table) {
        const QStringList names =
            CommaToLines(QString::fromUtf16(row.cities)).split(QStringLiteral("\r\n"));
        EXPECT_FALSE(names.contains(QString())) << QString::fromUtf16(row.province).toStdString();
        cities += int(names.size());
    }
    EXPECT_EQ(cities, 450);
    EXPECT_EQ(ProvinceNames().first(), QStringLiteral("北京"));
    EXPECT_EQ(ProvinceNames().last(), QStringLiteral("其他"));
    EXPECT_EQ(QString::fromUtf16(table[2].cities).section(u',', 11, 11), QStringLiteral("红挢"));
}

}  // namespace
}  // namespace sarn

#include "login/LoginRules.h"

#include "platform/CodePage.h"

#include <limits>

namespace sarn {

std::optional<FieldProblem<LoginField>> FirstLoginProblem(const QString& userName,
                                                          const QString& password) {
    // Nothing is trimmed: a name of blanks is sent as typed.
    if (userName.isEmpty()) {
        return FieldProblem<LoginField>{QStringLiteral("请输入用户名"), LoginField::UserName};
    }
    if (password.isEmpty()) {
        return FieldProblem<LoginField>{QStringLiteral("请输入密码"), LoginField::Password};
    }
    return std::nullopt;
}

QString LoginFailureMessage(qint32 result) {
    switch (result) {
        case -1:
            return QStringLiteral("错误的用户名或密码");
        case 0:
            return QStringLiteral("与服务器的通信失败，请稍后再试");
        default:
            return QString();
    }
}

bool ConvertsToInteger(QByteArrayView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == ' ') {
        ++i;
    }
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == n) {
        return false;  // no digit at all
    }
    // Decimal values must fit a signed 32-bit integer; hexadecimal ones may use all 32 bits.
    const quint64 limit = base == 16
                              ? std::numeric_limits<quint32>::max()
                              : quint64(std::numeric_limits<qint32>::max()) + (negative ? 1 : 0);
    quint64 value = 0;
    for (; i < n; ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return false;
        }
        value = value * quint64(base) + quint64(digit);
        if (value > limit) {
            return false;
        }
    }
    return true;
}

bool IsValidMobile(const QString& text) {
    // Counted in ANSI bytes: a double-byte character takes two of the eleven places.
    const QByteArray bytes = ToAnsi(text);
    if (bytes.size() != 11) {
        return false;
    }
    const QByteArrayView view(bytes);
    return ConvertsToInteger(view.first(5)) && ConvertsToInteger(view.sliced(5)) &&
           bytes.front() == '1';
}

bool IsValidEmail(const QString& text) {
    const qsizetype at = text.indexOf(u'@') + 1;
    const qsizetype dot = text.indexOf(u'.') + 1;
    return at >= 2 && dot > at;
}

std::optional<FieldProblem<RegisterField>> FirstRegisterProblem(const RegisterFields& f) {
    using F = RegisterField;
    const auto problem = [](const char16_t* message, F focus) {
        return std::optional(FieldProblem<F>{QString::fromUtf16(message), focus});
    };
    if (f.userName.isEmpty()) {
        return problem(u"请输入用户名称", F::UserName);
    }
    if (f.pwd.isEmpty()) {
        return problem(u"请输入密码", F::Pwd);
    }
    if (f.confirm.isEmpty()) {
        return problem(u"请再次输入密码", F::Confirm);
    }
    if (f.confirm != f.pwd) {
        return problem(u"两次输入的密码不一致", F::Confirm);
    }
    if (f.mobile.isEmpty()) {
        return problem(u"请输入手机号码", F::Mobile);
    }
    if (!IsValidMobile(f.mobile)) {
        return problem(u"请输入有效的手机号码", F::Mobile);
    }
    if (f.email.isEmpty()) {
        return problem(u"请输入EMail", F::Email);
    }
    if (!IsValidEmail(f.email)) {
        return problem(u"请输入有效的EMail", F::Email);
    }
    if (f.prov.isEmpty()) {
        return problem(u"请选择省", F::Prov);
    }
    if (f.city.isEmpty()) {
        return problem(u"请选择市", F::City);
    }
    return std::nullopt;
}

RegisterReaction ReactToRegisterResult(qint32 result, const RegisterFields& fields) {
    // The field's text goes in as typed; QString::arg would also read "%1" inside it.
    const auto with = [](const char16_t* pattern, const QString& text) {
        QString message = QString::fromUtf16(pattern);
        message.replace(QStringLiteral("%s"), text);
        return message;
    };
    switch (result) {
        case -3:
            return {false, with(u"对不起，电子邮箱 %s 已经注册", fields.email)};
        case -2:
            return {false, with(u"对不起，移动电话 %s 已经注册", fields.mobile)};
        case -1:
            return {false, with(u"对不起，用户 %s 已经注册", fields.userName)};
        case 0:
            return {false, QStringLiteral("与服务器的通信失败，请稍后再试")};
        default:
            return {true, QStringLiteral("恭喜，您注册成功")};
    }
}

}  // namespace sarn

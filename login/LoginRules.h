#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace sarn {

// The rules of the login and registration panels, free of any window so that they can be
// checked on their own. Texts are as the edits hold them (already through the ANSI code page).

enum class LoginField { UserName, Password };
enum class RegisterField { UserName, Pwd, Confirm, Mobile, Email, Prov, City };

template <typename Field>
struct FieldProblem {
    QString message;
    Field focus;
};

// The first empty field of the login panel, with its message.
std::optional<FieldProblem<LoginField>> FirstLoginProblem(const QString& userName,
                                                          const QString& password);

// What a Login result shows when it is not a success: a message, or nothing at all.
QString LoginFailureMessage(qint32 result);

// The standard string-to-integer conversion (32-bit): leading blanks, one sign, then decimal
// digits, or hexadecimal digits after "$", "x", "X", "0x" or "0X". Anything else fails.
bool ConvertsToInteger(QByteArrayView text);

// 11 ANSI bytes, "1" first, characters 1-5 and 6-11 each an integer.
bool IsValidMobile(const QString& text);

// A "@" that is not first, and the text's first "." after it.
bool IsValidEmail(const QString& text);

struct RegisterFields {
    QString userName;
    QString pwd;
    QString confirm;
    QString mobile;
    QString email;
    QString prov;
    QString city;
};

// The first of the ten ordered checks that fails.
std::optional<FieldProblem<RegisterField>> FirstRegisterProblem(const RegisterFields& fields);

// How the panel answers a Register result.
struct RegisterReaction {
    bool success;     // show the text as information and return to the login panel
    QString message;  // otherwise an error text
};
RegisterReaction ReactToRegisterResult(qint32 result, const RegisterFields& fields);

}  // namespace sarn

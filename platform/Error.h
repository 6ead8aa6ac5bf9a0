#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace sarn {

// Base of every error the program's own layers raise. The message is kept as the user-facing
// text; what() gives its UTF-8 form for diagnostics.
class SarnError : public std::exception {
  public:
    explicit SarnError(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}

    const QString& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

  private:
    QString message_;
    QByteArray utf8_;
};

// An error that must end the current action without anything being shown to the user.
class SilentAbort : public SarnError {
  public:
    SilentAbort() : SarnError(QString()) {}
};

}  // namespace sarn

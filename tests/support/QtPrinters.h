#pragma once

// Readable GoogleTest failure output for Qt values. Found by argument-dependent lookup, so
// they live in Qt's (the global) namespace.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* out) {
    *out << '{';
    for (qsizetype i = 0; i < list.size(); ++i) {
        *out << (i == 0 ? "" : ", ") << '"' << list[i].toStdString() << '"';
    }
    *out << '}';
}

inline void PrintTo(const QByteArray& bytes, std::ostream* out) {
    *out << "hex " << bytes.toHex(' ').toStdString();
}

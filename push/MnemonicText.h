#pragma once

#include <QList>
#include <QString>

namespace sarn {

// A label text as it is drawn: "&x" draws x underlined, "&&" draws one "&", and a lone "&" at
// the end draws nothing. Nothing else in the text has any meaning; markup stays characters.
struct MnemonicText {
    QString shown;
    QList<int> underlined;  // positions in shown
};

MnemonicText ParseMnemonic(const QString& text);

}  // namespace sarn

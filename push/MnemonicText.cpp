#include "push/MnemonicText.h"

namespace sarn {

MnemonicText ParseMnemonic(const QString& text) {
    MnemonicText result;
    result.shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            result.shown.append(text[i]);
            continue;
        }
        ++i;
        if (i == text.size()) {
            break;
        }
        if (text[i] != u'&') {
            result.underlined.append(static_cast<int>(result.shown.size()));
        }
        result.shown.append(text[i]);
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            result.shown.append(text[++i]);
        }
    }
    return result;
}

}  // namespace sarn

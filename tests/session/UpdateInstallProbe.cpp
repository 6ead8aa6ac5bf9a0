// Installs an update image and is killed right after the step given on its command line, the
// way a crash or a kill would end the program at that moment.
#include "platform/session/FileReplacement.h"
#include "session/UpdateInstaller.h"

#include <QFile>

#include <csignal>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 4) {
        return 2;
    }
    const QString executable = QFile::decodeName(argv[1]);
    QFile image(QFile::decodeName(argv[2]));
    if (!image.open(QIODevice::ReadOnly)) {
        return 2;
    }
    const int killAfter = std::atoi(argv[3]);
    const QByteArray text = image.readAll();
    const auto step = [killAfter](sarn::ReplacementStep done) {
        if (static_cast<int>(done) == killAfter) {
            std::raise(SIGKILL);
        }
    };
    try {
        return sarn::ApplyUpdateFile(text, sarn::Base64Decoder(), executable, step) ? 0 : 1;
    } catch (...) {
        return 3;
    }
}

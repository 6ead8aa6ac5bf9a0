// Takes the single-copy lock in the directory given as its argument, prints the outcome and
// holds on until its standard input closes (or it is killed).
#include "platform/SingleInstanceLock.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    sarn::SingleInstanceLock lock(QStringLiteral("sarnmutex"), QString::fromLocal8Bit(argv[1]));
    switch (lock.TryAcquire()) {
        case sarn::SingleInstanceLock::Result::Acquired:
            std::puts("Acquired");
            break;
        case sarn::SingleInstanceLock::Result::HeldElsewhere:
            std::puts("HeldElsewhere");
            break;
        case sarn::SingleInstanceLock::Result::Failed:
            std::puts("Failed");
            break;
    }
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}

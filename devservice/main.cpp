#include "devservice/Commands.h"

int main(int argc, char** argv) {
    return sarndev::RunCommandLine(argc, argv);
}

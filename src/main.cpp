// Entry point of the KRV650 control program.
#include "app/command_line.h"

int main(int argc, char** argv) {
    return runCommandLine(argc, argv);
}

// Entry point of the KRV650 control program.
#include "app/startup.h"

int main(int argc, char** argv) {
    return runProgram(argc, argv);
}

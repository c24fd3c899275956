#include "app/startup.h"

int runProgram(int, char**) {
    return 0;
}

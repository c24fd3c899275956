#include <gtest/gtest.h>

#include "app/startup.h"

TEST(Startup, LinksTheProgram) {
    SUCCEED();
}

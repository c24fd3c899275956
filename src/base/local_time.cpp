#include "base/local_time.h"

std::tm localNow() {
    const std::time_t t = std::time(nullptr);
    std::tm now{};
#ifdef _WIN32
    localtime_s(&now, &t);
#else
    localtime_r(&t, &now);
#endif
    return now;
}

#include "base/program_fonts.h"

platform::Font makeProgramFont(const std::string& face, long long points) {
    return platform::Font(face, static_cast<double>(points), true, true);
}

// Stand-ins for the few platform calls the link uses, until the platform layer lands.
#include "ui/platform/platform.h"

namespace platform {
int messageBox(const std::string&, const std::string&, int, int) { return AnswerOk; }
bool controlExists(int) { return false; }
void setControlText(int, const std::string&) {}
void setControlImage(int, const Image&) {}
const Image* numberedImage(int) { return nullptr; }
} // namespace platform

// The one message function: every message is logged to log.txt, then shown in a modal box whose
// title, icon and body come from the text ("Error #0066 main window won't start").
#pragma once

#include <ctime>
#include <string>

void showMessage(const std::string& text);
// Appends "[dd-Mon-yyyy hh:mm:ss] text" + CR LF to log.txt in the working directory.
void appendLogLine(const std::string& text);
// The log line for `text` at local time `when` (without the line end).
std::string formatLogLine(const std::string& text, const std::tm& when);

// Title and body of the box for a message text; empty title when the text is only logged.
struct MessageParts {
    std::string title;
    std::string body;
    int icon = 0;
};
MessageParts splitMessage(const std::string& text);

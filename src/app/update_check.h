// The daily check for a newer program version.
#pragma once

void runUpdateCheck();

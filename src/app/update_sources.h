// Where the update check looks: the maker's web server, its version list and download pages, and the
// reading of the version list.
#pragma once

#include <optional>
#include <string>

// Base address of the maker's web server, without a trailing "/". The environment variable
// KRV_UPDATE_SERVER replaces it so that tests can point the check at a local server.
std::string updateServerAddress();
std::string versionListUrl();
std::string downloadPageUrl();
// The download address of an instrument model (letter case matters); empty for a model not in the table.
std::optional<std::string> downloadAddressFor(const std::string& model);

// The version in the last line of `listText` that contains `model`: the value of the six characters after
// the line's first "=". 0 when no line matches; a value that does not start with a number reads as 0.
float latestVersionIn(const std::string& listText, const std::string& model);

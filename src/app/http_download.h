// Plain HTTP downloads into files in the working directory, for the update check.
#pragma once

#include <cstdint>
#include <string>

// Bodies above this size are abandoned: a version list is a few lines.
inline constexpr std::int64_t maximumDownloadBytes = 1024 * 1024;

// GET `url`, following redirects, into `path` (overwritten). Any status the server delivers counts as
// success. On failure (no connection, time-out after `timeoutMs` in all, redirect loop, body over the
// limit, write error) the partly written file is deleted and false returned.
bool downloadToFile(const std::string& url, const std::string& path, std::int64_t timeoutMs);

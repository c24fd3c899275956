// Paths stored in settings use "\" as the folder separator; on POSIX they are opened with "/".
#pragma once

#include <string>

std::string hostPath(const std::string& storedPath);
// Folder part of a host path ("" for a bare file name), with its trailing separator.
std::string folderOf(const std::string& hostFilePath);

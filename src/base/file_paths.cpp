#include "base/file_paths.h"

#include <algorithm>

std::string hostPath(const std::string& storedPath) {
#ifdef _WIN32
    return storedPath;
#else
    std::string path = storedPath;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
#endif
}

std::string folderOf(const std::string& hostFilePath) {
    const auto slash = hostFilePath.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : hostFilePath.substr(0, slash + 1);
}

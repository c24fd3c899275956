#include "base/safe_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/file_paths.h"

namespace {

bool writeAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t done = ::write(descriptor, bytes.data(), bytes.size());
        if (done < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(done));
    }
    return true;
}

FileWriteOutcome failed(int error) {
    return {false, std::strerror(error)};
}

} // namespace

FileWriteOutcome replaceFile(const std::string& path, std::string_view bytes) {
    const std::string target = hostPath(path);
    if (target.empty()) return failed(ENOENT);
    std::string temporary = target + ".XXXXXX";
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) return failed(errno);
    // mkstemp makes the file private; the result gets the permissions of any new file.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor, 0666 & ~mask);

    // The data must be on disk before the rename makes it the file of record.
    bool ok = writeAll(descriptor, bytes) && ::fsync(descriptor) == 0;
    int error = ok ? 0 : errno;
    if (::close(descriptor) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && std::rename(temporary.c_str(), target.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        std::remove(temporary.c_str());
        return failed(error);
    }
    return {true, {}};
}

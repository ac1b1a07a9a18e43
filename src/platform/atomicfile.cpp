#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>

#include "platform/profile.h"

namespace velmora::platform {

namespace {

namespace fs = std::filesystem;

bool Fail(std::string* error, const fs::path& path, const std::string& reason) {
    if (error) *error = path.string() + ": " + reason;
    return false;
}

std::string SystemReason(int code) {
    return std::strerror(code);
}

// Writes to the link's target, so replacing a linked file keeps the link; a
// link whose target does not exist yet gets that target created.
fs::path ResolveTarget(const fs::path& path) {
    fs::path target = path;
    for (int depth = 0; depth < 40; ++depth) {  // the kernel's own limit on link chains
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(target, ec))) return target;
        const fs::path next = fs::read_symlink(target, ec);
        if (ec) return target;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

std::string TempSuffix() {
    static std::atomic<unsigned> counter{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return "." + std::to_string(::getpid()) + "." + std::to_string(counter++) + "." +
           std::to_string(static_cast<unsigned long long>(now) % 1000000007ULL) + ".tmp";
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

void SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);  // best effort: the rename itself already happened
    ::close(fd);
}

}  // namespace

bool WriteFileAtomically(const fs::path& path, std::string_view bytes, std::string* error) {
    return WriteFileAtomically(path, bytes, ReadOnlyTarget::Refuse, error);
}

bool WriteFileAtomically(const fs::path& path, std::string_view bytes, ReadOnlyTarget readOnly,
                         std::string* error) {
    if (path.empty() || !path.has_filename()) return Fail(error, path, "no file name");
    const fs::path target = ResolveTarget(path);

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT) return Fail(error, target, SystemReason(errno));
    if (exists && !S_ISREG(old.st_mode)) return Fail(error, target, "not a regular file");
    if (exists && (old.st_mode & S_IWUSR) == 0 && readOnly == ReadOnlyTarget::Refuse) {
        return Fail(error, target, "the file is read-only");
    }

    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    fs::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder / ("." + target.filename().string() + TempSuffix());
        // 0666 lets the process's umask decide for a new file, as a plain open would.
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return Fail(error, target, SystemReason(errno));
    }
    if (fd < 0) return Fail(error, target, "no free temporary name");

    int failure = 0;
    if (exists) {
        // Owner and group only take where the process may set them (root, or the same
        // owner); the mode always carries over.
        (void)::fchown(fd, old.st_uid, old.st_gid);
        // A read-only file the user chose to replace is theirs to edit again:
        // left read-only, the next save would stop at the same question.
        mode_t mode = old.st_mode & 07777;
        if (readOnly == ReadOnlyTarget::Replace) mode |= S_IWUSR;
        if (::fchmod(fd, mode) != 0) failure = errno;
    }
    if (failure == 0 && !WriteAll(fd, bytes)) failure = errno;
    if (failure == 0 && ::fsync(fd) != 0) failure = errno;
    if (::close(fd) != 0 && failure == 0) failure = errno;
    if (failure == 0 && ::rename(temp.c_str(), target.c_str()) != 0) failure = errno;
    if (failure != 0) {
        ::unlink(temp.c_str());
        return Fail(error, target, SystemReason(failure));
    }
    SyncFolder(folder);
    return true;
}

}  // namespace velmora::platform

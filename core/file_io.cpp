#include "core/file_io.h"

#include "core/text_helpers.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace tallyrig {

namespace {

// An open descriptor that is closed on every path.
class FileHandle {
public:
    explicit FileHandle(int fd) : m_fd(fd) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    int get() const { return m_fd; }
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

// A write that returns 0 for a non-empty text makes no progress, so it counts as a failure
// rather than a reason to try for ever.
int write_all(int fd, std::string_view text, const WriteCalls& calls) {
    while (!text.empty()) {
        const ssize_t done = calls.write(fd, text.data(), text.size());
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done <= 0) {
            return done < 0 ? errno : ENOSPC;
        }
        text.remove_prefix(static_cast<std::size_t>(done));
    }
    return 0;
}

int error_or(bool ok, int error) {
    return ok ? 0 : (error != 0 ? error : EIO);
}

bool read_only(const struct stat& info, const std::filesystem::path& file) {
    // Root may write anything, so a file nobody may write counts as read-only too.
    return (info.st_mode & 0222) == 0 || ::access(file.c_str(), W_OK) != 0;
}

// Overwrites an existing file where its folder takes no sibling. The room for the whole text is
// taken first, so a full disk fails before a byte of the old text is lost.
WriteResult write_in_place(const std::filesystem::path& file, std::string_view text,
                           const WriteCalls& calls) {
    FileHandle fd(::open(file.c_str(), O_WRONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        return {errno};
    }
    if (!text.empty()) {
        if (const int error = ::posix_fallocate(fd.get(), 0, static_cast<off_t>(text.size()))) {
            return {error};
        }
    }
    if (const int error = write_all(fd.get(), text, calls)) {
        return {error};
    }
    if (::ftruncate(fd.get(), static_cast<off_t>(text.size())) != 0 || calls.fsync(fd.get()) != 0) {
        return {error_or(false, errno)};
    }
    const int raw = fd.release();
    return {error_or(calls.close(raw) == 0, errno)};
}

} // namespace

FileRead read_regular_file(const std::filesystem::path& file, std::string& text,
                           std::size_t max_bytes, mode_t* mode) {
    text.clear();
    FileHandle fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        return errno == ENOENT ? FileRead::Missing : FileRead::Failed;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return FileRead::Failed;
    }
    if (mode != nullptr) {
        *mode = info.st_mode & 07777;
    }
    if (static_cast<std::uintmax_t>(info.st_size) > max_bytes) {
        return FileRead::Failed;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return FileRead::Failed;
        }
        if (got == 0) {
            return FileRead::Read;
        }
        if (text.size() + static_cast<std::size_t>(got) > max_bytes) {
            return FileRead::Failed;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
}

std::string WriteResult::reason() const {
    if (error == EACCES || error == EPERM) {
        return "the file or its folder is read-only";
    }
    return std::strerror(error);
}

StagedFile::StagedFile(std::filesystem::path target, const WriteCalls& calls)
    : m_target(std::move(target)), m_calls(calls) {}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : m_target(std::move(other.m_target)), m_sibling(std::move(other.m_sibling)),
      m_calls(other.m_calls) {
    other.m_sibling.clear();
}

StagedFile::~StagedFile() {
    if (!m_sibling.empty()) {
        ::unlink(m_sibling.c_str());
    }
}

WriteResult StagedFile::write(std::string_view text, std::optional<mode_t> mode) {
    if (m_target.empty() || !m_sibling.empty()) {
        return {EINVAL};
    }
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::filesystem::path sibling = m_target;
        sibling += ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(random());
        // 0666 lets the umask decide for a new file, as any other file the program creates.
        FileHandle fd(::open(sibling.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd.get() < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return {errno};
        }
        m_sibling = std::move(sibling);
        int error = write_all(fd.get(), text, m_calls);
        if (error == 0 && mode) {
            error = error_or(::fchmod(fd.get(), *mode) == 0, errno);
        }
        // A full disk may show itself only when the data reaches it.
        if (error == 0) {
            error = error_or(m_calls.fsync(fd.get()) == 0, errno);
        }
        const int raw = fd.release();
        const bool closed = m_calls.close(raw) == 0;
        if (error == 0) {
            error = error_or(closed, errno);
        }
        return {error};
    }
    return {EEXIST};
}

WriteResult StagedFile::commit() {
    if (m_sibling.empty()) {
        return {EINVAL};
    }
    if (m_calls.rename(m_sibling.c_str(), m_target.c_str()) != 0) {
        return {error_or(false, errno)};
    }
    m_sibling.clear();
    return {};
}

WriteResult replace_file(const std::filesystem::path& file, std::string_view text,
                         const WriteCalls& calls) {
    if (file.empty()) {
        return {ENOENT};
    }
    std::filesystem::path target = file;
    std::error_code error;
    // Writing through a link changes the file it names, and the link stays.
    if (std::filesystem::is_symlink(target, error)) {
        target = std::filesystem::weakly_canonical(target, error);
        if (error) {
            return {error.value()};
        }
    }
    std::optional<mode_t> mode;
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) {
            return {S_ISDIR(info.st_mode) ? EISDIR : EINVAL};
        }
        if (read_only(info, target)) {
            return {EACCES};
        }
        mode = info.st_mode & 07777;
    } else if (errno != ENOENT) {
        return {errno};
    }
    StagedFile staged(target, calls);
    WriteResult result = staged.write(text, mode);
    if (mode && (result.error == EACCES || result.error == EPERM)) {
        return write_in_place(target, text, calls);
    }
    return result.ok() ? staged.commit() : result;
}

std::filesystem::path resolve_name_case(const std::filesystem::path& file) {
    struct stat info {};
    if (::lstat(file.c_str(), &info) == 0 || errno != ENOENT) {
        return file;
    }
    const std::string name = file.filename().string();
    if (name.empty()) {
        return file;
    }
    const std::filesystem::path folder = file.parent_path();
    std::error_code error;
    std::filesystem::directory_iterator entries(folder.empty() ? "." : folder, error);
    std::optional<std::string> match;
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        std::string candidate = entries->path().filename().string();
        if (same_text_ignoring_case(candidate, name) && (!match || candidate < *match)) {
            match = std::move(candidate);
        }
    }
    return match ? folder / *match : file;
}

std::filesystem::path resolve_path_case(const std::filesystem::path& file) {
    std::filesystem::path resolved;
    for (const std::filesystem::path& part : file) {
        resolved = part.has_root_path() ? part : resolve_name_case(resolved / part);
    }
    return resolved;
}

} // namespace tallyrig

#include "core/file_io.h"

#include "core/text_helpers.h"

#include <cerrno>
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
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool write_all(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t done = ::write(fd, text.data(), text.size());
        if (done < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(done));
    }
    return true;
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

bool replace_file(const std::filesystem::path& file, std::string_view text,
                  std::optional<mode_t> mode) {
    if (file.empty()) {
        return false;
    }
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::filesystem::path temp = file;
        temp += ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(random());
        // 0666 lets the umask decide for a new file, as any other file the program creates.
        FileHandle fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd.get() < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return false;
        }
        bool ok = write_all(fd.get(), text);
        if (ok && mode) {
            ok = ::fchmod(fd.get(), *mode) == 0;
        }
        ok = fd.close() && ok;
        ok = ok && ::rename(temp.c_str(), file.c_str()) == 0;
        if (!ok) {
            ::unlink(temp.c_str());
        }
        return ok;
    }
    return false;
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

// Ways for a test to make a write fail as a full disk does: a small file system of its own,
// filled to its last byte (only root may mount one; elsewhere tests skip), and system calls
// that fail at one step of a write.
#pragma once

#include "core/file_io.h"
#include "tests/support/temp_folder.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

namespace tallyrig::testing {

class FullDisk {
public:
    FullDisk() : m_root(m_folder.path() / "disk") {
        std::filesystem::create_directory(m_root);
        m_mounted = ::geteuid() == 0 && ::mount("tallyrig-test", m_root.c_str(), "tmpfs",
                                                MS_NOSUID | MS_NODEV, "size=256k,mode=0755") == 0;
    }
    ~FullDisk() {
        if (m_mounted) {
            ::umount2(m_root.c_str(), MNT_DETACH);
        }
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    bool available() const { return m_mounted; }
    const std::filesystem::path& path() const { return m_root; }

    // Takes every free byte, so that the next write finds no room.
    void fill() const {
        const std::filesystem::path filler = m_root / "filler";
        const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        const std::string block(4096, 'x');
        for (std::size_t size = block.size(); size > 0; size /= 2) {
            while (::write(fd, block.data(), size) == static_cast<ssize_t>(size)) {
            }
        }
        ::close(fd);
    }

private:
    TempFolder m_folder;
    std::filesystem::path m_root;
    bool m_mounted = false;
};

// The step of a write that fails, and calls that fail there as a full disk would.
enum class FailingStep { Write, WriteNothing, Sync, Close, Rename };

inline WriteCalls calls_failing_at(FailingStep step) {
    WriteCalls calls;
    switch (step) {
    case FailingStep::Write:
        calls.write = [](int, const void*, std::size_t) -> ssize_t {
            errno = ENOSPC;
            return -1;
        };
        break;
    case FailingStep::WriteNothing:
        calls.write = [](int, const void*, std::size_t) -> ssize_t { return 0; };
        break;
    case FailingStep::Sync:
        calls.fsync = [](int) {
            errno = ENOSPC;
            return -1;
        };
        break;
    case FailingStep::Close:
        // The descriptor is closed all the same, as the system does.
        calls.close = [](int fd) {
            ::close(fd);
            errno = EIO;
            return -1;
        };
        break;
    case FailingStep::Rename:
        calls.rename = [](const char*, const char*) {
            errno = EXDEV;
            return -1;
        };
        break;
    }
    return calls;
}

inline constexpr FailingStep kEveryFailingStep[] = {FailingStep::Write, FailingStep::WriteNothing,
                                                    FailingStep::Sync, FailingStep::Close,
                                                    FailingStep::Rename};

} // namespace tallyrig::testing

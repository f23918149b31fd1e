// Whole-file reads and writes with the care outside input needs: a read takes only a regular
// file (a FIFO in its place cannot hang the program) up to a size, and a write replaces the
// file in one rename, only once every byte is on the disk, so a failure part way (a full disk
// included) leaves the old file whole.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <unistd.h>

namespace tallyrig {

enum class FileRead { Read, Missing, Failed };

// The file's bytes; Failed for anything but a regular file, for a read error and for a file
// larger than max_bytes. mode, when asked for, receives the file's permission bits.
FileRead read_regular_file(const std::filesystem::path& file, std::string& text,
                           std::size_t max_bytes, mode_t* mode = nullptr);

// The system calls a write makes, so a test can hand in ones that fail (as a full disk
// would) and see that every failure leaves the old file whole.
struct WriteCalls {
    ssize_t (*write)(int fd, const void* data, std::size_t size) = ::write;
    int (*fsync)(int fd) = ::fsync;
    int (*close)(int fd) = ::close;
    int (*rename)(const char* from, const char* to) = ::rename;
};

// How a write ended: the errno of the step that failed, or 0.
struct WriteResult {
    int error = 0;
    bool ok() const { return error == 0; }
    // The reason in words, for a status line or a message box.
    std::string reason() const;
};

// A new text for a file, written whole to a sibling (and to the disk) before it takes the
// file's name, so that several files can change together. The sibling is removed unless it
// was committed.
class StagedFile {
public:
    explicit StagedFile(std::filesystem::path target, const WriteCalls& calls = {});
    StagedFile(StagedFile&& other) noexcept;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;
    StagedFile& operator=(StagedFile&&) = delete;
    ~StagedFile();

    // A new file's permissions come from the umask unless mode is given.
    WriteResult write(std::string_view text, std::optional<mode_t> mode = std::nullopt);
    // Gives the written sibling the target's name.
    WriteResult commit();

private:
    std::filesystem::path m_target;
    std::filesystem::path m_sibling; // empty when there is none to remove
    WriteCalls m_calls;
};

// Replaces a file with the text, whole or not at all: nothing changes when any step fails. A
// link is written through to the file it names and stays a link; an existing file keeps its
// permissions; a read-only file is refused (EACCES). Where the folder takes no new file, an
// existing file is written in place once the disk has room for the whole text.
WriteResult replace_file(const std::filesystem::path& file, std::string_view text,
                         const WriteCalls& calls = {});

// The file as named, or when no such name exists, the folder's entry whose name differs from
// it only in case (the smallest of several, so the choice does not depend on folder order).
std::filesystem::path resolve_name_case(const std::filesystem::path& file);

// The same for every part of the path, so a path kept in upper case finds its file again.
std::filesystem::path resolve_path_case(const std::filesystem::path& file);

} // namespace tallyrig

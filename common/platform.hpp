#pragma once
// The small layer of host services the suite needs beyond standard C++:
// byte-addressed raw files, file tests, deletion, directory search with a
// wildcard, directory creation, file copy and path joining. No shell is ever
// involved.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace common {

// A raw file handle, byte-addressed, unbuffered: what the gridding library's
// temporary and grid files are read and written through. Closed by its
// destructor; movable, not copyable.
class RawFile {
public:
    RawFile() = default;
    ~RawFile();
    RawFile(RawFile&& other) noexcept;
    RawFile& operator=(RawFile&& other) noexcept;
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    // Create, or truncate when it exists; opened for reading and writing.
    static RawFile create(const std::string& path);
    // Removes whatever has the name (a stale file, a link) and creates the
    // file anew, exclusively and never through a link: how the suite's
    // fixed-name temporary files are made.
    static RawFile createNew(const std::string& path);
    static RawFile openRead(const std::string& path);
    static RawFile openReadWrite(const std::string& path);

    bool isOpen() const { return descriptor_ >= 0; }
    // Transfer up to `bytes` at the current position; the count transferred
    // (0 at the end of the file, -1 on an error or a closed handle).
    std::int64_t read(void* data, std::int64_t bytes);
    std::int64_t write(const void* data, std::int64_t bytes);
    // Move to a byte offset from the start; the offset reached, -1 on failure.
    std::int64_t seek(std::int64_t offset);
    // Transfers at an offset without moving the current position.
    std::int64_t readAt(std::int64_t offset, void* data, std::int64_t bytes);
    std::int64_t writeAt(std::int64_t offset, const void* data, std::int64_t bytes);
    std::int64_t size() const;
    void close();

private:
    friend bool copyFile(const std::string& from, const std::string& to);
    explicit RawFile(int descriptor) : descriptor_(descriptor) {}
    int descriptor_ = -1;
};

// A file as the system knows it: one identity is one file, whatever the
// names that lead to it (spellings, symbolic and hard links).
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};
enum class FileKind {
    missing,  // nothing there, or a part of the path is no folder
    regular,
    other,    // a folder, a FIFO, a device, or a path that cannot be examined
};
struct FileStatus {
    FileKind kind = FileKind::missing;
    std::optional<FileIdentity> identity;  // whenever the file could be examined
};
FileStatus fileStatus(const std::string& path);
// True when both names lead to one file; false when either cannot be examined.
bool sameFile(const std::string& first, const std::string& second);

bool fileExists(const std::string& path);
bool directoryExists(const std::string& path);
// Deletes a file by name; false when it could not be deleted.
bool deleteFile(const std::string& path);
// Creates one directory; false when it could not be made (it may exist).
bool makeDirectory(const std::string& path);
// Copies a file byte for byte. The copy is written under a temporary name
// beside the target and renamed onto it when complete, so a failed copy never
// leaves a partial file under the target's name. A copy of a file onto itself
// (any spelling, links included) does nothing and succeeds.
bool copyFile(const std::string& from, const std::string& to);
// Joins a folder and a name with the native separator "/". An empty folder
// gives the name alone.
std::string joinPath(std::string_view folder, std::string_view name);
// The folder part of a path ("" when it has none) and the name part.
std::string folderOf(std::string_view path);
std::string nameOf(std::string_view path);

// Glob-style match of a bare name against a pattern of "*" (any run) and "?"
// (any one character). Case-sensitive.
bool matchWildcard(std::string_view pattern, std::string_view name);
// The bare names in the pattern's folder (the working folder when it has
// none) that match its name part, sorted by name: regular files in `files`,
// anything else that matches (a FIFO, a device, a folder) in `notRegular`.
struct FileSearch {
    std::vector<std::string> files;
    std::vector<std::string> notRegular;
};
FileSearch findFiles(std::string_view pattern);

}  // namespace common

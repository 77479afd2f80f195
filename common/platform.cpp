#include "common/platform.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace common {

namespace {

// Retries a transfer interrupted by a signal and completes short transfers,
// so a byte count comes back whole unless the file ends or fails.
template <typename Transfer>
std::int64_t transferAll(Transfer transfer, std::int64_t bytes) {
    std::int64_t done = 0;
    while (done < bytes) {
        const ssize_t n = transfer(done, static_cast<std::size_t>(bytes - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return done > 0 ? done : -1;
        }
        if (n == 0) break;
        done += n;
    }
    return done;
}

int openDescriptor(const std::string& path, int flags) {
    int descriptor;
    do {
        descriptor = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    } while (descriptor < 0 && errno == EINTR);
    return descriptor;
}

}  // namespace

RawFile::~RawFile() { close(); }

RawFile::RawFile(RawFile&& other) noexcept : descriptor_(other.descriptor_) { other.descriptor_ = -1; }

RawFile& RawFile::operator=(RawFile&& other) noexcept {
    if (this != &other) {
        close();
        descriptor_ = other.descriptor_;
        other.descriptor_ = -1;
    }
    return *this;
}

RawFile RawFile::create(const std::string& path) {
    return RawFile(openDescriptor(path, O_RDWR | O_CREAT | O_TRUNC));
}

RawFile RawFile::createNew(const std::string& path) {
    ::unlink(path.c_str());
    return RawFile(openDescriptor(path, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW));
}

RawFile RawFile::openRead(const std::string& path) { return RawFile(openDescriptor(path, O_RDONLY)); }

RawFile RawFile::openReadWrite(const std::string& path) { return RawFile(openDescriptor(path, O_RDWR)); }

std::int64_t RawFile::read(void* data, std::int64_t bytes) {
    if (descriptor_ < 0 || bytes < 0) return -1;
    char* target = static_cast<char*>(data);
    return transferAll([&](std::int64_t done, std::size_t count) { return ::read(descriptor_, target + done, count); },
                       bytes);
}

std::int64_t RawFile::write(const void* data, std::int64_t bytes) {
    if (descriptor_ < 0 || bytes < 0) return -1;
    const char* source = static_cast<const char*>(data);
    return transferAll(
        [&](std::int64_t done, std::size_t count) { return ::write(descriptor_, source + done, count); }, bytes);
}

std::int64_t RawFile::readAt(std::int64_t offset, void* data, std::int64_t bytes) {
    if (descriptor_ < 0 || bytes < 0 || offset < 0) return -1;
    char* target = static_cast<char*>(data);
    return transferAll(
        [&](std::int64_t done, std::size_t count) { return ::pread(descriptor_, target + done, count, offset + done); },
        bytes);
}

std::int64_t RawFile::writeAt(std::int64_t offset, const void* data, std::int64_t bytes) {
    if (descriptor_ < 0 || bytes < 0 || offset < 0) return -1;
    const char* source = static_cast<const char*>(data);
    return transferAll(
        [&](std::int64_t done, std::size_t count) { return ::pwrite(descriptor_, source + done, count, offset + done); },
        bytes);
}

std::int64_t RawFile::seek(std::int64_t offset) {
    if (descriptor_ < 0 || offset < 0) return -1;
    return ::lseek(descriptor_, static_cast<off_t>(offset), SEEK_SET);
}

std::int64_t RawFile::size() const {
    struct stat status {};
    if (descriptor_ < 0 || ::fstat(descriptor_, &status) != 0) return -1;
    return status.st_size;
}

void RawFile::close() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
        descriptor_ = -1;
    }
}

FileStatus fileStatus(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        const bool absent = errno == ENOENT || errno == ENOTDIR;
        return {absent ? FileKind::missing : FileKind::other, std::nullopt};
    }
    return {S_ISREG(status.st_mode) ? FileKind::regular : FileKind::other,
            FileIdentity{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)}};
}

bool sameFile(const std::string& first, const std::string& second) {
    const std::optional<FileIdentity> one = fileStatus(first).identity;
    return one && one == fileStatus(second).identity;
}

bool fileExists(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

bool directoryExists(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool deleteFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool makeDirectory(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0; }

namespace {

// Permissions a newly created file gets from the process's file mode mask.
mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool copyContents(RawFile& source, RawFile& target) {
#ifdef AEM_FUZZ_SMALL_BLOCKS
    std::vector<char> block(4096);  // fuzzing builds copy in small blocks, so each input stays quick
#else
    std::vector<char> block(1 << 20);
#endif
    for (;;) {
        const std::int64_t got = source.read(block.data(), static_cast<std::int64_t>(block.size()));
        if (got < 0) return false;
        if (got == 0) return true;
        if (target.write(block.data(), got) != got) return false;
    }
}

}  // namespace

bool copyFile(const std::string& from, const std::string& to) {
    RawFile source = RawFile::openRead(from);
    if (!source.isOpen()) return false;
    if (sameFile(from, to)) return true;  // already in place: copying would only empty it
    std::string hiddenName = ".";
    hiddenName += nameOf(to);
    hiddenName += ".partXXXXXX";
    std::string partial = joinPath(folderOf(to), hiddenName);
    const int descriptor = ::mkstemp(partial.data());
    if (descriptor < 0) return false;
    RawFile target(descriptor);
    const bool copied = copyContents(source, target) && ::fchmod(descriptor, newFileMode()) == 0;
    target.close();
    if (copied && ::rename(partial.c_str(), to.c_str()) == 0) return true;
    ::unlink(partial.c_str());
    return false;
}

std::string joinPath(std::string_view folder, std::string_view name) {
    if (folder.empty()) return std::string(name);
    std::string path(folder);
    if (path.back() != '/') path.push_back('/');
    path.append(name);
    return path;
}

std::string folderOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return {};
    if (slash == 0) return "/";
    return std::string(path.substr(0, slash));
}

std::string nameOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool matchWildcard(std::string_view pattern, std::string_view name) {
    // Iterative glob match with one backtrack point for the last "*": linear
    // enough for file names, and no recursion for hostile patterns.
    std::size_t p = 0, n = 0;
    std::size_t starPattern = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starName = n;
        } else if (starPattern != std::string_view::npos) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

FileSearch findFiles(std::string_view pattern) {
    const std::string folder = folderOf(pattern);
    const std::string namePattern = nameOf(pattern);
    FileSearch found;
    DIR* directory = ::opendir(folder.empty() ? "." : folder.c_str());
    if (directory == nullptr) return found;
    while (const dirent* entry = ::readdir(directory)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (!matchWildcard(namePattern, name)) continue;
        const bool regular = fileStatus(joinPath(folder, name)).kind == FileKind::regular;
        (regular ? found.files : found.notRegular).push_back(name);
    }
    ::closedir(directory);
    std::sort(found.files.begin(), found.files.end());
    std::sort(found.notRegular.begin(), found.notRegular.end());
    return found;
}

}  // namespace common

#include "fuzz_support.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "common/run_stop.hpp"

namespace fuzz {

namespace fs = std::filesystem;

std::string_view asText(const std::uint8_t* data, std::size_t size) {
    return size == 0 ? std::string_view() : std::string_view(reinterpret_cast<const char*>(data), size);
}

namespace {

const fs::path& scratchPath() {
    static const fs::path scratch = [] {
        std::string pattern = (fs::temp_directory_path() / "aemfuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        // The scratch folder goes when the fuzzer ends normally.
        std::atexit([] {
            std::error_code error;
            fs::remove_all(scratchPath(), error);
        });
        return fs::path(pattern);
    }();
    return scratch;
}

}  // namespace

ScratchFolder::ScratchFolder() : previous_(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (previous_ < 0) std::abort();
    const fs::path& scratch = scratchPath();
    fs::current_path(scratch);
    for (const fs::directory_entry& entry : fs::directory_iterator(scratch)) {
        // A target may leave a read-only file or folder behind.
        std::error_code error;
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, error);
        fs::remove_all(entry.path());
    }
}

ScratchFolder::~ScratchFolder() {
    if (::fchdir(previous_) != 0) std::abort();
    ::close(previous_);
}

void writeFile(const std::string& name, std::string_view bytes) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) std::abort();
}

InputPair splitPair(std::string_view text) {
    const std::size_t marker = text.find(kPairMarker);
    if (marker == std::string_view::npos) return {text, {}, false};
    return {text.substr(0, marker), text.substr(marker + kPairMarker.size()), true};
}

int runInProcess(int (*routine)(int, char**), std::initializer_list<std::string> arguments) {
    std::vector<std::string> texts(arguments);
    std::vector<char*> argv;
    for (std::string& text : texts) argv.push_back(text.data());
    argv.push_back(nullptr);
    try {
        return routine(static_cast<int>(texts.size()), argv.data());
    } catch (const common::RunStop& stop) {
        return stop.exitStatus();
    }
}

}  // namespace fuzz

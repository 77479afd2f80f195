#pragma once
// A fresh temporary folder that is the working folder for the scope of a
// test: programs and the gridding library write fixed names into the working
// folder, so every file-touching test runs in its own.
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace tests {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Path of a file in the folder.
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

// Whole file as bytes ("" when it does not exist).
std::string readFileBytes(const std::string& path);
// Writes bytes to a file, creating or truncating it.
void writeFileBytes(const std::string& path, const std::string& bytes);
// Runs a shell-free command line (program and arguments) with the given
// standard input text; captures standard output and standard error.
struct ProcessResult {
    int exitStatus = -1;
    std::string standardOutput;
    std::string standardError;
    int terminatingSignal = 0;  // the signal that ended the child, 0 when it exited
    bool timedOut = false;      // runProcessWithTimeout killed the child
};
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& standardInput = {});
// The same with a time limit: a child still running after `limit` is killed
// (SIGKILL), so that a program caught in a loop fails its test instead of
// hanging the suite.
ProcessResult runProcessWithTimeout(const std::string& program, const std::vector<std::string>& arguments,
                                    const std::string& standardInput, std::chrono::milliseconds limit);

}  // namespace tests

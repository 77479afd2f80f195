#include "support/temp_folder.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace tests {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        fs::path candidate = base / ("aemtest-" + std::to_string(::getpid()) + "-" +
                                     std::to_string(counter++));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            path_ = candidate;
            break;
        }
    }
    if (path_.empty()) throw std::runtime_error("cannot create a temporary folder");
    previous_ = fs::current_path();
    fs::current_path(path_);
}

TempFolder::~TempFolder() {
    std::error_code error;
    fs::current_path(previous_, error);
    fs::remove_all(path_, error);
}

std::string readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds left until `deadline` for poll(), -1 (wait for ever) without one.
int pollTimeout(const std::optional<Clock::time_point>& deadline) {
    if (!deadline) return -1;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - Clock::now());
    return left.count() <= 0 ? 0 : static_cast<int>(std::min<long long>(left.count(), 1000));
}

// Reads both pipes to their ends while feeding standard input, so that no
// side blocks on a full pipe. Past the deadline the child is killed; its
// pipes then close and the reading ends.
void pump(int inFd, const std::string& input, int outFd, int errFd, ProcessResult& result, pid_t child,
          const std::optional<Clock::time_point>& deadline) {
    std::size_t written = 0;
    if (input.empty()) {
        ::close(inFd);
        inFd = -1;
    }
    char chunk[65536];
    while (outFd >= 0 || errFd >= 0 || inFd >= 0) {
        pollfd fds[3];
        int count = 0;
        if (inFd >= 0) fds[count++] = {inFd, POLLOUT, 0};
        if (outFd >= 0) fds[count++] = {outFd, POLLIN, 0};
        if (errFd >= 0) fds[count++] = {errFd, POLLIN, 0};
        const int ready = ::poll(fds, static_cast<nfds_t>(count), result.timedOut ? -1 : pollTimeout(deadline));
        if (ready < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (ready == 0 && deadline && !result.timedOut && Clock::now() >= *deadline) {
            ::kill(child, SIGKILL);
            result.timedOut = true;
            if (inFd >= 0) {
                ::close(inFd);
                inFd = -1;
            }
            continue;
        }
        for (int i = 0; i < count; ++i) {
            if (fds[i].revents == 0) continue;
            if (fds[i].fd == inFd) {
                const ssize_t n = ::write(inFd, input.data() + written, input.size() - written);
                if (n > 0) written += static_cast<std::size_t>(n);
                if (n < 0 || written == input.size()) {
                    ::close(inFd);
                    inFd = -1;
                }
                continue;
            }
            const ssize_t n = ::read(fds[i].fd, chunk, sizeof chunk);
            std::string& target = fds[i].fd == outFd ? result.standardOutput : result.standardError;
            if (n > 0) {
                target.append(chunk, static_cast<std::size_t>(n));
            } else {
                ::close(fds[i].fd);
                (fds[i].fd == outFd ? outFd : errFd) = -1;
            }
        }
    }
}

ProcessResult runChild(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& standardInput, const std::optional<Clock::time_point>& deadline) {
    std::signal(SIGPIPE, SIG_IGN);
    int inPipe[2], outPipe[2], errPipe[2];
    if (::pipe(inPipe) != 0 || ::pipe(outPipe) != 0 || ::pipe(errPipe) != 0) {
        throw std::runtime_error("cannot create pipes");
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(inPipe[0], 0);
        ::dup2(outPipe[1], 1);
        ::dup2(errPipe[1], 2);
        for (int fd : {inPipe[0], inPipe[1], outPipe[0], outPipe[1], errPipe[0], errPipe[1]}) ::close(fd);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(inPipe[0]);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    ProcessResult result;
    pump(inPipe[1], standardInput, outPipe[0], errPipe[0], result, child, deadline);
    int status = 0;
    ::waitpid(child, &status, 0);
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (WIFSIGNALED(status)) result.terminatingSignal = WTERMSIG(status);
    return result;
}

}  // namespace

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& standardInput) {
    return runChild(program, arguments, standardInput, std::nullopt);
}

ProcessResult runProcessWithTimeout(const std::string& program, const std::vector<std::string>& arguments,
                                    const std::string& standardInput, std::chrono::milliseconds limit) {
    return runChild(program, arguments, standardInput, Clock::now() + limit);
}

}  // namespace tests

#include "lumsk/interrupt_cleanup.hpp"

#include <signal.h>
#include <unistd.h>

#include <array>
#include <csignal>

namespace lumsk {

namespace {

constexpr std::array<int, 2> kSignals = {SIGINT, SIGTERM};

// What the handler may touch: written before the handlers are installed and
// after they are removed, or through sig_atomic_t flags in between.
std::array<const char*, InterruptCleanup::kMaxFiles> gNames{};
std::size_t gNameCount = 0;
std::array<volatile std::sig_atomic_t, InterruptCleanup::kMaxFiles> gArmed{};
std::array<struct sigaction, kSignals.size()> gPrevious{};
std::array<bool, kSignals.size()> gInstalled{};

extern "C" void removeTemporaryFilesAndEnd(int signalNumber) {
    for (std::size_t i = 0; i < gNameCount; ++i) {
        if (gArmed[i] != 0) ::unlink(gNames[i]);
    }
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);  // delivered, with its default action, once the handler returns
}

}  // namespace

InterruptCleanup::InterruptCleanup(std::span<const char* const> names) {
    gNameCount = names.size() < kMaxFiles ? names.size() : kMaxFiles;
    for (std::size_t i = 0; i < gNameCount; ++i) {
        gNames[i] = names[i];
        gArmed[i] = 0;
    }
    struct sigaction action {};
    action.sa_handler = removeTemporaryFilesAndEnd;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : kSignals) sigaddset(&action.sa_mask, signalNumber);
    for (std::size_t s = 0; s < kSignals.size(); ++s) {
        gInstalled[s] = false;
        if (::sigaction(kSignals[s], nullptr, &gPrevious[s]) != 0) continue;
        if (gPrevious[s].sa_handler == SIG_IGN) continue;
        gInstalled[s] = ::sigaction(kSignals[s], &action, nullptr) == 0;
    }
}

InterruptCleanup::~InterruptCleanup() {
    for (std::size_t s = 0; s < kSignals.size(); ++s) {
        if (gInstalled[s]) ::sigaction(kSignals[s], &gPrevious[s], nullptr);
        gInstalled[s] = false;
    }
    for (std::size_t i = 0; i < gNameCount; ++i) gArmed[i] = 0;
    gNameCount = 0;
}

void InterruptCleanup::arm(std::size_t index) {
    if (index < gNameCount) gArmed[index] = 1;
}

void InterruptCleanup::disarm(std::size_t index) {
    if (index < gNameCount) gArmed[index] = 0;
}

}  // namespace lumsk

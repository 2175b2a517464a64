// A stand-in for the BBS's "DOOR32.DLL", for tests: the caller is the
// connected socket whose descriptor is in the environment variable
// DRAKMOOR_DOOR32_FD. The available handle is that socket itself; the
// offline handle is an eventfd signalled once a read or write finds the
// caller gone (at the end the socket also polls readable, and the read that
// follows signals offline).
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>

namespace {

int g_socket = -1;
int g_offline = -1;
std::atomic<int> g_shutdowns{0};

void go_offline() {
    uint64_t one = 1;
    if (::write(g_offline, &one, sizeof one) < 0) {
        // Already signalled as far as it can be.
    }
}

}  // namespace

extern "C" {

int DoorInitialize(void) {
    const char* fd = std::getenv("DRAKMOOR_DOOR32_FD");
    if (fd == nullptr) return 0;
    g_socket = std::atoi(fd);
    g_offline = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    return g_socket >= 0 && g_offline >= 0 ? 1 : 0;
}

int DoorShutdown(void) {
    ++g_shutdowns;
    ::close(g_offline);
    g_offline = -1;
    return 1;
}

int DoorWrite(const unsigned char* buffer, int count) {
    int done = 0;
    while (done < count) {
        ssize_t r = ::send(g_socket, buffer + done, static_cast<size_t>(count - done), MSG_NOSIGNAL);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) {
            go_offline();
            return 0;
        }
        done += static_cast<int>(r);
    }
    return 1;
}

int DoorRead(unsigned char* buffer, int maximum) {
    ssize_t r = ::recv(g_socket, buffer, static_cast<size_t>(maximum), MSG_DONTWAIT);
    if (r > 0) return static_cast<int>(r);
    if (r == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) go_offline();
    return 0;
}

int DoorGetAvailableEventHandle(void) { return g_socket; }

int DoorGetOfflineEventHandle(void) { return g_offline; }

// For the tests: how often DoorShutdown was called.
int StandinShutdowns(void) { return g_shutdowns.load(); }

}  // extern "C"

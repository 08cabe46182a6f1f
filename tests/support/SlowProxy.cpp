#include "SlowProxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

namespace {

constexpr int kPollMs = 50;

sockaddr_in Loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

// Copies what is waiting on one socket to the other; false when the connection has ended.
bool Pass(int from, int to)
{
    char buffer[16384];
    const auto count = ::read(from, buffer, sizeof buffer);
    if (count <= 0)
        return false;
    for (ssize_t sent = 0; sent < count;) {
        const auto written = ::write(to, buffer + sent, static_cast<std::size_t>(count - sent));
        if (written <= 0)
            return false;
        sent += written;
    }
    return true;
}

} // namespace

SlowProxy::SlowProxy(int upstreamPort, std::chrono::milliseconds delay)
    : upstreamPort_(upstreamPort), delay_(delay), listener_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
{
    auto address = Loopback(0);
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0 || ::listen(listener_, 4) != 0)
        std::abort();
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

SlowProxy::~SlowProxy()
{
    stop_ = true;
    thread_.join();
    ::close(listener_);
}

void SlowProxy::OnAccept(std::function<void()> hook)
{
    std::lock_guard lock(hookMutex_);
    onAccept_ = std::move(hook);
}

void SlowProxy::Serve()
{
    while (!stop_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (::poll(&waiting, 1, kPollMs) <= 0)
            continue;
        const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        {
            std::lock_guard lock(hookMutex_);
            if (onAccept_)
                onAccept_();
        }
        std::this_thread::sleep_for(delay_);
        Relay(client);
        ::close(client);
    }
}

void SlowProxy::Relay(int client)
{
    const int upstream = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    auto address = Loopback(upstreamPort_);
    if (::connect(upstream, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        while (!stop_) {
            pollfd sockets[2] = {{client, POLLIN, 0}, {upstream, POLLIN, 0}};
            if (::poll(sockets, 2, kPollMs) < 0)
                break;
            if ((sockets[0].revents & (POLLIN | POLLHUP)) && !Pass(client, upstream))
                break;
            if ((sockets[1].revents & (POLLIN | POLLHUP)) && !Pass(upstream, client))
                break;
        }
    }
    ::close(upstream);
}

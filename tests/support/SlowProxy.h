#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

// A listener on 127.0.0.1 that takes each connection, holds it for a moment, and then passes it on to
// an upstream port (or closes it when nothing listens there). It serves one connection at a time on
// a thread of its own until it is destroyed.
class SlowProxy {
public:
    SlowProxy(int upstreamPort, std::chrono::milliseconds delay);
    ~SlowProxy();
    SlowProxy(const SlowProxy&) = delete;
    SlowProxy& operator=(const SlowProxy&) = delete;

    int Port() const { return port_; }
    // Called on the proxy's thread as each connection arrives, before it is held.
    void OnAccept(std::function<void()> hook);

private:
    void Serve();
    void Relay(int client);

    int upstreamPort_;
    std::chrono::milliseconds delay_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex hookMutex_;
    std::function<void()> onAccept_;
    std::thread thread_;
};

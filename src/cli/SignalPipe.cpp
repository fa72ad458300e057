#include "SignalPipe.h"

#include <fcntl.h>
#include <sys/epoll.h>
#include <unistd.h>

#include <csignal>
#include <system_error>

namespace tandu::cli {

namespace {

int writeEnd = -1;

extern "C" void notePending(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(writeEnd, &byte, 1);
    errno = saved;
}

void setAction(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

SignalPipe::SignalPipe(EventLoop& loop, std::function<void()> onSignal)
    : loop_(loop), onSignal_(std::move(onSignal)) {
    if (::pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw std::system_error(errno, std::generic_category(), "pipe2");
    }
    writeEnd = fds_[1];
    watch_ = loop_.watch(fds_[0], EPOLLIN, [this](std::uint32_t) {
        char bytes[64];
        while (::read(fds_[0], bytes, sizeof bytes) > 0) {
        }
        onSignal_();
    });
    setAction(notePending);
}

SignalPipe::~SignalPipe() {
    setAction(SIG_DFL);
    writeEnd = -1;
    loop_.unwatch(watch_);
    ::close(fds_[0]);
    ::close(fds_[1]);
}

}  // namespace tandu::cli

#include "device/hid/HidrawDevice.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

std::unique_ptr<HidrawDevice> HidrawDevice::open(const QString& path, const HidDeviceInfo& info, int* error) {
    int fd;
    do
        fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (error)
            *error = errno;
        return nullptr;
    }
    return adopt(fd, info, error);
}

std::unique_ptr<HidrawDevice> HidrawDevice::adopt(int fd, const HidDeviceInfo& info, int* error) {
    const int stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stopFd < 0) {
        // Without it a listener could never be stopped; refuse the device instead.
        const int e = errno;
        ::close(fd);
        if (error)
            *error = e;
        return nullptr;
    }
    if (error)
        *error = 0;
    return std::unique_ptr<HidrawDevice>(new HidrawDevice(fd, stopFd, info));
}

HidrawDevice::HidrawDevice(int fd, int stopFd, const HidDeviceInfo& info)
    : fd(fd), stopFd(stopFd), deviceInfo(info) {}

HidrawDevice::~HidrawDevice() {
    ::close(stopFd);
    ::close(fd);
}

int HidrawDevice::featureReport(int fd, bool get, uint8_t* data, size_t size) {
    if (!data || size == 0 || size > MaxFeatureLength)
        return EINVAL;
    const unsigned long request = get ? HIDIOCGFEATURE(size) : HIDIOCSFEATURE(size);
    int result;
    do
        result = ::ioctl(fd, request, data);
    while (result < 0 && errno == EINTR);
    if (result < 0)
        return errno;
    // A short transfer would leave part of the report unsent, or stale bytes in the answer.
    return size_t(result) == size ? 0 : EIO;
}

int HidrawDevice::setFeature(const uint8_t* data, size_t size) {
    // The kernel only reads the buffer of a set request; featureReport takes a writable one for get.
    return featureReport(fd, false, const_cast<uint8_t*>(data), size);
}

int HidrawDevice::getFeature(uint8_t* data, size_t size) {
    return featureReport(fd, true, data, size);
}

int HidrawDevice::read(uint8_t* data, size_t size, size_t* received) {
    if (received)
        *received = 0;
    if (!data || size == 0)
        return EINVAL;
    for (;;) {
        if (stopped.load())
            return ECANCELED;
        pollfd fds[2] = {{fd, POLLIN, 0}, {stopFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (fds[1].revents != 0)
            return ECANCELED;
        if (fds[0].revents & POLLIN) {
            const ssize_t n = ::read(fd, data, size);
            if (n > 0) {
                if (received)
                    *received = size_t(n);
                return 0;
            }
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            // hidraw reports a removed device as EIO; end of file means the node has no writer left.
            if (n == 0 || errno == EIO || errno == ENODEV)
                return ENODEV;
            return errno;
        }
        if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL))
            return ENODEV;
    }
}

void HidrawDevice::stop() {
    stopped.store(true);
    const uint64_t one = 1;
    // Only fails when the counter is saturated, and then it is readable already.
    [[maybe_unused]] const ssize_t n = ::write(stopFd, &one, sizeof one);
}

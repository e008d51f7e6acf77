#include "platform/serial/SerialPort.h"

#include <cerrno>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace platform {

namespace {

speed_t SpeedFor(int baud)
{
    switch (baud) {
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    default: return B115200;
    }
}

} // namespace

SerialPort::~SerialPort()
{
    Close();
}

bool SerialPort::Open(const std::string& device, int baud)
{
    Close();
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        ::close(fd);
        return false;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSTOPB | PARENB);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, SpeedFor(baud));
    ::cfsetospeed(&tio, SpeedFor(baud));
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void SerialPort::Close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool SerialPort::Write(const uint8_t* data, size_t size)
{
    while (fd_ >= 0 && size > 0) {
        const ssize_t written = ::write(fd_, data, size);
        if (written < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return fd_ >= 0;
}

long SerialPort::Read(uint8_t* data, size_t capacity)
{
    if (fd_ < 0)
        return -1;
    const ssize_t got = ::read(fd_, data, capacity);
    if (got < 0)
        return errno == EAGAIN || errno == EINTR ? 0 : -1;
    return static_cast<long>(got);
}

} // namespace platform

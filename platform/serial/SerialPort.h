#pragma once
// A serial port in raw mode (8 data bits, no parity, one stop bit), read without blocking.
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class SerialPort {
public:
    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens the device at the baud rate (9600, 19200, 38400, 57600 or 115200).
    bool Open(const std::string& device, int baud);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    // Writes all bytes; false on failure.
    bool Write(const uint8_t* data, size_t size);
    // Reads what is waiting, up to `capacity`; 0 when nothing waits, -1 on failure.
    long Read(uint8_t* data, size_t capacity);

private:
    int fd_ = -1;
};

} // namespace platform

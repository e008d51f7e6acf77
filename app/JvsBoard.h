#pragma once
// The arcade input board on a serial line: framed requests (sync 0xE0, node, length, data,
// sum; 0xE0 and 0xD0 in the body escaped as 0xD0, byte - 1), one node addressed as 1, its
// switches read once per exchange.
#include "platform/serial/SerialPort.h"

#include <cstdint>
#include <string>
#include <vector>

struct JvsNode {
    int number = 0;
    uint8_t switches[2] = {};
};

class JvsBoard {
public:
    enum : int { ErrorSendOver = -4, ErrorConnect = -3, ErrorNodeOver = -2, Error = -1,
                 Init = 0, Idle = 1, Send = 2, Recv = 3 };
    static constexpr int kTimeoutPasses = 120;

    // Opens the port; true when the board is then in state Init.
    bool Open(const std::string& device);
    int State() const { return state_; }
    // Input reports ready since the last exchange.
    int InputCount() const { return inputCount_; }
    // The node with that number, or null.
    const JvsNode* Node(int number) const;
    // Advances the exchange: reads replies, then sends the next request.
    void SendOutputs();

private:
    void SendFrame(uint8_t node, const std::vector<uint8_t>& data);
    bool ReadReply(std::vector<uint8_t>& data);
    void HandleReply(const std::vector<uint8_t>& data);

    platform::SerialPort port_;
    int state_ = Error;
    int inputCount_ = 0;
    bool awaitingAddress_ = false;
    int waitedPasses_ = 0;
    bool nodePresent_ = false;
    JvsNode node_;
    std::vector<uint8_t> received_;
};

const char* JvsStateName(int state);
// "Node = 1\nSwitches = 0xAABB\n", or "Invalid Node" without a node.
std::string JvsNodeText(const JvsNode* node);

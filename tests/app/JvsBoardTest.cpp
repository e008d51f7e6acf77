// The arcade board over a pseudo-terminal with a fake board on the other end.
#include "app/JvsBoard.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

// Frames a reply from the board to the host (node 0), escaping as the line requires.
std::vector<uint8_t> Reply(const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> frame{0xE0};
    uint8_t sum = 0;
    auto put = [&](uint8_t b) {
        if (b == 0xE0 || b == 0xD0) {
            frame.push_back(0xD0);
            frame.push_back(static_cast<uint8_t>(b - 1));
        } else {
            frame.push_back(b);
        }
    };
    std::vector<uint8_t> body{0x00, static_cast<uint8_t>(data.size() + 1)};
    body.insert(body.end(), data.begin(), data.end());
    for (uint8_t b : body) {
        sum = static_cast<uint8_t>(sum + b);
        put(b);
    }
    put(sum);
    return frame;
}

struct FakeLine {
    FakeLine()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(master);
        unlockpt(master);
        termios tio{};
        tcgetattr(master, &tio);
        cfmakeraw(&tio);
        tcsetattr(master, TCSANOW, &tio);
    }
    ~FakeLine() { close(master); }
    std::vector<uint8_t> Drain()
    {
        std::vector<uint8_t> bytes(256);
        fcntl(master, F_SETFL, O_NONBLOCK);
        usleep(20000);
        const ssize_t got = read(master, bytes.data(), bytes.size());
        bytes.resize(got > 0 ? static_cast<size_t>(got) : 0);
        return bytes;
    }
    void Send(const std::vector<uint8_t>& bytes) { ASSERT_EQ(write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size())); }
    int master = -1;
};

} // namespace

TEST(JvsBoard, AddressesTheNodeThenReadsItsSwitches)
{
    FakeLine line;
    JvsBoard board;
    ASSERT_TRUE(board.Open(ptsname(line.master)));
    EXPECT_EQ(board.State(), JvsBoard::Init);

    board.SendOutputs(); // reset, then address assignment
    const std::vector<uint8_t> sent = line.Drain();
    const std::vector<uint8_t> expected{0xE0, 0xFF, 0x03, 0xF0, 0xD9, 0xCB, 0xE0, 0xFF, 0x03, 0xF1, 0x01, 0xF4};
    EXPECT_EQ(sent, expected);
    EXPECT_EQ(board.State(), JvsBoard::Recv);
    EXPECT_EQ(board.Node(1), nullptr);

    line.Send(Reply({0x01, 0x01}));
    usleep(20000);
    board.SendOutputs();
    ASSERT_EQ(board.State(), JvsBoard::Idle);
    ASSERT_NE(board.Node(1), nullptr);
    EXPECT_EQ(board.InputCount(), 0);

    board.SendOutputs(); // switch request to node 1
    EXPECT_EQ(line.Drain(), (std::vector<uint8_t>{0xE0, 0x01, 0x04, 0x20, 0x01, 0x01, 0x27}));
    line.Send(Reply({0x01, 0x01, 0x80, 0xE0})); // 0xE0 arrives escaped
    usleep(20000);
    board.SendOutputs();
    EXPECT_EQ(board.State(), JvsBoard::Idle);
    EXPECT_EQ(board.InputCount(), 1);
    EXPECT_EQ(JvsNodeText(board.Node(1)), "Node = 1\nSwitches = 0x80E0\n");
}

TEST(JvsBoard, BadSumIsAnErrorAndMissingPortCannotConnect)
{
    FakeLine line;
    JvsBoard board;
    ASSERT_TRUE(board.Open(ptsname(line.master)));
    board.SendOutputs();
    line.Drain();
    std::vector<uint8_t> reply = Reply({0x01, 0x01});
    reply.back() ^= 0x01;
    line.Send(reply);
    usleep(20000);
    board.SendOutputs();
    EXPECT_EQ(board.State(), JvsBoard::Error);

    JvsBoard absent;
    EXPECT_FALSE(absent.Open("/nonexistent/tty"));
    EXPECT_EQ(absent.State(), JvsBoard::ErrorConnect);
    EXPECT_STREQ(JvsStateName(absent.State()), "ErrorConnect");
    EXPECT_STREQ(JvsStateName(7), "Unknown");
    EXPECT_EQ(JvsNodeText(nullptr), "Invalid Node");
}

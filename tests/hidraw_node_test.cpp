// The real backend's transfer code, on a packet socket pair standing in for a hidraw node.
#include "hid/HidapiBackend.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace q9 {
namespace {

using namespace std::chrono;

struct SocketNode {
    int device = -1;
    std::shared_ptr<HidNode> node;

    SocketNode()
    {
        int fds[2];
        if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds) == 0) {
            node = makeHidrawNode(fds[0], {0x320F, 0x226E, 0x0102}, {0x01});
            device = fds[1];
        }
    }
    ~SocketNode()
    {
        if (device >= 0)
            ::close(device);
    }
};

TEST(HidrawNode, ReadsWholeReportsAndWrites)
{
    SocketNode s;
    ASSERT_TRUE(s.node);
    EXPECT_EQ(s.node->attributes().pid, 0x226E);
    const uint8_t report[] = {0x04, 1, 2, 3};
    ASSERT_EQ(::write(s.device, report, sizeof report), ssize_t(sizeof report));
    uint8_t in[64] = {};
    size_t n = 0;
    ASSERT_EQ(s.node->readReport(in, sizeof in, n, 100), IoStatus::Ok);
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(in[3], 3);

    const uint8_t out[] = {0x04, 9, 8};
    ASSERT_EQ(s.node->writeReport(out, sizeof out, 100), IoStatus::Ok);
    uint8_t got[8] = {};
    EXPECT_EQ(::read(s.device, got, sizeof got), 3);
    EXPECT_EQ(got[1], 9);
}

TEST(HidrawNode, ReadTimesOut)
{
    SocketNode s;
    ASSERT_TRUE(s.node);
    uint8_t in[64];
    size_t n = 7;
    const auto start = steady_clock::now();
    EXPECT_EQ(s.node->readReport(in, sizeof in, n, 200), IoStatus::Timeout);
    const auto took = duration_cast<milliseconds>(steady_clock::now() - start).count();
    EXPECT_GE(took, 195);
    EXPECT_LT(took, 400);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(s.node->readReport(in, sizeof in, n, 0), IoStatus::Timeout); // a poll, no wait
}

TEST(HidrawNode, AbortEndsAReadWithoutLimitAndEveryLaterTransfer)
{
    SocketNode s;
    ASSERT_TRUE(s.node);
    auto reader = std::async(std::launch::async, [&] {
        uint8_t in[64];
        size_t n = 0;
        return s.node->readReport(in, sizeof in, n, kWaitForever);
    });
    std::this_thread::sleep_for(milliseconds(50));
    s.node->abort();
    ASSERT_EQ(reader.wait_for(seconds(1)), std::future_status::ready);
    EXPECT_EQ(reader.get(), IoStatus::Aborted);
    uint8_t b[4] = {0x04};
    size_t n = 0;
    EXPECT_EQ(s.node->readReport(b, sizeof b, n, kWaitForever), IoStatus::Aborted);
    EXPECT_EQ(s.node->writeReport(b, sizeof b, 100), IoStatus::Aborted);
    EXPECT_FALSE(s.node->setOutputReport(b, sizeof b));
}

TEST(HidrawNode, DeviceGoneIsAnError)
{
    SocketNode s;
    ASSERT_TRUE(s.node);
    ::close(s.device);
    s.device = -1;
    uint8_t in[64];
    size_t n = 0;
    EXPECT_EQ(s.node->readReport(in, sizeof in, n, 1000), IoStatus::Error);
    EXPECT_EQ(s.node->writeReport(in, 8, 100), IoStatus::Error);
}

} // namespace
} // namespace q9

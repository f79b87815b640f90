#include "hid/CommandChannel.h"

#include "platform/Trace.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace q9 {

namespace {

constexpr uint32_t kStreamTimeoutMs = 500;
constexpr size_t kShootChunk = 56;
constexpr uint8_t kStatusFF = 0xFF;
constexpr uint8_t kStatusFE = 0xFE;
constexpr uint8_t kUnreachable = 0xAA;
constexpr int kMaxStaleReports = 32;

void traceReport(const char* title, const uint8_t* report)
{
    traceLazy([&] { return std::string(title) + "\n" + formatReportLines(report); });
}

} // namespace

uint16_t reportChecksum(const uint8_t* report)
{
    uint32_t sum = 0;
    for (size_t i = 3; i < kReportSize; ++i)
        sum += report[i];
    return static_cast<uint16_t>(sum);
}

std::string formatReportLines(const uint8_t* r)
{
    static const char* kLine =
        "%02x %02x %02x %02x   %02x %02x %02x %02x   %02x %02x %02x %02x   %02x %02x %02x %02x  "
        "%02x %02x %02x %02x  %02x %02x %02x %02x  %02x %02x %02x %02x  %02x %02x %02x %02x";
    std::string out;
    char line[160];
    for (int half = 0; half < 2; ++half) {
        const uint8_t* b = r + 32 * half;
        std::snprintf(line, sizeof line, kLine, b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8],
                      b[9], b[10], b[11], b[12], b[13], b[14], b[15], b[16], b[17], b[18], b[19], b[20],
                      b[21], b[22], b[23], b[24], b[25], b[26], b[27], b[28], b[29], b[30], b[31]);
        if (half)
            out += '\n';
        out += line;
    }
    return out;
}

CommandChannel::CommandChannel(std::shared_ptr<HidBackend> backend) : cable_(backend), receiver_(backend) {}

CommandChannel::~CommandChannel()
{
    cable_.close();
    receiver_.close();
}

void CommandChannel::setMode(int mode)
{
    receiverMode_ = mode == 2;
    chunkSize_ = mode == 2 ? 24 : 56;
}

bool CommandChannel::setBlockSize(size_t n)
{
    if (n > 512)
        return false;
    blockSize_ = n;
    return true;
}

void CommandChannel::setTimeouts(uint32_t cableMs, uint32_t receiverMs)
{
    cableTimeout_ = cableMs;
    receiverTimeout_ = receiverMs;
}

uint32_t CommandChannel::linkTimeout() const { return receiverMode_ ? receiverTimeout_.load() : cableTimeout_.load(); }

// Reads at most two reports for one request. A report whose command byte differs is a late answer
// to an earlier request; two of them mean this request got no answer.
int CommandChannel::readAnswer(HidTransport& t, const uint8_t* request, uint8_t* answer, uint32_t timeoutMs)
{
    int result = ResultNoAnswer;
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::memset(answer, 0, kReportSize);
        if (!t.read(answer, kReportSize, nullptr, timeoutMs)) {
            result = ResultNoAnswer;
            continue;
        }
        if (answer[3] == request[3])
            return ResultOk;
        if (receiverMode_ && answer[3] == kUnreachable)
            return ResultUnreachable;
        result = ResultNoAnswer;
    }
    return result;
}

int CommandChannel::exchange(const uint8_t* request, size_t length, uint8_t* answer, size_t answerLength)
{
    if (suspended_)
        return ResultOk;
    busy_ = true;
    int result = ResultNoAnswer;
    if (isOpen_ && request) {
        uint8_t req[kReportSize] = {};
        std::memcpy(req, request, std::min(length, kReportSize));
        traceReport("命令", req);
        uint8_t ans[kReportSize] = {};
        {
            std::lock_guard io(ioLock_);
            HidTransport& t = receiverMode_ ? receiver_ : cable_;
            const uint32_t timeout = linkTimeout();
            // Answers left over from a request that timed out would be taken for this one's.
            for (int i = 0; i < kMaxStaleReports && t.read(ans, kReportSize, nullptr, 0); ++i) {
            }
            if (!t.write(req, kReportSize, nullptr, timeout))
                result = ResultWriteFailed;
            else
                result = readAnswer(t, req, ans, timeout);
        }
        if (result != ResultWriteFailed) {
            traceReport("返回", ans);
            if (answer)
                std::memcpy(answer, ans, std::min(answerLength, kReportSize));
        }
    }
    busy_ = false;
    return result;
}

int CommandChannel::streamChunk(const uint8_t* req, uint8_t* ans)
{
    std::lock_guard io(ioLock_);
    if (!receiverMode_) {
        const uint32_t timeout = cableTimeout_.load();
        if (!cable_.write(req, kReportSize, nullptr, timeout))
            return ResultWriteFailed;
        return readAnswer(cable_, req, ans, timeout);
    }
    if (!streamWritePath_ || !streamReadPath_ || streamWritePath_->empty() || streamReadPath_->empty())
        return ResultNoAnswer;
    const uint32_t timeout = std::min(kStreamTimeoutMs, receiverTimeout_.load());
    if (!receiver_.open(*streamWritePath_, true, true, true, false))
        return ResultWriteFailed;
    if (!receiver_.write(req, kReportSize, nullptr, timeout))
        return ResultWriteFailed;
    if (!receiver_.open(*streamReadPath_, true, true, true, false))
        return ResultNoAnswer;
    return readAnswer(receiver_, req, ans, timeout);
}

int CommandChannel::streamExchange(const uint8_t* request, size_t length, uint8_t* answer, size_t answerLength)
{
    if (suspended_)
        return ResultOk;
    if (!isOpen_ || !request)
        return ResultNoAnswer;
    uint8_t req[kReportSize] = {};
    std::memcpy(req, request, std::min(length, kReportSize));
    uint8_t ans[kReportSize] = {};
    const int result = streamChunk(req, ans);
    if (answer)
        std::memcpy(answer, ans, std::min(answerLength, kReportSize));
    return result;
}

int CommandChannel::framed(const uint8_t* request, uint8_t* answer, Lock lock, bool stream)
{
    int result;
    if (lock == Lock::None) {
        result = exchange(request, kReportSize, answer, kReportSize);
    } else {
        std::lock_guard guard(lock == Lock::Stream ? streamLock_ : commandLock_);
        result = stream ? streamExchange(request, kReportSize, answer, kReportSize)
                        : exchange(request, kReportSize, answer, kReportSize);
    }
    if (result != ResultOk)
        return result;
    if (suspended_)
        return ResultOk; // nothing was sent, there is no answer to judge
    if (answer[7] == kStatusFF)
        return ResultStatusFF;
    if (answer[7] == kStatusFE)
        return ResultStatusFE;
    return ResultOk;
}

int CommandChannel::transfer(uint8_t code, uint32_t address, uint8_t* data, size_t n, Dir dir,
                             size_t chunk, Lock lock, bool stream)
{
    // A suspended device is not asked anything: a read would "succeed" with no data behind it.
    if (dir == Dir::Read && suspended_)
        return ResultNoAnswer;
    // The request buffer is cleared once per transfer: bytes after a shorter chunk's payload keep
    // what the previous chunk left there, and the checksum covers them as they are.
    uint8_t req[kReportSize] = {};
    req[0] = kCommandReportId;
    req[3] = code;
    uint8_t ans[kReportSize];
    size_t offset = 0;
    do {
        const size_t size = std::min(chunk, n - offset);
        const uint32_t at = address + uint32_t(offset);
        req[4] = static_cast<uint8_t>(size);
        req[5] = static_cast<uint8_t>(at);
        req[6] = static_cast<uint8_t>(at >> 8);
        req[7] = 0;
        if (dir == Dir::Write && size)
            std::memcpy(req + 8, data + offset, size);
        const uint16_t sum = reportChecksum(req);
        req[1] = static_cast<uint8_t>(sum);
        req[2] = static_cast<uint8_t>(sum >> 8);
        if (stream && busy_) {
            trace("放弃灯光数据"); // a command exchange runs; this frame is dropped
        } else {
            const int r = framed(req, ans, lock, stream);
            if (r != ResultOk)
                return r;
            if (dir == Dir::Read && size)
                std::memcpy(data + offset, ans + 8, size);
        }
        offset += size;
    } while (offset < n);
    return ResultOk;
}

int CommandChannel::beginConfig() { return transfer(0x01, 0, nullptr, 0, Dir::None, kMaxPayload, Lock::Command, false); }

int CommandChannel::endConfig()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return transfer(0x02, 0, nullptr, 0, Dir::None, kMaxPayload, Lock::Command, false);
}

int CommandChannel::readDeviceInfo(uint8_t* info34)
{
    return transfer(0x03, 0, info34, 34, Dir::Read, chunkSize_, Lock::Command, false);
}

int CommandChannel::readSettings(uint16_t address, uint8_t* out, size_t n)
{
    return transfer(0x05, address, out, n, Dir::Read, chunkSize_, Lock::Command, false);
}

int CommandChannel::writeSettings(uint16_t address, const uint8_t* data, size_t n)
{
    return transfer(0x06, address, const_cast<uint8_t*>(data), n, Dir::Write, chunkSize_, Lock::Command, false);
}

int CommandChannel::readKeyBlock(uint8_t* out)
{
    return transfer(0x07, 0, out, blockSize_, Dir::Read, chunkSize_, Lock::Command, false);
}

int CommandChannel::writeKeyBlock(int profile, uint16_t offset, const uint8_t* data)
{
    if (profile != 0)
        return ResultBadProfile;
    return transfer(0x09, 512u * uint32_t(profile) + offset, const_cast<uint8_t*>(data), blockSize_,
                    Dir::Write, chunkSize_, Lock::Command, false);
}

int CommandChannel::readPage(uint16_t p, uint16_t s, uint8_t* out, size_t n)
{
    return transfer(0x0A, uint32_t(p) * s, out, n, Dir::Read, chunkSize_, Lock::Command, false);
}

int CommandChannel::writePage(uint16_t p, uint16_t s, const uint8_t* data, size_t n)
{
    return transfer(0x0B, uint32_t(p) * s, const_cast<uint8_t*>(data), n, Dir::Write, chunkSize_,
                    Lock::Stream, false);
}

int CommandChannel::writeLightFrame(const uint8_t* data, size_t n)
{
    return transfer(0x12, 0, const_cast<uint8_t*>(data), n, Dir::Write, chunkSize_, Lock::Stream, true);
}

int CommandChannel::writeMacroMemory(const uint8_t* data, size_t n)
{
    return transfer(0x15, 0, const_cast<uint8_t*>(data), n, Dir::Write, chunkSize_, Lock::Command, false);
}

int CommandChannel::writeShootMemory(const uint8_t* data, size_t n)
{
    return transfer(0x17, 0, const_cast<uint8_t*>(data), n, Dir::Write, kShootChunk, Lock::None, false);
}

int CommandChannel::readStatus(uint16_t address, uint8_t* out, size_t count)
{
    if (count > kMaxPayload)
        return ResultNoAnswer;
    // One report whatever its length: the chunk is the whole read.
    return transfer(0x1A, address, out, count, Dir::Read, kMaxPayload, Lock::Command, false);
}

int CommandChannel::readThirdBlock(uint8_t* out)
{
    return transfer(0x1B, 0, out, blockSize_ / 3, Dir::Read, chunkSize_, Lock::Command, false);
}

int CommandChannel::hostLightOn() { return transfer(0x1C, 0, nullptr, 0, Dir::None, kMaxPayload, Lock::Command, false); }

bool CommandChannel::linkQuery()
{
    if (!receiverMode_)
        return true;
    if (suspended_ || !isOpen_)
        return false;
    uint8_t req[kReportSize] = {};
    req[0] = kCommandReportId;
    req[3] = 0xAA;
    const uint16_t sum = reportChecksum(req);
    req[1] = static_cast<uint8_t>(sum);
    req[2] = static_cast<uint8_t>(sum >> 8);
    uint8_t ans[kReportSize] = {};
    return framed(req, ans, Lock::Command, false) == ResultOk && ans[8] == 0xFF;
}

} // namespace q9

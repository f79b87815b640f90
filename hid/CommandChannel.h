#pragma once
// The vendor protocol of the 0x320F devices: 64-byte requests, each answered by a 64-byte report of
// the same layout, framed and checksummed, sent whole or in chunks over the cable or the receiver.
#include "hid/HidTransport.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace q9 {

// Result codes of device operations.
enum CommandResult : int {
    ResultOk = 1,
    ResultNoAnswer = 0,        // not open, no answer, timed out, or stopped by a guard
    ResultWriteFailed = -1,
    ResultUnreachable = -101,  // the receiver answered for a device it cannot reach
    ResultStatusFF = -102,
    ResultStatusFE = -103,
    ResultBadProfile = -201,   // key block write for a profile other than 0
};

constexpr size_t kReportSize = 64;
constexpr uint8_t kCommandReportId = 0x04;
constexpr size_t kMaxPayload = kReportSize - 8;

// Sum of bytes 3..63; bytes 1 and 2 of a request hold its low 16 bits.
uint16_t reportChecksum(const uint8_t* report);
// The two 32-byte lines that the traces show for a report.
std::string formatReportLines(const uint8_t* report);

class CommandChannel {
public:
    explicit CommandChannel(std::shared_ptr<HidBackend> backend);
    ~CommandChannel();
    CommandChannel(const CommandChannel&) = delete;
    CommandChannel& operator=(const CommandChannel&) = delete;

    // Mode 2: receiver (24-byte chunks); anything else: cable (56-byte chunks).
    void setMode(int mode);
    bool receiverMode() const { return receiverMode_.load(); }
    size_t chunkSize() const { return chunkSize_.load(); }

    bool setBlockSize(size_t n); // refused above 512
    size_t blockSize() const { return blockSize_.load(); }

    void setOpen(bool open) { isOpen_ = open; }
    bool isOpen() const { return isOpen_.load(); }
    void setSuspended(bool on) { suspended_ = on; }
    bool suspended() const { return suspended_.load(); }
    bool busy() const { return busy_.load(); }

    // References to the live-list path strings used by the light stream in receiver mode.
    void setStreamWritePath(const std::wstring* path) { streamWritePath_ = path; }
    void setStreamReadPath(const std::wstring* path) { streamReadPath_ = path; }

    HidTransport& cableTransport() { return cable_; }
    HidTransport& receiverTransport() { return receiver_; }
    std::recursive_mutex& ioLock() { return ioLock_; }
    std::recursive_mutex& spareLock() { return spareLock_; }

    // Per-report time-outs of the two links (1000 and 5000 ms); tests shorten them.
    void setTimeouts(uint32_t cableMs, uint32_t receiverMs);

    // One framed exchange: request padded or cut to 64 bytes, answer of up to 64 bytes.
    int exchange(const uint8_t* request, size_t length, uint8_t* answer, size_t answerLength);
    // One chunk of the light stream.
    int streamExchange(const uint8_t* request, size_t length, uint8_t* answer, size_t answerLength);

    // The command table.
    int beginConfig();                                                        // 0x01
    int endConfig();                                                          // 0x02
    int readDeviceInfo(uint8_t* info34);                                      // 0x03
    int readSettings(uint16_t address, uint8_t* out, size_t n);               // 0x05
    int writeSettings(uint16_t address, const uint8_t* data, size_t n);       // 0x06
    int readKeyBlock(uint8_t* out);                                           // 0x07, blockSize bytes
    int writeKeyBlock(int profile, uint16_t offset, const uint8_t* data);     // 0x09, blockSize bytes
    int readPage(uint16_t p, uint16_t s, uint8_t* out, size_t n);             // 0x0A
    int writePage(uint16_t p, uint16_t s, const uint8_t* data, size_t n);     // 0x0B
    int writeLightFrame(const uint8_t* data, size_t n);                       // 0x12
    int writeMacroMemory(const uint8_t* data, size_t n);                      // 0x15
    int writeShootMemory(const uint8_t* data, size_t n);                      // 0x17
    int readStatus(uint16_t address, uint8_t* out, size_t count);             // 0x1A
    int readThirdBlock(uint8_t* out);                                         // 0x1B, blockSize/3 bytes
    int hostLightOn();                                                        // 0x1C
    bool linkQuery();                                                         // 0xAA

private:
    enum class Lock { Command, Stream, None };
    enum class Dir { None, Read, Write };

    int transfer(uint8_t code, uint32_t address, uint8_t* data, size_t n, Dir dir, size_t chunk,
                 Lock lock, bool stream);
    int framed(const uint8_t* request, uint8_t* answer, Lock lock, bool stream);
    int readAnswer(HidTransport& t, const uint8_t* request, uint8_t* answer, uint32_t timeoutMs);
    int streamChunk(const uint8_t* request, uint8_t* answer);
    uint32_t linkTimeout() const;

    std::atomic<size_t> blockSize_{512};
    std::atomic<bool> busy_{false};
    std::atomic<bool> isOpen_{false};
    std::atomic<bool> receiverMode_{false};
    std::atomic<size_t> chunkSize_{24};
    const std::wstring* streamWritePath_ = nullptr;
    const std::wstring* streamReadPath_ = nullptr;
    std::atomic<bool> suspended_{false};
    HidTransport cable_;
    HidTransport receiver_;
    std::recursive_mutex ioLock_;
    std::recursive_mutex spareLock_;
    std::recursive_mutex commandLock_;
    std::recursive_mutex streamLock_;
    std::atomic<uint32_t> cableTimeout_{1000};
    std::atomic<uint32_t> receiverTimeout_{5000};
};

} // namespace q9

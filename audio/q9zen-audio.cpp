// q9zen-audio: records what the desktop plays and sends it to the configuration program for the
// keyboard's audio lighting. It waits for the program's start command, records only while
// something plays, and sends a sample block for every stretch of sound and an auxiliary block with
// the colour levels of the user's audio style.
#include "audio/AudioBands.h"
#include "audio/PulseCapture.h"
#include "audio/FrequencyBlocks.h"
#include "platform/AudioCaptureLink.h"
#include "platform/LocalChannel.h"
#include "platform/Trace.h"

#include <QCoreApplication>
#include <QLocalSocket>
#include <QLockFile>
#include <QMetaObject>

#include <array>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

using namespace q9;

// The program's socket, kept open while blocks flow and opened again when the program dropped it.
class ProgramLink {
public:
    void send(uint64_t dwData, const std::vector<uint8_t>& bytes)
    {
        if (socket_.state() != QLocalSocket::ConnectedState) {
            socket_.abort();
            socket_.connectToServer(defaultChannelName());
            if (!socket_.waitForConnected(200))
                return; // the program is gone; the next block tries again
        }
        IpcMessage m;
        m.number = 0x004A; // WM_COPYDATA
        m.isCopyData = true;
        m.dwData = dwData;
        m.bytes = bytes;
        const std::vector<uint8_t> frame = encodeIpcMessage(m, false);
        socket_.write(reinterpret_cast<const char*>(frame.data()), qint64(frame.size()));
        socket_.flush();
    }

private:
    QLocalSocket socket_;
};

class Companion : public QObject {
public:
    Companion()
        : capture_("q9zen-audio", [this](const int16_t* s, size_t frames, int channels) { onFrames(s, frames, channels); }),
          blocks_(capture_.sampleRate())
    {
    }

    IpcReply command(const IpcMessage& m)
    {
        if (m.isCopyData && m.dwData == kAudioStyleBlock) {
            // The user's audio style: the red, green and blue levels (0-9).
            for (size_t c = 0; c < 3; ++c) {
                int32_t v = 0;
                if (m.bytes.size() >= 4 * c + 4)
                    std::memcpy(&v, m.bytes.data() + 4 * c, 4);
                style_[c] = std::clamp(v, 0, 9);
            }
            sendStyle();
            return {};
        }
        if (m.name != kAudioCaptureCommand)
            return {};
        switch (m.wParam) {
        case kAudioHello:
            trace("q9zen-audio: greeted");
            break;
        case kAudioStart:
            if (!capture_.connect())
                std::fprintf(stderr, "q9zen-audio: no sound server to record from\n");
            capture_.setWanted(true);
            sendStyle();
            break;
        case kAudioStop:
            capture_.setWanted(false);
            break;
        case kAudioRelease:
            capture_.disconnect();
            break;
        case kAudioQuit:
            QCoreApplication::quit();
            break;
        case kAudioRed:
        case kAudioGreen:
        case kAudioBlue:
            style_[size_t(m.wParam - kAudioRed)] = int32_t(std::clamp<int64_t>(m.lParam, 0, 9));
            sendStyle();
            break;
        default:
            break;
        }
        return {};
    }

private:
    // On the sound server's thread: blocks are made here and sent from the main thread.
    void onFrames(const int16_t* samples, size_t frames, int channels)
    {
        blocks_.addFrames(samples, frames, channels, [this](const audio::Magnitudes& m) {
            std::vector<uint8_t> bytes(audio::kSampleBlockBytes, 0);
            for (size_t i = 0; i < m.size(); ++i) {
                const uint32_t v = uint32_t(m[i]);
                bytes[4 * i] = uint8_t(v);
                bytes[4 * i + 1] = uint8_t(v >> 8);
                bytes[4 * i + 2] = uint8_t(v >> 16);
                bytes[4 * i + 3] = uint8_t(v >> 24);
            }
            QMetaObject::invokeMethod(this, [this, bytes = std::move(bytes)] { program_.send(1, bytes); }, Qt::QueuedConnection);
        });
    }

    // The style's levels 0-9 as the colour the host-colour effect shows.
    void sendStyle()
    {
        std::vector<uint8_t> bytes(audio::kAuxBlockBytes, 0);
        for (size_t c = 0; c < 3; ++c)
            bytes[4 * c] = uint8_t(style_[c] * 255 / 9);
        program_.send(2, bytes);
    }

    audio::PulseCapture capture_;
    audio::FrequencyBlocks blocks_;
    ProgramLink program_;
    std::array<int32_t, 3> style_{9, 9, 9};
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("q9zen-audio"));
    QLockFile lock(audioCaptureLockPath());
    if (!lock.tryLock(0)) {
        std::fprintf(stderr, "q9zen-audio: already running\n");
        return 0;
    }
    Companion companion;
    IpcServer server([&](const IpcMessage& m) { return companion.command(m); });
    if (!server.listen(audioCaptureChannelName())) {
        std::fprintf(stderr, "q9zen-audio: cannot listen on %s\n", qPrintable(audioCaptureChannelName()));
        return 1;
    }
    return app.exec();
}

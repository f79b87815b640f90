#include "platform/AudioCaptureLink.h"

#include "platform/Folders.h"
#include "platform/LocalChannel.h"

#include <QLockFile>

#include <csignal>

namespace q9 {

namespace {
const QString kBase = QStringLiteral("Q9 Zen 1K Gaming MouseAudioRecord");
}

QString audioCaptureChannelName() { return folders::runtimeFolder() + kBase + QStringLiteral(".socket"); }

QString audioCaptureLockPath() { return folders::runtimeFolder() + kBase + QStringLiteral(".lock"); }

bool audioCaptureRunning()
{
    QLockFile lock(audioCaptureLockPath());
    qint64 pid = 0;
    QString host, app;
    if (!lock.getLockInfo(&pid, &host, &app) || pid <= 0)
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

bool sendAudioCaptureCommand(uint64_t code, int64_t value)
{
    IpcMessage m;
    m.name = kAudioCaptureCommand;
    m.wParam = code;
    m.lParam = value;
    return sendIpcMessage(m, nullptr, 1000, audioCaptureChannelName());
}

bool sendAudioCaptureStyle(int32_t red, int32_t green, int32_t blue)
{
    IpcMessage m;
    m.number = 0x004A; // WM_COPYDATA
    m.isCopyData = true;
    m.dwData = kAudioStyleBlock;
    m.bytes.assign(kAudioStyleBytes, 0);
    const int32_t rgb[3] = {red, green, blue};
    for (size_t c = 0; c < 3; ++c)
        for (size_t b = 0; b < 4; ++b)
            m.bytes[4 * c + b] = uint8_t(uint32_t(rgb[c]) >> (8 * b));
    return sendIpcMessage(m, nullptr, 1500, audioCaptureChannelName());
}

} // namespace q9

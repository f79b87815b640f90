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

} // namespace q9

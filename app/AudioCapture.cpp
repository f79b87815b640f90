// The main window's side of the audio capture companion: the greeting and shut-down commands, and
// the sample and auxiliary blocks it sends, reduced to band levels for the first keyboard.
#include "app/MainWnd.h"
#include "audio/AudioBands.h"
#include "device/KeyboardDevice.h"
#include "platform/AudioCaptureLink.h"
#include "platform/Trace.h"

#include "app/MusicWnd.h"
#include "device/DeviceEnvironment.h"
#include "platform/Folders.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

namespace q9::app {

namespace {
std::wstring wide(const QString& s) { return s.toStdWString(); }
}

void CMainWnd::greetAudioCapture()
{
    // The companion learns which program greets it; it sends its blocks to the program's socket.
    sendAudioCommands({{0, int64_t(QCoreApplication::applicationPid())}, {3, 0}, {1, 0}});
}

void CMainWnd::closeAudioCapture() { sendAudioCommands({{2, 0}, {4, 0}, {5, 0}}); }

void CMainWnd::sendAudioCommands(std::initializer_list<std::pair<uint64_t, int64_t>> commands)
{
    if (!audioCaptureRunning())
        return; // not running: nothing is sent
    for (const auto& [code, value] : commands)
        sendAudioCaptureCommand(code, value);
}

void CMainWnd::ensureAudioCapture()
{
    if (!startsAudioCapture_ || keyboards_.empty() || audioCaptureRunning())
        return;
    const QString companion = QCoreApplication::applicationDirPath() + QStringLiteral("/q9zen-audio");
    if (!QFileInfo(companion).isExecutable())
        return;
    // Detached: it ends when the program tells it to, and has no console to write to.
    QProcess process;
    process.setProgram(companion);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!process.startDetached())
        return;
    trace("尝试生成程序");
    // Greeted once it listens; it takes a moment to start.
    auto* waiting = new QTimer(this);
    waiting->setInterval(100);
    connect(waiting, &QTimer::timeout, this, [this, waiting, tries = 0]() mutable {
        if (audioCaptureRunning() && QFileInfo::exists(audioCaptureChannelName())) {
            greetAudioCapture();
            if (audioStyles_)
                SendAudioStyle(audioStyles_->record());
        } else if (++tries < 20) {
            return;
        }
        waiting->stop();
        waiting->deleteLater();
    });
    waiting->start();
}

void CMainWnd::LoadAudioDocument()
{
    const std::wstring user = wide(folders::userDataFolder()) + L"AudioFile.json";
    audioStyles_ = std::make_unique<AudioStyleFile>(user, deviceEnvironment().programFolder + L"DefaultData/AudioFile.json");
    audioStyles_->Load();
    SendAudioStyle(audioStyles_->record());
}

void CMainWnd::ResetAudioDocument()
{
    if (audioStyles_)
        audioStyles_->Reset(); // sent at the next start or the next OK of the music window
}

void CMainWnd::SendAudioStyle(const AudioStyleRecord& record)
{
    std::array<int32_t, 3> rgb{};
    if (!audioCaptureRunning() || !StyleLevels(record, rgb))
        return;
    sendAudioCaptureStyle(rgb[0], rgb[1], rgb[2]);
    trace("2222222222");
}

void CMainWnd::OpenMusicWindow()
{
    if (musicWnd_ || !audioStyles_)
        return;
    auto* w = new CMusicWnd;
    w->setParent(this, w->windowFlags() | Qt::Tool);
    w->SetRecord(audioStyles_->record());
    if (!w->create(QStringLiteral("  "))) {
        delete w;
        return;
    }
    w->setDpi(dpi());
    w->centerWindow(this);
    w->finished = [this, w](int result) {
        if (result == 1) {
            const AudioStyleRecord r = w->GetRecord();
            SendAudioStyle(r);
            audioStyles_->store(r);
            audioStyles_->Save();
        }
    };
    // Modal for the user, without a nested event loop: the program runs on while it is open.
    w->setWindowModality(Qt::ApplicationModal);
    musicWnd_ = w;
    w->show();
    w->raise();
    w->activateWindow();
}

void CMainWnd::onAudioBlock(uint64_t dwData, const std::vector<uint8_t>& bytes)
{
    if (bytes.empty())
        return;
    if (dwData == 1) {
        // A block larger than the receive buffer is not the companion's: refused whole.
        if (bytes.size() > audio::kSampleBlockBytes)
            return;
        if (const std::optional<audio::Levels> levels = audioBands_->addBlock(bytes.data(), bytes.size()))
            if (!keyboards_.empty()) {
                std::array<int32_t, audio::kSamples> handed{};
                std::copy(levels->begin(), levels->end(), handed.begin());
                keyboards_.front()->setAudioLevels(handed.data(), audio::kSamples);
            }
    } else if (dwData == 2) {
        if (bytes.size() > audio::kAuxBlockBytes)
            return;
        const auto values = audio::auxValues(bytes.data(), bytes.size());
        if (!keyboards_.empty())
            keyboards_.front()->setAudioAux(values.data(), audio::kAuxValues);
    }
}

} // namespace q9::app

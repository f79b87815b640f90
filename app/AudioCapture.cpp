// The main window's side of the audio capture companion: the greeting and shut-down commands, and
// the sample and auxiliary blocks it sends, reduced to band levels for the first keyboard.
#include "app/MainWnd.h"
#include "audio/AudioBands.h"
#include "device/KeyboardDevice.h"
#include "platform/AudioCaptureLink.h"
#include "platform/Trace.h"

#include <QCoreApplication>

namespace q9::app {

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

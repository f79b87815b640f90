// Audio lighting end to end: a private PulseAudio server with a null sink, the capture companion
// recording its monitor, a tone played into it, and the keyboard's audio effect in the program
// taking colours from it. Skipped, with the reason, where no PulseAudio server can be started.
#include "device/KeyboardDevice.h"
#include "sim/KeyboardEmulator.h"
#include "platform/AudioCaptureLink.h"
#include "platform/LocalChannel.h"

#include "ShellFixture.h"

#include <QProcess>
#include <QStandardPaths>

#include <cmath>

namespace q9 {
namespace {

const QString kCompanion = QStringLiteral(Q9_APP_DIR "/q9zen-audio");

class AudioCapture : public test::Shell {
protected:
    void TearDown() override
    {
        for (QProcess* p : {&companion, &player, &server})
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(2000);
            }
        qunsetenv("Q9ZEN_RUNTIME_DIR");
        test::Shell::TearDown();
    }

    // A sound server of the test's own: one null sink, reached through a socket in a temporary
    // folder. Returns the reason when it cannot run.
    QString startServer()
    {
        const QString binary = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (binary.isEmpty())
            return QStringLiteral("pulseaudio is not installed");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", pulse.path());
        env.insert("XDG_RUNTIME_DIR", pulse.path());
        env.insert("PULSE_RUNTIME_PATH", pulse.filePath("run"));
        env.insert("PULSE_STATE_PATH", pulse.filePath("state"));
        server.setProcessEnvironment(env);
        server.setProcessChannelMode(QProcess::MergedChannels);
        server.start(binary, {"-n", "--daemonize=no", "--exit-idle-time=-1", "--disable-shm=yes", "--use-pid-file=no",
                              "--system=no", "--log-target=stderr", "-L", "module-null-sink sink_name=q9test",
                              "-L", QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=%1").arg(socket())});
        if (!server.waitForStarted(5000))
            return QStringLiteral("pulseaudio did not start");
        if (!waitFor([&] { return QFile::exists(socket()) || server.state() == QProcess::NotRunning; }, 10000)
            || !QFile::exists(socket()))
            return QStringLiteral("pulseaudio did not come up: ") + QString::fromLocal8Bit(server.readAll()).left(400);
        return {};
    }
    QString socket() const { return pulse.filePath("native"); }
    QProcessEnvironment clientEnv() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PULSE_SERVER", "unix:" + socket());
        env.insert("Q9ZEN_RUNTIME_DIR", runtime.path());
        env.insert("HOME", pulse.path());
        return env;
    }
    // Tone bursts of 1 kHz at half scale, 120 ms on and 120 ms off, for `seconds`.
    void play(double seconds)
    {
        const int rate = 44100;
        QByteArray pcm;
        const int frames = int(seconds * rate);
        pcm.resize(frames * 4);
        auto* out = reinterpret_cast<int16_t*>(pcm.data());
        for (int i = 0; i < frames; ++i) {
            const bool on = (i * 1000 / rate / 120) % 2 == 0;
            const int16_t v = on ? int16_t(16000 * std::sin(2 * M_PI * 1000.0 * i / rate)) : 0;
            out[2 * i] = out[2 * i + 1] = v;
        }
        player.setProcessEnvironment(clientEnv());
        player.start(QStringLiteral("pacat"), {"--playback", "--raw", "--format=s16le", "--rate=44100", "--channels=2",
                                               "--device=q9test"});
        ASSERT_TRUE(player.waitForStarted(5000)) << "pacat (pulseaudio-utils) is needed to play";
        player.write(pcm);
        player.closeWriteChannel();
    }

    QTemporaryDir pulse, runtime;
    QProcess server, companion, player;
};

TEST_F(AudioCapture, ATonePlayedOnTheDesktopLightsTheKeyboard)
{
    ASSERT_TRUE(pulse.isValid() && runtime.isValid());
    if (const QString why = startServer(); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    qputenv("Q9ZEN_RUNTIME_DIR", runtime.path().toUtf8());
    start("keyboard");
    IpcServer ipc([&](const IpcMessage& m) { return wnd->deliver(m); });
    ASSERT_TRUE(ipc.listen());
    sim::KeyboardEmulator* board = nullptr;
    for (auto& d : simulation->devices)
        if (auto* k = dynamic_cast<sim::KeyboardEmulator*>(d.get()))
            board = k;
    ASSERT_NE(board, nullptr);
    ASSERT_TRUE(waitFor([&] { return !board->receivedCommands(0x05).empty() && !wnd->keyboards().empty(); }, 3000))
        << "the keyboard was read";
    CTarvenixUSBDevice* kb = wnd->keyboards().front();
    ASSERT_TRUE(waitFor([&] { return !kb->profilePath().empty(); }, 2000));

    // The audio effect in spectrum columns: a red foreground over a dark blue background.
    AudioLightRecord a;
    a.audioMode = 0;
    a.bkColorB = 40;
    a.fgColorR = 200;
    kb->commitAudioLight(a);
    cmd("click deng_Op_tab");
    cmd("value deng_light_slider 4");
    cmd("item light_combo_modeSelect 29");
    ASSERT_EQ(kb->lightState().selectItem, 29);
    kb->setHostLightControl(true);
    auto foregroundKeys = [&] {
        int n = 0;
        for (int k = 0; k < 170; ++k) {
            const uint32_t z = kb->zoneColor(k);
            n += uint8_t(z >> 24) > 100 && uint8_t(z >> 8) == 0; // red, no blue: a lit key
        }
        return n;
    };
    QTest::qWait(300);
    EXPECT_EQ(foregroundKeys(), 0) << "no sound yet";

    companion.setProcessEnvironment(clientEnv());
    companion.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    companion.start(kCompanion, {});
    ASSERT_TRUE(companion.waitForStarted(5000));
    ASSERT_TRUE(waitFor([&] { return audioCaptureRunning() && QFile::exists(audioCaptureChannelName()); }, 5000));
    wnd->greetAudioCapture();

    const int framesBefore = board->lightFrames();
    play(4.0);
    EXPECT_TRUE(waitFor([&] { return foregroundKeys() > 0; }, 4000)) << "the picture lights with the sound";
    // The keyboard itself is streamed the same colours while the host drives its lights.
    EXPECT_TRUE(waitFor([&] {
        const auto frame = board->lastLightFrame();
        for (size_t i = 0; i + 2 < frame.size(); i += 3)
            if (frame[i] > 100 && frame[i + 2] == 0)
                return board->lightFrames() > framesBefore;
        return false;
    }, 4000));

    // The program's end tells the companion to stop and quit.
    wnd->closeAudioCapture();
    EXPECT_TRUE(companion.waitForFinished(5000));
}

} // namespace
} // namespace q9

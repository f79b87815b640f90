// Audio lighting end to end: a private PulseAudio server with a null sink, the capture companion
// recording its monitor, a tone played into it, and the keyboard's audio effect in the program
// taking colours from it. Skipped, with the reason, where no PulseAudio server can be started.
#include "device/KeyboardDevice.h"
#include "sim/KeyboardEmulator.h"
#include "platform/AudioCaptureLink.h"
#include "platform/LocalChannel.h"

#include "ShellFixture.h"

#include <QProcess>
#include <QLockFile>
#include <QStandardPaths>

#include <cmath>
#include <cstring>

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
    // The keyboard once the program has read it and loaded its profile.
    CTarvenixUSBDevice* readKeyboard()
    {
        sim::KeyboardEmulator* board = keyboardEmulator();
        if (!board || !waitFor([&] { return !board->receivedCommands(0x05).empty() && !wnd->keyboards().empty(); }, 3000))
            return nullptr;
        CTarvenixUSBDevice* kb = wnd->keyboards().front();
        return waitFor([&] { return !kb->profilePath().empty(); }, 2000) ? kb : nullptr;
    }
    sim::KeyboardEmulator* keyboardEmulator()
    {
        for (auto& d : simulation->devices)
            if (auto* k = dynamic_cast<sim::KeyboardEmulator*>(d.get()))
                return k;
        return nullptr;
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
    sim::KeyboardEmulator* board = keyboardEmulator();
    CTarvenixUSBDevice* kb = readKeyboard();
    ASSERT_TRUE(board && kb) << "the keyboard was read";

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
    // Its output is kept and shown only when the test fails (a sanitized build's notes about the
    // sound library's own threads are not the program's).
    companion.setProcessChannelMode(QProcess::MergedChannels);
    companion.start(kCompanion, {});
    ASSERT_TRUE(companion.waitForStarted(5000));
    ASSERT_TRUE(waitFor([&] { return audioCaptureRunning() && QFile::exists(audioCaptureChannelName()); }, 5000));
    wnd->greetAudioCapture();

    const int framesBefore = board->lightFrames();
    play(4.0);
    EXPECT_TRUE(waitFor([&] { return foregroundKeys() > 0; }, 4000))
        << "the picture lights with the sound; the companion said: " << companion.readAll().toStdString();
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

// A stand-in for the companion: holds its lock, listens on its socket, keeps what it is sent.
struct FakeCompanion {
    QLockFile lock{audioCaptureLockPath()};
    std::vector<IpcMessage> got;
    IpcServer server{[this](const IpcMessage& m) {
        got.push_back(m);
        return IpcReply{};
    }};
    bool up() { return lock.tryLock(0) && server.listen(audioCaptureChannelName()); }
    std::vector<uint64_t> commands() const
    {
        std::vector<uint64_t> codes;
        for (const auto& m : got)
            if (m.name == kAudioCaptureCommand)
                codes.push_back(m.wParam);
        return codes;
    }
    std::vector<int32_t> lastStyle() const
    {
        for (auto it = got.rbegin(); it != got.rend(); ++it)
            if (it->isCopyData && it->dwData == kAudioStyleBlock && it->bytes.size() == kAudioStyleBytes) {
                std::vector<int32_t> rgb(3);
                std::memcpy(rgb.data(), it->bytes.data(), 12);
                return rgb;
            }
        return {};
    }
};

TEST_F(AudioCapture, GreetingStylesAndTheMusicWindow)
{
    ASSERT_TRUE(runtime.isValid());
    qputenv("Q9ZEN_RUNTIME_DIR", runtime.path().toUtf8());
    FakeCompanion fake;
    ASSERT_TRUE(fake.up());
    start("keyboard");
    // The greeting once the window is up, and the user's style from the default file.
    ASSERT_TRUE(waitFor([&] { return fake.commands().size() >= 3; }, 3000));
    EXPECT_EQ(fake.commands(), (std::vector<uint64_t>{0, 3, 1}));
    ASSERT_TRUE(waitFor([&] { return !fake.lastStyle().empty(); }, 2000));
    EXPECT_EQ(fake.lastStyle(), (std::vector<int32_t>{9, 1, 0})) << "style 1 of the default file, its G of 0 sent as 1";

    const QString file = QString::fromStdWString(deviceEnvironment().dataRoot) + QStringLiteral("AudioFile.json");
    ASSERT_TRUE(QFile::exists(file)) << "the first start wrote the user's copy";
    const QByteArray before = [&] { QFile f(file); f.open(QIODevice::ReadOnly); return f.readAll(); }();

    // Closed with its close button: nothing kept, nothing sent.
    fake.got.clear();
    wnd->OpenMusicWindow();
    ASSERT_TRUE(wnd->musicWindow());
    cmd("select audio_select_tab3");
    cmd("value audio_b_slider 2");
    cmd("click closebtn");
    ASSERT_TRUE(waitFor([&] { return !wnd->musicWindow(); }, 1000));
    EXPECT_TRUE(fake.got.empty());
    { QFile f(file); f.open(QIODevice::ReadOnly); EXPECT_EQ(f.readAll(), before); }

    // OK: the chosen style and its levels are kept and sent; an emptied name takes its default.
    wnd->OpenMusicWindow();
    cmd("select audio_select_tab3");
    cmd("value audio_b_slider 2");
    cmd("text audio_edit_name2");
    cmd("killfocus audio_edit_name2");
    cmd("click okbtn");
    ASSERT_TRUE(waitFor([&] { return !wnd->musicWindow(); }, 1000));
    EXPECT_EQ(fake.lastStyle(), (std::vector<int32_t>{0, 1, 2}));
    const AudioStyleRecord kept = wnd->audioStyles()->record();
    EXPECT_EQ(kept.style, 2);
    EXPECT_EQ(kept.levels[2][2], 2);
    EXPECT_EQ(kept.names[1], L"第二组");
    AudioStyleFile onDisk(file.toStdWString(), L"");
    onDisk.Load();
    EXPECT_EQ(onDisk.record(), kept);

    // The end of the program tells the companion to stop, let go and quit.
    fake.got.clear();
    wnd->shutDown();
    EXPECT_TRUE(waitFor([&] { return fake.commands().size() >= 3; }, 2000));
    EXPECT_EQ(fake.commands(), (std::vector<uint64_t>{2, 4, 5}));
}

TEST_F(AudioCapture, TheAuxiliaryBlockReachesTheKeyboardAndOversizedBlocksAreRefused)
{
    ASSERT_TRUE(runtime.isValid());
    qputenv("Q9ZEN_RUNTIME_DIR", runtime.path().toUtf8());
    start("keyboard");
    CTarvenixUSBDevice* kb = readKeyboard();
    ASSERT_NE(kb, nullptr);
    // The auxiliary block's first three values are the host colour; blocks larger than their
    // buffers and empty ones that come after change nothing.
    const std::vector<uint8_t> aux = {10, 0, 0, 0, 20, 0, 0, 0, 30, 0, 0, 0};
    wnd->onAudioBlock(2, aux);
    wnd->onAudioBlock(2, std::vector<uint8_t>(157, 0xFF));
    wnd->onAudioBlock(2, {});
    wnd->onAudioBlock(1, std::vector<uint8_t>(4201, 0xFF));
    cmd("click deng_Op_tab");
    cmd("item light_combo_modeSelect 30"); // host colour: the auxiliary block's first three values
    ASSERT_TRUE(waitFor([&] { return (kb->zoneColor(0) >> 8) == (10u << 16 | 20u << 8 | 30u); }, 2000));
}

} // namespace
} // namespace q9

// What one frame of the light preview costs the UI thread: the zone colours change, the picture's
// buttons are told, and the window paints what changed (on Qt's offscreen platform, which
// renders into memory as a screen would).
//  - MouseFrame: the real main window with a simulated mouse, one spectrum step per frame.
//  - KeyboardFrame170: a keyboard-sized picture, 170 lit keys on nested panels, every key a new
//    colour every frame (the worst case of a full-keyboard effect).
#include "app/MainWnd.h"
#include "app/Startup.h"
#include "controls/KeyControls.h"
#include "controls/Registration.h"
#include "device/DeviceEnvironment.h"
#include "device/LightPreview.h"
#include "device/MouseDevice.h"
#include "sim/Simulation.h"
#include "ui/Resources.h"
#include "ui/Window.h"
#include "support/SimulatedProgram.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

using namespace q9;

// Paints what the last changes made dirty, as the event loop would at its next pass.
[[gnu::noinline]] void paintPending(QWidget& window)
{
    QCoreApplication::sendPostedEvents(&window, QEvent::UpdateRequest);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

void BM_MouseFrame(benchmark::State& state)
{
    QTemporaryDir data;
    auto simulation = test::useSimulatedProgram(data, "mouse");
    auto wnd = std::make_unique<app::CMainWnd>();
    if (!wnd->create(app::kMainTitle)) {
        state.SkipWithError("no main window");
        return;
    }
    wnd->show();
    CTarvenixMouseDevice* mouse = nullptr;
    const bool ready = QTest::qWaitFor([&] {
        mouse = wnd->mice().empty() ? nullptr : wnd->mice()[0];
        return wnd->firstScanDone() && mouse && mouse->previewRunning();
    }, 5000);
    if (!ready) {
        state.SkipWithError("the simulated mouse was not read");
        wnd->shutDown();
        return;
    }
    mouse->setSyncDriven(true); // the benchmark steps the effect itself
    QTest::qWait(50);
    LightInfoRecord spectrum = mouse->lightState();
    spectrum.selectItem = 3;
    spectrum.light = 4;
    for (auto _ : state) {
        mouse->preview().stepSpectrum(spectrum);
        mouse->paintLights();
        paintPending(*wnd);
    }
    wnd->shutDown();
    wnd.reset();
    ui::Resources::instance().release();
    qunsetenv("Q9ZEN_DATA_DIR");
}
BENCHMARK(BM_MouseFrame)->Unit(benchmark::kMicrosecond);

void BM_KeyboardFrame170(benchmark::State& state)
{
    QTemporaryDir skin;
    auto write = [&](const QString& name, const QByteArray& text) {
        QFile f(skin.filePath(name));
        return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
    };
    // A key cap shape, as the keyboard's light images are.
    write("key.svg", R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 40 40">
        <rect x="3" y="3" width="34" height="34" rx="6" fill="#fff"/></svg>)");
    write("board.svg", R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 760 300">
        <rect x="2" y="2" width="756" height="296" rx="18" fill="#1b1e24" stroke="#2e3440" stroke-width="3"/>
        <path d="M20 20 L740 20 L740 280 L20 280 Z" fill="none" stroke="#394150"/></svg>)");
    QByteArray keys;
    for (int i = 0; i < 170; ++i) {
        const int x = 14 + (i % 17) * 43, y = 10 + (i / 17) * 28;
        keys += QStringLiteral(R"(<DeviceKeyButton name="light_%1" float="true" pos="%2,%3,%4,%5" lightimage="key.svg"/>)")
                    .arg(i).arg(x).arg(y).arg(x + 40).arg(y + 26).toUtf8();
    }
    write("board.xml", R"(<Window size="800,572"><VerticalLayout name="root" bkcolor="#FF101216">
        <VerticalLayout inset="12,12,12,12" bkcolor="#FF161920" bordercolor="#FF272C36" bordersize="1" borderround="12">
        <SelectPanel name="panel" height="300" bkimage="board.svg">)" + keys + R"(</SelectPanel>
        </VerticalLayout></VerticalLayout></Window>)");
    ui::Resources::instance().release();
    ui::Resources::instance().setResourcePath(skin.path());
    controls::registerCustomControls();
    ui::Window window;
    if (!window.create({}, QStringLiteral("board.xml"))) {
        state.SkipWithError("the board layout was not built");
        return;
    }
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        state.SkipWithError("the window was not shown");
        return;
    }
    std::vector<controls::CDeviceKeyButtonUI*> lights;
    for (int i = 0; i < 170; ++i)
        if (auto* b = qobject_cast<controls::CDeviceKeyButtonUI*>(window.findControl(QStringLiteral("light_%1").arg(i)))) {
            b->showLightLayer(true);
            lights.push_back(b);
        }
    if (lights.size() != 170) {
        state.SkipWithError("not every key was built");
        return;
    }
    paintPending(window);
    uint8_t frame = 0;
    for (auto _ : state) {
        ++frame;
        {
            controls::LightFrame lit; // as a device paints its zones
            for (size_t i = 0; i < lights.size(); ++i)
                lit.set(lights[i], light::pack(uint8_t(frame + i), uint8_t(frame * 3 + i), uint8_t(255 - frame), 255));
        }
        paintPending(window);
    }
    ui::Resources::instance().release();
}
BENCHMARK(BM_KeyboardFrame170)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

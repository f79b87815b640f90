#pragma once
// The main window as a user drives it, on the simulated bus: start it with some emulated devices,
// run script commands, wait for what the program does on its own time.
#include "app/DialogService.h"
#include "app/DeviceOption.h"
#include "app/MainWnd.h"
#include "app/Script.h"
#include "app/Startup.h"
#include "device/MouseDevice.h"
#include "sim/MouseEmulator.h"
#include "sim/Simulation.h"
#include "ui/Resources.h"

#include "support/SimulatedProgram.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace q9::test {

// Latency bounds hold for the ordinary build; a sanitized one runs many times slower, and there
// only what happens is checked, not how soon.
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr bool kTimingChecked = false;
#else
constexpr bool kTimingChecked = true;
#endif

class Shell : public testing::Test {
protected:
    void start(const std::string& devices = "")
    {
        app::DialogService::instance().clear();
        ASSERT_TRUE(data.isValid());
        simulation = test::useSimulatedProgram(data, devices);
        wnd = std::make_unique<app::CMainWnd>();
        ASSERT_TRUE(wnd->create(app::kMainTitle));
        runner = std::make_unique<app::ScriptRunner>(*wnd, simulation.get());
        runner->output = [this](const QString& s) { dumped << s; };
        wnd->show();
        ASSERT_TRUE(waitFor([&] { return wnd->firstScanDone(); }, 3000));
        mouse = mouseEmulator();
    }
    // Ends the program and starts it again on the same data, with the same devices plugged.
    void restartProgram()
    {
        wnd->shutDown();
        wnd.reset();
        ui::Resources::instance().release();
        app::setupSkinResources(QStringLiteral(Q9_APP_DIR "/skin/"));
        wnd = std::make_unique<app::CMainWnd>();
        ASSERT_TRUE(wnd->create(app::kMainTitle));
        runner = std::make_unique<app::ScriptRunner>(*wnd, simulation.get());
        runner->output = [this](const QString& s) { dumped << s; };
        if (mouse)
            mouse->clearReceived();
        wnd->show();
        ASSERT_TRUE(waitFor([&] { return wnd->firstScanDone(); }, 3000));
    }
    void TearDown() override
    {
        if (wnd)
            wnd->shutDown();
        wnd.reset();
        simulation.reset();
        ui::Resources::instance().release();
        qunsetenv("Q9ZEN_DATA_DIR");
        app::DialogService::instance().clear();
    }
    sim::MouseEmulator* mouseEmulator()
    {
        for (auto& d : simulation->devices)
            if (auto* m = dynamic_cast<sim::MouseEmulator*>(d.get()))
                return m;
        return nullptr;
    }
    template <class Pred>
    bool waitFor(Pred pred, int ms)
    {
        QElapsedTimer t;
        t.start();
        while (!pred()) {
            if (t.elapsed() > ms)
                return false;
            QTest::qWait(10);
        }
        return true;
    }
    bool cmd(const QString& line)
    {
        const bool ok = runner->run(line);
        EXPECT_TRUE(ok) << line.toStdString() << ": " << runner->error().toStdString();
        return ok;
    }
    app::CDeviceOptionUI* mouseTab() { return wnd->mice().empty() ? nullptr : static_cast<app::CDeviceOptionUI*>(wnd->mice()[0]->tab()); }
    bool overlayShown() { return wnd->findControl("No_device_Link")->isVisible(); }
    // The tab's first timer synchronises the page half a second after the arrival.
    bool synced() { return waitFor([&] { return mouse && !mouse->receivedCommands(0x05).empty(); }, 3000); }
    // Pulls the cable and plugs it again, each seen by the program, and waits for the new sync.
    bool replugCable()
    {
        CTarvenixUSBDevice* d = wnd->mice()[0];
        cmd("unplug mouse");
        if (!waitFor([&] { return !d->commandChannel().isOpen(); }, 3000))
            return false;
        mouse->clearReceived();
        cmd("plug mouse");
        return synced();
    }

    QTemporaryDir data;
    std::unique_ptr<sim::Simulation> simulation;
    std::unique_ptr<app::CMainWnd> wnd;
    std::unique_ptr<app::ScriptRunner> runner;
    sim::MouseEmulator* mouse = nullptr;
    QStringList dumped;
};

} // namespace q9::test

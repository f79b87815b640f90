#pragma once
// The program's surroundings for an in-process main window: emulated devices on their own bus,
// a throw-away data folder, and the skin and default data beside the built program (Q9_APP_DIR).
#include "app/Startup.h"
#include "device/DeviceEnvironment.h"
#include "sim/Simulation.h"
#include "ui/Resources.h"

#include <QTemporaryDir>

#include <memory>
#include <string>

namespace q9::test {

inline std::unique_ptr<sim::Simulation> useSimulatedProgram(const QTemporaryDir& data, const std::string& devices)
{
    qputenv("Q9ZEN_DATA_DIR", data.path().toUtf8());
    // The settings store (the language chosen, say) of a test is its own too.
    qputenv("Q9ZEN_CONFIG_DIR", (data.path() + QStringLiteral("/config")).toUtf8());
    auto simulation = sim::startSimulation(devices);
    DeviceEnvironment& env = deviceEnvironment();
    env.backend = std::make_shared<sim::SimBackend>(simulation->bus);
    env.audioLibrary = simulation->soundChip;
    env.dataRoot = data.path().toStdWString() + L"/";
    env.programFolder = QStringLiteral(Q9_APP_DIR "/").toStdWString();
    ui::Resources::instance().release();
    app::setupSkinResources(QStringLiteral(Q9_APP_DIR "/skin/"));
    return simulation;
}

} // namespace q9::test

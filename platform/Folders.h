#pragma once
// Where the program's files are: beside the executable in a build tree, or in share/q9zen beside
// the bin folder of an installation (skin, fonts, default data, updaters, SDK), and in the user's
// folders. Every folder name ends with '/'.
#include <QString>

namespace q9::folders {

QString programFolder();
QString skinFolder();
QString fontFolder();
QString defaultDataFolder();
QString updateFolder();
QString sdkFolder();

// The user's data folder (created when missing): generic data location + the product name.
// Q9ZEN_DATA_DIR overrides it (tests and scripts never touch the real home).
QString userDataFolder();
// The user's private runtime folder: the local socket and the single-instance lock.
// Q9ZEN_RUNTIME_DIR overrides it.
QString runtimeFolder();
// The folder of the settings store; Q9ZEN_CONFIG_DIR overrides it.
QString configFolder();

constexpr const char* kProductName = "Q9 Zen 1K Gaming Mouse";

} // namespace q9::folders

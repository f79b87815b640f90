#pragma once
// The small per-user settings that stand in for the registry ("SOFTWARE/<product>/LANGUAGE"):
// an INI file in the user's config folder, keys by the same path.
#include <QString>

namespace q9::settings {

int readInt(const QString& keyPath, const QString& name, int fallback);
void writeInt(const QString& keyPath, const QString& name, int value);
QString readText(const QString& keyPath, const QString& name, const QString& fallback);

// "SOFTWARE/Q9 Zen 1K Gaming Mouse"
QString productKey();

} // namespace q9::settings

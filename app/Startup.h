#pragma once
// Fixed values and steps of the process start: the product name, the private fonts, the messages
// registered at start, the skin set-up.
#include <QString>
#include <QStringList>

#include <cstdint>

namespace q9::app {

inline constexpr const char* kProductName = "Q9 Zen 1K Gaming Mouse";
inline const QString kMainTitle = QStringLiteral("Q9 Zen三模鼠标 1K");

// Relative to the executable's folder, in loading order; only the last one's failure is reported.
QStringList privateFontFiles();

class PrivateFonts {
public:
    // Loads the fonts in order; returns whether the last one loaded.
    bool load(const QString& programFolder);
    // Releases them in reverse order.
    void release();
    ~PrivateFonts() { release(); }

private:
    static constexpr int kInstalled = -2; // a font the system has installed: nothing to register
    QList<int> ids_; // -1 for a font that failed
};

// Registered at process start, before anything else runs.
void registerStartupMessages();
// The five GUID-named messages, in their order.
void registerGuidMessages();
// The activation message (the product name); its id.
uint32_t activationMessage();

// Points the UI layer at the skin beside the executable and reads its resource index.
bool setupSkinResources(const QString& skinFolder);

} // namespace q9::app

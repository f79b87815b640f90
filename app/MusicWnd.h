#pragma once
// The music window: the user's four audio styles (a name and three colour levels each) and the
// chosen one. It edits its own copy of the record; closed with OK (1) the owner keeps and sends it.
#include "profile/AudioStyles.h"
#include "ui/Window.h"

#include <functional>

namespace q9::app {

class CMusicWnd : public ui::Window {
    Q_OBJECT
public:
    QString skinFile() const override { return QStringLiteral("music.xml"); }
    QString windowClassName() const override { return QStringLiteral("MusicWnd"); }
    void initWindow() override;
    void notify(ui::TNotify& msg) override;
    intptr_t handleCustomMessage(uint32_t msg, uint64_t wParam, int64_t lParam, const CopyData* copy,
                                 bool& handled) override;

    void onFinalMessage() override;
    // Told the result when the window closes (1: OK).
    std::function<void(int result)> finished;

    void SetRecord(const AudioStyleRecord& record) { record_ = record; }
    AudioStyleRecord GetRecord() const { return record_; }

private:
    int selectedStyle() const;
    void showLevels(int style);

    AudioStyleRecord record_;
};

} // namespace q9::app

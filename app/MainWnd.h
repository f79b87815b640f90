#pragma once
// The program's main window: built from "XML_MAIN", it creates the program's controls while the
// layout is parsed, receives every notification of its layout and every message addressed to the
// program.
#include "ui/Window.h"

#include <cstdint>

namespace q9::ui {
class TrayIcon;
}

namespace q9::app {

class CMainWnd : public ui::Window {
    Q_OBJECT
public:
    explicit CMainWnd(QWidget* parent = nullptr);
    ~CMainWnd() override;

    QString skinFile() const override { return QStringLiteral("XML_MAIN"); }
    QString windowClassName() const override { return QStringLiteral("MainWnd"); }
    ui::Control* createControl(const QString& className) override;
    void initWindow() override;
    void notify(ui::TNotify& msg) override;
    intptr_t handleCustomMessage(uint32_t msg, uint64_t wParam, int64_t lParam, const CopyData* copy,
                                 bool& handled) override;

    // Shows the window and brings it to the front (it may have been hidden to the tray).
    void reveal();

protected:
    void onFinalMessage() override;

private:
    ui::TrayIcon* tray_ = nullptr;
    uint32_t activation_ = 0;
};

} // namespace q9::app

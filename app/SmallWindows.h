#pragma once
// The message box, the about window and the skin picker.
#include "ui/Window.h"

#include <QRgb>

#include <functional>
#include <vector>

namespace q9::app {

// The program's only message box. buttons 0: confirm only, 1: confirm and cancel.
// Returns 1 when the user confirmed, 0 otherwise. Modal.
int ShowMessageBox(QWidget* owner, const QString& title, const QString& text, int dpi, bool textIsId, int buttons);

class CMsgWnd : public ui::Window {
    Q_OBJECT
public:
    QString skinFile() const override { return QStringLiteral("XML_MSG"); }
    QString windowClassName() const override { return QStringLiteral("MsgWnd"); }
    void notify(ui::TNotify& msg) override;
    // The DPI rule of the box: one of 48 … 192 in steps of 24, else 96 with a trace.
    static int acceptedDpi(int requested);
};

class CAboutWnd : public ui::Window {
    Q_OBJECT
public:
    QString skinFile() const override { return QStringLiteral("AboutWnd.xml"); }
    QString windowClassName() const override { return QStringLiteral("AboutWnd"); }
    void initWindow() override;
    void notify(ui::TNotify& msg) override;
    intptr_t handleCustomMessage(uint32_t msg, uint64_t wParam, int64_t lParam, const CopyData* copy,
                                 bool& handled) override;
};

// What a skin change carries: a plain colour, or an image.
struct SkinChangedParam {
    bool colour = false;
    QRgb background = 0;
    QString image;
};

// The process-wide skin-change notifier; receivers are told in registration order.
class SkinNotifier {
public:
    using Receiver = std::function<int(const SkinChangedParam&)>;
    static SkinNotifier& instance();
    int add(Receiver r);
    void remove(int id);
    void broadcast(const SkinChangedParam& p);

private:
    std::vector<std::pair<int, Receiver>> receivers_;
    int next_ = 0;
};

// The skin picker hangs below its anchor ("skinbtn") and closes when it loses the focus.
class CSkinFrame : public ui::Window {
    Q_OBJECT
public:
    CSkinFrame(QWidget* owner, ui::Control* anchor);
    QString skinFile() const override { return QStringLiteral("skin.xml"); }
    QString windowClassName() const override { return QStringLiteral("UISkinFrame"); }
    void notify(ui::TNotify& msg) override;
    // Writes the choice file "main.ini" of the user's data folder.
    static void writeChoice(const QString& flags, const QString& image);

protected:
    bool event(QEvent* e) override;
    void onFinalMessage() override { deleteLater(); }
};

} // namespace q9::app

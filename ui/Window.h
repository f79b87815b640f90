#pragma once
// A window built from a skin file: it owns the control tree, looks controls up by name, receives the
// notifications of its controls (notify(), then the default handling), and is the message target of
// its window messages. Windows run modeless or modal (showModal() returns what close() was given).
// The DPI (96 or 144, ...) scales every size of the skin.
#include "platform/Messages.h"
#include "ui/Notify.h"

#include <QRect>
#include <QSize>
#include <QWidget>

class QEventLoop;

namespace q9::ui {

class Control;

class BuilderCallback {
public:
    virtual ~BuilderCallback() = default;
    // Creates a control for a class the UI layer does not know; null when the program has none either.
    virtual Control* createControl(const QString& className) = 0;
};

class Window : public QWidget, public MessageTarget, public BuilderCallback {
    Q_OBJECT
public:
    explicit Window(QWidget* parent = nullptr);
    ~Window() override;

    // Builds the control tree from the skin (default: skinFile()), sets the title and calls
    // initWindow(). False when no control could be built.
    bool create(const QString& title = QString(), const QString& skin = QString());
    virtual QString skinFile() const { return QString(); }
    virtual QString windowClassName() const { return QStringLiteral("Window"); }
    Control* createControl(const QString&) override { return nullptr; }
    virtual void initWindow() {}

    // The program's handler of a notification; the base passes it to defaultNotify().
    virtual void notify(TNotify& msg);
    // The library's default: the title-bar buttons "closebtn", "minbtn", "maxbtn", "restorebtn".
    virtual void defaultNotify(TNotify& msg);
    // Window messages; `handled` false lets the base do its part (WM_CLOSE closes the window).
    virtual intptr_t handleCustomMessage(uint32_t msg, uint64_t wParam, int64_t lParam, const CopyData* copy,
                                         bool& handled);
    intptr_t handleMessage(uint32_t msg, uint64_t wParam, int64_t lParam, const CopyData* copy) final;

    void sendNotify(Control* sender, const QString& type, uint64_t wParam = 0, int64_t lParam = 0);

    Control* root() const { return root_; }
    void setRoot(Control* root);
    Control* findControl(const QString& name) const;
    static Control* findSubControlByName(Control* parent, const QString& name);

    int showModal();
    void close(int result = 0);
    int result() const { return result_; } // what close() was given
    bool isModalRunning() const { return loop_ != nullptr; }
    void centerWindow(QWidget* over = nullptr);

    void setDpi(int dpi);
    int dpi() const { return dpi_; }
    double scale() const { return dpi_ / 96.0; }

    // Window attributes of the skin ("size", "caption", "mininfo", "roundcorner", "title").
    bool setWindowAttribute(const QString& name, const QString& value);
    QSize initialSizeUnits() const { return sizeUnits_; }

protected:
    // The window goes away (not for a modal run, which returns to its opener instead).
    virtual void onFinalMessage() {}
    void resizeEvent(QResizeEvent*) override;
    void showEvent(QShowEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void closeEvent(QCloseEvent*) override;

private:
    Control* root_ = nullptr;
    QEventLoop* loop_ = nullptr;
    int result_ = 0;
    int dpi_ = 96;
    QSize sizeUnits_{800, 600};
    QSize minUnits_{0, 0};
    int captionHeight_ = 0;
    bool initNotified_ = false;
};

} // namespace q9::ui

#include "platform/WindowInputHook.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace q9::input {

namespace {

bool isLockKey(const QKeyEvent* e)
{
    const int key = e->key();
    return key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock;
}

} // namespace

WindowInputHook::WindowInputHook() = default;

WindowInputHook::~WindowInputHook() { stop(); }

bool WindowInputHook::start(bool grabKeyboard, Sink sink)
{
    stop();
    if (!QCoreApplication::instance())
        return false;
    sink_ = std::move(sink);
    grab_ = grabKeyboard;
    active_ = true;
    QCoreApplication::instance()->installEventFilter(this);
    return true;
}

void WindowInputHook::stop()
{
    if (!active_)
        return;
    active_ = false;
    grab_ = false;
    sink_ = nullptr;
    keys_.reset();
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void WindowInputHook::deliver(const HookEvent& e)
{
    const Sink sink = sink_; // the sink may stop or restart this hook
    if (sink)
        sink(e);
}

bool WindowInputHook::eventFilter(QObject* watched, QEvent* event)
{
    if (!active_)
        return false;
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // Accepted, a shortcut does not take the key: it comes as a key press, which is then held
        // back below like any other key.
        auto* key = static_cast<QKeyEvent*>(event);
        if (!grab_ || isLockKey(key))
            return false;
        key->accept();
        return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        // A key event goes to the window first and then down to its widgets: take it once.
        if (!watched->isWindowType())
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const bool hold = grab_ && !isLockKey(key);
        const quint32 native = key->nativeScanCode();
        if (native >= 8) {
            if (const auto e = keys_.make(native - 8, event->type() == QEvent::KeyPress, uint32_t(key->timestamp())))
                deliver(*e);
        }
        return hold;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: {
        if (!watched->isWindowType())
            return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        const bool press = event->type() == QEvent::MouseButtonPress;
        uint32_t message = 0;
        uint32_t data = 0;
        switch (mouse->button()) {
        case Qt::LeftButton: message = press ? LButtonDown : LButtonUp; break;
        case Qt::RightButton: message = press ? RButtonDown : RButtonUp; break;
        case Qt::MiddleButton: message = press ? MButtonDown : MButtonUp; break;
        case Qt::BackButton: message = press ? XButtonDown : XButtonUp; data = XButtonBack << 16; break;
        case Qt::ForwardButton: message = press ? XButtonDown : XButtonUp; data = XButtonForward << 16; break;
        default: return false;
        }
        const QPoint at = mouse->globalPosition().toPoint();
        deliver(mouseEvent(message, at.x(), at.y(), data, uint32_t(mouse->timestamp())));
        return false;
    }
    default:
        return false;
    }
}

} // namespace q9::input

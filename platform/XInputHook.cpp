#include "platform/XInputHook.h"

#include "platform/Trace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSocketNotifier>

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

namespace q9::input {

namespace {

// Raw events reach every client that selected them since XInput 2.1, even while another client
// holds a grab; 2.0 servers send them to the grabbing client only.
constexpr int kMinMajor = 2;
constexpr int kMinMinor = 1;

// X button numbers: 4-7 are the wheel, 8 and 9 the back and forward buttons.
constexpr int kButtonLeft = 1, kButtonMiddle = 2, kButtonRight = 3, kButtonBack = 8, kButtonForward = 9;

// The root position is in device pixels; the program's windows are placed in Qt's scaled
// coordinates. Qt keeps each screen's origin and scales from there.
QPoint toApplicationCoordinates(QPoint p)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return p; // the application shows on another display; nothing to map to
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect logical = screen->geometry();
        const qreal ratio = screen->devicePixelRatio();
        const QRect native(logical.topLeft(), logical.size() * ratio);
        if (native.contains(p))
            return logical.topLeft() + (p - logical.topLeft()) / ratio;
    }
    return p;
}

} // namespace

XInputHook::XInputHook(const std::string& displayName)
{
    display_ = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (!display_) {
        trace("Input hook: cannot open X display '" + displayName + "'");
        return;
    }
    displayName_ = DisplayString(display_);
    root_ = DefaultRootWindow(display_);
    int opcode = 0, firstEvent = 0, firstError = 0;
    if (!XQueryExtension(display_, "XInputExtension", &opcode, &firstEvent, &firstError)) {
        trace("Input hook: the X server has no XInput extension");
        return;
    }
    // Ask for 2.2 (what this code is written against); the server answers with what it has.
    int major = 2, minor = 2;
    if (XIQueryVersion(display_, &major, &minor) != Success || major < kMinMajor
        || (major == kMinMajor && minor < kMinMinor)) {
        traceLazy([&] { return "Input hook: XInput " + std::to_string(major) + "." + std::to_string(minor) + " is too old"; });
        return;
    }
    xiOpcode_ = opcode;
    notifier_ = std::make_unique<QSocketNotifier>(ConnectionNumber(display_), QSocketNotifier::Read);
    notifier_->setEnabled(false);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { readEvents(); });
}

XInputHook::~XInputHook()
{
    stop();
    notifier_.reset();
    grabNotifier_.reset();
    if (grabDisplay_)
        XCloseDisplay(grabDisplay_);
    if (display_)
        XCloseDisplay(display_);
}

std::string XInputHook::applicationDisplayName()
{
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app)
        return {};
    if (auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>())
        if (Display* display = x11->display())
            return DisplayString(display);
    return {};
}

void XInputHook::select(bool on)
{
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    if (on) {
        XISetMask(bits, XI_RawKeyPress);
        XISetMask(bits, XI_RawKeyRelease);
        XISetMask(bits, XI_RawButtonPress);
        XISetMask(bits, XI_RawButtonRelease);
    }
    XIEventMask mask;
    mask.deviceid = XIAllMasterDevices;
    mask.mask_len = sizeof bits;
    mask.mask = bits;
    XISelectEvents(display_, root_, &mask, 1);
}

bool XInputHook::start(bool grabKeyboard, Sink sink)
{
    stop();
    if (!usable())
        return false;
    // Whatever arrived after the last stop() is not for this run.
    XSync(display_, True);
    keys_.reset();
    sink_ = std::move(sink);
    select(true);
    if (grabKeyboard)
        grabbed_ = grab();
    XFlush(display_);
    active_ = true;
    notifier_->setEnabled(true);
    return true;
}

void XInputHook::stop()
{
    if (!active_)
        return;
    active_ = false;
    notifier_->setEnabled(false);
    if (grabbed_) {
        XUngrabKeyboard(grabDisplay_, CurrentTime);
        XFlush(grabDisplay_);
    }
    grabbed_ = false;
    select(false);
    XFlush(display_);
    sink_ = nullptr;
}

// The grab is held by a second connection: the server sends raw events to every selecting client
// except the one holding the grab, which would get only what its grab asks for.
bool XInputHook::grab()
{
    if (!grabDisplay_) {
        grabDisplay_ = XOpenDisplay(displayName_.c_str());
        if (!grabDisplay_) {
            trace("Input hook: no second X connection for the keyboard grab; keys still reach other programs");
            return false;
        }
        grabNotifier_ = std::make_unique<QSocketNotifier>(ConnectionNumber(grabDisplay_), QSocketNotifier::Read);
        QObject::connect(grabNotifier_.get(), &QSocketNotifier::activated, grabNotifier_.get(), [this] { discardGrabEvents(); });
    }
    // Grabbing on the focused window itself moves no focus: a grab elsewhere would tell the
    // focused window (often the program's own, whose edit started the capture) that it lost it.
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(grabDisplay_, &focus, &revert);
    int result = GrabNotViewable;
    if (focus > PointerRoot)
        result = XGrabKeyboard(grabDisplay_, focus, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    if (result == GrabNotViewable)
        result = XGrabKeyboard(grabDisplay_, root_, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    discardGrabEvents();
    if (result != GrabSuccess) {
        traceLazy([&] { return "Input hook: keyboard grab refused (" + std::to_string(result) + "); keys still reach other programs"; });
        return false;
    }
    return true;
}

// The grabbed keys arrive here as core events; the raw ones on the other connection say it all.
void XInputHook::discardGrabEvents()
{
    while (XPending(grabDisplay_) > 0) {
        XEvent event;
        XNextEvent(grabDisplay_, &event);
    }
}

void XInputHook::readEvents()
{
    // XPending also counts events that replies (the pointer query) queued on the way.
    while (active_ && XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        const std::optional<HookEvent> e = translate(event);
        if (!e || !active_)
            continue;
        const Sink sink = sink_; // the sink may stop or restart this hook
        if (sink)
            sink(*e);
    }
}

std::optional<HookEvent> XInputHook::translate(XEvent& event)
{
    XGenericEventCookie* cookie = &event.xcookie;
    if (cookie->type != GenericEvent || cookie->extension != xiOpcode_ || !XGetEventData(display_, cookie))
        return std::nullopt; // core key events sent to us by the grab, among others
    const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
    const int type = cookie->evtype;
    const int detail = raw->detail;
    const auto time = uint32_t(raw->time);
    XFreeEventData(display_, cookie);

    switch (type) {
    case XI_RawKeyPress:
    case XI_RawKeyRelease:
        if (detail < 8)
            return std::nullopt;
        return keys_.make(uint32_t(detail - 8), type == XI_RawKeyPress, time);
    case XI_RawButtonPress:
    case XI_RawButtonRelease:
        return buttonEvent(detail, type == XI_RawButtonPress, time);
    default:
        return std::nullopt;
    }
}

std::optional<HookEvent> XInputHook::buttonEvent(int button, bool press, uint32_t time)
{
    uint32_t message = 0;
    uint32_t data = 0;
    switch (button) {
    case kButtonLeft: message = press ? LButtonDown : LButtonUp; break;
    case kButtonMiddle: message = press ? MButtonDown : MButtonUp; break;
    case kButtonRight: message = press ? RButtonDown : RButtonUp; break;
    case kButtonBack: message = press ? XButtonDown : XButtonUp; data = XButtonBack << 16; break;
    case kButtonForward: message = press ? XButtonDown : XButtonUp; data = XButtonForward << 16; break;
    default: return std::nullopt; // the wheel and buttons without a Windows message
    }
    Window rootReturn = 0, child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned int mask = 0;
    XQueryPointer(display_, root_, &rootReturn, &child, &rootX, &rootY, &winX, &winY, &mask);
    const QPoint p = toApplicationCoordinates(QPoint(rootX, rootY));
    return mouseEvent(message, p.x(), p.y(), data, time);
}

} // namespace q9::input

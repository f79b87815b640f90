#include "ui/Window.h"

#include "platform/Trace.h"
#include "ui/Builder.h"
#include "ui/Containers.h"
#include "ui/Control.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

namespace q9::ui {

Window::Window(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    QWidget::setAttribute(Qt::WA_TranslucentBackground);
}

Window::~Window() = default;

bool Window::create(const QString& title, const QString& skin)
{
    DialogBuilder builder;
    Control* built = builder.create(skin.isEmpty() ? skinFile() : skin, this, this, nullptr);
    if (!built)
        return false;
    setRoot(built);
    if (!title.isEmpty())
        setWindowTitle(title);
    resize(QSize(qRound(sizeUnits_.width() * scale()), qRound(sizeUnits_.height() * scale())));
    initWindow();
    return true;
}

void Window::setRoot(Control* root)
{
    root_ = root;
    if (!root_)
        return;
    root_->setParent(this);
    root_->setGeometry(rect());
    if (!root_->hideWhenAttached())
        root_->show();
}

bool Window::setWindowAttribute(const QString& name, const QString& value)
{
    const QString n = name.toLower();
    const QStringList v = value.split(',');
    if (n == QLatin1String("size") && v.size() == 2)
        sizeUnits_ = QSize(v[0].toInt(), v[1].toInt());
    else if (n == QLatin1String("mininfo") && v.size() == 2)
        minUnits_ = QSize(v[0].toInt(), v[1].toInt());
    else if (n == QLatin1String("caption") && v.size() == 4)
        captionHeight_ = v[3].toInt();
    else if (n == QLatin1String("title"))
        setWindowTitle(value);
    else if (n == QLatin1String("roundcorner") || n == QLatin1String("sizebox") || n == QLatin1String("showdirty")) {
        // corners are the root's "borderround"; the windows are not resizable by their border
    } else
        return false;
    return true;
}

void Window::notify(TNotify& msg) { defaultNotify(msg); }

void Window::defaultNotify(TNotify& msg)
{
    if (msg.type != notify::Click || !msg.sender)
        return;
    const QString n = msg.sender->objectName();
    if (n == QLatin1String("closebtn"))
        close(0);
    else if (n == QLatin1String("minbtn"))
        showMinimized();
    else if (n == QLatin1String("maxbtn"))
        showMaximized();
    else if (n == QLatin1String("restorebtn"))
        showNormal();
}

intptr_t Window::handleCustomMessage(uint32_t, uint64_t, int64_t, const CopyData*, bool& handled)
{
    handled = false;
    return 0;
}

intptr_t Window::handleMessage(uint32_t msg, uint64_t wParam, int64_t lParam, const CopyData* copy)
{
    bool handled = true;
    const intptr_t r = handleCustomMessage(msg, wParam, lParam, copy, handled);
    if (handled)
        return r;
    if (msg == WM_CLOSE_MSG)
        close(int(wParam));
    return 0;
}

void Window::sendNotify(Control* sender, const QString& type, uint64_t wParam, int64_t lParam)
{
    TNotify msg{type, sender, wParam, lParam, QDateTime::currentMSecsSinceEpoch()};
    for (QWidget* w = sender ? sender->parentWidget() : nullptr; w && w != this; w = w->parentWidget())
        if (auto* c = qobject_cast<Control*>(w))
            c->childNotify(msg);
    notify(msg);
}

Control* Window::findControl(const QString& name) const { return findSubControlByName(root_, name); }

Control* Window::findSubControlByName(Control* parent, const QString& name)
{
    if (!parent || name.isEmpty())
        return nullptr;
    if (parent->objectName() == name)
        return parent;
    // Tree order: children before grandchildren of later siblings, as a depth-first walk finds them.
    for (QObject* child : parent->children())
        if (auto* c = qobject_cast<Control*>(child))
            if (Control* found = findSubControlByName(c, name))
                return found;
    return nullptr;
}

int Window::showModal()
{
    if (loop_)
        return -1;
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    QEventLoop loop;
    loop_ = &loop;
    loop.exec();
    loop_ = nullptr;
    return result_;
}

void Window::close(int result)
{
    result_ = result;
    hide();
    if (loop_)
        loop_->quit();
    else
        onFinalMessage();
}

void Window::closeEvent(QCloseEvent* e)
{
    // A close asked for by the platform (window manager) goes through the same path as "closebtn".
    e->ignore();
    handleMessage(WM_CLOSE_MSG, 0, 0, nullptr);
}

void Window::centerWindow(QWidget* over)
{
    QRect area;
    if (over && over->isVisible())
        area = over->frameGeometry();
    else if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        area = s->availableGeometry();
    if (area.isValid())
        move(area.center() - QPoint(width() / 2, height() / 2));
}

void Window::setDpi(int dpi)
{
    if (dpi <= 0 || dpi == dpi_)
        return;
    dpi_ = dpi;
    resize(QSize(qRound(sizeUnits_.width() * scale()), qRound(sizeUnits_.height() * scale())));
    for (Control* c : findChildren<Control*>())
        c->textIdsChanged();
    if (auto* container = qobject_cast<Container*>(root_))
        container->relayout();
}

void Window::resizeEvent(QResizeEvent*)
{
    if (root_)
        root_->setGeometry(rect());
    if (root_ && initNotified_)
        sendNotify(root_, notify::WindowSize);
}

void Window::showEvent(QShowEvent*)
{
    if (initNotified_)
        return;
    initNotified_ = true;
    // After the first layout, as the program expects: once, with the root as sender.
    QMetaObject::invokeMethod(this, [this] { sendNotify(root_, notify::WindowInit); }, Qt::QueuedConnection);
}

void Window::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && e->position().y() < captionHeight_ * scale() && windowHandle())
        windowHandle()->startSystemMove();
}

} // namespace q9::ui

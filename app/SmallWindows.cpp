#include "app/SmallWindows.h"

#include "app/DialogService.h"
#include "platform/Folders.h"
#include "platform/Trace.h"
#include "ui/Control.h"
#include "ui/Containers.h"

#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QSettings>

namespace q9::app {

int CMsgWnd::acceptedDpi(int requested)
{
    if (requested >= 48 && requested <= 192 && requested % 24 == 0)
        return requested;
    trace("MSG_WND DPI SET ERROR");
    return 96;
}

void CMsgWnd::notify(ui::TNotify& msg)
{
    if (msg.type == ui::notify::Click && msg.sender) {
        const QString n = msg.sender->name();
        if (n.compare(QLatin1String("closebtn"), Qt::CaseInsensitive) == 0 || n.compare(QLatin1String("cancel_btn"), Qt::CaseInsensitive) == 0)
            close(0);
        else if (n.compare(QLatin1String("confirm_btn"), Qt::CaseInsensitive) == 0)
            close(1);
        return;
    }
}

int ShowMessageBox(QWidget* owner, const QString& title, const QString& text, int dpi, bool textIsId, int buttons)
{
    DialogService& service = DialogService::instance();
    service.setLastMessage(text);
    trace("消息框 " + text.toStdString());
    if (auto answer = service.takeAnswer())
        return *answer;
    if (service.scripted()) {
        service.noteUnanswered(QStringLiteral("the message box \"%1\"").arg(text));
        return 0;
    }
    CMsgWnd box;
    box.setParent(owner, box.windowFlags() | Qt::Tool);
    if (!box.create(QStringLiteral("msgwnd")))
        return 0;
    if (!title.isEmpty())
        if (ui::Control* t = box.findControl(QStringLiteral("MessageTitle")))
            t->setText(title);
    if (!text.isEmpty())
        if (ui::Control* t = box.findControl(QStringLiteral("MessageText"))) {
            t->setTextIsId(textIsId);
            t->setText(text);
        }
    const int wanted = CMsgWnd::acceptedDpi(dpi);
    if (wanted != box.dpi())
        box.setDpi(wanted);
    ui::Control* cancel = box.findControl(QStringLiteral("cancel_btn"));
    ui::Control* confirm = box.findControl(QStringLiteral("confirm_btn"));
    if (buttons == 0) {
        if (cancel)
            cancel->setVisible(false);
        if (confirm)
            confirm->setVisible(true);
    } else if (buttons == 1) {
        if (cancel)
            cancel->setVisible(true);
        if (confirm)
            confirm->setVisible(true);
    }
    box.centerWindow(owner);
    return box.showModal();
}

void CAboutWnd::initWindow()
{
    ui::Control* probe = findControl(QStringLiteral("text_test"));
    ui::Control* label = findControl(QStringLiteral("software_ver_label"));
    if (probe && label) {
        probe->setTextIsId(true);
        probe->setText(QStringLiteral("software_rev_text"));
        label->setText(probe->text());
    }
}

void CAboutWnd::notify(ui::TNotify& msg)
{
    if (msg.type != ui::notify::Click || !msg.sender)
        return;
    const QString n = msg.sender->name();
    if (n == QLatin1String("closebtn"))
        close(0);
    else if (n == QLatin1String("minbtn"))
        showMinimized();
    else if (n == QLatin1String("maxbtn") || n == QLatin1String("restorebtn")) {
        const bool maximise = n == QLatin1String("maxbtn");
        maximise ? showMaximized() : showNormal();
        if (ui::Control* c = findControl(QStringLiteral("maxbtn")))
            c->setVisible(!maximise);
        if (ui::Control* c = findControl(QStringLiteral("restorebtn")))
            c->setVisible(maximise);
    }
}

intptr_t CAboutWnd::handleCustomMessage(uint32_t msg, uint64_t, int64_t, const CopyData*, bool& handled)
{
    if (msg == 3089) { // the language changed
        if (root())
            root()->update();
        return 0;
    }
    handled = false; // a close asked for by the window system closes only this window
    return 0;
}

SkinNotifier& SkinNotifier::instance()
{
    static SkinNotifier n;
    return n;
}

int SkinNotifier::add(Receiver r)
{
    if (!r)
        return -1;
    receivers_.emplace_back(next_, std::move(r));
    return next_++;
}

void SkinNotifier::remove(int id)
{
    for (auto it = receivers_.begin(); it != receivers_.end(); ++it)
        if (it->first == id) {
            receivers_.erase(it);
            return;
        }
}

void SkinNotifier::broadcast(const SkinChangedParam& p)
{
    const auto receivers = receivers_;
    for (const auto& [id, r] : receivers)
        r(p);
}

CSkinFrame::CSkinFrame(QWidget* owner, ui::Control* anchor) : ui::Window(nullptr)
{
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
    if (!create(QStringLiteral("skinframe")))
        return;
    if (anchor && owner) {
        const QPoint bottomRight = anchor->mapToGlobal(QPoint(anchor->width(), anchor->height()));
        move(bottomRight.x() - width(), bottomRight.y());
    }
    show();
}

void CSkinFrame::writeChoice(const QString& flags, const QString& image)
{
    QSettings ini(folders::userDataFolder() + QStringLiteral("main.ini"), QSettings::IniFormat);
    ini.setValue(QStringLiteral("SKINIMAGE/FLAGS"), flags);
    ini.setValue(QStringLiteral("SKINIMAGE/IMAGE"), image);
    ini.sync();
}

void CSkinFrame::notify(ui::TNotify& msg)
{
    if (msg.type != ui::notify::Click || !msg.sender)
        return;
    const QString n = msg.sender->name().toLower();
    auto tabs = qobject_cast<ui::TabLayout*>(findControl(QStringLiteral("skin_tab")));
    if (n == QLatin1String("skin_image_btn")) {
        SkinChangedParam p{false, 0, msg.sender->userData()};
        SkinNotifier::instance().broadcast(p);
        writeChoice(QStringLiteral("1"), p.image);
    } else if (n == QLatin1String("skin_color_btn")) {
        SkinNotifier::instance().broadcast({true, msg.sender->bkColor(), {}});
    } else if (n == QLatin1String("skin_color")) {
        if (tabs)
            tabs->selectItem(1);
    } else if (n == QLatin1String("skin_image")) {
        if (tabs)
            tabs->selectItem(0);
    } else if (n == QLatin1String("skin_reset")) {
        const QString image = QStringLiteral("common/background.png");
        SkinNotifier::instance().broadcast({false, 0, image});
        writeChoice(QStringLiteral("0"), image);
    } else if (n == QLatin1String("skin_custom")) {
        const QString file = DialogService::instance().openFile(nullptr, QStringLiteral("(*.png) (*.png);;(*.*) (*)"));
        if (!file.isEmpty())
            SkinNotifier::instance().broadcast({false, 0, file});
    }
}

bool CSkinFrame::event(QEvent* e)
{
    if (e->type() == QEvent::WindowDeactivate)
        close(0); // closes as soon as it loses the focus
    return ui::Window::event(e);
}

} // namespace q9::app

#include "ui/TrayIcon.h"

#include "platform/Messages.h"
#include "ui/Resources.h"

#include <QIcon>
#include <QSystemTrayIcon>

namespace q9::ui {

TrayIcon::TrayIcon(QObject* parent) : QObject(parent) {}

TrayIcon::~TrayIcon() { remove(); }

bool TrayIcon::create(MessageTarget* owner, const QString& iconFile, const QString& tooltip, uint32_t callbackMessage)
{
    remove();
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return false;
    icon_ = new QSystemTrayIcon(QIcon(Resources::instance().resolve(iconFile)), this);
    icon_->setToolTip(tooltip);
    connect(icon_, &QSystemTrayIcon::activated, this, [owner, callbackMessage](QSystemTrayIcon::ActivationReason r) {
        const int64_t code = r == QSystemTrayIcon::DoubleClick ? kTrayDoubleClick
                           : r == QSystemTrayIcon::Context     ? kTrayRightUp : kTrayLeftUp;
        owner->post(callbackMessage, 0, code);
    });
    icon_->show();
    return true;
}

void TrayIcon::remove()
{
    if (!icon_)
        return;
    icon_->hide();
    delete icon_;
    icon_ = nullptr;
}

void TrayIcon::setTooltip(const QString& tooltip)
{
    if (icon_)
        icon_->setToolTip(tooltip);
}

} // namespace q9::ui

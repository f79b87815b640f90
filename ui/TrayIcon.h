#pragma once
// The notification-area icon. Clicks reach the owner window as its callback message with the mouse
// message number in lParam (0x0202 left button up, 0x0203 double click, 0x0205 right button up).
#include <QObject>
#include <QString>

#include <cstdint>

class QSystemTrayIcon;

namespace q9 {
class MessageTarget;
}

namespace q9::ui {

constexpr int64_t kTrayLeftUp = 0x0202;
constexpr int64_t kTrayDoubleClick = 0x0203;
constexpr int64_t kTrayRightUp = 0x0205;

class TrayIcon : public QObject {
    Q_OBJECT
public:
    explicit TrayIcon(QObject* parent = nullptr);
    ~TrayIcon() override;
    // False when the desktop has no notification area (the program then keeps its window instead).
    bool create(MessageTarget* owner, const QString& iconFile, const QString& tooltip, uint32_t callbackMessage);
    void remove();
    bool isCreated() const { return icon_ != nullptr; }
    void setTooltip(const QString& tooltip);

private:
    QSystemTrayIcon* icon_ = nullptr;
};

} // namespace q9::ui

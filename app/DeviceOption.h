#pragma once
// A device tab of the main window's device strip, and a power item (battery state). The tab owns
// the timers that keep its device's page in step: link checks, reads, light painting, power polls.
#include "device/DeviceEnvironment.h"
#include "ui/Containers.h"

#include <QElapsedTimer>

namespace q9 {
class CTarvenixUSBDevice;
class MessageTarget;
}

namespace q9::app {

enum : uint32_t { kMsgArrival = 3090, kMsgRemoval = 3091, kMsgTabPresence = 3331, kMsgFirmware = 3332 };

class CDeviceOptionUI : public ui::HorizontalLayout, public DeviceTabLink {
    Q_OBJECT
public:
    explicit CDeviceOptionUI(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("DeviceOption"); }
    ui::Control* getInterface(const QString& className) override;
    void doEvent(ui::UiEvent& event) override;

    void SetDevice(CTarvenixUSBDevice* device) { device_ = device; }
    CTarvenixUSBDevice* device() const { return device_; }
    void SetMainWindow(MessageTarget* wnd) { main_ = wnd; }
    void SetKind(int kind, int sub);
    void SetName(const QString& text);
    void BindPage(const QString& layoutName, int index);
    void SetPower(const QString& containerName, int index);
    void SetGroup(const QString& group);
    void SetSelected(bool on);
    void SetSynchronised(bool ticked);
    bool IsSelected() const;
    bool IsSynchronised() const;
    void SetTabVisible(bool on);
    bool tabVisible() const { return visible_; }
    int pageIndex() const { return pageIndex_; }
    QString pageLayout() const { return pageLayout_; }
    int powerIndex() const { return powerIndex_; }
    QString powerContainer() const { return powerContainer_; }
    // The main window is hidden or minimised: no frames are painted (nothing is shown); the
    // picture is brought up to date once when it shows again.
    void setWindowHidden(bool hidden);

    // DeviceTabLink
    void startTabTimer(int id, int milliseconds) override { setUiTimer(id, milliseconds); }
    void restartTimers() override { setUiTimer(1001, 500); }
    // Timer 1000 paints the lights: it runs only when a zone colour changed, at most once per
    // display frame.
    void requestFrame() override;

private:
    int tabIndex() const;
    void applyPictures();
    void onTimer(int id);

    CTarvenixUSBDevice* device_ = nullptr;
    MessageTarget* main_ = nullptr;
    bool visible_ = false;
    QElapsedTimer lastFrame_;
    int kind_ = 0;
    int sub_ = 0;
    QString pageLayout_;
    int pageIndex_ = -1;
    QString powerContainer_;
    int powerIndex_ = -1;
    QString pictures_[4];
    bool windowHidden_ = false;
};

class CMpDevicePowerUI : public ui::HorizontalLayout, public PowerItemLink {
    Q_OBJECT
public:
    explicit CMpDevicePowerUI(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("MpDevicePower"); }
    ui::Control* getInterface(const QString& className) override;

    void SetKind(int kind, int sub)
    {
        kind_ = kind;
        sub_ = sub;
    }
    void ShowPowerLayout(bool visible);
    void showPowerReport(const uint8_t* bytes, size_t length) override;
    void setWirelessCapable(bool capable) override { ShowPowerLayout(capable); }
    int kind() const { return kind_; }

private:
    ui::Control* sub(const char* name);
    int kind_ = 0;
    int sub_ = 0;
};

} // namespace q9::app

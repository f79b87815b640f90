#pragma once
// The base of every skin control: a Qt widget with the state and operations the program relies on
// (name, text and text-id flag, tooltip, colours and images, user data, fixed size and position
// for the layouts, timers, notifications) and a single event entry, doEvent(), that the custom
// controls override. Sizes are in skin units; the window's DPI scale applies when laying out.
#include "ui/Notify.h"

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QHash>
#include <QMargins>
#include <QRect>
#include <QString>
#include <QWidget>

namespace q9::ui {

class Window;

enum class EventType { KeyDown, MouseMove, MouseLeave, MouseEnter, ButtonDown, ButtonUp, DoubleClick, ContextMenu, Timer };

struct UiEvent {
    EventType type = EventType::MouseMove;
    QPoint pt;                 // in the control's coordinates
    int key = 0;               // KeyDown: Qt::Key
    Qt::KeyboardModifiers modifiers;
    int timerId = 0;           // Timer: the control timer's id
};

// "#AARRGGBB", "#RRGGBB", "0xAARRGGBB"; false when unreadable.
bool parseColor(const QString& text, QRgb& out);

class Control : public QWidget {
    Q_OBJECT
public:
    explicit Control(QWidget* parent = nullptr);
    ~Control() override;

    virtual QString getClass() const { return QStringLiteral("Control"); }
    // Moves on whenever a control that holds others changes how it looks (background, border):
    // pictures that keep what lies under them compare it.
    static unsigned layoutLookGeneration();
    // Something drawn into a kept picture of the layouts changed (a key's label, say).
    static void noteLookChanged();
    // The control itself when it is of (or derives from) the named class.
    virtual Control* getInterface(const QString& className);

    QString name() const { return objectName(); }
    void setName(const QString& n) { setObjectName(n); }

    // Text: with the id flag set, the stored text is a text id resolved through the language table.
    virtual QString text() const;
    QString rawText() const { return text_; }
    virtual void setText(const QString& text);
    void setTextIsId(bool isId);
    bool textIsId() const { return textIsId_; }
    void setToolTipText(const QString& text); // follows the id flag too
    virtual void textIdsChanged();           // the language changed

    QRgb bkColor() const { return bkColor_; }
    void setBkColor(QRgb argb);
    QString bkImage() const { return bkImage_; }
    void setBkImage(const QString& image);
    QRgb textColor() const { return textColor_; }
    void setTextColor(QRgb argb);
    QString userData() const { return userData_; }
    void setUserData(const QString& value) { userData_ = value; }
    quint64 tag() const { return tag_; }
    void setTag(quint64 t) { tag_ = t; }
    int fontId() const { return fontId_; }
    void setFontId(int id);

    // Geometry for the layouts, in skin units (-1: not fixed).
    int fixedWidth() const { return fixedWidth_; }
    int fixedHeight() const { return fixedHeight_; }
    void setFixedSizeUnits(int width, int height);
    bool isFloat() const { return float_; }
    QRect floatPos() const { return pos_; }
    void setFloatPos(const QRect& pos);
    QMargins padding() const { return padding_; }
    QSize minUnits() const { return minSize_; }
    QSize maxUnits() const { return maxSize_; }

    // Applies one skin attribute; false when the name is unknown to the control.
    virtual bool setAttribute(const QString& name, const QString& value);
    using QWidget::setAttribute;
    // Called once the whole tree of its layout file is built.
    virtual void doInit() {}

    // Timers by id that repeat until killed; each tick is a Timer event.
    void setUiTimer(int id, int milliseconds);
    void killUiTimer(int id);
    bool uiTimerActive(int id) const { return timers_.contains(id); }

    void sendNotify(const QString& type, uint64_t wParam = 0, int64_t lParam = 0);
    Window* manager() const;
    double scale() const;
    QFont makeFont(int id) const;

    // A notification of a control inside this one, seen on its way to the window.
    virtual void childNotify(TNotify& msg) { Q_UNUSED(msg); }

    // The event entry (also used by tests to feed events directly).
    virtual void doEvent(UiEvent& event);

    bool hideWhenAttached() const { return hideWhenAttached_; }
    bool isHot() const { return hot_; }
    bool isPushed() const { return pushed_; }

protected:
    // Whether a paint would draw anything at all: a control that would not (a bare layout, a key
    // button at rest) is skipped without a painter, which matters when a frame repaints many
    // small areas. Controls that draw more than the base state answer true.
    virtual bool paintsAnything() const { return true; }
    bool basePaintsAnything() const
    {
        return bkColor_ || !bkImage_.isEmpty() || (borderColor_ && borderSize_ > 0) || !text_.isEmpty();
    }
    virtual void doPaint(QPainter& p);
    virtual void paintBkColor(QPainter& p);
    virtual void paintBkImage(QPainter& p);
    virtual void paintStatusImage(QPainter& p) { Q_UNUSED(p); }
    virtual void paintForeColor(QPainter& p) { Q_UNUSED(p); }
    virtual void paintText(QPainter& p);
    virtual void paintBorder(QPainter& p);
    // Whether presses on the control are its own (else they go on to the parent, e.g. to drag the window).
    virtual bool wantsMouse() const { return wantsMouse_; }
    void needParentUpdate(); // size or position changed: the parent lays out again
    QRect textRect() const;
    // The part of the control a paint in progress exposes (all of it outside a paint).
    QRect exposedRect() const;
    int textFlags() const { return textFlags_; }
    QMargins textPadding() const { return textPadding_; }
    QPainterPath clipPath() const;
    void drawImageString(QPainter& p, const QString& image, const QRect& target);

    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void contextMenuEvent(QContextMenuEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void timerEvent(QTimerEvent*) override;

    bool hot_ = false;
    bool pushed_ = false;
    bool captured_ = false;
    QRgb disabledTextColor_ = 0xFF6A6E78;
    double disabledOpacity_ = 1.0; // the whole control is painted so while disabled
    QRgb bkColor2_ = 0;
    QRgb borderColor_ = 0;
    int borderSize_ = 0;
    int borderRound_ = 0;

private:
    QString text_;
    bool textIsId_ = false;
    QString toolTip_;
    bool toolTipIsId_ = false;
    QRgb bkColor_ = 0;
    QString bkImage_;
    QRgb textColor_ = 0xFFE6E8EE;
    QString userData_;
    quint64 tag_ = 0;
    int fontId_ = -1;
    int fixedWidth_ = -1;
    int fixedHeight_ = -1;
    QSize minSize_{0, 0};
    QSize maxSize_{-1, -1};
    bool float_ = false;
    QRect pos_;
    QMargins padding_;
    QMargins textPadding_;
    int textFlags_ = Qt::AlignLeft | Qt::AlignVCenter;
    bool wantsMouse_ = false;
    bool hideWhenAttached_ = false; // visible="false" on a control that has no parent yet
    QHash<int, int> timers_; // our id -> Qt timer id
};

} // namespace q9::ui

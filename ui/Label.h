#pragma once
// Text controls and buttons: Label (one line), Text (wrapping), Button (click), Option (selected
// state, exclusive within a "group"), CheckBox (an option without a group).
#include "ui/Control.h"

namespace q9::ui {

class Label : public Control {
    Q_OBJECT
public:
    using Control::Control;
    QString getClass() const override { return QStringLiteral("Label"); }
    Control* getInterface(const QString& className) override;
};

class Text : public Label {
    Q_OBJECT
public:
    explicit Text(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("Text"); }
};

class Button : public Label {
    Q_OBJECT
public:
    explicit Button(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("Button"); }
    Control* getInterface(const QString& className) override;
    bool setAttribute(const QString& name, const QString& value) override;
    void doEvent(UiEvent& event) override;
    // What a click does: the "click" notification.
    virtual void activate();

    void setNormalImage(const QString& image);
    QString normalImage() const { return normalImage_; }
    void setHotImage(const QString& image) { hotImage_ = image; update(); }
    void setForeImage(const QString& image) { foreImage_ = image; update(); }

protected:
    bool wantsMouse() const override { return true; }
    void paintBkColor(QPainter& p) override;
    void paintStatusImage(QPainter& p) override;
    void paintText(QPainter& p) override;
    virtual QRgb currentBkColor() const;
    virtual QRgb currentTextColor() const;

    QString normalImage_, hotImage_, pushedImage_, disabledImage_, foreImage_, hotForeImage_;
    QRgb hotBkColor_ = 0, pushedBkColor_ = 0, disabledBkColor_ = 0;
    QRgb hotTextColor_ = 0, pushedTextColor_ = 0;
};

class Option : public Button {
    Q_OBJECT
public:
    explicit Option(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("Option"); }
    Control* getInterface(const QString& className) override;
    bool setAttribute(const QString& name, const QString& value) override;
    void activate() override;

    bool isSelected() const { return selected_; }
    // Selecting an option of a group unselects the others silently; only the changed option notifies.
    virtual void selected(bool on, bool notify = true);
    QString group() const { return group_; }
    void setGroup(const QString& g) { group_ = g; }

protected:
    void paintBkColor(QPainter& p) override;
    void paintStatusImage(QPainter& p) override;
    QRgb currentTextColor() const override;

    bool selected_ = false;
    QString group_;
    QString selectedImage_, selectedHotImage_, selectedForeImage_;
    QRgb selectedBkColor_ = 0, selectedTextColor_ = 0;
};

class CheckBox : public Option {
    Q_OBJECT
public:
    explicit CheckBox(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("CheckBox"); }
    Control* getInterface(const QString& className) override;

protected:
    // Without images of its own a check box draws a box and a tick before its text.
    void paintStatusImage(QPainter& p) override;
    void paintText(QPainter& p) override;
    QRgb accent_ = 0xFF00C2FF;
};

} // namespace q9::ui

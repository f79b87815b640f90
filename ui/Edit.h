#pragma once
// Text entry: Edit (one line) and RichEdit (several lines). They raise "textchanged" while the user
// types, "return" on Enter (Edit), "setfocus" and "killfocus".
#include "ui/Control.h"

class QLineEdit;
class QPlainTextEdit;

namespace q9::ui {

class Edit : public Control {
    Q_OBJECT
public:
    explicit Edit(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("Edit"); }
    Control* getInterface(const QString& className) override;
    bool setAttribute(const QString& name, const QString& value) override;
    QString text() const override;
    void setText(const QString& text) override;
    void textIdsChanged() override;
    void setReadOnly(bool on);
    void setMaxChar(int n);
    QLineEdit* lineEdit() const { return edit_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent*) override;
    void paintText(QPainter&) override {}
    void applyStyle();

private:
    QLineEdit* edit_;
    QString promptId_; // the placeholder's text id, followed when the language changes
};

class RichEdit : public Control {
    Q_OBJECT
public:
    explicit RichEdit(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("RichEdit"); }
    Control* getInterface(const QString& className) override;
    bool setAttribute(const QString& name, const QString& value) override;
    QString text() const override;
    void setText(const QString& text) override;
    QPlainTextEdit* textEdit() const { return edit_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent*) override;
    void paintText(QPainter&) override {}

private:
    QPlainTextEdit* edit_;
};

} // namespace q9::ui

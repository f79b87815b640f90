#include "ui/Edit.h"

#include "ui/Resources.h"

#include <QEvent>
#include <QIntValidator>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace q9::ui {

namespace {

bool isTrue(const QString& v) { return v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0; }

QString editStyle(QRgb text)
{
    // A disabled edit keeps its text readable but plainly out of use.
    QColor dim = QColor::fromRgba(text);
    dim.setAlpha(dim.alpha() * 2 / 5);
    return QStringLiteral("* { background: transparent; border: none; color: %1; selection-background-color: #3300C2FF;"
                          " selection-color: #FFFFFF; } *:disabled { color: %2; }")
        .arg(QColor::fromRgba(text).name(QColor::HexArgb), dim.name(QColor::HexArgb));
}

} // namespace

Edit::Edit(QWidget* parent) : Control(parent), edit_(new QLineEdit(this))
{
    edit_->setFrame(false);
    edit_->installEventFilter(this);
    setCursor(Qt::IBeamCursor);
    applyStyle();
    connect(edit_, &QLineEdit::textEdited, this, [this] { sendNotify(notify::TextChanged); });
    connect(edit_, &QLineEdit::returnPressed, this, [this] { sendNotify(notify::Return); });
}

Control* Edit::getInterface(const QString& className)
{
    return className.compare(QLatin1String("Edit"), Qt::CaseInsensitive) == 0 ? this : Control::getInterface(className);
}

void Edit::applyStyle()
{
    edit_->setStyleSheet(editStyle(textColor()));
    edit_->setFont(makeFont(fontId()));
    edit_->setAlignment(Qt::Alignment(textFlags() & (Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask)));
}

bool Edit::setAttribute(const QString& name, const QString& value)
{
    const QString n = name.toLower();
    if (n == QLatin1String("maxchar")) setMaxChar(value.toInt());
    else if (n == QLatin1String("readonly")) setReadOnly(isTrue(value));
    else if (n == QLatin1String("password")) edit_->setEchoMode(isTrue(value) ? QLineEdit::Password : QLineEdit::Normal);
    else if (n == QLatin1String("numberonly")) {
        if (isTrue(value))
            edit_->setValidator(new QIntValidator(0, 999999999, edit_));
    } else if (n == QLatin1String("prompttext")) edit_->setPlaceholderText(value);
    else if (n == QLatin1String("prompttextid")) {
        promptId_ = value;
        edit_->setPlaceholderText(Resources::instance().text(value));
    }
    else {
        if (!Control::setAttribute(name, value))
            return false;
        if (n == QLatin1String("text") || n == QLatin1String("textid"))
            edit_->setText(Control::text());
    }
    applyStyle();
    return true;
}

QString Edit::text() const { return edit_->text(); }

void Edit::setText(const QString& text)
{
    Control::setText(text);
    if (edit_->text() != Control::text())
        edit_->setText(Control::text());
}

void Edit::textIdsChanged()
{
    Control::textIdsChanged();
    if (textIsId())
        edit_->setText(Control::text());
    if (!promptId_.isEmpty())
        edit_->setPlaceholderText(Resources::instance().text(promptId_));
}

void Edit::setReadOnly(bool on) { edit_->setReadOnly(on); }
void Edit::setMaxChar(int n) { edit_->setMaxLength(n > 0 ? n : 32767); }

bool Edit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edit_) {
        if (event->type() == QEvent::FocusIn)
            sendNotify(notify::SetFocus);
        else if (event->type() == QEvent::FocusOut)
            sendNotify(notify::KillFocus);
    }
    return Control::eventFilter(watched, event);
}

void Edit::resizeEvent(QResizeEvent*)
{
    edit_->setGeometry(textRect().adjusted(qRound(6 * scale()), 0, -qRound(6 * scale()), 0));
    applyStyle();
}

RichEdit::RichEdit(QWidget* parent) : Control(parent), edit_(new QPlainTextEdit(this))
{
    edit_->setFrameStyle(0);
    edit_->installEventFilter(this);
    edit_->setStyleSheet(editStyle(textColor()));
    connect(edit_, &QPlainTextEdit::textChanged, this, [this] {
        if (edit_->hasFocus())
            sendNotify(notify::TextChanged);
    });
}

Control* RichEdit::getInterface(const QString& className)
{
    return className.compare(QLatin1String("RichEdit"), Qt::CaseInsensitive) == 0 ? this : Control::getInterface(className);
}

bool RichEdit::setAttribute(const QString& name, const QString& value)
{
    const QString n = name.toLower();
    if (n == QLatin1String("readonly"))
        edit_->setReadOnly(isTrue(value));
    else if (!Control::setAttribute(name, value))
        return false;
    else if (n == QLatin1String("text") || n == QLatin1String("textid"))
        edit_->setPlainText(Control::text());
    edit_->setStyleSheet(editStyle(textColor()));
    edit_->setFont(makeFont(fontId()));
    return true;
}

QString RichEdit::text() const { return edit_->toPlainText(); }

void RichEdit::setText(const QString& text)
{
    Control::setText(text);
    edit_->setPlainText(Control::text());
}

bool RichEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edit_) {
        if (event->type() == QEvent::FocusIn)
            sendNotify(notify::SetFocus);
        else if (event->type() == QEvent::FocusOut)
            sendNotify(notify::KillFocus);
    }
    return Control::eventFilter(watched, event);
}

void RichEdit::resizeEvent(QResizeEvent*) { edit_->setGeometry(textRect()); }

} // namespace q9::ui

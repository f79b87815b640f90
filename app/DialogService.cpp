#include "app/DialogService.h"

#include <QFileDialog>

namespace q9::app {

DialogService& DialogService::instance()
{
    static DialogService s;
    return s;
}

std::optional<int> DialogService::takeAnswer()
{
    if (answers_.empty())
        return std::nullopt;
    const int a = answers_.front();
    answers_.pop_front();
    return a;
}

std::optional<QString> DialogService::takeFile()
{
    if (files_.empty())
        return std::nullopt;
    QString f = files_.front();
    files_.pop_front();
    return f;
}

QString DialogService::openFile(QWidget* owner, const QString& filter)
{
    if (auto f = takeFile())
        return *f;
    if (scripted_) {
        noteUnanswered(QStringLiteral("a file dialog"));
        return {};
    }
    return QFileDialog::getOpenFileName(owner, QString(), QString(), filter);
}

QString DialogService::saveFile(QWidget* owner, const QString& filter)
{
    if (auto f = takeFile())
        return *f;
    if (scripted_) {
        noteUnanswered(QStringLiteral("a file dialog"));
        return {};
    }
    return QFileDialog::getSaveFileName(owner, QString(), QString(), filter);
}

} // namespace q9::app

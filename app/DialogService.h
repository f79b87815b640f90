#pragma once
// The message boxes and file dialogs of the program go through here, so that scripts and tests can
// answer them: a queued answer is taken instead of showing the dialog.
#include <QRgb>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>

class QWidget;

namespace q9::app {

class DialogService {
public:
    static DialogService& instance();

    void queueAnswer(int answer) { answers_.push_back(answer); }
    void queueFile(const QString& path) { files_.push_back(path); }
    // The colour the next colour picker hands back, as if chosen and confirmed.
    void queueColour(QRgb colour) { colours_.push_back(colour); }
    std::optional<QRgb> takeColour()
    {
        if (colours_.empty())
            return std::nullopt;
        const QRgb c = colours_.front();
        colours_.pop_front();
        return c;
    }
    std::optional<int> takeAnswer();
    void clear()
    {
        answers_.clear();
        files_.clear();
        colours_.clear();
        lastMessage_.clear();
        unanswered_.reset();
    }
    // A script drives the program: a dialog it did not answer beforehand is not shown (nobody is
    // there to answer it); it is cancelled and remembered, and the script fails on that line.
    void setScripted(bool on) { scripted_ = on; }
    bool scripted() const { return scripted_; }
    std::optional<QString> takeUnanswered()
    {
        auto u = unanswered_;
        unanswered_.reset();
        return u;
    }
    void noteUnanswered(const QString& what)
    {
        unanswered_ = what;
        if (onUnanswered)
            onUnanswered(what);
    }
    // Called at once when a scripted run meets a dialog it did not answer.
    std::function<void(const QString&)> onUnanswered;
    std::optional<QString> takeFile();
    // What the last message box said (its text id), for scripts and tests.
    QString lastMessage() const { return lastMessage_; }
    void setLastMessage(const QString& m) { lastMessage_ = m; }

    // filter: a display name and its pattern, e.g. "Profile Files(*.json)". Empty: cancelled.
    QString openFile(QWidget* owner, const QString& filter);
    QString saveFile(QWidget* owner, const QString& filter);

private:
    std::deque<int> answers_;
    std::deque<QString> files_;
    std::deque<QRgb> colours_;
    QString lastMessage_;
    bool scripted_ = false;
    std::optional<QString> unanswered_;
};

} // namespace q9::app

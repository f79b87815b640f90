#include "platform/HandOver.h"

#include <QCoreApplication>

namespace q9 {
namespace {

class CallEvent final : public QEvent {
public:
    static QEvent::Type kind()
    {
        static const auto t = QEvent::Type(QEvent::registerEventType());
        return t;
    }
    explicit CallEvent(std::function<void()> f) : QEvent(kind()), call(std::move(f)) {}
    std::function<void()> call;
};

} // namespace

void postCall(QObject* receiver, std::function<void()> call)
{
    auto* e = new CallEvent(std::move(call));
    markHandOver(e);
    QCoreApplication::postEvent(receiver, e);
}

bool runPostedCall(QEvent* event)
{
    markTakeOver(event);
    if (event->type() != CallEvent::kind())
        return false;
    static_cast<CallEvent*>(event)->call();
    return true;
}

} // namespace q9

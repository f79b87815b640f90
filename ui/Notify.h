#pragma once
// A notification: what a control tells its window about a user action.
#include <QString>

#include <cstdint>

namespace q9::ui {

class Control;

struct TNotify {
    QString type;
    Control* sender = nullptr;
    uint64_t wParam = 0;
    int64_t lParam = 0;
    int64_t time = 0; // milliseconds since the epoch
};

// The type words the program handles.
namespace notify {
inline const QString Click = QStringLiteral("click");
inline const QString SelectChanged = QStringLiteral("selectchanged");
inline const QString ItemSelect = QStringLiteral("itemselect");
inline const QString ItemClick = QStringLiteral("itemclick");
inline const QString ItemActivate = QStringLiteral("itemactivate");
inline const QString ValueChanged = QStringLiteral("valuechanged");
inline const QString MoveValueChanged = QStringLiteral("movevaluechanged");
inline const QString KillFocus = QStringLiteral("killfocus");
inline const QString SetFocus = QStringLiteral("setfocus");
inline const QString TextChanged = QStringLiteral("textchanged");
inline const QString Return = QStringLiteral("return");
inline const QString WindowInit = QStringLiteral("windowinit");
inline const QString WindowSize = QStringLiteral("windowsize");
inline const QString ColorChanged = QStringLiteral("colorchanged");
inline const QString Timer = QStringLiteral("timer");
inline const QString MsEnter = QStringLiteral("msenter");
inline const QString MsLeave = QStringLiteral("msleave");
inline const QString Menu = QStringLiteral("menu");
inline const QString DbClick = QStringLiteral("dbclick");
inline const QString ClickSelectEnd = QStringLiteral("click_select_end");
inline const QString ClickHandDelete = QStringLiteral("click_handdelete");
} // namespace notify

} // namespace q9::ui

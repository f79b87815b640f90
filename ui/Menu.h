#pragma once
// Pop-up menus built from a skin file:
//   <Menu><MenuElement name="exit" text="exit_text" textid="true"/><Separator/>...</Menu>
// popup() shows the menu and returns the name of the clicked item (empty when dismissed).
#include <QPoint>
#include <QString>

class QMenu;
class QWidget;

namespace q9::ui {

class Menu {
public:
    static QMenu* build(const QString& skin, QWidget* parent);
    static QString popup(const QString& skin, const QPoint& globalPos, QWidget* parent = nullptr);
};

} // namespace q9::ui

#include "editors/MacroEditor.h"

#include "editors/KeySetModel.h"
#include "platform/Trace.h"
#include "ui/Builder.h"
#include "ui/Edit.h"
#include "ui/Label.h"
#include "ui/List.h"
#include "ui/Window.h"

#include <json/json.h>

#include <QLineEdit>

#include <algorithm>

namespace q9::editors {
namespace {

constexpr const char* kRowSkin = "XML\\CustomControlXML\\MacroActionRow.xml";

void show(ui::Control* c, bool on)
{
    if (c)
        c->setVisible(on);
}

void enable(ui::Control* c, bool on)
{
    if (c)
        c->setEnabled(on);
}

} // namespace

CMacroControlUI::CMacroControlUI(ui::Control* root) : root_(root) {}

ui::Control* CMacroControlUI::find(const char* name) const
{
    QPointer<ui::Control>& slot = found_[name];
    if (!slot && root_)
        slot = ui::Window::findSubControlByName(root_, QString::fromLatin1(name));
    return slot;
}

ui::List* CMacroControlUI::nameList() const { return qobject_cast<ui::List*>(find("macro_name_list")); }
ui::List* CMacroControlUI::actionList() const { return qobject_cast<ui::List*>(find("macro_action_list")); }

void CMacroControlUI::SetMacroFolder(const std::wstring& folder) { store_.SetFolder(folder); }

void CMacroControlUI::LoadMacroList()
{
    store_.LoadList();
    ui::List* list = nameList();
    if (list) {
        list->removeAll();
        for (const MacroEntry& e : store_.list()) {
            auto* row = new ui::ListLabelElement;
            row->setFixedSizeUnits(-1, 30);
            row->setText(QString::fromStdWString(e.name));
            row->setToolTipText(QString::fromStdWString(e.name));
            row->setUserData(QString::fromStdString(e.id));
            list->add(row);
        }
    }
    rows_ = {};
    showRows();
    enableMacroControls(SelectedMacro() >= 0);
}

int CMacroControlUI::SelectedMacro() const
{
    ui::List* list = nameList();
    const int s = list ? list->curSel() : -1;
    return s >= 0 && s < int(store_.list().size()) ? s : -1;
}

void CMacroControlUI::SelectMacro(int index)
{
    if (ui::List* list = nameList())
        list->selectItem(index, false);
    ShowSelectedMacro();
}

void CMacroControlUI::enableMacroControls(bool on)
{
    for (const char* name : {"macro_action_layout", "mouse_move_layout", "macro_btn_export", "macro_btn_name_sub", "macro_btn_name_edit"})
        enable(find(name), on);
}

void CMacroControlUI::ShowSelectedMacro()
{
    const int s = SelectedMacro();
    if (s < 0 || store_.list()[size_t(s)].id.empty()) {
        if (ui::Control* e = find("macro_edit_macroname"))
            e->setText(QStringLiteral(" "));
        rows_ = {};
        showRows();
        enableMacroControls(false);
        return;
    }
    enableMacroControls(true);
    rows_.events = store_.LoadEvents(store_.list()[size_t(s)].id);
    rows_.selected = -1;
    showRows();
    if (ui::Control* e = find("macro_edit_macroname"))
        e->setText(QString::fromStdWString(store_.list()[size_t(s)].name));
}

std::wstring CMacroControlUI::AddMacro()
{
    const std::wstring name = store_.AddMacro();
    if (name.empty())
        return name;
    LoadMacroList();
    SelectMacro(int(store_.list().size()) - 1);
    return name;
}

ImportProblem CMacroControlUI::ImportMacro(const std::wstring& path, std::wstring* name)
{
    const ImportProblem p = store_.AddMacroFromFile(path, name);
    if (p != ImportProblem::Ok)
        return p;
    LoadMacroList();
    SelectMacro(int(store_.list().size()) - 1);
    return p;
}

bool CMacroControlUI::DeleteSelectedMacro()
{
    const int s = SelectedMacro();
    if (s < 0 || !store_.DeleteMacro(s))
        return false;
    LoadMacroList();
    if (!store_.list().empty())
        SelectMacro(0);
    else
        ShowSelectedMacro();
    return true;
}

RenameResult CMacroControlUI::RenameSelectedMacro()
{
    const int s = SelectedMacro();
    if (s < 0)
        return RenameResult::NoSuchMacro;
    ui::Control* edit = find("macro_edit_macroname");
    const std::wstring name = edit ? edit->text().toStdWString() : std::wstring();
    const RenameResult r = store_.RenameMacro(s, name);
    if (r == RenameResult::Renamed) {
        readDelays();
        const MacroRows kept = rows_;
        LoadMacroList();
        if (ui::List* list = nameList())
            list->selectItem(s, false);
        rows_ = kept; // unsaved edits of the events stay
        showRows();
        enableMacroControls(true);
        if (edit)
            edit->setText(QString::fromStdWString(store_.list()[size_t(s)].name));
    }
    return r;
}

bool CMacroControlUI::ExportSelectedMacro(const std::wstring& path) const
{
    const int s = SelectedMacro();
    return s >= 0 && store_.ExportMacro(s, path);
}

void CMacroControlUI::readDelays()
{
    ui::List* list = actionList();
    if (!list)
        return;
    if (list->curSel() >= 0)
        rows_.selected = list->curSel();
    for (int i = 0; i < list->count() && i < int(rows_.events.size()); ++i) {
        ui::Control* edit = ui::Window::findSubControlByName(list->getItemAt(i), QStringLiteral("macro_delay"));
        if (!edit)
            continue;
        if (edit->text().isEmpty())
            edit->setText(QStringLiteral("0"));
        rows_.events[size_t(i)].delay = std::clamp(leadingInt(edit->text().toStdString()), 0, 65535);
    }
}

bool CMacroControlUI::SaveSelectedMacro(bool* cut)
{
    const int s = SelectedMacro();
    if (cut)
        *cut = false;
    if (s < 0)
        return false;
    readDelays();
    if (int(rows_.events.size()) > kMaxEventsPerMacro) {
        rows_.events.resize(kMaxEventsPerMacro);
        rows_.selected = std::min(rows_.selected, kMaxEventsPerMacro - 1);
        if (cut)
            *cut = true;
    }
    showRows();
    const MacroEntry& e = store_.list()[size_t(s)];
    return store_.SaveEvents(e.id, e.name, rows_.events);
}

void CMacroControlUI::showRows()
{
    ui::List* list = actionList();
    if (!list)
        return;
    list->removeAll();
    ui::DialogBuilder builder;
    for (const MacroEvent& e : rows_.events) {
        ui::Control* row = builder.create(QString::fromLatin1(kRowSkin), nullptr, root_ ? root_->manager() : nullptr);
        if (!row) {
            trace("宏事件行无法创建");
            return;
        }
        row->setUserData(QString::fromStdString(Json::FastWriter().write(e.toJson())).trimmed());
        auto child = [&](const char* name) { return ui::Window::findSubControlByName(row, QString::fromLatin1(name)); };
        const bool keyboard = e.type == 10 || e.type == 9;
        const bool movement = e.type == 4 || e.type == 5;
        const bool named = e.type == 10 || e.type == 9 || e.type == 1 || movement;
        ui::Control* type = child(keyboard ? "macro_key_label" : "macro_mouse_label");
        show(child("macro_key_label"), keyboard);
        show(child("macro_mouse_label"), !keyboard);
        if (type) {
            const std::string id = named ? macroEventName(e) : std::string();
            type->setTextIsId(true);
            type->setText(QString::fromStdString(id));
        }
        const bool button = keyboard || e.type == 1;
        show(child("macro_down_label"), button && e.action == "down");
        show(child("macro_up_label"), button && e.action != "down");
        show(child("macro_text_label"), !button);
        if (ui::Control* t = child("macro_text_label"); t && movement)
            t->setText(QString::number(e.button));
        if (ui::Control* d = child("macro_delay"))
            d->setText(QString::number(std::min(e.delay, 65535)));
        list->add(row);
    }
    if (rows_.selected >= 0 && rows_.selected < list->count())
        list->selectItem(rows_.selected, false);
}

void CMacroControlUI::MoveEventUp()
{
    readDelays();
    const int s = rows_.selected;
    if (s <= 0 || s >= int(rows_.events.size()))
        return;
    std::swap(rows_.events[size_t(s)], rows_.events[size_t(s - 1)]);
    rows_.selected = s - 1;
    showRows();
}

void CMacroControlUI::MoveEventDown()
{
    readDelays();
    const int s = rows_.selected;
    if (s < 0 || s + 1 >= int(rows_.events.size()))
        return;
    std::swap(rows_.events[size_t(s)], rows_.events[size_t(s + 1)]);
    rows_.selected = s + 1;
    showRows();
}

void CMacroControlUI::MoveEventToTop()
{
    readDelays();
    const int s = rows_.selected;
    if (s <= 0 || s >= int(rows_.events.size()))
        return;
    std::rotate(rows_.events.begin(), rows_.events.begin() + s, rows_.events.begin() + s + 1);
    rows_.selected = 0;
    showRows();
}

void CMacroControlUI::MoveEventToBottom()
{
    readDelays();
    const int s = rows_.selected;
    if (s < 0 || s + 1 >= int(rows_.events.size()))
        return;
    std::rotate(rows_.events.begin() + s, rows_.events.begin() + s + 1, rows_.events.end());
    rows_.selected = int(rows_.events.size()) - 1;
    showRows();
}

void CMacroControlUI::DeleteEvent()
{
    readDelays();
    const int s = rows_.selected;
    if (s < 0 || s >= int(rows_.events.size()))
        return;
    rows_.events.erase(rows_.events.begin() + s);
    rows_.selected = std::min(s, int(rows_.events.size()) - 1);
    showRows();
}

void CMacroControlUI::DeleteAllEvents()
{
    rows_ = {};
    showRows();
}

void CMacroControlUI::InsertMouseEvent(uint32_t message, int variant)
{
    readDelays();
    if (SelectedMacro() < 0 || int(rows_.events.size()) >= kMaxEventsPerMacro)
        return;
    MacroEvent e;
    e.delay = fixedDelay_;
    if (message == 0x0200) {
        static const char* const edits[] = {"mouse_x_left_edit", "mouse_x_right_edit", "mouse_y_up_edit", "mouse_y_down_edit"};
        if (variant < 0 || variant > 3)
            return;
        e.type = variant < 2 ? 4 : 5;
        e.action = variant == 0 || variant == 2 ? "down" : "up";
        ui::Control* edit = find(edits[variant]);
        e.button = edit ? leadingInt(edit->text().toStdString()) & 0xFF : 0;
    } else if (message == 0x020B || message == 0x020C) {
        e.type = 1;
        e.button = variant == 0 ? 0x10 : 0x08;
        e.action = message == 0x020B ? "down" : "up";
    } else {
        const MouseEventRow* row = nullptr;
        for (int r = 0; r < 6; ++r)
            if (mouseEventTable()[size_t(r)].message == message)
                row = &mouseEventTable()[size_t(r)];
        if (!row)
            return;
        e.type = row->deviceByte & 0x7F;
        e.button = row->button;
        e.action = row->deviceByte & 0x80 ? "down" : "up";
    }
    const int s = rows_.selected >= 0 && rows_.selected < int(rows_.events.size()) ? rows_.selected : 0;
    const int at = rows_.events.empty() ? 0 : s + 1;
    rows_.events.insert(rows_.events.begin() + at, e);
    rows_.selected = at;
    showRows();
}

bool CMacroControlUI::fixedDelayChosen() const
{
    auto* o = qobject_cast<ui::Option*>(find("macro_check_time"));
    return o && o->isSelected();
}

void CMacroControlUI::StartRecording(MacroRecorder::Mode mode, MacroRecorder::Place place, int64_t now)
{
    readDelays();
    if (mode == MacroRecorder::Mode::FixedDelay) {
        if (auto* edit = qobject_cast<ui::Edit*>(find("macro_fixed_time_edit"))) {
            const int v = leadingInt(edit->text().toStdString());
            fixedDelay_ = std::clamp(v, 0, 65535);
            if (v > 65535) {
                edit->setText(QStringLiteral("65535"));
                edit->lineEdit()->setCursorPosition(5);
            }
        }
    }
    recorder_.start(mode, place, fixedDelay_, now);
    for (const char* name : {"macro_name_tab", "macro_action_list", "macro_tab_macroaction_edit", "macro_tab_macrodelay_edit"})
        enable(find(name), false);
    show(find("macro_btn_starredio"), false);
    show(find("macro_btn_stopredio"), true);
}

void CMacroControlUI::StopRecording()
{
    recorder_.stop();
    for (const char* name : {"macro_name_tab", "macro_action_list", "macro_tab_macroaction_edit", "macro_tab_macrodelay_edit"})
        enable(find(name), true);
    show(find("macro_btn_stopredio"), false);
    show(find("macro_btn_starredio"), true);
}

void CMacroControlUI::RecordKey(bool down, uint32_t scan, bool extended, int64_t now)
{
    readDelays();
    if (recorder_.keyEvent(rows_, down, scan, extended, now))
        showRows();
}

void CMacroControlUI::RecordMouse(uint32_t message, uint32_t mouseData, int x, int y, int64_t now)
{
    readDelays();
    if (recorder_.mouseEvent(rows_, message, mouseData, stopButtonRect().contains(x, y), now))
        showRows();
}

void CMacroControlUI::ScrollToSelected()
{
    ui::List* list = actionList();
    if (!list || rows_.selected < 0 || rows_.selected >= list->count())
        return;
    ui::Control* row = list->getItemAt(rows_.selected);
    const int top = row->y() + list->scrollOffset() - list->contentsRect().top();
    const int visible = list->height();
    if (top < list->scrollOffset())
        list->setScrollOffset(top);
    else if (top + row->height() > list->scrollOffset() + visible)
        list->setScrollOffset(top + row->height() - visible);
}

QRect CMacroControlUI::stopButtonRect() const
{
    ui::Control* stop = find("macro_btn_stopredio");
    if (!stop || !stop->isVisible())
        return {};
    return QRect(stop->mapToGlobal(QPoint(0, 0)), stop->size());
}

} // namespace q9::editors

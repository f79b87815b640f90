#pragma once
// The macro editor of one device page: the device type's macros (create, rename, delete, import,
// export), the events of the selected one (reorder, delete, delays, inserted mouse buttons and
// movements) and live recording. The files and their rules are the store's (MacroStore.h), the
// recording rules the recorder's (MacroRecorder.h); this class shows them on the controls of the
// skin's "MacroControl.xml" tree, found by name, with one "MacroActionRow.xml" row per event.
#include "editors/MacroRecorder.h"
#include "editors/MacroStore.h"

#include <QPointer>
#include <QRect>
#include <QString>

#include <map>
#include <string>
#include <vector>

namespace q9::ui {
class Control;
class List;
} // namespace q9::ui

namespace q9::editors {

class CMacroControlUI {
public:
    explicit CMacroControlUI(ui::Control* root = nullptr);
    ui::Control* root() const { return root_; }

    void SetMacroFolder(const std::wstring& folder);
    void LoadMacroList();
    std::vector<std::wstring> MacroNames() const { return store_.names(); }
    int SelectedMacro() const;
    void SelectMacro(int index);
    void ShowSelectedMacro();
    // The new macro's name; empty when the list is full.
    std::wstring AddMacro();
    ImportProblem ImportMacro(const std::wstring& path, std::wstring* name);
    bool DeleteSelectedMacro();
    RenameResult RenameSelectedMacro();
    bool ExportSelectedMacro(const std::wstring& path) const;
    // Writes the selected macro's events; false when there is none. *cut: rows beyond 60 were dropped.
    bool SaveSelectedMacro(bool* cut = nullptr);
    void MoveEventUp();
    void MoveEventDown();
    void MoveEventToTop();
    void MoveEventToBottom();
    void DeleteEvent();
    void DeleteAllEvents();
    // message: a mouse button message, or 0x0200 for a movement (variant 0-3: left, right, up, down);
    // for the extra buttons variant 0 is forward, 1 back.
    void InsertMouseEvent(uint32_t message, int variant);

    // Recording.
    void StartRecording(MacroRecorder::Mode mode, MacroRecorder::Place place, int64_t now);
    void StopRecording();
    bool recording() const { return recorder_.active(); }
    bool fixedDelayChosen() const;
    void RecordKey(bool down, uint32_t scan, bool extended, int64_t now);
    void RecordMouse(uint32_t message, uint32_t mouseData, int x, int y, int64_t now);
    // Where the stop button lies on the screen, in the coordinates of the hook's mouse events.
    QRect stopButtonRect() const;

    // The action list scrolled so that the selected row shows.
    void ScrollToSelected();
    const MacroRows& rows() const { return rows_; }
    MacroStore& store() { return store_; }
    int fixedDelay() const { return fixedDelay_; }
    ui::Control* find(const char* name) const;

private:
    void readDelays();     // the delay edits into the rows
    void showRows();       // the rows into the action list
    void enableMacroControls(bool on);
    ui::List* nameList() const;
    ui::List* actionList() const;

    ui::Control* root_ = nullptr;
    MacroStore store_;
    MacroRows rows_;
    MacroRecorder recorder_;
    int fixedDelay_ = 50;
    mutable std::map<std::string, QPointer<ui::Control>> found_;
};

} // namespace q9::editors

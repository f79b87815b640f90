#pragma once
// What the key editor shows and how it turns that into a key action, without any UI: every control
// of the editor is a value here (a list selection, an edit's text, a check, a visibility), and the
// editor control copies them to and from its skin controls.
#include "profile/ProfileRecords.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace q9::editors {

// The function pages of the editor.
enum KeyPage : int {
    PageDefault = 0, PageMouseButton, PageSwing, PageWheel, PageDpi, PageFire, PageKeyboard, PageMedia,
    PageSystem, PageMacro, PageGun, PageShortcut, kKeyPages
};

struct KeySetView {
    bool layoutVisible = false;            // the whole editor
    std::vector<int> functionPages;        // the page of each function list item; -1: none
    std::vector<bool> functionVisible;     // per function list item
    int functionRow = -1;
    int page = -1;                         // the page container's shown page
    int mouseButtonRow = -1, swingDirectionRow = -1, wheelDirectionRow = -1, dpiRow = -1, mediaRow = -1,
        systemRow = -1, macroRow = -1, macroPlayRow = -1, gunRow = -1, shortcutRow = -1;
    std::string swingCount, swingDelay, swingSpeed, wheelCount, wheelDelay, wheelSpeed, fireInterval, fireCount, macroRepeat;
    bool macroRepeatVisible = false;
    std::array<bool, 5> modifiers{};       // none, Ctrl, Shift, Alt, Win
    std::string keyNameId;                 // the text id the key edit shows; empty: nothing
    int macroCount = 0;                    // items of the macro list
};

class KeySetModel {
public:
    KeySetView& view() { return view_; }
    const KeySetView& view() const { return view_; }

    // Kind 1 (a keyboard) offers neither DPI nor gun.
    void SetDeviceMode(int kind);
    int deviceMode() const { return kind_; }
    void SetSystemOrder(int flag) { systemOrder_ = flag; }
    int systemOrder() const { return systemOrder_; }

    void SetKeyEntry(const KeyEntry& entry);
    const KeyEntry& entry() const { return entry_; }
    void ShowDefault() { ShowAction(entry_.defaults); }
    void ShowCurrent() { ShowAction(entry_.current); }
    void SetCurrentAction(const KeyAction& a);
    KeyEntry BuildEntry();
    // Fills the page and its controls for an action; an action with no page offered hides the editor.
    void ShowAction(const KeyAction& a);

    void SelectModifier(int n);
    int SelectedModifier() const;
    void SetKeyName(const std::string& textId) { view_.keyNameId = textId; }

    // The function list chose another item: its page is shown, and the keyboard page starts empty.
    void FunctionChosen();
    // The play mode list chose a row: the repeat count shows for row 4 only.
    void PlayModeChosen() { view_.macroRepeatVisible = view_.macroPlayRow == 4; }
    int pageOfRow(int row) const;
    int rowOfPage(int page) const;

    // A keyboard event while capturing: the key's make code and extended flag. False when no key of
    // the table has it (the event is ignored).
    bool CaptureKey(uint32_t scan, bool extended);

private:
    KeyEntry entry_;
    int kind_ = 0;
    int systemOrder_ = 0;
    KeySetView view_;
};

// Leading-integer reading of an edit's text: "12ab" is 12, "ab" is 0.
int leadingInt(const std::string& text);

} // namespace q9::editors

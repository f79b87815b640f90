#pragma once
// The key assignment editor of one device page: shows what one key of the device does, lets the
// user choose another action from its pages (mouse, swing, wheel, DPI, fire, keyboard key, media,
// system, macro, gun, shortcut) and builds the action back. The logic is the model's
// (KeySetModel.h); this class copies the model to and from the controls of the skin's
// "KeySetControl.xml" tree, found by name.
#include "editors/KeySetModel.h"

#include <QPointer>
#include <QString>

#include <map>
#include <string>
#include <vector>

namespace q9::ui {
class Control;
}

namespace q9::editors {

class CKeySetControlUI {
public:
    explicit CKeySetControlUI(ui::Control* root = nullptr);
    ui::Control* root() const { return root_; }

    // Reads the function list's pages from the skin; called once after the skin is built.
    void Bind();
    void SetDeviceMode(int kind);
    void SetSystemOrder(int flag);
    void SetLayoutVisible(bool visible);
    void SetMacroNames(const std::vector<std::wstring>& names);
    void AddMacroName(const std::wstring& name);
    void RemoveMacroName(int i);
    void RenameMacroName(int i, const std::wstring& name);
    // The list made again from these names (the macro editor's, after a change).
    void ResetMacroNames(const std::vector<std::wstring>& names);
    void SetKeyEntry(const KeyEntry& entry);
    void ShowDefault();
    void ShowCurrent();
    void SetCurrentAction(const KeyAction& a);
    KeyEntry BuildEntry();
    void SelectModifier(int n);
    int SelectedModifier();
    void SetKeyName(const std::string& textId);
    void SetButtonsEnabled(bool enabled);
    void SwitchPage(int n);
    // The title above the pages: which key is edited.
    void SetKeyTitle(const QString& text);

    // Control changes the window passes on.
    void FunctionChosen();
    void PlayModeChosen();
    // A keyboard event while capturing; false when the key is not one the table knows.
    bool CaptureKey(uint32_t scan, bool extended);

    // The action in words, for the picture's tooltips.
    QString describe(const KeyAction& a) const;

    KeySetModel& model() { return model_; }
    ui::Control* find(const char* name) const;

private:
    void pull();  // controls -> model
    void push();  // model -> controls
    QString translated(const std::string& id) const;

    ui::Control* root_ = nullptr;
    KeySetModel model_;
    std::vector<std::wstring> macroNames_;
    mutable std::map<std::string, QPointer<ui::Control>> found_;
};

} // namespace q9::editors

#pragma once
// The colour picker: a modal window in which the user chooses one colour on a palette, by typing
// red, green and blue, from twenty preset colours, or from twenty favourite slots that are kept
// between runs in the user's colour options file.
#include "ui/Window.h"

#include <json/value.h>

#include <QRgb>

namespace q9::ui {
class ColorPalette;
} // namespace q9::ui

namespace q9::app {

class CColorSelectWnd : public ui::Window {
    Q_OBJECT
public:
    static constexpr int kSlots = 20;

    QString skinFile() const override { return QStringLiteral("PalletDialog.xml"); }
    QString windowClassName() const override { return QStringLiteral("ColorSelectWnd"); }
    void initWindow() override;
    void notify(ui::TNotify& msg) override;

    // 48 … 192 in steps of 24 are taken; anything else is traced and 96 is used.
    void SetLayoutDpi(int dpi);
    void ShowColour(QRgb colour);
    void AllowMultiColour(bool allowed);
    void SetMultiColour(bool on);
    QRgb Result() const { return result_; }
    QRgb currentColour() const { return current_; }

    // The user's colour options file; the default copy beside the program stands in when it is
    // missing or unreadable.
    static std::wstring optionsPath();
    static std::wstring defaultOptionsPath();

private:
    ui::Control* at(const QString& prefix, int i) const;
    void showComponents();
    void fillFavourite();
    void saveSlots(const char* listMember, const char* selectMember, const QString& prefix, int selected, bool userData);
    static QString hex(QRgb c);

    ui::ColorPalette* palette_ = nullptr;
    QRgb current_ = 0xFFFF0000;
    QRgb result_ = 0;
    int selectedPreset_ = 4;
    int selectedFavourite_ = -1;
    bool multiColour_ = false;
};

// Opens the picker on `initial`; returns 1 with the chosen colour in `chosen`, 0 when closed.
// Scripts and tests answer it through the dialog service ("answer 1" takes the initial colour).
int PickColour(QWidget* owner, int dpi, QRgb initial, QRgb& chosen);

} // namespace q9::app

#include "app/ColorSelect.h"

#include "app/DialogService.h"
#include "platform/Folders.h"
#include "platform/Trace.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"
#include "ui/ColorPalette.h"
#include "ui/Label.h"

#include <QDir>

#include <algorithm>

namespace q9::app {
namespace {

const QString kPresets = QStringLiteral("color_option_");
const QString kFavourites = QStringLiteral("collect_color_option_");
constexpr QRgb kEmptySlot = 0xFFFFFFFF;

QRgb parseHex(const std::string& text, QRgb fallback)
{
    bool ok = false;
    const uint v = QString::fromStdString(text).toUInt(&ok, 16);
    return ok ? QRgb(v) : fallback;
}

} // namespace

std::wstring CColorSelectWnd::optionsPath()
{
    QDir().mkpath(folders::userDataFolder());
    return (folders::userDataFolder() + QStringLiteral("color_option_info.config")).toStdWString();
}

std::wstring CColorSelectWnd::defaultOptionsPath()
{
    return (folders::defaultDataFolder() + QStringLiteral("color_option_info.config")).toStdWString();
}

QString CColorSelectWnd::hex(QRgb c) { return QStringLiteral("%1").arg(uint(c), 8, 16, QLatin1Char('0')).toUpper(); }

ui::Control* CColorSelectWnd::at(const QString& prefix, int i) const { return findControl(prefix + QString::number(i)); }

void CColorSelectWnd::SetLayoutDpi(int dpi)
{
    if (dpi == this->dpi())
        return;
    if (dpi < 48 || dpi > 192 || dpi % 24 != 0) {
        trace("SET_WND DPI SET ERROR");
        dpi = 96;
    }
    setDpi(dpi);
}

void CColorSelectWnd::showComponents()
{
    const std::pair<const char*, int> parts[] = {{"color_edit_r", qRed(current_)}, {"color_edit_g", qGreen(current_)},
                                                 {"color_edit_b", qBlue(current_)}};
    for (const auto& [name, v] : parts)
        if (ui::Control* e = findControl(QString::fromLatin1(name)))
            e->setText(QString::number(v));
}

void CColorSelectWnd::ShowColour(QRgb colour)
{
    if (ui::Control* show = findControl(QStringLiteral("color_show_btn"))) {
        show->setBkImage(QString());
        show->setBkColor(colour);
    }
    if (palette_)
        palette_->setSelectColor(colour);
    current_ = colour;
    showComponents();
}

void CColorSelectWnd::AllowMultiColour(bool allowed)
{
    if (auto* seven = qobject_cast<ui::Option*>(findControl(QStringLiteral("7color")))) {
        seven->setEnabled(allowed);
        if (!allowed)
            seven->selected(false, false);
    }
    if (ui::Control* layout = findControl(QStringLiteral("7color_layout")))
        layout->setVisible(allowed);
}

void CColorSelectWnd::SetMultiColour(bool on)
{
    multiColour_ = on;
    if (auto* seven = qobject_cast<ui::Option*>(findControl(QStringLiteral("7color"))))
        seven->selected(on, false);
    if (ui::Control* show = findControl(QStringLiteral("color_show_btn")))
        show->setBkImage(on ? QStringLiteral("common/base1.png") : QString());
}

void CColorSelectWnd::initWindow()
{
    palette_ = qobject_cast<ui::ColorPalette*>(findControl(QStringLiteral("Pallet")));
    Json::Value file = ReadJsonFile(optionsPath());
    if (!file.isObject()) {
        file = ReadJsonFile(defaultOptionsPath());
        if (file.isObject())
            WriteJsonFile(optionsPath(), file);
    }
    ShowColour(current_);
    SetMultiColour(multiColour_);
    const Json::Value& info = Member(file, "coloroptioninfo");
    // The presets keep the layout's colours; only the selection is taken.
    const Json::Value& presetSelect = Member(info, "palletDialogcoloroption_selectitem");
    if (presetSelect.isInt())
        selectedPreset_ = std::clamp(presetSelect.asInt(), 0, kSlots - 1);
    const Json::Value& favourites = Member(info, "palletDialogcollectcoloroption");
    for (int i = 0; i < kSlots; ++i) {
        ui::Control* slot = at(kFavourites, i);
        if (!slot)
            continue;
        const Json::Value& stored = Element(favourites, Json::ArrayIndex(i));
        const QString filled = QString::fromStdString(ReadString(Member(stored, "UserData")));
        slot->setBkColor(kEmptySlot);
        slot->setAttribute(QStringLiteral("selectedbkcolor"), QStringLiteral("#FFFFFFFF"));
        slot->setUserData(filled);
        if (filled == QLatin1String("1")) {
            const QRgb c = parseHex(ReadString(Member(stored, "color")), kEmptySlot);
            slot->setBkColor(c);
            slot->setAttribute(QStringLiteral("selectedbkcolor"), QLatin1Char('#') + hex(c));
            slot->setAttribute(QStringLiteral("bordersize"), QStringLiteral("0"));
        }
    }
    selectedFavourite_ = -1; // no slot is taken over until the user picks one
}

void CColorSelectWnd::saveSlots(const char* listMember, const char* selectMember, const QString& prefix, int selected,
                                bool userData)
{
    Json::Value file = ReadJsonFile(optionsPath());
    if (!file.isObject())
        file = Json::Value(Json::objectValue);
    Json::Value& info = WritableMember(file, "coloroptioninfo");
    Json::Value& list = WritableMember(info, listMember);
    for (int i = 0; i < kSlots; ++i)
        if (ui::Control* c = at(prefix, i)) {
            Json::Value& entry = WritableElement(list, Json::ArrayIndex(i));
            WritableMember(entry, "color") = hex(c->bkColor()).toStdString();
            if (userData)
                WritableMember(entry, "UserData") = c->userData().toStdString();
        }
    WritableMember(info, selectMember) = selected;
    WriteJsonFile(optionsPath(), file);
}

// The selected favourite slot takes the current colour and is kept; the preview shows it.
void CColorSelectWnd::fillFavourite()
{
    auto* slot = qobject_cast<ui::Option*>(selectedFavourite_ >= 0 ? at(kFavourites, selectedFavourite_) : nullptr);
    if (slot && slot->isSelected()) {
        slot->setBkColor(current_);
        slot->setAttribute(QStringLiteral("selectedbkcolor"), QLatin1Char('#') + hex(current_));
        slot->selected(true, false);
        slot->setUserData(QStringLiteral("1"));
        slot->setAttribute(QStringLiteral("bordersize"), QStringLiteral("0"));
        saveSlots("palletDialogcollectcoloroption", "palletDialogcollectcoloroption_selectitem", kFavourites, selectedFavourite_, true);
    }
    ShowColour(current_);
    SetMultiColour(false);
}

void CColorSelectWnd::notify(ui::TNotify& msg)
{
    if (!msg.sender)
        return;
    const QString n = msg.sender->name();
    if (msg.type == ui::notify::ColorChanged && msg.sender == palette_) {
        current_ = palette_->getSelectColor();
        fillFavourite();
    } else if (msg.type == ui::notify::KillFocus && n.startsWith(QLatin1String("color_edit_"))) {
        int v[3] = {};
        const char* names[] = {"color_edit_r", "color_edit_g", "color_edit_b"};
        for (int i = 0; i < 3; ++i)
            if (ui::Control* e = findControl(QString::fromLatin1(names[i]))) {
                v[i] = std::clamp(e->text().toInt(), 0, 255);
                if (e->text().isEmpty() || e->text().toInt() > 255)
                    e->setText(QString::number(v[i]));
            }
        current_ = qRgb(v[0], v[1], v[2]);
        if (palette_)
            palette_->setSelectColor(current_);
        fillFavourite();
    } else if (msg.type == ui::notify::SelectChanged && n.startsWith(kFavourites)) {
        selectedFavourite_ = n.mid(kFavourites.size()).toInt();
        if (msg.sender->userData() == QLatin1String("1")) {
            saveSlots("palletDialogcollectcoloroption", "palletDialogcollectcoloroption_selectitem", kFavourites, selectedFavourite_, true);
            ShowColour(msg.sender->bkColor());
            SetMultiColour(false);
        }
    } else if (msg.type == ui::notify::SelectChanged && n.startsWith(kPresets)) {
        selectedPreset_ = n.mid(kPresets.size()).toInt();
        saveSlots("palletDialogcoloroption", "palletDialogcoloroption_selectitem", kPresets, selectedPreset_, false);
        current_ = msg.sender->bkColor();
        if (palette_)
            palette_->setSelectColor(current_);
        fillFavourite();
    } else if ((msg.type == ui::notify::Click || msg.type == ui::notify::SelectChanged) && n == QLatin1String("7color")) {
        if (auto* o = qobject_cast<ui::Option*>(msg.sender))
            SetMultiColour(o->isSelected());
    } else if (msg.type == ui::notify::Click && n == QLatin1String("okbtn")) {
        if (!palette_) {
            close(2);
            return;
        }
        if (ui::Control* show = findControl(QStringLiteral("color_show_btn")))
            result_ = show->bkColor();
        close(1);
    } else if (msg.type == ui::notify::Click && (n == QLatin1String("closebtn") || n == QLatin1String("laterbtn"))) {
        close(0);
    }
}

int PickColour(QWidget* owner, int dpi, QRgb initial, QRgb& chosen)
{
    DialogService& service = DialogService::instance();
    service.setLastMessage(QStringLiteral("PalletDialog"));
    if (auto colour = service.takeColour()) {
        chosen = *colour;
        return 1;
    }
    if (auto answer = service.takeAnswer()) {
        chosen = initial;
        return *answer == 1 ? 1 : 0;
    }
    if (service.scripted()) {
        service.noteUnanswered(QStringLiteral("the colour picker"));
        return 0;
    }
    CColorSelectWnd picker;
    picker.setParent(owner, picker.windowFlags() | Qt::Tool);
    if (!picker.create(QStringLiteral("PalletDialog")))
        return 0;
    picker.SetLayoutDpi(dpi);
    picker.ShowColour(initial);
    picker.AllowMultiColour(false);
    picker.centerWindow(owner);
    const int r = picker.showModal();
    if (r == 1)
        chosen = picker.Result();
    return r == 1 ? 1 : 0;
}

} // namespace q9::app

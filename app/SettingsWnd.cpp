#include "app/SettingsWnd.h"

#include "app/Languages.h"
#include "app/MainWnd.h"
#include "platform/Folders.h"
#include "platform/Messages.h"
#include "platform/Trace.h"
#include "ui/Builder.h"
#include "ui/Combo.h"
#include "ui/Label.h"
#include "ui/Resources.h"

#include <QDir>

#include <algorithm>

namespace q9::app {
namespace {

constexpr uint32_t kLanguageChanged = 3089;
constexpr const char* kRowSkin = "XML\\CustomControlXML\\device_Update_list_item.xml";

struct StateLook {
    const char* textId;
    bool busy, done, checkable;
    const char* colour;   // text and selected text
    const char* disabled; // disabled text
};

StateLook lookOf(int state)
{
    static const char* const ids[] = {"LessUpdateText", "NeedUpdateText", "NeedUpdateText", "DownloadWaitText", "DownloadIngText",
                                      "DownloadOkText", "UpdateIngText",  "UpdateOkText",   "UpdateFailText"};
    const bool plain = state == 0 || state == 7;
    return {ids[std::clamp(state, 0, 8)], state == 4 || state == 6, state == 5, state == 1 || state == 2 || state == 8,
            plain ? "#FFFFFFFF" : "#FF0099FF", plain ? "#FF666666" : "#FF0078C8"};
}

void showPart(ui::Control* c, bool on)
{
    if (c)
        c->setVisible(on);
}

} // namespace

CUpdateInfoListItemUI::CUpdateInfoListItemUI(QWidget* parent) : ui::ListContainerElement(parent) { setFixedSizeUnits(-1, 50); }

ui::Control* CUpdateInfoListItemUI::getInterface(const QString& className)
{
    if (className == QLatin1String("UpdateInfoListItemUI"))
        return this;
    return ui::ListContainerElement::getInterface(className);
}

ui::Control* CUpdateInfoListItemUI::part(const char* name) const
{
    return ui::Window::findSubControlByName(const_cast<CUpdateInfoListItemUI*>(this), QString::fromLatin1(name));
}

void CUpdateInfoListItemUI::SetRowName(const QString& text)
{
    if (ui::Control* c = part("check_name_select")) {
        c->setTextIsId(false);
        c->setText(text);
    }
}

void CUpdateInfoListItemUI::SetCurrentVersion(const QString& text)
{
    if (ui::Control* c = part("OldRev")) {
        c->setTextIsId(false);
        c->setText(text);
    }
}

void CUpdateInfoListItemUI::SetLatestVersion(const QString& text)
{
    latest_ = text;
    if (ui::Control* c = part("updateRev")) {
        c->setTextIsId(false);
        c->setText(text);
        c->setVisible(!text.isEmpty());
    }
}

void CUpdateInfoListItemUI::SetStatus(int state)
{
    if (state == status_)
        return;
    status_ = state;
    const StateLook look = lookOf(state);
    if (ui::Control* c = part("update_status_text")) {
        c->setTextIsId(true);
        c->setText(QString::fromLatin1(look.textId));
    }
    showPart(part("update_status_ing"), look.busy);
    showPart(part("update_progress_value"), look.busy);
    if (look.busy)
        SetProgress(0);
    showPart(part("update_status_ok"), look.done);
    if (ui::Control* box = part("check_name_select")) {
        box->setEnabled(look.checkable);
        box->setAttribute(QStringLiteral("textcolor"), QString::fromLatin1(look.colour));
        box->setAttribute(QStringLiteral("selectedtextcolor"), QString::fromLatin1(look.colour));
        box->setAttribute(QStringLiteral("disabledtextcolor"), QString::fromLatin1(look.disabled));
        box->update();
    }
}

bool CUpdateInfoListItemUI::IsChecked() const
{
    auto* o = qobject_cast<ui::Option*>(part("check_name_select"));
    return o && o->isSelected();
}

void CUpdateInfoListItemUI::SetChecked(bool on)
{
    if (auto* o = qobject_cast<ui::Option*>(part("check_name_select")))
        o->selected(on, false);
}

void CUpdateInfoListItemUI::SetCheckEnabled(bool on)
{
    if (ui::Control* c = part("check_name_select"))
        c->setEnabled(on);
}

void CUpdateInfoListItemUI::SetProgress(int percent)
{
    if (ui::Control* c = part("update_progress_value")) {
        c->setTextIsId(false);
        c->setText(QStringLiteral("%1%2").arg(percent).arg(QLatin1Char('%')));
    }
}

ui::Control* CSetWnd::createControl(const QString& className)
{
    if (className == QLatin1String("UpdateInfoListItemUI"))
        return new CUpdateInfoListItemUI;
    return nullptr;
}

QString CSetWnd::lastCheckPath()
{
    const QString folder = folders::userDataFolder();
    QDir().mkpath(folder);
    return folder + QStringLiteral("updatetime.config");
}

void CSetWnd::SetOwner(CMainWnd* owner, int languageIndex)
{
    owner_ = owner;
    languageIndex_ = languageIndex;
}

void CSetWnd::initWindow()
{
    connect(&checker_, &update::UpdateChecker::rowChecked, this, &CSetWnd::rowChecked);
    connect(&checker_, &update::UpdateChecker::finished, this, &CSetWnd::checkFinished);
    if (ui::Control* v = findControl(QStringLiteral("setwnd_version_text"))) {
        v->setTextIsId(false);
        v->setText(QStringLiteral("V%1").arg(QStringLiteral(Q9ZEN_VERSION)));
    }
}

void CSetWnd::FillLanguageList()
{
    auto* combo = qobject_cast<ui::Combo*>(findControl(QStringLiteral("Language_combox_info")));
    if (!combo)
        return;
    combo->removeAll();
    for (const LanguageEntry& e : readLanguageList(languageListPath()))
        combo->addItem(e.textId, QString(), true);
    combo->selectItem(languageIndex_, false);
}

std::vector<CUpdateInfoListItemUI*> CSetWnd::updateItems() const
{
    std::vector<CUpdateInfoListItemUI*> items;
    if (auto* list = qobject_cast<ui::List*>(findControl(QStringLiteral("device_update_list_info"))))
        for (int i = 0; i < list->count(); ++i)
            if (auto* r = qobject_cast<CUpdateInfoListItemUI*>(list->getItemAt(i)))
                items.push_back(r);
    return items;
}

void CSetWnd::StartUpdateCheck()
{
    lastCheck_ = update::readLastCheck(lastCheckPath());
    if (lastCheck_.isEmpty()) {
        lastCheck_ = update::todayText();
        update::writeLastCheck(lastCheckPath(), lastCheck_);
    }
    ShowUpdateState(update::Checking);
    auto* list = qobject_cast<ui::List*>(findControl(QStringLiteral("device_update_list_info")));
    if (list) {
        list->removeAll();
        ui::DialogBuilder builder;
        for (const ModelEntry& row : rows_) {
            auto* item = qobject_cast<CUpdateInfoListItemUI*>(builder.create(QString::fromLatin1(kRowSkin), this, this));
            if (!item) {
                trace("更新列表行无法创建");
                break;
            }
            list->add(item);
            item->SetRowName(QString::fromWCharArray(row.shortName));
            item->SetCurrentVersion(update::installedText(row));
            item->SetLatestVersion(QString());
            item->SetStatus(update::RowUpToDate);
            item->setUserData(QString());
            item->SetCheckEnabled(false);
        }
    }
    checker_.start(rows_, update::serviceBaseUrl(), update::requestTimeoutMs());
}

void CSetWnd::rowChecked(int index, const update::UpdateRow& result, bool)
{
    const auto items = updateItems();
    if (index < 0 || index >= int(items.size()) || index >= int(rows_.size()))
        return;
    const ModelEntry& row = rows_[size_t(index)];
    update::UpdateRow r = result;
    if (r.name.compare(QString::fromUtf8(update::kNoLinkServer), Qt::CaseInsensitive) == 0)
        r.name.clear();
    if (r.name.isEmpty()) {
        r.currentVersion = update::installedText(row);
        r.latestVersion.clear();
        r.status = update::RowUpToDate;
    }
    CUpdateInfoListItemUI* item = items[size_t(index)];
    item->SetRowName(QString::fromWCharArray(row.shortName)); // the service's name is never shown
    item->SetCurrentVersion(r.currentVersion);
    item->SetLatestVersion(r.status == update::RowUpToDate ? QString() : r.latestVersion);
    item->SetStatus(r.status);
    item->setUserData(r.downloadAddress);
    item->SetCheckEnabled(false);
    update::writeLastCheck(lastCheckPath(), update::todayText());
}

void CSetWnd::checkFinished(int failures)
{
    bool any = false;
    for (CUpdateInfoListItemUI* item : updateItems()) {
        const bool updatable = item->Status() != update::RowUpToDate && item->Status() != update::RowNotUpdatable;
        item->SetCheckEnabled(updatable);
        item->SetChecked(updatable);
        any = any || updatable;
    }
    if (ui::Control* b = findControl(QStringLiteral("update_fw_and_ap"))) {
        b->setEnabled(any);
        b->setVisible(any);
    }
    if (any)
        ShowUpdateState(update::UpdatesAvailable);
    else if (failures == int(rows_.size()))
        ShowUpdateState(update::NoAnswer);
    else
        ShowUpdateState(update::UpToDate);
}

void CSetWnd::ShowUpdateState(int state)
{
    state_ = state;
    showPart(findControl(QStringLiteral("update_status_ring")), state == update::Checking);
    showPart(findControl(QStringLiteral("update_status_image")), state != update::Checking);
    ui::Control* text = findControl(QStringLiteral("Update_Status_text"));
    if (!text)
        return;
    static const char* const ids[] = {"GetUpdateInfoText", "HaveUpdateInfoText", "NoUpdateInfoText"};
    if (state >= 0 && state <= 2) {
        text->setTextIsId(true);
        text->setText(QString::fromLatin1(ids[state]));
    } else if (state == update::UpToDate) {
        text->setTextIsId(false);
        text->setText(ui::Resources::instance().text(QStringLiteral("UpdateIsLastText")) + lastCheck_);
    }
}

void CSetWnd::ConfirmUpdate()
{
    for (CUpdateInfoListItemUI* item : updateItems())
        if (item->Status() == update::RowUpdatable || item->Status() == 2) {
            if (item->IsChecked())
                item->SetStatus(update::RowWaitingDownload);
            else
                item->SetCheckEnabled(false);
        }
}

void CSetWnd::tickedChanged()
{
    bool ticked = false;
    for (CUpdateInfoListItemUI* item : updateItems())
        ticked = ticked || item->IsChecked();
    if (ui::Control* b = findControl(QStringLiteral("update_fw_and_ap"))) {
        b->setEnabled(ticked);
        b->setVisible(ticked);
    }
}

// A download or an update under way keeps the window open; rows merely waiting for a download do
// not, since nothing of this program fetches them (the window could never be closed otherwise).
bool CSetWnd::updateRunning() const
{
    for (CUpdateInfoListItemUI* item : updateItems())
        if (item->Status() == 4 || item->Status() == 6)
            return true;
    return false;
}

void CSetWnd::notify(ui::TNotify& msg)
{
    if (!msg.sender)
        return;
    const QString n = msg.sender->name();
    if (msg.type == ui::notify::WindowInit) {
        FillLanguageList();
        StartUpdateCheck();
    } else if (msg.type == ui::notify::ItemSelect && n == QLatin1String("Language_combox_info")) {
        languageIndex_ = qobject_cast<ui::Combo*>(msg.sender)->curSel();
        if (owner_)
            owner_->send(kLanguageChanged, uint64_t(languageIndex_), 0);
    } else if (msg.type == ui::notify::SelectChanged && n == QLatin1String("check_name_select")) {
        tickedChanged();
    } else if (msg.type == ui::notify::Click) {
        if (n == QLatin1String("closebtn") || n == QLatin1String("laterbtn")) {
            handleMessage(WM_CLOSE_MSG, 0, 0, nullptr);
        } else if (n == QLatin1String("minbtn")) {
            showMinimized();
        } else if (n == QLatin1String("maxbtn") || n == QLatin1String("restorebtn")) {
            const bool maximise = n == QLatin1String("maxbtn");
            maximise ? showMaximized() : showNormal();
            showPart(findControl(QStringLiteral("maxbtn")), !maximise);
            showPart(findControl(QStringLiteral("restorebtn")), maximise);
        } else if (n == QLatin1String("set_in_update_wnd_btn")) {
            showPart(findControl(QStringLiteral("update_tishi_layout")), false);
        } else if (n == QLatin1String("update_fw_and_ap")) {
            if (auto* t = qobject_cast<ui::TabLayout*>(findControl(QStringLiteral("get_update_tab_layout"))))
                t->selectItem(1);
        } else if (n == QLatin1String("update_OK_btn")) {
            ConfirmUpdate();
            if (ui::Control* b = findControl(QStringLiteral("update_fw_and_ap")))
                b->setEnabled(false);
            if (auto* t = qobject_cast<ui::TabLayout*>(findControl(QStringLiteral("get_update_tab_layout"))))
                t->selectItem(0);
        }
    }
}

// What an updater reports about the row it works on: the first row waiting for or under download.
void CSetWnd::updateProgress(int what, int64_t value)
{
    const auto items = updateItems();
    CUpdateInfoListItemUI* current = nullptr;
    for (CUpdateInfoListItemUI* item : items)
        if (!current && item->Status() >= update::RowWaitingDownload && item->Status() <= 6)
            current = item;
    if (!current)
        return;
    if (what == 4) {
        if (current->Status() == update::RowWaitingDownload)
            current->SetStatus(4);
        current->SetProgress(int(std::clamp<int64_t>(value, 0, 100)));
    } else if (what == 2 || what == 3) {
        current->SetStatus(update::RowFailed);
    } else if (what == 1) {
        current->SetCurrentVersion(current->LatestVersion());
        current->SetLatestVersion(QString());
        current->SetStatus(update::RowUpToDate);
        current->SetChecked(false);
        for (CUpdateInfoListItemUI* item : items)
            if (item->IsChecked() && item->Status() != update::RowUpToDate)
                return; // another ticked row is still to come
        bool allDone = true;
        for (CUpdateInfoListItemUI* item : items) {
            if (item->Status() != update::RowUpToDate)
                item->SetCheckEnabled(true);
            allDone = allDone && item->Status() == update::RowUpToDate;
        }
        ShowUpdateState(allDone ? update::UpToDate : update::UpdatesAvailable);
    }
}

intptr_t CSetWnd::handleCustomMessage(uint32_t msg, uint64_t wParam, int64_t lParam, const CopyData*, bool& handled)
{
    if (msg == kLanguageChanged) {
        if (state_ == update::UpToDate)
            ShowUpdateState(update::UpToDate); // the composed text in the new language
        update();
        return 0;
    }
    if (msg == registerWindowMessage("{4695579F-999A-41d4-9FAF-EFFCE93EBF15}")) {
        updateProgress(int(wParam), lParam);
        return 0;
    }
    if (msg == WM_CLOSE_MSG) {
        // A row being downloaded or updated keeps the window open.
        if (updateRunning())
            return 0;
        StopUpdateCheck();
        close(0);
        return 0;
    }
    handled = false;
    return 0;
}

void CSetWnd::onFinalMessage()
{
    StopUpdateCheck();
    deleteLater();
}

} // namespace q9::app

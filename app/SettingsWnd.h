#pragma once
// The settings window: the language list, and the update list that asks the update service about
// the firmware of each connected device and the application itself.
#include "hid/DeviceCatalogue.h"
#include "ui/List.h"
#include "ui/Window.h"
#include "update/UpdateCheck.h"

#include <QPointer>

#include <vector>

namespace q9::app {

class CMainWnd;

// One row of the update list: name, installed and offered version, state.
class CUpdateInfoListItemUI : public ui::ListContainerElement {
    Q_OBJECT
public:
    explicit CUpdateInfoListItemUI(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("UpdateInfoListItemUI"); }
    ui::Control* getInterface(const QString& className) override;

    void SetRowName(const QString& text);
    void SetCurrentVersion(const QString& text);
    void SetLatestVersion(const QString& text); // hidden when empty
    QString LatestVersion() const { return latest_; }
    void SetStatus(int state);
    int Status() const { return status_; }
    bool IsChecked() const;
    void SetChecked(bool on);
    void SetCheckEnabled(bool on);
    void SetProgress(int percent);

private:
    ui::Control* part(const char* name) const;
    int status_ = -1;
    QString latest_;
};

class CSetWnd : public ui::Window {
    Q_OBJECT
public:
    QString skinFile() const override { return QStringLiteral("setwnd.xml"); }
    QString windowClassName() const override { return QStringLiteral("SetWnd"); }
    ui::Control* createControl(const QString& className) override;
    void initWindow() override;
    void notify(ui::TNotify& msg) override;
    intptr_t handleCustomMessage(uint32_t msg, uint64_t wParam, int64_t lParam, const CopyData* copy,
                                 bool& handled) override;

    void SetOwner(CMainWnd* owner, int languageIndex);
    void SetUpdateRows(const std::vector<ModelEntry>& rows) { rows_ = rows; }
    void FillLanguageList();
    void StartUpdateCheck();
    void StopUpdateCheck() { checker_.stop(); }
    void ShowUpdateState(int state);
    int updateState() const { return state_; }
    void ConfirmUpdate();
    std::vector<CUpdateInfoListItemUI*> updateItems() const;
    // Where the date of the last check is kept.
    static QString lastCheckPath();

protected:
    void onFinalMessage() override;

private:
    void rowChecked(int index, const update::UpdateRow& row, bool failed);
    void checkFinished(int failures);
    void tickedChanged();
    void updateProgress(int what, int64_t value);
    bool updateRunning() const;

    QPointer<CMainWnd> owner_;
    int languageIndex_ = 0;
    std::vector<ModelEntry> rows_;
    update::UpdateChecker checker_;
    int state_ = -1;
    QString lastCheck_;
};

} // namespace q9::app

#include "controls/Registration.h"

#include "controls/ButtonControls.h"
#include "controls/KeyControls.h"
#include "controls/MiscControls.h"
#include "controls/RowControls.h"
#include "ui/Builder.h"

namespace q9::controls {

namespace {

template <class T>
ui::ControlFactory::Creator make()
{
    return [] { return static_cast<ui::Control*>(new T); };
}

} // namespace

void registerCustomControls()
{
    ui::RegistControl(QStringLiteral("CCircleProgressUI"), make<CCircleProgressUI>());
    ui::RegistControl(QStringLiteral("CChartViewUI"), make<CChartViewUI>());
    ui::RegistControl(QStringLiteral("CWndUI"), make<CWndUI>());
    ui::RegistControl(QStringLiteral("CSelectPanelUI"), make<CSelectPanelUI>());
    ui::RegistControl(QStringLiteral("CDeviceKeyButtonUI"), make<CDeviceKeyButtonUI>());
    ui::RegistControl(QStringLiteral("CCloudShareListItemUI"), make<CCloudShareListItemUI>());
    ui::RegistControl(QStringLiteral("CComboEditContainerElementUI"), make<CComboEditContainerElementUI>());
    ui::RegistControl(QStringLiteral("CHandImgButtonUI"), make<CHandImgButtonUI>());
    ui::RegistControl(QStringLiteral("CHandImgSelectButtonUI"), make<CHandImgSelectButtonUI>());
    ui::RegistControl(QStringLiteral("CRedioMacroButtonUI"), make<CRedioMacroButtonUI>());
    ui::RegistControl(QStringLiteral("CAudioRecordUI"), make<CAudioRecordUI>());
    // The classes of the update list, device tabs and power items, editors and device pages are
    // registered here, in this order, by the parts of the program that provide them.
}

QStringList customControlNames() { return ui::ControlFactory::instance().registeredNames(); }

} // namespace q9::controls

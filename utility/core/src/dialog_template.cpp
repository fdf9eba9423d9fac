#include "utility/dialog_template.h"

namespace utility {
namespace {

constexpr ControlTemplate kControls[] = {
    // Command panel; the group box first so that it lies beneath the rest.
    {ControlId::ManualGroup, ControlKind::GroupBox, "Manual Command", 7, 9, 332, 265},
    {ControlId::CommandBox, ControlKind::CommandEdit, "", 13, 18, 314, 67},
    {ControlId::SendCommand, ControlKind::Button, "Send Command ", 24, 92, 62, 14},
    {ControlId::RunScript, ControlKind::Button, "Run Script", 110, 92, 50, 14},
    {ControlId::SendFile, ControlKind::Button, "Send File", 182, 92, 50, 14},
    {ControlId::PanelExit, ControlKind::Button, "Exit", 257, 92, 50, 14},
    {ControlId::HistoryLabel, ControlKind::Label, "Command Response / History", 14, 109, 95, 8},
    {ControlId::HistoryBox, ControlKind::HistoryEdit, "", 13, 119, 315, 64},
    {ControlId::ResponseLabel, ControlKind::Label, "Response", 14, 191, 33, 8},
    {ControlId::ResponseBox, ControlKind::ResponseEdit, "", 14, 201, 316, 68},
    // Hand-over panel.
    {ControlId::StatusLine, ControlKind::StatusLine, "", 21, 32, 298, 39},
    {ControlId::Launch, ControlKind::LaunchButton, "Launch", 88, 105, 181, 57},
    {ControlId::HandOverExit, ControlKind::Button, "Exit", 87, 194, 181, 42},
};

constexpr MenuItemTemplate kFileMenu[] = {
    {"Save History to File", menu::SaveHistory}, {nullptr, 0}, {"Exit", menu::Exit}};
constexpr MenuItemTemplate kGeneralMenu[] = {
    {"Review Version ", menu::ReviewVersion},
    {nullptr, 0},
    {"Review HIDKB Polling Interval", menu::ReviewPollingInterval},
    {"Set HIDKB Polling Interval", menu::SetPollingInterval},
    {nullptr, 0},
    {"Review Turbo Speed Setting", menu::ReviewTurboSpeed},
    {"Set Turbo Speed Setting", menu::SetTurboSpeed}};
constexpr MenuItemTemplate kLanguageMenu[] = {
    {"Review Foreign Language", menu::ReviewLanguage},
    {nullptr, 0},
    {"English (US)", 32855},
    {"Swiss", 32856},
    {"Swedish", 32857},
    {"Spanish", 32858},
    {"Norwegian", 32859},
    {"Italian", 32860},
    {"German", 32861},
    {"French", 32862},
    {"Japanese", 32863},
    {"English (UK)", 32864},
    {"Universal", 32865}};
constexpr MenuItemTemplate kHelpMenu[] = {{"About", menu::About}};

constexpr MenuTemplate kMenus[] = {{"File", kFileMenu},
                                   {"General Setting", kGeneralMenu},
                                   {"Foreign Language", kLanguageMenu},
                                   {"Help", kHelpMenu}};

}  // namespace

std::span<const ControlTemplate> MainDialogControls() { return kControls; }

std::span<const MenuTemplate> CommandPanelMenu() { return kMenus; }

}  // namespace utility

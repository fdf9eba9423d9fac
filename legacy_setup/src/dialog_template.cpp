#include "skelmar/dialog_template.h"

namespace skelmar {
namespace {

using K = ControlKind;

constexpr ControlTemplate kControls[] = {
    {Control::InputGroup, K::GroupBox, "Input Setup String", 3, 4, 361, 34, kPlain},
    {Control::Input, K::LineEdit, "", 7, 15, 351, 14, kPlain},
    {Control::Send, K::DefaultButton, "Send", 3, 41, 60, 15, kPlain},
    {Control::SendFile, K::Button, "Send File", 95, 41, 69, 15, kPlain},
    {Control::ClearInput, K::Button, "Clear input", 199, 41, 69, 15, kPlain},
    {Control::Exit, K::Button, "Exit", 301, 41, 60, 15, kPlain},
    {Control::Status, K::LineEdit, "", 0, 58, 367, 14, kReadOnly | kNoTabStop},
    {Control::HistoryGroup, K::GroupBox, "History", 4, 73, 357, 94, kPlain},
    {Control::History, K::TextBox, "", 9, 84, 347, 79, kReadOnly | kNoTabStop},
    {Control::ResponseGroup, K::GroupBox, "Response", 4, 164, 357, 94, kPlain},
    {Control::Response, K::TextBox, "", 10, 175, 347, 79, kWantReturn},
};

}  // namespace

std::span<const ControlTemplate> SetupDialogControls() { return kControls; }

}  // namespace skelmar

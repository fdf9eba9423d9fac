// Identifiers of Pelorin's resources: the dialog templates, the menu and the
// icon, and the controls of the smaller dialogs. The main dialog's controls
// and menu commands are those of utility/control_ids.h. Plain #defines, so
// that the resource compiler reads this file too.
#pragma once

#define IDI_PELORIN 128
#define IDD_UTILITY 102
#define IDR_COMMAND_MENU 136
#define IDD_ABOUT 137
#define IDD_SETTING 138
#define IDD_WARNING 139

// SETTING: the number field and its label.
#define IDC_SETTING_VALUE 1069
#define IDC_SETTING_LABEL 1070

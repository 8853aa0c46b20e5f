#pragma once

// The shadow settings dialog of the library's resources and its trackbars.
#define IDD_SHADOW_SETTINGS 105
#define IDC_SHADOW_SIZE 1000
#define IDC_SHADOW_SHARPNESS 1001
#define IDC_SHADOW_OFFSET_X 1002
#define IDC_SHADOW_DARKNESS 1003
#define IDC_SHADOW_RED 1004
#define IDC_SHADOW_OFFSET_Y 1005
#define IDC_SHADOW_GREEN 1006
#define IDC_SHADOW_BLUE 1007

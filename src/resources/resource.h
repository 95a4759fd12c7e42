// Resource and control identifiers, shared by the resource script, the program and its tests.
#pragma once

#define IDR_VERSION 1

#define IDI_LUMVORA 100
#define IDR_HELPDOC 101
#define IDC_POINTING_HAND 102
#define IDR_BACKGROUND 103

#define IDC_VERSION_LABEL 1001
#define IDC_HELP_LINK 1002
#define IDC_SSID_LABEL 1003
#define IDC_KEY_LABEL 1004
#define IDC_SSID_EDIT 1005
#define IDC_KEY_EDIT 1006
#define IDC_CREATE_HOTSPOT 1007
#define IDC_START_HOTSPOT 1008
#define IDC_CLOSE_HOTSPOT 1009
#define IDC_STATUS_LINK 1010

// The status window (热点状态): its lines in order, the join code and its line, the device list and its caption.
#define IDC_STATUS_STATE 1101
#define IDC_STATUS_NAME 1102
#define IDC_STATUS_KEY 1103
#define IDC_STATUS_SHARED 1104
#define IDC_STATUS_CODE 1105
#define IDC_STATUS_CODE_HINT 1106
#define IDC_STATUS_DEVICES_LABEL 1107
#define IDC_STATUS_DEVICES 1108

#define IDM_ABOUT 2001
#define IDM_EXIT 2002
// The key that opens the status window (F2).
#define IDM_HOTSPOT_STATUS 2003

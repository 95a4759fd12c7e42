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

#define IDM_ABOUT 2001
#define IDM_EXIT 2002

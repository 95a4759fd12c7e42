// Resource and control identifiers, shared by the resource script, the program and its tests.
#pragma once

#define IDR_VERSION 1

#define IDI_LUMVORA 100
#define IDR_HELPDOC 101
#define IDC_POINTING_HAND 102
#define IDR_BACKGROUND 103

#define IDC_VER_INFO 1001
#define IDC_LABEL2 1002
#define IDC_LABEL1_0 1003
#define IDC_LABEL1_1 1004
#define IDC_TEXT1 1005
#define IDC_TEXT2 1006
#define IDC_COMMAND1 1007
#define IDC_COMMAND2 1008
#define IDC_COMMAND3 1009

#define IDM_ABOUT 2001
#define IDM_EXIT 2002

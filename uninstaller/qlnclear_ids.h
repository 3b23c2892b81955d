// Resource and control numbers of qlnclear.exe, shared by its .rc and its code.
#pragma once
#define IDD_UNINSTALL 1
#define IDI_UNINSTALL 1
#define IDB_LOGO 103
#define IDC_TITLE 101
#define IDC_MESSAGE 102
#define IDC_STATUS 103
#define IDC_PROGRESS 106
#define IDC_UNINSTALL 202
#define IDC_CANCEL 203
#define IDC_LOGO 300

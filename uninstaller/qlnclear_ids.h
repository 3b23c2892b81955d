// Resource and control numbers of qlnclear.exe and its dialog's rectangles (dialog
// units), shared by its .rc and its code.
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

// x, y, width, height: the template's, and the layout for another DPI.
#define DLU_DIALOG 221, 143
#define DLU_UNINSTALL 78, 124, 50, 14
#define DLU_CANCEL 163, 124, 50, 14
#define DLU_LOGO 3, 4, 75, 44
#define DLU_PROGRESS 84, 105, 129, 11
#define DLU_MESSAGE 84, 69, 128, 20
#define DLU_TITLE 85, 9, 128, 55
#define DLU_STATUS 83, 92, 130, 10

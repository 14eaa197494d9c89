// Identifiers of the dialog resources and their controls.
#pragma once

inline constexpr int IDD_UPDATER_DIALOG = 102;
inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDD_PROGRESS = 129;

inline constexpr int IDC_SOURCE = 1001;
inline constexpr int IDC_DEST = 1002;
inline constexpr int IDC_TEMPLATE = 1003;
inline constexpr int IDC_JOURNAL = 1004;
inline constexpr int IDC_RESULT = 1005;
inline constexpr int IDC_PROGRESS_TEXT = 1002;
inline constexpr int IDC_STATIC = -1;

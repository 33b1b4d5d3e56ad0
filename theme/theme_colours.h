// Every colour the program gives its windows, by what it colours (the theme's
// own painters keep their gradient tables beside them). The style's polish()
// (control_skin.h) puts the page palette and the tree's colours on the widgets
// marked with a ThemeRole; SetUpList (skin_list_ctrl.h) gives every list its
// colours; InstallDialogColours the boxes that do not paint themselves.
#pragma once

#include <QColor>

namespace theme {

// The page palette: the pages of the page area and the two modal dialogs.
inline constexpr QRgb kPageBackground = 0xF8F6E6;
inline constexpr QRgb kStaticText = 0x008080; // labels, group-box captions, check boxes, option buttons
inline constexpr QRgb kEditText = 0x0000FF;   // edits, memos and combo boxes
inline constexpr QRgb kEditBackground = 0xFFFFFF;
inline constexpr QRgb kButtonText = 0xFF0000;
inline constexpr QRgb kEntryButtonText = 0x0000FF; // the policy entry page's buttons

// The report lists.
inline constexpr QRgb kListBackground = 0xE1E1EB;
inline constexpr QRgb kListText = 0x008080;
inline constexpr QRgb kListSelectedText = 0xE5E5E5;
inline constexpr QRgb kListSelectedBack = 0x737BA5;

// The main window's navigation tree.
inline constexpr QRgb kTreeBackground = 0xFAFAE6;
inline constexpr QRgb kTreeText = 0x0000E1;

// Message boxes and file dialogs.
inline constexpr QRgb kDialogBackground = 0xC0C0C0;
inline constexpr QRgb kDialogText = 0x0000FA;

} // namespace theme

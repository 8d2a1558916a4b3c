#pragma once

// What the path fields share: the small buttons inside the right end of a
// line edit, and their painted images.

#include <initializer_list>

class QIcon;
class QLineEdit;
class QPalette;
class QString;
class QToolButton;

namespace mvr::gui {

// The width of a button inside a path field.
inline constexpr int kEditButtonWidth = 20;

// A button inside `edit` that leaves the keyboard focus in the field.
QToolButton* CreateEditButton(QLineEdit* edit, const char* objectName, const QIcon& icon,
                              const QString& text);

// Places `buttons` from the right edge of the edit leftwards, each as high as
// the inside of its frame, and keeps the text clear of them.
void PlaceEditButtons(QLineEdit* edit, std::initializer_list<QToolButton*> rightToLeft);

// A folder, for the browse buttons.
QIcon FolderIcon(const QPalette& palette);
// A sheet of text with a folded corner, for the button that opens a file.
QIcon DocumentIcon(const QPalette& palette);

} // namespace mvr::gui

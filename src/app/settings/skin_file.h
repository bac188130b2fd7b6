#pragma once
// A skin of the program's own: a palette and a style sheet over one of Qt's styles. A skin file
// ("<id>.skin" in the skins folder) is a small ini text:
//
//   [Skin]
//   Name=青瓷            the name shown in the style menu and stored as StyleName
//   Style=Fusion         the Qt style under the palette
//   StyleSheet=x.qss     style sheet file beside the skin file (optional)
//   [Palette]
//   Window=#E6EFEA       one "#RRGGBB" colour per palette role (all groups)
//   Disabled.WindowText=#8A9A93   a colour of the disabled group only
#include <QPalette>
#include <QString>
#include <optional>

namespace app {

struct Skin {
    QString name;
    QString baseStyle;
    QPalette palette;
    QString styleSheet;
};

// Reads a skin file and its style sheet; nothing when the file cannot be read, has no name,
// names no Qt style known here, holds a role or colour that cannot be read, or names a style
// sheet that cannot be read. Such a file is skipped without a message.
std::optional<Skin> LoadSkinFile(const QString& fileName);

}  // namespace app

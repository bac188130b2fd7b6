#pragma once
// The bytes of an XML file as UTF-8 text, in the encoding the file itself gives: its
// byte-order mark, the form of its first characters (UTF-16, UTF-32) or the encoding its
// declaration names (GBK, Big5, windows-1252, ... any the system's converter knows).
#include <string>
#include <string_view>

namespace geodata {

struct XmlText {
    bool ok = false;
    std::string utf8;   // the text, declaration included, when ok
    std::string error;  // why the bytes cannot be read otherwise
};

// A file without a declared encoding is UTF-8; a GB2312 file is read as GBK, the superset in
// which such files are in fact written. Bytes that are not text in the encoding, or an
// encoding the converter does not know, give an error rather than text.
XmlText XmlBytesToUtf8(std::string_view bytes);

}  // namespace geodata

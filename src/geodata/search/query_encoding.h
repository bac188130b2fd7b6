#pragma once
// Encoding of values put into the query of a web-service address.
#include <string>
#include <string_view>

namespace geodata {

// Percent-encodes (upper-case hex, per UTF-8 byte) every byte that is a control character,
// a blank, DEL or not ASCII, and the characters * < > # % " { } | \ ^ [ ] ` & + =. Everything
// else stays as it is, so "/", "?", ":", ",", "." and "-" pass unchanged. "&" and "+" are
// encoded so that a value can never add a parameter or turn into a blank on the server side.
std::string EncodeQueryParam(std::string_view utf8Text);

}  // namespace geodata

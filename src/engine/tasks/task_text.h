#pragma once
// The character scrambling of task files: every UTF-16 code unit of a line is replaced by its
// complement (u XOR FFFF), and the units are stored as UTF-8. Complements of U+2000 to U+27FF
// fall into the surrogate range; such a lone unit is stored in its three-byte form and read
// back from it, so every character survives.
#include <string>
#include <string_view>

namespace engine {

// UTF-8 of a text line to the bytes of its scrambled line (without line break).
std::string ScrambleTaskLine(std::string_view text);
// The bytes of a scrambled line back to UTF-8 text. The unit U+FFFD, which older files hold
// where a character could not be stored, stays U+FFFD; bytes that are no UTF-8 read as U+FFFD.
std::string UnscrambleTaskLine(std::string_view bytes);

// Conversions used by the scrambling. Decoding accepts the three-byte forms of surrogate units
// and turns every malformed sequence into U+FFFD. Encoding writes surrogate pairs as one
// four-byte character; a lone surrogate is written in its three-byte form when
// `keepLoneSurrogates` is set, else as U+FFFD.
std::u16string DecodeUtf8Units(std::string_view bytes);
std::string EncodeUtf8Units(std::u16string_view units, bool keepLoneSurrogates);

}  // namespace engine

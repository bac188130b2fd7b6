#pragma once
// MD5 (RFC 1321). One object computes one digest: Update any number of times, then Final.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

class TMD5 {
  public:
    TMD5() { Init(); }
    void Init();
    void Update(const void* input, std::size_t length);
    void Update(std::string_view utf8Text);
    // Pads and returns the digest; does not reset, so a second call digests the padded message.
    std::array<std::uint8_t, 16> Final();
    std::string AsString();  // 32 upper-case hex digits
    std::string AsGUID();    // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in byte order

  private:
    void Transform(const std::uint8_t block[64]);
    std::array<std::uint32_t, 4> FContextState{};
    std::array<std::uint32_t, 2> FContextCount{};
    std::array<std::uint8_t, 64> FContextBuffer{};
};

// Lower-case hex MD5 of a text's UTF-8 bytes: the names of cached answers and page files.
std::string StrMD5Hex(std::string_view utf8Text);

}  // namespace engine

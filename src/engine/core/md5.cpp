#include "engine/core/md5.h"

#include <cstring>

namespace engine {
namespace {

constexpr std::uint8_t kPadding[64] = {0x80};

constexpr std::uint32_t RotateLeft(std::uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

constexpr std::uint32_t F(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return (x & y) | (~x & z);
}
constexpr std::uint32_t G(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return (x & z) | (y & ~z);
}
constexpr std::uint32_t H(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return x ^ y ^ z;
}
constexpr std::uint32_t I(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return y ^ (x | ~z);
}

// Per-round shift amounts and the sine-derived constants of the reference algorithm.
constexpr int kShift[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                            5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                            4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                            6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};

constexpr std::uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

void Encode(std::uint8_t* out, const std::uint32_t* in, std::size_t words) {
    for (std::size_t i = 0; i < words; ++i) {
        out[4 * i] = static_cast<std::uint8_t>(in[i]);
        out[4 * i + 1] = static_cast<std::uint8_t>(in[i] >> 8);
        out[4 * i + 2] = static_cast<std::uint8_t>(in[i] >> 16);
        out[4 * i + 3] = static_cast<std::uint8_t>(in[i] >> 24);
    }
}

void Decode(std::uint32_t* out, const std::uint8_t* in, std::size_t words) {
    for (std::size_t i = 0; i < words; ++i) {
        out[i] = static_cast<std::uint32_t>(in[4 * i]) |
                 (static_cast<std::uint32_t>(in[4 * i + 1]) << 8) |
                 (static_cast<std::uint32_t>(in[4 * i + 2]) << 16) |
                 (static_cast<std::uint32_t>(in[4 * i + 3]) << 24);
    }
}

std::string Hex(const std::array<std::uint8_t, 16>& digest, bool upper) {
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string text;
    text.reserve(32);
    for (std::uint8_t b : digest) {
        text.push_back(digits[b >> 4]);
        text.push_back(digits[b & 0x0F]);
    }
    return text;
}

}  // namespace

void TMD5::Init() {
    FContextState = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    FContextCount = {0, 0};
    FContextBuffer.fill(0);
}

void TMD5::Transform(const std::uint8_t block[64]) {
    std::uint32_t x[16];
    Decode(x, block, 16);
    std::uint32_t a = FContextState[0], b = FContextState[1], c = FContextState[2],
                  d = FContextState[3];
    for (int i = 0; i < 64; ++i) {
        std::uint32_t f;
        int k;
        if (i < 16) {
            f = F(b, c, d);
            k = i;
        } else if (i < 32) {
            f = G(b, c, d);
            k = (5 * i + 1) % 16;
        } else if (i < 48) {
            f = H(b, c, d);
            k = (3 * i + 5) % 16;
        } else {
            f = I(b, c, d);
            k = (7 * i) % 16;
        }
        const std::uint32_t rotated = b + RotateLeft(a + f + kSine[i] + x[k], kShift[i]);
        a = d;
        d = c;
        c = b;
        b = rotated;
    }
    FContextState[0] += a;
    FContextState[1] += b;
    FContextState[2] += c;
    FContextState[3] += d;
}

void TMD5::Update(const void* input, std::size_t length) {
    const auto* bytes = static_cast<const std::uint8_t*>(input);
    std::size_t index = (FContextCount[0] >> 3) & 0x3F;
    // The bit count is 64 bits in two words; lengths beyond 32 bits carry in whole.
    const std::uint64_t bits =
        (static_cast<std::uint64_t>(FContextCount[1]) << 32 | FContextCount[0]) +
        (static_cast<std::uint64_t>(length) << 3);
    FContextCount[0] = static_cast<std::uint32_t>(bits);
    FContextCount[1] = static_cast<std::uint32_t>(bits >> 32);

    const std::size_t partLen = 64 - index;
    std::size_t i = 0;
    if (length >= partLen) {
        std::memcpy(&FContextBuffer[index], bytes, partLen);
        Transform(FContextBuffer.data());
        for (i = partLen; i + 63 < length; i += 64) {
            Transform(bytes + i);
        }
        index = 0;
    }
    if (length > i) {
        std::memcpy(&FContextBuffer[index], bytes + i, length - i);
    }
}

void TMD5::Update(std::string_view utf8Text) {
    if (!utf8Text.empty()) {
        Update(utf8Text.data(), utf8Text.size());
    }
}

std::array<std::uint8_t, 16> TMD5::Final() {
    std::uint8_t bitCount[8];
    Encode(bitCount, FContextCount.data(), 2);
    const std::size_t index = (FContextCount[0] >> 3) & 0x3F;
    const std::size_t padLen = index < 56 ? 56 - index : 120 - index;
    Update(kPadding, padLen);
    Update(bitCount, 8);
    std::array<std::uint8_t, 16> digest{};
    Encode(digest.data(), FContextState.data(), 4);
    return digest;
}

std::string TMD5::AsString() {
    return Hex(Final(), true);
}

std::string TMD5::AsGUID() {
    const std::string hex = AsString();
    return "{" + hex.substr(0, 8) + "-" + hex.substr(8, 4) + "-" + hex.substr(12, 4) + "-" +
           hex.substr(16, 4) + "-" + hex.substr(20, 12) + "}";
}

std::string StrMD5Hex(std::string_view utf8Text) {
    TMD5 md5;
    md5.Update(utf8Text);
    return Hex(md5.Final(), false);
}

}  // namespace engine

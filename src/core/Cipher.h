#pragma once
// The program's own length-preserving cipher for its configuration values and catalog lines.
// Every byte is mixed with a mask that depends only on its position in the line, so the
// enciphered line is exactly as long as the plain one and written as upper-case hex pairs.

#include <QByteArray>
#include <cstddef>

namespace tv {

namespace cipher_detail {
inline constexpr char kKey[] = "Tv!7q#Lm2Zx9@Rk4Wp$8Nc&3Hs^6Jd*5";
inline constexpr std::size_t kKeyLength = sizeof(kKey) - 1;

constexpr unsigned char MaskAt(std::size_t position) {
    return static_cast<unsigned char>(static_cast<unsigned char>(kKey[(position * 7 + 3) % kKeyLength]) ^
                                      ((position * 29 + 101) & 0xFF));
}
} // namespace cipher_detail

// Applies the position mask to raw bytes; applying it twice gives the bytes back.
QByteArray MixBytes(QByteArray bytes);

// Enciphers raw bytes (UTF-8 text) into upper-case hexadecimal text, two digits per byte.
QByteArray EncipherLine(const QByteArray &plain);

// Deciphers hexadecimal text; answers an empty array and sets *ok false when the text is not
// an even number of hex digits.
QByteArray DecipherLine(const QByteArray &hex, bool *ok = nullptr);

// A text sealed at compile time: the plain literal never reaches the binary.
template <std::size_t N>
struct SealedText {
    unsigned char bytes[N > 1 ? N - 1 : 1]{};
    std::size_t size = N - 1;

    consteval SealedText(const char (&text)[N]) {
        for (std::size_t i = 0; i + 1 < N; ++i)
            bytes[i] = static_cast<unsigned char>(text[i]) ^ cipher_detail::MaskAt(i);
    }
};

} // namespace tv

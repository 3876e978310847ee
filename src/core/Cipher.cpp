#include "Cipher.h"

namespace tv {

QByteArray MixBytes(QByteArray bytes) {
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(static_cast<unsigned char>(bytes[i]) ^
                                     cipher_detail::MaskAt(static_cast<std::size_t>(i)));
    return bytes;
}

QByteArray EncipherLine(const QByteArray &plain) { return MixBytes(plain).toHex().toUpper(); }

QByteArray DecipherLine(const QByteArray &hex, bool *ok) {
    auto fail = [ok]() {
        if (ok)
            *ok = false;
        return QByteArray();
    };
    if (hex.size() % 2 != 0)
        return fail();
    for (char c : hex) {
        const bool digit = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        if (!digit)
            return fail();
    }
    if (ok)
        *ok = true;
    return MixBytes(QByteArray::fromHex(hex));
}

} // namespace tv

#pragma once
// The five tabs of the output panel, the maker each one shows, and the remembered preset
// index of every format button.

#include <QString>
#include <array>

namespace tv {

enum OutputTab : int { VideoTab = 0, DeviceTab = 1, AudioTab = 2, WebTab = 3, FavoritesTab = 4 };
inline constexpr int kOutputTabCount = 5;
inline constexpr int kButtonTabCount = 4; // the tabs whose buttons come from a maker
inline constexpr int kRememberedSlots = 31;

inline const QString kVideoMaker = QStringLiteral("VideoFormat");
inline const QString kDeviceMaker = QStringLiteral("DeviceFormat");
inline const QString kAudioMaker = QStringLiteral("AudioFormat");
inline const QString kWebMaker = QStringLiteral("WebFormat");

// Caption of the tab's button ("Video Formats" ... "Favorites").
QString OutputTabCaption(int tab);
// The maker of tabs 0, 2 and 3; the devices tab shows the maker chosen in its maker list.
QString FixedTabMaker(int tab);
// The tab that shows a maker: 0, 2 or 3 for the fixed makers, 1 for every other one.
int TabOfMaker(const QString &maker);

// For each button tab, the 0-based preset chooser entry to select when a button is
// clicked, one slot per button index (buttons beyond the last slot have none).
class RememberedPresets {
public:
    RememberedPresets();
    // The start-up values: the recommended preset of every shipped button.
    void reset();
    // Every device slot back to 1 (when another maker's devices are shown).
    void resetDevices();
    // The remembered index, or -1 when the button has no slot.
    int index(int tab, int button) const;
    void store(int tab, int button, int index);

private:
    std::array<std::array<qint16, kRememberedSlots>, kButtonTabCount> m_slots{};
};

} // namespace tv

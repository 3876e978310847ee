#include "OutputTabs.h"

#include <QStringList>

namespace tv {

QString OutputTabCaption(int tab) {
    static const QStringList captions = {QStringLiteral("Video Formats"), QStringLiteral("Devices"),
                                         QStringLiteral("Audio Formats"), QStringLiteral("Web Formats"),
                                         QStringLiteral("Favorites")};
    return captions.value(tab);
}

QString FixedTabMaker(int tab) {
    switch (tab) {
    case VideoTab:
        return kVideoMaker;
    case DeviceTab:
        return kDeviceMaker;
    case AudioTab:
        return kAudioMaker;
    case WebTab:
        return kWebMaker;
    default:
        return QString();
    }
}

int TabOfMaker(const QString &maker) {
    if (maker == kVideoMaker)
        return VideoTab;
    if (maker == kAudioMaker)
        return AudioTab;
    if (maker == kWebMaker)
        return WebTab;
    return DeviceTab;
}

RememberedPresets::RememberedPresets() {
    reset();
}

void RememberedPresets::reset() {
    for (auto &table : m_slots)
        table.fill(0);
    // Under these buttons the custom placeholder comes first and the recommended preset
    // second; the web tab's first button recommends its third entry.
    m_slots[VideoTab][0] = 1;
    for (int slot = 0; slot <= 16; ++slot) {
        m_slots[DeviceTab][slot] = 1;
        m_slots[AudioTab][slot] = slot == 6 ? 0 : 1;
    }
    m_slots[WebTab][0] = 2;
}

void RememberedPresets::resetDevices() {
    m_slots[DeviceTab].fill(1);
}

int RememberedPresets::index(int tab, int button) const {
    if (tab < 0 || tab >= kButtonTabCount || button < 0 || button >= kRememberedSlots)
        return -1;
    return m_slots[tab][button];
}

void RememberedPresets::store(int tab, int button, int index) {
    if (tab < 0 || tab >= kButtonTabCount || button < 0 || button >= kRememberedSlots)
        return;
    m_slots[tab][button] = static_cast<qint16>(index);
}

} // namespace tv

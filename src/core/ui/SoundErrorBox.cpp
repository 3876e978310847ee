#include "SoundErrorBox.h"

#include "Config.h"
#include "MessageBox.h"
#include "SoundErrors.h"

namespace tv {

int ShowSoundError(int code) {
    const QString text = SoundErrorText(code);
    if (!text.isEmpty())
        ShowMessage(text, MsgExclamation, Config().productName);
    return code;
}

} // namespace tv

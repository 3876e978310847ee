#pragma once
// ShowSoundError: the message box for a sound-control error code, shared by every window whose
// sound component answers such codes (the CD ripper, the trim window).

namespace tv {

// Shows the code's text with the exclamation icon under the application's title when the
// table has one (0 and positive codes show nothing). Answers the code unchanged, so a caller
// treats any non-zero answer as failure.
int ShowSoundError(int code);

} // namespace tv

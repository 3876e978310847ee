#pragma once
// The media libraries have one log callback for the whole process. The engine's logger, which
// feeds the diagnostics, always takes it; the prober's quiet handler only while nobody else has.

namespace tv {

// Answers true when the caller is to install its callback now: always for the engine's logger
// (`engine` true), and for a quiet handler only when no callback has been claimed yet.
bool ClaimLibavLog(bool engine);

} // namespace tv

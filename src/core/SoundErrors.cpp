#include "SoundErrors.h"

#include <iterator>

namespace tv {

namespace {

// Texts of codes -1, -2, ... in order; the texts are the component's own, typos included.
const char *const kSoundErrorTexts[] = {
    "Invalid player!",    // -1
    "Not enough memory!", // -2
    "The value of one of the parameters passed to the method was out of the available range "
    "of values!",                                                                 // -3
    "Not used by this control!",                                                  // -4
    "The sound card chosen as the output device is not a compatible sound card!", // -5
    "Invalid sound file!",                                                        // -6
    "Invalid playlist file!",                                                     // -7
    "A file creation failed (probably attempting to save a playlist file)!",      // -8
    "The source position of a playlist item is invalid (out of range)!",          // -9
    "The destination position of a playlist item is invalid (out of range)!",     // -10
    "The selected mixer index is out of range!",                                  // -11
    "The selected special effect is not available (probably the passed value was out of "
    "range)!",                                                                     // -12
    "Error during Internet stream buffering!",                                     // -13
    "The control has already been initialized!",                                   // -14
    "No Internet connection cannot be established!",                               // -15
    "Connection timeout!",                                                         // -16
    "The EAX effects are not available on the current sound card!",                // -17
    "DirectX effects not available!",                                              // -18
    "The DirectX version is older than version 8!",                                // -19
    "The last operation failed because no sound was loaded!",                      // -20
    "The last operation failed because not available for the loaded file format!", // -21
    "The sound card chosen as the output device doesn't have a valid driver!",     // -22
    "The given song cannot be used for mixing purposes!",                          // -23
    "Unsupported!",                                                                // -24
    "The Tempo change failed!",                                                    // -25
    "The Playback rate change failed!",                                            // -26
    "The Pitch change failed!",                                                    // -27
    "The given equalizer band is not available!",                                  // -28
    "The visual feedback you are trying to create already exists!",                // -29
    "You are trying to use a visual feedback that still doesn't exists!",          // -30
    "It's not possible to perform a fade-in/fade-out using a single player!",      // -31
    "The fader is not ready: check the Fader.Init method for details!",            // -32
    "A trigger with the given identification number already exists!",              // -33
    "The selected trigger doesn't exist!",                                         // -34
    "The specified CD drive is invalid!",                                          // -35
    "The specified CD drive is not ready!",                                        // -36
    "The specified CD audio track is invalid!",                                    // -37
    "The requested CD action is invalid!",                                         // -38
    "The requested CD identification code is invalid!",                            // -39
    "The requested CD identification is not available!",                           // -40
    "The specified CD track is not an audio track!",                               // -41
    "The specified CD drive is busy loading another audio track!",                 // -42
    "Cannot fade on player A (probably because no playlist has been loaded)!",     // -43
    "Cannot fade on player B (probably because no playlist has been loaded)!",     // -44
    "Cannot use the given playlist for fading because all of the contained songs duration is "
    "shorter than the overall fading time!", // -45
    "Cannot fade two players that are already playing: at least one of them must be paused "
    "or stopped.!",                                                              // -46
    "Cannot fade songs whose duration is shorter than the overall fading time!", // -47
    "The requested information is currently unavailable!",                       // -48
    "The component is still not initialized!",                                   // -49
    "The input device is not valid!",                                            // -50
    "The input channel is not valid!",                                           // -51
    "Invalid recorder!",                                                         // -52
    "The input format is not valid!",                                            // -53
    "Error opening Sound Activation System silence log file!",                   // -54
    "URL for CD cover picture not available!",                                   // -55
    "CD cover picture file not available!",                                      // -56
    "Query to CDDB server failed!",                                              // -57
    "Information about CD not available on the CDDB server!",                    // -58
    "Information about CD not available locally!",                               // -59
    "CDDB server not available!",                                                // -60
    "Connection to CDDB server failed!",                                         // -61
    "MCI error accessing CD drive!",                                             // -62
    "Internet connection not available!",                                        // -63
    "The recorder is busy!",                                                     // -64
    "Sound waveform still not analyzed!",                                        // -65
    "Speakers assignment disabled!",                                             // -66
    "The current output device doesn't support Rear speakers!",                  // -67
    "The current output device doesn't support Center speakers!",                // -68
    "The current output device doesn't support Rear Center speakers!",           // -69
    "Cannot assign a stereo sound to a mono speaker!",                           // -70
    "The provided speakers configuration is invalid!",                           // -71
    "The sound exported in memory in WAV format is not available!",              // -72
    "The recorder didn't performed any previous recording session in memory!",   // -73
    "Reversed sound not available!",                                             // -74
    "Invalid equalizer file!",                                                   // -75
    "Equalizer band not available!",                                             // -76
    "Unsupported ACM codec format!",                                             // -77
    "The Cancel button was pressed after a selection of an ACM codec!",          // -78
    "Not enough room for containing WAV data!",                                  // -79
    "Invalid position!",                                                         // -80
    "No selection available!",                                                   // -81
    "Invalid export settings!",                                                  // -82
    "Encoder application not available inside the system or, in alternative, parameters "
    "passed to the encoder were invalid.!",                                             // -83
    "Encoder failed to start!",                                                         // -84
    "Cannot mix sound coming from remote URL!",                                         // -85
    "FTP connection failed!",                                                           // -86
    "FTP remote directory not found!",                                                  // -87
    "FTP upload failure!",                                                              // -88
    "FTP upload canceled by the user!",                                                 // -89
    "FTP upload impossible because the Windows sockets cannot be initialized!",         // -90
    "This is not a valid DLL for custom DSP management!",                               // -91
    "The custom DSP doesn't contain the requested function!",                           // -92
    "Invalid custom DSP identifier!",                                                   // -93
    "Custom DSP failure!",                                                              // -94
    "The identifier is not related to an external custom DSP!",                         // -95
    "Reversed sound is not available!",                                                 // -96
    "Recording session is being performed in memory and in an output file!",            // -97
    "Deprecated!",                                                                      // -98
    "The current product edition cannot create other players (*)!",                     // -99
    "An unknown error occurred!",                                                       // -100
    "The DLL containing the VST effect was not found!",                                 // -101
    "Invalid VST identifier!",                                                          // -102
    "VST effect failure!",                                                              // -103
    "The VST effect still needs to be loaded!",                                         // -104
    "The VST effect is not compatible with the current implementation of the control!", // -105
    "The VST effect doesn't contain an editor!",                                        // -106
    "The editor of the VST effect is visible!",                                         // -107
    "The VST effect doesn't contain the given program!",                                // -108
    "Invalid editor!",                                                                  // -109
    "The sound editor is busy!",                                                        // -110
    "The sound editor doesn't contain any sound!",                                      // -111
    "The given item already exists!",                                                   // -112
    "Item not found!",                                                                  // -113
    "Player is busy!",                                                                  // -114
    "Delayed playback overlaps an existing one!",                                       // -115
    "Undo is not available!",                                                           // -116
    "The sound file is a headerless RAW PCM!",                                          // -117
    "Incoherent recording session!",                                                    // -118
    "Invalid filter name!",                                                             // -119
    "Invalid filter type!",                                                             // -120
    "Invalid window type!",                                                             // -121
    "Cannot add player to mixer!",                                                      // -122
    "Output not set to mixing mode!",                                                   // -123
    "Invalid casting identifier!",                                                      // -124
    "Invalid encode mode!",                                                             // -125
    "Invalid server address!",                                                          // -126
    "Connection failed!",                                                               // -127
    "Invalid password!",                                                                // -128
    "Casting session already started!",                                                 // -129
    "Casting connection died!",                                                         // -130
    "Invalid stream mixer!",                                                            // -131
    "Invalid ASIO device!",                                                             // -132
    "Invalid ASIO channel!",                                                            // -133
    "ASIO control panel not available!",                                                // -134
    "ASIO system not initialized!",                                                     // -135
    "ASIO device not initialized!",                                                     // -136
    "Cannot start ASIO device!",                                                        // -137
    "ASIO input channel is busy!",                                                      // -138
    "Invalid device!",                                                                  // -139
    "Cannot create DirectSound buffer!",                                                // -140
    "Invalid driver type!",                                                             // -141
    "ASIO device already started!",                                                     // -142
    "Feature not implemented!",                                                         // -143
    "Cannot initialize GDI+!",                                                          // -144
    "Invalid encryption key!",                                                          // -145
    "The chosen player is not streaming from a sound queue!",                           // -146
    "Noise profile is missing!",                                                        // -147
    "Invalid bitrate!",                                                                 // -148
    "Enumeration of audio renderers failed!",                                           // -149
    "No audio renderers available!",                                                    // -150
    "The unique identifier of the video mixer is invalid!",                             // -151
    "The chosen player is not attached to a video mixer!",                              // -152
    "The chosen font is not compatible with GDI+!",                                     // -153
    "Playlist is not set to work in automation mode!",                                  // -154
    "The command cannot be executed on platforms different from x86!",                  // -155
    "The audio of the video clip is not multistream!",                                  // -156
    "Invalid frame identifier!",                                                        // -157
    "Cannot create bitmap!",                                                            // -158
    "The string is too short!",                                                         // -159
    "The string is too long!",                                                          // -160
    "Invalid recording mode!",                                                          // -161
    "Invalid output format!",                                                           // -162
    "The loaded sound is not stereo!",                                                  // -163
    "Invalid state for performing the requested operation!",                            // -164
    "FFDSHOW is not installed inside the system!",                                      // -165
    "The loaded sound is not mono!",                                                    // -166
    "The format of the output file is not stereo!",                                     // -167
    "Invalid identifier for the curve designer!",                                       // -168
    "Fullscreen not predisposed for the given monitor!",                                // -169
    "Not a MIDI file!",                                                                 // -170
    "Invalid MIDI soundfont identifier!",                                               // -171
    "Invalid MIDI parameter!",                                                          // -172
    "The requested list (for example a list of MIDI events) is empty!",                 // -173
    "Invalid MIDI event identifier!",                                                   // -174
    "No default soundfont available!",                                                  // -175
    "Invalid keyboard!",                                                                // -176
    "MIDI device already started!",                                                     // -177
    "MIDI device not started!",                                                         // -178
    "Invalid range!",                                                                   // -179
    "WASAPI system not initialized!",                                                   // -180
    "WASAPI device not started!",                                                       // -181
    "Cannot start WASAPI device!",                                                      // -182
    "WASAPI device already started!",                                                   // -183
    "WASAPI device busy!",                                                              // -184
    "WASAPI volume not available or not accessible!",                                   // -185
    "The audio format is not supported!",                                               // -186
};

} // namespace

QString SoundErrorText(int code) {
    const int index = -code - 1;
    if (code >= 0 || index >= static_cast<int>(std::size(kSoundErrorTexts)))
        return QString();
    return QString::fromUtf8(kSoundErrorTexts[index]);
}

} // namespace tv

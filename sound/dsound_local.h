// Library-wide state of sonra and the helpers its DirectSound files share. Local to sound/.
#pragma once

#define SONRA_BUILDING
#include "sonra.h"

#include <mmsystem.h>
#include <dsound.h>

#include "snd_math.h"
#include "snd_riff.h"
#include "snd_stream.h"

enum { DEVICE_LEVEL6 = 6, DEVICE_LEVEL8 = 8 };
enum Mode3D { MODE3D_NONE, MODE3D_HARDWARE, MODE3D_SOFTWARE };
enum { CONTROL_RUNNING = 0, CONTROL_END = 10, CONTROL_ENDED = 100 };
enum { MSG_OPEN = 100, MSG_OPEN_STREAM = 101, MSG_JOIN_EMPTY = 102, MSG_JOIN_FORMAT = 103,
       MSG_JOIN_CHANNELS = 104, MSG_JOIN_RATE = 105, MSG_JOIN_BITS = 106, MSG_JOIN_SPEED = 107 };

// One set of slot buffers; a slot has a main set and a secondary set for cross-fades.
struct Channel {
    IDirectSoundBuffer *main;      // duplicate of the wave's buffer (shares its samples), or the ring
    IDirectSoundBuffer *copy;      // private copy with effect (and 3D) control
    IDirectSoundBuffer *source;    // wave buffer main or copy was made from
    IDirectSoundBuffer8 *buffer8;  // version-8 interface of main or copy (device level 8)
    IDirectSound3DBuffer *buffer3d;
};

struct Stream {
    snd::StreamState state;
    wchar_t file[snd::ARCHIVE_PATH_UNITS];  // the file that holds the data (archive or loose file)
    uint32_t dataStart;                     // file position of the first data byte
    uint32_t rate;                          // samples per second, the reference of the slot's pitch
};

struct Slot {
    CRITICAL_SECTION lock;
    Channel ch;
    Channel sub;
    tagSNRWAVE *wave;        // last wave played here
    volatile LONG loops;     // plays to come; negative for endless
    int looping;             // playing with the device's looping flag: it cannot stop by itself
    int is3d;
    tagSNRWAVE *nextWave;
    int nextCount;
    int nextFade;            // ms
    int localVolume;         // percent
    LONG volumeValue;        // hundredths of a dB, given to every play
    int pitch;               // percent
    int subVolume;           // percent
    snd::SlotFade fade;
    int fadeActive;
    snd::CountdownFade subFade;
    int subFadeActive;
    float hwPosition[3];
    tagSNR3D swPosition;
    float minDistance;
    float maxDistance;
    Stream stream;           // streaming while stream.state.dataSize != 0
};

struct Listener {
    IDirectSound3DListener *hw;
    tagSNR3D front, top;
    tagSNR3D lastAngles;
    int haveAngles;
    tagSNR3D position, velocity, angles;  // software listener
};

struct Sonra {
    int started;
    HINSTANCE instance;
    HWND owner;
    HWND hidden;
    IDirectSound8 *device;
    IDirectSoundBuffer *primary;
    int level;
    Mode3D mode3d;
    DWORD baseFlags;
    DWORD streamFocus;
    tagSNRCAPS caps;
    snd::LevelTables tables;
    int waveMaster;          // percent
    int master;              // percent
    snd::CountdownFade masterFade;
    snd::CountdownFade waveMasterFade;
    int masterFadeActive;
    int waveMasterFadeActive;
    volatile LONG activeFades;
    volatile LONG control;
    HANDLE worker;
    int comStarted;
    // worker clock: performance counter when present, else timeGetTime
    int useCounter;
    int64_t counterFrequency;
    volatile int64_t clockNow;   // reading of the worker's latest pass
    uint32_t worstLeadMs;        // smallest lead of a stream refill over the play position seen
    Listener listener;
    Slot slots[SNR2_SLOTS];
};

extern Sonra g_snd;

static inline bool slot_valid(int slot) { return slot >= 0 && slot < SNR2_SLOTS; }

// dsound_system.cpp
void show_message(int id, const wchar_t *path);
bool buffer_playing(IDirectSoundBuffer *b);
void release_com(IUnknown *p);
template <class T> void release(T *&p)
{
    if (p) {
        p->Release();
        p = nullptr;
    }
}

// dsound_wave.cpp: an open sound file positioned at its member
struct SoundFile {
    HANDLE handle;
    uint32_t memberOffset;
    uint32_t memberSize;
    wchar_t file[snd::ARCHIVE_PATH_UNITS];  // archive or loose file actually opened
};
bool open_sound_file(const wchar_t *path, SoundFile *out);
bool read_wave_header(SoundFile *f, snd::WaveHeader *h);
bool read_at(HANDLE file, uint64_t position, void *dst, uint32_t bytes);
void restore_if_lost(tagSNRWAVE *wave);
IDirectSoundBuffer *create_buffer(DWORD flags, DWORD bytes, const WAVEFORMATEX *format);
bool copy_buffer(IDirectSoundBuffer *to, DWORD toOffset, IDirectSoundBuffer *from);

// dsound_play.cpp
enum PlayMode { PLAY_PLAIN, PLAY_EFFECT, PLAY_3D };
// Gives the slot a buffer holding the wave's samples for the mode; the buffer to play, or null.
IDirectSoundBuffer *slot_buffer(Slot *s, tagSNRWAVE *wave, PlayMode mode);
void clear_stream(Slot *s);
// Before a wave's buffer is released: no slot may take its address for the same samples again,
// since the next buffer made may get that address.
void forget_wave_buffer(IDirectSoundBuffer *b);
int set_sub_volume(Slot *s, int percent);

// dsound_worker.cpp
DWORD WINAPI worker_main(void *control);
int64_t worker_clock(void);

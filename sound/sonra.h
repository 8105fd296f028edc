// Public interface of the sonra sound library (sonra.dll): wave records, 128 numbered playback
// slots, streams, levels and fades, and 3D placement over DirectSound. Every function uses the
// standard Windows calling convention; paths are zero-terminated UTF-16.
#pragma once

#include <windows.h>
#include <stddef.h>
#include <stdint.h>

struct IDirectSoundBuffer;

// The byte layouts hold for the 32-bit build, the one that ships; the 64-bit test build widens the
// buffer pointer, and its layout is pinned too, so the test build stays the same record.
#if defined(_WIN64)
#define SONRA_STATIC_LAYOUT(type, size32, size64) \
    static_assert(sizeof(type) == (size64), #type " must stay " #size64 " bytes in the 64-bit build")
#define SONRA_STATIC_OFFSET(type, field, off32, off64) \
    static_assert(offsetof(type, field) == (off64), #type "." #field " must stay at offset " #off64)
#else
#define SONRA_STATIC_LAYOUT(type, size32, size64) \
    static_assert(sizeof(type) == (size32), #type " must stay " #size32 " bytes")
#define SONRA_STATIC_OFFSET(type, field, off32, off64) \
    static_assert(offsetof(type, field) == (off32), #type "." #field " must stay at offset " #off32)
#endif

#ifdef SONRA_BUILDING
#define SNR2_API extern "C"
#else
#define SNR2_API extern "C" __declspec(dllimport)
#endif

#define SNR2_SLOTS 128
#define SNR2_PATH_UNITS 256

// A loaded wave. The caller owns the storage; the library fills it. The first six fields are a
// WAVEFORMATEX header without its extra-size field.
struct tagSNRWAVE {
    uint16_t formatTag;              // 1 = PCM
    uint16_t channels;               // 1 or 2 for a loaded wave
    uint32_t samplesPerSec;
    uint32_t avgBytesPerSec;
    uint16_t blockAlign;             // bytes per sample frame
    uint16_t bitsPerSample;
    uint32_t dataSize;               // bytes of samples in the buffer; 0 when none were loaded
    wchar_t path[SNR2_PATH_UNITS];   // the file the wave was read from
    IDirectSoundBuffer *buffer;      // the wave's own secondary buffer; null when nothing is loaded
};
SONRA_STATIC_LAYOUT(tagSNRWAVE, 536, 544);
SONRA_STATIC_OFFSET(tagSNRWAVE, samplesPerSec, 4, 4);
SONRA_STATIC_OFFSET(tagSNRWAVE, blockAlign, 12, 12);
SONRA_STATIC_OFFSET(tagSNRWAVE, dataSize, 16, 16);
SONRA_STATIC_OFFSET(tagSNRWAVE, path, 20, 20);
SONRA_STATIC_OFFSET(tagSNRWAVE, buffer, 532, 536);

// A position, velocity or angle triple (degrees); the fourth field is 0 in the library's copies.
struct tagSNR3D {
    float x, y, z;
    uint32_t spare;
};
SONRA_STATIC_LAYOUT(tagSNR3D, 16, 16);

// Device capabilities (SNR2_GetCaps).
struct tagSNRCAPS {
    int32_t hardware3D;   // 1 when the device has hardware 3D buffers, else 2
    int32_t minRate;      // smallest secondary sample rate, samples per second
    int32_t maxRate;      // largest secondary sample rate
};
SONRA_STATIC_LAYOUT(tagSNRCAPS, 12, 12);

// Start flags (second argument of SNR2_Start).
#define SNR2_START_LEVEL6        0x00000001  // bits 0-1: device level 6 (no effects, no 3D)
#define SNR2_START_8BIT          0x00000004  // bits 2-3: 8-bit primary buffer
#define SNR2_START_22050         0x00000010  // bits 4-5: 22050 samples per second
#define SNR2_START_11025         0x00000020  //           11025 samples per second
#define SNR2_START_3D_HARDWARE   0x00000040  // bits 6-7: hardware 3D where the device has it
#define SNR2_START_3D_SOFTWARE   0x00000080  //           the library's own 3D
#define SNR2_START_FOCUS         0x80000000  // bit 31: heard only while the application is active

// Effect bits of SNR2_WaveEffectPlay.
#define SNR2_FX_CHORUS      0x01
#define SNR2_FX_COMPRESSOR  0x02
#define SNR2_FX_DISTORTION  0x04
#define SNR2_FX_ECHO        0x08
#define SNR2_FX_FLANGER     0x10
#define SNR2_FX_GARGLE      0x20

#define SNR2_3D_IMMEDIATE   0x1000  // SNR2_3DWavePlay: apply the position at once
#define SNR2_3D_COMMIT      0x2000  // SNR2_3DListenerDirectD (hardware 3D): commit

// --- Start, end, wave records --------------------------------------------------------------------
// 1; 0 when the primary buffer cannot be made; DirectSound's negative result when the device or
// its cooperative level cannot be had.
SNR2_API int WINAPI SNR2_Start(HWND owner, DWORD flags);
SNR2_API void WINAPI SNR2_End(void);
// 1 with the record filled when started, else 0.
SNR2_API int WINAPI SNR2_GetCaps(tagSNRCAPS *caps);
SNR2_API void WINAPI SNR2_Clear(tagSNRWAVE *wave);
// 1 when the file was opened (even with no usable sound in it), 0 when not.
SNR2_API int WINAPI SNR2_WaveRead(const wchar_t *path, tagSNRWAVE *wave);
SNR2_API void WINAPI SNR2_WaveFree(tagSNRWAVE *wave);
SNR2_API void WINAPI SNR2_WaveFreeBuffer(IDirectSoundBuffer **buffer);
// 1 when first and second were joined into destination, else 0.
SNR2_API int WINAPI SNR2_WaveAddBuffer(tagSNRWAVE *destination, tagSNRWAVE *first, tagSNRWAVE *second);

// --- Slots --------------------------------------------------------------------------------------
// count (-1 endless), or -1 when count is 0, the wave has no buffer or the slot is out of range.
SNR2_API int WINAPI SNR2_WavePlay(int slot, tagSNRWAVE *wave, int count);
// count, or -1 as SNR2_WavePlay.
SNR2_API int WINAPI SNR2_WaveEffectPlay(int slot, tagSNRWAVE *wave, int count, DWORD effects);
// 1 when the stream started, else 0.
SNR2_API int WINAPI SNR2_WaveStreamPlay(int slot, const wchar_t *path, int count);
// 1, or 0 when count is 0 or the wave has no buffer.
SNR2_API int WINAPI SNR2_WaveNextPlay(int slot, tagSNRWAVE *wave, int count, int fadeTime);
// 1; -1 when count is 0 or the wave has no buffer.
SNR2_API int WINAPI SNR2_WaveChangePlay(int slot, tagSNRWAVE *wave, int count, int fadeTime);
SNR2_API void WINAPI SNR2_SubWavePlay(int slot);
SNR2_API void WINAPI SNR2_WaveStop(int slot);
// The slot's loop counter: 0 idle or finished, non-zero while plays are to come (negative: endless).
SNR2_API int WINAPI SNR2_WaveStatus(int slot);
SNR2_API void WINAPI SNR2_WavePause(int slot, int pause);

// --- Levels, pitch, pan, fades -------------------------------------------------------------------
// 1, or 0 when a volume change was refused or the slot is out of range.
SNR2_API int WINAPI SNR2_WaveSetLocalVol(int slot, int percent);
// As SNR2_WaveSetLocalVol.
SNR2_API int WINAPI SNR2_WaveSetLocalVolDirect(int slot, int percent);
// The slot's local volume, percent.
SNR2_API int WINAPI SNR2_WaveGetLocalVol(int slot);
SNR2_API void WINAPI SNR2_WaveSetMasterVol(int percent);
// The wave master volume, percent.
SNR2_API int WINAPI SNR2_WaveGetMasterVol(void);
SNR2_API void WINAPI SNR2_SetMasterVol(int percent);
// The primary buffer's volume, percent.
SNR2_API int WINAPI SNR2_GetMasterVol(void);
// The slot's previous pitch percent (0 when never set or out of range).
SNR2_API int WINAPI SNR2_WaveSetPitch(int slot, int percent);
// The main buffer's frequency before the change (0 when none).
SNR2_API int WINAPI SNR2_WaveSetPitchDirect(int slot, int frequency);
// The buffer's frequency (0 when none); *percent gets it as a percent of the wave's rate.
SNR2_API int WINAPI SNR2_WaveGetPitch(int slot, int *percent);
SNR2_API void WINAPI SNR2_WaveSetPan(int slot, int pan);
// The buffer's pan, -100..100.
SNR2_API int WINAPI SNR2_WaveGetPan(int slot);
// The local volume at the start of the fade; -1 when the slot is out of range.
SNR2_API int WINAPI SNR2_WaveFade(int slot, int target, int time);
SNR2_API void WINAPI SNR2_MasterFade(int target, int time);
SNR2_API void WINAPI SNR2_WaveMasterFade(int target, int time);

// --- 3D -----------------------------------------------------------------------------------------
// 1; -1 when count is 0 or the wave has no buffer.
SNR2_API int WINAPI SNR2_3DWavePlay(int slot, tagSNRWAVE *wave, int count, tagSNR3D *position, DWORD flags);
// 1 when the slot has a 3D buffer, else 0 (software 3D still takes the position).
SNR2_API int WINAPI SNR2_3DWavePosition(int slot, tagSNR3D *position, int immediate);
// 1 with the slot's 3D buffer position, else 0.
SNR2_API int WINAPI SNR2_3DWaveGetPosition(int slot, tagSNR3D *position);
SNR2_API void WINAPI SNR2_3DWaveVelocity(int slot, tagSNR3D *velocity, int deferred);
// 1 with the slot's 3D buffer velocity, else 0.
SNR2_API int WINAPI SNR2_3DWaveGetVelocity(int slot, tagSNR3D *velocity);
// 1 when applied to a 3D buffer, else 0 (the distances are still kept for the slot).
SNR2_API int WINAPI SNR2_3DWaveDistance(int slot, float minimum, float maximum, int immediate);
// 1, or 0 outside hardware 3D.
SNR2_API int WINAPI SNR2_3DSetting(float distanceFactor, float rolloffFactor, float dopplerFactor, int immediate);
SNR2_API void WINAPI SNR2_3DListenerInit(void);
SNR2_API void WINAPI SNR2_3DListener(tagSNR3D *position, tagSNR3D *angles, int commit);
SNR2_API void WINAPI SNR2_3DListenerDirect(tagSNR3D *position, tagSNR3D *front, tagSNR3D *top, int commit);
SNR2_API void WINAPI SNR2_3DListenerDirectD(tagSNR3D *position, tagSNR3D *front, tagSNR3D *top, tagSNR3D *velocity,
                                            DWORD flags);
SNR2_API void WINAPI SNR2_3DListenerVelocity(tagSNR3D *velocity, int immediate);
// 1 with the listener's position, else 0.
SNR2_API int WINAPI SNR2_3DListenerGetPosition(tagSNR3D *position);
// 1 with the listener's front and top vectors, else 0.
SNR2_API int WINAPI SNR2_3DListenerOrientation(tagSNR3D *front, tagSNR3D *top);
// 1 with the listener's velocity (hardware 3D), else 0.
SNR2_API int WINAPI SNR2_3DListenerGetVelocity(tagSNR3D *velocity);
SNR2_API void WINAPI SNR2_Commit(void);
SNR2_API void WINAPI SNR2_CalcVelocity(tagSNR3D *out, tagSNR3D *angles, float speed, DWORD time);

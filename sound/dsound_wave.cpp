// Wave records on DirectSound: opening sound files loose or out of ".vfs" archives, reading
// RIFF/WAVE data into buffers, restoring lost buffers, freeing and joining waves.
#include "dsound_local.h"
#include "trvx_profile_win32.h"

#include <stdlib.h>
#include <string.h>

static const char16_t *u16(const wchar_t *s) { return reinterpret_cast<const char16_t *>(s); }

static uint32_t handle_read(void *user, void *dst, uint32_t bytes)
{
    DWORD got = 0;
    if (!ReadFile((HANDLE)user, dst, bytes, &got, nullptr))
        return 0;
    return got;
}

static bool handle_seek(void *user, uint64_t position)
{
    LARGE_INTEGER to;
    to.QuadPart = (LONGLONG)position;
    return SetFilePointerEx((HANDLE)user, to, nullptr, FILE_BEGIN) != 0;
}

bool read_at(HANDLE file, uint64_t position, void *dst, uint32_t bytes)
{
    return handle_seek(file, position) && handle_read(file, dst, bytes) == bytes;
}

static HANDLE open_read(const wchar_t *path)
{
    // shared for reading so that a stream refill and a wave read of one archive do not collide
    return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

static uint64_t file_size(HANDLE h)
{
    LARGE_INTEGER size;
    return GetFileSizeEx(h, &size) ? (uint64_t)size.QuadPart : 0;
}

bool open_sound_file(const wchar_t *path, SoundFile *out)
{
    memset(out, 0, sizeof *out);
    out->handle = INVALID_HANDLE_VALUE;
    if (!path || snd::path_length(u16(path)) >= snd::PATH_UNITS)
        return false;
    wchar_t archive[snd::ARCHIVE_PATH_UNITS];
    snd::archive_path(u16(path), reinterpret_cast<char16_t *>(archive));
    HANDLE h = open_read(archive);
    if (h != INVALID_HANDLE_VALUE) {
        // once the archive exists the member must be in it: no fallback to the loose file
        uint64_t size = file_size(h);
        uint8_t header[snd::VFS_HEADER_BYTES];
        bool found = false;
        if (handle_read(h, header, sizeof header) == sizeof header) {
            snd::VfsHeader vh = snd::parse_vfs_header(header, size);
            uint8_t *dir = (uint8_t *)malloc(vh.directoryBytes ? vh.directoryBytes : 1);
            snd::VfsEntry e;
            if (dir && handle_read(h, dir, vh.directoryBytes) == vh.directoryBytes &&
                snd::find_vfs_entry(dir, vh.directoryBytes, &vh, snd::base_name(u16(path)), size, &e) >= 0 &&
                handle_seek(h, e.offset)) {
                out->memberOffset = e.offset;
                out->memberSize = e.size;
                found = true;
            }
            free(dir);
        }
        if (!found) {
            CloseHandle(h);
            return false;
        }
        out->handle = h;
        wcscpy(out->file, archive);
        return true;
    }
    h = open_read(path);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    uint64_t size = file_size(h);
    out->handle = h;
    out->memberOffset = 0;
    out->memberSize = size > UINT32_MAX ? UINT32_MAX : (uint32_t)size;
    wcscpy(out->file, path);
    return true;
}

static void close_sound_file(SoundFile *f)
{
    if (f->handle != INVALID_HANDLE_VALUE)
        CloseHandle(f->handle);
    f->handle = INVALID_HANDLE_VALUE;
}

static snd::WaveParse parse_header(SoundFile *f, snd::WaveHeader *h)
{
    snd::ByteSource src = {f->handle, handle_read, handle_seek};
    return snd::parse_wave_header(&src, f->memberOffset, f->memberSize, h);
}

bool read_wave_header(SoundFile *f, snd::WaveHeader *h) { return parse_header(f, h) == snd::WAVE_OK; }

static void format_of(const tagSNRWAVE *w, WAVEFORMATEX *wf)
{
    // the record's data size stands where the header's extra-size field would be: never hand it on
    memcpy(wf, w, 16);
    wf->cbSize = 0;
}

static DWORD wave_buffer_flags(const tagSNRWAVE *w, DWORD flags)
{
    // 3D control is for mono sounds only
    return w->channels == 1 ? flags : flags & ~(DWORD)DSBCAPS_CTRL3D;
}

IDirectSoundBuffer *create_buffer(DWORD flags, DWORD bytes, const WAVEFORMATEX *format)
{
    if (!g_snd.device || bytes == 0)
        return nullptr;
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = flags;
    desc.dwBufferBytes = bytes;
    desc.lpwfxFormat = const_cast<WAVEFORMATEX *>(format);
    IDirectSoundBuffer *b = nullptr;
    if (FAILED(g_snd.device->CreateSoundBuffer(&desc, &b, nullptr)))
        return nullptr;
    return b;
}

bool copy_buffer(IDirectSoundBuffer *to, DWORD toOffset, IDirectSoundBuffer *from)
{
    void *src, *dst, *src2, *dst2;
    DWORD srcBytes, dstBytes, srcBytes2, dstBytes2;
    if (FAILED(to->Lock(0, 0, &dst, &dstBytes, &dst2, &dstBytes2, DSBLOCK_ENTIREBUFFER)))
        return false;
    bool ok = false;
    if (SUCCEEDED(from->Lock(0, 0, &src, &srcBytes, &src2, &srcBytes2, DSBLOCK_ENTIREBUFFER))) {
        if (toOffset < dstBytes) {
            DWORD n = dstBytes - toOffset < srcBytes ? dstBytes - toOffset : srcBytes;
            memcpy((uint8_t *)dst + toOffset, src, n);
            ok = true;
        }
        from->Unlock(src, srcBytes, src2, srcBytes2);
    }
    to->Unlock(dst, dstBytes, dst2, dstBytes2);
    return ok;
}

// Reads the wave's samples from its file into buffer b (the whole data chunk, up to bytes).
static bool fill_from_file(SoundFile *f, const snd::WaveHeader *h, IDirectSoundBuffer *b, uint32_t bytes)
{
    void *p1, *p2;
    DWORD n1, n2;
    if (FAILED(b->Lock(0, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER)))
        return false;
    uint32_t want = bytes < n1 ? bytes : n1;
    if (want > h->dataSize)
        want = h->dataSize;
    uint32_t got = handle_read(f->handle, p1, want);
    memset((uint8_t *)p1 + got, 0, n1 - got);  // a file cut short since it was read plays silence
    b->Unlock(p1, n1, p2, n2);
    return true;
}

void restore_if_lost(tagSNRWAVE *wave)
{
    DWORD status = 0;
    if (!wave || !wave->buffer || FAILED(wave->buffer->GetStatus(&status)) || !(status & DSBSTATUS_BUFFERLOST))
        return;
    if (FAILED(wave->buffer->Restore()))
        return;
    // the samples went with the memory: read them again from the file the record names
    SoundFile f;
    if (!open_sound_file(wave->path, &f))
        return;
    snd::WaveHeader h;
    if (read_wave_header(&f, &h))
        fill_from_file(&f, &h, wave->buffer, wave->dataSize);
    close_sound_file(&f);
}

SNR2_API int WINAPI SNR2_WaveRead(const wchar_t *path, tagSNRWAVE *wave)
{
    if (!wave)
        return 0;
    SoundFile f;
    if (!open_sound_file(path, &f)) {
        show_message(MSG_OPEN, path);
        if (wave->channels == 1 || wave->channels == 2)
            SNR2_WaveFree(wave);
        else if (wave->channels > 32)
            memset(wave, 0, sizeof *wave);
        return 0;
    }
    size_t n = snd::path_length(u16(path));
    memcpy(wave->path, path, n * sizeof(wchar_t));
    wave->path[n] = 0;

    snd::WaveHeader h;
    snd::WaveParse parsed = parse_header(&f, &h);
    if (parsed == snd::WAVE_NOT_RIFF || parsed == snd::WAVE_NOT_WAVE) {
        close_sound_file(&f);
        return 1;
    }
    if (parsed == snd::WAVE_BAD_FORMAT) {
        wave->dataSize = 0;
        close_sound_file(&f);
        return 1;
    }
    memcpy(wave, h.format, 16);
    if (parsed == snd::WAVE_NO_DATA) {
        wave->dataSize = 0;
        close_sound_file(&f);
        return 1;
    }
    wave->dataSize = h.dataSize;
    WAVEFORMATEX wf;
    format_of(wave, &wf);
    IDirectSoundBuffer *b = create_buffer(wave_buffer_flags(wave, g_snd.baseFlags | DSBCAPS_CTRLVOLUME),
                                          wave->dataSize, &wf);
    if (!b || !fill_from_file(&f, &h, b, wave->dataSize)) {
        if (b)
            b->Release();
        wave->dataSize = 0;
        close_sound_file(&f);
        return 1;
    }
    wave->buffer = b;
    close_sound_file(&f);
    trvx_profile_mark_file("wave", path);
    return 1;
}

SNR2_API void WINAPI SNR2_WaveFree(tagSNRWAVE *wave)
{
    if (!wave || !wave->buffer)
        return;
    if (!g_snd.started) {
        // the device went with SNR2_End and took its buffers along
        memset(wave, 0, sizeof *wave);
        return;
    }
    // a bounded wait: a buffer that will not stop must not hang the caller
    for (int tries = 0; tries < 100; ++tries) {
        DWORD status = 0;
        if (FAILED(wave->buffer->GetStatus(&status)) || !(status & DSBSTATUS_PLAYING))
            break;
        if (status & DSBSTATUS_BUFFERLOST)
            wave->buffer->Restore();
        wave->buffer->Stop();
        Sleep(10);
    }
    forget_wave_buffer(wave->buffer);
    wave->buffer->Release();
    memset(wave, 0, sizeof *wave);
}

SNR2_API void WINAPI SNR2_WaveFreeBuffer(IDirectSoundBuffer **buffer)
{
    if (buffer && *buffer) {
        if (g_snd.started) {
            forget_wave_buffer(*buffer);
            (*buffer)->Release();
        }
        *buffer = nullptr;
    }
}

SNR2_API int WINAPI SNR2_WaveAddBuffer(tagSNRWAVE *destination, tagSNRWAVE *first, tagSNRWAVE *second)
{
    if (!destination)
        return 0;
    if (!first || !second || !first->buffer || !second->buffer) {
        show_message(MSG_JOIN_EMPTY, nullptr);
        return 0;
    }
    int msg = first->formatTag != second->formatTag         ? MSG_JOIN_FORMAT
              : first->channels != second->channels         ? MSG_JOIN_CHANNELS
              : first->samplesPerSec != second->samplesPerSec ? MSG_JOIN_RATE
              : first->avgBytesPerSec != second->avgBytesPerSec ? MSG_JOIN_SPEED
              : first->bitsPerSample != second->bitsPerSample ? MSG_JOIN_BITS
                                                              : 0;
    if (msg) {
        show_message(msg, nullptr);
        return 0;
    }
    // clearing a destination that is the second wave would free the samples about to be copied
    if (destination == second && destination != first)
        return 0;
    uint64_t total = (uint64_t)first->dataSize + second->dataSize;
    if (total > DSBSIZE_MAX)
        return 0;
    restore_if_lost(first);
    restore_if_lost(second);
    uint32_t firstBytes = first->dataSize;
    if (destination != first) {
        if (destination->buffer)
            SNR2_WaveFree(destination);
        memcpy(destination, first, 16);
        destination->dataSize = (uint32_t)total;
    }
    WAVEFORMATEX wf;
    format_of(first, &wf);
    IDirectSoundBuffer *b =
        create_buffer(wave_buffer_flags(first, g_snd.baseFlags | DSBCAPS_CTRLVOLUME), (DWORD)total, &wf);
    if (!b)
        return 0;
    copy_buffer(b, 0, first->buffer);
    copy_buffer(b, firstBytes, second->buffer);
    if (destination == first) {
        forget_wave_buffer(first->buffer);
        first->buffer->Release();
        first->dataSize = (uint32_t)total;
    }
    destination->buffer = b;
    return 1;
}

// Worker benchmark (not a test): all 128 slots busy (127 looping waves and one endless stream),
// 16 of them fading all the time, for a fixed time. Prints the worker thread's CPU time per second
// of wall time and the worst lead of a stream refill over the play position.
// usage: sonra_bench [seconds] [fading slots] [playing slots]
#include <stdio.h>
#include <stdlib.h>

#include "assets.h"
#include "dsound_local.h"

using namespace snd_test;

static double thread_seconds(HANDLE thread)
{
    FILETIME created, ended, kernel, user;
    if (!GetThreadTimes(thread, &created, &ended, &kernel, &user))
        return -1.0;
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime;
    k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return (double)(k.QuadPart + u.QuadPart) / 1e7;
}

int main(int argc, char **argv)
{
    int seconds = argc > 1 ? atoi(argv[1]) : 20;
    int fading = argc > 2 ? atoi(argv[2]) : 16;
    int slots = argc > 3 ? atoi(argv[3]) : SNR2_SLOTS;
    if (SNR2_Start(nullptr, 0) != 1) {
        printf("bench: no sound device\n");
        return 1;
    }
    Tone t;
    t.seconds = 0.5;
    write_file("bench_loop.wav", wave_file(t, tone_data(t)));
    t.seconds = 6.0;
    write_file("bench_stream.wav", wave_file(t, tone_data(t)));
    tagSNRWAVE wave = {};
    SNR2_WaveRead(L"bench_loop.wav", &wave);
    SNR2_WaveSetMasterVol(10);
    if (slots > 0)
        SNR2_WaveStreamPlay(0, L"bench_stream.wav", -1);
    for (int slot = 1; slot < slots; ++slot)
        SNR2_WavePlay(slot, &wave, -1);

    LARGE_INTEGER frequency, from, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&from);
    double cpuFrom = thread_seconds(g_snd.worker);
    for (int round = 0; round * 3 < seconds; ++round) {
        // the fading slots go down and up again in turn, so their fades are always running
        for (int slot = 1; slot <= fading; ++slot)
            SNR2_WaveFade(slot, round % 2 ? 100 : 10, 3000);
        Sleep(3000);
    }
    QueryPerformanceCounter(&now);
    double cpu = thread_seconds(g_snd.worker) - cpuFrom;
    double wall = (double)(now.QuadPart - from.QuadPart) / (double)frequency.QuadPart;
    int playing = 0;
    for (int slot = 0; slot < SNR2_SLOTS; ++slot)
        playing += SNR2_WaveStatus(slot) != 0;
    printf("slots_playing=%d fading=%d wall_s=%.1f\n", playing, fading, wall);
    printf("worker_cpu_ms_per_s=%.2f worker_cpu_percent=%.3f\n", cpu * 1000.0 / wall, cpu * 100.0 / wall);
    printf("worst_refill_lead_ms=%u (quarter 1000 ms, ring 4000 ms)\n", g_snd.worstLeadMs);
    SNR2_WaveFree(&wave);
    SNR2_End();
    return 0;
}

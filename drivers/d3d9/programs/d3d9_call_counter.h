// Counts state-changing Direct3D 9 device calls (render, stage and sampler states, textures,
// materials, transforms, lights, streams, indices, vertex formats) by patching the device's method
// table, which all devices of the process share. For tests and the benchmark; one counter at a time.
#pragma once

#include <d3d9.h>

struct D3D9CallCounter {
    explicit D3D9CallCounter(IDirect3DDevice9 *device);
    ~D3D9CallCounter();
    // Calls since construction or the last reset.
    long count() const;
    void reset();
};

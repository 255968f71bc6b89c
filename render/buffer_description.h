#pragma once
// BufferDescription: how a renderer wants one of its buffers. Presence flags say which
// fields were given; only given fields take part in matching two descriptions.

#include "platform/d3d9/d3d9.h"

enum BufferKind : DWORD { kVertexBufferKind = 1, kIndexBufferKind = 2 };

// Presence and option flags.
constexpr DWORD kBufferPoolGiven = 0x01;
constexpr DWORD kBufferIndexFormatGiven = 0x02;
constexpr DWORD kBufferGrowthGiven = 0x04;
constexpr DWORD kBufferSizeGiven = 0x08;
constexpr DWORD kBufferMinimumGiven = 0x10;
constexpr DWORD kBufferUsageGiven = 0x20;
constexpr DWORD kBufferCompactionGiven = 0x80;  // compaction is enabled only with it

struct BufferDescription {
    DWORD kind = kVertexBufferKind;
    DWORD fvf = 0;
    UINT stride = 0;
    D3DFORMAT indexFormat = D3DFMT_INDEX16;
    D3DPOOL pool = D3DPOOL_DEFAULT;
    UINT size = 0;
    UINT minimumSize = 0;
    UINT growthStep = 4096;
    DWORD usage = 0;
    DWORD flags = 0;
    UINT holeBytes = 0;        // 0: off
    float holeFraction = 0.3f;  // of the used span; 0: off

    // True when kinds are equal, FVFs equal (vertices), and the index format, pool and
    // usage are equal wherever this description gives them.
    bool Matches(const BufferDescription& other) const;
};

BufferDescription VertexDescription(DWORD fvf, UINT stride, UINT size = 0);
BufferDescription IndexDescription(UINT size, D3DFORMAT format = D3DFMT_INDEX16);

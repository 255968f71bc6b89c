#pragma once
// DynamicBatchBuffer: a BatchBuffer that grows when an allocation does not fit, by at least
// its growth step, and that keeps one growth step of headroom (and no more) when recreated.

#include "render/batch_buffer.h"

class DynamicBatchBuffer : public BatchBuffer {
public:
    bool QueryInterface(const String& name, Interface** out) override;

    // Configures vertices (kind 1) or indices (kind 2) from the description; compaction is
    // enabled only when the description gives its thresholds.
    bool Configure(const BufferDescription& description);

    // A plain allocation; when it fails the buffer grows (every client rewrites its block in
    // the new buffer) and the allocation is tried once more.
    BufferBlock* Allocate(UINT length, const void* clientValue, BufferClient* client) override;
    bool Restore() override;

    UINT MinimumSize() const { return minimumSize_; }
    UINT GrowthStep() const { return growthStep_; }
};

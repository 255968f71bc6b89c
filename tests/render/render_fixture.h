#pragma once
// A recording device published as the process-wide device, with an empty state cache.

#include "platform/d3d9/recording_device.h"
#include "render/device_globals.h"
#include "render/render_state_cache.h"

#include <gtest/gtest.h>

class RecordedDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        device = RecordingDevice::Create();
        PublishDevice(device);
        ResetStateCache();
    }
    void TearDown() override {
        PublishDevice(nullptr);
        ResetStateCache();
        device->Release();
    }
    RecordingDevice* device = nullptr;
};

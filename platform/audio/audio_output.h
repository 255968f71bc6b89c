#pragma once
// The module's one output: the SDL audio device whose callback pulls the mixer, or the silent
// device (a mixer that nothing pulls). Called from the program's control thread only.

#include "platform/audio/sample_mixer.h"

#include <cstdint>
#include <memory>

namespace audio {

class AudioOutput {
public:
    ~AudioOutput() { Close(); }

    // Opens the default output (device kDeviceDefault) or the silent device (kDeviceNoSound) at
    // frequency Hz. False when already open, for other device numbers, or when no output opens.
    bool Open(int device, int frequency);
    // Stops the callback (its thread is joined), closes the device and drops every sample.
    void Close();
    bool IsOpen() const { return mixer_ != nullptr; }
    // The mixer of the open output; null when closed.
    SampleMixer* Mixer() { return mixer_.get(); }

private:
    static void Callback(void* self, std::uint8_t* stream, int bytes);

    std::unique_ptr<SampleMixer> mixer_;
    std::uint32_t device_ = 0;  // SDL device id; 0 for the silent device
};

}  // namespace audio

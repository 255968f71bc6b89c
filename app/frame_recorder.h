#pragma once
// FrameRecorder: the headless recording and benchmark runs. Around each drawn frame it
// measures the wall time from the frame's start to the return of Present and the device's
// counters; with --record it writes the presented frame as DIR/frame_NNNNN.png and, at the
// end, DIR/contact_sheet.png with twelve frames spread over the run. With --overdraw the
// frames are heat maps of the fragments per pixel and the statistics gain their mean. It
// writes the statistics file of --stats.

#include "app/launch_options.h"
#include "platform/image/image.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class IDirect3DDevice9;

// Median, 95th percentile and maximum of a per-frame figure.
struct FrameFigure {
    double median = 0, p95 = 0, max = 0;
};
FrameFigure Summarise(std::vector<double> values);

class FrameRecorder {
public:
    FrameRecorder(const RecordOptions& options, std::string statsFile);

    // Creates the output folder. False with a message when it cannot be made.
    bool Prepare(std::string& error);
    // Called when the device exists: capture on when frames are written.
    void Attach(IDirect3DDevice9* device);

    void BeginFrame();
    // After Present. False when a frame could not be written (Error() tells why).
    bool EndFrame(int flakes);
    const std::string& Error() const { return error_; }
    // True once the requested number of frames has been drawn.
    bool Done() const;
    bool Recording() const { return options_.Enabled(); }
    int FramesDone() const { return static_cast<int>(frameMs_.size()); }

    // Writes the contact sheet (recording only) and the statistics file (when asked for).
    bool Finish(std::string& error);

private:
    bool WriteFrame();
    bool WriteContactSheet(std::string& error);
    bool WriteStats(std::string& error);
    int SheetCellHeight() const;

    RecordOptions options_;
    std::string statsFile_;
    std::string error_;
    IDirect3DDevice9* device_ = nullptr;
    std::chrono::steady_clock::time_point created_;
    std::chrono::steady_clock::time_point frameStart_;
    double frameCpuStart_ = 0;    // the thread's CPU milliseconds at the frame's start
    double processCpuStart_ = 0;  // the whole process's, rasteriser threads included
    double startupMs_ = -1;
    std::vector<double> frameMs_, cpuMs_, processCpuMs_, drawCalls_, triangles_, stateChanges_, textureBinds_, flakes_;
    std::vector<double> overdraw_;  // mean fragments per pixel, with --overdraw
    std::vector<int> sheetFrames_;  // frame numbers that go on the contact sheet
    std::vector<image::Image> sheetCells_;
};

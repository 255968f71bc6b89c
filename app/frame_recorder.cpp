#include "app/frame_recorder.h"

#include "app/overdraw_map.h"
#include "platform/d3d9/d3d9_hooks.h"
#include "platform/image/image_encoder.h"
#include "platform/image/image_resize.h"
#include "platform/win/process_info.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

constexpr int kSheetColumns = 4;
constexpr int kSheetRows = 3;
constexpr int kSheetCellWidth = 320;

double MillisecondsBetween(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

image::Image ToImage(const PresentedFrame& frame) {
    image::Image picture;
    if (!picture.Allocate(frame.width, frame.height)) return picture;
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        const std::uint8_t* p = &frame.rgba[i * 4];
        picture.pixels[i] = 0xFF000000u | (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
    }
    return picture;
}

bool EncodeRgbPng(const image::Image& picture, std::vector<std::uint8_t>& png) {
    image::PngLayout layout;
    layout.width = picture.width;
    layout.height = picture.height;
    layout.colorType = 2;  // RGB: frames are opaque
    std::vector<std::uint8_t> rows(picture.pixels.size() * 3);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        rows[i * 3 + 0] = static_cast<std::uint8_t>(picture.pixels[i] >> 16);
        rows[i * 3 + 1] = static_cast<std::uint8_t>(picture.pixels[i] >> 8);
        rows[i * 3 + 2] = static_cast<std::uint8_t>(picture.pixels[i]);
    }
    return image::EncodePngRows(layout, rows, png);
}

nlohmann::ordered_json FigureJson(const std::vector<double>& values) {
    const FrameFigure figure = Summarise(values);
    return {{"median", figure.median}, {"p95", figure.p95}, {"max", figure.max}};
}

}  // namespace

FrameFigure Summarise(std::vector<double> values) {
    FrameFigure figure;
    if (values.empty()) return figure;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    figure.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    // Nearest-rank percentile.
    const std::size_t rank = static_cast<std::size_t>(std::ceil(0.95 * static_cast<double>(n)));
    figure.p95 = values[std::max<std::size_t>(rank, 1) - 1];
    figure.max = values.back();
    return figure;
}

FrameRecorder::FrameRecorder(const RecordOptions& options, std::string statsFile)
    : options_(options), statsFile_(std::move(statsFile)), created_(std::chrono::steady_clock::now()) {
    if (options_.dir.empty()) return;
    const int cells = kSheetColumns * kSheetRows;
    for (int i = 0; i < cells; ++i) {
        const int frame = static_cast<int>((static_cast<long long>(options_.frames) * i) / cells);
        if (sheetFrames_.empty() || sheetFrames_.back() != frame) sheetFrames_.push_back(frame);
    }
}

bool FrameRecorder::Prepare(std::string& error) {
    if (options_.dir.empty()) return true;
    std::error_code code;
    std::filesystem::create_directories(options_.dir, code);
    if (code || !std::filesystem::is_directory(options_.dir)) {
        error = "cannot create the folder " + options_.dir;
        return false;
    }
    return true;
}

void FrameRecorder::Attach(IDirect3DDevice9* device) {
    device_ = device;
    if (device_ != nullptr && (!options_.dir.empty() || options_.overdraw)) SetFrameCapture(device_, true);
    if (device_ != nullptr && options_.overdraw) SetOverdrawCounting(device_, true);
    if (device_ != nullptr) ResetDeviceCounters(device_);
}

void FrameRecorder::BeginFrame() {
    frameStart_ = std::chrono::steady_clock::now();
    frameCpuStart_ = ThreadCpuMilliseconds();
    processCpuStart_ = ProcessCpuMilliseconds();
    if (startupMs_ < 0) startupMs_ = MillisecondsBetween(created_, frameStart_);
}

bool FrameRecorder::EndFrame(int flakes) {
    frameMs_.push_back(MillisecondsBetween(frameStart_, std::chrono::steady_clock::now()));
    cpuMs_.push_back(std::max(0.0, ThreadCpuMilliseconds() - frameCpuStart_));
    processCpuMs_.push_back(std::max(0.0, ProcessCpuMilliseconds() - processCpuStart_));
    const DeviceCounters counters = device_ ? GetDeviceCounters(device_) : DeviceCounters{};
    if (device_ != nullptr) ResetDeviceCounters(device_);
    drawCalls_.push_back(static_cast<double>(counters.drawCalls));
    triangles_.push_back(static_cast<double>(counters.primitives));
    stateChanges_.push_back(static_cast<double>(counters.stateChanges));
    textureBinds_.push_back(static_cast<double>(counters.textureBinds));
    flakes_.push_back(flakes);
    PresentedFrame frame;
    if (options_.overdraw && device_ != nullptr && ReadPresentedFrame(device_, frame))
        overdraw_.push_back(MeanOverdraw(frame));
    return options_.dir.empty() || WriteFrame();
}

bool FrameRecorder::Done() const { return options_.Enabled() && FramesDone() >= options_.frames; }

bool FrameRecorder::WriteFrame() {
    const int number = FramesDone() - 1;
    PresentedFrame frame;
    if (device_ == nullptr || !ReadPresentedFrame(device_, frame)) {
        error_ = "no presented frame to record";
        return false;
    }
    const image::Image picture = options_.overdraw ? OverdrawHeatMap(frame) : ToImage(frame);
    std::vector<std::uint8_t> png;
    char name[32];
    std::snprintf(name, sizeof name, "frame_%05d.png", number);
    const std::string path = options_.dir + "/" + name;
    if (picture.Empty() || !EncodeRgbPng(picture, png) || !WriteBytes(path, png)) {
        error_ = "cannot write " + path;
        return false;
    }
    if (std::find(sheetFrames_.begin(), sheetFrames_.end(), number) != sheetFrames_.end()) {
        image::Image cell;
        if (image::ResizeImage(picture, kSheetCellWidth, SheetCellHeight(), image::kFilterBox, cell))
            sheetCells_.push_back(std::move(cell));
    }
    return true;
}

int FrameRecorder::SheetCellHeight() const {
    const double aspect = static_cast<double>(options_.height) / options_.width;
    return std::max(1, static_cast<int>(kSheetCellWidth * aspect + 0.5));
}

bool FrameRecorder::WriteContactSheet(std::string& error) {
    const int cellHeight = SheetCellHeight();
    image::Image sheet;
    if (!sheet.Allocate(kSheetCellWidth * kSheetColumns, cellHeight * kSheetRows)) return false;
    std::fill(sheet.pixels.begin(), sheet.pixels.end(), 0xFF000000u);
    for (std::size_t cell = 0; cell < sheetCells_.size(); ++cell) {
        const int x0 = static_cast<int>(cell % kSheetColumns) * kSheetCellWidth;
        const int y0 = static_cast<int>(cell / kSheetColumns) * cellHeight;
        for (int y = 0; y < cellHeight; ++y)
            std::copy_n(&sheetCells_[cell].pixels[static_cast<std::size_t>(y) * kSheetCellWidth], kSheetCellWidth,
                        &sheet.pixels[static_cast<std::size_t>(y0 + y) * sheet.width + x0]);
    }
    std::vector<std::uint8_t> png;
    const std::string path = options_.dir + "/contact_sheet.png";
    if (!EncodeRgbPng(sheet, png) || !WriteBytes(path, png)) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool FrameRecorder::WriteStats(std::string& error) {
    nlohmann::ordered_json stats = {
        {"startup_ms", std::max(0.0, startupMs_)},
        {"frames", FramesDone()},
        {"peak_rss_mb", PeakResidentMegabytes()},
        {"frame_ms", FigureJson(frameMs_)},
        {"cpu_ms", FigureJson(cpuMs_)},
        {"process_cpu_ms", FigureJson(processCpuMs_)},
        {"draw_calls", FigureJson(drawCalls_)},
        {"triangles", FigureJson(triangles_)},
        {"state_changes", FigureJson(stateChanges_)},
        {"texture_binds", FigureJson(textureBinds_)},
        {"flakes", FigureJson(flakes_)},
    };
    if (options_.overdraw) stats["overdraw"] = FigureJson(overdraw_);
    const std::string text = stats.dump(2) + "\n";
    if (!WriteBytes(statsFile_, std::vector<std::uint8_t>(text.begin(), text.end()))) {
        error = "cannot write " + statsFile_;
        return false;
    }
    return true;
}

bool FrameRecorder::Finish(std::string& error) {
    if (!sheetCells_.empty() && !WriteContactSheet(error)) return false;
    return statsFile_.empty() || WriteStats(error);
}

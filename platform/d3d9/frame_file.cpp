#include "platform/d3d9/frame_file.h"

#include <cstring>
#include <set>

namespace {

constexpr char kMagic[8] = {'F', 'V', 'F', 'R', 'A', 'M', 'E', '1'};
constexpr std::uint32_t kMaxTextureSize = 4096;
constexpr std::uint32_t kMaxStride = 1024;

void PutWord(std::vector<std::uint8_t>& out, std::uint32_t word) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(std::uint8_t(word >> shift));
}

// Reads words and byte runs from the file, never past its end.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::size_t Left() const { return size_ - at_; }
    bool Word(std::uint32_t& word) {
        if (Left() < 4) return false;
        word = std::uint32_t(data_[at_]) | std::uint32_t(data_[at_ + 1]) << 8 | std::uint32_t(data_[at_ + 2]) << 16 |
               std::uint32_t(data_[at_ + 3]) << 24;
        at_ += 4;
        return true;
    }
    bool Bytes(std::uint64_t count, std::vector<std::uint8_t>& out) {
        if (count > Left()) return false;
        out.assign(data_ + at_, data_ + at_ + count);
        at_ += std::size_t(count);
        return true;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

std::uint64_t TextureBytes(std::uint32_t texel, std::uint32_t width, std::uint32_t height, std::uint32_t levels) {
    std::uint64_t total = 0;
    for (std::uint32_t level = 0; level < levels; ++level)
        total += std::uint64_t(width >> level ? width >> level : 1) * (height >> level ? height >> level : 1) * texel;
    return total;
}

std::uint32_t FullChain(std::uint32_t width, std::uint32_t height) {
    std::uint32_t levels = 1;
    while ((width | height) >> levels) ++levels;
    return levels;
}

bool ValidTransform(std::uint32_t type) { return type == 2 || type == 3 || (type >= 16 && type < 24) || (type >= 256 && type < 512); }

// Checks the fixed words of an op and reads its variable part from `payload` (the bytes after
// the fixed words). textures holds the ids defined so far.
bool CheckOp(FrameOp& op, Reader& payload, std::set<std::uint32_t>& textures, std::string& error) {
    const std::vector<std::uint32_t>& w = op.words;
    auto fail = [&error](const char* why) {
        error = why;
        return false;
    };
    switch (op.kind) {
    case FrameOpKind::RenderState:
        return w[0] < 256 || fail("render state out of range");
    case FrameOpKind::StageState:
        return (w[0] < 8 && w[1] >= 1 && w[1] <= 32) || fail("texture stage state out of range");
    case FrameOpKind::SamplerState:
        return (w[0] < 16 && w[1] >= 1 && w[1] <= 13) || fail("sampler state out of range");
    case FrameOpKind::Transform:
        return ValidTransform(w[0]) || fail("transform type out of range");
    case FrameOpKind::Light:
    case FrameOpKind::LightEnable:
        return w[0] < 256 || fail("light index out of range");
    case FrameOpKind::Texture:
        return (w[0] < 8 && (w[1] == 0 || textures.count(w[1]))) || fail("texture stage or id unknown");
    case FrameOpKind::TextureData: {
        const std::uint32_t texel = FrameTexelBytes(w[1]);
        if (w[0] == 0 || !textures.insert(w[0]).second) return fail("texture id zero or defined twice");
        if (texel == 0) return fail("texture format not carried");
        if (w[2] == 0 || w[3] == 0 || w[2] > kMaxTextureSize || w[3] > kMaxTextureSize) return fail("texture size out of range");
        if (w[4] == 0 || w[4] > FullChain(w[2], w[3])) return fail("texture level count out of range");
        return payload.Bytes(TextureBytes(texel, w[2], w[3], w[4]), op.bytes) || fail("texture data truncated");
    }
    case FrameOpKind::Clear:
        return payload.Bytes(std::uint64_t(w[4]) * 16, op.bytes) || fail("clear rectangles truncated");
    case FrameOpKind::Draw: {
        const std::uint32_t call = w[0], type = w[1], count = w[2], stride = w[3], vertices = w[4];
        const std::uint32_t indexSize = w[5], indexCount = w[6];
        const std::uint64_t read = FramePrimitiveVertices(type, count);
        if (call > 2 || read == 0) return fail("draw call or primitive type unknown");
        if (stride == 0 || stride > kMaxStride || vertices == 0) return fail("vertex stride or count out of range");
        const bool indexed = call == std::uint32_t(FrameDrawCall::IndexedPrimitive);
        if (indexed ? (indexSize != 2 && indexSize != 4) || indexCount != read : indexSize != 0 || indexCount != 0 || vertices != read)
            return fail("draw counts disagree");
        if (!payload.Bytes(std::uint64_t(vertices) * stride, op.bytes)) return fail("vertices truncated");
        if (!payload.Bytes(std::uint64_t(indexCount) * indexSize, op.indices)) return fail("indices truncated");
        for (std::size_t i = 0; i < op.indices.size(); i += indexSize) {
            std::uint32_t index = 0;
            for (std::uint32_t b = 0; b < indexSize; ++b) index |= std::uint32_t(op.indices[i + b]) << (8 * b);
            if (index >= vertices) return fail("index beyond the vertices");
        }
        return true;
    }
    default:
        return true;
    }
}

}  // namespace

std::uint32_t FrameTexelBytes(std::uint32_t format) {
    switch (format) {
    case 21:  // A8R8G8B8
    case 22:  // X8R8G8B8
    case 32:  // A8B8G8R8
        return 4;
    case 23:  // R5G6B5
    case 24:  // X1R5G5B5
    case 25:  // A1R5G5B5
    case 26:  // A4R4G4B4
    case 30:  // X4R4G4B4
    case 51:  // A8L8
        return 2;
    case 28:  // A8
    case 50:  // L8
        return 1;
    default:
        return 0;
    }
}

std::uint64_t FramePrimitiveVertices(std::uint32_t primitiveType, std::uint32_t primitiveCount) {
    if (primitiveCount == 0) return 0;
    const std::uint64_t n = primitiveCount;
    switch (primitiveType) {
    case 1: return n;          // point list
    case 2: return 2 * n;      // line list
    case 3: return n + 1;      // line strip
    case 4: return 3 * n;      // triangle list
    case 5:                    // triangle strip
    case 6: return n + 2;      // triangle fan
    default: return 0;
    }
}

std::size_t FrameFixedWords(FrameOpKind kind) {
    switch (kind) {
    case FrameOpKind::RenderState: return 2;
    case FrameOpKind::StageState: return 3;
    case FrameOpKind::SamplerState: return 3;
    case FrameOpKind::Transform: return 17;
    case FrameOpKind::Viewport: return 6;
    case FrameOpKind::Material: return 17;
    case FrameOpKind::Light: return 27;
    case FrameOpKind::LightEnable: return 2;
    case FrameOpKind::Fvf: return 1;
    case FrameOpKind::Texture: return 2;
    case FrameOpKind::TextureData: return 5;
    case FrameOpKind::Clear: return 5;
    case FrameOpKind::Draw: return 7;
    }
    return 0;
}

std::vector<std::uint8_t> EncodeFrameFile(const FrameFile& frame) {
    std::vector<std::uint8_t> out(kMagic, kMagic + sizeof kMagic);
    PutWord(out, kFrameFileVersion);
    PutWord(out, frame.width);
    PutWord(out, frame.height);
    PutWord(out, std::uint32_t(frame.ops.size()));
    for (const FrameOp& op : frame.ops) {
        PutWord(out, std::uint32_t(op.kind));
        PutWord(out, std::uint32_t(op.words.size() * 4 + op.bytes.size() + op.indices.size()));
        for (std::uint32_t word : op.words) PutWord(out, word);
        out.insert(out.end(), op.bytes.begin(), op.bytes.end());
        out.insert(out.end(), op.indices.begin(), op.indices.end());
    }
    return out;
}

namespace {

bool Decode(const std::uint8_t* data, std::size_t size, FrameFile& frame, std::string& error) {
    if (size < sizeof kMagic || std::memcmp(data, kMagic, sizeof kMagic) != 0) {
        error = "not a frame file";
        return false;
    }
    Reader file(data + sizeof kMagic, size - sizeof kMagic);
    std::uint32_t version = 0, count = 0;
    if (!file.Word(version) || !file.Word(frame.width) || !file.Word(frame.height) || !file.Word(count)) {
        error = "header truncated";
        return false;
    }
    if (version != kFrameFileVersion) {
        error = "version " + std::to_string(version) + " not read here";
        return false;
    }
    if (frame.width == 0 || frame.height == 0 || frame.width > kMaxTextureSize || frame.height > kMaxTextureSize) {
        error = "frame size out of range";
        return false;
    }
    if (count > file.Left() / 8) {
        error = "op count beyond the file";
        return false;
    }
    frame.ops.reserve(count);
    std::set<std::uint32_t> textures;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t kind = 0, length = 0;
        std::vector<std::uint8_t> payloadBytes;
        if (!file.Word(kind) || !file.Word(length) || !file.Bytes(length, payloadBytes)) {
            error = "op " + std::to_string(i) + " truncated";
            return false;
        }
        FrameOp op;
        op.kind = FrameOpKind(kind);
        const std::size_t fixed = kind >= 1 && kind <= std::uint32_t(FrameOpKind::Draw) ? FrameFixedWords(op.kind) : 0;
        Reader payload(payloadBytes.data(), payloadBytes.size());
        op.words.resize(fixed);
        bool ok = fixed > 0;
        for (std::uint32_t& word : op.words) ok = ok && payload.Word(word);
        if (!ok) {
            error = "op " + std::to_string(i) + ": unknown kind or fixed part truncated";
            return false;
        }
        std::string why;
        if (!CheckOp(op, payload, textures, why) || (why.empty() && payload.Left() != 0)) {
            error = "op " + std::to_string(i) + ": " + (why.empty() ? "payload longer than its kind" : why);
            return false;
        }
        frame.ops.push_back(std::move(op));
    }
    if (file.Left() != 0) {
        error = "bytes after the last op";
        return false;
    }
    return true;
}

}  // namespace

bool DecodeFrameFile(const std::uint8_t* data, std::size_t size, FrameFile& frame, std::string& error) {
    frame = FrameFile{};
    if (Decode(data, size, frame, error)) return true;
    frame = FrameFile{};
    return false;
}

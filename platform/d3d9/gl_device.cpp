#include "platform/d3d9/gl_device.h"

#include "platform/d3d9/gl_formats.h"
#include "platform/d3d9/gl_resources.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

const char* kPresentVertex = R"GLSL(#version 330 core
out vec2 v_uv;
void main() {
    vec2 corner = vec2(float((gl_VertexID << 1) & 2), float(gl_VertexID & 2));
    v_uv = corner;
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
)GLSL";

// The gamma ramp takes the high byte of each 16-bit entry, so the identity ramp (i * 257)
// and the ramp i * 256 both give the image unchanged.
const char* kPresentFragment = R"GLSL(#version 330 core
in vec2 v_uv;
uniform sampler2D u_image;
uniform sampler2D u_gamma;
out vec4 fragColor;
void main() {
    vec3 color = texture(u_image, v_uv).rgb;
    ivec3 index = ivec3(round(clamp(color, 0.0, 1.0) * 255.0));
    vec3 raw = vec3(texelFetch(u_gamma, ivec2(index.r, 0), 0).r, texelFetch(u_gamma, ivec2(index.g, 0), 0).g,
                    texelFetch(u_gamma, ivec2(index.b, 0), 0).b);
    fragColor = vec4(floor(round(raw * 65535.0) / 256.0) / 255.0, 1.0);
}
)GLSL";

GLuint CompileProgram(const char* vertex, const char* fragment) {
    auto compile = [](GLenum type, const char* source) {
        const GLuint shader = glCreateShader(type);
        glShaderSource(shader, 1, &source, nullptr);
        glCompileShader(shader);
        GLint ok = 0;
        glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
        if (!ok) {
            glDeleteShader(shader);
            return GLuint(0);
        }
        return shader;
    };
    const GLuint vs = compile(GL_VERTEX_SHADER, vertex), fs = compile(GL_FRAGMENT_SHADER, fragment);
    GLuint program = 0;
    if (vs && fs) {
        program = glCreateProgram();
        glAttachShader(program, vs);
        glAttachShader(program, fs);
        glLinkProgram(program);
        GLint ok = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &ok);
        if (!ok) {
            glDeleteProgram(program);
            program = 0;
        }
    }
    if (vs) glDeleteShader(vs);
    if (fs) glDeleteShader(fs);
    return program;
}

// Whether the ramp leaves every 8-bit value as it is (the lookup takes each entry's high byte).
bool IsIdentityRamp(const D3DGAMMARAMP& ramp) {
    for (int i = 0; i < 256; ++i)
        if ((ramp.red[i] >> 8) != i || (ramp.green[i] >> 8) != i || (ramp.blue[i] >> 8) != i) return false;
    return true;
}

}  // namespace

GlDevice::GlDevice(IDirect3D9* owner, std::unique_ptr<GlContext> context)
    : owner_(owner), context_(std::move(context)) {
    owner_->AddRef();
    mirror_.Invalidate();
    for (int i = 0; i < 256; ++i) gamma_.red[i] = gamma_.green[i] = gamma_.blue[i] = WORD(i * 257);
}

GlDevice* GlDevice::Create(IDirect3D9* owner, std::unique_ptr<GlContext> context,
                           const D3DPRESENT_PARAMETERS& parameters, const D3DCAPS9& baseCaps, HRESULT& result) {
    if (!context || epoxy_gl_version() < 33) {
        result = D3DERR_NOTAVAILABLE;
        return nullptr;
    }
    auto* device = new GlDevice(owner, std::move(context));
    device->clipControl_ = epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_ARB_clip_control");
    if (device->clipControl_) glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
    device->transforms_.assign(512, D3DMATRIX{});
    device->FillCaps(baseCaps);
    device->ApplyPresentParameters(parameters);
    glGenVertexArrays(1, &device->vao_);
    glGenVertexArrays(1, &device->presentVao_);
    glGenBuffers(1, &device->upBuffer_);
    glGenSamplers(kMaxStages, device->samplers_);
    if (!device->CreateTargets() || !device->CreatePresenter()) {
        device->Release();
        result = D3DERR_NOTAVAILABLE;
        return nullptr;
    }
    device->ResetStates();
    result = D3D_OK;
    return device;
}

GlDevice::~GlDevice() {
    MakeCurrent();
    programs_.Clear();
    DestroyTargets();
    if (vao_) glDeleteVertexArrays(1, &vao_);
    if (presentVao_) glDeleteVertexArrays(1, &presentVao_);
    if (upBuffer_) glDeleteBuffers(1, &upBuffer_);
    if (gammaTexture_) glDeleteTextures(1, &gammaTexture_);
    if (presentProgram_) glDeleteProgram(presentProgram_);
    glDeleteSamplers(kMaxStages, samplers_);
    context_.reset();
    owner_->Release();
}

void GlDevice::MakeCurrent() { context_->MakeCurrent(); }

void GlDevice::ApplyPresentParameters(const D3DPRESENT_PARAMETERS& parameters) {
    parameters_ = parameters;
    context_->ApplyMode(parameters_.Windowed, int(parameters_.BackBufferWidth), int(parameters_.BackBufferHeight),
                        int(parameters_.FullScreen_RefreshRateInHz),
                        parameters_.PresentationInterval != D3DPRESENT_INTERVAL_IMMEDIATE);
    if (parameters_.BackBufferWidth == 0 || parameters_.BackBufferHeight == 0) {
        int w = 0, h = 0;
        context_->DrawableSize(w, h);
        if (parameters_.BackBufferWidth == 0) parameters_.BackBufferWidth = UINT(std::max(w, 1));
        if (parameters_.BackBufferHeight == 0) parameters_.BackBufferHeight = UINT(std::max(h, 1));
    }
    if (parameters_.BackBufferFormat == D3DFMT_UNKNOWN) parameters_.BackBufferFormat = D3DFMT_X8R8G8B8;
    if (parameters_.BackBufferCount == 0) parameters_.BackBufferCount = 1;
}

bool GlDevice::CreateTargets() {
    width_ = int(parameters_.BackBufferWidth);
    height_ = int(parameters_.BackBufferHeight);
    glGenFramebuffers(1, &framebuffer_);
    mirror_.BindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glGenTextures(1, &colorTexture_);
    mirror_.BindTexture(GlStateMirror::kUnits - 1, colorTexture_);
    // A back buffer without alpha keeps none, so blending reads destination alpha as 1.
    const GLenum colorFormat = parameters_.BackBufferFormat == D3DFMT_R5G6B5     ? GL_RGB565
                               : parameters_.BackBufferFormat == D3DFMT_X8R8G8B8 ? GL_RGB8
                                                                                 : GL_RGBA8;
    glTexImage2D(GL_TEXTURE_2D, 0, GLint(colorFormat), width_, height_, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colorTexture_, 0);
    if (parameters_.EnableAutoDepthStencil) {
        glGenRenderbuffers(1, &depthBuffer_);
        glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer_);
        const bool d16 = parameters_.AutoDepthStencilFormat == D3DFMT_D16;
        glRenderbufferStorage(GL_RENDERBUFFER, d16 ? GL_DEPTH_COMPONENT16 : GL_DEPTH24_STENCIL8, width_, height_);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, d16 ? GL_DEPTH_ATTACHMENT : GL_DEPTH_STENCIL_ATTACHMENT,
                                  GL_RENDERBUFFER, depthBuffer_);
    }
    drawFramebuffer_ = framebuffer_;
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;
    return renderScale_ >= 1.0f || CreateSceneTarget();
}

bool GlDevice::CreateSceneTarget() {
    sceneWidth_ = std::max(1, int(std::lround(width_ * renderScale_)));
    sceneHeight_ = std::max(1, int(std::lround(height_ * renderScale_)));
    glGenFramebuffers(1, &sceneFramebuffer_);
    mirror_.BindFramebuffer(GL_FRAMEBUFFER, sceneFramebuffer_);
    glGenTextures(1, &sceneColor_);
    mirror_.BindTexture(GlStateMirror::kUnits - 1, sceneColor_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, sceneWidth_, sceneHeight_, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, sceneColor_, 0);
    if (depthBuffer_) {
        glGenRenderbuffers(1, &sceneDepth_);
        glBindRenderbuffer(GL_RENDERBUFFER, sceneDepth_);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, sceneWidth_, sceneHeight_);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, sceneDepth_);
    }
    drawFramebuffer_ = sceneFramebuffer_;
    dirty_ |= kDirtyViewport;
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void GlDevice::DestroySceneTarget() {
    if (sceneFramebuffer_) glDeleteFramebuffers(1, &sceneFramebuffer_);
    if (sceneColor_) {
        mirror_.Forget(sceneColor_);
        glDeleteTextures(1, &sceneColor_);
    }
    if (sceneDepth_) glDeleteRenderbuffers(1, &sceneDepth_);
    sceneFramebuffer_ = sceneColor_ = sceneDepth_ = 0;
    drawFramebuffer_ = framebuffer_;
    dirty_ |= kDirtyViewport;
}

bool GlDevice::SetRenderScale(float scale) {
    scale = std::clamp(scale, 0.25f, 1.0f);
    if (scale == renderScale_) return true;
    MakeCurrent();
    DestroySceneTarget();
    renderScale_ = scale;
    const bool ok = scale >= 1.0f || CreateSceneTarget();
    mirror_.BindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer_);
    return ok;
}

int GlDevice::ToTarget(int value) const {
    return DrawingScaled() ? int(std::lround(value * renderScale_)) : value;
}

void GlDevice::ResolveScene() {
    if (!DrawingScaled() || !Drawable()) return;
    MakeCurrent();
    mirror_.Enable(GL_SCISSOR_TEST, false);
    mirror_.BindFramebuffer(GL_READ_FRAMEBUFFER, sceneFramebuffer_);
    mirror_.BindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer_);
    glBlitFramebuffer(0, 0, sceneWidth_, sceneHeight_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    drawFramebuffer_ = framebuffer_;
    mirror_.BindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer_);
    dirty_ |= kDirtyViewport;
}

void GlDevice::DestroyTargets() {
    DestroySceneTarget();
    mirror_.BindFramebuffer(GL_FRAMEBUFFER, 0);
    if (framebuffer_) glDeleteFramebuffers(1, &framebuffer_);
    if (colorTexture_) {
        mirror_.Forget(colorTexture_);
        glDeleteTextures(1, &colorTexture_);
    }
    if (depthBuffer_) glDeleteRenderbuffers(1, &depthBuffer_);
    framebuffer_ = colorTexture_ = depthBuffer_ = 0;
}

bool GlDevice::CreatePresenter() {
    presentProgram_ = CompileProgram(kPresentVertex, kPresentFragment);
    if (!presentProgram_) return false;
    mirror_.UseProgram(presentProgram_);
    glUniform1i(glGetUniformLocation(presentProgram_, "u_image"), GlStateMirror::kUnits - 1);
    glUniform1i(glGetUniformLocation(presentProgram_, "u_gamma"), GlStateMirror::kUnits - 2);
    glGenTextures(1, &gammaTexture_);
    return true;
}

void GlDevice::FillCaps(const D3DCAPS9& baseCaps) {
    caps_ = baseCaps;
    GLint maxTexture = 2048;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    caps_.MaxTextureWidth = caps_.MaxTextureHeight = DWORD(std::min(maxTexture, 16384));
}

HRESULT GlDevice::TestCooperativeLevel() {
    if (lostPolls_ > 0) {
        --lostPolls_;
        return D3DERR_DEVICELOST;
    }
    return notReset_ ? D3DERR_DEVICENOTRESET : D3D_OK;
}

void GlDevice::LoseDevice(int lostPolls) {
    lostPolls_ = std::max(lostPolls, 0);
    notReset_ = true;
}

HRESULT GlDevice::GetDeviceCaps(D3DCAPS9* caps) {
    if (!caps) return D3DERR_INVALIDCALL;
    *caps = caps_;
    return D3D_OK;
}

HRESULT GlDevice::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface) {
    if (!surface || swapChain != 0 || index != 0) return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC desc{};
    desc.Format = parameters_.BackBufferFormat;
    desc.Type = D3DRTYPE_SURFACE;
    desc.Usage = D3DUSAGE_RENDERTARGET;
    desc.Pool = D3DPOOL_DEFAULT;
    desc.MultiSampleType = parameters_.MultiSampleType;
    desc.MultiSampleQuality = parameters_.MultiSampleQuality;
    desc.Width = parameters_.BackBufferWidth;
    desc.Height = parameters_.BackBufferHeight;
    *surface = new GlSurface(this, nullptr, 0, desc);
    return D3D_OK;
}

HRESULT GlDevice::Reset(D3DPRESENT_PARAMETERS* parameters) {
    if (!parameters) return D3DERR_INVALIDCALL;
    if (lostPolls_ > 0) return D3DERR_DEVICELOST;
    // As in Direct3D: every default-pool resource must be released before a reset.
    if (defaultPoolResources_ > 0) return D3DERR_INVALIDCALL;
    MakeCurrent();
    DestroyTargets();
    ApplyPresentParameters(*parameters);
    *parameters = parameters_;
    if (!CreateTargets()) return D3DERR_NOTAVAILABLE;
    mirror_.Invalidate();
    ResetStates();
    notReset_ = false;
    return D3D_OK;
}

void GlDevice::SetGammaRamp(UINT swapChain, DWORD flags, const D3DGAMMARAMP* ramp) {
    if (!ramp || swapChain != 0) return;
    gamma_ = *ramp;
    gammaIdentity_ = IsIdentityRamp(gamma_);
    gammaUploaded_ = false;
}

void GlDevice::GetGammaRamp(UINT swapChain, D3DGAMMARAMP* ramp) {
    if (ramp) *ramp = gamma_;
}

HRESULT GlDevice::BeginScene() {
    if (inScene_) return D3DERR_INVALIDCALL;
    inScene_ = true;
    return D3D_OK;
}

HRESULT GlDevice::EndScene() {
    if (!inScene_) return D3DERR_INVALIDCALL;
    inScene_ = false;
    return D3D_OK;
}

HRESULT GlDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) {
    if ((count != 0 && !rects) || ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !depthBuffer_))
        return D3DERR_INVALIDCALL;
    if (!Drawable()) return D3D_OK;
    MakeCurrent();
    mirror_.BindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer_);
    GLbitfield mask = 0;
    if (flags & D3DCLEAR_TARGET) {
        if (overdraw_) color = 0;  // the fragment counts start at zero
        mirror_.ColorMask(0xF);
        glClearColor(float((color >> 16) & 0xFF) / 255.0f, float((color >> 8) & 0xFF) / 255.0f,
                     float(color & 0xFF) / 255.0f, float(color >> 24) / 255.0f);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & D3DCLEAR_ZBUFFER) {
        mirror_.DepthMask(true);
        glClearDepth(std::clamp(z, 0.0f, 1.0f));
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (flags & D3DCLEAR_STENCIL) {
        glStencilMask(0xFF);
        glClearStencil(GLint(stencil & 0xFF));
        mask |= GL_STENCIL_BUFFER_BIT;
    }
    if (!mask) return D3D_OK;
    // The viewport bounds every clear; rectangles narrow it further.
    const int vx0 = int(viewport_.X), vy0 = int(viewport_.Y);
    const int vx1 = vx0 + int(viewport_.Width), vy1 = vy0 + int(viewport_.Height);
    auto clearBox = [&](int x0, int y0, int x1, int y1) {
        x0 = std::max(x0, vx0);
        y0 = std::max(y0, vy0);
        x1 = std::min(x1, vx1);
        y1 = std::min(y1, vy1);
        if (x1 <= x0 || y1 <= y0) return;
        mirror_.Enable(GL_SCISSOR_TEST, true);
        const int targetHeight = DrawingScaled() ? sceneHeight_ : height_;
        mirror_.Scissor(ToTarget(x0), targetHeight - ToTarget(y1), ToTarget(x1) - ToTarget(x0),
                        ToTarget(y1) - ToTarget(y0));
        glClear(mask);
    };
    if (count == 0) {
        clearBox(vx0, vy0, vx1, vy1);
    } else {
        for (DWORD i = 0; i < count; ++i) clearBox(rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2);
    }
    mirror_.Enable(GL_SCISSOR_TEST, false);
    dirty_ |= kDirtyBlend | kDirtyDepth;
    return D3D_OK;
}

HRESULT GlDevice::Present(const RECT* source, const RECT* dest, HWND destWindow, const void* dirtyRegion) {
    if (inLostState()) return D3DERR_DEVICELOST;
    ResolveScene();
    MakeCurrent();
    int windowWidth = 0, windowHeight = 0;
    context_->DrawableSize(windowWidth, windowHeight);
    mirror_.Enable(GL_SCISSOR_TEST, false);
    mirror_.ColorMask(0xF);
    if (gammaIdentity_ || overdraw_) {
        mirror_.BindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
        mirror_.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        const bool scaled = windowWidth != width_ || windowHeight != height_;
        glBlitFramebuffer(0, 0, width_, height_, 0, 0, windowWidth, windowHeight, GL_COLOR_BUFFER_BIT,
                          scaled ? GL_LINEAR : GL_NEAREST);
    } else {
        if (!gammaUploaded_) {
            std::vector<WORD> texels(256 * 3);
            for (int i = 0; i < 256; ++i) {
                texels[i * 3] = gamma_.red[i];
                texels[i * 3 + 1] = gamma_.green[i];
                texels[i * 3 + 2] = gamma_.blue[i];
            }
            mirror_.BindTexture(GlStateMirror::kUnits - 2, gammaTexture_);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB16, 256, 1, 0, GL_RGB, GL_UNSIGNED_SHORT, texels.data());
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
            gammaUploaded_ = true;
        }
        mirror_.BindFramebuffer(GL_FRAMEBUFFER, 0);
        mirror_.Enable(GL_BLEND, false);
        mirror_.Enable(GL_DEPTH_TEST, false);
        mirror_.Enable(GL_CULL_FACE, false);
        mirror_.PolygonMode(GL_FILL);
        mirror_.Viewport(0, 0, windowWidth, windowHeight);
        mirror_.UseProgram(presentProgram_);
        mirror_.BindTexture(GlStateMirror::kUnits - 2, gammaTexture_);
        mirror_.BindSampler(GlStateMirror::kUnits - 2, 0);
        mirror_.BindTexture(GlStateMirror::kUnits - 1, colorTexture_);
        mirror_.BindSampler(GlStateMirror::kUnits - 1, 0);
        mirror_.BindVertexArray(presentVao_);
        glDrawArrays(GL_TRIANGLES, 0, 3);
        mirror_.BindVertexArray(vao_);
        program_ = nullptr;
        dirty_ |= kDirtyAll;
    }
    dirty_ |= kDirtyAll;
    if (capture_) Capture(windowWidth, windowHeight);
    context_->SwapBuffers();
    if (sceneFramebuffer_) {
        drawFramebuffer_ = sceneFramebuffer_;  // the next frame's scene
        dirty_ |= kDirtyViewport;
    }
    mirror_.BindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer_);
    return D3D_OK;
}

void GlDevice::Capture(int width, int height) {
    mirror_.BindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    lastFrame_.width = width;
    lastFrame_.height = height;
    lastFrame_.rgba.assign(std::size_t(width) * height * 4, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    std::vector<std::uint8_t> rows(lastFrame_.rgba.size());
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
    const std::size_t stride = std::size_t(width) * 4;
    for (int y = 0; y < height; ++y)
        std::memcpy(&lastFrame_.rgba[std::size_t(y) * stride], &rows[std::size_t(height - 1 - y) * stride], stride);
    // The window has no alpha to speak of: the shown image is opaque.
    for (std::size_t i = 3; i < lastFrame_.rgba.size(); i += 4) lastFrame_.rgba[i] = 255;
    hasFrame_ = true;
}

bool GlDevice::LastFrame(PresentedFrame& frame) const {
    if (!hasFrame_) return false;
    frame = lastFrame_;
    return true;
}

bool GlDevice::ReadBack(PresentedFrame& frame) {
    MakeCurrent();
    // Errors left by earlier calls make this read-back fail: tests rely on that.
    mirror_.BindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    frame.width = width_;
    frame.height = height_;
    std::vector<std::uint8_t> rows(std::size_t(width_) * height_ * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
    frame.rgba.resize(rows.size());
    const std::size_t stride = std::size_t(width_) * 4;
    for (int y = 0; y < height_; ++y)
        std::memcpy(&frame.rgba[std::size_t(y) * stride], &rows[std::size_t(height_ - 1 - y) * stride], stride);
    mirror_.BindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    return glGetError() == GL_NO_ERROR;
}

void GlDevice::ResourceDestroyed(const void* resource, D3DPOOL pool) {
    if (pool == D3DPOOL_DEFAULT) --defaultPoolResources_;
    for (auto& texture : textures_)
        if (static_cast<const void*>(texture) == resource) texture = nullptr;
    if (static_cast<const void*>(stream_) == resource) stream_ = nullptr;
    if (static_cast<const void*>(indices_) == resource) indices_ = nullptr;
}

HRESULT GlDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                IDirect3DTexture9** texture, void* sharedHandle) {
    if (!texture) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    GlFormat gl;
    if (width == 0 || height == 0 || width > caps_.MaxTextureWidth || height > caps_.MaxTextureHeight ||
        !TextureFormatOf(format, gl) || pool == D3DPOOL_SCRATCH)
        return D3DERR_INVALIDCALL;
    MakeCurrent();
    auto* created = new GlTexture(this, width, height, levels, usage, format, pool);
    if (!created->Valid()) {
        created->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *texture = created;
    return D3D_OK;
}

HRESULT GlDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                     IDirect3DVertexBuffer9** buffer, void* sharedHandle) {
    if (!buffer) return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    if (length == 0 || length > 0x40000000u) return D3DERR_INVALIDCALL;
    MakeCurrent();
    auto* created = new GlVertexBuffer(this, length, usage, fvf, pool);
    if (!created->Valid()) {
        created->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *buffer = created;
    return D3D_OK;
}

HRESULT GlDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                    IDirect3DIndexBuffer9** buffer, void* sharedHandle) {
    if (!buffer) return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    if (length == 0 || length > 0x40000000u || (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32))
        return D3DERR_INVALIDCALL;
    MakeCurrent();
    auto* created = new GlIndexBuffer(this, length, usage, format, pool);
    if (!created->Valid()) {
        created->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *buffer = created;
    return D3D_OK;
}

// Hooks.

void SetFrameCapture(IDirect3DDevice9* device, bool on) {
    if (auto* gl = dynamic_cast<GlDevice*>(device)) gl->SetCapture(on);
}

bool ReadPresentedFrame(IDirect3DDevice9* device, PresentedFrame& frame) {
    auto* gl = dynamic_cast<GlDevice*>(device);
    return gl && gl->LastFrame(frame);
}

bool ReadBackBuffer(IDirect3DDevice9* device, PresentedFrame& frame) {
    auto* gl = dynamic_cast<GlDevice*>(device);
    return gl && gl->ReadBack(frame);
}

DeviceCounters GetDeviceCounters(IDirect3DDevice9* device) {
    auto* gl = dynamic_cast<GlDevice*>(device);
    return gl ? gl->Counters() : DeviceCounters{};
}

void ResetDeviceCounters(IDirect3DDevice9* device) {
    if (auto* gl = dynamic_cast<GlDevice*>(device)) gl->Counters() = DeviceCounters{};
}

void SetOverdrawCounting(IDirect3DDevice9* device, bool on) {
    if (auto* gl = dynamic_cast<GlDevice*>(device)) gl->SetOverdraw(on);
}

bool SetRenderScale(IDirect3DDevice9* device, float scale) {
    auto* gl = dynamic_cast<GlDevice*>(device);
    return gl && gl->SetRenderScale(scale);
}

void ResolveScaledScene(IDirect3DDevice9* device) {
    if (auto* gl = dynamic_cast<GlDevice*>(device)) gl->ResolveScene();
}

bool PrepareProgram(IDirect3DDevice9* device) {
    auto* gl = dynamic_cast<GlDevice*>(device);
    return gl && gl->WarmProgram();
}

void SimulateDeviceLost(IDirect3DDevice9* device, int lostPolls) {
    if (auto* gl = dynamic_cast<GlDevice*>(device)) gl->LoseDevice(lostPolls);
}

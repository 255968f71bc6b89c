// Drawing on the OpenGL device: the flush of dirty state groups and the draw calls.

#include "platform/d3d9/gl_device.h"
#include "platform/d3d9/gl_resources.h"
#include "platform/d3d9/vertex_layout.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

float BitsFloat(DWORD bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void ColorToFloats(D3DCOLOR color, float out[4]) {
    out[0] = float((color >> 16) & 0xFF) / 255.0f;
    out[1] = float((color >> 8) & 0xFF) / 255.0f;
    out[2] = float(color & 0xFF) / 255.0f;
    out[3] = float(color >> 24) / 255.0f;
}

void Multiply(const D3DMATRIX& a, const D3DMATRIX& b, float out[16]) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            out[i * 4 + j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
}

D3DMATRIX FromFloats(const float m[16]) {
    D3DMATRIX r;
    std::memcpy(r.m, m, sizeof r.m);
    return r;
}

GLenum BlendFactor(DWORD blend, bool source) {
    switch (blend) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case D3DBLEND_ONE: return GL_ONE;
    case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT: return GL_SRC_ALPHA_SATURATE;
    case D3DBLEND_BOTHSRCALPHA: return source ? GL_SRC_ALPHA : GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_BOTHINVSRCALPHA: return source ? GL_ONE_MINUS_SRC_ALPHA : GL_SRC_ALPHA;
    case D3DBLEND_BLENDFACTOR: return GL_CONSTANT_COLOR;
    case D3DBLEND_INVBLENDFACTOR: return GL_ONE_MINUS_CONSTANT_COLOR;
    default: return source ? GL_ONE : GL_ZERO;
    }
}

GLenum BlendEquation(DWORD op) {
    switch (op) {
    case D3DBLENDOP_SUBTRACT: return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT: return GL_FUNC_REVERSE_SUBTRACT;
    case D3DBLENDOP_MIN: return GL_MIN;
    case D3DBLENDOP_MAX: return GL_MAX;
    default: return GL_FUNC_ADD;
    }
}

GLenum CompareFunction(DWORD func) {
    return func >= D3DCMP_NEVER && func <= D3DCMP_ALWAYS ? GLenum(GL_NEVER + (func - 1)) : GL_ALWAYS;
}

GLint AddressMode(DWORD mode) {
    switch (mode) {
    case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
    case D3DTADDRESS_MIRRORONCE: return GL_MIRRORED_REPEAT;
    default: return GL_REPEAT;
    }
}

GLint MinFilter(DWORD min, DWORD mip) {
    const bool linear = min != D3DTEXF_POINT && min != D3DTEXF_NONE;
    if (mip == D3DTEXF_NONE) return linear ? GL_LINEAR : GL_NEAREST;
    if (mip == D3DTEXF_POINT) return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
}

constexpr GLenum kNoMode = 0xFFFFFFFFu;  // GL_POINTS is 0, so 0 cannot mean none

GLenum PrimitiveMode(D3DPRIMITIVETYPE type) {
    switch (type) {
    case D3DPT_POINTLIST: return GL_POINTS;
    case D3DPT_LINELIST: return GL_LINES;
    case D3DPT_LINESTRIP: return GL_LINE_STRIP;
    case D3DPT_TRIANGLELIST: return GL_TRIANGLES;
    case D3DPT_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN: return GL_TRIANGLE_FAN;
    default: return kNoMode;
    }
}

// A stage with no texture never reads one: an argument naming TEXTURE gives way to the other
// argument, or to CURRENT when the operation only selects the texture.
void WithoutTexture(std::uint8_t& op, std::uint8_t& arg1, std::uint8_t& arg2) {
    const bool t1 = (arg1 & D3DTA_SELECTMASK) == D3DTA_TEXTURE, t2 = (arg2 & D3DTA_SELECTMASK) == D3DTA_TEXTURE;
    if (!t1 && !t2) return;
    if (op == D3DTOP_SELECTARG1) {
        if (t1) arg1 = D3DTA_CURRENT;
    } else if (op == D3DTOP_SELECTARG2) {
        if (t2) arg2 = D3DTA_CURRENT;
    } else if (t1 && !t2) {
        op = D3DTOP_SELECTARG2;
    } else if (t2 && !t1) {
        op = D3DTOP_SELECTARG1;
    } else {
        op = D3DTOP_SELECTARG1;
        arg1 = D3DTA_CURRENT;
    }
}

void ClearUnreadArguments(std::uint8_t op, std::uint8_t& arg1, std::uint8_t& arg2) {
    if (op == D3DTOP_DISABLE || op == 0) arg1 = arg2 = 0;
    else if (op == D3DTOP_SELECTARG1) arg2 = 0;
    else if (op == D3DTOP_SELECTARG2) arg1 = 0;
}

}  // namespace

void GlDevice::BuildKey(FixedFunctionKey& key) const {
    const VertexLayout layout = LayoutOf(fvf_);
    key.pretransformed = layout.pretransformed;
    key.hasNormal = layout.normal >= 0;
    key.hasDiffuse = layout.diffuse >= 0;
    key.hasSpecular = layout.specular >= 0;
    key.texCoords = std::uint8_t(layout.texCount);
    key.clipZeroToOne = clipControl_;
    key.overdraw = overdraw_;
    const auto& rs = renderStates_;
    key.lighting = rs[D3DRS_LIGHTING] && !layout.pretransformed;
    if (key.lighting) {
        int slot = 0;
        for (const LightSlot& light : lights_) {
            if (!light.enabled) continue;
            if (slot == kMaxLights) break;  // further enabled lights do not light
            key.lightTypes[slot++] = std::uint8_t(light.light.Type);
        }
        key.specularEnable = rs[D3DRS_SPECULARENABLE] != 0;
        key.localViewer = rs[D3DRS_LOCALVIEWER] != 0;
        key.normalizeNormals = rs[D3DRS_NORMALIZENORMALS] != 0;
        auto source = [&](DWORD value) -> std::uint8_t {
            if (!rs[D3DRS_COLORVERTEX]) return 0;
            if (value == D3DMCS_COLOR1 && key.hasDiffuse) return 1;
            if (value == D3DMCS_COLOR2 && key.hasSpecular) return 2;
            return 0;
        };
        key.diffuseSource = source(rs[D3DRS_DIFFUSEMATERIALSOURCE]);
        key.ambientSource = source(rs[D3DRS_AMBIENTMATERIALSOURCE]);
        key.specularSource = source(rs[D3DRS_SPECULARMATERIALSOURCE]);
        key.emissiveSource = source(rs[D3DRS_EMISSIVEMATERIALSOURCE]);
    } else {
        key.specularEnable = rs[D3DRS_SPECULARENABLE] != 0;
    }
    if (rs[D3DRS_FOGENABLE]) {
        const DWORD table = rs[D3DRS_FOGTABLEMODE], vertex = rs[D3DRS_FOGVERTEXMODE];
        DWORD mode = table != D3DFOG_NONE ? table : vertex;
        // Pre-transformed vertices carry their fog factor in the specular alpha.
        if (layout.pretransformed) mode = D3DFOG_LINEAR;
        if (mode <= D3DFOG_LINEAR) key.fogMode = std::uint8_t(mode);
        key.rangeFog = rs[D3DRS_RANGEFOGENABLE] != 0 && table == D3DFOG_NONE;
    }
    if (rs[D3DRS_ALPHATESTENABLE] && rs[D3DRS_ALPHAFUNC] != D3DCMP_ALWAYS)
        key.alphaFunc = std::uint8_t(std::clamp<DWORD>(rs[D3DRS_ALPHAFUNC], D3DCMP_NEVER, D3DCMP_ALWAYS));
    for (int i = 0; i < kMaxStages; ++i) {
        const auto& ts = stageStates_[i];
        StageKey& st = key.stages[i];
        st.colorOp = std::uint8_t(std::min<DWORD>(ts[D3DTSS_COLOROP], 26));
        if (st.colorOp == D3DTOP_DISABLE || st.colorOp == 0) {
            st.colorOp = D3DTOP_DISABLE;
            break;
        }
        st.colorArg1 = std::uint8_t(ts[D3DTSS_COLORARG1] & 0x3F);
        st.colorArg2 = std::uint8_t(ts[D3DTSS_COLORARG2] & 0x3F);
        st.alphaOp = std::uint8_t(std::min<DWORD>(ts[D3DTSS_ALPHAOP], 26));
        st.alphaArg1 = std::uint8_t(ts[D3DTSS_ALPHAARG1] & 0x3F);
        st.alphaArg2 = std::uint8_t(ts[D3DTSS_ALPHAARG2] & 0x3F);
        if (!textures_[i]) {
            WithoutTexture(st.colorOp, st.colorArg1, st.colorArg2);
            if (st.alphaOp != D3DTOP_DISABLE) WithoutTexture(st.alphaOp, st.alphaArg1, st.alphaArg2);
        }
        // Arguments the operation does not read stay out of the key, so states left behind
        // by other draws do not build copies of the same program.
        ClearUnreadArguments(st.colorOp, st.colorArg1, st.colorArg2);
        ClearUnreadArguments(st.alphaOp, st.alphaArg1, st.alphaArg2);
        const DWORD index = ts[D3DTSS_TEXCOORDINDEX] & 0xFFFF;
        st.texCoordIndex = std::uint8_t(layout.texCount > 1 && index >= 1 ? 1 : 0);
    }
}

void GlDevice::UpdateDerived() {
    if (dirty_ & kDirtyTransform) {
        Multiply(transforms_[D3DTS_WORLD], transforms_[D3DTS_VIEW], worldView_);
        Multiply(FromFloats(worldView_), transforms_[D3DTS_PROJECTION], worldViewProj_);
        // Normals go through the inverse transpose of the upper 3x3 of world·view.
        const float* m = worldView_;
        const float a = m[0], b = m[1], c = m[2], d = m[4], e = m[5], f = m[6], g = m[8], h = m[9], i = m[10];
        const float det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
        const float s = det != 0.0f ? 1.0f / det : 0.0f;
        const float inv[9] = {(e * i - f * h) * s, (c * h - b * i) * s, (b * f - c * e) * s,
                              (f * g - d * i) * s, (a * i - c * g) * s, (c * d - a * f) * s,
                              (d * h - e * g) * s, (b * g - a * h) * s, (a * e - b * d) * s};
        for (int r = 0; r < 3; ++r)
            for (int col = 0; col < 3; ++col) normalMatrix_[r * 3 + col] = inv[col * 3 + r];
        ++generations_[kGroupTransform];
    }
    if (dirty_ & kDirtyLights) {
        const D3DMATRIX& view = transforms_[D3DTS_VIEW];
        int slot = 0;
        for (std::size_t index = 0; index < lights_.size() && slot < kMaxLights; ++index) {
            if (!lights_[index].enabled) continue;
            const D3DLIGHT9& light = lights_[index].light;
            const D3DVECTOR& p = light.Position;
            const D3DVECTOR& dir = light.Direction;
            float* pos = &lightPosition_[slot * 3];
            float* out = &lightDirection_[slot * 3];
            for (int k = 0; k < 3; ++k) {
                pos[k] = p.x * view.m[0][k] + p.y * view.m[1][k] + p.z * view.m[2][k] + view.m[3][k];
                out[k] = dir.x * view.m[0][k] + dir.y * view.m[1][k] + dir.z * view.m[2][k];
            }
            const float length = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]);
            if (length > 0.0f)
                for (int k = 0; k < 3; ++k) out[k] /= length;
            activeLights_[slot++] = int(index);
        }
        for (; slot < kMaxLights; ++slot) activeLights_[slot] = -1;
        ++generations_[kGroupLights];
    }
    if (dirty_ & kDirtyMaterial) ++generations_[kGroupMaterial];
    if (dirty_ & kDirtyFog) ++generations_[kGroupFog];
    if (dirty_ & kDirtyStage) ++generations_[kGroupStage];
    if (dirty_ & kDirtyViewport) ++generations_[kGroupViewport];
}

void GlDevice::UploadUniforms(FixedFunctionProgram& program) {
    const GLint* loc = program.locations;
    if (program.seen[kGroupTransform] != generations_[kGroupTransform]) {
        glUniformMatrix4fv(loc[kUWorldViewProj], 1, GL_FALSE, worldViewProj_);
        glUniformMatrix4fv(loc[kUWorldView], 1, GL_FALSE, worldView_);
        glUniformMatrix3fv(loc[kUNormalMatrix], 1, GL_FALSE, normalMatrix_);
        program.seen[kGroupTransform] = generations_[kGroupTransform];
    }
    if (program.seen[kGroupLights] != generations_[kGroupLights]) {
        float diffuse[kMaxLights * 3] = {}, specular[kMaxLights * 3] = {}, ambient[kMaxLights * 3] = {};
        float attenuation[kMaxLights * 4] = {}, spot[kMaxLights * 4] = {};
        for (int slot = 0; slot < kMaxLights; ++slot) {
            if (activeLights_[slot] < 0) break;
            const D3DLIGHT9& l = lights_[std::size_t(activeLights_[slot])].light;
            const float d[3] = {l.Diffuse.r, l.Diffuse.g, l.Diffuse.b};
            const float s[3] = {l.Specular.r, l.Specular.g, l.Specular.b};
            const float a[3] = {l.Ambient.r, l.Ambient.g, l.Ambient.b};
            std::memcpy(&diffuse[slot * 3], d, sizeof d);
            std::memcpy(&specular[slot * 3], s, sizeof s);
            std::memcpy(&ambient[slot * 3], a, sizeof a);
            const float att[4] = {l.Attenuation0, l.Attenuation1, l.Attenuation2, l.Range};
            const float cone[4] = {std::cos(l.Theta / 2.0f), std::cos(l.Phi / 2.0f), l.Falloff, 0.0f};
            std::memcpy(&attenuation[slot * 4], att, sizeof att);
            std::memcpy(&spot[slot * 4], cone, sizeof cone);
        }
        glUniform3fv(loc[kULightPosition], kMaxLights, lightPosition_);
        glUniform3fv(loc[kULightDirection], kMaxLights, lightDirection_);
        glUniform3fv(loc[kULightDiffuse], kMaxLights, diffuse);
        glUniform3fv(loc[kULightSpecular], kMaxLights, specular);
        glUniform3fv(loc[kULightAmbient], kMaxLights, ambient);
        glUniform4fv(loc[kULightAttenuation], kMaxLights, attenuation);
        glUniform4fv(loc[kULightSpot], kMaxLights, spot);
        program.seen[kGroupLights] = generations_[kGroupLights];
    }
    if (program.seen[kGroupMaterial] != generations_[kGroupMaterial]) {
        glUniform4fv(loc[kUMatDiffuse], 1, &material_.Diffuse.r);
        glUniform4fv(loc[kUMatAmbient], 1, &material_.Ambient.r);
        glUniform4fv(loc[kUMatSpecular], 1, &material_.Specular.r);
        glUniform4fv(loc[kUMatEmissive], 1, &material_.Emissive.r);
        glUniform1f(loc[kUMatPower], material_.Power);
        float ambient[4];
        ColorToFloats(renderStates_[D3DRS_AMBIENT], ambient);
        glUniform4fv(loc[kUGlobalAmbient], 1, ambient);
        program.seen[kGroupMaterial] = generations_[kGroupMaterial];
    }
    if (program.seen[kGroupFog] != generations_[kGroupFog]) {
        glUniform4f(loc[kUFog], BitsFloat(renderStates_[D3DRS_FOGSTART]), BitsFloat(renderStates_[D3DRS_FOGEND]),
                    BitsFloat(renderStates_[D3DRS_FOGDENSITY]), 0.0f);
        float color[4];
        ColorToFloats(renderStates_[D3DRS_FOGCOLOR], color);
        glUniform3fv(loc[kUFogColor], 1, color);
        program.seen[kGroupFog] = generations_[kGroupFog];
    }
    if (program.seen[kGroupStage] != generations_[kGroupStage]) {
        float factor[4];
        ColorToFloats(renderStates_[D3DRS_TEXTUREFACTOR], factor);
        glUniform4fv(loc[kUTextureFactor], 1, factor);
        glUniform1f(loc[kUAlphaRef], float(renderStates_[D3DRS_ALPHAREF] & 0xFF));
        program.seen[kGroupStage] = generations_[kGroupStage];
    }
    if (program.seen[kGroupViewport] != generations_[kGroupViewport]) {
        glUniform4f(loc[kUViewport], float(viewport_.X), float(viewport_.Y), float(viewport_.Width),
                    float(viewport_.Height));
        // Direct3D samples pixels at integer coordinates, GL at half-integers: shift by just
        // under half a pixel, so a Direct3D pixel centre is sampled 1/128 pixel to its right and
        // 1/256 below (both exact in the rasteriser's 1/256 sub-pixel grid). A centre that lies
        // exactly on an edge then falls inside for a left edge and a top edge and outside
        // otherwise (Direct3D's top-left rule) for every edge steeper than 1:2.
        glUniform2f(loc[kUPixelOffset], (63.0f / 64.0f) / float(viewport_.Width),
                    -(127.0f / 128.0f) / float(viewport_.Height));
        program.seen[kGroupViewport] = generations_[kGroupViewport];
    }
}

void GlDevice::FlushFixedState() {
    const auto& rs = renderStates_;
    if ((dirty_ & kDirtyBlend) && overdraw_) {
        // Every fragment that passes the depth and alpha tests adds one to the count.
        mirror_.Enable(GL_BLEND, true);
        mirror_.BlendFunc(GL_ONE, GL_ONE);
        mirror_.BlendEquation(GL_FUNC_ADD);
        mirror_.ColorMask(0xF);
    } else if (dirty_ & kDirtyBlend) {
        mirror_.Enable(GL_BLEND, rs[D3DRS_ALPHABLENDENABLE] != 0);
        mirror_.BlendFunc(BlendFactor(rs[D3DRS_SRCBLEND], true), BlendFactor(rs[D3DRS_DESTBLEND], false));
        mirror_.BlendEquation(BlendEquation(rs[D3DRS_BLENDOP]));
        mirror_.ColorMask(rs[D3DRS_COLORWRITEENABLE] & 0xF);
        if (rs[D3DRS_SRCBLEND] == D3DBLEND_BLENDFACTOR || rs[D3DRS_DESTBLEND] == D3DBLEND_BLENDFACTOR ||
            rs[D3DRS_SRCBLEND] == D3DBLEND_INVBLENDFACTOR || rs[D3DRS_DESTBLEND] == D3DBLEND_INVBLENDFACTOR) {
            float factor[4];
            ColorToFloats(rs[D3DRS_BLENDFACTOR], factor);
            glBlendColor(factor[0], factor[1], factor[2], factor[3]);
        }
    }
    if (dirty_ & kDirtyDepth) {
        mirror_.Enable(GL_DEPTH_TEST, rs[D3DRS_ZENABLE] != D3DZB_FALSE && depthBuffer_ != 0);
        mirror_.DepthMask(rs[D3DRS_ZWRITEENABLE] != 0);
        mirror_.DepthFunc(CompareFunction(rs[D3DRS_ZFUNC]));
    }
    if (dirty_ & kDirtyRaster) {
        // Front faces are clockwise; CULLMODE names the winding that is removed.
        mirror_.FrontFace(GL_CW);
        const DWORD cull = rs[D3DRS_CULLMODE];
        mirror_.Enable(GL_CULL_FACE, cull == D3DCULL_CW || cull == D3DCULL_CCW);
        mirror_.CullFace(cull == D3DCULL_CW ? GL_FRONT : GL_BACK);
        const DWORD fill = rs[D3DRS_FILLMODE];
        mirror_.PolygonMode(fill == D3DFILL_POINT ? GL_POINT : fill == D3DFILL_WIREFRAME ? GL_LINE : GL_FILL);
        mirror_.PointSize(std::clamp(BitsFloat(rs[D3DRS_POINTSIZE]), 1.0f, 64.0f));
    }
    if (dirty_ & kDirtySamplers) {
        for (int stage = 0; stage < kMaxStages; ++stage) {
            const auto& ss = samplerStates_[stage];
            const GLuint sampler = samplers_[stage];
            glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, AddressMode(ss[D3DSAMP_ADDRESSU]));
            glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, AddressMode(ss[D3DSAMP_ADDRESSV]));
            glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER,
                                ss[D3DSAMP_MAGFILTER] == D3DTEXF_POINT || ss[D3DSAMP_MAGFILTER] == D3DTEXF_NONE
                                    ? GL_NEAREST : GL_LINEAR);
            glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, MinFilter(ss[D3DSAMP_MINFILTER], ss[D3DSAMP_MIPFILTER]));
            float border[4];
            ColorToFloats(ss[D3DSAMP_BORDERCOLOR], border);
            glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, border);
            glSamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, BitsFloat(ss[D3DSAMP_MIPMAPLODBIAS]));
            glSamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, float(ss[D3DSAMP_MAXMIPLEVEL]));
        }
    }
    if (dirty_ & kDirtyTextures) {
        for (int stage = 0; stage < kMaxStages; ++stage) {
            mirror_.BindTexture(stage, textures_[stage] ? textures_[stage]->Name() : 0);
            mirror_.BindSampler(stage, samplers_[stage]);
        }
    }
    if (dirty_ & kDirtyViewport) {
        const int x0 = ToTarget(int(viewport_.X)), y0 = ToTarget(int(viewport_.Y));
        const int x1 = ToTarget(int(viewport_.X + viewport_.Width)), y1 = ToTarget(int(viewport_.Y + viewport_.Height));
        mirror_.Viewport(x0, (DrawingScaled() ? sceneHeight_ : height_) - y1, x1 - x0, y1 - y0);
        mirror_.DepthRange(viewport_.MinZ, viewport_.MaxZ);
    }
}

void GlDevice::FlushVertexInput(GLuint buffer, UINT offset, UINT stride) {
    const VertexLayout layout = LayoutOf(fvf_);
    mirror_.BindArrayBuffer(buffer);
    auto pointer = [&](GLuint index, int at, GLint size, GLenum type, bool normalized) {
        if (at < 0) {
            glDisableVertexAttribArray(index);
            return;
        }
        glEnableVertexAttribArray(index);
        glVertexAttribPointer(index, size, type, normalized ? GL_TRUE : GL_FALSE, GLsizei(stride),
                              reinterpret_cast<const void*>(std::uintptr_t(offset) + std::uintptr_t(at)));
    };
    pointer(0, 0, layout.pretransformed || layout.positionSize == 4 ? 4 : 3, GL_FLOAT, false);
    pointer(1, layout.normal, 3, GL_FLOAT, false);
    pointer(2, layout.diffuse, GL_BGRA, GL_UNSIGNED_BYTE, true);
    pointer(3, layout.specular, GL_BGRA, GL_UNSIGNED_BYTE, true);
    pointer(4, layout.texCount > 0 ? layout.tex[0] : -1, layout.texSize[0], GL_FLOAT, false);
    pointer(5, layout.texCount > 1 ? layout.tex[1] : -1, layout.texSize[1], GL_FLOAT, false);
    boundVertexBuffer_ = buffer;
    boundVertexOffset_ = offset;
    boundStride_ = stride;
    boundFvf_ = fvf_;
}

bool GlDevice::WarmProgram() {
    MakeCurrent();
    FixedFunctionKey key;
    BuildKey(key);
    const bool built = programs_.Get(key) != nullptr;
    counters_.programsBuilt = programs_.Built();
    return built;
}

bool GlDevice::Flush(GLuint vertexBuffer, UINT vertexOffset, UINT stride) {
    MakeCurrent();
    mirror_.BindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer_);
    mirror_.BindVertexArray(vao_);
    if ((dirty_ & kDirtyVertexInput) || vertexBuffer != boundVertexBuffer_ || vertexOffset != boundVertexOffset_ ||
        stride != boundStride_ || fvf_ != boundFvf_)
        FlushVertexInput(vertexBuffer, vertexOffset, stride);
    if ((dirty_ & kDirtyKey) || !program_) {
        FixedFunctionKey key;
        BuildKey(key);
        if (!program_ || !(key == key_)) {
            key_ = key;
            program_ = programs_.Get(key);
            counters_.programsBuilt = programs_.Built();
            ++counters_.programSwitches;
        }
    }
    if (!program_) return false;
    mirror_.UseProgram(program_->program);
    UpdateDerived();
    UploadUniforms(*program_);
    FlushFixedState();
    dirty_ = 0;
    return true;
}

namespace {
UINT VertexCount(D3DPRIMITIVETYPE type, UINT primitives) {
    switch (type) {
    case D3DPT_POINTLIST: return primitives;
    case D3DPT_LINELIST: return primitives * 2;
    case D3DPT_LINESTRIP: return primitives + 1;
    case D3DPT_TRIANGLELIST: return primitives * 3;
    case D3DPT_TRIANGLESTRIP: case D3DPT_TRIANGLEFAN: return primitives + 2;
    default: return 0;
    }
}
}  // namespace

HRESULT GlDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    const GLenum mode = PrimitiveMode(type);
    if (mode == kNoMode || primitiveCount > 0xFFFFFu) return D3DERR_INVALIDCALL;
    if (!Drawable() || primitiveCount == 0) return D3D_OK;
    if (!stream_) return D3DERR_INVALIDCALL;
    const UINT stride = streamStride_ ? streamStride_ : LayoutOf(fvf_).stride;
    const UINT vertices = VertexCount(type, primitiveCount);
    const std::uint64_t end = std::uint64_t(streamOffset_) + std::uint64_t(startVertex + vertices) * stride;
    if (stride < LayoutOf(fvf_).stride || stride == 0 || end > stream_->Length()) return D3DERR_INVALIDCALL;
    if (!Flush(stream_->Name(), streamOffset_, stride)) return D3DERR_INVALIDCALL;
    glDrawArrays(mode, GLint(startVertex), GLsizei(vertices));
    ++counters_.drawCalls;
    counters_.primitives += primitiveCount;
    return D3D_OK;
}

HRESULT GlDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex, UINT vertexCount,
                                       UINT startIndex, UINT primitiveCount) {
    const GLenum mode = PrimitiveMode(type);
    if (mode == kNoMode || primitiveCount > 0xFFFFFu) return D3DERR_INVALIDCALL;
    if (!Drawable() || primitiveCount == 0) return D3D_OK;
    if (!stream_ || !indices_) return D3DERR_INVALIDCALL;
    const UINT stride = streamStride_ ? streamStride_ : LayoutOf(fvf_).stride;
    const UINT indexSize = indices_->Format() == D3DFMT_INDEX32 ? 4 : 2;
    const UINT count = VertexCount(type, primitiveCount);
    if (stride < LayoutOf(fvf_).stride || stride == 0 ||
        (std::uint64_t(startIndex) + count) * indexSize > indices_->Length())
        return D3DERR_INVALIDCALL;
    if (!Flush(stream_->Name(), streamOffset_, stride)) return D3DERR_INVALIDCALL;
    mirror_.BindElementBuffer(indices_->Name());
    glDrawElementsBaseVertex(mode, GLsizei(count), indexSize == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                             reinterpret_cast<const void*>(std::uintptr_t(startIndex) * indexSize), baseVertex);
    ++counters_.drawCalls;
    counters_.primitives += primitiveCount;
    return D3D_OK;
}

HRESULT GlDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride) {
    const GLenum mode = PrimitiveMode(type);
    if (mode == kNoMode || !vertices || stride == 0 || stride < LayoutOf(fvf_).stride || primitiveCount > 0xFFFFFu)
        return D3DERR_INVALIDCALL;
    // As in Direct3D, stream 0 is unset afterwards.
    stream_ = nullptr;
    dirty_ |= kDirtyVertexInput;
    if (!Drawable() || primitiveCount == 0) return D3D_OK;
    const UINT count = VertexCount(type, primitiveCount);
    MakeCurrent();
    mirror_.BindArrayBuffer(upBuffer_);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(std::size_t(count) * stride), vertices, GL_STREAM_DRAW);
    if (!Flush(upBuffer_, 0, stride)) return D3DERR_INVALIDCALL;
    glDrawArrays(mode, 0, GLsizei(count));
    dirty_ |= kDirtyVertexInput;
    ++counters_.drawCalls;
    counters_.primitives += primitiveCount;
    return D3D_OK;
}

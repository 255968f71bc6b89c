#pragma once
// The mirror of the OpenGL state the device sets. All fixed GL state changes of the Direct3D
// layer pass through here (glEnable, glBlendFunc, glBindTexture, ...): each setter compares
// with the value last sent and calls GL only on a change. Invalidate() forgets everything
// (after another party touched the context).

#include <epoxy/gl.h>

#include <array>
#include <cstdint>

class GlStateMirror {
public:
    static constexpr int kUnits = 8;

    void Invalidate();

    void Enable(GLenum capability, bool on);
    void BlendFunc(GLenum source, GLenum destination);
    void BlendEquation(GLenum equation);
    void DepthFunc(GLenum function);
    void DepthMask(bool write);
    void CullFace(GLenum face);
    void FrontFace(GLenum direction);
    void ColorMask(std::uint32_t rgbaBits);
    void PolygonMode(GLenum mode);
    void PointSize(float size);
    void Viewport(int x, int y, int width, int height);
    void Scissor(int x, int y, int width, int height);
    void DepthRange(float nearZ, float farZ);
    void UseProgram(GLuint program);
    void BindVertexArray(GLuint vao);
    void BindArrayBuffer(GLuint buffer);
    void BindElementBuffer(GLuint buffer);
    void BindFramebuffer(GLenum target, GLuint framebuffer);
    // Binds on the given unit (and leaves that unit active).
    void BindTexture(int unit, GLuint texture);
    void BindSampler(int unit, GLuint sampler);
    // The texture or buffer is going away: forget it wherever it is bound.
    void Forget(GLuint texture);
    void ForgetBuffer(GLuint buffer);

private:
    static constexpr std::uint32_t kUnknown = 0xFFFFFFFFu;
    int CapabilitySlot(GLenum capability) const;
    void ActiveUnit(int unit);

    std::array<std::uint32_t, 8> enabled_{};
    std::uint32_t blendSrc_ = kUnknown, blendDst_ = kUnknown, blendEq_ = kUnknown;
    std::uint32_t depthFunc_ = kUnknown, depthMask_ = kUnknown, cullFace_ = kUnknown;
    std::uint32_t frontFace_ = kUnknown, colorMask_ = kUnknown, polygonMode_ = kUnknown;
    float pointSize_ = -1.0f;
    std::array<int, 4> viewport_{}, scissor_{};
    bool viewportKnown_ = false, scissorKnown_ = false;
    float depthNear_ = -1.0f, depthFar_ = -1.0f;
    std::uint32_t program_ = kUnknown, vao_ = kUnknown, arrayBuffer_ = kUnknown, elementBuffer_ = kUnknown;
    std::uint32_t drawFramebuffer_ = kUnknown, readFramebuffer_ = kUnknown;
    int activeUnit_ = -1;
    std::array<std::uint32_t, kUnits> textures_{}, samplers_{};
};

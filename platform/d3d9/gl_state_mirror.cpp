#include "platform/d3d9/gl_state_mirror.h"

void GlStateMirror::Invalidate() {
    *this = GlStateMirror();
    enabled_.fill(kUnknown);
    textures_.fill(kUnknown);
    samplers_.fill(kUnknown);
}

int GlStateMirror::CapabilitySlot(GLenum capability) const {
    switch (capability) {
    case GL_BLEND: return 0;
    case GL_DEPTH_TEST: return 1;
    case GL_CULL_FACE: return 2;
    case GL_SCISSOR_TEST: return 3;
    case GL_STENCIL_TEST: return 4;
    case GL_FRAMEBUFFER_SRGB: return 5;
    default: return -1;
    }
}

void GlStateMirror::Enable(GLenum capability, bool on) {
    const int slot = CapabilitySlot(capability);
    if (slot >= 0 && enabled_[slot] == std::uint32_t(on)) return;
    if (slot >= 0) enabled_[slot] = on;
    if (on)
        glEnable(capability);
    else
        glDisable(capability);
}

void GlStateMirror::BlendFunc(GLenum source, GLenum destination) {
    if (blendSrc_ == source && blendDst_ == destination) return;
    blendSrc_ = source;
    blendDst_ = destination;
    glBlendFunc(source, destination);
}

void GlStateMirror::BlendEquation(GLenum equation) {
    if (blendEq_ == equation) return;
    blendEq_ = equation;
    glBlendEquation(equation);
}

void GlStateMirror::DepthFunc(GLenum function) {
    if (depthFunc_ == function) return;
    depthFunc_ = function;
    glDepthFunc(function);
}

void GlStateMirror::DepthMask(bool write) {
    if (depthMask_ == std::uint32_t(write)) return;
    depthMask_ = write;
    glDepthMask(write ? GL_TRUE : GL_FALSE);
}

void GlStateMirror::CullFace(GLenum face) {
    if (cullFace_ == face) return;
    cullFace_ = face;
    glCullFace(face);
}

void GlStateMirror::FrontFace(GLenum direction) {
    if (frontFace_ == direction) return;
    frontFace_ = direction;
    glFrontFace(direction);
}

void GlStateMirror::ColorMask(std::uint32_t rgbaBits) {
    if (colorMask_ == rgbaBits) return;
    colorMask_ = rgbaBits;
    glColorMask((rgbaBits & 1) != 0, (rgbaBits & 2) != 0, (rgbaBits & 4) != 0, (rgbaBits & 8) != 0);
}

void GlStateMirror::PolygonMode(GLenum mode) {
    if (polygonMode_ == mode) return;
    polygonMode_ = mode;
    glPolygonMode(GL_FRONT_AND_BACK, mode);
}

void GlStateMirror::PointSize(float size) {
    if (pointSize_ == size) return;
    pointSize_ = size;
    glPointSize(size);
}

void GlStateMirror::Viewport(int x, int y, int width, int height) {
    const std::array<int, 4> v{x, y, width, height};
    if (viewportKnown_ && viewport_ == v) return;
    viewportKnown_ = true;
    viewport_ = v;
    glViewport(x, y, width, height);
}

void GlStateMirror::Scissor(int x, int y, int width, int height) {
    const std::array<int, 4> v{x, y, width, height};
    if (scissorKnown_ && scissor_ == v) return;
    scissorKnown_ = true;
    scissor_ = v;
    glScissor(x, y, width, height);
}

void GlStateMirror::DepthRange(float nearZ, float farZ) {
    if (depthNear_ == nearZ && depthFar_ == farZ) return;
    depthNear_ = nearZ;
    depthFar_ = farZ;
    glDepthRange(nearZ, farZ);
}

void GlStateMirror::UseProgram(GLuint program) {
    if (program_ == program) return;
    program_ = program;
    glUseProgram(program);
}

void GlStateMirror::BindVertexArray(GLuint vao) {
    if (vao_ == vao) return;
    vao_ = vao;
    elementBuffer_ = kUnknown;  // the element binding belongs to the vertex array
    glBindVertexArray(vao);
}

void GlStateMirror::BindArrayBuffer(GLuint buffer) {
    if (arrayBuffer_ == buffer) return;
    arrayBuffer_ = buffer;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
}

void GlStateMirror::BindElementBuffer(GLuint buffer) {
    if (elementBuffer_ == buffer) return;
    elementBuffer_ = buffer;
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
}

void GlStateMirror::BindFramebuffer(GLenum target, GLuint framebuffer) {
    const bool draw = target == GL_FRAMEBUFFER || target == GL_DRAW_FRAMEBUFFER;
    const bool read = target == GL_FRAMEBUFFER || target == GL_READ_FRAMEBUFFER;
    if ((!draw || drawFramebuffer_ == framebuffer) && (!read || readFramebuffer_ == framebuffer)) return;
    if (draw) drawFramebuffer_ = framebuffer;
    if (read) readFramebuffer_ = framebuffer;
    glBindFramebuffer(target, framebuffer);
}

void GlStateMirror::ActiveUnit(int unit) {
    if (activeUnit_ == unit) return;
    activeUnit_ = unit;
    glActiveTexture(GL_TEXTURE0 + unit);
}

void GlStateMirror::BindTexture(int unit, GLuint texture) {
    ActiveUnit(unit);
    if (textures_[unit] == texture) return;
    textures_[unit] = texture;
    glBindTexture(GL_TEXTURE_2D, texture);
}

void GlStateMirror::BindSampler(int unit, GLuint sampler) {
    if (samplers_[unit] == sampler) return;
    samplers_[unit] = sampler;
    glBindSampler(unit, sampler);
}

void GlStateMirror::Forget(GLuint texture) {
    for (auto& bound : textures_)
        if (bound == texture) bound = kUnknown;
}

void GlStateMirror::ForgetBuffer(GLuint buffer) {
    if (arrayBuffer_ == buffer) arrayBuffer_ = kUnknown;
    if (elementBuffer_ == buffer) elementBuffer_ = kUnknown;
}

#pragma once
// Fixed-function programs: one GLSL template specialised by #defines built from a packed
// state key. The key is zeroed before it is filled, so keys compare with memcmp and hash by
// bytes. Every number (matrices, lights, fog, factors) is a uniform, so a key stands for one
// program whatever the values.

#include <epoxy/gl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

constexpr int kMaxLights = 8;
constexpr int kMaxStages = 2;

struct StageKey {
    std::uint8_t colorOp, colorArg1, colorArg2;  // D3DTOP / D3DTA values (args keep modifiers)
    std::uint8_t alphaOp, alphaArg1, alphaArg2;
    std::uint8_t texCoordIndex;  // which vertex coordinate set the stage samples with
};

struct FixedFunctionKey {
    FixedFunctionKey();
    bool operator==(const FixedFunctionKey& other) const;

    std::uint8_t pretransformed;   // XYZRHW vertices
    std::uint8_t hasNormal, hasDiffuse, hasSpecular, texCoords;
    std::uint8_t lighting;
    std::uint8_t lightTypes[kMaxLights];  // D3DLIGHTTYPE of each active light slot, 0 = none
    std::uint8_t specularEnable, localViewer, normalizeNormals;
    std::uint8_t diffuseSource, ambientSource, specularSource, emissiveSource;  // 0 material, 1 diffuse, 2 specular
    std::uint8_t fogMode;          // D3DFOGMODE, 0 = no fog
    std::uint8_t rangeFog;
    std::uint8_t alphaFunc;        // D3DCMPFUNC, 0 = no alpha test
    std::uint8_t clipZeroToOne;    // the context maps clip z 0..w itself
    std::uint8_t overdraw;         // count fragments instead of shading them
    StageKey stages[kMaxStages];   // colorOp 0 or DISABLE ends the chain
};

struct FixedFunctionKeyHash {
    std::size_t operator()(const FixedFunctionKey& key) const;
};

// Uniforms in upload groups; a program remembers the generation of each group it last saw.
enum UniformGroup { kGroupTransform, kGroupLights, kGroupMaterial, kGroupFog, kGroupStage, kGroupViewport, kGroupCount };

enum UniformSlot {
    kUWorldViewProj, kUWorldView, kUNormalMatrix, kUViewport, kUPixelOffset,
    kULightPosition, kULightDirection, kULightDiffuse, kULightSpecular, kULightAmbient,
    kULightAttenuation, kULightSpot,
    kUMatDiffuse, kUMatAmbient, kUMatSpecular, kUMatEmissive, kUMatPower, kUGlobalAmbient,
    kUFog, kUFogColor, kUTextureFactor, kUAlphaRef, kUniformCount
};

struct FixedFunctionProgram {
    GLuint program = 0;
    GLint locations[kUniformCount] = {};
    std::uint64_t seen[kGroupCount] = {};
};

// The GLSL sources for a key (exposed for tests and diagnostics).
std::string VertexSourceFor(const FixedFunctionKey& key);
std::string FragmentSourceFor(const FixedFunctionKey& key);

class ProgramCache {
public:
    ~ProgramCache();
    // The program for the key, built on first use; null if it does not compile.
    FixedFunctionProgram* Get(const FixedFunctionKey& key);
    void Clear();
    std::uint64_t Built() const { return built_; }

private:
    std::unordered_map<FixedFunctionKey, std::unique_ptr<FixedFunctionProgram>, FixedFunctionKeyHash> programs_;
    std::uint64_t built_ = 0;
};

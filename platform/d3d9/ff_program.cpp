#include "platform/d3d9/ff_program.h"

#include "platform/d3d9/d3d9_types.h"

#include <cstdio>
#include <cstring>
#include <vector>

FixedFunctionKey::FixedFunctionKey() { std::memset(static_cast<void*>(this), 0, sizeof(*this)); }

bool FixedFunctionKey::operator==(const FixedFunctionKey& other) const {
    return std::memcmp(this, &other, sizeof(*this)) == 0;
}

std::size_t FixedFunctionKeyHash::operator()(const FixedFunctionKey& key) const {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&key);
    std::uint64_t hash = 1469598103934665603ull;
    for (std::size_t i = 0; i < sizeof(key); ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
    return std::size_t(hash);
}

namespace {

const char* kVertexTemplate = R"GLSL(
layout(location = 0) in vec4 a_position;
layout(location = 1) in vec3 a_normal;
layout(location = 2) in vec4 a_diffuse;
layout(location = 3) in vec4 a_specular;
layout(location = 4) in vec4 a_tex0;
layout(location = 5) in vec4 a_tex1;

uniform mat4 u_worldViewProj;
uniform mat4 u_worldView;
uniform mat3 u_normalMatrix;
uniform vec4 u_viewport;      // x, y, width, height in pixels
uniform vec2 u_pixelOffset;   // clip-space shift per unit of w
uniform vec3 u_lightPosition[8];
uniform vec3 u_lightDirection[8];
uniform vec3 u_lightDiffuse[8];
uniform vec3 u_lightSpecular[8];
uniform vec3 u_lightAmbient[8];
uniform vec4 u_lightAttenuation[8];  // a0, a1, a2, range
uniform vec4 u_lightSpot[8];         // cos(theta/2), cos(phi/2), falloff
uniform vec4 u_matDiffuse;
uniform vec4 u_matAmbient;
uniform vec4 u_matSpecular;
uniform vec4 u_matEmissive;
uniform float u_matPower;
uniform vec4 u_globalAmbient;
uniform vec4 u_fog;                  // start, end, density

out vec4 v_diffuse;
out vec4 v_specular;
out vec4 v_tex0;
out vec4 v_tex1;
out float v_fog;

#if LIGHTING
void addLight(int i, int type, vec3 V, vec3 N, inout vec3 ambient, inout vec3 diffuse, inout vec3 specular) {
    vec3 L;
    float atten = 1.0;
    if (type == 3) {
        L = -u_lightDirection[i];
    } else {
        vec3 delta = u_lightPosition[i] - V;
        float d = length(delta);
        if (d > u_lightAttenuation[i].w) return;
        L = d > 0.0 ? delta / d : vec3(0.0);
        float den = u_lightAttenuation[i].x + u_lightAttenuation[i].y * d + u_lightAttenuation[i].z * d * d;
        atten = den > 0.0 ? 1.0 / den : 1.0;
        if (type == 2) {
            float rho = dot(-L, u_lightDirection[i]);
            float cosTheta = u_lightSpot[i].x, cosPhi = u_lightSpot[i].y;
            float factor;
            if (rho > cosTheta) factor = 1.0;
            else if (rho <= cosPhi) factor = 0.0;
            else {
                float base = (rho - cosPhi) / (cosTheta - cosPhi);
                factor = u_lightSpot[i].z == 0.0 ? 1.0 : pow(base, u_lightSpot[i].z);
            }
            atten *= factor;
        }
    }
#if HAS_NORMAL
    float NdotL = clamp(dot(N, L), 0.0, 1.0);
#else
    float NdotL = 0.0;
#endif
    ambient += u_lightAmbient[i] * atten;
    diffuse += u_lightDiffuse[i] * NdotL * atten;
#if SPECULAR_ENABLE && HAS_NORMAL
    if (NdotL > 0.0) {
#if LOCAL_VIEWER
        vec3 H = normalize(L - normalize(V));
#else
        vec3 H = normalize(L + vec3(0.0, 0.0, -1.0));
#endif
        float NdotH = dot(N, H);
        if (NdotH > 0.0) specular += u_lightSpecular[i] * pow(NdotH, u_matPower) * atten;
    }
#endif
}
#endif

vec4 materialColor(int source, vec4 material) {
#if HAS_DIFFUSE
    if (source == 1) return a_diffuse;
#endif
#if HAS_SPECULAR
    if (source == 2) return a_specular;
#endif
    return material;
}

void main() {
#if PRETRANSFORMED
    float w = a_position.w == 0.0 ? 1.0 : 1.0 / a_position.w;
    vec3 ndc = vec3(2.0 * (a_position.x - u_viewport.x) / u_viewport.z - 1.0,
                    1.0 - 2.0 * (a_position.y - u_viewport.y) / u_viewport.w, a_position.z);
    gl_Position = vec4(ndc * w, w);
    vec3 V = vec3(0.0);
#else
    gl_Position = u_worldViewProj * vec4(a_position.xyz, 1.0);
    vec3 V = (u_worldView * vec4(a_position.xyz, 1.0)).xyz;
#endif
#if !CLIP_ZERO_TO_ONE
    gl_Position.z = 2.0 * gl_Position.z - gl_Position.w;
#endif
    gl_Position.xy += u_pixelOffset * gl_Position.w;

#if LIGHTING
#if HAS_NORMAL
    vec3 N = u_normalMatrix * a_normal;
#if NORMALIZE_NORMALS
    N = normalize(N);
#endif
#else
    vec3 N = vec3(0.0);
#endif
    vec3 ambient = vec3(0.0), diffuse = vec3(0.0), specular = vec3(0.0);
#if LIGHT_TYPE_0
    addLight(0, LIGHT_TYPE_0, V, N, ambient, diffuse, specular);
#endif
#if LIGHT_TYPE_1
    addLight(1, LIGHT_TYPE_1, V, N, ambient, diffuse, specular);
#endif
#if LIGHT_TYPE_2
    addLight(2, LIGHT_TYPE_2, V, N, ambient, diffuse, specular);
#endif
#if LIGHT_TYPE_3
    addLight(3, LIGHT_TYPE_3, V, N, ambient, diffuse, specular);
#endif
#if LIGHT_TYPE_4
    addLight(4, LIGHT_TYPE_4, V, N, ambient, diffuse, specular);
#endif
#if LIGHT_TYPE_5
    addLight(5, LIGHT_TYPE_5, V, N, ambient, diffuse, specular);
#endif
#if LIGHT_TYPE_6
    addLight(6, LIGHT_TYPE_6, V, N, ambient, diffuse, specular);
#endif
#if LIGHT_TYPE_7
    addLight(7, LIGHT_TYPE_7, V, N, ambient, diffuse, specular);
#endif
    vec4 Cd = materialColor(DIFFUSE_SOURCE, u_matDiffuse);
    vec4 Ca = materialColor(AMBIENT_SOURCE, u_matAmbient);
    vec4 Cs = materialColor(SPECULAR_SOURCE, u_matSpecular);
    vec4 Ce = materialColor(EMISSIVE_SOURCE, u_matEmissive);
    v_diffuse = vec4(clamp(Ce.rgb + Ca.rgb * u_globalAmbient.rgb + Ca.rgb * ambient + Cd.rgb * diffuse, 0.0, 1.0), Cd.a);
    v_specular = vec4(clamp(Cs.rgb * specular, 0.0, 1.0), 0.0);
#else
#if HAS_DIFFUSE
    v_diffuse = a_diffuse;
#else
    v_diffuse = vec4(1.0);
#endif
#if HAS_SPECULAR
    v_specular = a_specular;
#else
    v_specular = vec4(0.0);
#endif
#endif

#if FOG_MODE == 0
    v_fog = 1.0;
#elif PRETRANSFORMED
#if HAS_SPECULAR
    v_fog = a_specular.a;
#else
    v_fog = 1.0;
#endif
#else
#if RANGE_FOG
    float fogDistance = length(V);
#else
    float fogDistance = abs(V.z);
#endif
#if FOG_MODE == 3
    float fogSpan = u_fog.y - u_fog.x;
    v_fog = fogSpan != 0.0 ? clamp((u_fog.y - fogDistance) / fogSpan, 0.0, 1.0) : (fogDistance < u_fog.y ? 1.0 : 0.0);
#elif FOG_MODE == 1
    v_fog = clamp(exp(-fogDistance * u_fog.z), 0.0, 1.0);
#else
    v_fog = clamp(exp(-(fogDistance * u_fog.z) * (fogDistance * u_fog.z)), 0.0, 1.0);
#endif
#endif
    v_tex0 = a_tex0;
    v_tex1 = a_tex1;
}
)GLSL";

const char* kFragmentTemplate = R"GLSL(
in vec4 v_diffuse;
in vec4 v_specular;
in vec4 v_tex0;
in vec4 v_tex1;
in float v_fog;

uniform sampler2D u_texture0;
uniform sampler2D u_texture1;
uniform vec4 u_textureFactor;
uniform float u_alphaRef;
uniform vec3 u_fogColor;

out vec4 fragColor;

vec4 stageOp(int op, vec4 a1, vec4 a2, vec4 current, vec4 texel) {
    if (op == 2) return a1;
    if (op == 3) return a2;
    if (op == 4) return a1 * a2;
    if (op == 5) return a1 * a2 * 2.0;
    if (op == 6) return a1 * a2 * 4.0;
    if (op == 7) return a1 + a2;
    if (op == 8) return a1 + a2 - 0.5;
    if (op == 9) return (a1 + a2 - 0.5) * 2.0;
    if (op == 10) return a1 - a2;
    if (op == 11) return a1 + a2 - a1 * a2;
    if (op == 12) return mix(a2, a1, v_diffuse.a);
    if (op == 13) return mix(a2, a1, texel.a);
    if (op == 14) return mix(a2, a1, u_textureFactor.a);
    if (op == 16) return mix(a2, a1, current.a);
    return a1;
}

void main() {
    vec4 current = v_diffuse;
    vec4 texel = vec4(1.0);
    vec4 result;
#if STAGE0_ACTIVE
#if STAGE0_SAMPLE
    texel = texture(u_texture0, STAGE0_TEXCOORD.xy);
#else
    texel = vec4(1.0);
#endif
    result.rgb = clamp(stageOp(STAGE0_COLOROP, STAGE0_COLORARG1, STAGE0_COLORARG2, current, texel).rgb, 0.0, 1.0);
#if STAGE0_ALPHAOP
    result.a = clamp(stageOp(STAGE0_ALPHAOP, STAGE0_ALPHAARG1, STAGE0_ALPHAARG2, current, texel).a, 0.0, 1.0);
#else
    result.a = current.a;
#endif
    current = result;
#if STAGE1_ACTIVE
#if STAGE1_SAMPLE
    texel = texture(u_texture1, STAGE1_TEXCOORD.xy);
#else
    texel = vec4(1.0);
#endif
    result.rgb = clamp(stageOp(STAGE1_COLOROP, STAGE1_COLORARG1, STAGE1_COLORARG2, current, texel).rgb, 0.0, 1.0);
#if STAGE1_ALPHAOP
    result.a = clamp(stageOp(STAGE1_ALPHAOP, STAGE1_ALPHAARG1, STAGE1_ALPHAARG2, current, texel).a, 0.0, 1.0);
#else
    result.a = current.a;
#endif
    current = result;
#endif
#endif
    vec4 color = current;
#if SPECULAR_ADD
    color.rgb = clamp(color.rgb + v_specular.rgb, 0.0, 1.0);
#endif
#if FOG_MODE != 0
    color.rgb = mix(u_fogColor, color.rgb, v_fog);
#endif
#if ALPHA_FUNC
    float alpha = roundEven(clamp(color.a, 0.0, 1.0) * 255.0);
    if (!(ALPHA_COMPARE(alpha, u_alphaRef))) discard;
#endif
#if OVERDRAW
    fragColor = vec4(1.0 / 255.0);
#else
    fragColor = color;
#endif
}
)GLSL";

std::string Define(const char* name, int value) {
    char line[96];
    std::snprintf(line, sizeof line, "#define %s %d\n", name, value);
    return line;
}

std::string Header(const FixedFunctionKey& key) {
    std::string s = "#version 330 core\n";
    s += Define("PRETRANSFORMED", key.pretransformed);
    s += Define("HAS_NORMAL", key.hasNormal);
    s += Define("HAS_DIFFUSE", key.hasDiffuse);
    s += Define("HAS_SPECULAR", key.hasSpecular);
    s += Define("LIGHTING", key.lighting);
    for (int i = 0; i < kMaxLights; ++i) {
        const std::string name = "LIGHT_TYPE_" + std::to_string(i);
        s += Define(name.c_str(), key.lightTypes[i]);
    }
    s += Define("SPECULAR_ENABLE", key.specularEnable);
    s += Define("LOCAL_VIEWER", key.localViewer);
    s += Define("NORMALIZE_NORMALS", key.normalizeNormals);
    s += Define("DIFFUSE_SOURCE", key.diffuseSource);
    s += Define("AMBIENT_SOURCE", key.ambientSource);
    s += Define("SPECULAR_SOURCE", key.specularSource);
    s += Define("EMISSIVE_SOURCE", key.emissiveSource);
    s += Define("FOG_MODE", key.fogMode);
    s += Define("RANGE_FOG", key.rangeFog);
    s += Define("ALPHA_FUNC", key.alphaFunc);
    s += Define("CLIP_ZERO_TO_ONE", key.clipZeroToOne);
    s += Define("SPECULAR_ADD", key.specularEnable);
    s += Define("OVERDRAW", key.overdraw);
    return s;
}

// The GLSL expression of a stage argument (D3DTA value with modifiers).
std::string Argument(int arg) {
    std::string base;
    switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE: base = "v_diffuse"; break;
    case D3DTA_CURRENT: base = "current"; break;
    case D3DTA_TEXTURE: base = "texel"; break;
    case D3DTA_TFACTOR: base = "u_textureFactor"; break;
    case D3DTA_SPECULAR: base = "v_specular"; break;
    default: base = "current"; break;
    }
    if (arg & D3DTA_ALPHAREPLICATE) base = "vec4(" + base + ".a)";
    if (arg & D3DTA_COMPLEMENT) base = "(vec4(1.0) - " + base + ")";
    return base;
}

// The stage defines: STAGEn_ACTIVE ends the chain at the first disabled stage; arguments
// are GLSL expressions.
std::string StageDefines(const FixedFunctionKey& key) {
    std::string s;
    bool active = true;
    for (int i = 0; i < kMaxStages; ++i) {
        const StageKey& st = key.stages[i];
        active = active && st.colorOp != 0 && st.colorOp != D3DTOP_DISABLE;
        const std::string n = "STAGE" + std::to_string(i) + "_";
        s += Define((n + "ACTIVE").c_str(), active);
        if (!active) continue;
        auto usesTexture = [](int arg) { return (arg & D3DTA_SELECTMASK) == D3DTA_TEXTURE; };
        const bool alphaActive = st.alphaOp != 0 && st.alphaOp != D3DTOP_DISABLE;
        // Sample only when the stage reads the texture: an unused fetch still costs per pixel.
        const bool sample = usesTexture(st.colorArg1) || usesTexture(st.colorArg2) ||
                            st.colorOp == D3DTOP_BLENDTEXTUREALPHA ||
                            (alphaActive && (usesTexture(st.alphaArg1) || usesTexture(st.alphaArg2) ||
                                             st.alphaOp == D3DTOP_BLENDTEXTUREALPHA));
        s += Define((n + "SAMPLE").c_str(), sample);
        s += "#define " + n + "TEXCOORD " + (st.texCoordIndex == 0 ? "v_tex0" : "v_tex1") + "\n";
        s += Define((n + "COLOROP").c_str(), st.colorOp);
        s += "#define " + n + "COLORARG1 " + Argument(st.colorArg1) + "\n";
        s += "#define " + n + "COLORARG2 " + Argument(st.colorArg2) + "\n";
        s += Define((n + "ALPHAOP").c_str(), alphaActive ? st.alphaOp : 0);
        s += "#define " + n + "ALPHAARG1 " + Argument(st.alphaArg1) + "\n";
        s += "#define " + n + "ALPHAARG2 " + Argument(st.alphaArg2) + "\n";
    }
    return s;
}

std::string AlphaCompare(int func) {
    static const char* ops[] = {"false", "(a) < (b)", "(a) == (b)", "(a) <= (b)", "(a) > (b)",
                                "(a) != (b)", "(a) >= (b)", "true"};
    const int index = func >= 1 && func <= 8 ? func - 1 : 7;
    return std::string("#define ALPHA_COMPARE(a, b) (") + ops[index] + ")\n";
}

GLuint Compile(GLenum type, const std::string& source) {
    const GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[2048] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "Error: fixed-function shader did not compile: %s\n", log);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

const char* kUniformNames[kUniformCount] = {
    "u_worldViewProj", "u_worldView", "u_normalMatrix", "u_viewport", "u_pixelOffset",
    "u_lightPosition", "u_lightDirection", "u_lightDiffuse", "u_lightSpecular", "u_lightAmbient",
    "u_lightAttenuation", "u_lightSpot",
    "u_matDiffuse", "u_matAmbient", "u_matSpecular", "u_matEmissive", "u_matPower", "u_globalAmbient",
    "u_fog", "u_fogColor", "u_textureFactor", "u_alphaRef"};

}  // namespace

std::string VertexSourceFor(const FixedFunctionKey& key) { return Header(key) + kVertexTemplate; }

std::string FragmentSourceFor(const FixedFunctionKey& key) {
    return Header(key) + AlphaCompare(key.alphaFunc) + StageDefines(key) + kFragmentTemplate;
}

ProgramCache::~ProgramCache() { Clear(); }

void ProgramCache::Clear() {
    for (auto& entry : programs_)
        if (entry.second->program) glDeleteProgram(entry.second->program);
    programs_.clear();
}

FixedFunctionProgram* ProgramCache::Get(const FixedFunctionKey& key) {
    auto found = programs_.find(key);
    if (found != programs_.end()) return found->second->program ? found->second.get() : nullptr;
    auto entry = std::make_unique<FixedFunctionProgram>();
    const GLuint vs = Compile(GL_VERTEX_SHADER, VertexSourceFor(key));
    const GLuint fs = Compile(GL_FRAGMENT_SHADER, FragmentSourceFor(key));
    if (vs && fs) {
        const GLuint program = glCreateProgram();
        glAttachShader(program, vs);
        glAttachShader(program, fs);
        glLinkProgram(program);
        GLint ok = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &ok);
        if (ok) {
            entry->program = program;
            for (int i = 0; i < kUniformCount; ++i) entry->locations[i] = glGetUniformLocation(program, kUniformNames[i]);
            // Samplers read fixed units; setting them needs the program bound, so the
            // caller's program binding is restored through the device's mirror afterwards.
            GLint previous = 0;
            glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
            glUseProgram(program);
            glUniform1i(glGetUniformLocation(program, "u_texture0"), 0);
            glUniform1i(glGetUniformLocation(program, "u_texture1"), 1);
            glUseProgram(GLuint(previous));
            ++built_;
        } else {
            char log[2048] = {};
            glGetProgramInfoLog(program, sizeof log, nullptr, log);
            std::fprintf(stderr, "Error: fixed-function program did not link: %s\n", log);
            glDeleteProgram(program);
        }
    }
    if (vs) glDeleteShader(vs);
    if (fs) glDeleteShader(fs);
    FixedFunctionProgram* result = entry->program ? entry.get() : nullptr;
    programs_.emplace(key, std::move(entry));
    return result;
}

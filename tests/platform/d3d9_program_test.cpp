// The fixed-function key and the template it specialises (no GL needed).

#include "platform/d3d9/d3d9_types.h"
#include "platform/d3d9/ff_program.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

TEST(D3D9ProgramTest, KeysSpecialiseTheTemplateByDefines) {
    struct Case {
        const char* what;
        std::function<void(FixedFunctionKey&)> set;
        const char* vertexLine;    // expected in the vertex source ("" to skip)
        const char* fragmentLine;  // expected in the fragment source ("" to skip)
    };
    const Case cases[] = {
        {"empty key", [](FixedFunctionKey&) {}, "#define LIGHTING 0\n", "#define STAGE0_ACTIVE 0\n"},
        {"pre-transformed", [](FixedFunctionKey& k) { k.pretransformed = 1; }, "#define PRETRANSFORMED 1\n", ""},
        {"third light a spot", [](FixedFunctionKey& k) { k.lightTypes[2] = D3DLIGHT_SPOT; }, "#define LIGHT_TYPE_2 2\n", ""},
        {"range fog", [](FixedFunctionKey& k) { k.fogMode = D3DFOG_LINEAR; k.rangeFog = 1; }, "#define RANGE_FOG 1\n",
         "#define FOG_MODE 3\n"},
        {"alpha test", [](FixedFunctionKey& k) { k.alphaFunc = D3DCMP_GREATEREQUAL; }, "",
         "#define ALPHA_COMPARE(a, b) ((a) >= (b))\n"},
        {"modulate texture by factor",
         [](FixedFunctionKey& k) {
             k.stages[0] = StageKey{D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, 0, 0};
         },
         "", "#define STAGE0_COLORARG2 u_textureFactor\n"},
        {"complemented alpha replicate",
         [](FixedFunctionKey& k) {
             k.stages[0] = StageKey{D3DTOP_SELECTARG1, D3DTA_DIFFUSE | D3DTA_COMPLEMENT | D3DTA_ALPHAREPLICATE,
                                    D3DTA_CURRENT, D3DTOP_DISABLE, 0, 0, 0};
         },
         "", "#define STAGE0_COLORARG1 (vec4(1.0) - vec4(v_diffuse.a))\n"},
        {"no texture read, no sample",
         [](FixedFunctionKey& k) {
             k.stages[0] = StageKey{D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, 0, 0};
         },
         "", "#define STAGE0_SAMPLE 0\n"},
    };
    for (const Case& c : cases) {
        FixedFunctionKey key;
        c.set(key);
        const std::string vertex = VertexSourceFor(key), fragment = FragmentSourceFor(key);
        EXPECT_EQ(vertex.rfind("#version 330 core\n", 0), 0u) << c.what;
        if (*c.vertexLine) {
            EXPECT_NE(vertex.find(c.vertexLine), std::string::npos) << c.what;
        }
        if (*c.fragmentLine) {
            EXPECT_NE(fragment.find(c.fragmentLine), std::string::npos) << c.what;
        }
        // Keys compare and hash by their bytes.
        FixedFunctionKey same;
        c.set(same);
        EXPECT_TRUE(key == same) << c.what;
        EXPECT_EQ(FixedFunctionKeyHash()(key), FixedFunctionKeyHash()(same)) << c.what;
        if (std::string(c.what) != "empty key") {
            EXPECT_FALSE(key == FixedFunctionKey()) << c.what;
        }
    }
}

}  // namespace

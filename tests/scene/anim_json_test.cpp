// The JSON track description behind fvtool track eval.

#include "scene/track_json.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>

namespace {

nlohmann::json EvalJson(const std::string& input) {
    std::string output, error;
    EXPECT_TRUE(EvaluateTrackJson(input, output, error)) << error;
    return nlohmann::json::parse(output.empty() ? "null" : output);
}

}  // namespace

// Values per kind at the requested times, in order; an empty track yields nulls.
TEST(AnimTrackJson, ValuesPerKind) {
    const nlohmann::json scalar = EvalJson(
        R"({"kind": "scalar", "keys": [{"t": 0, "v": 0}, {"t": 1, "v": 1}, {"t": 2, "v": 4}, {"t": 3, "v": 9}],
            "times": [-1, 1, 1.5, 3, 7]})");
    ASSERT_EQ(scalar["values"].size(), 5u);
    EXPECT_EQ(scalar["values"][0].get<double>(), 0);
    EXPECT_EQ(scalar["values"][1].get<double>(), 1);
    EXPECT_FLOAT_EQ(scalar["values"][2].get<float>(), 0.5f + 0.375f + 2 - 0.625f);
    EXPECT_EQ(scalar["values"][4].get<double>(), 9);

    const nlohmann::json vector = EvalJson(
        R"({"kind": "vector", "flags": 6, "keys": [{"t": 0, "v": [0, 0, 0], "shape": [0, 0, 0]},
            {"t": 2, "v": [2, 4, 6]}], "times": [1, 3]})");
    EXPECT_EQ(vector["values"][0], nlohmann::json::array({1.0, 2.0, 3.0}));
    EXPECT_EQ(vector["values"][1], nlohmann::json::array({1.0, 2.0, 3.0}));

    const nlohmann::json rotation =
        EvalJson(R"({"kind": "rotation", "keys": [{"t": 0, "v": [0, 0, 0, 1]}], "times": [5]})");
    EXPECT_EQ(rotation["values"][0], nlohmann::json::array({0.0, 0.0, 0.0, 1.0}));

    const nlohmann::json empty = EvalJson(R"({"kind": "scalar", "keys": [], "times": [0, 1]})");
    EXPECT_TRUE(empty["values"][0].is_null());
    EXPECT_EQ(empty["values"].size(), 2u);
}

// Bad JSON and fields of the wrong shape fail with a reason and no output.
TEST(AnimTrackJson, BadInputFails) {
    const char* const cases[] = {
        "",
        "{",
        "[]",
        R"({"kind": "spline", "keys": [], "times": []})",
        R"({"kind": "scalar", "keys": {}, "times": []})",
        R"({"kind": "scalar", "keys": [], "times": ["a"]})",
        R"({"kind": "scalar", "keys": []})",
        R"({"kind": "scalar", "flags": 8, "keys": [], "times": []})",
        R"({"kind": "scalar", "flags": 1.5, "keys": [], "times": []})",
        R"({"kind": "scalar", "keys": [{"t": 0}], "times": []})",
        R"({"kind": "scalar", "keys": [{"v": 0}], "times": []})",
        R"({"kind": "vector", "keys": [{"t": 0, "v": [1, 2]}], "times": []})",
        R"({"kind": "rotation", "keys": [{"t": 0, "v": [1, 2, 3]}], "times": []})",
        R"({"kind": "scalar", "keys": [{"t": 0, "v": 1, "shape": [0, 0]}], "times": []})",
        R"({"kind": "scalar", "keys": [1], "times": []})",
    };
    for (const char* input : cases) {
        std::string output, error;
        EXPECT_FALSE(EvaluateTrackJson(input, output, error)) << input;
        EXPECT_TRUE(output.empty());
        EXPECT_FALSE(error.empty()) << input;
    }
}

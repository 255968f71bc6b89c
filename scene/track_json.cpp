#include "scene/track_json.h"

#include "scene/float_track.h"
#include "scene/rotation_track.h"
#include "scene/vector_track.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using Json = nlohmann::json;

enum class Kind { kScalar, kVector, kRotation };

bool ReadNumber(const Json& j, float& out) {
    if (!j.is_number()) return false;
    out = static_cast<float>(j.get<double>());
    return true;
}

bool ReadNumbers(const Json& j, std::size_t count, float* out) {
    if (!j.is_array() || j.size() != count) return false;
    for (std::size_t i = 0; i < count; ++i)
        if (!ReadNumber(j[i], out[i])) return false;
    return true;
}

bool ReadKey(const Json& j, Kind kind, AnimKey& key, std::string& error) {
    if (!j.is_object()) return error = "each key must be an object", false;
    const auto t = j.find("t");
    if (t == j.end() || !ReadNumber(*t, key.time)) return error = "a key's \"t\" must be a number", false;
    if (std::isnan(key.time)) return error = "a key's \"t\" must not be NaN", false;
    const auto v = j.find("v");
    if (v == j.end()) return error = "a key has no \"v\"", false;
    float values[4] = {0, 0, 0, 0};
    bool good = false;
    switch (kind) {
        case Kind::kScalar: good = ReadNumber(*v, values[0]); break;
        case Kind::kVector: good = ReadNumbers(*v, 3, values); break;
        case Kind::kRotation: good = ReadNumbers(*v, 4, values); break;
    }
    if (!good) {
        error = kind == Kind::kScalar   ? "a scalar key's \"v\" must be a number"
                : kind == Kind::kVector ? "a vector key's \"v\" must be [x, y, z]"
                                        : "a rotation key's \"v\" must be [x, y, z, w]";
        return false;
    }
    key.x = values[0];
    key.y = values[1];
    key.z = values[2];
    key.w = values[3];
    const auto shape = j.find("shape");
    if (shape != j.end()) {
        float s[3];
        if (!ReadNumbers(*shape, 3, s)) return error = "a key's \"shape\" must be [s20, s24, s28]", false;
        key.s20 = s[0];
        key.s24 = s[1];
        key.s28 = s[2];
    }
    return true;
}

bool Evaluate(const Json& in, Json& out, std::string& error) {
    if (!in.is_object()) return error = "the input must be a JSON object", false;
    const auto kindField = in.find("kind");
    if (kindField == in.end() || !kindField->is_string())
        return error = "\"kind\" must be \"scalar\", \"vector\" or \"rotation\"", false;
    const std::string& kindText = kindField->get_ref<const std::string&>();
    Kind kind;
    if (kindText == "scalar")
        kind = Kind::kScalar;
    else if (kindText == "vector")
        kind = Kind::kVector;
    else if (kindText == "rotation")
        kind = Kind::kRotation;
    else
        return error = "\"kind\" must be \"scalar\", \"vector\" or \"rotation\"", false;

    std::uint32_t flags = 0;
    const auto flagsField = in.find("flags");
    if (flagsField != in.end()) {
        if (!flagsField->is_number_integer() || flagsField->get<long long>() < 0 || flagsField->get<long long>() > 7)
            return error = "\"flags\" must be an integer from 0 to 7", false;
        flags = static_cast<std::uint32_t>(flagsField->get<long long>());
    }
    const auto keysField = in.find("keys");
    if (keysField == in.end() || !keysField->is_array()) return error = "\"keys\" must be an array", false;
    const auto timesField = in.find("times");
    if (timesField == in.end() || !timesField->is_array()) return error = "\"times\" must be an array", false;

    std::vector<AnimKey> keys;
    keys.reserve(keysField->size());
    for (const Json& k : *keysField) {
        AnimKey key;
        if (!ReadKey(k, kind, key, error)) return false;
        keys.push_back(key);
    }
    std::vector<float> times;
    times.reserve(timesField->size());
    for (const Json& t : *timesField) {
        float time;
        if (!ReadNumber(t, time)) return error = "\"times\" must hold numbers", false;
        times.push_back(time);
    }
    // Sorted first so that adding is cheap; the later of two keys with one time wins.
    std::stable_sort(keys.begin(), keys.end(), [](const AnimKey& a, const AnimKey& b) { return a.time < b.time; });

    Json values = Json::array();
    if (kind == Kind::kRotation) {
        RotationTrack track;
        track.SetFlags(flags);
        for (const AnimKey& key : keys) track.AddKey(key);
        for (float t : times) {
            D3DXQUATERNION q;
            values.push_back(track.Value(t, q) ? Json::array({q.x, q.y, q.z, q.w}) : Json());
        }
    } else if (kind == Kind::kVector) {
        VectorTrack track;
        track.SetFlags(flags);
        for (const AnimKey& key : keys) track.AddKey(key);
        for (float t : times) {
            D3DXVECTOR3 v;
            values.push_back(track.Value(t, v) ? Json::array({v.x, v.y, v.z}) : Json());
        }
    } else {
        FloatTrack track;
        track.SetFlags(flags);
        for (const AnimKey& key : keys) track.AddKey(key);
        for (float t : times) {
            float v;
            values.push_back(track.Value(t, v) ? Json(v) : Json());
        }
    }
    out = Json::object();
    out["values"] = std::move(values);
    return true;
}

}  // namespace

bool EvaluateTrackJson(const std::string& input, std::string& output, std::string& error) {
    try {
        const Json in = Json::parse(input);
        Json out;
        if (!Evaluate(in, out, error)) return false;
        output = out.dump();
        return true;
    } catch (const Json::exception& e) {
        error = std::string("bad JSON: ") + e.what();
        return false;
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

// Loading a scene-sized UDF file: about 1.3 MB with about 1,900 leaves, built with the
// writer in the shape of the shipped scene (nodes with transforms, meshes with vertex and
// index arrays, materials linked from the meshes).

#include "scene/udf_reader.h"
#include "scene/udf_writer.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

std::vector<std::uint8_t> SceneSizedFile(int& leaves) {
    UdfWriter writer;
    UdfWriter::Node* children = writer.Root()->AddContainer("Children", "Node");
    UdfWriter::Node* materials = writer.Root()->AddContainer("Materials", "Material");
    std::vector<UdfWriter::Node*> materialNodes;
    const float color[4] = {0.8f, 0.8f, 0.9f, 1.0f};
    leaves = 0;
    for (int m = 0; m < 16; ++m) {
        UdfWriter::Node* material = materials->AddContainer(String("Material") + String::FromInt(m), "Material");
        material->AddColor("Diffuse", color);
        material->AddColor("Ambient", color);
        leaves += 2;
        materialNodes.push_back(material);
    }
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    std::vector<std::uint8_t> vertices(2400, 0x3f);
    std::vector<std::int32_t> indices(300, 1);
    for (int n = 0; n < 315; ++n) {
        UdfWriter::Node* dummy = children->AddContainer(String("Group") + String::FromInt(n), "Dummy");
        dummy->AddMatrix("NodeTM", identity);
        UdfWriter::Node* mesh = dummy->AddContainer("Children", "Node")->AddContainer("Mesh", "Mesh");
        mesh->AddMatrix("NodeTM", identity);
        mesh->AddMatrix("ObjectTM", identity);
        mesh->AddInt("FVF", 0x152);
        mesh->AddLeaf("Vertices", "", vertices);
        mesh->AddInts("Indices", indices.data(), indices.size());
        mesh->AddLink("Material", materialNodes[static_cast<std::size_t>(n) % materialNodes.size()]);
        mesh->AddContainer("Props", "");
        leaves += 6;
    }
    std::vector<std::uint8_t> bytes;
    writer.Write(bytes);
    return bytes;
}

}  // namespace

static void BM_UdfLoadScene(benchmark::State& state) {
    int leaves = 0;
    const std::vector<std::uint8_t> bytes = SceneSizedFile(leaves);
    for (auto _ : state) {
        state.PauseTiming();
        MemoryStream stream(bytes);  // the copy ReadFile would have made
        state.ResumeTiming();
        UdfReader reader;
        UdfElement* root = reader.Open(std::move(stream));
        reader.LoadElement(root, 0);
        benchmark::DoNotOptimize(root->ChildCount());
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
    state.counters["leaves"] = leaves;
}
BENCHMARK(BM_UdfLoadScene)->Unit(benchmark::kMillisecond);

static void BM_UdfWriteScene(benchmark::State& state) {
    for (auto _ : state) {
        int leaves = 0;
        benchmark::DoNotOptimize(SceneSizedFile(leaves).size());
    }
}
BENCHMARK(BM_UdfWriteScene)->Unit(benchmark::kMillisecond);

#include "scene/scene.h"

#include "core/clock.h"
#include "core/media_archive.h"
#include "render/texture_resource.h"
#include "scene/memory_stream.h"
#include "scene/mesh_batch.h"
#include "scene/mesh_props.h"
#include "scene/mesh_renderable.h"
#include "scene/node_animation.h"
#include "scene/transform.h"
#include "scene/udf_reader.h"

#include <cstring>

namespace {


RendererDescription DescribeRenderable(const MaterialInfo& material, const RenderableSettings& settings,
                                       const Mesh& mesh, UINT indexBytes) {
    RendererDescription description;
    RenderStateBlock& state = description.state;
    state.material = material.material;
    state.texture = material.texture;
    state.addressU = material.addressU;
    state.addressV = material.addressV;
    state.minFilter = material.minFilter;
    state.magFilter = material.magFilter;
    state.mipFilter = material.mipFilter;
    state.alphaMode = material.alphaMode;
    state.blendType = material.blendMode;
    state.depthMode = 1;
    state.twoSided = material.twoSided;
    state.alphaFactor = material.alphaFactor;
    description.vertices = VertexDescription(mesh.Fvf(), settings.vertexStride, settings.vertexBytes);
    description.vertices.usage = settings.vertexUsage;
    description.vertices.flags |= kBufferUsageGiven;
    description.indices = IndexDescription(indexBytes, D3DFMT_INDEX32);
    description.indices.usage = settings.indexUsage;
    description.indices.flags |= kBufferUsageGiven;
    description.primitiveType = D3DPT_TRIANGLELIST;
    description.standalone = AlphaModeUsesFactor(material.alphaMode);
    return description;
}

}  // namespace

Scene::Scene(TextureCache* textures)
    : textures_(textures),
      cameraRoot_(std::make_unique<SceneNode>("Cameras", "Node")),
      root_(std::make_unique<SceneNode>("Children", "Node")) {}

Scene::~Scene() {
    // Nodes (and with them the renderables) go before the batches they are members of.
    root_.reset();
    cameraRoot_.reset();
}

void Scene::AddMesh(const String& nodeName, std::shared_ptr<const Mesh> mesh) {
    meshes_.emplace(nodeName.ToStdString(), std::move(mesh));
}

const Mesh* Scene::FindMesh(const String& nodeName) const {
    auto found = meshes_.find(nodeName.ToStdString());
    return found == meshes_.end() ? nullptr : found->second.get();
}

bool Scene::Join(MeshRenderable& renderable) {
    const RendererDescription& description = renderable.Description();
    RendererRef vertices;
    if (description.standalone) {
        auto* own = new RenderVertices();
        vertices = RendererRef(own);
        if (!own->Assemble(description)) return false;
    } else {
        vertices = assemblers_[renderable.IsLit() ? 1 : 0].FindOrCreate(description, true);
        if (!vertices) return false;
    }
    vertices->SetLit(renderable.IsLit());
    auto found = batches_.find(vertices.Get());
    if (found == batches_.end())
        found = batches_.emplace(vertices.Get(), RendererRef(new MeshBatch(vertices, &lights_))).first;
    renderable.SetBatch(found->second);
    return true;
}

bool Scene::TakeNodeBudget() {
    if (nodeBudget_ <= 0) return false;
    --nodeBudget_;
    return true;
}

bool Scene::TakeVertexBudget(std::size_t count) {
    if (count > vertexBudget_) return false;
    vertexBudget_ -= count;
    return true;
}

bool Scene::AllocateBatches() {
    bool ok = true;
    for (auto& entry : batches_) ok = static_cast<MeshBatch*>(entry.second.Get())->AllocateMembers() && ok;
    return ok;
}

bool LoadMesh(Scene& scene, const UdfElement* element, SceneNode& node) {
    MaterialInfo material = scene.DefaultMaterial();
    if (const UdfElement* name = element->Child("MaterialName")) {
        auto found = scene.Materials().find(ElementText(name).ToStdString());
        if (found != scene.Materials().end()) material = found->second;
    }

    std::int32_t fvf = 0, vertexCount = 0, indexCount = 0;
    if (!element->ReadInt("FVF", fvf) || !element->ReadInt("NumVerts", vertexCount) ||
        !element->ReadInt("NumIndexes", indexCount) || vertexCount <= 0)
        return false;
    const UdfElement* verts = element->Child("Verts");
    const UdfElement* indexes = element->Child("Indexes");
    if (verts == nullptr || indexes == nullptr || !verts->IsLoaded() || !indexes->IsLoaded()) return false;

    const DWORD format = DWORD(fvf);
    const std::size_t stride = verts->DataSize() / std::size_t(vertexCount);
    // A stride too small for the format would read past the vertices.
    if (stride == 0 || stride < PackedVertexSize(format)) return false;
    if (!scene.TakeVertexBudget(std::size_t(vertexCount))) return false;
    std::vector<FullVertex> vertices = ConvertVertices(format, unsigned(stride), verts->Data(), unsigned(vertexCount));
    std::vector<std::uint32_t> indices(indexes->DataSize() / 4);
    if (!indices.empty()) std::memcpy(indices.data(), indexes->Data(), indices.size() * 4);

    auto mesh = std::make_shared<const Mesh>(format, unsigned(stride), std::move(vertices), std::move(indices));
    if (!mesh->IndicesInRange()) return false;
    scene.AddMesh(node.Name(), mesh);

    const RenderableSettings settings = ApplyMeshProperties(element, *mesh, material);
    const UINT indexBytes = UINT(std::max<std::size_t>(mesh->Indices().size(), 1) * 4);
    auto renderable = std::make_shared<MeshRenderable>(mesh, DescribeRenderable(material, settings, *mesh, indexBytes),
                                                       settings.lit);
    if (!scene.Join(*renderable)) return false;
    node.SetRenderable(std::move(renderable));
    return true;
}

void LoadNode(Scene& scene, const UdfElement* element, SceneNode& parent, int depth) {
    if (depth > kMaxNodeDepth || !scene.TakeNodeBudget()) return;
    auto node = std::make_unique<SceneNode>(element->Name(), element->TypeName());
    if (element->TypeName() == "Mesh") LoadMesh(scene, element, *node);
    float nodeTM[16], objectTM[16];
    if (element->ReadMatrix("NodeTM", nodeTM) && element->ReadMatrix("ObjectTM", objectTM))
        SetNodeTransforms(node->LocalTransform(), node->ObjectOffset(), nodeTM, objectTM);
    LoadNodeAnimation(element, *node, NowMilliseconds());
    SceneNode* added = parent.AddChild(std::move(node));
    if (const UdfElement* children = element->Child("Children"))
        for (int i = 0; i < children->ChildCount(); ++i) LoadNode(scene, children->ChildAt(i), *added, depth + 1);
}

bool LoadScene(Scene& scene, const String& path) {
    scene.SetFolder(path.Folder());
    std::vector<std::uint8_t> bytes;
    if (!ReadFile(path, bytes)) return false;
    UdfReader reader;
    UdfElement* root = reader.Open(MemoryStream(std::move(bytes)));
    if (root == nullptr) return false;
    reader.LoadElement(root, 0);

    LoadMaterials(root->Child("Materials"), scene.Folder(), scene.Textures(), scene.Materials());
    if (const UdfElement* cameras = root->Child("Cameras"))
        for (int i = 0; i < cameras->ChildCount(); ++i) LoadNode(scene, cameras->ChildAt(i), scene.CameraRoot());
    bool ok = true;
    if (const UdfElement* lights = root->Child("Lights")) ok = LoadLights(lights, scene.Lights());
    if (const UdfElement* children = root->Child("Children"))
        for (int i = 0; i < children->ChildCount(); ++i) LoadNode(scene, children->ChildAt(i), scene.Root());
    scene.AllocateBatches();
    return ok;
}

#pragma once
// Scene: what the scene file becomes: the folder its textures are read from, the material
// table, the lights, a camera root and the scene root with the node tree, the meshes by
// node name, and the batches its meshes are drawn by.
//
// Meshes that share a render state, vertex format and lighting share a batch (one draw
// call); a mesh whose alpha comes from the alpha factor gets a batch of its own, because
// that factor is the node's own fade. Batches go into the scene's render queue in drawing
// order (opaque before blended) the first time one of their meshes is drawn.

#include "core/byte_string.h"
#include "render/render_queue.h"
#include "render/renderer_assembler.h"
#include "scene/light_set.h"
#include "scene/material_info.h"
#include "scene/mesh.h"
#include "scene/scene_node.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class MeshRenderable;
class TextureCache;
class UdfElement;

// What one scene may hold; the shipped village uses a few percent of either.
constexpr int kMaxSceneNodes = 20000;
constexpr std::size_t kMaxSceneVertices = 4000000;

class Scene {
public:
    // textures may be null: materials then load no textures.
    explicit Scene(TextureCache* textures = nullptr);
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    const String& Folder() const { return folder_; }
    void SetFolder(const String& folder) { folder_ = folder; }
    TextureCache* Textures() const { return textures_; }
    MaterialTable& Materials() { return materials_; }
    const MaterialInfo& DefaultMaterial() const { return defaultMaterial_; }
    LightSet& Lights() { return lights_; }
    SceneNode& CameraRoot() { return *cameraRoot_; }
    SceneNode& Root() { return *root_; }
    RenderQueue& Queue() { return queue_; }

    // Registers a mesh under its node's name.
    void AddMesh(const String& nodeName, std::shared_ptr<const Mesh> mesh);
    int MeshCount() const { return int(meshes_.size()); }
    // The first mesh registered under the name, or null.
    const Mesh* FindMesh(const String& nodeName) const;

    // Takes one node (or count vertices) from the load budget; false once it is spent. A
    // file that reaches the same elements again and again through links would otherwise
    // grow without bound.
    bool TakeNodeBudget();
    bool TakeVertexBudget(std::size_t count);

    // Puts a renderable into the batch its description and lit flag call for, making the
    // batch when none fits. False when no batch can be made.
    bool Join(MeshRenderable& renderable);
    // Gives every batch's members their blocks (growing each buffer once); after loading.
    bool AllocateBatches();
    int BatchCount() const { return int(batches_.size()); }

private:
    String folder_;
    TextureCache* textures_;
    MaterialTable materials_;
    MaterialInfo defaultMaterial_;
    LightSet lights_;
    std::unique_ptr<SceneNode> cameraRoot_;
    std::unique_ptr<SceneNode> root_;
    std::multimap<std::string, std::shared_ptr<const Mesh>> meshes_;
    RendererAssembler assemblers_[2];  // unlit, lit
    std::map<Renderer*, RendererRef> batches_;  // by RenderVertices
    RenderQueue queue_;
    int nodeBudget_ = kMaxSceneNodes;
    std::size_t vertexBudget_ = kMaxSceneVertices;
};

// Loads the scene file at path (read through the media archive) into the scene: materials,
// cameras, lights, then the node tree in file order. False when the file cannot be read or
// is not a scene file, or when a light is unusable (the nodes are loaded all the same).
bool LoadScene(Scene& scene, const String& path);
// Nodes nested deeper than this are not loaded, so that a hostile file cannot exhaust the
// stack of the loader or of the drawing walk; nodes beyond the scene's budget are not
// loaded either.
constexpr int kMaxNodeDepth = 64;
// One node and its subtree under parent; depth counts the levels above it.
void LoadNode(Scene& scene, const UdfElement* element, SceneNode& parent, int depth = 0);
// Builds the mesh and renderable of a "Mesh" node. False (and no renderable) when a key is
// missing, "NumVerts" is 0, the vertex stride is too small for the format, an index points
// past the vertices, the scene's vertex budget is spent, or no batch can take the mesh.
bool LoadMesh(Scene& scene, const UdfElement* element, SceneNode& node);

#pragma once
// Transform: a node's placement as a base matrix followed by scale, rotation (direction and
// up) and position, with the combined matrix cached until a setter marks it dirty.
//
// GetMatrix = base x M, where M has the rows sx X, sy Y, sz Z and the position, Z being the
// direction normalised, Y the up vector normalised and X = Y x Z normalised.

#include "platform/d3dx/d3dx_math.h"

class Transform {
public:
    Transform();

    void SetBaseMatrix(const float* sixteen);  // row by row
    void SetBaseMatrix(const D3DXMATRIX& matrix);
    void SetScale(const D3DXVECTOR3& scale);
    void SetDirection(const D3DXVECTOR3& direction);
    void SetUp(const D3DXVECTOR3& up);
    void SetPosition(const D3DXVECTOR3& position);

    const D3DXMATRIX& BaseMatrix() const { return base_; }
    const D3DXVECTOR3& Scale() const { return scale_; }
    const D3DXVECTOR3& Direction() const { return direction_; }
    const D3DXVECTOR3& Up() const { return up_; }
    const D3DXVECTOR3& Position() const { return position_; }
    bool IsDirty() const { return dirty_; }

    // The combined matrix, recomputed only when a setter ran since the last call.
    const D3DXMATRIX& GetMatrix();

    // The parts alone: scaling, the rotation of rows X, Y, Z, the translation.
    D3DXMATRIX ScaleMatrix() const;
    D3DXMATRIX RotationMatrix() const;
    D3DXMATRIX PositionMatrix() const;

private:
    D3DXMATRIX base_;
    D3DXVECTOR3 scale_{1, 1, 1};
    D3DXVECTOR3 direction_{0, 0, 1};
    D3DXVECTOR3 up_{0, 1, 0};
    D3DXVECTOR3 position_{0, 0, 0};
    bool dirty_ = true;
    D3DXMATRIX matrix_;
};

// Sets a node's transform and object offset from its "NodeTM" and "ObjectTM" (16 floats
// each). NodeTM splits into scale, direction, up and position when its axes are usable: all
// three of nonzero length and square to each other within 0.1 of a unit dot product; a
// mirrored matrix (X . (Y x Z) < 0) gets a negative x scale. Otherwise NodeTM becomes the
// base matrix whole, so the node's matrix is NodeTM either way. ObjectTM becomes the object
// offset's base matrix. Returns true when NodeTM was split.
bool SetNodeTransforms(Transform& node, Transform& objectOffset, const float* nodeTM, const float* objectTM);

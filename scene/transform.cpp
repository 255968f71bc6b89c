#include "scene/transform.h"

#include <cmath>

namespace {

D3DXVECTOR3 Normalized(const D3DXVECTOR3& v) {
    D3DXVECTOR3 out;
    D3DXVec3Normalize(&out, &v);
    return out;
}

}  // namespace

Transform::Transform() {
    D3DXMatrixIdentity(&base_);
    D3DXMatrixIdentity(&matrix_);
}

void Transform::SetBaseMatrix(const float* sixteen) {
    for (int i = 0; i < 16; ++i) base_.m[i / 4][i % 4] = sixteen[i];
    dirty_ = true;
}

void Transform::SetBaseMatrix(const D3DXMATRIX& matrix) {
    base_ = matrix;
    dirty_ = true;
}

void Transform::SetScale(const D3DXVECTOR3& scale) {
    scale_ = scale;
    dirty_ = true;
}

void Transform::SetDirection(const D3DXVECTOR3& direction) {
    direction_ = direction;
    dirty_ = true;
}

void Transform::SetUp(const D3DXVECTOR3& up) {
    up_ = up;
    dirty_ = true;
}

void Transform::SetPosition(const D3DXVECTOR3& position) {
    position_ = position;
    dirty_ = true;
}

D3DXMATRIX Transform::RotationMatrix() const {
    const D3DXVECTOR3 z = Normalized(direction_);
    const D3DXVECTOR3 y = Normalized(up_);
    D3DXVECTOR3 x;
    D3DXVec3Cross(&x, &y, &z);
    x = Normalized(x);
    return D3DXMATRIX(x.x, x.y, x.z, 0, y.x, y.y, y.z, 0, z.x, z.y, z.z, 0, 0, 0, 0, 1);
}

D3DXMATRIX Transform::ScaleMatrix() const {
    D3DXMATRIX m;
    D3DXMatrixScaling(&m, scale_.x, scale_.y, scale_.z);
    return m;
}

D3DXMATRIX Transform::PositionMatrix() const {
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, position_.x, position_.y, position_.z);
    return m;
}

const D3DXMATRIX& Transform::GetMatrix() {
    if (!dirty_) return matrix_;
    D3DXMATRIX m = RotationMatrix();
    const float scale[3] = {scale_.x, scale_.y, scale_.z};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) m.m[row][column] *= scale[row];
    m.m[3][0] = position_.x;
    m.m[3][1] = position_.y;
    m.m[3][2] = position_.z;
    D3DXMatrixMultiply(&matrix_, &base_, &m);
    dirty_ = false;
    return matrix_;
}

bool SetNodeTransforms(Transform& node, Transform& objectOffset, const float* n, const float* objectTM) {
    objectOffset.SetBaseMatrix(objectTM);
    const D3DXVECTOR3 rx(n[0], n[1], n[2]), ry(n[4], n[5], n[6]), rz(n[8], n[9], n[10]);
    const float sx = D3DXVec3Length(&rx), sy = D3DXVec3Length(&ry), sz = D3DXVec3Length(&rz);
    const D3DXVECTOR3 x = Normalized(rx), y = Normalized(ry), z = Normalized(rz);
    // A zero axis, a skew between X and Y or a fourth column other than (0, 0, 0, 1) would
    // not survive the rebuild from direction and up (X is recomputed as Y x Z), so such
    // matrices are kept whole as well.
    const bool degenerate = std::fabs(sx + sy + sz) <= 0.01f || sx == 0 || sy == 0 || sz == 0 ||
                            !std::isfinite(sx + sy + sz) || n[3] != 0 || n[7] != 0 || n[11] != 0 || n[15] != 1;
    const bool skewed = std::fabs(D3DXVec3Dot(&z, &y)) > 0.1f || std::fabs(D3DXVec3Dot(&z, &x)) > 0.1f ||
                        std::fabs(D3DXVec3Dot(&x, &y)) > 0.1f;
    if (degenerate || skewed) {
        node.SetBaseMatrix(n);
        return false;
    }
    D3DXVECTOR3 yz;
    D3DXVec3Cross(&yz, &y, &z);
    const float mirrored = D3DXVec3Dot(&x, &yz) < 0 ? -1.0f : 1.0f;
    node.SetPosition(D3DXVECTOR3(n[12], n[13], n[14]));
    node.SetDirection(rz);
    node.SetUp(ry);
    node.SetScale(D3DXVECTOR3(mirrored * sx, sy, sz));
    return true;
}

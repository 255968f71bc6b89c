// D3DX matrix, vector and quaternion helpers against values worked out by hand.

#include "platform/d3dx/d3dx_math.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kPi = 3.14159265358979f;

void ExpectMatrix(const D3DXMATRIX& actual, const float (&expected)[16], const char* what) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual.m[i / 4][i % 4], expected[i], 1e-5f) << what << " element " << i;
}

void ExpectQuaternion(const D3DXQUATERNION& q, float x, float y, float z, float w, const char* what) {
    EXPECT_NEAR(q.x, x, 1e-5f) << what;
    EXPECT_NEAR(q.y, y, 1e-5f) << what;
    EXPECT_NEAR(q.z, z, 1e-5f) << what;
    EXPECT_NEAR(q.w, w, 1e-5f) << what;
}

TEST(D3DXMathTest, LookAtLHBuildsTheViewMatrix) {
    struct Case {
        D3DXVECTOR3 eye, at, up;
        float expected[16];
    };
    const Case cases[] = {
        {{0, 0, -5}, {0, 0, 0}, {0, 1, 0}, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 5, 1}},
        // Looking along +x: the camera's right is -z.
        {{1, 2, 3}, {4, 2, 3}, {0, 1, 0}, {0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 3, -2, -1, 1}},
        // The up vector need not be unit length nor perpendicular.
        {{0, 0, 0}, {0, 0, 10}, {0, 3, 3}, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
    };
    for (const Case& c : cases) {
        D3DXMATRIX view;
        EXPECT_EQ(D3DXMatrixLookAtLH(&view, &c.eye, &c.at, &c.up), &view);
        ExpectMatrix(view, c.expected, "look-at");
    }
}

TEST(D3DXMathTest, PerspectiveFovLHMapsDepthToZeroOne) {
    struct Case {
        float fov, aspect, zn, zf;
        float expected[16];
    };
    const Case cases[] = {
        {kPi / 2, 2.0f, 1.0f, 101.0f, {0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1.01f, 1, 0, 0, -1.01f, 0}},
        {kPi / 3, 1.0f, 0.5f, 1.5f,
         {1.7320508f, 0, 0, 0, 0, 1.7320508f, 0, 0, 0, 0, 1.5f, 1, 0, 0, -0.75f, 0}},
    };
    for (const Case& c : cases) {
        D3DXMATRIX projection;
        D3DXMatrixPerspectiveFovLH(&projection, c.fov, c.aspect, c.zn, c.zf);
        ExpectMatrix(projection, c.expected, "perspective");
        // The near plane lands on depth 0 and the far plane on depth 1.
        D3DXVECTOR3 nearPoint(0, 0, c.zn), farPoint(0, 0, c.zf), out;
        D3DXVec3TransformCoord(&out, &nearPoint, &projection);
        EXPECT_NEAR(out.z, 0.0f, 1e-6f);
        D3DXVec3TransformCoord(&out, &farPoint, &projection);
        EXPECT_NEAR(out.z, 1.0f, 1e-6f);
    }
}

TEST(D3DXMathTest, SlerpInterpolatesAndExtrapolates) {
    D3DXQUATERNION identity(0, 0, 0, 1), quarter;
    const D3DXVECTOR3 zAxis(0, 0, 1);
    D3DXQuaternionRotationAxis(&quarter, &zAxis, kPi / 2);
    const float s45 = std::sqrt(0.5f);
    ExpectQuaternion(quarter, 0, 0, s45, s45, "axis-angle");
    struct Case {
        float t;
        D3DXQUATERNION expected;
    };
    const Case cases[] = {
        {0.0f, {0, 0, 0, 1}},
        {0.5f, {0, 0, 0.38268343f, 0.92387953f}},
        {1.0f, {0, 0, s45, s45}},
        {-1.0f, {0, 0, -s45, s45}},
        {2.0f, {0, 0, 1, 0}},
    };
    D3DXQUATERNION negated(-quarter.x, -quarter.y, -quarter.z, -quarter.w);
    for (const Case& c : cases) {
        D3DXQUATERNION out;
        D3DXQuaternionSlerp(&out, &identity, &quarter, c.t);
        ExpectQuaternion(out, c.expected.x, c.expected.y, c.expected.z, c.expected.w, "slerp");
        // The same rotation with the opposite sign takes the short way too.
        D3DXQuaternionSlerp(&out, &identity, &negated, c.t);
        ExpectQuaternion(out, c.expected.x, c.expected.y, c.expected.z, c.expected.w, "slerp negated");
    }
    // Nearly equal rotations interpolate without dividing by a vanishing sine.
    D3DXQUATERNION out;
    D3DXQuaternionSlerp(&out, &identity, &identity, 0.3f);
    ExpectQuaternion(out, 0, 0, 0, 1, "equal ends");
}

TEST(D3DXMathTest, VectorHelpers) {
    D3DXVECTOR3 out;
    const D3DXVECTOR3 zero(0, 0, 0), v(3, 4, 0), a(1, 0, 0), b(0, 1, 0);
    D3DXVec3Normalize(&out, &zero);
    EXPECT_EQ(out, zero);
    D3DXVec3Normalize(&out, &v);
    EXPECT_EQ(out, D3DXVECTOR3(0.6f, 0.8f, 0.0f));
    D3DXVec3Cross(&out, &a, &b);
    EXPECT_EQ(out, D3DXVECTOR3(0, 0, 1));
    EXPECT_EQ(D3DXVec3Dot(&v, &a), 3.0f);
    EXPECT_EQ(D3DXVec3Length(&v), 5.0f);

    D3DXMATRIX translate, rotate, both;
    D3DXMatrixTranslation(&translate, 1, 2, 3);
    D3DXMatrixRotationY(&rotate, kPi / 2);
    D3DXMatrixMultiply(&both, &rotate, &translate);  // rotate, then translate
    D3DXVec3TransformCoord(&out, &a, &both);
    EXPECT_NEAR(out.x, 1.0f, 1e-6f);
    EXPECT_NEAR(out.y, 2.0f, 1e-6f);
    EXPECT_NEAR(out.z, 2.0f, 1e-6f);  // +x turns to -z under a left-handed quarter turn about y
    D3DXVec3TransformNormal(&out, &a, &both);
    EXPECT_NEAR(out.x, 0.0f, 1e-6f);
    EXPECT_NEAR(out.z, -1.0f, 1e-6f);
}

TEST(D3DXMathTest, MatrixHelpers) {
    D3DXMATRIX scale, translate, product;
    D3DXMatrixScaling(&scale, 2, 2, 2);
    D3DXMatrixTranslation(&translate, 1, 2, 3);
    D3DXMatrixMultiply(&product, &translate, &scale);
    ExpectMatrix(product, {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 2, 4, 6, 1}, "translate then scale");
    // Multiply may write over its input.
    D3DXMatrixMultiply(&translate, &translate, &scale);
    EXPECT_EQ(translate, product);

    D3DXMATRIX inverse, identity, check;
    float determinant = 0;
    ASSERT_NE(D3DXMatrixInverse(&inverse, &determinant, &product), nullptr);
    EXPECT_FLOAT_EQ(determinant, 8.0f);
    D3DXMatrixMultiply(&check, &product, &inverse);
    D3DXMatrixIdentity(&identity);
    ExpectMatrix(check, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, "M * inverse");
    D3DXMATRIX singular;
    D3DXMatrixScaling(&singular, 1, 0, 1);
    EXPECT_EQ(D3DXMatrixInverse(&inverse, nullptr, &singular), nullptr);

    // A quaternion about y gives the same matrix as RotationY, and back.
    const D3DXVECTOR3 yAxis(0, 2, 0);
    D3DXQUATERNION q, back;
    D3DXQuaternionRotationAxis(&q, &yAxis, 0.7f);
    D3DXMATRIX fromQuaternion, fromAngle;
    D3DXMatrixRotationQuaternion(&fromQuaternion, &q);
    D3DXMatrixRotationY(&fromAngle, 0.7f);
    float expected[16];
    for (int i = 0; i < 16; ++i) expected[i] = fromAngle.m[i / 4][i % 4];
    ExpectMatrix(fromQuaternion, expected, "quaternion vs angle");
    D3DXQuaternionRotationMatrix(&back, &fromQuaternion);
    ExpectQuaternion(back, q.x, q.y, q.z, q.w, "matrix to quaternion");
}

}  // namespace

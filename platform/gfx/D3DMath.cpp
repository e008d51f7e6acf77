#include "platform/gfx/D3DMath.h"

#include <cmath>

namespace gfx {

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& o) const
{
    D3DXMATRIX r;
    D3DXMatrixMultiply(&r, this, &o);
    return r;
}

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out)
{
    *out = D3DXMATRIX{};
    for (int i = 0; i < 4; ++i)
        out->m[i][i] = 1.0f;
    return out;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b)
{
    D3DXMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a->m[i][0] * b->m[0][j] + a->m[i][1] * b->m[1][j] + a->m[i][2] * b->m[2][j]
                        + a->m[i][3] * b->m[3][j];
    *out = r;
    return out;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z)
{
    D3DXMatrixIdentity(out);
    out->m[3][0] = x;
    out->m[3][1] = y;
    out->m[3][2] = z;
    return out;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float x, float y, float z)
{
    D3DXMatrixIdentity(out);
    out->m[0][0] = x;
    out->m[1][1] = y;
    out->m[2][2] = z;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    D3DXMatrixIdentity(out);
    out->m[1][1] = c;
    out->m[1][2] = s;
    out->m[2][1] = -s;
    out->m[2][2] = c;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    D3DXMatrixIdentity(out);
    out->m[0][0] = c;
    out->m[0][2] = -s;
    out->m[2][0] = s;
    out->m[2][2] = c;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    D3DXMatrixIdentity(out);
    out->m[0][0] = c;
    out->m[0][1] = s;
    out->m[1][0] = -s;
    out->m[1][1] = c;
    return out;
}

D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m)
{
    D3DXMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = m->m[j][i];
    *out = r;
    return out;
}

D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m)
{
    // Gauss-Jordan elimination with partial pivoting, in double.
    double a[4][8];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            a[i][j] = m->m[i][j];
            a[i][j + 4] = (i == j) ? 1.0 : 0.0;
        }
    double det = 1.0;
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col]))
                pivot = r;
        if (a[pivot][col] == 0.0)
            return nullptr;
        if (pivot != col) {
            for (int j = 0; j < 8; ++j)
                std::swap(a[pivot][j], a[col][j]);
            det = -det;
        }
        const double p = a[col][col];
        det *= p;
        for (int j = 0; j < 8; ++j)
            a[col][j] /= p;
        for (int r = 0; r < 4; ++r) {
            if (r == col)
                continue;
            const double f = a[r][col];
            if (f != 0.0)
                for (int j = 0; j < 8; ++j)
                    a[r][j] -= f * a[col][j];
        }
    }
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            out->m[i][j] = float(a[i][j + 4]);
    if (determinant)
        *determinant = float(det);
    return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zn, float zf)
{
    const float yScale = 1.0f / std::tan(fovY / 2.0f);
    const float xScale = yScale / aspect;
    *out = D3DXMATRIX{};
    out->m[0][0] = xScale;
    out->m[1][1] = yScale;
    out->m[2][2] = zf / (zf - zn);
    out->m[2][3] = 1.0f;
    out->m[3][2] = -zn * zf / (zf - zn);
    return out;
}

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at, const D3DXVECTOR3* up)
{
    D3DXVECTOR3 zaxis = *at - *eye, xaxis, yaxis;
    D3DXVec3Normalize(&zaxis, &zaxis);
    D3DXVec3Cross(&xaxis, up, &zaxis);
    D3DXVec3Normalize(&xaxis, &xaxis);
    D3DXVec3Cross(&yaxis, &zaxis, &xaxis);
    D3DXMatrixIdentity(out);
    out->m[0][0] = xaxis.x; out->m[0][1] = yaxis.x; out->m[0][2] = zaxis.x;
    out->m[1][0] = xaxis.y; out->m[1][1] = yaxis.y; out->m[1][2] = zaxis.y;
    out->m[2][0] = xaxis.z; out->m[2][1] = yaxis.z; out->m[2][2] = zaxis.z;
    out->m[3][0] = -D3DXVec3Dot(&xaxis, eye);
    out->m[3][1] = -D3DXVec3Dot(&yaxis, eye);
    out->m[3][2] = -D3DXVec3Dot(&zaxis, eye);
    return out;
}

D3DXMATRIX* D3DXMatrixOrthoLH(D3DXMATRIX* out, float w, float h, float zn, float zf)
{
    D3DXMatrixIdentity(out);
    out->m[0][0] = 2.0f / w;
    out->m[1][1] = 2.0f / h;
    out->m[2][2] = 1.0f / (zf - zn);
    out->m[3][2] = zn / (zn - zf);
    return out;
}

D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* out, float l, float r, float b, float t, float zn, float zf)
{
    D3DXMatrixIdentity(out);
    out->m[0][0] = 2.0f / (r - l);
    out->m[1][1] = 2.0f / (t - b);
    out->m[2][2] = 1.0f / (zf - zn);
    out->m[3][0] = (l + r) / (l - r);
    out->m[3][1] = (t + b) / (b - t);
    out->m[3][2] = zn / (zn - zf);
    return out;
}

float D3DXVec3Length(const D3DXVECTOR3* v) { return std::sqrt(v->x * v->x + v->y * v->y + v->z * v->z); }
float D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b) { return a->x * b->x + a->y * b->y + a->z * b->z; }

D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b)
{
    *out = D3DXVECTOR3(a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z, a->x * b->y - a->y * b->x);
    return out;
}

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v)
{
    const float len = D3DXVec3Length(v);
    *out = len > 0.0f ? D3DXVECTOR3(v->x / len, v->y / len, v->z / len) : D3DXVECTOR3();
    return out;
}

D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m)
{
    D3DXVECTOR4 r;
    r.x = v->x * m->m[0][0] + v->y * m->m[1][0] + v->z * m->m[2][0] + m->m[3][0];
    r.y = v->x * m->m[0][1] + v->y * m->m[1][1] + v->z * m->m[2][1] + m->m[3][1];
    r.z = v->x * m->m[0][2] + v->y * m->m[1][2] + v->z * m->m[2][2] + m->m[3][2];
    r.w = v->x * m->m[0][3] + v->y * m->m[1][3] + v->z * m->m[2][3] + m->m[3][3];
    *out = r;
    return out;
}

D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m)
{
    D3DXVECTOR4 r;
    D3DXVec3Transform(&r, v, m);
    const float w = r.w != 0.0f ? r.w : 1.0f;
    *out = D3DXVECTOR3(r.x / w, r.y / w, r.z / w);
    return out;
}

D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m)
{
    *out = D3DXVECTOR3(v->x * m->m[0][0] + v->y * m->m[1][0] + v->z * m->m[2][0],
                       v->x * m->m[0][1] + v->y * m->m[1][1] + v->z * m->m[2][1],
                       v->x * m->m[0][2] + v->y * m->m[1][2] + v->z * m->m[2][2]);
    return out;
}

static D3DXMATRIX Combined(const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world)
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    if (world)
        m = m * *world;
    if (view)
        m = m * *view;
    if (projection)
        m = m * *projection;
    return m;
}

D3DXVECTOR3* D3DXVec3Project(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT9* vp,
                             const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world)
{
    const D3DXMATRIX m = Combined(projection, view, world);
    D3DXVECTOR3 c;
    D3DXVec3TransformCoord(&c, v, &m);
    if (vp)
        c = D3DXVECTOR3(float(vp->X) + (1.0f + c.x) * float(vp->Width) / 2.0f,
                        float(vp->Y) + (1.0f - c.y) * float(vp->Height) / 2.0f, vp->MinZ + c.z * (vp->MaxZ - vp->MinZ));
    *out = c;
    return out;
}

D3DXVECTOR3* D3DXVec3Unproject(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT9* vp,
                               const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world)
{
    D3DXMATRIX m = Combined(projection, view, world), inv;
    if (!D3DXMatrixInverse(&inv, nullptr, &m))
        return nullptr;
    D3DXVECTOR3 c = *v;
    if (vp) {
        c.x = 2.0f * (c.x - float(vp->X)) / float(vp->Width) - 1.0f;
        c.y = 1.0f - 2.0f * (c.y - float(vp->Y)) / float(vp->Height);
        c.z = (vp->MaxZ != vp->MinZ) ? (c.z - vp->MinZ) / (vp->MaxZ - vp->MinZ) : 0.0f;
    }
    D3DXVec3TransformCoord(out, &c, &inv);
    return out;
}

void ComputePickRay(float x, float y, const D3DVIEWPORT9& viewport, const D3DXMATRIX& projection,
                    const D3DXMATRIX& view, const D3DXMATRIX& world, D3DXVECTOR3* origin, D3DXVECTOR3* direction)
{
    const D3DXVECTOR3 nearPoint(x, y, viewport.MinZ), farPoint(x, y, viewport.MaxZ);
    D3DXVECTOR3 a, b;
    D3DXVec3Unproject(&a, &nearPoint, &viewport, &projection, &view, &world);
    D3DXVec3Unproject(&b, &farPoint, &viewport, &projection, &view, &world);
    *origin = a;
    *direction = b - a;
}

bool D3DXIntersectTri(const D3DXVECTOR3* p0, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2, const D3DXVECTOR3* rayPos,
                      const D3DXVECTOR3* rayDir, float* u, float* v, float* dist)
{
    const D3DXVECTOR3 e1 = *p1 - *p0, e2 = *p2 - *p0;
    D3DXVECTOR3 p;
    D3DXVec3Cross(&p, rayDir, &e2);
    const float det = D3DXVec3Dot(&e1, &p);
    if (std::fabs(det) < 1e-12f)
        return false;
    const float invDet = 1.0f / det;
    const D3DXVECTOR3 t = *rayPos - *p0;
    const float bu = D3DXVec3Dot(&t, &p) * invDet;
    if (bu < 0.0f || bu > 1.0f)
        return false;
    D3DXVECTOR3 q;
    D3DXVec3Cross(&q, &t, &e1);
    const float bv = D3DXVec3Dot(rayDir, &q) * invDet;
    if (bv < 0.0f || bu + bv > 1.0f)
        return false;
    const float d = D3DXVec3Dot(&e2, &q) * invDet;
    if (d < 0.0f)
        return false;
    if (u) *u = bu;
    if (v) *v = bv;
    if (dist) *dist = d;
    return true;
}

} // namespace gfx

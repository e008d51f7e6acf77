#pragma once
// Types, result codes and constants of the graphics device layer.
//
// The device is a software rasteriser shaped like a Direct3D 9 device, so the game code
// reads the way it was designed. The names follow that shape; the values are our own
// except the result codes, which keep the usual numbers so logs stay recognisable.
//
// Conventions (as the hardware device the game was written for):
// - Colours are 32-bit ARGB (alpha in the top byte).
// - Pixel centres lie on integer coordinates: a pre-transformed quad that should map
//   texels 1:1 onto pixels spans (x - 0.5, y - 0.5) .. (x + w - 0.5, y + h - 0.5).
// - Matrices are row-major and multiply row vectors (v' = v * M), left-handed.

#include <cstdint>

namespace gfx {

using HRESULT = int32_t;
using D3DCOLOR = uint32_t;
using DWORD = uint32_t;

constexpr HRESULT D3D_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT D3DERR_INVALIDCALL = static_cast<HRESULT>(0x8876086Cu);
constexpr HRESULT D3DERR_NOTAVAILABLE = static_cast<HRESULT>(0x8876086Au);
constexpr HRESULT D3DERR_OUTOFVIDEOMEMORY = static_cast<HRESULT>(0x8876017Cu);
constexpr HRESULT D3DERR_DEVICELOST = static_cast<HRESULT>(0x88760868u);
constexpr HRESULT D3DERR_DEVICENOTRESET = static_cast<HRESULT>(0x88760869u);
constexpr HRESULT D3DERR_INVALIDDEVICE = static_cast<HRESULT>(0x88760867u);
constexpr HRESULT D3DXERR_INVALIDDATA = static_cast<HRESULT>(0x88760B59u);

inline bool FAILED(HRESULT hr) { return hr < 0; }
inline bool SUCCEEDED(HRESULT hr) { return hr >= 0; }

constexpr D3DCOLOR D3DCOLOR_ARGB(unsigned a, unsigned r, unsigned g, unsigned b)
{
    return ((a & 0xFFu) << 24) | ((r & 0xFFu) << 16) | ((g & 0xFFu) << 8) | (b & 0xFFu);
}
constexpr D3DCOLOR D3DCOLOR_XRGB(unsigned r, unsigned g, unsigned b) { return D3DCOLOR_ARGB(255, r, g, b); }

struct RECT {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const RECT&) const = default;
};
// Intersection of two rectangles; false (and an empty result) when they do not meet.
bool IntersectRect(RECT* out, const RECT* a, const RECT* b);

struct D3DRECT {
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

enum D3DFORMAT : uint32_t {
    D3DFMT_UNKNOWN = 0,
    D3DFMT_R8G8B8,
    D3DFMT_A8R8G8B8,
    D3DFMT_X8R8G8B8,
    D3DFMT_R5G6B5,
    D3DFMT_A4R4G4B4,
    D3DFMT_D24S8,
    D3DFMT_INDEX16,
    D3DFMT_INDEX32,
};
// Bytes per pixel of a colour format; 0 for the others.
int BytesPerPixel(D3DFORMAT format);

enum D3DPOOL : uint32_t { D3DPOOL_DEFAULT = 0, D3DPOOL_MANAGED, D3DPOOL_SYSTEMMEM, D3DPOOL_SCRATCH };
enum D3DRESOURCETYPE : uint32_t { D3DRTYPE_SURFACE = 1, D3DRTYPE_TEXTURE, D3DRTYPE_VERTEXBUFFER, D3DRTYPE_INDEXBUFFER };

constexpr DWORD D3DUSAGE_RENDERTARGET = 0x1;
constexpr DWORD D3DUSAGE_DEPTHSTENCIL = 0x2;
constexpr DWORD D3DUSAGE_WRITEONLY = 0x8;
constexpr DWORD D3DUSAGE_DYNAMIC = 0x200;

constexpr DWORD D3DLOCK_READONLY = 0x10;
constexpr DWORD D3DLOCK_DISCARD = 0x2000;
constexpr DWORD D3DLOCK_NOOVERWRITE = 0x1000;

struct D3DSURFACE_DESC {
    D3DFORMAT Format = D3DFMT_UNKNOWN;
    D3DRESOURCETYPE Type = D3DRTYPE_SURFACE;
    DWORD Usage = 0;
    D3DPOOL Pool = D3DPOOL_MANAGED;
    uint32_t Width = 0;
    uint32_t Height = 0;
};

struct D3DLOCKED_RECT {
    int32_t Pitch = 0; // bytes from one row to the next
    void* pBits = nullptr;
};

struct D3DVIEWPORT9 {
    uint32_t X = 0, Y = 0, Width = 0, Height = 0;
    float MinZ = 0.0f, MaxZ = 1.0f;
};

// Adapter capabilities: the fields the game checks.
constexpr DWORD D3DPRESENT_INTERVAL_DEFAULT = 0x0;
constexpr DWORD D3DPRESENT_INTERVAL_ONE = 0x1;
constexpr DWORD D3DPRESENT_INTERVAL_IMMEDIATE = 0x80000000u;
constexpr DWORD D3DPTEXTURECAPS_POW2 = 0x2;          // texture sizes must be powers of two
constexpr DWORD D3DPTEXTURECAPS_NONPOW2CONDITIONAL = 0x100;

enum D3DDEVTYPE : uint32_t { D3DDEVTYPE_HAL = 1, D3DDEVTYPE_REF = 2 };

struct D3DCAPS9 {
    D3DDEVTYPE DeviceType = D3DDEVTYPE_HAL;
    uint32_t AdapterOrdinal = 0;
    DWORD PresentationIntervals = D3DPRESENT_INTERVAL_ONE | D3DPRESENT_INTERVAL_IMMEDIATE;
    DWORD TextureCaps = 0;
    uint32_t MaxTextureWidth = 8192;
    uint32_t MaxTextureHeight = 8192;
    uint32_t MaxSimultaneousTextures = 2;
    uint32_t MaxTextureBlendStages = 2;
};

struct D3DDISPLAYMODE {
    uint32_t Width = 0, Height = 0, RefreshRate = 60;
    D3DFORMAT Format = D3DFMT_X8R8G8B8;
};

enum D3DSWAPEFFECT : uint32_t { D3DSWAPEFFECT_DISCARD = 1, D3DSWAPEFFECT_FLIP = 2, D3DSWAPEFFECT_COPY = 3 };
enum D3DMULTISAMPLE_TYPE : uint32_t { D3DMULTISAMPLE_NONE = 0 };
constexpr DWORD D3DPRESENTFLAG_LOCKABLE_BACKBUFFER = 0x1;

// Behaviour flags of device creation.
constexpr DWORD D3DCREATE_FPU_PRESERVE = 0x02;
constexpr DWORD D3DCREATE_MULTITHREADED = 0x04;
constexpr DWORD D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x20;
constexpr DWORD D3DCREATE_HARDWARE_VERTEXPROCESSING = 0x40;

struct D3DPRESENT_PARAMETERS {
    uint32_t BackBufferWidth = 0;
    uint32_t BackBufferHeight = 0;
    D3DFORMAT BackBufferFormat = D3DFMT_X8R8G8B8;
    uint32_t BackBufferCount = 1;
    D3DMULTISAMPLE_TYPE MultiSampleType = D3DMULTISAMPLE_NONE;
    DWORD MultiSampleQuality = 0;
    D3DSWAPEFFECT SwapEffect = D3DSWAPEFFECT_FLIP;
    void* hDeviceWindow = nullptr; // platform::MainWindow*
    bool Windowed = true;
    bool EnableAutoDepthStencil = true;
    D3DFORMAT AutoDepthStencilFormat = D3DFMT_D24S8;
    DWORD Flags = 0;
    uint32_t FullScreen_RefreshRateInHz = 0;
    DWORD PresentationInterval = D3DPRESENT_INTERVAL_ONE;
};

enum D3DBACKBUFFER_TYPE : uint32_t { D3DBACKBUFFER_TYPE_MONO = 0 };

// Render states.
enum D3DRENDERSTATETYPE : uint32_t {
    D3DRS_ZENABLE,
    D3DRS_FILLMODE,
    D3DRS_SHADEMODE,
    D3DRS_ZWRITEENABLE,
    D3DRS_ALPHATESTENABLE,
    D3DRS_SRCBLEND,
    D3DRS_DESTBLEND,
    D3DRS_CULLMODE,
    D3DRS_ZFUNC,
    D3DRS_ALPHAREF,
    D3DRS_ALPHAFUNC,
    D3DRS_DITHERENABLE,
    D3DRS_ALPHABLENDENABLE,
    D3DRS_SPECULARENABLE,
    D3DRS_STENCILENABLE,
    D3DRS_STENCILFAIL,
    D3DRS_STENCILZFAIL,
    D3DRS_STENCILPASS,
    D3DRS_STENCILFUNC,
    D3DRS_STENCILREF,
    D3DRS_STENCILMASK,
    D3DRS_STENCILWRITEMASK,
    D3DRS_TEXTUREFACTOR,
    D3DRS_LIGHTING,
    D3DRS_AMBIENT,
    D3DRS_MULTISAMPLEANTIALIAS,
    D3DRS_COLORWRITEENABLE,
    D3DRS_BLENDOP,
    D3DRS_FOGENABLE,
    D3DRS_CLIPPING,
    D3DRS_SCISSORTESTENABLE,
    D3DRS_COUNT
};

enum D3DZBUFFERTYPE : uint32_t { D3DZB_FALSE = 0, D3DZB_TRUE = 1 };
enum D3DFILLMODE : uint32_t { D3DFILL_POINT = 1, D3DFILL_WIREFRAME = 2, D3DFILL_SOLID = 3 };
enum D3DSHADEMODE : uint32_t { D3DSHADE_FLAT = 1, D3DSHADE_GOURAUD = 2 };
enum D3DCULL : uint32_t { D3DCULL_NONE = 1, D3DCULL_CW = 2, D3DCULL_CCW = 3 };
enum D3DCMPFUNC : uint32_t {
    D3DCMP_NEVER = 1,
    D3DCMP_LESS,
    D3DCMP_EQUAL,
    D3DCMP_LESSEQUAL,
    D3DCMP_GREATER,
    D3DCMP_NOTEQUAL,
    D3DCMP_GREATEREQUAL,
    D3DCMP_ALWAYS,
};
enum D3DBLEND : uint32_t {
    D3DBLEND_ZERO = 1,
    D3DBLEND_ONE,
    D3DBLEND_SRCCOLOR,
    D3DBLEND_INVSRCCOLOR,
    D3DBLEND_SRCALPHA,
    D3DBLEND_INVSRCALPHA,
    D3DBLEND_DESTALPHA,
    D3DBLEND_INVDESTALPHA,
    D3DBLEND_DESTCOLOR,
    D3DBLEND_INVDESTCOLOR,
    D3DBLEND_SRCALPHASAT,
    D3DBLEND_BLENDFACTOR_UNUSED,
};
enum D3DBLENDOP : uint32_t {
    D3DBLENDOP_ADD = 1,
    D3DBLENDOP_SUBTRACT,
    D3DBLENDOP_REVSUBTRACT,
    D3DBLENDOP_MIN,
    D3DBLENDOP_MAX,
};
enum D3DSTENCILOP : uint32_t {
    D3DSTENCILOP_KEEP = 1,
    D3DSTENCILOP_ZERO,
    D3DSTENCILOP_REPLACE,
    D3DSTENCILOP_INCRSAT,
    D3DSTENCILOP_DECRSAT,
    D3DSTENCILOP_INVERT,
    D3DSTENCILOP_INCR,
    D3DSTENCILOP_DECR,
};
constexpr DWORD D3DCOLORWRITEENABLE_RED = 1;
constexpr DWORD D3DCOLORWRITEENABLE_GREEN = 2;
constexpr DWORD D3DCOLORWRITEENABLE_BLUE = 4;
constexpr DWORD D3DCOLORWRITEENABLE_ALPHA = 8;

// Texture-stage states.
enum D3DTEXTURESTAGESTATETYPE : uint32_t {
    D3DTSS_COLOROP,
    D3DTSS_COLORARG1,
    D3DTSS_COLORARG2,
    D3DTSS_ALPHAOP,
    D3DTSS_ALPHAARG1,
    D3DTSS_ALPHAARG2,
    D3DTSS_TEXCOORDINDEX,
    D3DTSS_TEXTURETRANSFORMFLAGS,
    D3DTSS_COUNT
};
enum D3DTEXTUREOP : uint32_t {
    D3DTOP_DISABLE = 1,
    D3DTOP_SELECTARG1,
    D3DTOP_SELECTARG2,
    D3DTOP_MODULATE,
    D3DTOP_MODULATE2X,
    D3DTOP_MODULATE4X,
    D3DTOP_ADD,
    D3DTOP_ADDSIGNED,
    D3DTOP_ADDSIGNED2X,
    D3DTOP_SUBTRACT,
    D3DTOP_BLENDDIFFUSEALPHA,
    D3DTOP_BLENDTEXTUREALPHA,
};
// Texture-stage arguments and their modifier bits.
constexpr DWORD D3DTA_DIFFUSE = 0x0;
constexpr DWORD D3DTA_CURRENT = 0x1;
constexpr DWORD D3DTA_TEXTURE = 0x2;
constexpr DWORD D3DTA_TFACTOR = 0x3;
constexpr DWORD D3DTA_SPECULAR = 0x4;
constexpr DWORD D3DTA_SELECTMASK = 0xF;
constexpr DWORD D3DTA_COMPLEMENT = 0x10;
constexpr DWORD D3DTA_ALPHAREPLICATE = 0x20;
// Texture-coordinate transform flags: how many of the transformed coordinates are kept, and
// PROJECTED to divide the first ones by the last kept one.
constexpr DWORD D3DTTFF_DISABLE = 0;
constexpr DWORD D3DTTFF_COUNT2 = 2;
constexpr DWORD D3DTTFF_COUNT3 = 3;
constexpr DWORD D3DTTFF_COUNT4 = 4;
constexpr DWORD D3DTTFF_PROJECTED = 256;

// Sampler states.
enum D3DSAMPLERSTATETYPE : uint32_t {
    D3DSAMP_ADDRESSU,
    D3DSAMP_ADDRESSV,
    D3DSAMP_MAGFILTER,
    D3DSAMP_MINFILTER,
    D3DSAMP_MIPFILTER,
    D3DSAMP_COUNT
};
enum D3DTEXTUREADDRESS : uint32_t { D3DTADDRESS_WRAP = 1, D3DTADDRESS_MIRROR, D3DTADDRESS_CLAMP };
enum D3DTEXTUREFILTERTYPE : uint32_t { D3DTEXF_NONE = 0, D3DTEXF_POINT, D3DTEXF_LINEAR };

enum D3DTRANSFORMSTATETYPE : uint32_t {
    D3DTS_WORLD,
    D3DTS_VIEW,
    D3DTS_PROJECTION,
    D3DTS_TEXTURE0,
    D3DTS_TEXTURE1,
    D3DTS_COUNT
};

enum D3DPRIMITIVETYPE : uint32_t {
    D3DPT_POINTLIST = 1,
    D3DPT_LINELIST,
    D3DPT_LINESTRIP,
    D3DPT_TRIANGLELIST,
    D3DPT_TRIANGLESTRIP,
    D3DPT_TRIANGLEFAN,
};

// Flexible vertex formats: position, then colours, then texture coordinates, each float.
constexpr DWORD D3DFVF_XYZ = 0x002;
constexpr DWORD D3DFVF_XYZRHW = 0x004;
constexpr DWORD D3DFVF_POSITION_MASK = 0x00E;
constexpr DWORD D3DFVF_NORMAL = 0x010;
constexpr DWORD D3DFVF_DIFFUSE = 0x040;
constexpr DWORD D3DFVF_SPECULAR = 0x080;
constexpr DWORD D3DFVF_TEXCOUNT_MASK = 0xF00;
constexpr DWORD D3DFVF_TEXCOUNT_SHIFT = 8;
constexpr DWORD D3DFVF_TEX0 = 0x000;
constexpr DWORD D3DFVF_TEX1 = 0x100;
constexpr DWORD D3DFVF_TEX2 = 0x200;
// Byte size of a vertex of that format (0 for a format without a position).
uint32_t FvfVertexSize(DWORD fvf);

// Clear flags.
constexpr DWORD D3DCLEAR_TARGET = 0x1;
constexpr DWORD D3DCLEAR_ZBUFFER = 0x2;
constexpr DWORD D3DCLEAR_STENCIL = 0x4;

enum D3DQUERYTYPE : uint32_t { D3DQUERYTYPE_EVENT = 8 };
constexpr DWORD D3DISSUE_END = 0x1;
constexpr DWORD D3DGETDATA_FLUSH = 0x1;

} // namespace gfx

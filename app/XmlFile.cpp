#include "app/AtomicFile.h"
#include "app/FileManager.h"
#include "app/GameException.h"
#include "app/HostPath.h"
#include "app/Log.h"
#include "app/UserFolders.h"
#include "app/XmlUtil.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <zlib.h>

#include <climits>
#include <filesystem>
#include <fstream>

namespace {

constexpr size_t kChunk = 4095;
// Inflated documents larger than this are refused (a small file must not fill memory).
constexpr uint64_t kMaxInflated = 256ull << 20;
constexpr int kParseOptions = XML_PARSE_NOBLANKS | XML_PARSE_NONET;

void SilentXmlError(void*, const char*, ...) {}
void SilentStructuredError(void*, xmlErrorPtr) {}

void QuietParser()
{
    xmlSetGenericErrorFunc(nullptr, SilentXmlError);
    xmlSetStructuredErrorFunc(nullptr, SilentStructuredError);
}

bool IsGzip(const uint8_t* data, size_t size)
{
    return size >= 2 && data[0] == 0x1F && data[1] == 0x8B;
}

bool IsZlib(const uint8_t* data, size_t size)
{
    return size >= 2 && (data[0] & 0x0F) == 8 && (data[0] >> 4) <= 7 && ((data[0] << 8) | data[1]) % 31 == 0;
}

// Inflates into the push parser in chunks; null on a stream error or a broken document.
XmlDocument ParseInflated(const uint8_t* data, size_t size, int windowBits, const std::string& label)
{
    z_stream stream{};
    if (inflateInit2(&stream, windowBits) != Z_OK)
        return nullptr;
    xmlParserCtxtPtr context = xmlCreatePushParserCtxt(nullptr, nullptr, nullptr, 0, label.c_str());
    if (!context) {
        inflateEnd(&stream);
        return nullptr;
    }
    xmlCtxtUseOptions(context, kParseOptions);
    unsigned char out[kChunk];
    bool failed = false;
    uint64_t total = 0;
    size_t offset = 0;
    bool ended = false;
    while (!failed && !ended) {
        if (stream.avail_in == 0) {
            if (offset >= size)
                break;
            const size_t piece = std::min<size_t>(size - offset, 1u << 20);
            stream.next_in = const_cast<Bytef*>(data + offset);
            stream.avail_in = static_cast<uInt>(piece);
            offset += piece;
        }
        stream.next_out = out;
        stream.avail_out = kChunk;
        const int result = inflate(&stream, Z_NO_FLUSH);
        if (result == Z_STREAM_ERROR || result == Z_DATA_ERROR || result == Z_MEM_ERROR || result == Z_NEED_DICT) {
            failed = true;
            break;
        }
        const size_t produced = kChunk - stream.avail_out;
        total += produced;
        if (total > kMaxInflated) {
            WriteLog("ERROR: [%s] inflates beyond %llu bytes\n", label.c_str(),
                     static_cast<unsigned long long>(kMaxInflated));
            failed = true;
            break;
        }
        if (produced && xmlParseChunk(context, reinterpret_cast<const char*>(out), static_cast<int>(produced), 0) != 0)
            failed = true;
        if (result == Z_STREAM_END) {
            // Another gzip member may follow.
            if (windowBits > 15 && (stream.avail_in > 0 || offset < size))
                inflateReset(&stream);
            else
                ended = true;
        } else if (result == Z_BUF_ERROR && stream.avail_in == 0 && offset >= size) {
            break;
        }
    }
    inflateEnd(&stream);
    if (!failed)
        xmlParseChunk(context, nullptr, 0, 1);
    XmlDocument doc(context->myDoc);
    context->myDoc = nullptr;
    const bool wellFormed = context->wellFormed != 0;
    xmlFreeParserCtxt(context);
    if (failed || !wellFormed)
        return nullptr;
    return doc;
}

} // namespace

XmlDocument XmlParseBuffer(const void* data, size_t size, const std::string& label)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (!bytes || size == 0)
        return nullptr;
    QuietParser();
    if (IsGzip(bytes, size)) {
        XmlDocument doc = ParseInflated(bytes, size, 31, label);
        if (doc)
            xmlSetDocCompressMode(doc.get(), 9);
        return doc;
    }
    if (IsZlib(bytes, size))
        if (XmlDocument doc = ParseInflated(bytes, size, 15, label))
            return doc;
    if (size > static_cast<size_t>(INT_MAX))
        return nullptr;
    return XmlDocument(xmlReadMemory(reinterpret_cast<const char*>(bytes), static_cast<int>(size), label.c_str(),
                                     nullptr, kParseOptions));
}

std::string XmlDocumentText(xmlDoc* doc)
{
    if (!doc)
        return {};
    xmlChar* text = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(doc, &text, &size, "UTF-8", 0);
    std::string result = text && size > 0 ? std::string(reinterpret_cast<const char*>(text), size_t(size)) : std::string();
    xmlFree(text);
    return result;
}

XmlDocument XmlLoadFile(const std::string& name)
{
    FileHandle handle = FileHandle::FromString(name);
    if (!handle.IsOpen())
        return nullptr;
    const uint64_t size = handle.Size();
    const uint8_t* data = handle.ReadAll();
    if (!data || size == 0)
        return nullptr;
    return XmlParseBuffer(data, static_cast<size_t>(size), name);
}

XmlDocument XmlLoadFileOrThrow(const std::string& name, const char* failure)
{
    XmlDocument doc = XmlLoadFile(name);
    if (!doc || !XmlRoot(doc.get()))
        throw GameException(failure);
    return doc;
}

XmlDocument XmlLoadUserFile(const std::string& name)
{
    if (!IsConfinedRelativePath(name))
        return nullptr;
    const std::string root = IsUserFolderPath(name) ? GetUserRoot() : GetProgramFolder();
    const std::string path = ResolveHostPathNoCase(root, name);
    return path.empty() ? nullptr : XmlLoadHostFile(path);
}

XmlDocument XmlLoadHostFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return XmlParseBuffer(bytes.data(), bytes.size(), path);
}

XmlDocument XmlCopyDocument(xmlDoc* doc)
{
    return XmlDocument(doc ? xmlCopyDoc(doc, 1) : nullptr);
}

int XmlSaveFile(xmlDoc* doc, const std::string& name)
{
    if (!doc)
        return -1;
    const std::string path = HostPathForWrite(name);
    if (path.empty())
        return -1;
    int written = -1;
    const bool saved = SaveFileAtomically(path, [&](const std::string& temporary) {
        written = xmlSaveFormatFile(temporary.c_str(), doc, 1);
        return written >= 0;
    });
    return saved ? written : -1;
}

int XmlSaveUserCopy(xmlDoc* doc, const std::string& name)
{
    if (!doc || !IsConfinedRelativePath(name)) {
        WriteLog("ERROR: refused file name outside the game folders [%s]\n", name.c_str());
        return -1;
    }
    const std::filesystem::path path = std::filesystem::path(GetUserRoot()) / ToHostSeparators(name);
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);
    return xmlSaveFormatFile(path.string().c_str(), doc, 1);
}

bool XmlRehashFile(const std::string& name)
{
    xmlIndentTreeOutput = 1;
    xmlKeepBlanksDefault(0);
    XmlDocument doc = XmlLoadFile(name);
    if (!doc) {
        WriteLog("XmlHash(): File not found\n");
        return false;
    }
    XmlSetHash(XmlRoot(doc.get()));
    return XmlSaveFile(doc.get(), name) >= 0;
}

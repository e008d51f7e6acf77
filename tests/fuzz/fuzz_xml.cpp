// XML files from untrusted bytes (plain, gzip or zlib) through the file manager, then the
// content-hash check and the searches a level reader makes.
#include "FuzzHome.h"
#include "app/FileManager.h"
#include "app/MemoryFileManager.h"
#include "app/XmlUtil.h"

#include <cstdint>

namespace {
FileManager* g_manager = nullptr;
MemoryFileManager* g_memory = nullptr;
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    UseTemporaryHome();
    g_manager = new FileManager;
    auto memory = std::make_unique<MemoryFileManager>();
    g_memory = memory.get();
    g_manager->AddMember(std::move(memory));
    fileManager = g_manager;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    g_memory->AddFile("Level\\fuzz.flevel", data, size);
    XmlDocument doc = XmlLoadFile("Level\\fuzz.flevel");
    if (!doc)
        return 0;
    xmlNode* root = XmlRoot(doc.get());
    XmlVerifyHash(root);
    XmlSetHash(root);
    if (!XmlVerifyHash(root))
        __builtin_trap();
    for (xmlNode* n = XmlFindNode(root, "trap"); n; n = XmlFindNodeFrom(n, "trap", n))
        XmlGetChildInt(n, "x", 0);
    XmlFindNodeWithAttrValue(root, "group", "id", "1");
    try {
        XmlGetTagText(XmlGetChild(XmlChildren(root), "globals"), "title", root, "name");
    } catch (...) {
    }
    return 0;
}

#include "game/UserDocument.h"

#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"
#include "platform/steam/Steam.h"

#include <libxml/tree.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

void SetAside(const std::string& path, const std::filesystem::path& host)
{
    std::error_code error;
    for (int n = 0; n < 100; ++n) {
        std::filesystem::path aside = host;
        aside += n == 0 ? std::string(".broken") : ".broken" + std::to_string(n);
        if (std::filesystem::exists(aside, error))
            continue;
        std::filesystem::rename(host, aside, error);
        if (!error) {
            WriteLog("WARNING: %s could not be read; it is kept as %s and a new one is made\n", path.c_str(),
                     aside.filename().string().c_str());
            return;
        }
        break;
    }
    WriteLog("ERROR: %s could not be read nor set aside; it is left alone\n", path.c_str());
}

} // namespace

XmlDocument LoadUserDocument(const std::string& path, const char* rootName)
{
    const std::filesystem::path host = GetUserPath(path);
    std::error_code error;
    if (!std::filesystem::is_regular_file(host, error))
        return nullptr;
    XmlDocument doc = XmlLoadUserFile(path);
    if (doc && XmlName(XmlRoot(doc.get())) == rootName)
        return doc;
    SetAside(path, host);
    return nullptr;
}

bool SaveUserDocument(xmlDoc* doc, const std::string& path)
{
    xmlSetDocCompressMode(doc, 9);
    if (XmlSaveFile(doc, path) < 0) {
        WriteLog("ERROR: could not save %s\n", path.c_str());
        return false;
    }
    std::ifstream saved(GetUserPath(path), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    if (platform::steam::IsInitialised() && !platform::steam::FileWrite(GetFileTitle(path, false), bytes))
        WriteLog("WARNING: %s was not copied to the cloud store\n", path.c_str());
    return true;
}

// soundgen: writes the game's sound effects and music into a game folder.
//
//   soundgen <effect table .xml> <game folder>
//
// Every effect of the table is synthesised from its recipe and written to the file the
// table names (".wav" as 16-bit PCM, ".ogg" as Ogg Vorbis); every music track goes to
// Sounds/Music/<name>.ogg. Fails when the table cannot be read or an id has no recipe.
#include "tools/soundgen/AudioFiles.h"
#include "tools/soundgen/Recipes.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct TableEntry {
    int id;
    std::string file;
};

bool ReadTable(const char* path, std::vector<TableEntry>& entries)
{
    xmlDocPtr doc = xmlReadFile(path, nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!doc)
        return false;
    const xmlNode* root = xmlDocGetRootElement(doc);
    for (const xmlNode* n = root ? root->children : nullptr; n; n = n->next) {
        if (n->type != XML_ELEMENT_NODE || xmlStrcmp(n->name, BAD_CAST "effect") != 0)
            continue;
        xmlChar* id = xmlGetProp(n, BAD_CAST "id");
        xmlChar* file = xmlGetProp(n, BAD_CAST "file");
        if (id && file)
            entries.push_back({std::atoi(reinterpret_cast<const char*>(id)), reinterpret_cast<const char*>(file)});
        xmlFree(id);
        xmlFree(file);
    }
    xmlFreeDoc(doc);
    return root != nullptr;
}

std::string HostPath(const std::string& gameFolder, std::string gamePath)
{
    for (char& c : gamePath)
        if (c == '\\')
            c = '/';
    return gameFolder + "/" + gamePath;
}

bool EndsWith(const std::string& text, const char* suffix)
{
    const std::string s(suffix);
    return text.size() >= s.size() && text.compare(text.size() - s.size(), s.size(), s) == 0;
}

bool WriteSound(const std::string& path, const std::vector<float>& samples)
{
    std::error_code ignored;
    fs::create_directories(fs::path(path).parent_path(), ignored);
    if (EndsWith(path, ".ogg"))
        return soundgen::WriteOggVorbis(path, samples, soundgen::kSampleRate, 0.1f);
    return soundgen::WriteWav(path, samples, soundgen::kSampleRate);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: soundgen <effect table .xml> <game folder>\n");
        return 2;
    }
    std::vector<TableEntry> table;
    if (!ReadTable(argv[1], table)) {
        std::fprintf(stderr, "soundgen: cannot read the effect table %s\n", argv[1]);
        return 1;
    }
    const std::string game = argv[2];
    int failures = 0;
    for (const TableEntry& entry : table) {
        std::vector<soundgen::Tone> tones = soundgen::EffectTones(entry.id);
        if (tones.empty()) {
            std::fprintf(stderr, "soundgen: no recipe for effect %d (%s)\n", entry.id, entry.file.c_str());
            ++failures;
            continue;
        }
        std::vector<float> samples;
        soundgen::RenderTones(tones, samples, 0x5EED0000u + static_cast<uint32_t>(entry.id));
        soundgen::Normalise(samples, 0.8f, 0.004f);
        if (!WriteSound(HostPath(game, entry.file), samples)) {
            std::fprintf(stderr, "soundgen: cannot write %s\n", entry.file.c_str());
            ++failures;
        }
    }
    for (const soundgen::MusicTrack& track : soundgen::MusicTracks()) {
        const std::string path = game + "/Sounds/Music/" + track.name + ".ogg";
        if (!WriteSound(path, soundgen::ComposeMusic(track))) {
            std::fprintf(stderr, "soundgen: cannot write %s\n", path.c_str());
            ++failures;
        }
    }
    std::printf("soundgen: %zu effects and %zu music tracks written to %s\n", table.size(),
                soundgen::MusicTracks().size(), game.c_str());
    return failures == 0 ? 0 : 1;
}

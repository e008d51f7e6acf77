#pragma once
// Choosers of the property panels, on the drop-down choice. `GroupChooser` offers the eight
// groups of a level (values 0-7) and, when allowed, any group (255). `ImageChooser` offers
// the files of a folder that match a wildcard pattern; its text is the chosen file's path.

#include "gui/ComboBox.h"

#include <functional>
#include <string>
#include <vector>

class GroupChooser : public ComboBox {
public:
    static constexpr int kGroupCount = 8;
    static constexpr int kAnyGroup = 255;

    explicit GroupChooser(bool allowAny);

    bool AllowsAny() const { return allowAny_; }

private:
    bool allowAny_;
};

class ImageChooser : public ComboBox {
public:
    // Lists the bare names of the files matching a game path pattern ("folder\*.png").
    using FileLister = std::function<std::vector<std::string>(const std::string& pattern)>;

    // Without a lister the game's file manager lists the files.
    ImageChooser(const std::string& folder, const std::string& pattern, FileLister lister = nullptr);

    // Fills the list again, keeping the chosen file when it is still there.
    void Refresh();
    // folder\name of the chosen file; empty when none.
    std::string GetText() override;
    // Chooses the file with this path's name (ignoring case); a name that is not listed is
    // added so that the current image stays shown. Empty: none chosen.
    void SetText(const std::string& path) override;

    const std::string& Folder() const { return folder_; }
    const std::string& Pattern() const { return pattern_; }

private:
    std::string folder_;
    std::string pattern_;
    FileLister lister_;
};

#pragma once
// The installer's file chooser: the packages (*.fpak) of the player's User\Packages folder
// in a list, and a path box for a package anywhere else. "Open" answers with the path in
// the box (a bare name is taken in User\Packages) when it names an existing file; "Cancel"
// (or Escape) answers with an empty path.
#include "gui/FlimbsWindow.h"
#include "gui/MessageBox.h"

#include <functional>
#include <string>
#include <vector>

class EditBox;
class ListBox;

class PackageChooser : public FlimbsWindow2 {
public:
    static constexpr const char* kName = "PackageChooser";
    using Answer = std::function<void(const std::string& path)>;

    explicit PackageChooser(Answer answer);

    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    bool Deactivate() override;
    void Show();

    // Answers with the box's path when it names a file (else tells so and stays open).
    void Open();
    void Cancel();

    ListBox* Packages() const { return list_; }
    EditBox* PathBox() const { return path_; }

    // The package files of User\Packages, sorted by name.
    static std::vector<std::string> ListPackageFiles();

private:
    void Reply(const std::string& path);

    Answer answer_;
    ListBox* list_ = nullptr;
    EditBox* path_ = nullptr;
    ModalHandover modal_;
};

PackageChooser* ShowPackageChooser(PackageChooser::Answer answer);

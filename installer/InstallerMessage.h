#pragma once
// The package installer's message box: a modal framed window over the dialog with a title,
// the wrapped text and one "OK" button (Enter and Escape press it too). Sized for the
// installer's small window.
#include "gui/FlimbsWindow.h"
#include "gui/MessageBox.h"

#include <string>

class Label;
class FlimbsButton;

class InstallerMessage : public FlimbsWindow2 {
public:
    static constexpr const char* kName = "INSTALLER_MESSAGE";

    InstallerMessage(const std::string& title, const std::string& text);

    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    // Also gives the modal role back.
    bool Deactivate() override;
    // Opens the box at the front of the window list as the blocking modal window.
    void Show();

    const std::string& Title() const { return title_; }
    const std::string& Text() const { return text_; }
    FlimbsButton* OkButton() const { return ok_; }

private:
    std::string title_;
    std::string text_;
    FlimbsButton* ok_ = nullptr;
    ModalHandover modal_;
};

// Opens a box at the front of the window list as the blocking modal window.
InstallerMessage* ShowInstallerMessage(const std::string& title, const std::string& text);

// The text scale of the installer's widgets (the font's size times this is about the size
// of the dialog font the window was laid out for).
constexpr float kInstallerTextScale = 0.8f;
